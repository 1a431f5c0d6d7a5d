// Grouping of per-object rule attributes by value, and the board-wide and scoped rules made
// from the groups at the end of the run.
#include "rules/classifier.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "host/board.h"
#include "rules/rule_builders.h"

namespace {

// A name is a counted string of the host: at most 255 characters.
constexpr std::size_t kNameCapacity = 255;

// Via rules carry a fixed first value of 20 mil next to the net's via value.
constexpr std::int32_t kViaFirstValue = 200000;

bool ValidFamily(int family) { return family >= 1 && family <= kRuleFamilyCount; }

}  // namespace

std::uint8_t MapTopologyCode(std::int32_t code) {
  switch (code) {
    case 0:
      return 1;
    case 1:
      return 2;
    case 2:
    case 6:
    case 7:
      return 0;
    case 3:
    case 4:
    case 5:
      return 3;
    default:
      return 6;
  }
}

std::size_t TClassifier::KeyHash::operator()(const Key& key) const {
  std::size_t hash = std::hash<std::int32_t>()(key.value);
  for (std::int32_t part : {std::int32_t{key.connect_style}, key.connect_value1, key.connect_value2,
                            key.spoke_count}) {
    hash ^= std::hash<std::int32_t>()(part) + 0x9e3779b9u + (hash << 6) + (hash >> 2);
  }
  return hash;
}

TClassifier::TClassifier(TPcbBoard& board) : board_(board) {}
TClassifier::~TClassifier() = default;

void TClassifier::AddSolderMaskExpansion(std::int32_t value, std::string_view pad_name) {
  Add(RuleFamily::kSolderMask, {value}, pad_name);
}

void TClassifier::AddPasteMaskExpansion(std::int32_t value, std::string_view pad_name) {
  Add(RuleFamily::kPasteMask, {value}, pad_name);
}

void TClassifier::AddPlaneClearance(std::int32_t value, std::string_view pad_name) {
  Add(RuleFamily::kPlaneClearance, {value}, pad_name);
}

void TClassifier::AddPlaneConnect(std::int32_t value, std::uint8_t connect_style, std::int32_t connect_value1,
                                  std::int32_t connect_value2, std::int32_t spoke_count,
                                  std::string_view pad_name) {
  Add(RuleFamily::kPlaneConnect, {value, connect_style, connect_value1, connect_value2, spoke_count}, pad_name);
}

void TClassifier::AddNetWidth(std::int32_t value, std::string_view net_name) {
  Add(RuleFamily::kWidth, {value}, net_name);
}

void TClassifier::AddNetViaSize(std::int32_t value, std::string_view net_name) {
  Add(RuleFamily::kViaSize, {value}, net_name);
}

void TClassifier::AddNetTopology(std::int32_t code, std::string_view net_name) {
  Add(RuleFamily::kTopology, {MapTopologyCode(static_cast<std::uint8_t>(code))}, net_name);
}

void TClassifier::AddNetPriority(std::int32_t priority, std::string_view net_name) {
  Add(RuleFamily::kPriority, {static_cast<std::uint8_t>(priority)}, net_name);
}

void TClassifier::Add(RuleFamily which, const Key& key, std::string_view name) {
  Family& family = families_[static_cast<std::size_t>(which) - 1];
  auto [found, inserted] = family.by_key.try_emplace(key, family.groups.size());
  if (inserted) {
    auto group = std::make_unique<Group>();
    group->key = key;
    family.groups.push_back(std::move(group));
  }
  const std::size_t position = found->second;
  const std::string_view kept = name.substr(0, kNameCapacity);
  if (last_id_ == 0 || kept != last_name_) {
    last_id_ = names_.Intern(kept);
    last_name_.assign(kept);
  }
  const std::uint32_t id = last_id_;
  if (family.first_group.size() <= id) family.first_group.resize(std::max<std::size_t>(id + 1, names_.Size() + 1), 0);
  std::uint32_t& first = family.first_group[id];
  if (first == 0) {
    first = static_cast<std::uint32_t>(position + 1);
  } else if (first == position + 1 ||
             !family.other_groups.Insert((static_cast<std::uint64_t>(position) << 32) | id)) {
    return;  // already in the group
  }
  family.groups[position]->names.push_back(id);
}

