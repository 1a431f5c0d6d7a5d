# Shared by the fuzz scripts: builds the fuzz target with clang in $FUZZ_BUILD (default
# build-fuzz beside the sources) and sets FUZZER to its path.
set -euo pipefail
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FUZZ_DIR="$SOURCE_DIR/fuzz"
FUZZ_BUILD=${FUZZ_BUILD:-$SOURCE_DIR/build-fuzz}
FUZZ_JOBS=${FUZZ_JOBS:-$(nproc)}

if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ is needed (Debian packages clang and libclang-rt-14-dev)" >&2
  exit 2
fi
# FUZZ_NO_BUILD=1 takes the fuzz target in $FUZZ_BUILD as it is (a copy kept for a campaign
# while the sources change).
if [ -z "${FUZZ_NO_BUILD:-}" ]; then
  if [ ! -f "$FUZZ_BUILD/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$SOURCE_DIR" -B "$FUZZ_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DVIDERAVE_FUZZ=ON -DVIDERAVE_TESTS=OFF >/dev/null
  fi
  cmake --build "$FUZZ_BUILD" -j"$FUZZ_JOBS" --target import_fuzzer >"$FUZZ_BUILD/build.log" 2>&1 ||
    { tail -30 "$FUZZ_BUILD/build.log" >&2; exit 2; }
fi
FUZZER="$FUZZ_BUILD/import_fuzzer"

# Options of every run: the dictionary, files up to 64 KB, an input slower than 20 s is a hang.
FUZZ_OPTIONS=(-dict="$FUZZ_DIR/pcb.dict" -max_len=65536 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1)

# Where crashes land; each one found becomes a regression file under tests/robustness/regressions.
ARTIFACTS="$FUZZ_BUILD/artifacts"
mkdir -p "$ARTIFACTS"

report_artifacts() {
  local found=0
  for artifact in "$ARTIFACTS"/crash-* "$ARTIFACTS"/leak-* "$ARTIFACTS"/timeout-* "$ARTIFACTS"/oom-*; do
    [ -e "$artifact" ] || continue
    found=1
    echo "fuzz: failing input $artifact (replay: $FUZZER $artifact)" >&2
  done
  return $found
}
