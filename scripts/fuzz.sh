#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each one for a
# bounded time from its seed corpus. Any crash, hang, leak or sanitizer report
# fails the script. HK_FUZZ_SECONDS changes the time per target (default 60).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${HK_FUZZ_SECONDS:-60}
build=${HK_FUZZ_BUILD:-build-fuzz}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DHK_WERROR=ON -DHK_BUILD_FUZZ=ON -DHK_BUILD_GUI=OFF -DHK_BUILD_TESTS=OFF -DHK_BUILD_BENCH=OFF >/dev/null
ninja -C "$build" -j "$(nproc)" fuzz_all

# New inputs go to a scratch folder so the committed seeds stay as they are;
# findings (crash-*, timeout-*, leak-*, oom-*) land in $build/fuzz/findings.
findings="$build/fuzz/findings"
mkdir -p "$findings"
failed=()
for target in archive unshrink unreduce explode inflate index; do
    work="$build/fuzz/corpus-$target"
    mkdir -p "$work"
    echo "== fuzz_$target: ${seconds}s"
    if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$findings/$target-" \
        "$work" "fuzz/corpus/$target" 2>"$build/fuzz/fuzz_$target.log"; then
        tail -n 60 "$build/fuzz/fuzz_$target.log"
        failed+=("$target")
    fi
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/fuzz/fuzz_$target.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found problems in: ${failed[*]} (inputs in $findings)" >&2
    exit 1
fi
echo "fuzzing: no findings"
