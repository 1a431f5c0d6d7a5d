// The `board` section of the board document.
#include "standin/host/board_document.h"

nlohmann::json BoardDocument(orv::Model&, std::uint32_t board) {
  return nlohmann::json{{"Handle", board}};
}
