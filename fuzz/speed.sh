#!/usr/bin/env bash
# Executions per second of fuzz targets on the kept corpus, on one core: every corpus file once
# (-runs=0, as a campaign starts), and the median-sized corpus file imported again and again.
# The rates are per CPU second of the process (user and system), which other load on a shared
# machine changes far less than the wall time.
# With several targets (e.g. a copy built from another commit) they take turns, so that other
# load on the machine falls on each alike.
#   fuzz/speed.sh [ROUNDS] [FUZZER...]      default: 3 rounds of $FUZZ_BUILD/import_fuzzer
source "$(dirname "$0")/common.sh"
rounds=${1:-3}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("$FUZZER")
core=${FUZZ_CORE:-0}
median_runs=${FUZZ_MEDIAN_RUNS:-500}

median=$(find "$FUZZ_DIR/corpus" -type f -printf '%s %p\n' | sort -n | awk '{ line[NR] = $2 } END { print line[int((NR + 1) / 2)] }')
corpus_files=$(find "$FUZZ_DIR/corpus" -type f | wc -l)
echo "median entry: $(basename "$median") ($(stat -c %s "$median") bytes); corpus: $corpus_files files"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-40s %5s %14s %14s\n' target round 'corpus exec/s' 'median exec/s'
for round in $(seq "$rounds"); do
  for target in "${targets[@]}"; do
    # The corpus: CPU seconds of the whole process (reading the files included) per execution.
    /usr/bin/time -f '%U %S' -o "$work/time" taskset -c "$core" "$target" -runs=0 "$FUZZ_DIR/corpus" \
      >"$work/corpus.log" 2>&1
    runs=$(sed -n 's/^#\([0-9]*\).*DONE.*/\1/p' "$work/corpus.log" | tail -n 1)
    corpus_rate=$(awk -v runs="$runs" '{ printf "%.0f", runs / ($1 + $2) }' "$work/time")
    # The median entry, imported $median_runs times in one process.
    /usr/bin/time -f '%U %S' -o "$work/time" taskset -c "$core" "$target" -runs="$median_runs" "$median" \
      >"$work/median.log" 2>&1
    median_rate=$(awk -v runs="$median_runs" '{ printf "%.0f", runs / ($1 + $2) }' "$work/time")
    printf '%-40s %5s %14s %14s\n' "$(basename "$(dirname "$target")")/$(basename "$target")" "$round" \
      "$corpus_rate" "$median_rate"
  done
done
