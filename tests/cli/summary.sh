#!/usr/bin/env bash
# kelvane-cli log --summary: counts, columns, caption and status of the loaded logs.
cli="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

got=$("$cli" log --summary --no-filters "$fixtures/run1.txt" "$fixtures/run2.txt" --then "$fixtures/run1.txt")
status=$?
[ "$status" -eq 0 ] || fail "summary exited $status, expected 0"
expected="files: 2
samples: 15
included: 15
columns: 0,1,2,5,6,7,8,16,18,19
caption: Kelvane    [cli: run2, run1]
status: 2 files open, 15 data points"
[ "$got" == "$expected" ] || fail "summary differs:
--- got
$got
--- expected
$expected"

# One open reads its files in name order, as the window does with the files
# chosen in its dialog or given on its command line.
got=$("$cli" log --summary "$fixtures/run2.txt" "$fixtures/run1.txt" | grep -E '^caption:')
[ "$got" == "caption: Kelvane    [cli: run1, run2]" ] || fail "one open is not in name order: $got"

# Relative names are made full as the program's dialogs give them: the caption
# names the folder, and one file named two ways is still one file.
got=$(cd "$fixtures" && "$cli" log --summary run2.txt ./run1.txt --then ../cli/run2.txt | grep -E '^(files|caption):')
expected="files: 2
caption: Kelvane    [cli: run1, run2]"
[ "$got" == "$expected" ] || fail "relative names: got
$got"

# --then needs files on both sides.
"$cli" log --then "$fixtures/run1.txt" >/dev/null 2>&1
[ $? -eq 2 ] || fail "--then without files before it is no usage error"
"$cli" log "$fixtures/run1.txt" --then >/dev/null 2>&1
[ $? -eq 2 ] || fail "--then without files after it is no usage error"

# --help goes to standard output with status 0.
help=$("$cli" --help 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || fail "--help exited $status"
[[ "$help" == *"kelvane-cli log"* ]] || fail "--help does not print the usage"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all summary checks passed"
