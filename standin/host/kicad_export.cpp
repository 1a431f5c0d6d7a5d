// Writes the KiCad project files of a board document.
#include "standin/host/kicad_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "standin/host/board_document.h"
#include "standin/host/document.h"
#include "standin/host/text.h"

namespace kicad {
namespace {

using nlohmann::json;

bool WriteFile(const std::string& path, const std::string& text, std::string& error) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const int saved = errno;
  if (std::fclose(out) != 0 || !written) {
    error = "cannot write " + path + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

}  // namespace

ExportResult ExportKicad(const json& document, const std::string& board_path) {
  ExportResult result;
  std::vector<const json*> rules;
  const auto objects = document.find("objects");
  if (objects != document.end() && objects->is_array()) {
    for (const json& object : *objects) {
      if (!object.is_object()) continue;
      if (Int(object, "ObjectId") == kRuleKind) {
        rules.push_back(&object);
      } else {
        ++result.objects;
      }
    }
  }
  result.rules = static_cast<std::int64_t>(rules.size());
  result.rules_written = TranslateRules(rules);
  BoardWriter writer(document, result.rules_written);
  const std::string board = writer.Write(result.counts);
  const std::filesystem::path path(board_path);
  std::filesystem::path project = path, custom = path;
  project.replace_extension(".kicad_pro");
  custom.replace_extension(".kicad_dru");
  result.ok = WriteFile(board_path, board, result.error) &&
              WriteFile(project.string(), ProjectFile(result.rules_written, project.filename().string()),
                        result.error) &&
              WriteFile(custom.string(), result.rules_written.custom_rules, result.error);
  return result;
}

json DocumentTree(orv::Model& model, std::uint32_t board, const std::string& file_name) {
  json tree = {{"document", "viderave-board"}, {"version", 1}, {"fileName", Latin1ToUtf8(file_name)}};
  tree["board"] = BoardDocument(model, board);
  json objects = json::array();
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (!model.Alive(handle) || model.KindOf(handle) == orv::kBoardKind) continue;
    objects.push_back(ObjectDocument(model, handle));
  }
  tree["objects"] = std::move(objects);
  return tree;
}

std::string Summary(const ExportResult& result, const std::string& board_path) {
  const ExportCounts& c = result.counts;
  std::string text = "KiCad board written to " + board_path + ": " + std::to_string(c.footprints) + " footprints, " +
                     std::to_string(c.pads) + " pads, " + std::to_string(c.tracks) + " tracks, " +
                     std::to_string(c.arcs) + " arc tracks, " + std::to_string(c.vias) + " vias, " +
                     std::to_string(c.zones) + " zones, " + std::to_string(c.nets) + " nets, " +
                     std::to_string(c.graphics) + " graphics, " + std::to_string(c.texts) + " texts; " +
                     std::to_string(result.rules_written.scoped) + " scoped rules (" +
                     std::to_string(result.rules_written.as_constraints) + " as KiCad custom rules)";
  if (c.pour_primitives > 0) text += "; " + std::to_string(c.pour_primitives) + " polygon pour primitives left to KiCad's zone filler";
  if (c.left_out > 0) text += "; " + std::to_string(c.left_out) + " objects left out (no KiCad layer, or no size)";
  return text;
}

}  // namespace kicad

int RunExport(const std::string& document_path, const std::string& board_path, bool quiet) {
  std::ifstream in(document_path, std::ios::binary);
  std::error_code ignored;
  if (!in || std::filesystem::is_directory(document_path, ignored)) {
    std::cerr << "viderave: cannot read " << document_path << ": "
              << (in ? "is a folder, not a file" : std::strerror(errno)) << "\n";
    return 2;
  }
  nlohmann::json document;
  try {
    document = nlohmann::json::parse(in);
  } catch (const nlohmann::json::exception& e) {
    std::cerr << "viderave: cannot export " << document_path << ": not a JSON document: " << e.what() << "\n";
    return 2;
  }
  if (!document.is_object() || kicad::Text(document, "document") != "viderave-board") {
    std::cerr << "viderave: cannot export " << document_path
              << ": not a board document (no \"document\": \"viderave-board\")\n";
    return 2;
  }
  const kicad::ExportResult result = kicad::ExportKicad(document, board_path);
  if (!result.ok) {
    std::cerr << "viderave: " << result.error << "\n";
    return 2;
  }
  if (!quiet) std::cerr << "viderave: " << kicad::Summary(result, board_path) << "\n";
  return 0;
}
