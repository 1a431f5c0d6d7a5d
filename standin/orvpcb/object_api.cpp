// The stand-in server's object functions that do more than hand one record to the model: the via
// and component records (one-byte layer numbers), the text display string, the dimension
// references, object class members and the queries on any object. Per-layer pad values are in
// object_api_pads.cpp.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "host/api/layer_id.h"
#include "host/api/objects.h"
#include "host/api/vocabulary.h"
#include "host/short_string.h"
#include "standin/orvpcb/exchange.h"
#include "standin/orvpcb/object_api.h"

using api::I32;
using api::Str;
using api::U16;
using api::U32;
using api::U8;
using orv::ExchangeRecord;
using orv::SchemaId;
using orv::Server;

namespace {

constexpr std::int32_t kDisplayCapacity = 254;

std::string Call(const char* function, std::initializer_list<std::int64_t> args) {
  std::string line = std::string(function) + "(";
  bool first = true;
  for (std::int64_t arg : args) {
    if (!first) line += ", ";
    line += std::to_string(arg);
    first = false;
  }
  return line + ")";
}

// A call's trace line, formatted only when the trace is on.
struct CallLine {
  const char* function;
  std::initializer_list<std::int64_t> args;
};

I32 Traced(const std::string& call, I32 result) {
  orv::Model& model = Server();
  if (model.Tracing()) model.TraceLine(call + " -> " + std::to_string(result));
  return result;
}

I32 Traced(const CallLine& call, I32 result) {
  orv::Model& model = Server();
  if (model.Tracing()) model.TraceLine(Call(call.function, call.args) + " -> " + std::to_string(result));
  return result;
}

// An extent edge as a coordinate, held within the 32-bit range.
I32 ToCoord(double value) { return static_cast<I32>(std::clamp(value, -2147483648.0, 2147483647.0)); }

// A record field that the caller exchanges as a one-byte layer number while the model exchanges
// it as an identifier: converted before a store and after a load.
class LayerNumberField {
 public:
  LayerNumberField(U8 dir, U8* number) : dir_(dir), number_(number) {
    if (number_ != nullptr && dir_ == 0) id_ = layer_id::FromNumber(*number_);
  }
  ~LayerNumberField() {
    if (number_ != nullptr && dir_ != 0) *number_ = layer_id::ToNumber(id_);
  }
  LayerNumberField(const LayerNumberField&) = delete;
  LayerNumberField& operator=(const LayerNumberField&) = delete;
  U32* Id() { return number_ == nullptr ? nullptr : &id_; }

 private:
  U8 dir_;
  U8* number_;
  U32 id_ = 0;
};

// Reference points of dimensions and members of object classes, kept beside the model: lists
// of any length are not records.
std::unordered_map<std::uint32_t, std::vector<std::array<I32, 4>>>& References() {
  static std::unordered_map<std::uint32_t, std::vector<std::array<I32, 4>>> references;
  return references;
}

std::unordered_map<std::uint32_t, std::vector<std::string>>& ClassMembers() {
  static std::unordered_map<std::uint32_t, std::vector<std::string>> members;
  return members;
}

bool IsDimension(std::uint32_t handle) { return Server().KindOf(handle) == KindCode(ObjectKind::kDimension); }
bool IsClass(std::uint32_t handle) { return Server().KindOf(handle) == KindCode(ObjectKind::kObjectClass); }

}  // namespace

