#!/usr/bin/env bash
# kelvane-cli.exe under Wine prints byte for byte what the native build
# prints: "log --summary" and "adjust-fuel" on every log given, standard
# output, standard error and exit status alike.
# Usage: same-output.sh WINE_RUN CLI_EXE NATIVE_CLI FIXTURES [LOG_FOLDER...]
wine_run=$1
exe=$2
native=$3
fixtures=$4
shift 4
logs=("$fixtures"/cli/run1.txt "$fixtures"/cli/run2.txt "$fixtures"/cli/lean.txt "$fixtures"/cli/knock.txt
  "$fixtures"/logs/*.txt)
for folder in "$@"; do
  [ -d "$folder" ] && logs+=("$folder"/Run*.txt)
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
compared=0

same() {
  "$native" "$@" >"$work/native.out" 2>"$work/native.err"
  local nativeStatus=$?
  "$wine_run" "$exe" "$@" >"$work/windows.out" 2>"$work/windows.err"
  local windowsStatus=$?
  compared=$((compared + 1))
  if [ "$nativeStatus" -ne "$windowsStatus" ]; then
    echo "FAIL: $*: exit status $windowsStatus under Wine, $nativeStatus natively"
    failures=$((failures + 1))
  fi
  for stream in out err; do
    if ! cmp -s "$work/native.$stream" "$work/windows.$stream"; then
      echo "FAIL: $*: standard $stream differs (native, then Windows):"
      diff <(od -c "$work/native.$stream") <(od -c "$work/windows.$stream") | head -n 20
      failures=$((failures + 1))
    fi
  done
}

for log in "${logs[@]}"; do
  [ -f "$log" ] || continue
  echo "comparing $log"
  same log --summary "$log"
  same adjust-fuel --reference "$fixtures/cli/lh_map.txt" "$log"
  same adjust-fuel --reference "$fixtures/cli/lh_map.txt" --smooth 2,2 --source 3 "$log"
done
# A folder and a log named beyond ASCII: the names reach the program whole
# (through its wide command line) and come back whole in the caption.
folder="$work/Bil ø é"
mkdir -p "$folder"
cp "$fixtures/cli/run1.txt" "$folder/Run ø.txt"
same log --summary "$folder/Run ø.txt"
if ! grep -q '^caption: .*\[Bil ø é: Run ø\]' "$work/windows.out"; then
  echo "FAIL: the caption lost the names beyond ASCII: $(cat "$work/windows.out" "$work/windows.err")"
  failures=$((failures + 1))
fi
# A demo project made by the Windows build in such a folder holds its logs
# under their names, and they read as the native build reads them.
if ! "$wine_run" "$exe" simulate --demo-project "$work/Prosjekt ø" || ! [ -f "$work/Prosjekt ø/2026-05-09/Run01.txt" ]; then
  echo "FAIL: no demo project written in $work/Prosjekt ø"
  failures=$((failures + 1))
else
  same log --summary "$work/Prosjekt ø/2026-05-09/"Run*.txt
fi

# All of them in one open, and a usage error.
same log --summary "${logs[@]}"
same log --no-such-option

echo "$compared runs compared, $failures differences"
[ "$failures" -eq 0 ]
