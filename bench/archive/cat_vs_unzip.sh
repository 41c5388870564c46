#!/usr/bin/env bash
# Whole-process speed of one encrypted, deflated 48 MiB member: `hkpack cat`
# against `unzip -p -P`, run alternately; prints the median wall time of each.
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

now() { date +%s%N; }
declare -a ours theirs
for ((i = 0; i < rounds; i++)); do
    t0=$(now); "$hkpack" cat "$work/big.zip" big.txt --password pw > /dev/null; t1=$(now)
    unzip -p -P pw "$work/big.zip" big.txt > /dev/null; t2=$(now)
    ours+=($(( (t1 - t0) / 1000000 ))); theirs+=($(( (t2 - t1) / 1000000 )))
done
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
echo "hkpack cat:  median $(median "${ours[@]}") ms over $rounds runs"
echo "unzip -p -P: median $(median "${theirs[@]}") ms over $rounds runs"
