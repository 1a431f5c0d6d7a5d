#!/usr/bin/env bash
# Imports boards, exports each to KiCad and compares, layer by layer, KiCad's own plot of the
# export with this project's picture of the import (tests/viewers/kicad_parity.py).
#   scripts/kicad-parity.sh [--out DIR] BOARD.PCB...
# Prints the difference per layer and the text and zone checks of each board; a board that fails
# leaves its rasters and their difference as PNGs in DIR/<board>/ (default build/parity).
# Exit status: 0 every board within the limit, 1 some board not, 2 usage or a failed import,
# 3 KiCad or the raster libraries could not be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/parity
if [[ "${1:-}" == "--out" ]]; then
  [[ $# -ge 2 ]] || { echo "usage: scripts/kicad-parity.sh [--out DIR] BOARD.PCB..." >&2; exit 2; }
  out=$2
  shift 2
fi
[[ $# -ge 1 ]] || { echo "usage: scripts/kicad-parity.sh [--out DIR] BOARD.PCB..." >&2; exit 2; }
scripts/install-deps.sh
scripts/install-deps.sh --kicad || exit 3
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIDERAVE_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target viderave viderave_plugin >/dev/null
status=0
for board in "$@"; do
  name=$(basename "${board%.*}")
  folder="$out/$name"
  mkdir -p "$folder"
  if ! build/viderave import "$board" --test-mode --quiet --json "$folder/$name.json" --svg "$folder/$name.svg" \
      --kicad "$folder/$name.kicad_pcb"; then
    echo "$board: the import failed" >&2
    status=2
    continue
  fi
  echo "== $board"
  set +e
  /usr/bin/python3 tests/viewers/kicad_parity.py "$folder/$name.json" "$folder/$name.svg" "$folder/$name.kicad_pcb" \
    --out "$folder" 2> >(grep -v "^swig/python detected a memory leak" >&2)
  result=$?
  set -e
  if [[ $result -eq 3 ]]; then exit 3; fi
  if [[ $result -ne 0 && $status -eq 0 ]]; then status=1; fi
done
exit $status
