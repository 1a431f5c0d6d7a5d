#!/usr/bin/env bash
# Imports every example board and the generated boards of every format level in
# tests/reference/boards with the host program of BUILD_DIR, draws and exports their saved
# documents again (the KiCad projects of all of them share one folder, so its footprint library
# table names every library), and compares every output byte for byte with the outputs kept in
# tests/reference/expected (xz-compressed; the temporary folder is written as @DIR@). The kept
# outputs were made by the build before the read context, the shared vocabulary and the viewers
# were reworked, so any change of a host call, its order, or a byte of a document, picture or
# KiCad file shows here.
#
#   tests/reference/check.sh BUILD_DIR            # compare; exit 1 and show the first lines that differ
#   tests/reference/check.sh BUILD_DIR --update   # write the kept outputs anew (read the diff!)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: check.sh BUILD_DIR [--update]}" && pwd)
update=${2:-}
program="$build/viderave"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

boards=()
for board in "$root"/examples/*.PCB "$here"/boards/*.PCB; do
  cp "$board" "$work/"
  boards+=("$(basename "$board" .PCB)")
done

status=0
for name in "${boards[@]}"; do
  out="$work/$name"
  set +e
  "$program" import "$work/$name.PCB" --json "$out.json" --svg "$out.svg" --trace "$out.trace" \
    --kicad "$out.kicad_pcb" --test-mode --quiet
  echo "import exit $?" >"$out.exit"
  "$program" render "$out.json" --svg "$out.render.svg" >>"$out.messages" 2>&1
  echo "render exit $?" >>"$out.exit"
  "$program" export "$out.json" --kicad "$out.export.kicad_pcb" >>"$out.messages" 2>&1
  echo "export exit $?" >>"$out.exit"
  set -e
done

cd "$work"
# A KiCad footprint library folder is kept as one text: each file's name, then the file.
for library in *.pretty; do
  [ -d "$library" ] || continue
  find "$library" -type f | LC_ALL=C sort | while IFS= read -r file; do
    printf '== %s\n' "${file#"$library"/}"
    cat "$file"
  done >"$library.files"
  rm -r "$library"
done
for file in $(ls | grep -v '\.PCB$' | sort); do
  # The component layer report carries the date and time of the import.
  sed -i -e "s|$work|@DIR@|g" -e 's/^\(Date *:\|Time *:\).*/\1 @WHEN@/' "$file"
  kept="$here/expected/$file.xz"
  if [ "$update" = "--update" ]; then
    mkdir -p "$here/expected"
    xz -9e -c "$file" >"$kept"
  elif [ ! -f "$kept" ]; then
    echo "NEW OUTPUT $file (not in tests/reference/expected)"
    status=1
  elif ! xz -dc "$kept" | cmp -s - "$file"; then
    echo "DIFFERS $file:"
    diff <(xz -dc "$kept") "$file" | head -n 8 | cut -c1-300 || true
    status=1
  fi
done
if [ "$update" != "--update" ]; then
  for kept in "$here"/expected/*.xz; do
    [ -e "$work/$(basename "$kept" .xz)" ] || { echo "MISSING $(basename "$kept" .xz)"; status=1; }
  done
fi
[ $status -eq 0 ] && echo "reference outputs: ${#boards[@]} boards identical"
exit $status
