// Feeds boards to the picture writer and runs `viderave render`.
#include "standin/host/svg_writer_board.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "standin/host/document.h"
#include "standin/host/text.h"

namespace svg {
namespace {

using nlohmann::json;

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void AddBoard(orv::Model& model, std::uint32_t board, const std::string& file_name, SvgWriter& picture) {
  picture.SetTitle(Latin1ToUtf8(file_name));
  // The objects the board document lists: those made after the board, boards excepted.
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (!model.Alive(handle) || model.KindOf(handle) == orv::kBoardKind) continue;
    picture.Add(ObjectDocument(model, handle));
  }
}

bool AddDocument(std::FILE* in, SvgWriter& picture, std::string& error) {
  // The parser hands over each element of "objects" as soon as it is complete; it is drawn and
  // dropped. Of the rest only the top-level names are kept: the board and host sections, which
  // the picture does not need, are skipped unbuilt.
  std::string section;
  bool in_objects = false, saw_objects = false;
  auto keep = [&](int depth, json::parse_event_t event, json& parsed) {
    using Event = json::parse_event_t;
    if (depth == 1 && event == Event::key) {
      section = parsed.get<std::string>();
      return section == "document" || section == "fileName" || section == "objects";
    }
    if (depth == 1 && section == "objects" && (event == Event::array_start || event == Event::array_end)) {
      in_objects = event == Event::array_start;
      saw_objects = true;
    }
    if (in_objects && depth == 2 && event == Event::object_end) {
      picture.Add(parsed);
      return false;
    }
    if (in_objects && depth == 2 && event == Event::value) return false;
    return true;
  };
  json top;
  try {
    top = json::parse(in, keep);
  } catch (const json::exception& e) {
    error = std::string("not a JSON document: ") + e.what();
    return false;
  }
  const auto kind = top.is_object() ? top.find("document") : top.end();
  if (!top.is_object() || kind == top.end() || *kind != "viderave-board") {
    error = "not a board document (no \"document\": \"viderave-board\")";
    return false;
  }
  if (!saw_objects) {
    error = "the board document has no \"objects\" list";
    return false;
  }
  const auto name = top.find("fileName");
  if (name != top.end() && name->is_string()) picture.SetTitle(name->get<std::string>());
  return true;
}

bool WritePicture(const SvgWriter& picture, const std::string& path, std::string& error) {
  File out(std::fopen(path.c_str(), "wb"));
  if (!out) {
    error = std::strerror(errno);
    return false;
  }
  if (!picture.Write(out.get())) {
    error = std::strerror(errno);
    return false;
  }
  if (std::fclose(out.release()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace svg

int RunRender(const std::string& document_path, std::string svg_path, bool quiet) {
  if (svg_path.empty()) svg_path = std::filesystem::path(document_path).replace_extension(".svg").string();
  svg::File in(std::fopen(document_path.c_str(), "rb"));
  std::error_code ignored;
  if (!in || std::filesystem::is_directory(document_path, ignored)) {
    std::cerr << "viderave: cannot read " << document_path << ": "
              << (in ? "is a folder, not a file" : std::strerror(errno)) << "\n";
    return 2;
  }
  svg::SvgWriter picture;
  std::string error;
  if (!svg::AddDocument(in.get(), picture, error)) {
    std::cerr << "viderave: cannot draw " << document_path << ": " << error << "\n";
    return 2;
  }
  if (!svg::WritePicture(picture, svg_path, error)) {
    std::cerr << "viderave: cannot write the picture " << svg_path << ": " << error << "\n";
    return 2;
  }
  if (!quiet) std::cerr << "viderave: picture written to " << svg_path << "\n";
  return 0;
}
