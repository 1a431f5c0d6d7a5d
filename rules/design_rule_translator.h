// The design rule translation dialog: before the classifier makes its rules, it shows per
// family how many rules would be made and lets the user switch each family's scoped rules off.
// It is shown only when some family would make more than 10 rules, and never in test mode.
//
//   TDesignRuleTranslator dialog(classifier);
//   if (dialog.Prepare() && !TestModeOn()) dialog.ShowModal();
//   dialog.ApplyChoices();
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "rules/classifier.h"
#include "ui/dialog_kit.h"

// The registry key under the local-machine root whose presence suppresses the dialog.
inline constexpr char kTestModeKey[] = "\\Software\\Nembra\\TestMode";
bool TestModeOn();

class TDesignRuleTranslator {
 public:
  // The dialog with its controls; its owner is the host's main window when there is one.
  explicit TDesignRuleTranslator(TClassifier& classifier);

  // Counts, enabling, check states and captions of the eight boxes; true when some family
  // would make more than 10 rules.
  bool Prepare();
  // Copies the eight boxes' states into the classifier's gates.
  void ApplyChoices();
  std::int32_t ShowModal() { return dialog_.ShowModal(); }
  // Asks the host to show the help topic on design rules; the dialog stays open.
  void RunHelp();

  // The family's rule count as Prepare found it (1 to 8).
  [[nodiscard]] std::int32_t Count(int family) const;
  [[nodiscard]] ui::DialogTemplate& Dialog() { return dialog_; }

 private:
  TClassifier& classifier_;
  ui::DialogTemplate dialog_;
  std::array<int, kRuleFamilyCount> boxes_{};  // control index per family
  std::array<std::int32_t, kRuleFamilyCount> counts_{};
};

// The dialog step of the rule generation: prepare, show when needed and allowed, apply.
void RunDesignRuleDialogStep(TClassifier& classifier);
