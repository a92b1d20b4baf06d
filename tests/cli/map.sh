#!/usr/bin/env bash
# kelvane-cli map: kind line, grid as read, CR LF lines, status 1 for a non-map.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
out=$(mktemp) && err=$(mktemp) && maps=$(mktemp -d) && trap 'rm -rf "$out" "$err" "$maps"' EXIT

check_map() {  # file kind first-value last-value
    "$cli" map "$fixtures/$1" >"$out"
    local status=$?
    [ "$status" -eq 0 ] || fail "$1: status $status"
    [ "$(sed -n 1p "$out")" == "kind: $2" ] || fail "$1: kind line is '$(sed -n 1p "$out")'"
    [ "$(sed -n 2p "$out")" == "# map" ] || fail "$1: no '# map' title"
    [ "$(wc -l <"$out")" -eq 19 ] || fail "$1: expected 19 lines, got $(wc -l <"$out")"
    [ "$(sed -n '3,18p' "$out" | grep -c $'\r$')" -eq 16 ] || fail "$1: grid lines do not end in CR LF"
    [ "$(sed -n 19p "$out")" == "" ] || fail "$1: no empty line after the grid"
    bad=$(sed -n '3,18p' "$out" | awk -F'\t' 'NF != 16 { print NR }')
    [ -z "$bad" ] || fail "$1: grid lines without 16 values: $bad"
    local first last
    first=$(sed -n 3p "$out" | cut -f1)
    last=$(sed -n 18p "$out" | cut -f16 | tr -d '\r')
    [ "$first" == "$3" ] || fail "$1: load 0 / rpm 0 is '$first', expected '$3'"
    [ "$last" == "$4" ] || fail "$1: load 15 / rpm 15 is '$last', expected '$4'"
}
check_map lh_map.txt LH 100 265
check_map ezk_map.txt EZK 10 25

for file in not_a_map.txt short_map.txt; do
    got=$("$cli" map "$fixtures/$file" 2>/dev/null)
    status=$?
    [ "$status" -eq 1 ] || fail "$file: status $status, expected 1"
    [ "$got" == "kind: none" ] || fail "$file: output '$got', expected 'kind: none'"
done

# A map under another extension: the kind is told, the grid is not read, and the reason is the name.
cp "$fixtures/lh_map.txt" "$maps/x.dat"
got=$("$cli" map "$maps/x.dat" 2>"$err")
status=$?
[ "$status" -eq 1 ] || fail "x.dat: status $status, expected 1"
[ "$got" == "kind: LH" ] || fail "x.dat: output '$got', expected 'kind: LH'"
grep -qx "Cannot read $maps/x.dat as map text: the name must end in .txt" "$err" ||
    fail "x.dat: stderr is '$(cat "$err")'"
# The extension may be in any case.
cp "$fixtures/ezk_map.txt" "$maps/IGN.TXT"
"$cli" map "$maps/IGN.TXT" >"$out" 2>"$err" || fail "IGN.TXT: status $?"
[ ! -s "$err" ] || fail "IGN.TXT: stderr is '$(cat "$err")'"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all map checks passed"
