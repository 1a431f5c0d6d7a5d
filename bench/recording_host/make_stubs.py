#!/usr/bin/env python3
"""Writes the recording host's PcbApi_* functions from the host's signature headers.

Every `using PcbApi_X = R VIDERAVE_STDCALL(PARAMETERS);` of host/api/*.h becomes an exported
function of that name and signature that counts the call and returns the answer the recording
host's table holds for it (recording_host.cpp). Made at build time, so the recording host always has every function
the plug-in binds, with the signature it is called with.

    make_stubs.py OUT.cpp HEADER...
"""
import re
import sys

SIGNATURE = re.compile(r"using\s+(PcbApi_\w+)\s*=\s*(.+?)\s+VIDERAVE_STDCALL\s*\((.*?)\)\s*;", re.S)


def main(out_path, headers):
    functions = []
    for header in headers:
        with open(header, encoding="utf-8") as f:
            text = re.sub(r"//[^\n]*", "", f.read())
        for name, result, parameters in SIGNATURE.findall(text):
            functions.append((name, " ".join(result.split()), " ".join(parameters.split())))
    if not functions:
        sys.exit("make_stubs.py: no PcbApi_ signature found")
    lines = [
        "// Made by bench/recording_host/make_stubs.py from the host's signature headers: do not edit.",
        '#include "bench/recording_host/recording_host.h"',
        "",
        "using namespace api;",
        "",
        'extern "C" {',
    ]
    for index, (name, result, parameters) in enumerate(functions):
        lines.append(f"VIDERAVE_EXPORT {result} VIDERAVE_STDCALL {name}({parameters}) {{")
        lines.append(f"  return recording::Answer<{result}>({index});")
        lines.append("}")
    lines.append('}  // extern "C"')
    lines.append("")
    lines.append("namespace recording {")
    lines.append("const char* const kFunctionNames[] = {")
    lines.extend(f'    "{name}",' for name, _, _ in functions)
    lines.append("};")
    lines.append(f"const std::size_t kFunctionCount = {len(functions)};")
    lines.append("}  // namespace recording")
    with open(out_path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
