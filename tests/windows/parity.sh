#!/usr/bin/env bash
# Parity of the Windows build with the Linux build: the example boards and a generated board of
# every format level (0 to 10) are imported by the Linux host program and by the Windows host
# program under wine (32-bit Viderave.dll, OrvPcb.dll, viderave.exe), and must give the same
# board documents byte for byte, the same exit status and the same layer warnings report. A
# board with CR LF line ends, boards whose components' sides must be deduced (report and
# message box), and an import aborted with Escape (answered no, then yes) are compared too.
#
# Both import the same files from the same folder. The only difference allowed is the folder's
# name, which the documents hold in the file name, the board's file name, the progress caption
# and the report's name: the Windows one (Z:\tmp\...) is put back to the Linux one before the
# comparison. The reports' date and time lines are left out.
#
#   parity.sh LINUX_BUILD WINDOWS_BUILD EXAMPLES     (WINEPREFIX names a ready wine prefix)
set -euo pipefail
linux=$(cd "${1:?Linux build folder}" && pwd)
windows=$(cd "${2:?Windows build folder}" && pwd)
examples=$(cd "${3:?examples folder}" && pwd)
: "${WINEPREFIX:?WINEPREFIX must name the wine prefix}"
export WINEDEBUG=${WINEDEBUG:--all} DISPLAY=

for tool in "$linux/viderave" "$linux/boardgen" "$linux/libviderave.so" "$windows/viderave.exe" "$windows/Viderave.dll"; do
  if [ ! -f "$tool" ]; then
    echo "parity: $tool is missing (build the Linux targets viderave, viderave_plugin and boardgen_cli)" >&2
    exit 2
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/viderave-parity.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir linux windows
windows_folder=$(wine winepath -w "$work" 2>/dev/null | tr -d '\r')
# Without the test-mode key the rules dialog of a large board would wait for a user.
if ! wine reg query 'HKLM\Software\Nembra\TestMode' >/dev/null 2>&1; then
  echo "parity: the wine prefix lacks the key HKLM\Software\Nembra\TestMode (see wine-prefix.sh)" >&2
  exit 2
fi

# Cases: NAME and the extra import options.
cases=()
for example in "$examples"/*.PCB; do
  name=$(basename "$example" .PCB)
  cp "$example" "$name.PCB"
  cases+=("$name|")
done
for level in $(seq 0 10); do
  "$linux/boardgen" --level "$level" --seed $((level + 17)) --size 500 -o "level-$level.PCB"
  cases+=("level-$level|")
done
"$linux/boardgen" --level 10 --seed 5 --size 500 --crlf -o crlf-10.PCB
cases+=("crlf-10|")
# Designators on a mechanical layer: the sides come from the footprints, so the import writes
# the layer warnings report and shows its message box.
for level in 0 4; do
  "$linux/boardgen" --level "$level" --seed 3 --components 6 --designator-layer mechanical -o "warnings-$level.PCB"
  cases+=("warnings-$level|")
done
cp level-10.PCB aborted-10.PCB
cases+=("aborted-10|--escape-at 3,6 --confirm-abort no,yes")

# A run: the document goes to SIDE/NAME.json, the report (if any) to SIDE/NAME.rpt, the exit
# status to SIDE/NAME.status.
run() {  # run SIDE NAME OPTIONS PROGRAM...
  local side=$1 name=$2 options=$3
  shift 3
  local status=0
  # shellcheck disable=SC2086  # the options are words
  timeout 300 "$@" import --test-mode --quiet --json "$side/$name.json" $options "$name.PCB" >"$side/$name.out" 2>&1 </dev/null ||
    status=$?
  echo "$status" >"$side/$name.status"
  if [ -f "$name.rpt" ]; then mv "$name.rpt" "$side/$name.rpt"; fi
}

compare() {  # compare NAME: prints what differs, fails when anything does
  python3 - "$1" "$work" "$windows_folder" <<'EOF'
import json, os, sys

name, work, windows_folder = sys.argv[1:4]
differences = []

def read(path):
    return open(path, 'rb').read() if os.path.exists(path) else None

def describe(a, b, path=''):
    """The first few places where two JSON values differ."""
    if type(a) is not type(b):
        return [f'{path}: {a!r:.80} / {b!r:.80}']
    if isinstance(a, dict):
        found = []
        for key in sorted(set(a) | set(b)):
            if key not in a or key not in b:
                found.append(f'{path}/{key}: only on one side')
            else:
                found += describe(a[key], b[key], f'{path}/{key}')
        return found
    if isinstance(a, list):
        found = [] if len(a) == len(b) else [f'{path}: {len(a)} / {len(b)} items']
        for i, (x, y) in enumerate(zip(a, b)):
            found += describe(x, y, f'{path}/{i}')
        return found
    return [] if a == b else [f'{path}: {a!r:.80} / {b!r:.80}']

status = [read(f'{work}/{side}/{name}.status') for side in ('linux', 'windows')]
if status[0] != status[1]:
    differences.append(f'exit status {status[0]!r} / {status[1]!r}')

# The folder as the documents write it: a JSON string, so backslashes doubled.
windows_json = json.dumps(windows_folder + '\\')[1:-1].encode()
linux_json = json.dumps(work + '/')[1:-1].encode()
documents = [read(f'{work}/{side}/{name}.json') for side in ('linux', 'windows')]
if None in documents:
    differences.append('a document is missing')
else:
    linux_doc, windows_doc = documents[0], documents[1].replace(windows_json, linux_json)
    if linux_doc != windows_doc:
        try:
            found = describe(json.loads(linux_doc), json.loads(windows_doc))
        except ValueError as error:
            found = [f'unreadable document: {error}']
        differences.append('documents differ (Linux / Windows):\n    ' + '\n    '.join(found[:12] or ['in formatting']))

def report(side):
    text = read(f'{work}/{side}/{name}.rpt')
    if text is None:
        return None
    text = text.replace((windows_folder + '\\').encode(), (work + '/').encode())
    return [line for line in text.split(b'\r\n') if not line.startswith((b'Date ', b'Time '))]

if report('linux') != report('windows'):
    differences.append('layer warnings reports differ')

for line in differences:
    print('  ' + line)
sys.exit(1 if differences else 0)
EOF
}

passed=0
failed=0
for entry in "${cases[@]}"; do
  name=${entry%%|*}
  options=${entry#*|}
  run linux "$name" "$options" "$linux/viderave"
  run windows "$name" "$options" wine "$windows/viderave.exe"
  if compare "$name"; then
    passed=$((passed + 1))
    echo "parity $name: same document"
  else
    failed=$((failed + 1))
    echo "parity $name: DIFFERENT"
    sed 's/^/  windows: /' "windows/$name.out" | head -5
  fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
