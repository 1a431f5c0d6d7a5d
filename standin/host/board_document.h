// The `board` section of the board document: every value group of the host's board functions,
// the 82 layers, the split plane mode, the layer pairs and the external dielectrics, as the
// stand-in server holds them.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>

#include "standin/orvpcb/model.h"

nlohmann::json BoardDocument(orv::Model& model, std::uint32_t board);
