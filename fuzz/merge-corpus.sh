#!/usr/bin/env bash
# Rebuilds fuzz/corpus as the smallest set of inputs, from fuzz/corpus and the given folders,
# that keeps all of their coverage (libFuzzer's -merge=1).
#   fuzz/merge-corpus.sh FOLDER...
source "$(dirname "$0")/common.sh"

merged=$(mktemp -d)
trap 'rm -rf "$merged"' EXIT
"$FUZZER" -merge=1 -max_len=65536 -timeout=20 -artifact_prefix="$ARTIFACTS/" "$merged" "$FUZZ_DIR/corpus" "$@" >"$FUZZ_BUILD/merge.log" 2>&1
# Merging goes on past inputs that crash; such an input is a finding, not a seed.
if grep -q 'Test unit written' "$FUZZ_BUILD/merge.log" || [ -z "$(ls -A "$merged")" ]; then
  grep -A3 'ERROR:\|Test unit written' "$FUZZ_BUILD/merge.log" | head -40 >&2
  echo "fuzz: merge failed; fuzz/corpus left as it was" >&2
  exit 1
fi
rm -f "$FUZZ_DIR"/corpus/*
cp "$merged"/* "$FUZZ_DIR"/corpus/
echo "fuzz: corpus of $(ls "$FUZZ_DIR/corpus" | wc -l) files, $(du -sh "$FUZZ_DIR/corpus" | cut -f1)"
