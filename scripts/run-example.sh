#!/usr/bin/env bash
# Builds the importer and its host program, then imports the bundled example board:
# build/small-2.80.json (the board document) and build/small-2.80.svg (its picture).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIDERAVE_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target viderave viderave_plugin
build/viderave import examples/small-2.80.PCB --test-mode --json build/small-2.80.json --svg build/small-2.80.svg "$@"
