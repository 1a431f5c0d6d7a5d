#!/usr/bin/env bash
# Builds the 32-bit Windows binaries (Viderave.dll, OrvPcb.dll, viderave.exe) with MinGW-w64 and
# runs their tests under wine, the parity test with the Linux build among them. Installs the
# cross compiler and wine when they are missing.
#
#   scripts/windows-build.sh [LINUX_BUILD [WINDOWS_BUILD]]
#     LINUX_BUILD    default build: its viderave and boardgen are built when needed, for the
#                    parity test
#     WINDOWS_BUILD  default build-win32
#
# Where the kernel runs no 32-bit programs (some virtual machines), 32-bit wine runs under
# qemu's user-mode emulation, registered for i386 programs; qemu 8.1 or later is needed there
# (older ones make every wine start take minutes), taken from Debian's backports on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
linux_build=$(realpath -m "${1:-build}")
windows_build=$(realpath -m "${2:-build-win32}")
jobs=$(nproc)
started=$(date +%s)

source "$root/scripts/packages.sh"

# Exit status 3: the toolchain could not be had from the registry (the last line on standard
# error says what and why); the test command then skips this stage instead of failing it.
unavailable() {
  echo "windows-build: toolchain unavailable: $*" >&2
  exit 3
}

install_toolchain() {
  local added=""
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    added=yes
    PACKAGE_INDEX_REFRESHED=""  # the i386 lists are new: fetch them whatever was done before
  fi
  if ! install_packages windows g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386 wine64 python3; then
    # Leave apt as it was: an i386 index that cannot be fetched would fail every later update.
    if [ -n "$added" ] && as_root dpkg --remove-architecture i386 2>/dev/null; then
      as_root apt-get update -qq >/dev/null 2>&1 || true
    fi
    unavailable "$PACKAGES_FAILURE"
  fi
}

# The address of the machine's own Debian source for its release, as apt has it configured.
debian_source() {
  apt-cache policy | awk -v suite="$1/main" '$3 == suite && $2 ~ /^[a-z+]+:/ { print $2; exit }'
}

qemu_major() {
  qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p'
}

# 32-bit wine needs the kernel to run i386 programs, or qemu to run them for it.
enable_i386_programs() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then return; fi
  echo "windows-build: this kernel runs no 32-bit programs; running them with qemu"
  if [ "$(qemu_major)" = "" ] || [ "$(qemu_major)" -lt 8 ]; then
    local codename suite source list=/etc/apt/sources.list.d/viderave-backports.list
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ "$codename" = "bookworm" ]; then
      suite=bookworm-backports
      source=$(debian_source "$codename")
      [ -n "$source" ] || unavailable "no Debian source for $codename is configured, so none for $suite"
      echo "deb $source $suite main" | as_root tee "$list" >/dev/null
      PACKAGE_INDEX_REFRESHED=""
      local status=0
      install_from_suite windows "$suite" qemu-user || status=$?
      as_root rm -f "$list"
      refresh_package_index
      [ "$status" -eq 0 ] || unavailable "$PACKAGES_FAILURE"
    else
      install_packages windows qemu-user || unavailable "$PACKAGES_FAILURE"
    fi
  fi
  local binfmt=/proc/sys/fs/binfmt_misc qemu
  qemu=$(command -v qemu-i386)
  [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ -e "$binfmt/qemu-i386" ] && ! grep -qx "interpreter $qemu" "$binfmt/qemu-i386"; then
    echo -1 | as_root tee "$binfmt/qemu-i386" >/dev/null
  fi
  if [ ! -e "$binfmt/qemu-i386" ]; then
    # i386 ELF executables and shared objects; F: the interpreter is opened now, so it serves
    # every later program whatever its root.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' |
      as_root tee "$binfmt/register" >/dev/null
  fi
  /usr/lib/wine/wine --version >/dev/null
}

install_toolchain
enable_i386_programs
installed=$(date +%s)

# The Linux programs the parity test compares with.
if [ ! -f "$linux_build/CMakeCache.txt" ]; then
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$linux_build" -j"$jobs" --target viderave viderave_plugin boardgen_cli

cmake -S . -B "$windows_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DVIDERAVE_LINUX_BUILD_DIR="$linux_build" >/dev/null
cmake --build "$windows_build" -j"$jobs"
built=$(date +%s)

(cd "$windows_build" && ctest --output-on-failure -j"$jobs" --timeout 1500)
finished=$(date +%s)
echo "windows-build: install $((installed - started)) s, build $((built - installed)) s, tests $((finished - built)) s"
