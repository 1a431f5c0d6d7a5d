#!/usr/bin/env bash
# Builds the WebAssembly module of the plug-in, the stand-in host and the viewers with Debian's
# Emscripten (WEB_BUILD_DIR/viderave.js and viderave.wasm; web/README.md says how to use them),
# and puts the page together in WEB_BUILD_DIR/site/.
#
#   scripts/web.sh [WEB_BUILD_DIR]                  (default build-web)
#   scripts/web.sh --serve [PORT] [WEB_BUILD_DIR]   builds, then serves the page on
#                                                   http://127.0.0.1:PORT/ (default 8080)
#
# Exit status: 0 built; 3 the registry could not provide Emscripten (the last line on standard
# error says so, with its words); 1 the build failed.
set -euo pipefail
cd "$(dirname "$0")/.."
serve=""
port=8080
if [ "${1:-}" = "--serve" ]; then
  serve=yes
  shift
  if [[ "${1:-}" =~ ^[0-9]+$ ]]; then port=$1; shift; fi
fi
web=${1:-build-web}
status=0
scripts/install-deps.sh || status=$?   # the header-only JSON and command-line libraries
[ "$status" -eq 0 ] && { scripts/install-deps.sh --web || status=$?; }
[ "$status" -eq 0 ] || exit "$status"
# Debian's emcc runs its JavaScript tools under node with the acorn parser of node-acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B "$web" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$web" -j"$(nproc)" || exit 1
site="$web/site"
rm -rf "$site"
mkdir -p "$site"
cp web/page/* web/viderave_import.js "$web/viderave.js" "$web/viderave.wasm" "$site/"
echo "web: module built: $web/viderave.js, $web/viderave.wasm; the page: $site/"
[ -z "$serve" ] || exec python3 web/serve.py "$site" "$port"
