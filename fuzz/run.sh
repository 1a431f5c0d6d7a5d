#!/usr/bin/env bash
# The short fuzz run of continuous integration: about 60 seconds of the import fuzz target from
# the kept corpus, on one core. New inputs go to a scratch copy of the corpus, so the repository
# is not changed. Exits 1 when the fuzzer found a crash, leak, hang or memory blow-up.
#   fuzz/run.sh [seconds]
source "$(dirname "$0")/common.sh"
seconds=${1:-60}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$FUZZ_DIR"/corpus/* "$work"/

status=0
"$FUZZER" "${FUZZ_OPTIONS[@]}" -max_total_time="$seconds" -artifact_prefix="$ARTIFACTS/" \
  "$work" >"$FUZZ_BUILD/run.log" 2>&1 || status=$?
grep -E '^(#[0-9]+.*(DONE|pulse)|stat::)' "$FUZZ_BUILD/run.log" | tail -8
if [ "$status" -ne 0 ] || ! report_artifacts; then
  tail -60 "$FUZZ_BUILD/run.log" >&2
  exit 1
fi
