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

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

apt_install() {  # apt_install [-t SUITE] PACKAGE...
  DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

install_toolchain() {
  local packages=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 wine wine32:i386 wine64 python3)
  local missing=() package
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "windows-build: installing ${missing[*]}"
    as_root apt-get update -qq
    apt_install "${missing[@]}"
  fi
}

qemu_major() {
  qemu-i386 --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p'
}

# 32-bit wine needs the kernel to run i386 programs, or qemu to run them for it.
enable_i386_programs() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then return; fi
  echo "windows-build: this kernel runs no 32-bit programs; running them with qemu"
  if [ "$(qemu_major)" = "" ] || [ "$(qemu_major)" -lt 8 ]; then
    local codename suite list=/etc/apt/sources.list.d/viderave-backports.list
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ "$codename" = "bookworm" ]; then
      suite=bookworm-backports
      echo "deb http://deb.debian.org/debian $suite main" | as_root tee "$list" >/dev/null
      as_root apt-get update -qq
      apt_install -t "$suite" qemu-user
      as_root rm -f "$list"
      as_root apt-get update -qq
    else
      as_root apt-get update -qq
      apt_install qemu-user
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
