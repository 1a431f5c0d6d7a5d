// Exchanges of the kinds the import run does not create but may meet on a board: regions,
// rules, from-tos, violations and embedded objects.
#include "host/object_calls.h"
#include "host/pcb_objects.h"

namespace {

constexpr std::uint8_t Direction(bool load) { return load ? 1 : 0; }

}  // namespace

std::int32_t TPCBRegion::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryRegion(dir, Handle, &Value1, &Flags, &Index, &Layer, &Net, &Tag, &Component, &Values[0],
                                       &Values[1], &Values[2], &Values[3], &Values[4], &Values[5]));
  return result.value;
}

std::int32_t TPcbRule::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  auto& b = Values2To7;
  auto& s = Values8To11;
  auto& t = Values18To23;
  auto& n = Values14To17;
  result.Take(host::PcbApi_QueryRule(dir, Handle, &RuleKind, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], s[0].Raw(),
                                     s[1].Raw(), s[2].Raw(), s[3].Raw(), &Values12To13[0], &Values12To13[1], &n[0],
                                     &n[1], &n[2], &n[3], t[0].Raw(), t[1].Raw(), t[2].Raw(), t[3].Raw(), t[4].Raw(),
                                     t[5].Raw()));
  return result.value;
}

TPcbRuleEx::TPcbRuleEx(std::uint32_t handle)
    : TPCBObject(handle, ObjectKind::kRule), Scope1("All"), Scope2("All") {}

std::int32_t TPcbRuleEx::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  const std::int32_t scopes =
      host::PcbApi_QueryRuleEx(dir, Handle, &Value1, &Value2, &Value3, &Value4, Scope1.Raw(), Scope2.Raw());
  result.Take(scopes);
  if (scopes == 1) return result.value;
  result.Take(host::PcbApi_QueryRuleExtEx(dir, Handle, RuleName.Raw()));
  return result.value;
}

std::int32_t TPcbFromTo::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryFromTo(dir, Handle, &Index, &X, &Y, &Value4, &X2, &Y2, &Value7, &Net));
  return result.value;
}

std::int32_t TPcbManualFromTo::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryManualFromTo(dir, Handle, &Index, Values[0].Raw(), Values[1].Raw(), Values[2].Raw(),
                                             Values[3].Raw()));
  return result.value;
}

std::int32_t TPcbViolation::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(
      host::PcbApi_QueryViolation(dir, Handle, &Flags, &Index, &Layer, Name.Raw(), Value5.Raw(), &Value6, &Value7));
  return result.value;
}

std::int32_t TPcbEmbedded::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryEmbedded(dir, Handle, &Flags, &Index, &Layer, &Tag, Name.Raw(), Value6.Raw()));
  return result.value;
}

std::int32_t TPcbEmbeddedBoard::Exchange(bool load) {
  const std::uint8_t dir = Direction(load);
  FirstResult result;
  result.Take(ExchangeBitFields(dir));
  result.Take(host::PcbApi_QueryEmbeddedBoard(dir, Handle, &Flags, &Index, &Layer, &X, &Y, &Values[0], &Values[1],
                                              &Values[2], &Values[3], &Rotation, Name.Raw()));
  return result.value;
}
