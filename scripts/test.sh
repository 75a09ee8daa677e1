#!/usr/bin/env bash
# Installs what is missing, builds, checks our sources with clang-tidy, and runs every test:
# once as a normal build, once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

# No test is retried, except those labelled "timing": they measure real time (a sound that
# lasts as long as it should) and may miss once on a loaded machine. Their retry is printed.
run_tests() {
    local dir=$1
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" --timeout 600 -LE timing
    if ! ctest --test-dir "$dir" --output-on-failure --timeout 600 -L timing; then
        echo "test.sh: RETRY of the timing tests that failed once:"
        cat "$dir/Testing/Temporary/LastTestsFailed.log"
        ctest --test-dir "$dir" --output-on-failure --timeout 600 --rerun-failed
    fi
}

build_and_test() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$jobs"
    run_tests "$dir"
}

build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo
bash scripts/tidy.sh build

if [ "${EXAMO_SKIP_SANITIZE:-0}" != "1" ]; then
    # Leak reports from the desktop libraries (fontconfig, GLib) are not ours to mend.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    build_and_test build-sanitize -DCMAKE_BUILD_TYPE=Debug -DEXAMO_SANITIZE=ON -DEXAMO_BUILD_BENCH=OFF
fi
