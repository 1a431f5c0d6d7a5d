#!/usr/bin/env bash
# The coverage (edges, features) the import fuzz target reaches in the same time with the record
# mutator (import_fuzzer) and with libFuzzer's byte mutations alone (import_fuzzer_bytes), both
# from the example boards only, side by side (one core each).
#   fuzz/compare-mutators.sh [SECONDS]
source "$(dirname "$0")/common.sh"
seconds=${1:-300}
cmake --build "$FUZZ_BUILD" -j"$FUZZ_JOBS" --target import_fuzzer_bytes >>"$FUZZ_BUILD/build.log" 2>&1 ||
  { tail -30 "$FUZZ_BUILD/build.log" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for variant in import_fuzzer import_fuzzer_bytes; do
  mkdir -p "$work/$variant"
  cp "$SOURCE_DIR"/examples/*.PCB "$work/$variant/"
  "$FUZZ_BUILD/$variant" "${FUZZ_OPTIONS[@]}" -max_total_time="$seconds" -seed=1 \
    -artifact_prefix="$ARTIFACTS/$variant-" "$work/$variant" >"$work/$variant.log" 2>&1 &
done
wait
printf '%-22s %8s %8s %10s %8s\n' target edges features executions exec/s
for variant in import_fuzzer import_fuzzer_bytes; do
  line=$(grep -E '^#[0-9]+' "$work/$variant.log" | tail -n 1)
  runs=$(grep -m1 '^stat::number_of_executed_units' "$work/$variant.log" | awk '{ print $2 }')
  printf '%-22s %8s %8s %10s %8s\n' "$variant" "$(sed -n 's/.*cov: \([0-9]*\).*/\1/p' <<<"$line")" \
    "$(sed -n 's/.*ft: \([0-9]*\).*/\1/p' <<<"$line")" "$runs" "$((runs / seconds))"
done
