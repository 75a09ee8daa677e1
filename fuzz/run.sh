#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each for SECONDS from its committed seeds. New inputs go to a scratch folder, never into
# fuzz/corpus/; findings are kept in build-fuzz/findings/<target>/.
# Usage: fuzz/run.sh SECONDS [TARGET...]     Environment: FUZZ_JOBS (fuzzers at once, default 2)
# Exits non-zero when any target found a crash, a leak, a timeout or ran out of memory.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(quizfile records scorelog questiontext dib picture mediacommand settings midi)
jobs=${FUZZ_JOBS:-2}

missing=()
command -v clang++ >/dev/null || missing+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
    missing+=(libclang-rt-dev)
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi

build=build-fuzz
# Every library is instrumented for coverage and the sanitizers, not only the fuzz mains.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DEXAMO_FUZZ=ON -DEXAMO_BUILD_TESTS=OFF -DEXAMO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$jobs" --target "${targets[@]/#/fuzz_}"

# Desktop libraries (fontconfig, GLib, GStreamer) keep memory for the process's life.
export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
root=$(realpath "$build")
runs="$root/runs"
rm -rf "$runs"
mkdir -p "$runs" "$root/findings"

run_one() {
    local target=$1 scratch="$runs/$1"
    mkdir -p "$scratch/corpus" "$root/findings/$target"
    cp fuzz/corpus/"$target"/* "$scratch/corpus/"
    # Each fuzzer in a folder of its own: some targets write files beside them.
    local status=0
    (cd "$scratch" && HOME="$scratch" XDG_RUNTIME_DIR="$scratch" nice -n 10 \
        "$root/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$root/findings/$target/" \
        "$scratch/corpus" >"$scratch/log" 2>&1) || status=$?
    echo "$status" >"$scratch/status"
}

pending=("${targets[@]}")
while [ ${#pending[@]} -gt 0 ]; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    run_one "${pending[0]}" &
    pending=("${pending[@]:1}")
done
wait || true

failed=0
printf '%-14s %12s %8s %9s\n' target executions corpus findings
for target in "${targets[@]}"; do
    scratch="$runs/$target"
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/log" | grep -o '[0-9]*$' || echo ?)
    size=$(find "$scratch/corpus" -type f | wc -l)
    found=$(find "$root/findings/$target" -type f | wc -l)
    status=$(cat "$scratch/status" 2>/dev/null || echo 1)
    printf '%-14s %12s %8s %9s\n' "$target" "${execs:-?}" "$size" "$found"
    if [ "$status" != 0 ] || [ "$found" != 0 ]; then
        failed=1
        echo "  see $scratch/log and $root/findings/$target/"
    fi
done
exit $failed
