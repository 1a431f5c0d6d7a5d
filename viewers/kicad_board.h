// The KiCad 6 board writer: a board view (viewers/board_view.h) in, the text of a
// .kicad_pcb file (format version 20211014) out. Used by kicad_export.cpp; the pieces live in
// kicad_board.cpp (index, header, nets), kicad_footprints.cpp, kicad_items.cpp and
// kicad_zones.cpp.
//
// What goes where:
// - components become footprints at their location, rotation and side, holding their pads,
//   tracks, arcs, fills and strings (positions relative to the footprint); a free pad, which
//   KiCad cannot hold outside a footprint, becomes a footprint of its own named "Free-<name>",
//   the name the host's pad rules use;
// - free tracks and arcs on copper become tracks and arc tracks (a full circle as two half
//   arcs), on other layers graphic lines and arcs; vias, a component's included, board vias;
// - polygons and split planes become zones; a free fill on copper a solid zone of its
//   rectangle, elsewhere a filled graphic polygon; an internal plane whose net names a net of
//   the board a zone over the whole board under its split planes;
// - tracks, arcs and fills that belong to a polygon on their own layer are its pour: KiCad's
//   zone filler makes that copper again, so they are left out;
// - coordinates and dimensions that no track or string draws are drawn as lines and a text.
//
// With a footprint library (kicad_library.h) each component's footprint is also written in its
// own frame to the library, once per distinct footprint, and the board's footprint names it.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "viewers/board_view.h"
#include "viewers/object_source.h"

#include "viewers/kicad_format.h"
#include "viewers/kicad_layers.h"
#include "viewers/kicad_library.h"
#include "viewers/kicad_rules.h"

namespace kicad {

// What the writer put into the board file, and what it left out.
struct ExportCounts {
  std::int64_t footprints = 0, pads = 0, tracks = 0, arcs = 0, vias = 0, zones = 0, nets = 0;
  std::int64_t graphics = 0, texts = 0;
  std::int64_t pour_primitives = 0;  // left to KiCad's zone filler
  std::int64_t left_out = 0;         // on a layer KiCad has no counterpart for, or of no size
  std::string sheet;                 // the drawing sheet the board lies on ("A4", "A3 portrait")
  Point origin;                      // where the host's origin lies on it, KiCad frame, host units
};

// The drawing sheet a board is placed on, and where the host's origin lands on it.
struct Sheet {
  std::string paper;  // the board file's (paper ...) arguments
  std::string name;   // for people: "A4", "A3 portrait", "500 x 400 mm"
  Point origin;       // KiCad frame (Y down), host units, whole mils
};

// The smallest sheet of A4, A3, A2, A1, A0 (landscape, or portrait for a board taller than
// wide), else a user size, that holds the extent (host frame and units; none when `empty`)
// with a margin all round; the board centred on it.
Sheet SheetFor(bool empty, Point min, Point max);

// Where an item is written: on the board, or inside a footprint whose position and rotation
// turn board positions into the footprint's own; or inside a library footprint, in that same
// frame, turned over to the top side for a bottom component.
struct Placement {
  bool in_footprint = false;
  Point origin;        // footprint position, KiCad frame (host units, Y down), before `shift`
  double degrees = 0;  // footprint rotation
  Point shift;         // where the host's origin lies on the sheet, KiCad frame, host units
  // A library footprint: angles of its own frame, no nets and no pad settings of the board.
  bool library = false;
  // A bottom component's library footprint: KiCad turns a footprint over to the bottom by
  // mirroring its Y, so the library holds it mirrored back, on the other side's layers.
  bool flip = false;

