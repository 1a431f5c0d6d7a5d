#!/usr/bin/env bash
# The wine set-up of the Windows tests: `wine-prefix.sh setup PREFIX` makes the 32-bit wine prefix
# (once), starts its wine server for the whole test run (otherwise every program waits for the
# server to linger, or hangs at the end), and puts the test-mode key and the headless graphics
# driver in its registry; `wine-prefix.sh cleanup PREFIX` stops the server.
#
# The headless ("null") graphics driver lets windows exist without a display: the native rules
# dialog can then be made, looked at and closed by the tests. The test-mode key keeps imports
# from waiting for that dialog.
set -euo pipefail
action=${1:?setup or cleanup}
export WINEPREFIX=${2:?wine prefix folder}
export WINEARCH=win32 WINEDEBUG=-all DISPLAY=
# No .NET or HTML engine: the prefix is made offline and the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

case "$action" in
  setup)
    mkdir -p "$WINEPREFIX"
    # The server and the system services it starts outlive this script: they must not hold its
    # output open (ctest would wait for them), so everything wine says goes to a log.
    log="$WINEPREFIX/setup.log"
    : >"$log"
    trap 'status=$?; [ $status -eq 0 ] || cat "$log" >&2' EXIT
    if ! grep -qs '"Graphics"="null"' "$WINEPREFIX/user.reg"; then
      [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >>"$log" 2>&1
      wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$log" 2>&1
      # The desktop of this first start was made before the driver was named; start afresh.
      wineserver -k >>"$log" 2>&1 || true
      wineserver -w >>"$log" 2>&1 || true
    fi
    wineserver -p >>"$log" 2>&1 </dev/null
    # Every time: a test that removes the key for a while may have been stopped before it put
    # the key back. This first program start also brings the system services up.
    wine reg add 'HKLM\Software\Nembra\TestMode' /f >>"$log" 2>&1 </dev/null
    ;;
  cleanup)
    wineserver -k || true
    ;;
  *)
    echo "usage: $0 setup|cleanup PREFIX" >&2
    exit 2
    ;;
esac
