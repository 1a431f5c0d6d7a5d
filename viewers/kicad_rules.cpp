// The rules of a board view to the KiCad project's net class, the board setup, the
// pads' own settings and the custom rules file.
#include "viewers/kicad_rules.h"

#include <array>
#include <string_view>

#include <nlohmann/json.hpp>

#include "viewers/kicad_format.h"

namespace kicad {
namespace {

using nlohmann::json;

// Rule kinds the importer makes (the host's rule-kind numbers).
enum RuleKind : int {
  kClearance = 0,
  kWidth = 2,
  kPlaneConnectKind = 6,
  kTopology = 7,
  kPriority = 8,
  kRoutingLayers = 9,
  kRoutingVias = 11,
  kPlaneClearance = 12,
  kSolderMask = 13,
  kPasteMask = 14,
};

std::int32_t Value(const view::Rule& rule, std::size_t i) { return i < rule.values.size() ? rule.values[i] : 0; }

bool WholeBoard(const std::string& scope) { return scope.empty() || scope == "All"; }

// The object classes of the clearance rules, as KiCad expressions on item "A".
std::optional<std::string> ClassCondition(const std::string& scope) {
  if (scope == "IsWire") return "(A.Type == 'Track' || A.Type == 'Arc')";
  if (scope == "IsThruPin") return "(A.Type == 'Pad' && A.Pad_Type == 'Through-hole')";
  if (scope == "IsSMTPin") return "(A.Type == 'Pad' && A.Pad_Type == 'SMD')";
  if (scope == "IsVia") return "A.Type == 'Via'";
  // Fills and polygons both become zones.
  if (scope == "IsFill" || scope == "InPoly") return "A.Type == 'Zone'";
  return std::nullopt;
}

// A scope as a condition on item "A" ("" for the whole board); nullopt when KiCad cannot
// select it (pad scopes, unknown queries).
std::optional<std::string> Condition(const std::string& scope) {
  if (WholeBoard(scope)) return std::string();
  if (auto net = ScopeArgument(scope, "InNet")) return "A.NetName == " + ExpressionLiteral(*net);
  return ClassCondition(scope);
}

std::string OnB(std::string condition) {
  for (std::size_t at = condition.find("A."); at != std::string::npos; at = condition.find("A.", at + 2)) {
    condition[at] = 'B';
  }
  return condition;
}

std::string MmValue(std::int32_t host) { return Mm(host) + "mm"; }

PlaneConnect ConnectOf(const view::Rule& rule) {
  // Connect styles: 0 relief, 1 direct, 2 no connection. Values: style, expansion, air gap,
  // conductor count, conductor width.
  constexpr std::array<int, 3> kZoneConnect = {1, 2, 0};
  const std::int32_t style = Value(rule, 0);
  PlaneConnect connect;
  connect.zone_connect = style >= 0 && style <= 2 ? kZoneConnect[static_cast<std::size_t>(style)] : 1;
  connect.thermal_gap = Value(rule, 2);
  connect.thermal_width = Value(rule, 4);
  return connect;
}

// What a pad-scoped rule of a kind KiCad has a pad setting for sets, in words.
std::string PadSettingText(const view::Rule& rule, int kind) {
  switch (kind) {
    case kSolderMask: return "solder mask margin " + MmValue(Value(rule, 0));
    case kPasteMask: return "solder paste margin " + MmValue(Value(rule, 0));
    case kPlaneConnectKind: {
      const PlaneConnect connect = ConnectOf(rule);
      return "zone connection " + std::to_string(connect.zone_connect) + ", thermal gap " +
             MmValue(connect.thermal_gap) + ", spoke width " + MmValue(connect.thermal_width);
    }
    default: return "clearance " + MmValue(Value(rule, 0));
  }
}

}  // namespace

class Translator {
 public:
  // `keep_pads` false: the pads' settings are made and dropped (a pass for the text alone).
  Translator(RuleText body, bool keep_pads) : body_out_(std::move(body)), keep_pads_(keep_pads) {}
  // Room for the pads of this many pad rules at most, made at once rather than grown.
  void ExpectRules(std::size_t rules) {
    if (keep_pads_) out_.pads.reserve(rules);
  }