  // "x y" in millimetres of a host point, board or footprint relative.
  [[nodiscard]] std::string XY(Point host) const;
  void AppendXY(std::string& out, Point host) const;
  [[nodiscard]] const char* Prefix() const { return in_footprint ? "fp_" : "gr_"; }
  [[nodiscard]] const char* Indent() const { return library ? "  (" : in_footprint ? "    (" : "  ("; }
  // The angle the file gives a pad or a text whose angle on the board is `board`: the board's
  // in a board's footprint; in a library footprint the angle that KiCad, turning the footprint
  // over (a pad's angle negated, a text's taken from 180 degrees) and to `degrees`, makes the
  // board's again; in [0, 360).
  [[nodiscard]] double PadDegrees(double board) const;
  [[nodiscard]] double TextDegrees(double board) const;
};

class BoardWriter {
 public:
  // Reads the board from `source` a few objects at a time: every object twice (once to index,
  // once to write), holding no more of it than the index needs. The rules are translated
  // between the two passes, as they decide what the pads and the board's setup carry.
  explicit BoardWriter(view::ObjectSource& source);
  // The same, of a view held whole.
  explicit BoardWriter(const view::BoardView& view);
  // Where the rules' settings come from once the objects are indexed: false, with `error`, when
  // they cannot be read. Without one, the writer translates the rules itself then.
  using RuleSettings = std::function<bool(RuleTranslation& settings, std::string& error)>;
  void TakeRulesFrom(RuleSettings settings) { settings_ = std::move(settings); }
  // Components' footprints go to `library` too, and the board's name them there.
  void WriteLibrary(FootprintLibrary& library) { library_ = &library; }
  std::string Write(ExportCounts& counts);
  // The same text into an open file, a block at a time, so that a large board is never held
  // whole; false on a write error.
  bool Write(std::FILE* file, ExportCounts& counts);
  // Why the last Write failed when the source could not read an object; empty otherwise.
  [[nodiscard]] const std::string& ReadError() const { return read_error_; }
  // The board's rules as the last Write read them (custom_rules: the head of their text).
  [[nodiscard]] const RuleTranslation& Rules() const { return rules_; }
  RuleTranslation TakeRules() { return std::move(rules_); }

 private:
  // Hands the text written so far over, at the end of each item; may empty it.
  using Spill = std::function<void(std::string&)>;
  static constexpr std::uint32_t kNone = UINT32_MAX;

  // kicad_board.cpp
  bool Emit(std::string& out, const Spill& spill);
  bool Open(std::span<const std::uint32_t> numbers);
  bool Index();
  void IndexMembers();
  void WriteHeader(std::string& out) const;
  void WriteNets(std::string& out);
  [[nodiscard]] int NetOf(const view::Object& object) const;
  [[nodiscard]] std::uint8_t LayerOf(const view::Object& object) const;
  // Whether an object of these containers on this layer is the pour of a polygon on its layer.
  [[nodiscard]] bool IsPour(std::span<const std::uint32_t> containers, std::uint8_t layer) const;
  [[nodiscard]] bool IsPour(const view::Object& object) const;
  // The number of the last object of a handle, kNone for none.
  [[nodiscard]] std::uint32_t NumberOf(std::uint32_t handle) const;
  [[nodiscard]] std::span<const std::uint32_t> ContainersOf(std::uint32_t number) const;

  // kicad_footprints.cpp
  // The component, its designator and comment texts (or nullptr) and its members, in the window.
  void WriteFootprint(std::string& out, const view::Object& component, const view::Object* designator,
                      const view::Object* comment, std::span<const view::Object* const> members);
  bool WriteComponent(std::string& out, std::uint32_t number);
  void WriteFreePad(std::string& out, const view::Object& pad);
  bool WritePad(std::string& out, const view::Object& pad, const Placement& at, const std::string& key);
  // `content`: what the text says (the designator's or comment's text, or the library's own).
  void WriteFootprintText(std::string& out, const view::Object* text, const char* role, bool shown,
                          const Placement& at, bool bottom, std::string_view content);
  // The footprint's attribute line for these members, empty for none.
  [[nodiscard]] std::string_view Attribute(std::span<const view::Object* const> members) const;
  // The name of the component's footprint in the library, written there when new.
  const std::string& LibraryFootprint(const view::Object& component, const view::Object* designator,
                                      const view::Object* comment, std::span<const view::Object* const> members,
                                      std::string_view pattern);
  // A layer's name as the placement writes it: the other side's for a turned-over footprint.
  [[nodiscard]] std::string_view Side(std::string_view layer, const Placement& at) const;

