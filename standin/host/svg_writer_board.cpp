// Feeds boards to the picture writer and runs `viderave render`.
#include "standin/host/svg_writer_board.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include <nlohmann/json.hpp>

#include "standin/host/text.h"
#include "standin/orvpcb/packed.h"

namespace svg {
namespace {

using nlohmann::json;

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

using orv::Load;

// A field as the board document shows it.
json FieldValue(const orv::Model& model, const orv::FieldSlot& slot, const std::uint8_t* place) {
  using orv::FieldType;
  switch (slot.def.type) {
    case FieldType::kU8:
    case FieldType::kLayerId: return place[0];
    case FieldType::kU16: return Load<std::uint16_t>(place);
    case FieldType::kI32: return Load<std::int32_t>(place);
    case FieldType::kU32: return Load<std::uint32_t>(place);
    case FieldType::kF64: return Load<double>(place);
    case FieldType::kString: return Latin1ToUtf8(model.StringAt(Load<std::uint32_t>(place)));
    case FieldType::kSegments: {
      json segments = json::array();
      const auto block = model.SegmentsAt(Load<std::uint32_t>(place));
      for (std::size_t at = 0; at + orv::kSegmentBytes <= block.size(); at += orv::kSegmentBytes) {
        const std::uint8_t* s = block.data() + at;
        segments.push_back({{"SegmentKind", s[0]},
                            {"X", Load<std::int32_t>(s + 1)},
                            {"Y", Load<std::int32_t>(s + 5)},
                            {"CentreX", Load<std::int32_t>(s + 9)},
                            {"CentreY", Load<std::int32_t>(s + 13)},
                            {"Radius", Load<std::int32_t>(s + 17)},
                            {"StartAngle", Load<double>(s + 21)},
                            {"EndAngle", Load<double>(s + 29)}});
      }
      return segments;
    }
    case FieldType::kBytes: break;
  }
  return nullptr;
}

// The part of an object's document that the picture reads. The full document of a pad holds
// hundreds of values; building only these keeps the picture of a large board a matter of
// seconds. The same values as the document's, so a board and its saved document draw alike.
class DrawnFields {
 public:
  explicit DrawnFields(orv::Model& model) : model_(model) {}

  json Of(std::uint32_t handle) {
    const orv::Object* object = model_.Find(handle);
    json doc = json::object();
    doc["Handle"] = handle;
    doc["ObjectId"] = object->kind;
    json containers = json::array();
    for (const orv::Membership& m : object->containers) containers.push_back(m.container);
    doc["Containers"] = std::move(containers);
    for (const orv::FieldSlot* slot : SlotsOf(object->kind)) {
      doc[slot->def.name] = FieldValue(model_, *slot, model_.FieldData(handle, *slot));
    }
    return doc;
  }

 private:
  const std::vector<const orv::FieldSlot*>& SlotsOf(std::uint8_t kind) {
    std::vector<const orv::FieldSlot*>& slots = slots_[kind];
    if (!known_[kind]) {
      known_[kind] = true;
      for (const orv::FieldSlot& slot : model_.LayoutOf(kind).slots) {
        if (slot.instances == 1 && slot.def.type != orv::FieldType::kBytes && SvgWriter::Reads(slot.def.name)) {
          slots.push_back(&slot);
        }
      }
    }
    return slots;
  }

  orv::Model& model_;
  std::array<bool, 256> known_{};
  std::array<std::vector<const orv::FieldSlot*>, 256> slots_;
};

}  // namespace

void AddBoard(orv::Model& model, std::uint32_t board, const std::string& file_name, SvgWriter& picture) {
  picture.SetTitle(Latin1ToUtf8(file_name));
  // The objects the board document lists: those made after the board, boards excepted.
  DrawnFields fields(model);
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (!model.Alive(handle) || model.KindOf(handle) == orv::kBoardKind) continue;
    if (SvgWriter::Draws(model.KindOf(handle))) picture.Add(fields.Of(handle));
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