  void Add(const view::Rule& rule) {
    ++out_.read;
    const std::string& name = rule.name;
    const std::string& scope1 = rule.scope1;
    const std::string& scope2 = rule.scope2;
    const auto kind = static_cast<int>(rule.rule_kind);
    if (WholeBoard(scope1) && WholeBoard(scope2)) {
      AddBoardWide(rule, kind, name);
      return;
    }
    ++out_.scoped;
    if (auto pad = ScopeArgument(scope1, "HasPad")) {
      AddPadScoped(rule, kind, name, *pad);
      return;
    }
    const auto a = Condition(scope1);
    const auto b = Condition(scope2);
    if (!a || !b) {
      Note(name, scope1, "KiCad has no condition for this scope; not carried over");
      return;
    }
    std::string condition = *a;
    if (!b->empty()) {
      // Clearance between two object classes holds whichever of the pair is A.
      if (condition.empty()) {
        condition = OnB(*b);
      } else if (*a == *b) {
        condition = *a + " && " + OnB(*b);
      } else {
        condition = "(" + *a + " && " + OnB(*b) + ") || (" + *b + " && " + OnB(*a) + ")";
      }
    }
    switch (kind) {
      case kClearance:
        Rule(name, {"(constraint clearance (min " + MmValue(Value(rule, 0)) + "))"}, condition);
        break;
      case kWidth:
        Rule(name,
             {"(constraint track_width (min " + MmValue(Value(rule, 0)) + ") (max " + MmValue(Value(rule, 1)) + "))"},
             "(A.Type == 'Track' || A.Type == 'Arc') && " + Grouped(condition));
        break;
      case kRoutingVias:
        Rule(name,
             {"(constraint via_diameter (min " + MmValue(Value(rule, 2)) + "))",
              "(constraint hole_size (min " + MmValue(Value(rule, 0)) + "))"},
             "A.Type == 'Via' && " + Grouped(condition));
        break;
      case kTopology:
        Note(name, scope1, "routing topology " + std::to_string(Value(rule, 0)) + "; KiCad has no such rule");
        break;
      case kPriority:
        Note(name, scope1, "routing priority " + std::to_string(Value(rule, 0)) + "; KiCad has no such rule");
        break;
      default:
        Note(name, scope1, "no KiCad constraint for this rule kind");
        break;
    }
  }

  // The settings, and the head of the custom rules text; what is left of the body goes to
  // `body`.
  RuleTranslation Finish() {
    Spill(0);
    out_.custom_rules = "(version 1)\n" + head_;
    return std::move(out_);
  }

 private:
  static std::string Grouped(const std::string& condition) {
    return condition.empty() ? "true" : "(" + condition + ")";
  }

  void AddBoardWide(const view::Rule& rule, int kind, const std::string& name) {
    if (!rule.has_values) return;  // un-routed net rule: KiCad checks connections itself
    auto first = [&](auto& slot, auto value) {
      if (slot) {
        head_ += "# " + name + ": a second board-wide rule of its kind; the first one is kept\n";
        return;
      }
      slot = value;
    };
    switch (kind) {
      case kClearance: first(out_.clearance, Value(rule, 0)); break;
      case kWidth: first(out_.track_width, Value(rule, 0)); break;
      case kRoutingVias:
        first(out_.via_diameter, Value(rule, 2));
        if (!out_.via_drill) out_.via_drill = Value(rule, 0);
        break;
      case kSolderMask: first(out_.solder_mask, Value(rule, 0)); break;
      case kPasteMask: first(out_.paste_mask, Value(rule, 0)); break;
      case kPlaneClearance: first(out_.plane_clearance, Value(rule, 0)); break;
      case kPlaneConnectKind: first(out_.plane_connect, ConnectOf(rule)); break;
      case kRoutingLayers: head_ += "# " + name + ": routing directions are not carried over\n"; break;
      case kTopology:
      case kPriority: head_ += "# " + name + ": KiCad has no such rule\n"; break;
      default: break;  // short circuits: KiCad never allows them
    }
  }

  void AddPadScoped(const view::Rule& rule, int kind, const std::string& name, const std::string& pad) {
    PadSettings dropped;
    PadSettings& settings = keep_pads_ ? out_.pads[pad] : dropped;
    switch (kind) {
      case kSolderMask: settings.solder_mask = Value(rule, 0); break;
      case kPasteMask: settings.paste_mask = Value(rule, 0); break;
      case kPlaneClearance:
      case kClearance: settings.clearance = Value(rule, 0); break;
      case kPlaneConnectKind: settings.connect = ConnectOf(rule); break;
      default:
        Note(name, rule.scope1, "no KiCad setting for this rule kind on a pad");
        return;
    }
    if (body_out_) Note(name, rule.scope1, "set on the pad itself: " + PadSettingText(rule, kind));
  }

  void Rule(const std::string& name, const std::vector<std::string>& constraints, const std::string& condition) {
    ++out_.as_constraints;
    if (!body_out_) return;  // nobody takes the text
    body_ += "(rule " + Quoted(name) + "\n";
    for (const std::string& constraint : constraints) body_ += "  " + constraint + "\n";
    if (!condition.empty()) body_ += "  (condition " + Quoted(condition) + ")";
    body_ += ")\n";
    Spill(kBlock);
  }

