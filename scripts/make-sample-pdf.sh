#!/usr/bin/env bash
# Remakes docs/sample-test.pdf: the bundled sample quiz printed with its key by the creator's
# own printing, opened as a recent quiz, with the real printer writing PDF.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel 2 --target test_creator_print
QT_QPA_PLATFORM=offscreen EXAMO_SAMPLE_TEST_PDF="$PWD/docs/sample-test.pdf" \
    build/tests/creator/test_creator_print --gtest_filter='SamplePrint.*'
echo "Written: docs/sample-test.pdf"
