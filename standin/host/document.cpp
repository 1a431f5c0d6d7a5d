// The board document writer. Objects are written one at a time, so a board of a million
// objects never exists twice in memory.
#include "standin/host/document.h"

#include <cstring>
#include <map>

#include "standin/host/board_document.h"
#include "standin/host/object_writer.h"
#include "standin/host/session.h"
#include "standin/host/text.h"
#include "standin/orvpcb/packed.h"

namespace {

using nlohmann::json;
using orv::FieldType;

using orv::Load;

json SegmentDocument(const std::uint8_t* s) {
  return {{"SegmentKind", s[0]},
          {"X", Load<std::int32_t>(s + 1)},
          {"Y", Load<std::int32_t>(s + 5)},
          {"CentreX", Load<std::int32_t>(s + 9)},
          {"CentreY", Load<std::int32_t>(s + 13)},
          {"Radius", Load<std::int32_t>(s + 17)},
          {"StartAngle", Load<double>(s + 21)},
          {"EndAngle", Load<double>(s + 29)}};
}

json FieldValue(const orv::Model& model, orv::FieldType type, std::uint16_t size, const std::uint8_t* place) {
  switch (type) {
    case FieldType::kU8:
    case FieldType::kLayerId:
      return place[0];
    case FieldType::kU16:
      return Load<std::uint16_t>(place);
    case FieldType::kI32:
      return Load<std::int32_t>(place);
    case FieldType::kU32:
      return Load<std::uint32_t>(place);
    case FieldType::kF64:
      return Load<double>(place);
    case FieldType::kString:
      return Latin1ToUtf8(model.StringAt(Load<std::uint32_t>(place)));
    case FieldType::kBytes: {
      json bytes = json::array();
      for (std::uint16_t i = 0; i < size; ++i) bytes.push_back(place[i]);
      return bytes;
    }
    case FieldType::kSegments: {
      json segments = json::array();
      const auto block = model.SegmentsAt(Load<std::uint32_t>(place));
      for (std::size_t at = 0; at + orv::kSegmentBytes <= block.size(); at += orv::kSegmentBytes) {
        segments.push_back(SegmentDocument(block.data() + at));
      }
      return segments;
    }
  }
  return nullptr;
}

json ConstraintDocument(const orv::Model& model, const orv::ConstraintRecord& record) {
  if (record.last_written < 0) return nullptr;
  const orv::Schema& schema = model.SchemaAt(record.last_written);
  const std::span<const std::uint8_t> packed = record.ValuesOf(record.last_written);
  json values = json::array();
  if (!packed.empty()) {
    std::size_t at = 0;
    for (const orv::FieldDef& def : schema.fields) {
      const json value = FieldValue(model, def.type, def.size, packed.data() + at);
      if (value.is_array()) {
        for (const json& element : value) values.push_back(element);
      } else {
        values.push_back(value);
      }
      at += orv::Width(def);
    }
  }
  return {{"Function", schema.function}, {"Values", values}};
}

}  // namespace

json ObjectDocument(orv::Model& model, std::uint32_t handle) {
  const orv::Object* object = model.Find(handle);
  if (object == nullptr) return nullptr;
  json doc = json::object();
  doc["Handle"] = handle;
  doc["ObjectId"] = object->kind;
  doc["Kind"] = orv::KindName(object->kind);
  json containers = json::array();
  for (const orv::Membership& m : object->containers) containers.push_back(m.container);
  doc["Containers"] = containers;
  // Fields named "Name#k" are the k-th value of one list and shown as an array "Name".
  std::map<std::string, json> lists;
  for (const orv::FieldSlot& slot : model.LayoutOf(object->kind).slots) {
    json value;
    if (slot.instances > 1) {
      value = json::array();
      for (std::uint32_t i = 1; i <= slot.instances; ++i) {
        value.push_back(FieldValue(model, slot.def.type, slot.def.size, model.FieldData(handle, slot, i)));
      }
    } else {
      value = FieldValue(model, slot.def.type, slot.def.size, model.FieldData(handle, slot));
    }
    const std::size_t hash = slot.def.name.find('#');
    if (hash != std::string::npos) {
      lists[slot.def.name.substr(0, hash)].push_back(value);
    } else {
      doc[slot.def.name] = std::move(value);
    }
  }
  for (auto& [name, list] : lists) doc[name] = std::move(list);
  if (object->constraint) doc["Constraint"] = ConstraintDocument(model, *object->constraint);
  return doc;
}

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
  std::string text = "{\"document\":\"viderave-board\",\"version\":1,\"fileName\":";
  text += json(Latin1ToUtf8(file_name)).dump();
  text += ",\"board\":";
  text += BoardDocument(model, board).dump();
  text += ",\"objects\":[";
  bool first = true;
  // Objects made after the board was opened belong to its document; boards are not listed.
  // They are written as text straight from the model (the bytes ObjectDocument would give) and
  // handed to the file a megabyte at a time.
  constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
  ObjectWriter writer(model);
  bool ok = true;
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit() && ok; ++handle) {
    if (!model.Alive(handle) || model.KindOf(handle) == orv::kBoardKind) continue;
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
