#!/usr/bin/env bash
# Builds everything and runs every test, stage by stage, and ends with a summary of each stage:
# passed, failed or skipped, and its time.
#
#   scripts/test.sh [--only STAGE[,STAGE...]]
#
# Core stages, which never skip: plain (a plain build and its tests), sanitizer (a build with
# AddressSanitizer and UndefinedBehaviorSanitizer and its tests), fuzz (a short fuzz run of the
# import). Extra stages, whose toolchain comes from the package registry: kicad (KiCad loads the
# exported boards), windows (the 32-bit Windows build and its tests under wine) and web (the
# WebAssembly module, whose outputs must equal the host program's). An extra stage
# is skipped, and said so, only when its packages cannot be installed; once installed, a failure
# fails the run. Exit status: 0 when no stage failed, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
only=""
if [ "${1:-}" = "--only" ]; then only=",${2:?--only takes a list of stages},"; fi
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# The KiCad checks load each export in KiCad's pcbnew module; they are their own stage.
kicad_tests='^KicadLoad\.|KicadGenerated\.|KicadRandom\.|KicadParity\.'
# The WebAssembly module's test needs its own build (build-web/): the web stage.
web_tests='^WebModule\.'

stage_plain() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIDERAVE_TESTS=ON >/dev/null || return 1
  cmake --build build -j"$jobs" || return 1
  (cd build && ctest --output-on-failure -j"$jobs" --timeout 600 -E "$kicad_tests|$web_tests") || return 1
}

stage_sanitizer() {
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIDERAVE_SANITIZE=ON -DVIDERAVE_TESTS=ON \
    >/dev/null || return 1
  cmake --build build-sanitize -j"$jobs" || return 1
  (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$jobs" --timeout 900 -E "$web_tests") || return 1
}

stage_fuzz() {
  fuzz/run.sh 60 || return 1
}

stage_kicad() {
  local status=0
  scripts/install-deps.sh --kicad || status=$?
  [ "$status" -eq 0 ] || return "$status"
  if ! /usr/bin/python3 -c 'import pcbnew' >/dev/null 2>&1; then
    echo "kicad: installed, but its pcbnew module does not load" >&2
    return 1
  fi
  [ -f build/build.ninja ] || stage_plain || return 1
  (cd build && ctest --output-on-failure -j"$jobs" --timeout 600 -R "$kicad_tests") || return 1
}

stage_windows() {
  local status=0
  scripts/windows-build.sh build build-win32 || status=$?
  [ "$status" -eq 0 ] || [ "$status" -eq 3 ] || return 1
  return "$status"
}

stage_web() {
  local status=0
  scripts/web.sh build-web || status=$?
  [ "$status" -eq 0 ] || return "$status"
  [ -f build/build.ninja ] || stage_plain || return 1
  cmake --build build -j"$jobs" || return 1
  (cd build && ctest --output-on-failure --timeout 900 -R "$web_tests") || return 1
}

summary=()
failed=0 passed=0 skipped=0

# run_stage NAME core|extra TITLE: runs stage_NAME, its output shown and kept for the summary.
run_stage() {
  local name=$1 kind=$2 title=$3 status=0 started took result
  [ -z "$only" ] || [[ "$only" == *",$name,"* ]] || return 0
  echo "== $title ($(date +%T))"
  started=$(date +%s)
  set +e
  "stage_$name" 2>&1 | tee "$logs/$name.log"
  status=${PIPESTATUS[0]}
  set -e
  took=$(($(date +%s) - started))
  took=$(printf '%dm%02ds' $((took / 60)) $((took % 60)))
  # Exit status 3 is what the install steps give when the registry could not provide a package,
  # and it says so in its last complaint: only then is an extra stage skipped.
  local words
  words=$(grep -E 'could not install|toolchain unavailable' "$logs/$name.log" | tail -n 1 || true)
  if [ "$status" -eq 0 ]; then
    result="passed"
    passed=$((passed + 1))
  elif [ "$kind" = extra ] && [ "$status" -eq 3 ] && [ -n "$words" ]; then
    result="SKIPPED $name: $words"
    skipped=$((skipped + 1))
  else
    result="FAILED"
    failed=$((failed + 1))
  fi
  summary+=("$(printf '%-10s %-8s %s' "$name" "$took" "$result")")
  echo "== $title: ${result%%:*} after $took"
}

print_summary() {
  echo
  echo "== summary"
  local line
  for line in "${summary[@]}"; do echo "$line"; done
  echo "stages: $passed passed, $failed failed, $skipped skipped"
}

echo "== packages ($(date +%T))"
if ! scripts/install-deps.sh --tests; then
  summary+=("$(printf '%-10s %-8s %s' packages - "FAILED: the build's packages could not be installed")")
  failed=1
  print_summary
  exit 1
fi

run_stage plain core "plain build and tests"
run_stage sanitizer core "sanitizer build and tests"
run_stage fuzz core "fuzz run"
run_stage kicad extra "KiCad checks"
run_stage windows extra "Windows build and tests under wine"
run_stage web extra "WebAssembly module and its tests in node"
print_summary
[ "$failed" -eq 0 ]
