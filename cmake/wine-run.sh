#!/bin/sh
# Runs a Windows program of the cross build under wine, quietly and without a display: ctest's
# emulator for the Windows build. The wine prefix comes from WINEPREFIX (the tests set one inside
# the build folder).
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export DISPLAY=
exec wine "$@"
