#!/usr/bin/env bash
# kelvane with a project folder on its command line: the demo project's last
# session is plotted in a screenshot; a folder that is no project says so.
kelvane="$1"
demo="$2/../../examples/demo-project"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
home=$(mktemp -d) && trap 'rm -rf "$home"' EXIT
run() {
    HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
        timeout 60 "$kelvane" "$@" >"$home/stdout" 2>"$home/stderr"
}

run --screenshot "$home/empty.png" || fail "empty plot: status $?"
run --screenshot "$home/demo.png" --window plot "$demo"
status=$?
[ "$status" -eq 0 ] || fail "demo: status $status; stderr: $(cat "$home/stderr")"
[ -s "$home/demo.png" ] || fail "demo: no image written"
cmp -s "$home/empty.png" "$home/demo.png" && fail "demo: the picture shows an empty plot"
if [ -n "$KELVANE_SCREENSHOT_DIR" ] && [ -s "$home/demo.png" ]; then cp "$home/demo.png" "$KELVANE_SCREENSHOT_DIR/program_demo.png"; fi

mkdir "$home/empty folder"
run --screenshot "$home/none.png" "$home/empty folder"
grep -q "is neither a project folder nor a session folder with logs" "$home/stderr" ||
    fail "not a project: stderr is '$(cat "$home/stderr")'"

[ "$failures" -eq 0 ]
