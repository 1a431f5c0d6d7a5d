// The board document writer. Objects are written one at a time, so a board of a million
// objects never exists twice in memory.
#include "standin/host/document.h"

#include <cstring>

#include "standin/host/board_document.h"
#include "standin/host/json_text.h"
#include "standin/host/object_writer.h"
#include "standin/host/session.h"
#include "standin/host/text.h"

// The `host` section: its keys in the library's order, the session's records (already trees)
// dumped where they are rather than copied into a tree of the section.
void AppendHostDocument(orv::Model& model, std::string& out) {
  const HostSession& session = Session();
  out += "{\"commands\":[";
  bool first = true;
  for (const orv::CommandRecord& command : model.commands) {
    if (!first) out += ',';
    first = false;
    out += "{\"Parameters\":";
    json_text::AppendString(command.parameters, out);
    out += ",\"Process\":";
    json_text::AppendString(command.process, out);
    out += '}';
  }
  out += "],\"dialogs\":";
  out += session.dialogs.dump();
  out += ",\"files\":";
  out += session.files.dump();
  out += ",\"messages\":";
  out += session.messages.dump();
  out += ",\"progress\":{\"Caption\":";
  json_text::AppendString(model.progress.caption, out);
  out += ",\"Finished\":";
  json_text::AppendInteger(model.progress.finished, out);
  out += ",\"Total\":";
  json_text::AppendInteger(model.progress.total, out);
  out += ",\"Updates\":";
  json_text::AppendInteger(model.progress.updates, out);
  out += "}}";
}

bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out) {
  ObjectWriter writer(model);
  return WriteBoardDocument(model, board, file_name, out, writer);
}

bool WriteBoardDocument(orv::Model& model, std::uint32_t board, const std::string& file_name, std::FILE* out,
                        ObjectWriter& writer) {
  std::string text = "{\"document\":\"viderave-board\",\"version\":1,\"fileName\":";
  json_text::AppendString(file_name, text);
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
  AppendHostDocument(model, text);
  text += "}\n";
  ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return ok && std::fflush(out) == 0;
}
