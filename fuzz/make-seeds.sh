#!/usr/bin/env bash
# Rebuilds the seed corpus: the example boards and small generated boards of every format level
# (0 to 10) holding every record kind, some with CR LF line ends or the nets first, merged into
# fuzz/corpus so that only seeds adding coverage are kept.
#   fuzz/make-seeds.sh BOARDGEN      (BOARDGEN: the board generator of any build, build/boardgen)
source "$(dirname "$0")/common.sh"
boardgen=${1:?"usage: fuzz/make-seeds.sh path/to/boardgen"}

seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
cp "$SOURCE_DIR"/examples/*.PCB "$seeds"/
every_kind=(--tracks 3 --arcs 2 --vias 2 --pads 2 --fills 1 --strings 1 --polygons 1 --split-planes 1
  --coordinates 1 --dimensions 1 --shape6-pads 1 --nets 4 --components 2 --comp-pads 2 --comp-tracks 1
  --comp-arcs 1 --comp-vias 1 --comp-fills 1 --comp-strings 1 --polygon-vertices 4 --defaults --options)
for level in $(seq 0 10); do
  "$boardgen" --level "$level" --seed "$level" "${every_kind[@]}" -o "$seeds/level$level.PCB"
  "$boardgen" --level "$level" --seed "$((level + 100))" "${every_kind[@]}" --designator-layer random \
    --nets-first --crlf --dangling-percent 20 -o "$seeds/level$level-crlf.PCB"
  "$boardgen" --level "$level" --seed "$((level + 200))" --size 100 -o "$seeds/level$level-mix.PCB"
done
mkdir -p "$FUZZ_DIR/corpus"
"$FUZZ_DIR"/merge-corpus.sh "$seeds"
