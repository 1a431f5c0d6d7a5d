#!/usr/bin/env bash
# What the host sees of the Windows binaries without running them: Viderave.dll exports exactly
# the three importer functions under their plain names, every binary imports only Windows
# system DLLs (and the program the server module), the stand-in modules export their host
# functions undecorated, and the DESCRIPTION resource holds the filter text.
#   check-binaries.sh BUILD_DIR [OBJDUMP] [WINDRES]
set -euo pipefail
build=${1:?build folder}
objdump=${2:-i686-w64-mingw32-objdump}
windres=${3:-i686-w64-mingw32-windres}
passed=0
failed=0

check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
  fi
}

exports() {  # the export names of a module, sorted, one per line
  "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort
}

imports() {  # the DLLs a module imports, lower case, sorted, on one line
  "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' '
}

# The DLLs every Windows since XP has in its system folder.
system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|msvcrt)\.dll$'
only_system() {  # only_system MODULE [ALSO]: the imports outside the system DLLs (and ALSO)
  local dll others=""
  for dll in $(imports "$1"); do
    if ! [[ $dll =~ $system_dlls ]] && [ "$dll" != "${2:-}" ]; then others+="$dll "; fi
  done
  echo "${others% }"
}

plugin="$build/Viderave.dll"
check "Viderave.dll exports" "GetPcbImporterDescription ImportFileIntoPcb RecognisedPCBFile" \
  "$(exports "$plugin" | tr '\n' ' ' | sed 's/ $//')"
check "Viderave.dll imports only system DLLs" "" "$(only_system "$plugin")"
check "Viderave.dll needs no MinGW run-time DLL" "" "$(imports "$plugin" | grep -oE 'lib[a-z0-9_+-]*\.dll' || true)"
check "OrvPcb.dll imports only system DLLs" "" "$(only_system "$build/OrvPcb.dll")"
check "viderave.exe imports only system DLLs and the server" "" "$(only_system "$build/viderave.exe" orvpcb.dll)"

# The plug-in binds these by their plain names: no argument-size decoration may be left.
check "OrvPcb.dll host functions undecorated" "" "$(exports "$build/OrvPcb.dll" | grep -E '^_?PcbApi_.*@' || true)"
check "OrvPcb.dll exports PcbApi_CreateObject" "PcbApi_CreateObject" \
  "$(exports "$build/OrvPcb.dll" | grep -x PcbApi_CreateObject || true)"
check "viderave.exe exports" \
  "ClientAPI_ExtractWholeFileNameFromPath ClientAPI_ForceFileNameExtension VFSAPI_VFS_StreamCreate VFSAPI_VFS_StreamDestroy VFSAPI_VFS_StreamWrite ViderveUI_DialogPrepared" \
  "$(exports "$build/viderave.exe" | grep -v '^ViderveUI_ShowModal$' | tr '\n' ' ' | sed 's/ $//')"

# The resource as windres reads it back out of the module: RCDATA named DESCRIPTION, 78 bytes.
expected_hex=$(printf '||Quorix PCB 2.8 ASCII file (*.PCB)|||\0' | iconv -f ASCII -t UTF-16LE | od -An -v -tx1 | tr -d ' \n')
resource_dir=$(mktemp -d)
trap 'rm -rf "$resource_dir"' EXIT
"$windres" -i "$plugin" -O res -o "$resource_dir/plugin.res"
actual_hex=$(python3 - "$resource_dir/plugin.res" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
at = 0
found = []
while at + 8 <= len(data):
    size, header = struct.unpack_from('<II', data, at)
    def name(pos):
        if data[pos:pos + 2] == b'\xff\xff':
            return struct.unpack_from('<H', data, pos + 2)[0], pos + 4
        end = pos
        while data[end:end + 2] != b'\0\0':
            end += 2
        return data[pos:end].decode('utf-16-le'), end + 2
    kind, pos = name(at + 8)
    label, pos = name(pos)
    body = at + header
    if kind == 10 and label == 'DESCRIPTION':  # 10: RCDATA
        found.append(data[body:body + size])
    at = (body + size + 3) & ~3
print(found[0].hex() if len(found) == 1 else 'resources found: %d' % len(found))
EOF
)
check "DESCRIPTION resource (78 bytes)" "$expected_hex" "$actual_hex"
check "DESCRIPTION resource size" "78" "$(( ${#actual_hex} / 2 ))"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