bool TClassifier::Gate(int family) const {
  return ValidFamily(family) && families_[static_cast<std::size_t>(family) - 1].gate;
}

void TClassifier::SetGate(int family, bool on) {
  if (ValidFamily(family)) families_[static_cast<std::size_t>(family) - 1].gate = on;
}

TClassifier::Group* TClassifier::Choose(int family) {
  if (!ValidFamily(family)) return nullptr;
  Family& list = families_[static_cast<std::size_t>(family) - 1];
  Group* chosen = nullptr;
  // From the front (the group made last); a later group needs strictly more names to win.
  // Only the group chosen now keeps its mark, so the counts and the rules always agree.
  for (auto it = list.groups.rbegin(); it != list.groups.rend(); ++it) {
    (*it)->chosen = false;
    if (chosen == nullptr || (*it)->names.size() > chosen->names.size()) chosen = it->get();
  }
  if (chosen != nullptr) chosen->chosen = true;
  return chosen;
}

std::int32_t TClassifier::RuleCount(int family) {
  const Group* chosen = Choose(family);
  if (chosen == nullptr) return 0;
  std::size_t count = 1;
  for (const auto& group : families_[static_cast<std::size_t>(family) - 1].groups) {
    if (!group->chosen) count += group->names.size();
  }
  return static_cast<std::int32_t>(std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max()));
}

void TClassifier::GenerateRules() {
  board_.Load();
  for (int family = 1; family <= kRuleFamilyCount; ++family) GenerateFamily(family);
}

void TClassifier::GenerateFamily(int family) {
  const Group* chosen = Choose(family);
  if (chosen == nullptr) return;
  MakeRule(family, chosen->key, {}, 0);
  const Family& list = families_[static_cast<std::size_t>(family) - 1];
  if (!list.gate) return;
  std::int32_t counter = 1;
  for (auto group = list.groups.rbegin(); group != list.groups.rend(); ++group) {
    if ((*group)->chosen) continue;
    for (auto name = (*group)->names.rbegin(); name != (*group)->names.rend(); ++name) {
      MakeRule(family, (*group)->key, names_.Name(*name), counter++);
    }
  }
}

void TClassifier::MakeRule(int family, const Key& key, std::string_view name, std::int32_t rule_number) {
  switch (static_cast<RuleFamily>(family)) {
    case RuleFamily::kSolderMask:
      MakeSolderMaskRule(board_, name, key.value, rule_number);
      break;
    case RuleFamily::kPasteMask:
      MakePasteMaskRule(board_, name, key.value, rule_number);
      break;
    case RuleFamily::kPlaneClearance:
      MakePlaneClearanceRule(board_, name, key.value, rule_number);
      break;
    case RuleFamily::kPlaneConnect:
      // The rule's values 3 and 4 are the connect values in the order 3, 2.
      MakePlaneConnectRule(board_, name, key.connect_style, key.value, key.connect_value1, key.spoke_count,
                           key.connect_value2, rule_number);
      break;
    case RuleFamily::kWidth:
      MakeWidthRule(board_, name, key.value, rule_number);
      break;
    case RuleFamily::kViaSize:
      MakeViaStyleRule(board_, name, key.value, kViaFirstValue, 0, rule_number);
      break;
    case RuleFamily::kTopology:
      MakeTopologyRule(board_, name, static_cast<std::uint8_t>(key.value), rule_number);
      break;
    case RuleFamily::kPriority:
      MakePriorityRule(board_, name, key.value, rule_number);
      break;
  }
}
