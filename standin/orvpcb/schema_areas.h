// The server's record schemas, registered by area: object records (object_schemas.cpp), the
// board and its settings (board_schemas.cpp), rules and their constraints (rule_schemas.cpp).
#pragma once

#include "standin/orvpcb/model.h"

namespace orv {

void RegisterObjectSchemas(Model& model);
void RegisterBoardSchemas(Model& model);
// Also adds the board initialiser that gives a new board the host's default rules.
void RegisterRuleSchemas(Model& model);

}  // namespace orv
