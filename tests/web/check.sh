#!/usr/bin/env bash
# Runs the WebAssembly module's tests (web_module_test.js) against the host program of BUILD_DIR.
#   tests/web/check.sh BUILD_DIR WEB_BUILD_DIR
# Exit status 77 (ctest: skipped) when the module has not been built (scripts/web.sh builds it).
set -euo pipefail
build=${1:?usage: check.sh BUILD_DIR WEB_BUILD_DIR}
web=${2:?usage: check.sh BUILD_DIR WEB_BUILD_DIR}
if [ ! -f "$web/viderave.js" ] || ! command -v node >/dev/null; then
  echo "web: no module in $web (scripts/web.sh builds it) or no node: skipped"
  exit 77
fi
exec node --no-experimental-fetch "$(dirname "$0")/web_module_test.js" "$build" "$web"
