// Reads the model's objects field by field through the same builder the document reader uses,
// so that both views agree value for value.
#include "viewers/view_from_model.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "standin/host/text.h"
#include "standin/orvpcb/packed.h"
#include "viewers/object_builder.h"

namespace view {
namespace {

using orv::Load;

Segment SegmentAt(const std::uint8_t* s) {
  return {s[0],
          Load<std::int32_t>(s + 1),
          Load<std::int32_t>(s + 5),
          Load<std::int32_t>(s + 9),
          Load<std::int32_t>(s + 13),
          Load<std::int32_t>(s + 17),
          Load<double>(s + 21),
          Load<double>(s + 29)};
}

}  // namespace

class ModelReader {
 public:
  ModelReader(orv::Model& model, BoardView& view) : model_(model), builder_(view) {}

  bool Add(std::uint32_t handle, std::string& error) {
    const orv::Object* object = model_.Find(handle);
    builder_.Begin();
    if (!builder_.Int(Field::kHandle, handle, error) || !builder_.Int(Field::kObjectId, object->kind, error)) {
      return false;
    }
    builder_.Given(Field::kContainers);
    for (const orv::Membership& m : object->containers) builder_.Container(m.container);
    for (const auto& [slot, field] : SlotsOf(object->kind)) {
      if (!Value(object->data + slot->offset, *slot, field, error)) return false;
    }
    if (object->constraint != nullptr) AddConstraint(*object->constraint);
    return builder_.End(error);
  }

 private:
  // `place`: the field's bytes in the object's record (the viewers read single-instance fields).
  bool Value(const std::uint8_t* place, const orv::FieldSlot& slot, Field field, std::string& error) {
    using orv::FieldType;
    switch (slot.def.type) {
      case FieldType::kU8:
      case FieldType::kLayerId: return builder_.Int(field, place[0], error);
      case FieldType::kU16: return builder_.Int(field, Load<std::uint16_t>(place), error);
      case FieldType::kI32: return builder_.Int(field, Load<std::int32_t>(place), error);
      case FieldType::kU32: return builder_.Int(field, Load<std::uint32_t>(place), error);
      case FieldType::kF64: return builder_.Real(field, Load<double>(place), error);
      case FieldType::kString: {
        // Plain ASCII reads the same in Latin-1 and UTF-8: only other text is converted.
        const std::string_view text = model_.StringAt(Load<std::uint32_t>(place));
        const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        return ascii ? builder_.String(field, text, error) : builder_.String(field, Latin1ToUtf8(text), error);
      }
      case FieldType::kSegments: {
        if (field != Field::kSegments) break;
        builder_.Given(field);
        const auto block = model_.SegmentsAt(Load<std::uint32_t>(place));
        for (std::size_t at = 0; at + orv::kSegmentBytes <= block.size(); at += orv::kSegmentBytes) {
          builder_.AddSegment(SegmentAt(block.data() + at));
        }
        return true;
      }
      case FieldType::kBytes: break;
    }
    error = "the model's field \"" + slot.def.name + "\" is not of the type the viewers read";
    return false;
  }

  // The values of the constraint function last written, flattened as the document shows them.
  void AddConstraint(const orv::ConstraintRecord& record) {
    builder_.Given(Field::kConstraint, record.last_written >= 0);
    if (record.last_written < 0) return;
    const std::span<const std::uint8_t> packed = record.ValuesOf(record.last_written);
    if (packed.empty()) return;
    std::size_t at = 0;
    using orv::FieldType;
    for (const orv::FieldDef& def : model_.SchemaAt(record.last_written).fields) {
      const std::uint8_t* place = packed.data() + at;
      switch (def.type) {
        case FieldType::kU8:
        case FieldType::kLayerId: builder_.ConstraintValue(std::int64_t{place[0]}); break;
        case FieldType::kU16: builder_.ConstraintValue(std::int64_t{Load<std::uint16_t>(place)}); break;
        case FieldType::kI32: builder_.ConstraintValue(std::int64_t{Load<std::int32_t>(place)}); break;
        case FieldType::kU32: builder_.ConstraintValue(std::int64_t{Load<std::uint32_t>(place)}); break;
        case FieldType::kF64: builder_.ConstraintValue(Load<double>(place)); break;
        case FieldType::kString: builder_.ConstraintValue(std::int64_t{0}); break;  // no length
        case FieldType::kBytes:
          for (std::uint16_t i = 0; i < def.size; ++i) builder_.ConstraintValue(std::int64_t{place[i]});
          break;
        case FieldType::kSegments: {
          const auto block = model_.SegmentsAt(Load<std::uint32_t>(place));
          for (std::size_t s = 0; s + orv::kSegmentBytes <= block.size(); s += orv::kSegmentBytes) {
            builder_.ConstraintValue(std::int64_t{0});
          }
          break;
        }
      }
      at += orv::Width(def);
    }
  }

