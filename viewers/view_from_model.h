// The view of a board straight from the stand-in's model after an import: the objects the board
// document would list, with the values it would show, and no document made on the way.
#pragma once

#include <cstdint>
#include <string>

#include "standin/orvpcb/model.h"
#include "viewers/board_view.h"

namespace view {

// Every object made after `board` (boards excepted), the board's layer names and plane nets, and
// the file name as the title. False, with `error` saying why, when the model lacks a field the
// viewers need (a model whose schemas do not match the viewers).
bool FillFromModel(orv::Model& model, std::uint32_t board, const std::string& file_name, BoardView& view,
                   std::string& error);

}  // namespace view
