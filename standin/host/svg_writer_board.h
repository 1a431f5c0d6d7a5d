// Whole boards into the picture: straight from the stand-in's model after an import, or from a
// saved board document, read one object at a time. Both give the same picture of the same board.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "standin/host/svg_writer.h"
#include "standin/orvpcb/model.h"

namespace svg {

// Every object the board document of `board` lists, and the board's file name as the title.
void AddBoard(orv::Model& model, std::uint32_t board, const std::string& file_name, SvgWriter& picture);

// A board document read from `in`. Only the object being read is held in memory. False, with
// `error` saying why, when the text is not JSON or not a board document.
bool AddDocument(std::FILE* in, SvgWriter& picture, std::string& error);

// False, with `error` saying why, when the file cannot be written.
bool WritePicture(const SvgWriter& picture, const std::string& path, std::string& error);

}  // namespace svg

// `viderave render DOCUMENT --svg OUT`: 0 when drawn; 2 when the document cannot be read or is
// not a board document, or the picture cannot be written. An empty `svg_path` puts the picture
// beside the document with the extension .svg.
int RunRender(const std::string& document_path, std::string svg_path, bool quiet);
