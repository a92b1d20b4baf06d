#!/usr/bin/env bash
# kelvane-cli adjust-fuel and adjust-ignition: the grids, the status lines, the limits and the usage.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
out=$(mktemp) && err=$(mktemp) && maps=$(mktemp -d) && trap 'rm -rf "$out" "$err" "$maps"' EXIT

block() {  # title: the 16 grid lines after "# title", CR removed
    awk -v t="# $1" '$0 == t { on = 1; next } on && /^$/ { exit } on { print }' "$out" | tr -d '\r'
}
cell() {  # title rpm-index load-index
    block "$1" | awk -F'\t' -v r="$2" -v l="$3" 'NR == l + 1 { print $(r + 1) }'
}
near() {  # value expected: equal to 12 decimals
    awk -v a="$1" -v b="$2" 'BEGIN { d = a - b; exit !(d < 1e-12 && d > -1e-12) }'
}
count_not() {  # title value: how many cells differ from value
    block "$1" | tr '\t' '\n' | awk -v v="$2" '$1 != v' | wc -l
}
flat_map() {  # file value
    for _ in $(seq 16); do printf '%s\t' $(yes "$2" | head -16) | sed 's/\t$/\r\n/'; done >"$1"
}

# lean.txt: two samples 10 % lean on the grid point RPM 1700 / load 132 (cell 5, 6), one at RPM 2400
# halfway between load 132 and 164 (half a weight each to cells 8, 6 and 8, 7).
"$cli" adjust-fuel --no-filters --reference "$fixtures/lh_map.txt" --source 3 "$fixtures/lean.txt" >"$out" ||
    fail "fuel: status $?"
[ "$(grep '^# ' "$out" | tr '\n' '|')" == "# adjustments|# updated|# remainder|" ] ||
    fail "fuel: block titles are $(grep '^# ' "$out" | tr '\n' '|')"
for title in adjustments updated remainder; do
    [ "$(block "$title" | awk -F'\t' 'NF == 16' | wc -l)" -eq 16 ] || fail "fuel: '# $title' is not 16 x 16"
done
near "$(cell adjustments 5 6)" 1.1 || fail "fuel: A(5,6) is $(cell adjustments 5 6), expected 1.1"
near "$(cell adjustments 8 6)" 1.05 || fail "fuel: half weight A(8,6) is $(cell adjustments 8 6), expected 1.05"
near "$(cell adjustments 8 7)" 1.05 || fail "fuel: half weight A(8,7) is $(cell adjustments 8 7), expected 1.05"
[ "$(count_not adjustments 1)" -eq 3 ] || fail "fuel: $(count_not adjustments 1) factors are not 1, expected 3"
# The Primary Load Map scales the value itself: 165 * 1.1 = 181.5 -> 182, 168 * 1.05 = 176.4 -> 176.
[ "$(cell updated 5 6)" == "182" ] || fail "fuel: U(5,6) is $(cell updated 5 6), expected 182"
[ "$(cell updated 8 6)" == "176" ] || fail "fuel: U(8,6) is $(cell updated 8 6), expected 176"
[ "$(cell updated 0 0)" == "100" ] || fail "fuel: U(0,0) is $(cell updated 0 0), expected 100"
[ "$(count_not remainder 1)" -eq 0 ] || fail "fuel: a remainder without smoothing"

# Source 0 scales value + 512: a reference of 50 with A = 1.1 gives 106; 120 is cut back to the limit 127.
flat_map "$maps/fifty.txt" 50
"$cli" adjust-fuel --no-filters --reference "$maps/fifty.txt" "$fixtures/lean.txt" >"$out" || fail "source 0: status $?"
[ "$(cell updated 5 6)" == "106" ] || fail "source 0: U(5,6) is $(cell updated 5 6), expected 106"
flat_map "$maps/high.txt" 120
"$cli" adjust-fuel --no-filters --reference "$maps/high.txt" "$fixtures/lean.txt" >"$out" || fail "limit: status $?"
[ "$(cell updated 5 6)" == "127" ] || fail "limit: U(5,6) is $(cell updated 5 6), expected 127"
near "$(cell adjustments 5 6)" "$(awk 'BEGIN { printf "%.17g", 639 / 632 }')" ||
    fail "limit: A(5,6) is $(cell adjustments 5 6), expected 639/632"

