#!/usr/bin/env bash
# Whole-process speed of `hkpack cat` against `unzip -p -P`, run alternately,
# on two encrypted, deflated archives made by Info-ZIP zip: one 48 MiB member,
# and one small member out of 20,000 (where reading the central directory is
# most of the work). Prints the median wall time of each, their ratio
# (hkpack / unzip), and the peak resident memory of both programs for the
# 48 MiB member against its bound of 1.25 times the member plus 16 MiB.
# usage: bench/archive/cat_vs_unzip.sh [path/to/hkpack] [rounds]
set -euo pipefail
hkpack=${1:-build/tools/hkpack/hkpack}
rounds=${2:-11}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Text that looks like a codes database, 48 MiB.
{ awk 'BEGIN { srand(3); split("IDDQD IDKFA level password god mode ammo warp Enter type during game the and press F10 health", w, " ");
             n = 0; while (n < 50331648) { s = w[int(rand() * 17) + 1]; if (rand() < 0.2) s = s int(rand() * 1000);
             s = s (rand() < 0.11 ? "\r\n" : " "); printf "%s", s; n += length(s) } }' || true; } | head -c 50331648 > "$work/big.txt"
(cd "$work" && zip -q -P pw big.zip big.txt)
cmp <("$hkpack" cat "$work/big.zip" big.txt --password pw) "$work/big.txt"
cmp <(unzip -p -P pw "$work/big.zip" big.txt) "$work/big.txt"

# 20,000 small texts of 1-5 KiB; the one fetched sits near the end of the directory.
mkdir "$work/many"
awk -v dir="$work/many" 'BEGIN { srand(5); for (k = 0; k < 20000; k++) {
        f = sprintf("%s/g%05d.txt", dir, k); n = 1024 + int(rand() * 4096); s = "";
        while (length(s) < n) s = s "LEVEL" int(rand() * 100) "\tpress F10 during the game\r\n";
        printf "%s", s > f; close(f) } }'
(cd "$work/many" && printf '%s\n' g*.txt | zip -q -P pw ../many.zip -@)
small=g19876.txt
cmp <("$hkpack" cat "$work/many.zip" "$small" --password pw) "$work/many/$small"
cmp <(unzip -p -P pw "$work/many.zip" "$small") "$work/many/$small"

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# usage: race LABEL ARCHIVE MEMBER
race() {
    local -a ours=() theirs=()
    local t0 t1 t2
    for ((i = 0; i < rounds; i++)); do
        t0=$(now); "$hkpack" cat "$2" "$3" --password pw > /dev/null; t1=$(now)
        unzip -p -P pw "$2" "$3" > /dev/null; t2=$(now)
        ours+=($(( (t1 - t0) / 1000 ))); theirs+=($(( (t2 - t1) / 1000 )))
    done
    local a b
    a=$(median "${ours[@]}"); b=$(median "${theirs[@]}")
    printf '%s\n  hkpack cat:  median %d.%03d ms over %d runs\n  unzip -p -P: median %d.%03d ms over %d runs\n' \
        "$1" $((a / 1000)) $((a % 1000)) "$rounds" $((b / 1000)) $((b % 1000)) "$rounds"
    awk -v a="$a" -v b="$b" -v goal="$4" 'BEGIN { printf "  ratio hkpack/unzip: %.2f (goal: at most %s)\n", a / b, goal }'
}
# Peak resident memory in KiB, the median of a few runs.
# usage: peak COMMAND...
peak() {
    local -a kib=()
    for ((i = 0; i < 5; i++)); do
        kib+=($( { /usr/bin/time -f %M "$@" > /dev/null; } 2>&1 | tail -n 1))
    done
    median "${kib[@]}"
}
race "48 MiB member:" "$work/big.zip" big.txt 0.5
race "one small member of 20,000:" "$work/many.zip" "$small" 0.8

member=$(( $(stat -c %s "$work/big.txt") / 1024 ))
ours=$(peak "$hkpack" cat "$work/big.zip" big.txt --password pw)
theirs=$(peak unzip -p -P pw "$work/big.zip" big.txt)
bound=$(( member * 5 / 4 + 16 * 1024 ))
printf 'peak resident memory, 48 MiB member (median of 5):\n  hkpack cat:  %d KiB (%.2f x the member; goal: at most %d KiB)\n  unzip -p -P: %d KiB\n' \
    "$ours" "$(awk -v o="$ours" -v m="$member" 'BEGIN { print o / m }')" "$bound" "$theirs"
