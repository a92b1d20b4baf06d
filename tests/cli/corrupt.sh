#!/usr/bin/env bash
# Damaged files through the whole program: kelvane-cli reads truncated, bit-
# flipped and oddly sized maps, bin images and logs and ends with status 0 or
# 1 (with a word on what it found), never by a signal or a sanitizer report.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT

run() {  # label, then the kelvane-cli arguments
    local label="$1"
    shift
    "$cli" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    if [ "$status" -ne 0 ] && [ "$status" -ne 1 ]; then
        fail "$label: status $status: $(head -c 300 "$work/err")"
    elif [ "$status" -eq 1 ] && [ ! -s "$work/err" ] && [ ! -s "$work/out" ]; then
        fail "$label: refused without a word"
    fi
}

# Flips one bit of byte offset in file (bash only, so the same on every machine).
flip_bit() {  # file offset bit
    local byte
    byte=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
    printf "$(printf '\\%03o' $((byte ^ (1 << $3))))" |
        dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

RANDOM=4242
for source in lh_map.txt ezk_map.txt run1.txt; do
    size=$(wc -c <"$fixtures/$source")
    command=map
    [ "$source" = run1.txt ] && command=log
    for ((cut = 0; cut < size; cut += 23)); do
        head -c "$cut" "$fixtures/$source" >"$work/cut.txt"
        run "$source cut at $cut" "$command" "$work/cut.txt"
    done
    for ((i = 0; i < 40; ++i)); do
        cp "$fixtures/$source" "$work/flipped.txt"
        offset=$((RANDOM % size))
        bit=$((RANDOM % 8))
        flip_bit "$work/flipped.txt" "$offset" "$bit"
        run "$source bit $bit of byte $offset flipped" "$command" "$work/flipped.txt"
    done
done

for size in 0 1 16383 16384 16385 32768; do
    head -c "$size" /dev/zero >"$work/image.bin"
    run "zeroed bin image of $size bytes" bin "$work/image.bin"
    run "zeroed bin image of $size bytes as a map" map "$work/image.bin"
done
head -c 16384 /dev/zero | tr '\0' '\125' >"$work/signed.bin"
printf 'QRM-D' | dd of="$work/signed.bin" bs=1 seek=$((0x3FE0)) conv=notrunc status=none
for ((i = 0; i < 30; ++i)); do
    cp "$work/signed.bin" "$work/flipped.bin"
    flip_bit "$work/flipped.bin" $(((RANDOM * 2) % 16384)) $((RANDOM % 8))
    run "EZK image with a flipped bit ($i)" bin "$work/flipped.bin"
done

# A 1 MB line, NUL bytes and a byte-order mark.
{ head -1 "$fixtures/run1.txt"; head -c 1048576 /dev/zero | tr '\0' '7'; printf '\r\n'; } >"$work/long.txt"
run "1 MB line" log "$work/long.txt"
tr '1' '\0' <"$fixtures/lh_map.txt" >"$work/nul.txt"
run "NUL bytes in a map" map "$work/nul.txt"
{ printf '\357\273\277'; cat "$fixtures/run1.txt"; } >"$work/bom.txt"
run "byte-order mark" log "$work/bom.txt"

[ "$failures" -eq 0 ] || exit 1
