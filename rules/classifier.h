// Groups the per-pad and per-net rule attributes of the file by value while it is read, and at
// the end of the run turns each attribute family into one board-wide rule carrying the most
// common value plus one scoped rule per object whose value differs.
//
//   TClassifier classifier(board);
//   classifier.AddNetWidth(100000, "GND");   // from the net reader
//   ...
//   RunDesignRuleDialogStep(classifier);     // the user may switch families' scoped rules off
//   classifier.GenerateRules();              // families 1 to 8
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rules/name_pool.h"

class TPcbBoard;

// The attribute families, numbered as the dialog and the generation order know them.
enum class RuleFamily : int {
  kSolderMask = 1,
  kPasteMask = 2,
  kPlaneClearance = 3,
  kPlaneConnect = 4,
  kWidth = 5,
  kViaSize = 6,
  kTopology = 7,
  kPriority = 8,
};
inline constexpr int kRuleFamilyCount = 8;

// The host's topology value for a file topology code.
std::uint8_t MapTopologyCode(std::int32_t code);

class TClassifier {
 public:
  explicit TClassifier(TPcbBoard& board);
  ~TClassifier();
  TClassifier(const TClassifier&) = delete;
  TClassifier& operator=(const TClassifier&) = delete;

  void AddSolderMaskExpansion(std::int32_t value, std::string_view pad_name);
  void AddPasteMaskExpansion(std::int32_t value, std::string_view pad_name);
  void AddPlaneClearance(std::int32_t value, std::string_view pad_name);
  void AddPlaneConnect(std::int32_t value, std::uint8_t connect_style, std::int32_t connect_value1,
                       std::int32_t connect_value2, std::int32_t spoke_count, std::string_view pad_name);
  void AddNetWidth(std::int32_t value, std::string_view net_name);
  void AddNetViaSize(std::int32_t value, std::string_view net_name);
  // The file's topology code; grouped under the host's topology value.
  void AddNetTopology(std::int32_t code, std::string_view net_name);
  // The low byte of the priority is the group's value.
  void AddNetPriority(std::int32_t priority, std::string_view net_name);

  // Rules the family's generation would make: 1 for the common value plus one per name of every
  // other group; 0 for an empty family or a number outside 1 to 8. Marks the chosen group.
  std::int32_t RuleCount(int family);
  // A reload of the board, then families 1 to 8 in order, each as far as its gate allows. The
  // rules dialog, when the run shows it, comes first: it sets the gates from RuleCount().
  void GenerateRules();

  // Whether the family's scoped rules are made (all true at creation).
  [[nodiscard]] bool Gate(int family) const;
  void SetGate(int family, bool on);

 private:
  struct Key {
    std::int32_t value = 0;
    std::uint8_t connect_style = 0;
    std::int32_t connect_value1 = 0;
    std::int32_t connect_value2 = 0;
    std::int32_t spoke_count = 0;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const;
  };
  struct Group {
    Key key;
    bool chosen = false;
    std::vector<std::uint32_t> names;  // numbers in the name pool, insertion order; the front is the last one
  };
  struct Family {
    std::vector<std::unique_ptr<Group>> groups;  // creation order; the front is the last one
    std::unordered_map<Key, std::size_t, KeyHash> by_key;
    // A name at most once per group: the group a name joined first (position + 1, by name
    // number), and the (group position, name number) pairs of the names also in other groups.
    std::vector<std::uint32_t> first_group;
    TKeySet other_groups;
    bool gate = true;
  };

  void Add(RuleFamily family, const Key& key, std::string_view name);
  Group* Choose(int family);
  void GenerateFamily(int family);
  void MakeRule(int family, const Key& key, std::string_view name, std::int32_t rule_number);

  TPcbBoard& board_;
  TNamePool names_;  // every name of every family, once
  // The name added last, which the next family is usually given too (a pad reports four values).
  std::string last_name_;
  std::uint32_t last_id_ = 0;
  std::array<Family, kRuleFamilyCount> families_;
};