# Targets: the lean samples are on target at 16.17, one number or a map of it.
"$cli" adjust-fuel --no-filters --reference "$maps/fifty.txt" --target 16.17 "$fixtures/lean.txt" >"$out" ||
    fail "target: status $?"
[ "$(count_not adjustments 1)" -eq 0 ] || fail "target 16.17: factors changed"
flat_map "$maps/target.txt" 16.2
"$cli" adjust-fuel --no-filters --reference "$maps/fifty.txt" --target-map "$maps/target.txt" "$fixtures/lean.txt" \
    >"$out" || fail "target map: status $?"
near "$(cell adjustments 5 6)" "$(awk 'BEGIN { printf "%.17g", 1 + (16.17 - 16.2) / 16.2 }')" ||
    fail "target map: A(5,6) is $(cell adjustments 5 6)"

# A region without the samples' cells changes nothing.
"$cli" adjust-fuel --no-filters --reference "$maps/fifty.txt" --region 0,4,0,15 "$fixtures/lean.txt" >"$out" ||
    fail "region: status $?"
[ "$(count_not adjustments 1)" -eq 0 ] || fail "region: factors outside the region changed"

# Smoothing: widths 1 give the adjusted map back; wider ones spread it, and on the Primary Load
# Map leave what they took away in the remainder.
"$cli" adjust-fuel --no-filters --reference "$fixtures/lh_map.txt" --source 3 "$fixtures/lean.txt" >"$out"
adjusted=$(block updated)
"$cli" adjust-fuel --no-filters --reference "$fixtures/lh_map.txt" --source 3 --smooth 1,1 "$fixtures/lean.txt" >"$out" ||
    fail "smooth 1,1: status $?"
[ "$(block updated)" == "$adjusted" ] || fail "smooth 1,1: the updated map changed"
"$cli" adjust-fuel --no-filters --reference "$fixtures/lh_map.txt" --source 3 --smooth 3,2.5 "$fixtures/lean.txt" >"$out" ||
    fail "smooth 3,2.5: status $?"
[ "$(block updated)" != "$adjusted" ] || fail "smooth 3,2.5: the updated map did not change"
[ "$(count_not remainder 1)" -gt 0 ] || fail "smooth 3,2.5: no remainder on the Primary Load Map"

# knock.txt: 3.5 degrees at 3000 rpm / 40 % (cell 7, 6); 2.0 on the bound at 3100 rpm (cells 7 and 8);
# four cylinders at 4400 / 60 (cell 12, 9); 11 degrees at 560 / 40 (cell 0, 6), where the reference
# is 7 degrees: held at 0 degrees, it cannot reach the limit.
"$cli" adjust-ignition --no-filters --reference "$fixtures/ezk_map.txt" "$fixtures/knock.txt" >"$out" ||
    fail "ignition: status $?"
expected_lines='Make selections above, then click "Adjust"
Pass 1 completed (max=4/11.0)
Pass 2 completed (max=3/4.0)
Finished, max= 3 cyls, 4.0 deg; limits not reached in cells 560/40 (rpm/load)'
[ "$(sed -n 1,4p "$out")" == "$expected_lines" ] || fail "ignition: status lines are $(sed -n 1,4p "$out")"
[ "$(grep '^# ' "$out" | tr '\n' '|')" == "# adjustments|# updated|" ] ||
    fail "ignition: block titles are $(grep '^# ' "$out" | tr '\n' '|')"
for c in "7 6 -2.5" "8 6 -1" "12 9 -0.5" "0 6 -7"; do
    set -- $c
    [ "$(cell adjustments "$1" "$2")" == "$3" ] || fail "ignition: A($1,$2) is $(cell adjustments "$1" "$2"), expected $3"
done
[ "$(count_not adjustments 0)" -eq 4 ] || fail "ignition: $(count_not adjustments 0) cells changed, expected 4"
[ "$(cell updated 0 6)" == "0" ] || fail "ignition: U(0,6) is $(cell updated 0 6), expected 0"
[ "$(cell updated 7 6)" == "15" ] || fail "ignition: U(7,6) is $(cell updated 7 6), expected 15"