  // kicad_items.cpp
  void WriteMember(std::string& out, const view::Object& object, const Placement& at);
  void WriteTrack(std::string& out, const view::Object& track, const Placement& at);
  void WriteArc(std::string& out, const view::Object& arc, const Placement& at);
  void WriteVia(std::string& out, const view::Object& via);
  void WriteText(std::string& out, const view::Object& text, const Placement& at);
  void WriteFillGraphic(std::string& out, const view::Object& fill, const Placement& at);
  void WriteMarker(std::string& out, const view::Object& marker);
  void Line(std::string& out, const Placement& at, Point a, Point b, double width, std::string_view layer);
  void TextItem(std::string& out, const Placement& at, const char* role, const std::string& text, Point origin,
                double height, double width, double degrees, bool mirrored, bool hidden, std::string_view layer);

  // kicad_zones.cpp
  void WriteOutlineZone(std::string& out, const view::Object& outline);
  void WriteFillZone(std::string& out, const view::Object& fill);
  void WritePlaneZones(std::string& out);
  void Zone(std::string& out, int net, std::string_view layer, int priority, bool solid, std::int32_t clearance,
            const std::vector<Point>& outline);
  void IncludeExtent(const view::Object& object);

  std::unique_ptr<view::ObjectSource> held_;  // when made from a view
  view::ObjectSource& source_;
  RuleSettings settings_;
  RuleTranslation rules_;
  view::Window window_;       // the objects opened last; window_.view holds their lists and strings
  std::string read_error_;
  ExportCounts counts_;
  // By object number: what the writer needs of every object without opening it again.
  std::vector<std::uint32_t> handles_;
  std::vector<std::uint8_t> kinds_, layers_of_;
  std::vector<std::uint32_t> container_first_, containers_;  // an object's containers: [first[n], first[n + 1])
  std::vector<bool> owned_;  // written inside a component's footprint
  // Object numbers ordered by handle, then number; empty when the handles rise with the numbers.
  std::vector<std::uint32_t> by_handle_;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> members_;  // (component handle, member number)
  std::vector<std::pair<std::uint32_t, int>> net_codes_;  // (net handle, KiCad net code), by handle
  std::vector<std::string> net_names_;               // by KiCad net code; [0] is ""
  std::vector<std::uint32_t> component_texts_;       // designators and comments, sorted handles
  std::unordered_set<std::uint32_t> drawn_markers_;  // coordinates and dimensions with members
  std::array<std::string, kLastHostLayer + 1> plane_nets_{};
  HostLayers used_;
  std::unique_ptr<LayerTable> layers_;
  FootprintLibrary* library_ = nullptr;
  // Made again for each component, kept for their memory: what decides its library footprint,
  // and the library footprint's text.
  std::string library_contents_, library_head_, library_body_;
  Point min_, max_;
  Sheet sheet_;
  // A placement of board items on the sheet, and one of the items of a footprint at `origin`.
  [[nodiscard]] Placement OnBoard() const;
  [[nodiscard]] Placement InFootprint(Point origin, double degrees) const;
  bool extent_empty_ = true;
};

// The pad's rule name: "<designator>-<pad name>" in a component, "Free-<pad name>" otherwise.
std::string PadKey(const std::string& designator, const std::string& pad_name);

// The KiCad 6 text variable that says what a host special string standing alone says, in a
// footprint or on the board; empty when KiCad has none there.
std::string_view TextVariable(std::string_view text, bool in_footprint);

}  // namespace kicad
