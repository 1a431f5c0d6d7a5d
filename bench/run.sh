#!/usr/bin/env bash
# Whole-process benchmark of the importer: builds Release, generates boards of about 10 000,
# 100 000 and 1 000 000 primitives, then runs the import, `wc -w` and the import with a KiCad
# export on each board, in turns, several times, and prints per size the median wall time,
# throughput (MB/s, objects/s), peak memory, the ratio to `wc -w`, the time to write the JSON
# document (timed by the host program itself, VIDERAVE_TIMING=1), the KiCad import beside the
# plain one, and `export` of the saved document to KiCad. Ends with the targets and whether they
# are met.
#
#   bench/run.sh                          # everything, 5 runs per size
#   bench/run.sh --runs 9 --sizes "100000 1000000" --build-dir /tmp/b --work-dir /tmp/w
#   bench/run.sh --no-build               # use the binaries already in the build folder
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${BUILD_DIR:-$repo/build-bench}
work_dir=${WORK_DIR:-${TMPDIR:-/tmp}/viderave-bench}
runs=5
doc_runs=3
sizes="10000 100000 1000000"
build=1

while [[ $# -gt 0 ]]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --doc-runs) doc_runs=$2; shift 2 ;;
    --sizes) sizes=$2; shift 2 ;;
    --build-dir) build_dir=$2; shift 2 ;;
    --work-dir) work_dir=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

# /usr/bin/time gives the peak memory; Debian has it in the package `time`.
if [[ ! -x /usr/bin/time ]]; then
  if [[ $(id -u) -eq 0 ]] && command -v apt-get >/dev/null; then
    apt-get install -y -qq time >/dev/null
  else
    echo "run.sh: /usr/bin/time is missing (install the package 'time')" >&2
    exit 2
  fi
fi

if [[ $build -eq 1 ]]; then
  "$repo/scripts/install-deps.sh"
  echo "== building Release in $build_dir"
  cmake -S "$repo" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIDERAVE_TESTS=OFF >/dev/null
  cmake --build "$build_dir" -j2 --target viderave viderave_plugin boardgen_cli plugin_alone_bench >/dev/null
fi
host=$build_dir/viderave
boardgen=$build_dir/boardgen
mkdir -p "$work_dir"

# Median of numbers, one per argument.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs a command; prints "<wall seconds> <peak KB>". Its output goes to $work_dir/last.out/.err.
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$work_dir/rss" "$@" >"$work_dir/last.out" 2>"$work_dir/last.err" </dev/null
  end=$(date +%s%N)
  echo "$(awk -v ns=$((end - start)) 'BEGIN { printf "%.4f", ns / 1e9 }') $(tail -n 1 "$work_dir/rss")"
}

echo "== machine"
echo "nproc: $(nproc)"
echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "memory: $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "load at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "runs per size: $runs (document: $doc_runs)"

declare -A import_median wc_median file_bytes peak_kb doc_rate kicad_median kicad_peak_kb export_rate
printf '\n%-9s %8s %9s | %8s %8s %10s %8s | %8s %6s | %8s %8s %8s\n' \
  primitives file_MB objects import_s MB/s objects/s peak_MB wc_s ratio doc_s doc_MB doc_MB/s