# The region, the limits, and the knock event test with the adjustments.
"$cli" adjust-ignition --no-filters --reference "$fixtures/ezk_map.txt" --region 7,8,6,6 --max-cyls 8 \
    --max-retard 9.1 --include-adjustments "$fixtures/knock.txt" >"$out" || fail "ignition limits: status $?"
[ "$(sed -n 2,3p "$out" | tr '\n' '|')" == "Pass 1 completed (max=1/3.5)|Finished, max= 1 cyls, 3.5 deg|" ] ||
    fail "ignition limits: lines $(sed -n 2,3p "$out" | tr '\n' '|')"
[ "$(count_not adjustments 0)" -eq 0 ] || fail "ignition limits: cells changed within the limits"
"$cli" adjust-ignition --no-filters --reference "$fixtures/ezk_map.txt" --region 7,8,6,6 --max-retard 0 \
    "$fixtures/knock.txt" >"$out" || fail "ignition region: status $?"
[ "$(count_not adjustments 0)" -eq 2 ] || fail "ignition region: $(count_not adjustments 0) cells changed, expected 2"
[ "$(cell adjustments 8 6)" == "-2" ] || fail "ignition region: A(8,6) is $(cell adjustments 8 6), expected -2"

# Limits the window refuses: its message on stderr, status 2, nothing on stdout.
limit_cases=(
    "--max-retard 9.2|Max Retard must be numeric, in the 0 to 9-deg range"
    "--max-retard 1,5|Max Retard must be numeric, in the 0 to 9-deg range"
    "--max-cyls 9|Max number of cylinders must be numeric, and in the range of 0 to 8"
    "--max-cyls 2.0|Max number of cylinders must be numeric, and in the range of 0 to 8"
)
for entry in "${limit_cases[@]}"; do
    args=${entry%%|*}
    message=${entry#*|}
    # shellcheck disable=SC2086
    got=$("$cli" adjust-ignition $args --reference "$fixtures/ezk_map.txt" "$fixtures/knock.txt" 2>"$err")
    status=$?
    [ "$status" -eq 2 ] || fail "'$args': status $status, expected 2"
    [ -z "$got" ] || fail "'$args': printed to stdout"
    [ "$(cat "$err")" == "$message" ] || fail "'$args': stderr is '$(cat "$err")'"
done

# A reference that cannot be read: status 1 and the reason.
"$cli" adjust-fuel --reference "$fixtures/missing.txt" "$fixtures/lean.txt" >/dev/null 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "missing reference: status $status, expected 1"
grep -qx "Cannot read $fixtures/missing.txt" "$err" || fail "missing reference: stderr is '$(cat "$err")'"
"$cli" adjust-ignition --reference "$fixtures/lh_map.txt" "$fixtures/knock.txt" >/dev/null 2>"$err"
[ $? -eq 1 ] || fail "LH map as ignition reference: not refused"

# Usage errors.
usage_cases=(
    "adjust-fuel $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --source 4 $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --region 0,16,0,15 $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --region 5,4,0,15 $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --region 0,4,0 $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --smooth 0.5,1 $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --target rich $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --target 14 --target-map x.txt $fixtures/lean.txt"
    "adjust-fuel --reference $fixtures/lh_map.txt --max-cyls 3 $fixtures/lean.txt"
    "adjust-ignition --reference $fixtures/ezk_map.txt --source 1 $fixtures/knock.txt"
    "adjust-ignition --reference $fixtures/ezk_map.txt --max-retard"
)
for args in "${usage_cases[@]}"; do
    # shellcheck disable=SC2086
    got=$("$cli" $args 2>"$err")
    status=$?
    [ "$status" -eq 2 ] || fail "'$args': status $status, expected 2"
    [ -z "$got" ] || fail "'$args': printed to stdout"
    grep -q "^Usage:" "$err" || fail "'$args': no usage on stderr"
done
"$cli" --help | grep -q "kelvane-cli adjust-fuel" || fail "--help does not tell adjust-fuel"
"$cli" --help | grep -q "kelvane-cli adjust-ignition" || fail "--help does not tell adjust-ignition"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all adjust checks passed"
