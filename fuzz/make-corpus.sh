#!/usr/bin/env bash
# Rewrites the seed corpus in fuzz/corpus/ from our own writers and the samples' generators.
# Usage: fuzz/make-corpus.sh [BUILD_DIR]   (a normal build folder; default: build)
# Inputs kept from findings (names starting with "regress-") are left in place.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target fuzz_make_corpus
out=fuzz/corpus
for target in quizfile records scorelog questiontext dib picture midi mediacommand settings; do
    mkdir -p "$out/$target"
    find "$out/$target" -type f ! -name 'regress-*' -delete
done
# The score-log writer appends, so it writes into an empty folder first.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
QT_QPA_PLATFORM=offscreen "$build/fuzz/fuzz_make_corpus" "$scratch"
cp -r "$scratch"/. "$out"/
python3 samples/make_wmf.py "$out/picture/barn.wmf"
python3 samples/make_midi.py "$out/midi/macdonald.mid"
du -sh "$out"
