#!/usr/bin/env bash
# Builds everything and runs every test: a plain build, one with AddressSanitizer and
# UndefinedBehaviorSanitizer, a short fuzz run of the import, and the 32-bit Windows build with
# its tests under wine (the parity test with the plain build among them).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
jobs=$(nproc)
stage() { echo "== $* ($(date +%T))"; }

stage "plain build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIDERAVE_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600)

stage "sanitizer build and tests"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIDERAVE_SANITIZE=ON -DVIDERAVE_TESTS=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" --timeout 900)

stage "fuzz run"
fuzz/run.sh 60

stage "Windows build and tests under wine"
scripts/windows-build.sh build build-win32
stage "done"
