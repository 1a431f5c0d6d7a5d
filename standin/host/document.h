// The board document: the JSON file that shows everything the host holds after an import
// (board settings, objects, and what the host saw of the run). Deterministic: the same input
// gives the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "standin/orvpcb/model.h"

// Appends the `host` section's JSON text, from the model's records and the host session.
void AppendHostDocument(orv::Model& model, std::string& out);

class ObjectWriter;

// Writes the whole document of a board to an open file; false on a write error.
bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out);
// The same with the caller's object writer (of the same model), whose per-kind key plans stay
// valid as long as the model's schemas do: a process that writes document after document makes
// them once.
bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out,
                        ObjectWriter& writer);
