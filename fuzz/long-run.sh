#!/usr/bin/env bash
# A long fuzz campaign (default one hour) on one core, then the kept corpus is rebuilt from the
# old one and everything new that adds coverage (libFuzzer's -merge=1), so it stays small.
#   fuzz/long-run.sh [seconds]          FUZZ_BUILD=... FUZZ_JOBS=... to change the build
# The log is $FUZZ_BUILD/long-run.log; crashes land in $FUZZ_BUILD/artifacts.
source "$(dirname "$0")/common.sh"
seconds=${1:-3600}

work="$FUZZ_BUILD/corpus-work"
mkdir -p "$work"
cp -n "$FUZZ_DIR"/corpus/* "$work"/ 2>/dev/null || true

# One worker process at a time (-fork=1) that keeps going past a crash, so the campaign runs its
# whole time and collects every failing input.
status=0
"$FUZZER" "${FUZZ_OPTIONS[@]}" -max_total_time="$seconds" -artifact_prefix="$ARTIFACTS/" \
  -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 "$work" >"$FUZZ_BUILD/long-run.log" 2>&1 || status=$?

"$FUZZ_DIR"/merge-corpus.sh "$work"
grep -E '^(#[0-9]+|stat::)' "$FUZZ_BUILD/long-run.log" | tail -8
report_artifacts || exit 1
exit "$status"
