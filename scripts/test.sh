#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once as a normal build, once
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)

build_and_test() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" --parallel "$jobs"
    # Media and window tests keep real time on a busy two-core machine: one retry each.
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs" --timeout 600 --repeat until-pass:2
}

build_and_test build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ "${EXAMO_SKIP_SANITIZE:-0}" != "1" ]; then
    # Leak reports from the desktop libraries (fontconfig, GLib) are not ours to mend.
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    build_and_test build-sanitize -DCMAKE_BUILD_TYPE=Debug -DEXAMO_SANITIZE=ON -DEXAMO_BUILD_BENCH=OFF
fi
