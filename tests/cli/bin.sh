#!/usr/bin/env bash
# kelvane-cli bin: kind, flags, axes and map blocks of tiny images built here.
cli="$1"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
dir=$(mktemp -d) && trap 'rm -rf "$dir"' EXIT

poke() {  # file offset bytes (printf escapes)
    printf "$3" | dd of="$1" bs=1 seek=$(($2)) conv=notrunc status=none
}
has_line() { grep -qxF -- "$2" "$dir/out" || fail "$1: no line '$2'"; }
no_line() { ! grep -qxF -- "$2" "$dir/out" || fail "$1: unexpected line '$2'"; }
grid_lines() {  # what title: 16 value lines follow the title
    local n
    n=$(awk -v t="$2" '$0 == t { on = 1; next } on && /^$/ { exit } on { print }' "$dir/out" |
        awk -F'\t' 'NF == 16' | wc -l)
    [ "$n" -eq 16 ] || fail "$1: block '$2' has $n lines of 16 values"
}

# LH device image: signature at 3FF0, a non-zero byte in the No-Cat WOT map.
head -c 16384 /dev/zero >"$dir/lh.bin"
poke "$dir/lh.bin" 0x3FF0 'QRM-D'
poke "$dir/lh.bin" 0x37AF '\x05'
"$cli" bin "$dir/lh.bin" >"$dir/out" || fail "lh: status $?"
has_line lh "kind: LH device"
has_line lh "cat wot zeroed: yes"
has_line lh "no-cat wot zeroed: no"
for name in "adaptation disabled" "cat map in use" "no-cat map in use" "primary load map in use"; do
    grep -qE "^$name: (yes|no)$" "$dir/out" || fail "lh: no '$name' flag"
done
grep -qE '^load sensor: (MAF|HexaMAF|VX-Alpha \(TPS\)|VX MAP)$' "$dir/out" || fail "lh: no load sensor line"
[ "$(grep '^rpm axis:' "$dir/out" | awk -F'\t' '{ print NF }')" -eq 17 ] || fail "lh: rpm axis without 16 values"
[ "$(grep '^load axis:' "$dir/out" | awk -F'\t' '{ print NF }')" -eq 17 ] || fail "lh: load axis without 16 values"
grid_lines lh "# cat"
grid_lines lh "# no-cat"
grid_lines lh "# primary load map"
[ "$(grep -A1 -xF '# no-cat wot' "$dir/out" | tail -n 1 | tr -d '\r' | cut -f16)" == "5" ] ||
    fail "lh: the No-Cat WOT byte at 37AF (RPM index 15) does not show as 5"

# LH 2.2 chip image: "JU" at 0FD9 in one 4 KB block; no axes, no primary load map.
head -c 4096 /dev/zero >"$dir/lh22.bin"
poke "$dir/lh22.bin" 0x0FD9 'JU'
"$cli" bin "$dir/lh22.bin" >"$dir/out" || fail "lh22: status $?"
has_line lh22 "kind: LH 2.2"
has_line lh22 "rpm axis:"
has_line lh22 "load axis:"
grid_lines lh22 "# cat"
no_line lh22 "# primary load map"

# EZK images: with and without the signature.
head -c 16384 /dev/zero >"$dir/ezk.bin"
"$cli" bin "$dir/ezk.bin" >"$dir/out" || fail "ezk size only: status $?"
has_line "ezk size only" "kind: EZK (no signature)"
poke "$dir/ezk.bin" 0x3FE0 'QRM-D'
"$cli" bin "$dir/ezk.bin" >"$dir/out" || fail "ezk: status $?"
has_line ezk "kind: EZK"
for name in "gt rpm grid" "wot map disabled"; do
    grep -qE "^$name: (yes|no)$" "$dir/out" || fail "ezk: no '$name' flag"
done
grep -qE '^load sensor: (MAF|HexaMAF|VX-Alpha)$' "$dir/out" || fail "ezk: no load sensor line"
grid_lines ezk "# 98 cat"
grid_lines ezk "# 98 no-cat"
grid_lines ezk "# 91"
for name in "98 cat wot" "98 no-cat wot" "91 wot"; do
    [ "$(grep -A1 -xF "# $name" "$dir/out" | tail -n 1 | awk -F'\t' '{ print NF }')" == 16 ] ||
        fail "ezk: '# $name' is not followed by 16 values"
done
no_line ezk "load axis:"

# Too short for any image.
head -c 100 /dev/zero >"$dir/short.bin"
got=$("$cli" bin "$dir/short.bin")
status=$?
[ "$status" -eq 1 ] || fail "short: status $status, expected 1"
[ "$got" == "kind: not a bin image" ] || fail "short: output '$got'"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all bin checks passed"
