#!/usr/bin/env bash
# Remakes the README's pictures of the creator's windows in docs/: the sample quiz in the
# editor and the previewer, a score log in the viewer and three bitmaps in the AVI maker, each
# drawn by the real program on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --parallel 2 --target take_screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/bench/take_screenshots samples docs
