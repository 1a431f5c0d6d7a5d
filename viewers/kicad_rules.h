// The board's design rules in KiCad's terms. The board-wide clearance, width and via rules
// become the Default net class of the project file (.kicad_pro); the board-wide mask
// expansions the board's own setup; the board-wide plane clearance and plane connection the
// settings of the zones on plane layers. Every scoped rule becomes one entry of the custom
// rules file (.kicad_dru): a rule with a condition where KiCad has the constraint (clearance
// between object classes, track width and via size of a net), otherwise a comment naming the
// rule and saying where its value went. KiCad 6 has no pad-scoped rule constraints, but every
// pad carries its own mask margins, clearance and zone connection: pad-scoped rules are set on
// the pads they name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <optional>
#include <string>
#include <vector>

#include "viewers/board_view.h"
#include "viewers/object_source.h"

namespace kicad {

// Zone connection of a pad or a plane, as the host's plane connect rule gives it.
struct PlaneConnect {
  int zone_connect = 1;  // KiCad: 0 none, 1 thermal relief, 2 solid
  std::int32_t thermal_gap = 0;
  std::int32_t thermal_width = 0;
};

// What pad-scoped rules set on one pad (host units).
struct PadSettings {
  std::optional<std::int32_t> solder_mask;
  std::optional<std::int32_t> paste_mask;
  std::optional<std::int32_t> clearance;
  std::optional<PlaneConnect> connect;
};

struct RuleTranslation {
  // Default net class (host units); absent values keep KiCad's defaults.
  std::optional<std::int32_t> clearance, track_width, via_diameter, via_drill;
  // Board setup.
  std::optional<std::int32_t> solder_mask, paste_mask;
  // Zones on plane layers.
  std::optional<std::int32_t> plane_clearance;
  std::optional<PlaneConnect> plane_connect;
  // Pad-scoped values by the pad's rule name ("U1-3", "Free-7").
  std::unordered_map<std::string, PadSettings> pads;
  std::string custom_rules;  // the head of the .kicad_dru text (see TranslateRules)
  std::int64_t read = 0;     // rules read
  int scoped = 0;            // scoped rules met
  int as_constraints = 0;    // of which written as custom rules with a constraint
};

// Takes the text of the custom rules file a piece at a time; may empty it.
using RuleText = std::function<void(std::string&)>;

// Translates every rule of `source`, in the document's order: the settings, and in
// custom_rules the head of the custom rules text (its version and the notes on board-wide
// rules; the rest is made by WriteRuleText). False, with `error`, when a rule cannot be read.
// Reads through ForEachRule only, so it may run beside a writer opening the source's objects.
bool TranslateRules(view::ObjectSource& source, RuleTranslation& out, std::string& error);

// Reads the rules once more and hands the custom rules text that follows its head to `body` a
// block at a time, so that a board of many rules is written without being held as text. False,
// with `error`, when a rule cannot be read.
bool WriteRuleText(view::ObjectSource& source, const RuleText& body, std::string& error);

// The project file: the Default net class and the board constraints the rules need (blind and
// buried vias allowed, no minimum that would hide a rule).
std::string ProjectFile(const RuleTranslation& rules, const std::string& project_name);

// A KiCad expression string literal of a name: KiCad's expressions have no escape inside
// '...', so quotes and backslashes become the one-character wildcard '?'.
std::string ExpressionLiteral(const std::string& name);

// The text between "Name('" and the closing "')" of a scope, or the rest of the scope when the
// host cut the closing off (long names); nullopt when the scope is not of that form.
std::optional<std::string> ScopeArgument(const std::string& scope, const std::string& function);

}  // namespace kicad
