#!/usr/bin/env bash
# kelvane-cli simulate: a log the reader takes whole, the same bytes for a seed, and
# clear messages with a non-zero status for bad options and unreadable maps.
cli="$1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT

"$cli" simulate --print-true-maps >"$dir/true.out" || fail "--print-true-maps: status $?"
sed -n 2,17p "$dir/true.out" >"$dir/fuel.txt"
# The threshold less three degrees is a safe ignition map.
sed -n 19,34p "$dir/true.out" | awk -F'\t' '{ for (i = 1; i <= NF; i++) printf "%s%.1f", (i > 1 ? "\t" : ""), $i - 3; printf "\r\n" }' >"$dir/ign.txt"

"$cli" simulate --fuel-map "$dir/fuel.txt" --ignition-map "$dir/ign.txt" --out "$dir/a.txt" --seed 5 --duration 60 ||
    fail "simulate: status $?"
"$cli" simulate --fuel-map "$dir/fuel.txt" --ignition-map "$dir/ign.txt" --out "$dir/b.txt" --seed 5 --duration 60
cmp -s "$dir/a.txt" "$dir/b.txt" || fail "the same seed gave different logs"
out=$("$cli" log --summary "$dir/a.txt" 2>"$dir/err")
[ $? -eq 0 ] || fail "the simulated log did not load: $(cat "$dir/err")"
[ ! -s "$dir/err" ] || fail "lines skipped: $(cat "$dir/err")"
[[ "$out" == *"samples: 600"* ]] || fail "60 s at ten samples a second: $out"

"$cli" simulate --help | grep -q -- '--fuel-map FILE' || fail "--help does not list --fuel-map"

expect_usage() {
    local pattern="$1"
    shift
    "$cli" simulate "$@" >/dev/null 2>"$dir/err"
    local status=$?
    [ "$status" -eq 2 ] || fail "$*: status $status, expected 2"
    grep -q -- "$pattern" "$dir/err" || fail "$*: stderr is '$(head -1 "$dir/err")'"
}
expect_usage 'unknown option --speed' --speed 3
expect_usage '--seed takes a whole number, not x' --seed x
expect_usage '--duration takes seconds from 1 to 7200, not 0' --duration 0
expect_usage '--drive takes mixed, cruise or pulls, not race' --drive race
expect_usage '--fuel-map FUEL.txt is needed' --ignition-map "$dir/ign.txt" --out "$dir/c.txt"
expect_usage '--seed needs a value' --seed

"$cli" simulate --fuel-map "$dir/missing.txt" --ignition-map "$dir/ign.txt" --out "$dir/c.txt" 2>"$dir/err"
status=$?
[ "$status" -eq 1 ] || fail "missing map: status $status, expected 1"
grep -qx "Cannot read $dir/missing.txt" "$dir/err" || fail "missing map: stderr is '$(cat "$dir/err")'"
[ ! -e "$dir/c.txt" ] || fail "a log was written without a map"

[ "$failures" -eq 0 ]
