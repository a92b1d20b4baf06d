#!/usr/bin/env bash
# kelvane --screenshot with a log: the log is plotted with the preselected
# engine setup and the window saved as an image.
kelvane="$1"
fixtures="$2"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
home=$(mktemp -d) && trap 'rm -rf "$home"' EXIT
shot="$home/out.png"

# A home of its own: no user settings are read or written.
HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
    timeout 60 "$kelvane" --screenshot "$shot" "$fixtures/logs/DeviceLog.txt" >"$home/stdout" 2>"$home/stderr"
status=$?
[ "$status" -eq 0 ] || fail "status $status, expected 0; stderr: $(cat "$home/stderr")"
[ -s "$shot" ] || fail "no image written"
[ "$(head -c 8 "$shot" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "not a PNG image"
if [ -n "$KELVANE_SCREENSHOT_DIR" ] && [ -s "$shot" ]; then cp "$shot" "$KELVANE_SCREENSHOT_DIR/program_screenshot.png"; fi

# --window grabs another window: the map window is smaller than the main one.
main_width=$((16#$(od -An -tx1 -j16 -N4 "$shot" | tr -d ' \n')))
# So are the Options and Color Adjustment windows.
for window in fuel-map options colors; do
    window_shot="$home/$window.png"
    HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" QT_QPA_PLATFORM=offscreen \
        timeout 60 "$kelvane" --screenshot "$window_shot" --window "$window" "$fixtures/logs/DeviceLog.txt" \
        >"$home/stdout" 2>"$home/stderr"
    status=$?
    [ "$status" -eq 0 ] || fail "--window $window: status $status, expected 0; stderr: $(cat "$home/stderr")"
    [ -s "$window_shot" ] || fail "--window $window: no image written"
    if [ -s "$window_shot" ]; then
        window_width=$((16#$(od -An -tx1 -j16 -N4 "$window_shot" | tr -d ' \n')))
        [ "$window_width" -gt 0 ] && [ "$window_width" -ne "$main_width" ] ||
            fail "--window $window: the image is $window_width wide, as the main window ($main_width)"
    fi
done
"$kelvane" --screenshot "$window_shot" --window nowhere >/dev/null 2>&1
[ $? -eq 2 ] || fail "an unknown window is a usage error"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all screenshot checks passed"