extern "C" {

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryVia(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Layer, I32* Net,
                                                     U8* Tag, U32* Component, I32* X, I32* Y, I32* Size,
                                                     I32* HoleSize, U8* LowLayer, U8* HighLayer, U8* ExtraFlag1,
                                                     U8* ExtraFlag2) {
  static const int schema = SchemaId("PcbApi_QueryVia");
  LayerNumberField layer(dir, Layer);
  return ExchangeRecord(schema, dir, handle, Flags, Index, layer.Id(), Net, Tag, Component, X, Y, Size, HoleSize,
                        LowLayer, HighLayer, ExtraFlag1, ExtraFlag2);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryComponent(U8 dir, U32 handle, U16* Flags, U16* Index, U8* Layer,
                                                           U8* Tag, U32* NameText, U32* CommentText, Str* Pattern,
                                                           U8* NameShown, U8* CommentShown, I32* X, I32* Y,
                                                           I32* Value12, double* Rotation, U8* ExtraAttribute) {
  static const int schema = SchemaId("PcbApi_QueryComponent");
  LayerNumberField layer(dir, Layer);
  return ExchangeRecord(schema, dir, handle, Flags, Index, layer.Id(), Tag, NameText, CommentText, Pattern,
                        NameShown, CommentShown, X, Y, Value12, Rotation, ExtraAttribute);
}

// ---- texts

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_GetDesignatorDisplayString(U32 handle, Str* display_string) {
  // The stand-in has no special strings to expand: the display string is the text itself.
  orv::Model& model = Server();
  static const orv::FieldSlot* const kText = model.LayoutOf(KindCode(ObjectKind::kText)).Find("Text");
  std::string_view text;
  if (model.KindOf(handle) == KindCode(ObjectKind::kText) && kText != nullptr &&
      kText->def.type == orv::FieldType::kString) {
    std::uint32_t id;
    std::memcpy(&id, model.FieldData(handle, *kText), sizeof id);
    text = model.StringAt(id);
  } else {
    text = Server().GetText(handle, "Text");  // "" for other kinds
  }
  WriteCounted(display_string, kDisplayCapacity, text);
  return Traced(CallLine{"PcbApi_GetDesignatorDisplayString", {handle}}, 0);
}

// ---- dimension references

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_References_Count(U8 dir, U32 handle, I32* count) {
  const CallLine call{"PcbApi_References_Count", {dir, handle}};
  if (count == nullptr || !IsDimension(handle)) return Traced(call, 0);
  if (orv::ExchangeRefused(dir, "PcbApi_References_Count", handle)) return Traced(call, 1);
  if (dir != 0) {
    const auto found = References().find(handle);
    *count = found == References().end() ? 0 : static_cast<I32>(found->second.size());
  } else {
    References()[handle].resize(static_cast<std::size_t>(std::clamp<I32>(*count, 0, orv::kMaxDimensionReferences)));
  }
  return Traced(call, 0);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_References_At(U8 dir, U32 handle, I32 index, I32* Value1, I32* Value2,
                                                          I32* Value3, I32* Value4) {
  const CallLine call{"PcbApi_References_At", {dir, handle, index}};
  const auto found = References().find(handle);
  if (found == References().end() || index < 0 || static_cast<std::size_t>(index) >= found->second.size()) {
    return Traced(call, 0);
  }
  if (orv::ExchangeRefused(dir, "PcbApi_References_At", handle)) return Traced(call, 1);
  std::array<I32, 4>& reference = found->second[static_cast<std::size_t>(index)];
  I32* const values[] = {Value1, Value2, Value3, Value4};
  for (std::size_t i = 0; i < reference.size(); ++i) {
    if (values[i] == nullptr) continue;
    if (dir != 0) {
      *values[i] = reference[i];
    } else {
      reference[i] = *values[i];
    }
  }
  return Traced(call, 0);
}

// ---- object class members

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_GetMemberFromClassAt(U32 handle, I32 index, Str* name) {
  const CallLine call{"PcbApi_GetMemberFromClassAt", {handle, index}};
  if (!IsClass(handle)) return Traced(call, 1);
  const auto found = ClassMembers().find(handle);
  if (found == ClassMembers().end() || index < 0 || static_cast<std::size_t>(index) >= found->second.size()) {
    return Traced(call, 1);
  }
  WriteCounted(name, 255, found->second[static_cast<std::size_t>(index)]);
  return Traced(call, 0);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_RemoveAllMembersFromClass(U32 handle) {
  if (IsClass(handle)) ClassMembers().erase(handle);
  return Traced(CallLine{"PcbApi_RemoveAllMembersFromClass", {handle}}, 0);
}

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_AddMemberToClass(U32 handle, const Str* name) {
  const std::string_view text = CountedView(name);
  std::string call = Call("PcbApi_AddMemberToClass", {handle});
  call.insert(call.size() - 1, ", \"" + std::string(text) + "\"");
  if (!IsClass(handle)) return Traced(call, 1);
  ClassMembers()[handle].emplace_back(text);
  return Traced(call, 0);
}

// ---- queries on any object

VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryObjectBoundingRectangle(U32 handle, I32* left, I32* bottom,
                                                                         I32* right, I32* top) {
  const orv::Model& model = Server();
  const double x = model.GetNumber(handle, "X");
  const double y = model.GetNumber(handle, "Y");
  double x2 = x;
  double y2 = y;
  double half = 0;  // half the extent around the reference point
  const orv::Object* object = model.Find(handle);
  if (object != nullptr) {
    switch (object->kind) {
      case KindCode(ObjectKind::kTrack):
      case KindCode(ObjectKind::kFill):
      case KindCode(ObjectKind::kDimension):
        x2 = model.GetNumber(handle, "X2");
        y2 = model.GetNumber(handle, "Y2");
        half = model.GetNumber(handle, "Width") / 2;
        break;
      case KindCode(ObjectKind::kArc):
        half = model.GetNumber(handle, "Radius") + model.GetNumber(handle, "Width") / 2;
        break;
      case KindCode(ObjectKind::kVia):
        half = model.GetNumber(handle, "Size") / 2;
        break;
      case KindCode(ObjectKind::kPad):
        half = std::max(model.GetNumber(handle, "XSizeTop"), model.GetNumber(handle, "YSizeTop")) / 2;
        break;
      default:
        break;
    }
  }
  if (left != nullptr) *left = ToCoord(std::min(x, x2) - half);
  if (bottom != nullptr) *bottom = ToCoord(std::min(y, y2) - half);
  if (right != nullptr) *right = ToCoord(std::max(x, x2) + half);
  if (top != nullptr) *top = ToCoord(std::max(y, y2) + half);
  return Traced(CallLine{"PcbApi_QueryObjectBoundingRectangle", {handle}}, 0);
}

// Every object of the stand-in came through the server's functions, none from the user.
VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryObjectImport_FromUser(U32 handle) {
  return Traced(CallLine{"PcbApi_QueryObjectImport_FromUser", {handle}}, Server().Alive(handle) ? 1 : 0);
}

// The stand-in draws nothing until the document is written.
VIDERAVE_EXPORT I32 VIDERAVE_STDCALL PcbApi_QueryObjectGraphicallyInvalidate(U32 handle) {
  return Traced(CallLine{"PcbApi_QueryObjectGraphicallyInvalidate", {handle}}, 0);
}

}  // extern "C"

// The definitions must match the signatures the plug-in binds.
static_assert(std::is_same_v<decltype(PcbApi_QueryVia), api::PcbApi_QueryVia>);
static_assert(std::is_same_v<decltype(PcbApi_QueryComponent), api::PcbApi_QueryComponent>);
static_assert(std::is_same_v<decltype(PcbApi_GetDesignatorDisplayString), api::PcbApi_GetDesignatorDisplayString>);
static_assert(std::is_same_v<decltype(PcbApi_References_Count), api::PcbApi_References_Count>);
static_assert(std::is_same_v<decltype(PcbApi_References_At), api::PcbApi_References_At>);
static_assert(std::is_same_v<decltype(PcbApi_GetMemberFromClassAt), api::PcbApi_GetMemberFromClassAt>);
static_assert(std::is_same_v<decltype(PcbApi_RemoveAllMembersFromClass), api::PcbApi_RemoveAllMembersFromClass>);
static_assert(std::is_same_v<decltype(PcbApi_AddMemberToClass), api::PcbApi_AddMemberToClass>);
static_assert(std::is_same_v<decltype(PcbApi_QueryObjectBoundingRectangle),
                             api::PcbApi_QueryObjectBoundingRectangle>);
static_assert(std::is_same_v<decltype(PcbApi_QueryObjectImport_FromUser), api::PcbApi_QueryObjectImport_FromUser>);
static_assert(std::is_same_v<decltype(PcbApi_QueryObjectGraphicallyInvalidate),
                             api::PcbApi_QueryObjectGraphicallyInvalidate>);