  // The kind's fields that the viewers read, worked out once per kind.
  const std::vector<std::pair<const orv::FieldSlot*, Field>>& SlotsOf(std::uint8_t kind) {
    auto& slots = slots_[kind];
    if (!known_[kind]) {
      known_[kind] = true;
      for (const orv::FieldSlot& slot : model_.LayoutOf(kind).slots) {
        if (slot.instances != 1 || slot.def.name.find('#') != std::string::npos) continue;
        if (const auto field = FieldNamed(slot.def.name)) slots.emplace_back(&slot, *field);
      }
    }
    return slots;
  }

  orv::Model& model_;
  ObjectBuilder builder_;
  std::array<bool, 256> known_{};
  std::array<std::vector<std::pair<const orv::FieldSlot*, Field>>, 256> slots_;
};

namespace {

std::string BoardText(orv::Model& model, std::uint32_t board, const orv::Layout& layout, std::string_view field,
                      std::uint32_t instance) {
  const orv::FieldSlot* slot = layout.Find(field);
  if (slot == nullptr || slot->def.type != orv::FieldType::kString) return {};
  const std::uint8_t* place = model.FieldData(board, *slot, instance);
  return place == nullptr ? std::string() : Latin1ToUtf8(model.StringAt(Load<std::uint32_t>(place)));
}

void ReadLayers(orv::Model& model, std::uint32_t board, std::array<Layer, host_layer::kLayerSlots>& layers) {
  const orv::Layout& layout = model.LayoutOf(orv::kBoardKind);
  for (std::uint8_t n = 1; n <= host_layer::kLastLayer; ++n) {
    layers[n].name = BoardText(model, board, layout, "LayerName", n);
    if (host_layer::IsInternalPlane(n)) layers[n].plane_net_name = BoardText(model, board, layout, "PlaneNetName", n);
  }
}

// The objects a board document lists, in handle order.
template <typename Each>
bool ForEachObject(orv::Model& model, std::uint32_t board, Each each) {
  for (std::uint32_t handle = board + 1; handle < model.HandleLimit(); ++handle) {
    if (!orv::OfBoard(model, board, handle)) continue;
    if (!each(handle)) return false;
  }
  return true;
}

}  // namespace

bool FillFromModel(orv::Model& model, std::uint32_t board, const std::string& file_name, BoardView& view,
                   std::string& error) {
  view.title = Latin1ToUtf8(file_name);
  ReadLayers(model, board, view.layers);
  ModelReader reader(model, view);
  return ForEachObject(model, board, [&](std::uint32_t handle) { return reader.Add(handle, error); });
}

ModelObjects::ModelObjects(orv::Model& model, std::uint32_t board)
    : model_(model), board_(board), reader_(std::make_unique<ModelReader>(model, window_)) {
  ReadLayers(model, board, layers_);
  handles_.reserve(model.HandleLimit() - board);
  ForEachObject(model, board, [&](std::uint32_t handle) {
    handles_.push_back(handle);
    if (model.KindOf(handle) == KindCode(ObjectKind::kRule)) ++rules_;
    for (const orv::Membership& m : model.Find(handle)->containers) containers_ += MayBeObject(m.container);
    return true;
  });
}

ModelObjects::~ModelObjects() = default;

std::uint32_t ModelObjects::HandleAndContainers(std::uint32_t number, std::vector<std::uint32_t>& containers) const {
  const std::uint32_t handle = handles_[number];
  for (const orv::Membership& m : model_.Find(handle)->containers) {
    if (MayBeObject(m.container)) containers.push_back(m.container);
  }
  return handle;
}

bool ModelObjects::Open(std::span<const std::uint32_t> numbers, Window& window, std::string& error) {
  window_.Clear();
  for (const std::uint32_t n : numbers) {
    if (!reader_->Add(handles_[n], error)) return false;
  }
  window.view = &window_;
  window.objects.clear();
  for (const Object& object : window_.objects) window.objects.push_back(&object);
  return true;
}

// A reader and window of its own: the rules may be read on a second thread while Open reads the
// other objects (both only read the model, whose kinds' layouts were all made when their first
// object was).
bool ModelObjects::ForEachRule(const std::function<void(const Rule&)>& each, std::string& error) const {
  BoardView window;
  ModelReader reader(model_, window);
  for (const std::uint32_t handle : handles_) {
    if (model_.KindOf(handle) != KindCode(ObjectKind::kRule)) continue;
    window.Clear();
    if (!reader.Add(handle, error)) return false;
    if (!window.rules.empty()) each(window.rules.back());
  }
  return true;
}

}  // namespace view
