#!/usr/bin/env bash
# Exit statuses and messages: rejected header, unreadable file, usage errors.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
err=$(mktemp) && logs=$(mktemp -d) && trap 'rm -rf "$err" "$logs"' EXIT

# A rejected header: the program's message on stderr, the other file still read, status 1.
out=$("$cli" log --summary "$fixtures/no_maf.txt" "$fixtures/run1.txt" 2>"$err")
status=$?
[ "$status" -eq 1 ] || fail "rejected header: status $status, expected 1"
grep -q 'The following headers were not found in the log file: "MAF signal"' "$err" ||
    fail "rejected header: message missing from stderr: $(cat "$err")"
grep -q 'Logs must include Time, RPM, MAF-signal and AFR.' "$err" || fail "rejected header: second line missing"
[[ "$out" == *"samples: 12"* ]] || fail "rejected header: the good file was not read: $out"
[[ "$out" == *"files: 1"* ]] || fail "rejected header: the rejected file counts as open: $out"

# An unreadable file.
"$cli" log "$fixtures/does_not_exist.txt" "$fixtures/run2.txt" >/dev/null 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "missing file: status $status, expected 1"
grep -qx "Cannot read $fixtures/does_not_exist.txt" "$err" || fail "missing file: stderr is '$(cat "$err")'"

# A read that fails on a file that opens (here a first line longer than any header, as in a
# logger file of NUL bytes) says why, with status 1.
head -c 70000 /dev/zero >"$logs/Run5.txt"
"$cli" log "$logs/Run5.txt" "$fixtures/run2.txt" >/dev/null 2>"$err"
status=$?
[ "$status" -eq 1 ] || fail "failed read: status $status, expected 1"
grep -qx "Cannot read $logs/Run5.txt: its first line is longer than 65536 bytes, so it is no log header" "$err" ||
    fail "failed read: stderr is '$(cat "$err")'"

# Skipped data lines are told on stderr; a file left with no sample is an error, one with some is not.
header=$'Time [s]\tRPM\tMAF signal\tA/F ratio\r\n'
printf '%s0\t0\t200\t14\r\n0.1\t12000\t200\t14\r\n' "$header" >"$logs/Run3.txt"
printf '%s0\t900\t200\t14\r\n0.1\tidle\t200\t14\r\n' "$header" >"$logs/Run4.txt"
out=$("$cli" log --summary "$logs/Run3.txt" "$fixtures/run1.txt" 2>"$err")
status=$?
[ "$status" -eq 1 ] || fail "every line skipped: status $status, expected 1"
grep -qx "Run3.txt: 2 of 2 data lines skipped: RPM or load out of range" "$err" ||
    fail "every line skipped: stderr is '$(cat "$err")'"
[[ "$out" == *"samples: 12"* ]] || fail "every line skipped: the other file was not read: $out"
out=$("$cli" log --summary "$logs/Run4.txt" 2>"$err")
status=$?
[ "$status" -eq 0 ] || fail "one line skipped: status $status, expected 0"
grep -qx "Run4.txt: 1 of 2 data lines skipped: no readable RPM or load value" "$err" ||
    fail "one line skipped: stderr is '$(cat "$err")'"
[[ "$out" == *"samples: 1"* ]] || fail "one line skipped: the good line was not read: $out"
"$cli" log "$fixtures/run1.txt" >/dev/null 2>"$err" || fail "a clean log: status $?"
[ ! -s "$err" ] || fail "a clean log: stderr is '$(cat "$err")'"

# Usage errors: status 2 and the usage on stderr, nothing on stdout.
usage_cases=(
    ""
    "frobnicate x.txt"
    "log"
    "log --bogus $fixtures/run1.txt"
    "log --smoothing 7 $fixtures/run1.txt"
    "log --smoothing 2.5 $fixtures/run1.txt"
    "log --lh 2.4 $fixtures/run1.txt"
    "log --config VAF $fixtures/run1.txt"
    "log --view"
    "cells --summary $fixtures/run1.txt"
    "bin a.bin b.bin"
    "map --no-afr x.txt"
)
for args in "${usage_cases[@]}"; do
    # shellcheck disable=SC2086
    out=$("$cli" $args 2>"$err")
    status=$?
    [ "$status" -eq 2 ] || fail "'$args': status $status, expected 2"
    [ -z "$out" ] || fail "'$args': printed to stdout: $out"
    grep -q "^Usage:" "$err" || fail "'$args': no usage on stderr"
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all error checks passed"
