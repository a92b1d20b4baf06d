#!/usr/bin/env bash
# kelvane-cli log: the sample lines, their columns, file order and file indexes.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
out=$(mktemp) && trap 'rm -f "$out"' EXIT

# run1 opened again by a later open: it is read again, so its samples move behind run2's.
"$cli" log --no-filters "$fixtures/run1.txt" "$fixtures/run2.txt" --then "$fixtures/run1.txt" >"$out"
status=$?
[ "$status" -eq 0 ] || fail "log exited $status, expected 0"

expected_header=$'Index\tFile\tRpm\tMafSignal\tPlotMaf\tMafPercent\tMafVoltage\tMapPressure\tO2Adjust\tO2Active\tSmoothedAfr\tAfrPresent\tAfr\tThrottleSwitch\tInjPulseWidth\tInjDutyCycle\tFlappy\tCoolantTemp\tAirTemp\tBaroPressure\tLoad\tIgnAdvance\tKnockCount\tKR1\tKR2\tKR3\tKR4\tKR5\tKR6\tKR7\tKR8\tTimeSec\tTimeStamp\tFirstOfFile\tIncluded\tPlottedAfr'
[ "$(head -n 1 "$out")" == "$expected_header" ] || fail "header line differs: $(head -n 1 "$out")"
[ "$(wc -l <"$out")" -eq 16 ] || fail "expected 1 header + 15 sample lines, got $(wc -l <"$out") lines"
bad=$(awk -F'\t' 'NF != 36 { print NR }' "$out")
[ -z "$bad" ] || fail "lines without 36 fields: $bad"

# Field of a sample line (line 1 is the header, so sample i is on line i + 2).
field() { awk -F'\t' -v line=$(($1 + 2)) -v col="$2" 'NR == line { print $col }' "$out"; }
check() {  # sample column expected what
    local got
    got=$(field "$1" "$2")
    [ "$got" == "$3" ] || fail "$4: sample $1 column $2 is '$got', expected '$3'"
}
check 0 1 0 "Index"
check 14 1 14 "Index"
check 0 2 0 "run2 is first in the open-files list"
check 0 3 3000 "Rpm of run2's first sample"
check 0 8 95.5 "MapPressure"
check 0 9 "" "missing O2Adjust prints empty"
check 0 10 0 "O2Active of a log without O2 column"
check 0 14 -1 "missing throttle switch prints the integer -1"
check 0 34 1 "FirstOfFile"
check 3 2 1 "run1 (read again) is second in the open-files list"
check 3 3 2000 "Rpm of run1's first sample"
check 3 9 2.5 "O2Adjust"
check 3 13 14.7 "Afr printed shortest"
check 3 14 2 "ThrottleSwitch"
check 3 21 40.5 "Load"
check 3 34 1 "FirstOfFile of run1"
check 8 24 0.5 "KR1"
check 8 23 1 "KnockCount"
check 14 32 1.1 "TimeSec"
check 14 35 1 "Included with filters off"
[ "$(field 3 36)" != "" ] || fail "PlottedAfr of sample 3 is empty"

# Plot O2Adj off: the plotted AFR of a sample equals its smoothed AFR.
"$cli" log --no-filters --no-o2 "$fixtures/run1.txt" >"$out" || fail "log --no-o2 failed"
diff_lines=$(awk -F'\t' 'NR > 1 && $36 != $11 { print NR }' "$out")
[ -z "$diff_lines" ] || fail "with --no-o2 PlottedAfr differs from SmoothedAfr on lines $diff_lines"

# Filters on: not every sample is included, and the count matches the summary.
"$cli" log "$fixtures/run1.txt" >"$out" || fail "log with filters failed"
included=$(awk -F'\t' 'NR > 1 && $35 == 1' "$out" | wc -l)
summary_included=$("$cli" log --summary "$fixtures/run1.txt" | sed -n 's/^included: //p')
[ "$included" == "$summary_included" ] || fail "log shows $included included, summary says $summary_included"
[ "$included" -lt 12 ] || fail "filters on should exclude some samples, all 12 included"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all log checks passed"
