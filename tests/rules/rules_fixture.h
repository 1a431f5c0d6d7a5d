// A fresh board of the stand-in server for the rule tests, and a readable view of the rules
// the plug-in added to it (name, scopes, the constraint values last written).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/board.h"
#include "standin/host/session.h"
#include "standin/orvpcb/model.h"
#include "tests/support/run_fixture.h"

namespace rules_test {

struct Rule {
  std::uint32_t handle = 0;
  int kind = -1;
  std::string name;
  std::string scope1;
  std::string scope2;
  std::string function;  // the constraint function last written, "" for none
  std::vector<std::int64_t> values;
};

inline std::vector<std::int64_t> DecodeValues(const orv::Schema& schema, const std::vector<std::uint8_t>& packed) {
  std::vector<std::int64_t> values;
  std::size_t at = 0;
  for (const orv::FieldDef& field : schema.fields) {
    switch (field.type) {
      case orv::FieldType::kU8:
        values.push_back(packed.at(at));
        at += 1;
        break;
      case orv::FieldType::kI32: {
        std::int32_t value = 0;
        std::memcpy(&value, packed.data() + at, 4);
        values.push_back(value);
        at += 4;
        break;
      }
      case orv::FieldType::kBytes:
        for (std::uint16_t i = 0; i < field.size; ++i) values.push_back(packed.at(at + i));
        at += field.size;
        break;
      default:
        ADD_FAILURE() << "unexpected constraint field type in " << schema.function;
        return values;
    }
  }
  return values;
}

inline Rule ReadRule(std::uint32_t handle) {
  orv::Model& model = orv::Server();
  Rule rule;
  rule.handle = handle;
  rule.kind = static_cast<int>(model.GetNumber(handle, "RuleKind"));
  rule.name = model.GetText(handle, "RuleName");
  rule.scope1 = model.GetText(handle, "Scope1");
  rule.scope2 = model.GetText(handle, "Scope2");
  if (const orv::ConstraintRecord* constraint = model.ConstraintOf(handle);
      constraint != nullptr && constraint->last_written >= 0) {
    const orv::Schema& schema = model.SchemaAt(constraint->last_written);
    rule.function = schema.function;
    const auto packed = constraint->ValuesOf(constraint->last_written);
    rule.values = DecodeValues(schema, std::vector<std::uint8_t>(packed.begin(), packed.end()));
  }
  return rule;
}

// The board's rules in the order they joined it.
inline std::vector<Rule> RulesOf(std::uint32_t board) {
  std::vector<Rule> rules;
  for (std::uint32_t member : orv::Server().Members(board)) {
    if (orv::Server().KindOf(member) == KindCode(ObjectKind::kRule)) rules.push_back(ReadRule(member));
  }
  return rules;
}

inline std::vector<std::string> Names(const std::vector<Rule>& rules) {
  std::vector<std::string> names;
  for (const Rule& rule : rules) names.push_back(rule.name);
  return names;
}

inline const Rule* Named(const std::vector<Rule>& rules, const std::string& name) {
  for (const Rule& rule : rules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

// A new board document with its board wrapper loaded, and a clean host session.
class RuleBoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Session().options = HostOptions{};
    Session().dialogs = nlohmann::json::array();
    handle_ = orv::Server().OpenBoard(test_support::UniqueBoardPath("rules"));
    board_ = std::make_unique<TPcbBoard>(handle_);
    board_->Load();
    host_defaults_ = RulesOf(handle_).size();
  }
  void TearDown() override { Session().options = HostOptions{}; }

  TPcbBoard& board() { return *board_; }
  // The rules the test added, after the host's defaults of a new board.
  std::vector<Rule> NewRules() const {
    std::vector<Rule> rules = RulesOf(handle_);
    rules.erase(rules.begin(), rules.begin() + static_cast<std::ptrdiff_t>(host_defaults_));
    return rules;
  }
  // The last dialog the host recorded, or null.
  static nlohmann::json LastDialog() {
    return Session().dialogs.empty() ? nlohmann::json() : Session().dialogs.back();
  }

  std::uint32_t handle_ = 0;
  std::unique_ptr<TPcbBoard> board_;
  std::size_t host_defaults_ = 0;
};

}  // namespace rules_test
