#!/usr/bin/env bash
# Installs what is missing, builds, and starts the quiz player on the bundled sample quiz.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc 2>/dev/null || echo 2)"

player=build/bin/ExamoMe
sample=samples/sample.exm
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display here. To try the player without one, run:"
    echo "  xvfb-run -a $player $sample"
    exit 0
fi
exec "$player" "$sample"
