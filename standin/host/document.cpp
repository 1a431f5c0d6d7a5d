// The board document writer. Objects are written one at a time, so a board of a million
// objects never exists twice in memory.
#include "standin/host/document.h"

#include <cstring>

#include "standin/host/board_document.h"
#include "standin/host/object_writer.h"
#include "standin/host/session.h"
#include "standin/host/text.h"

using nlohmann::json;

json HostDocument(orv::Model& model) {
  const HostSession& session = Session();
  json commands = json::array();
  for (const orv::CommandRecord& command : model.commands) {
    commands.push_back({{"Process", Latin1ToUtf8(command.process)}, {"Parameters", Latin1ToUtf8(command.parameters)}});
  }
  return {{"progress",
           {{"Caption", Latin1ToUtf8(model.progress.caption)},
            {"Total", model.progress.total},
            {"Updates", model.progress.updates},
            {"Finished", model.progress.finished}}},
          {"messages", session.messages},
          {"dialogs", session.dialogs},
          {"commands", commands},
          {"files", session.files}};
}

bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out) {
  ObjectWriter writer(model);
  return WriteBoardDocument(model, board, file_name, out, writer);
}

bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out,
                        ObjectWriter& writer) {
  std::string text = "{\"document\":\"viderave-board\",\"version\":1,\"fileName\":";
  text += json(Latin1ToUtf8(file_name)).dump();
  text += ",\"board\":";
  AppendBoardDocument(model, board, text);
  text += ",\"objects\":[";
  bool first = true;
  // Objects made after the board was opened belong to its document; boards are not listed.
  // They are written as text straight from the model and handed to the file a megabyte at a
  // time.
  constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
  bool ok = true;
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit() && ok; ++handle) {
    if (!orv::OfBoard(model, board, handle)) continue;
    if (!first) text += ',';
    first = false;
    writer.Append(handle, text);
    if (text.size() >= kFlushBytes) {
      ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
      text.clear();
    }
  }
  ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  text = "],\"host\":";
  text += HostDocument(model).dump();
  text += "}\n";
  ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return ok && std::fflush(out) == 0;
}
