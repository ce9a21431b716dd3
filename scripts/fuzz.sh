#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang into build-fuzz/ and runs each
# for a short, bounded time. Fails on any crash, sanitizer finding, leak,
# out-of-memory or slow input. The seed corpus in fuzz/corpus/ is only read:
# new inputs go to build-fuzz/corpus/<target>/, emptied before each run, and
# failing inputs to build-fuzz/artifacts/<target>/.
#   MOLTRIX_FUZZ_SECONDS  seconds per target (default 4)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${MOLTRIX_FUZZ_SECONDS:-4}
targets=(fuzz_image_records fuzz_setup_file fuzz_board_ini fuzz_bench_setup)

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ not found; on Debian: apt-get install clang libclang-rt-14-dev" >&2
    exit 1
fi

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
for target in "${targets[@]}"; do
    scratch="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    log="$build/$target.log"
    rm -rf "$scratch"
    mkdir -p "$scratch" "$artifacts"
    args=(-max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=512 -max_len=4096 -timeout=10
          -print_final_stats=1 -artifact_prefix="$artifacts/")
    [[ -f "$root/fuzz/$target.dict" ]] && args+=(-dict="$root/fuzz/$target.dict")
    if "$build/$target" "${args[@]}" "$scratch" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz.sh: $target: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds}s, no finding"
    else
        echo "fuzz.sh: $target FAILED (log $log, inputs in $artifacts/); its last lines:" >&2
        tail -n 40 "$log" >&2
        failed+=("$target")
    fi
done

if ((${#failed[@]})); then
    echo "fuzz.sh: findings in ${failed[*]}" >&2
    exit 1
fi
echo "fuzz.sh: all ${#targets[@]} targets ran ${seconds}s each without a finding"
