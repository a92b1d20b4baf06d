#!/usr/bin/env bash
# The kelvane executable from the command line: help, version and usage errors
# work without any display.
kelvane="$1"
fixtures="$2"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
err=$(mktemp) && trap 'rm -f "$err"' EXIT
nodisplay() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kelvane" "$@"; }

out=$(nodisplay --help 2>"$err")
status=$?
[ "$status" -eq 0 ] || fail "--help: status $status, expected 0"
[[ "$out" == "Usage: kelvane "* ]] || fail "--help: stdout is '$out'"
[ ! -s "$err" ] || fail "--help: stderr is '$(cat "$err")'"

out=$(nodisplay --version 2>"$err")
status=$?
[ "$status" -eq 0 ] || fail "--version: status $status, expected 0"
[[ "$out" =~ ^Kelvane\ [0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version: stdout is '$out'"
[ ! -s "$err" ] || fail "--version: stderr is '$(cat "$err")'"

for args in "--bogus" "$fixtures/logs/DeviceLog.txt --bogus" "--screenshot"; do
    # shellcheck disable=SC2086
    out=$(nodisplay $args 2>"$err")
    status=$?
    [ "$status" -eq 2 ] || fail "'$args': status $status, expected 2"
    [ -z "$out" ] || fail "'$args': printed to stdout: $out"
    grep -q "^Usage: kelvane " "$err" || fail "'$args': no usage on stderr: $(cat "$err")"
done

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all command-line checks passed"
