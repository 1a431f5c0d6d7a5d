#!/usr/bin/env bash
# Installs the Debian packages the build needs, when some are missing; with --tests also those
# of the whole test run: clang and its run-time libraries (the fuzz target), time (benchmarks)
# and kicad (the check that KiCad loads the exported boards).
#   scripts/install-deps.sh [--tests]
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev libjemalloc-dev python3)
if [ "${1:-}" = "--tests" ]; then
  packages+=(clang libclang-rt-14-dev time kicad)
fi
missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
