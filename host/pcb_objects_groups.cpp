// Exchanges of the group objects (nets, components, polygons and board outlines, split planes,
// coordinates, dimensions) and of object classes.
#include <algorithm>

#include "host/api/layer_id.h"
#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/object_calls.h"
#include "host/pcb_objects.h"

namespace {

constexpr std::uint8_t Direction(bool load) { return load ? 1 : 0; }

}  // namespace

std::int32_t TPcbNet::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryNet(dir, Handle, &Index, Name.Raw(), &Value3, &Attribute));
  return result.value;
}

// The component record carries its layer as a one-byte number, converted around the call as for
// vias.
std::int32_t TPcbComponent::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryComponentChannelOffset(dir, Handle, &ChannelOffset));
  result.Take(host::PcbApi_QueryComponentKind(dir, Handle, &ComponentKind));
  std::uint8_t layer_number = layer_id::ToNumber(Layer);
  result.Take(host::PcbApi_QueryComponent(dir, Handle, &Flags, &Index, &layer_number, &Tag, &NameText, &CommentText,
                                          Pattern.Raw(), &NameShown, &CommentShown, &X, &Y, &Value12, &Rotation,
                                          &ExtraAttribute));
  Layer = layer_id::FromNumber(layer_number);
  result.Take(host::PcbApi_QueryComponentEx(dir, Handle, &ExValue1, &ExValues[0], &ExValues[1], &ExValues[2]));
  result.Take(host::PcbApi_QueryComponentSourceLinks(dir, Handle, SourceLinks[0].Raw(), SourceLinks[1].Raw(),
                                                     SourceLinks[2].Raw(), SourceLinks[3].Raw(), SourceLinks[4].Raw(),
                                                     SourceLinks[5].Raw(), SourceLinks[6].Raw(), SourceLinks[7].Raw()));
  result.Take(host::PcbApi_QueryDefaultPCB3DModel(dir, Handle, DefaultPCB3DModel.Raw()));
  return result.value;
}

bool TPcbComponent::AddMember(std::uint32_t handle) const {
  if (handle == 0) return true;
  return host::PcbApi_AddObjectToContainer(Handle, handle) != 0;
}

ShortString<255> TPcbComponent::GetName() const { return GetText(NameText); }

std::int32_t TPcbPolygon::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryPolygon(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &PolygonFlag1, &PolygonFlag4,
                                        &PolygonFlag5, &GridSize, &TrackSize, &Value11, &HatchStyle, &MinPrimLength,
                                        &Value14, &PointCount, Segments.data()));
  return result.value;
}

std::int32_t TPcbSplitPlane::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QuerySplitPlane(dir, Handle, &Flags, &Index, &Layer, &Net, &Tag, &Value6, &PointCount,
                                           Segments.data()));
  return result.value;
}

std::int32_t TPcbCoordinate::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryCoordinate(dir, Handle, &Flags, &Index, &Tag, &X, &Y, &Layer, &CoordinateValues[0],
                                           &CoordinateValues[1], &CoordinateValues[2], &CoordinateValues[3],
                                           &CoordinateValues[4], &CoordinateStyle));
  return result.value;
}

std::int32_t TPcbDimension::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryDimension(dir, Handle, &Flags, &Index, &Tag, &X, &Y, &X2, &Y2, &Layer,
                                          &DimensionValues[0], &DimensionValues[1], &DimensionValues[2],
                                          &DimensionValues[3], &DimensionValues[4], &DimensionStyle));
  std::int32_t count = static_cast<std::int32_t>(References.size());
  result.Take(host::PcbApi_References_Count(dir, Handle, &count));
  // The count comes from the host: a negative or absurd one must not size the list.
  if (load) References.assign(static_cast<std::size_t>(std::clamp(count, 0, kMaxReferences)), {});
  for (std::size_t i = 0; i < References.size(); ++i) {
    auto& values = References[i];
    result.Take(host::PcbApi_References_At(dir, Handle, static_cast<std::int32_t>(i), &values[0], &values[1],
                                           &values[2], &values[3]));
  }
  result.Take(host::PcbApi_QueryExtDimension(
      dir, Handle, &ExtValues[0], &ExtValues[1], &ExtValues[2], &ExtValues[3], &ExtValues[4], &ExtValues[5],
      &ExtValues[6], &ExtValues[7], &ExtValues[8], &ExtValues[9], &ExtValues[10], &ExtValues[11], &ExtValues[12],
      &ExtValues[13], &ExtValues[14], &ExtValues[15], &ExtValues[16], &ExtValues[17], &ExtValues[18]));
  return result.value;
}

void TPcbDimension::MoveBy(std::int32_t dx, std::int32_t dy) {
  TPCBObject::MoveBy(dx, dy);
  X2 += dx;
  Y2 += dy;
}

std::int32_t TPCBObjectClass::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  ExchangeBitFields(dir);
  host::PcbApi_QueryClass(dir, Handle, &Index, &Value2, &Value3, Name.Raw());
  std::int32_t result = 0;
  if (load) {
    Members.clear();
    // The host answers 1 after the last member. A host without the function would answer 0
    // forever, so the list is only read when the function is there, and never past the limit.
    if (!host::PcbApi_GetMemberFromClassAt.Bound()) return 0;
    for (std::int32_t i = 0; i < kMaxMembers; ++i) {
      ShortString<255> member;
      result = host::PcbApi_GetMemberFromClassAt(Handle, i, member.Raw());
      if (result == 1) break;
      Members.push_back(member.Str());
    }
  } else {
    host::PcbApi_RemoveAllMembersFromClass(Handle);
    for (const std::string& name : Members) {
      const ShortString<255> member(name);
      result = host::PcbApi_AddMemberToClass(Handle, member.Raw());
    }
  }
  return result;
}