  // Hands the body over once it holds `least` bytes (dropped when nobody takes it).
  void Spill(std::size_t least) {
    if (body_.size() < least) return;
    if (body_out_) body_out_(body_);
    body_.clear();
  }

  void Note(const std::string& name, const std::string& scope, const std::string& what) {
    if (!body_out_) return;  // nobody takes the text
    // Comments end at the line end; a name or scope cannot carry one (they are single lines).
    std::string line = "# " + name + " " + scope + ": " + what;
    for (char& c : line) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    body_ += line + "\n";
    Spill(kBlock);
  }

  static constexpr std::size_t kBlock = std::size_t{1} << 20;
  RuleText body_out_;
  bool keep_pads_;
  RuleTranslation out_;
  std::string head_;
  std::string body_;
};

bool TranslateRules(view::ObjectSource& source, RuleTranslation& out, std::string& error) {
  Translator translator(RuleText{}, true);
  translator.ExpectRules(source.RuleCount());
  if (!source.ForEachRule([&](const view::Rule& rule) { translator.Add(rule); }, error)) return false;
  out = translator.Finish();
  return true;
}

std::optional<std::string> ScopeArgument(const std::string& scope, const std::string& function) {
  const std::string_view text(scope);
  if (!text.starts_with(function) || !text.substr(function.size()).starts_with("('")) return std::nullopt;
  std::string argument = scope.substr(function.size() + 2);
  if (argument.size() >= 2 && argument.compare(argument.size() - 2, 2, "')") == 0) argument.resize(argument.size() - 2);
  return argument;
}

std::string ExpressionLiteral(const std::string& name) {
  std::string literal = "'";
  for (const char c : name) literal += c == '\'' || c == '\\' || c == '"' ? '?' : c;
  return literal + "'";
}

bool WriteRuleText(view::ObjectSource& source, const RuleText& body, std::string& error) {
  Translator translator(body, false);
  if (!source.ForEachRule([&](const view::Rule& rule) { translator.Add(rule); }, error)) return false;
  translator.Finish();
  return true;
}

std::string ProjectFile(const RuleTranslation& rules, const std::string& project_name) {
  auto mm = [](std::int32_t host) { return static_cast<double>(host) * kMmPerHostUnit; };
  json net_class = {{"name", "Default"},
                    {"clearance", 0.2},
                    {"track_width", 0.25},
                    {"via_diameter", 0.8},
                    {"via_drill", 0.4},
                    {"microvia_diameter", 0.3},
                    {"microvia_drill", 0.1},
                    {"diff_pair_gap", 0.25},
                    {"diff_pair_via_gap", 0.25},
                    {"diff_pair_width", 0.2},
                    {"line_style", 0},
                    {"wire_width", 6},
                    {"bus_width", 12},
                    {"pcb_color", "rgba(0, 0, 0, 0.000)"},
                    {"schematic_color", "rgba(0, 0, 0, 0.000)"}};
  if (rules.clearance) net_class["clearance"] = mm(*rules.clearance);
  if (rules.track_width) net_class["track_width"] = mm(*rules.track_width);
  if (rules.via_diameter) net_class["via_diameter"] = mm(*rules.via_diameter);
  if (rules.via_drill) net_class["via_drill"] = mm(*rules.via_drill);
  // Minimums at zero (or KiCad's least): the rules above and in the custom rules file are the
  // board's limits.
  json constraints = {{"allow_blind_buried_vias", true},
                      {"allow_microvias", false},
                      {"min_clearance", 0.0},
                      {"min_copper_edge_clearance", 0.0},
                      {"min_hole_clearance", 0.0},
                      {"min_hole_to_hole", 0.0},
                      {"min_microvia_diameter", 0.0},
                      {"min_microvia_drill", 0.0},
                      {"min_silk_clearance", 0.0},
                      {"min_through_hole_diameter", 0.0},
                      {"min_track_width", 0.0},
                      // KiCad replaces an annular ring minimum below 0.01 mm by 0.4 mm.
                      {"min_via_annular_width", 0.01},
                      {"min_via_diameter", 0.0}};
  json project = {{"board", {{"design_settings", {{"rules", constraints}}}}},
                  {"meta", {{"filename", project_name}, {"version", 1}}},
                  {"net_settings", {{"classes", json::array({net_class})}, {"meta", {{"version", 2}}}}}};
  return project.dump(2) + "\n";
}

}  // namespace kicad
