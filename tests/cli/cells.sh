#!/usr/bin/env bash
# kelvane-cli cells: the per-cell statistics blocks of both views.
cli="$1"
fixtures="$2/cli"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
out=$(mktemp) && trap 'rm -f "$out"' EXIT

block() {  # title: the 16 grid lines after "# title", CR removed
    awk -v t="# $1" '$0 == t { on = 1; next } on && /^$/ { exit } on { print }' "$out" | tr -d '\r'
}
check_shape() {  # view titles...
    local view=$1
    shift
    [ "$(grep '^# ' "$out" | tr '\n' '|')" == "$(printf '# %s|' "$@")" ] ||
        fail "$view: block titles are $(grep '^# ' "$out" | tr '\n' '|')"
    for title in "$@"; do
        [ "$(block "$title" | awk -F'\t' 'NF == 16' | wc -l)" -eq 16 ] || fail "$view: '# $title' is not 16 x 16"
    done
}
sum_block() { block "$1" | tr '\t' '\n' | awk '{ s += $1 } END { print s + 0 }'; }
max_block() { block "$1" | tr '\t' '\n' | awk 'BEGIN { m = 0 } $1 > m { m = $1 } END { print m }'; }

# LH view, filters off: every sample of run1 counted once, mean empty exactly where count is 0.
"$cli" cells --no-filters "$fixtures/run1.txt" >"$out" || fail "LH: status $?"
check_shape LH count mean sdev "mean afr grid"
[ "$(sum_block count)" -eq 12 ] || fail "LH: counts add up to $(sum_block count), expected 12"
mismatch=$(paste <(block count | tr '\t' '\n') <(block mean | tr '\t' '\n') <(block sdev | tr '\t' '\n') |
    awk -F'\t' '($1 == 0) != ($2 == "") || ($1 == 0) != ($3 == "") { print NR }')
[ -z "$mismatch" ] || fail "LH: mean/sdev empty where count is not 0 (or the reverse), cells $mismatch"
# One cell holds all samples: its mean is the mean AFR grid's value there.
[ "$(block mean | tr '\t' '\n' | grep -v '^$')" == "$(block 'mean afr grid' | tr '\t' '\n' | grep -v '^$')" ] ||
    fail "LH: mean and mean afr grid differ"

# EZK view: knock blocks instead of the mean AFR grid; KR1 0.5 on one sample.
"$cli" cells --no-filters --view EZK "$fixtures/run1.txt" >"$out" || fail "EZK: status $?"
check_shape EZK count mean sdev "knock cylinders" "knock retard"
[ "$(sum_block count)" -eq 12 ] || fail "EZK: counts add up to $(sum_block count), expected 12"
[ "$(max_block 'knock retard')" == "0.5" ] || fail "EZK: largest knock retard $(max_block 'knock retard')"
[ "$(max_block 'knock cylinders')" == "1" ] || fail "EZK: most knock cylinders $(max_block 'knock cylinders')"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all cells checks passed"