for size in $sizes; do
  board=$work_dir/board-$size.PCB
  "$boardgen" --size "$size" --level 10 --seed 1 -o "$board" --summary >"$work_dir/summary-$size.txt"
  # The records the file holds: every primitive, component and net becomes a host object.
  objects=$(awk '$1 == "primitive_records" || $1 == "components" || $1 == "nets" { n += $2 } END { print n }' \
    "$work_dir/summary-$size.txt")
  bytes=$(stat -c %s "$board")
  file_bytes[$size]=$bytes
  cat "$board" >/dev/null  # in the page cache before the first timed run

  import_times=() wc_times=() rss=() kicad_times=() kicad_rss=()
  for ((r = 0; r < runs; ++r)); do
    read -r t m < <(measure "$host" import "$board" --no-document --quiet --test-mode)
    import_times+=("$t") rss+=("$m")
    read -r t m < <(measure wc -w "$board")
    wc_times+=("$t")
    read -r t m < <(measure "$host" import "$board" --no-document --quiet --test-mode --kicad "$work_dir/board-$size.kicad_pcb")
    kicad_times+=("$t") kicad_rss+=("$m")
  done
  doc_times=() doc_bytes=0 export_times=()
  for ((r = 0; r < doc_runs; ++r)); do
    VIDERAVE_TIMING=1 "$host" import "$board" --json "$work_dir/board-$size.json" --quiet --test-mode \
      </dev/null 2>"$work_dir/timing" >/dev/null
    read -r _ _ t _ b _ < <(grep '^timing: document' "$work_dir/timing")
    doc_times+=("$t") doc_bytes=$b
    read -r t _ < <(measure "$host" export "$work_dir/board-$size.json" --kicad "$work_dir/export-$size.kicad_pcb")
    export_times+=("$t")
  done
  rm -f "$work_dir/board-$size.json" "$work_dir"/*-"$size".kicad_*

  import_s=$(median "${import_times[@]}")
  wc_s=$(median "${wc_times[@]}")
  doc_s=$(median "${doc_times[@]}")
  peak=$(printf '%s\n' "${rss[@]}" | sort -n | tail -n 1)
  import_median[$size]=$import_s wc_median[$size]=$wc_s peak_kb[$size]=$peak
  kicad_median[$size]=$(median "${kicad_times[@]}")
  kicad_peak_kb[$size]=$(printf '%s\n' "${kicad_rss[@]}" | sort -n | tail -n 1)
  export_rate[$size]=$(awk -v db="$doc_bytes" -v dt="$(median "${export_times[@]}")" 'BEGIN { printf "%.1f", db / 1e6 / dt }')
  doc_rate[$size]=$(awk -v db="$doc_bytes" -v dt="$doc_s" 'BEGIN { printf "%.1f", db / 1e6 / dt }')
  awk -v size="$size" -v bytes="$bytes" -v objects="$objects" -v t="$import_s" -v peak="$peak" -v wc="$wc_s" \
    -v dt="$doc_s" -v db="$doc_bytes" 'BEGIN {
      printf "%-9s %8.1f %9d | %8.3f %8.1f %10.0f %8.1f | %8.3f %6.2f | %8.3f %8.1f %8.1f\n",
        size, bytes / 1e6, objects, t, bytes / 1e6 / t, objects / t, peak / 1024, wc, t / wc, dt, db / 1e6, db / 1e6 / dt }'
  echo "   import runs: ${import_times[*]}   wc -w runs: ${wc_times[*]}   document runs: ${doc_times[*]}"
  awk -v k="${kicad_median[$size]}" -v t="$import_s" -v peak="${kicad_peak_kb[$size]}" -v rate="${export_rate[$size]}" 'BEGIN {
    printf "   import --kicad %.3f s (%.2f x import), peak %.1f MB; export of the document to KiCad %.1f MB/s\n", k, k / t, peak / 1024, rate }'
  echo "   import --kicad runs: ${kicad_times[*]}   export runs: ${export_times[*]}"
  # The plug-in's own cost, against a host that keeps nothing (in-process, so no start-up).
  alone=$("$build_dir/plugin_alone_bench" "$board" "$runs")
  alone_s=$(echo "$alone" | sed -n 's/.* in \([0-9.]*\) s .*/\1/p')
  echo "   $alone; $(awk -v a="$alone_s" -v wc="$wc_s" 'BEGIN { printf "%.2f x wc -w", a / wc }')"
done
echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"

# The targets, checked on the sizes that were run.
largest=$(printf '%s\n' $sizes | sort -n | tail -n 1)
echo
echo "== targets"
awk -v t="${import_median[$largest]}" -v wc="${wc_median[$largest]}" -v size="$largest" 'BEGIN {
  printf "import of the %s board within 4 x wc -w: %.2f x  %s\n", size, t / wc, (t <= 4 * wc ? "MET" : "NOT MET") }'
awk -v peak="${peak_kb[$largest]}" -v bytes="${file_bytes[$largest]}" 'BEGIN {
  limit = 3 * bytes / 1048576 + 64
  printf "peak memory under 3 x file + 64 MB: %.1f MB of %.1f MB  %s\n", peak / 1024, limit, (peak / 1024 < limit ? "MET" : "NOT MET") }'
if [[ -n ${import_median[100000]:-} && -n ${import_median[1000000]:-} ]]; then
  awk -v a="${import_median[100000]}" -v b="${import_median[1000000]}" 'BEGIN {
    printf "100 000 -> 1 000 000 primitives multiplies the import time by %.2f (at most 11)  %s\n", b / a, (b <= 11 * a ? "MET" : "NOT MET") }'
fi
awk -v k="${kicad_median[$largest]}" -v t="${import_median[$largest]}" -v size="$largest" 'BEGIN {
  printf "import --kicad of the %s board within 2 x import: %.2f x  %s\n", size, k / t, (k <= 2 * t ? "MET" : "NOT MET") }'
awk -v peak="${kicad_peak_kb[$largest]}" -v bytes="${file_bytes[$largest]}" 'BEGIN {
  limit = 3 * bytes / 1048576 + 64
  printf "import --kicad peak memory under 3 x file + 64 MB: %.1f MB of %.1f MB  %s\n", peak / 1024, limit, (peak / 1024 < limit ? "MET" : "NOT MET") }'
awk -v rate="${export_rate[$largest]}" -v size="$largest" 'BEGIN {
  printf "export of the %s board'"'"'s document to KiCad at 100 MB/s or more: %.1f MB/s  %s\n", size, rate, (rate >= 100 ? "MET" : "NOT MET") }'
for size in $sizes; do
  awk -v rate="${doc_rate[$size]}" -v size="$size" 'BEGIN {
    printf "JSON document of the %s board at 100 MB/s or more: %.1f MB/s  %s\n", size, rate, (rate >= 100 ? "MET" : "NOT MET") }'
done
