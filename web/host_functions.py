#!/usr/bin/env python3
"""Writes the WebAssembly build's tables of host functions by name (host/host_modules_web.cpp
looks names up in them, where the other builds ask the dynamic loader).

    web/host_functions.py SOURCE_DIR OUT.cpp

Every function signature in host/api/ (a `using NAME = ... VIDERAVE_STDCALL(...)`) is a function
the stand-in host defines: those of the server's headers go to the server's table, those of the
client and system headers to the main program's. The declarations are written with the
signature types themselves, so a definition of another type does not link."""
import pathlib
import re
import sys

SERVER_HEADERS = ["core.h", "board.h", "objects.h", "rules.h"]
MAIN_PROGRAM_HEADERS = ["client.h", "system.h"]
SIGNATURE = re.compile(r"\busing\s+(\w+)\s*=[^;]*?\bVIDERAVE_STDCALL\s*\(", re.S)


def names(api_dir, headers):
    found = []
    for header in headers:
        found += SIGNATURE.findall((api_dir / header).read_text())
    return found


# A function-local table is made on its first use: the plug-in binds while the program's static
# objects are still being made, perhaps before those of this file.
def table(function, functions):
    rows = "".join(f'      {{"{name}", reinterpret_cast<void*>(&{name})}},\n' for name in functions)
    return (f"const FunctionTable& {function}() {{\n"
            f"  static const NamedFunction functions[] = {{\n{rows}  }};\n"
            f"  static const FunctionTable table{{functions, std::size(functions)}};\n"
            f"  return table;\n}}\n")


def main():
    source_dir, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    api_dir = source_dir / "host" / "api"
    server = names(api_dir, SERVER_HEADERS)
    main_program = names(api_dir, MAIN_PROGRAM_HEADERS)
    text = "// Written by web/host_functions.py from the signatures in host/api/; not to be edited.\n"
    text += "".join(f'#include "host/api/{header}"\n' for header in SERVER_HEADERS + MAIN_PROGRAM_HEADERS)
    text += '#include "host/host_modules.h"\n\n#include <iterator>\n\n'
    text += 'extern "C" {\n' + "".join(f"api::{name} {name};\n" for name in server + main_program) + "}\n\n"
    text += "namespace host_modules {\n\n"
    text += table("ServerFunctions", server) + "\n" + table("MainProgramFunctions", main_program)
    text += "\n}  // namespace host_modules\n"
    # Written only when it changes, so that a build with nothing new compiles nothing.
    if not out.exists() or out.read_text() != text:
        out.write_text(text)


if __name__ == "__main__":
    main()
