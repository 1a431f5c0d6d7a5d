// The view of a saved board document, read as a stream: each object goes into the view as soon
// as its closing brace is read, and no part of the document is held as a JSON tree. The host
// section, and whatever else of the board section the viewers do not draw, is passed over.
//
//   BoardView view;
//   DocumentRead read = ReadDocument(file, view);
//   if (!read.ok) report(read.error);
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "viewers/board_view.h"

namespace view {

struct DocumentRead {
  bool ok = false;
  bool malformed = false;     // not JSON at all (error starts "not a JSON document: ")
  bool has_objects = false;   // the document has an "objects" list
  std::string error;          // why not, when !ok
};

// Fails on text that is not JSON, a document that is not a board document, and an object that
// lacks a field the viewers need or holds one of the wrong type.
// With `each`, every object is handed over as soon as it is read and not kept: the view then
// holds only the title and the layers.
DocumentRead ReadDocument(std::FILE* in, BoardView& view, ObjectSink each = {});
DocumentRead ReadDocument(std::string_view text, BoardView& view, ObjectSink each = {});

}  // namespace view
