#!/usr/bin/env bash
# Rebuilds fuzz/corpus as the smallest set of inputs, from fuzz/corpus and the given folders,
# that keeps all of their coverage (libFuzzer's -merge=1).
#   fuzz/merge-corpus.sh FOLDER...
source "$(dirname "$0")/common.sh"

merged=$(mktemp -d)
trap 'rm -rf "$merged"' EXIT
"$FUZZER" -merge=1 -max_len=65536 -timeout=20 "$merged" "$FUZZ_DIR/corpus" "$@" >"$FUZZ_BUILD/merge.log" 2>&1
rm -f "$FUZZ_DIR"/corpus/*
cp "$merged"/* "$FUZZ_DIR"/corpus/
echo "fuzz: corpus of $(ls "$FUZZ_DIR/corpus" | wc -l) files, $(du -sh "$FUZZ_DIR/corpus" | cut -f1)"
