// The `board` section of the board document: every value group of the host's board functions,
// the 82 layers, the split plane mode, the layer pairs and the external dielectrics, as the
// stand-in server holds them.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "standin/orvpcb/model.h"

// Appends the section's JSON text: the JSON library's text of the section's tree, byte for byte,
// written without building the tree.
void AppendBoardDocument(orv::Model& model, std::uint32_t board, std::string& out);

// The section as a tree (parsed from its text), for callers that look values up by key.
nlohmann::json BoardDocument(orv::Model& model, std::uint32_t board);
