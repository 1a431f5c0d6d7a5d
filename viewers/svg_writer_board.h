// Writing the picture of a board view to a file, and `viderave render`, which streams a saved
// board document into a view and draws it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "viewers/svg_writer.h"

namespace svg {

// False, with `error` saying why, when the file cannot be written.
bool WritePicture(const SvgWriter& picture, const std::string& path, std::string& error);

}  // namespace svg

// `viderave render DOCUMENT --svg OUT`: 0 when drawn; 2 when the document cannot be read or is
// not a board document, or the picture cannot be written. An empty `svg_path` puts the picture
// beside the document with the extension .svg.
int RunRender(const std::string& document_path, std::string svg_path, bool quiet);
