#!/usr/bin/env bash
# Installs the Debian packages a build or a test stage needs, when some are missing.
#   scripts/install-deps.sh           the build's packages
#   scripts/install-deps.sh --tests   also those of the core test stages: clang and its run-time
#                                     libraries (the fuzz target) and time (benchmarks)
#   scripts/install-deps.sh --kicad   KiCad, for the check that KiCad loads the exported boards, and
#                                     the raster libraries of the check that it draws what we draw
#   scripts/install-deps.sh --web     Emscripten and node (with acorn, which Debian's emcc needs
#                                     on NODE_PATH=/usr/share/nodejs), for the WebAssembly module
# Exit status: 0 all there, 3 some could not be had from the registry (the last line on standard
# error says which and the registry's words), 2 usage.
set -euo pipefail
source "$(dirname "$0")/packages.sh"

label=build
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev rapidjson-dev libcli11-dev
  libjemalloc-dev python3 xz-utils)
case "${1:-}" in
  "") ;;
  --tests) label=tests packages+=(clang libclang-rt-14-dev time) ;;
  --kicad) label=kicad packages=(kicad python3 python3-cairosvg python3-numpy python3-pil) ;;
  --web) label=web packages=(emscripten node-acorn nodejs cmake ninja-build) ;;
  *) echo "usage: scripts/install-deps.sh [--tests|--kicad|--web]" >&2; exit 2 ;;
esac
install_packages "$label" "${packages[@]}" || exit 3
