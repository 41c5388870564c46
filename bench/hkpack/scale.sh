#!/usr/bin/env bash
# `hkpack check` and `hkpack unpack` against Info-ZIP on databases of many
# games made by `hkpack synth` (20,000 and 65,531 by default): the median wall
# time of each (`unzip -tqq -P` for check, `unzip -qq -P -d` for unpack), their
# ratio, the time per game (linear work keeps it flat from one size to the
# next) and the peak resident memory of unpack against its bound of 64 MiB.
# Last, the peak memory of unpack on four texts of HK_BIG_MIB MiB (default 64)
# against its bound of three times the largest text plus 64 MiB.
# usage: bench/hkpack/scale.sh [path/to/hkpack] [rounds] [games...]
set -euo pipefail
hkpack=$(realpath "${1:-build/tools/hkpack/hkpack}")
rounds=${2:-3}
shift 2 || shift $#
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(20000 65531)
password='Mossgate r7.42 kQ'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ms() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }

for games in "${sizes[@]}"; do
    db="$work/db$games.dat"
    "$hkpack" synth "$games" "$db"
    "$hkpack" check "$db" > /dev/null
    unzip -tqq -P "$password" "$db"

    check=() tcheck=() unpack=() tunpack=()
    for ((i = 0; i < rounds; i++)); do
        t0=$(now); "$hkpack" check "$db" > /dev/null; t1=$(now)
        unzip -tqq -P "$password" "$db"; t2=$(now)
        check+=($(((t1 - t0) / 1000))); tcheck+=($(((t2 - t1) / 1000)))
        # Files just deleted make the next ones dearer to create (ext4 passes
        # over recently freed inodes): each program goes first every other round.
        rm -rf "$work/ours" "$work/theirs"
        if ((i % 2 == 0)); then
            t0=$(now); "$hkpack" unpack "$db" "$work/ours" > /dev/null; t1=$(now)
            unzip -qq -P "$password" -d "$work/theirs" "$db"; t2=$(now)
            unpack+=($(((t1 - t0) / 1000))); tunpack+=($(((t2 - t1) / 1000)))
        else
            t0=$(now); unzip -qq -P "$password" -d "$work/theirs" "$db"; t1=$(now)
            "$hkpack" unpack "$db" "$work/ours" > /dev/null; t2=$(now)
            tunpack+=($(((t1 - t0) / 1000))); unpack+=($(((t2 - t1) / 1000)))
        fi
    done
    rm -rf "$work/ours" "$work/theirs"
    kib=$({ /usr/bin/time -f %M "$hkpack" unpack "$db" "$work/ours" > /dev/null; } 2>&1 | tail -n 1)
    theirsKib=$({ /usr/bin/time -f %M unzip -qq -P "$password" -d "$work/theirs" "$db"; } 2>&1 | tail -n 1)
    rm -rf "$work/ours" "$work/theirs"

    a=$(median "${check[@]}") b=$(median "${tcheck[@]}")
    c=$(median "${unpack[@]}") d=$(median "${tunpack[@]}")
    printf '%d games (%d KiB), medians of %d runs:\n' "$games" $(($(stat -c %s "$db") / 1024)) "$rounds"
    printf '  hkpack check:  %s ms (%.1f us/game)   unzip -tqq -P: %s ms   ratio %.2f (goal: at most 1.0)\n' \
        "$(ms "$a")" "$(awk -v t="$a" -v n="$games" 'BEGIN { print t / n }')" "$(ms "$b")" \
        "$(awk -v x="$a" -v y="$b" 'BEGIN { print x / y }')"
    printf '  hkpack unpack: %s ms (%.1f us/game)   unzip -qq -P -d: %s ms   ratio %.2f (goal: at most 1.0, aim 0.5)\n' \
        "$(ms "$c")" "$(awk -v t="$c" -v n="$games" 'BEGIN { print t / n }')" "$(ms "$d")" \
        "$(awk -v x="$c" -v y="$d" 'BEGIN { print x / y }')"
    printf '  peak resident memory of unpack: %d KiB (goal: at most 65536 KiB); unzip: %d KiB\n' \
        "$kib" "$theirsKib"
done

big=${HK_BIG_MIB:-64}
if [ "$big" -gt 0 ]; then
    mkdir -p "$work/big/texts"
    awk -v n=$((big * 1048576)) 'BEGIN { srand(7); s = ""; while (length(s) < 65536) s = s "LEVEL" int(rand() * 100) "\tpress F10 during the game\n";
        for (done = 0; done + length(s) <= n; done += length(s)) printf "%s", s }' > "$work/big/texts/t1.txt"
    printf '# four large texts\n' > "$work/big/index.tsv"
    for k in 1 2 3 4; do
        [ $k = 1 ] || cp "$work/big/texts/t1.txt" "$work/big/texts/t$k.txt"
        printf 't%d.txt\t0\tGame %d (PC)\n' $k $k >> "$work/big/index.tsv"
    done
    "$hkpack" build "$work/big" "$work/big.dat" > /dev/null
    rm -rf "$work/big"
    text=$(( $("$hkpack" cat "$work/big.dat" t1.txt | wc -c) / 1024 ))
    kib=$({ /usr/bin/time -f %M "$hkpack" unpack "$work/big.dat" "$work/ours" > /dev/null; } 2>&1 | tail -n 1)
    printf 'four texts of %d KiB: peak resident memory of unpack %d KiB (goal: at most %d KiB)\n' \
        "$text" "$kib" $((3 * text + 65536))
fi
