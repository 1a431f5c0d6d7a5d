// The design rule translation dialog: its layout, the counts and captions of its boxes, and the
// dialog step the classifier runs before it makes its rules.
#include "rules/design_rule_translator.h"

#include <cstring>
#include <string>

#include "host/core_calls.h"
#include "host/system_services.h"

namespace {

constexpr char kCaption[] = "Design Rule Translation ";
constexpr std::int32_t kClientWidth = 508;
constexpr std::int32_t kClientHeight = 248;
constexpr char kOwnerClass[] = "Veltrane Main Window";

constexpr char kLabelText[] =
    "During the conversion process Nembra Designer will create design rules for the appropriate PCB 2.8 "
    "option or attribute. This dialog allows you to control which rule types are automatically created. "
    "For certain designs it can be more efficient to define rules manually.";

constexpr char kHelpProcess[] = "Client:RunHelpTopic";
constexpr char kHelpParameters[] = "FileName = PCBUSR.HLP | Topic = IntroducingDesignRules";
constexpr std::uint16_t kHelpBufferSize = 255;

// More rules than this in one family are worth asking about.
constexpr std::int32_t kQuietRuleLimit = 10;

struct BoxRow {
  RuleFamily family;
  const char* name;
  const char* caption;
  bool manufacturing;  // in the "Manufacturing rules" group, else in "Routing rules"
  std::int32_t x, y, width;
  std::int32_t tab_order;
};

constexpr BoxRow kBoxes[] = {
    {RuleFamily::kSolderMask, "SolderMaskCheckBox", "solder mask expansion rules", true, 11, 19, 226, 0},
    {RuleFamily::kPasteMask, "PasteMaskExpansionCheckBox", "paste mask expansion rules", true, 12, 41, 226, 1},
    {RuleFamily::kPlaneClearance, "PowerGndExpCheckBox", "power ground expansion rules", true, 12, 64, 226, 2},
    {RuleFamily::kPlaneConnect, "PowerGndConnCheckBox", "power ground connect style rules", true, 12, 86, 226, 3},
    {RuleFamily::kWidth, "RoutingTrackWidthCheckbox", "routing track width rules", false, 11, 18, 200, 0},
    {RuleFamily::kViaSize, "RoutingViaSizeCheckBox", "routing via size rules", false, 11, 40, 200, 1},
    {RuleFamily::kTopology, "RoutingTechologyCheckBox", "routing topology rules", false, 11, 63, 200, 2},
    {RuleFamily::kPriority, "RoutingPriorityCheckBox", "routing priority rules", false, 11, 85, 200, 3},
};
constexpr std::int32_t kBoxHeight = 17;

// The order in which the counts are asked for (each ask marks the family's common value).
constexpr RuleFamily kCountOrder[] = {RuleFamily::kWidth,      RuleFamily::kViaSize,       RuleFamily::kTopology,
                                      RuleFamily::kPriority,   RuleFamily::kSolderMask,    RuleFamily::kPasteMask,
                                      RuleFamily::kPlaneClearance, RuleFamily::kPlaneConnect};

std::size_t Slot(RuleFamily family) { return static_cast<std::size_t>(family) - 1; }

ui::Control MakeControl(const char* name, const char* class_name, std::string caption, std::int32_t x, std::int32_t y,
                        std::int32_t width, std::int32_t height, std::int32_t parent, std::int32_t tab_order) {
  ui::Control control;
  control.name = name;
  control.class_name = class_name;
  control.caption = std::move(caption);
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.parent = parent;
  control.tab_order = tab_order;
  return control;
}

}  // namespace

bool TestModeOn() { return system_services::LocalMachineKeyExists(kTestModeKey); }

TDesignRuleTranslator::TDesignRuleTranslator(TClassifier& classifier)
    : classifier_(classifier), dialog_(kCaption, kClientWidth, kClientHeight) {
  dialog_.style = WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_SYSMENU | DS_MODALFRAME;
  dialog_.ex_style = WS_EX_DLGMODALFRAME;
  dialog_.owner = system_services::FindWindowByClass(kOwnerClass);

  ui::Control ok = MakeControl("Button1", "TXPBitBtn", "OK", 347, 219, 75, 24, ui::kNoParent, 0);
  ok.modal_result = ui::kModalOk;
  dialog_.Add(std::move(ok));
  ui::Control help = MakeControl("Button2", "TXPBitBtn", "Help", 427, 219, 75, 24, ui::kNoParent, 1);
  help.on_click = [this] { RunHelp(); };
  dialog_.Add(std::move(help));
  const int pages = dialog_.Add(MakeControl("PageControl1", "TPageControl", "", 5, 5, 497, 209, ui::kNoParent, 2));
  const int sheet = dialog_.Add(MakeControl("TabSheet1", "TTabSheet", "Rules", 4, 24, 489, 181, pages, 0));
  dialog_.Add(MakeControl("Label1", "TLabel", kLabelText, 7, 8, 445, 39, sheet, ui::kNoTabStop));
  const int manufacturing =
      dialog_.Add(MakeControl("GroupBox2", "TXPGroupBox", "Manufacturing rules", 7, 54, 242, 118, sheet, 0));
  const int routing = dialog_.Add(MakeControl("GroupBox1", "TXPGroupBox", "Routing rules", 260, 54, 220, 118, sheet, 1));
  for (const BoxRow& row : kBoxes) {
    ui::Control box = MakeControl(row.name, "TXPCheckBox", row.caption, row.x, row.y, row.width, kBoxHeight,
                                  row.manufacturing ? manufacturing : routing, row.tab_order);
    box.checked = true;
    boxes_[Slot(row.family)] = dialog_.Add(std::move(box));
  }
}

bool TDesignRuleTranslator::Prepare() {
  for (RuleFamily family : kCountOrder) counts_[Slot(family)] = classifier_.RuleCount(static_cast<int>(family));
  bool worth_asking = false;
  for (const BoxRow& row : kBoxes) {
    const std::int32_t count = counts_[Slot(row.family)];
    ui::Control& box = dialog_.At(boxes_[Slot(row.family)]);
    box.enabled = count != 0;
    box.checked = classifier_.Gate(static_cast<int>(row.family));
    box.caption = "Create " + std::to_string(count) + " " + row.caption;
    worth_asking = worth_asking || count > kQuietRuleLimit;
  }
  return worth_asking;
}

void TDesignRuleTranslator::ApplyChoices() {
  for (const BoxRow& row : kBoxes) {
    classifier_.SetGate(static_cast<int>(row.family), dialog_.At(boxes_[Slot(row.family)]).checked);
  }
}

void TDesignRuleTranslator::RunHelp() {
  char parameters[kHelpBufferSize] = {};
  std::memcpy(parameters, kHelpParameters, sizeof kHelpParameters);
  host::PcbApi_SendCommand(kHelpProcess, parameters, kHelpBufferSize, 0);
}

std::int32_t TDesignRuleTranslator::Count(int family) const {
  return family >= 1 && family <= kRuleFamilyCount ? counts_[static_cast<std::size_t>(family) - 1] : 0;
}

void RunDesignRuleDialogStep(TClassifier& classifier) {
  TDesignRuleTranslator dialog(classifier);
  if (!dialog.Prepare()) return;
  // How the dialog was closed does not matter: the boxes count as they were left.
  if (!TestModeOn()) dialog.ShowModal();
  dialog.ApplyChoices();
}
