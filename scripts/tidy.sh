#!/usr/bin/env bash
# Checks our own sources with clang-tidy (.clang-tidy at the top); any finding fails.
# Usage: scripts/tidy.sh BUILD_DIR   (a configured build folder with compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
mapfile -t sources < <(git ls-files 'src/*.cpp')
run-clang-tidy -p "$build" -quiet -j "$(nproc 2>/dev/null || echo 2)" "${sources[@]/#/$PWD/}"
