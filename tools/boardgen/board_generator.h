// Board generator: writes valid text PCB files ("PCB FILE 6") of any format level and size,
// deterministic from a seed (the same BoardRecipe gives the same bytes with the same build), for
// the tests and benchmarks of the importer.
//
//   boardgen::BoardRecipe recipe;
//   recipe.level = 10; recipe.tracks = 1000; recipe.nets = 40; recipe.options = true;
//   recipe.components = boardgen::Components(20, {.pads = 8});
//   std::string text;
//   boardgen::BoardSummary summary = boardgen::Generate(recipe, text);
//   // summary says what the import of `text` creates, links and counts.
//
// Units. The lengths of a BoardRecipe are in 1/1000 mil, the fine file unit. At format levels 0
// and 1 the primitive and component records hold whole mils (the generator divides by 1000),
// while FD, FI and PG records, net attributes and pad rule values are always written in
// 1/1000 mil, as the format has them. Pad rule values exist only from level 9, net attributes
// from level 1.
//
// File order: DEFAULTS, OPTIONS, components, free pads, vias, tracks, arcs, fills, strings,
// polygons and split planes (polygons first), coordinates, dimensions, then the NETDEF records
// (or the NETDEF records first when `nets_first` is set).
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace boardgen {

enum class Side { kTop, kBottom, kRandom };

// Through-hole pads lie on the file's multi layer (34); surface pads on the copper of the side.
enum class Mount { kThroughHole, kSurface, kRandom };

// Layer of a component's designator string. kSideOverlay is the overlay of the component's side;
// kMid is one of file layers 2 to 15 and kMechanical one of 29 to 32; kRandom picks one of the
// six fixed choices (not kSideOverlay).
enum class DesignatorLayer { kSideOverlay, kTopOverlay, kBottomOverlay, kTop, kBottom, kMid, kMechanical, kRandom };

// One component: its nested records and where its parts lie. Nested tracks, arcs and strings are
// drawn on the side's overlay, fills on the side's copper, pads by `mount`; the comment string is
// on the side's overlay.
struct ComponentRecipe {
  int pads = 8;
  int tracks = 4;
  int arcs = 1;
  int vias = 0;
  int fills = 0;
  int strings = 0;
  Side side = Side::kRandom;
  Mount mount = Mount::kRandom;
  DesignatorLayer designator_layer = DesignatorLayer::kSideOverlay;
  std::optional<bool> comment_shown = std::nullopt;  // empty: chosen from the seed
};

// `count` copies of one component description.
std::vector<ComponentRecipe> Components(int count, const ComponentRecipe& each = {});

// Per-pad rule values (values 15, 20 to 25 of a level 9 pad record). Each list, when not empty,
// is cycled over the pad records in file order: the j-th pad record (0-based, component pads
// and free pads alike, shape-6 records included) takes element j mod size. An empty list leaves
// the choice to the generator. Lengths are in 1/1000 mil; the importer passes them on times 10.
struct PadConnect {
  int style_code = 1;      // value 15 (value 9 below level 7); 0, 3, 6, 9, 12 mean no connect
  int32_t value1 = 10000;  // value 22
  int32_t value2 = 10000;  // value 23
  int32_t value3 = 4;      // value 25
};
struct PadRules {
  std::vector<int32_t> solder_mask;      // value 20
  std::vector<int32_t> paste_mask;       // value 21
  std::vector<int32_t> plane_clearance;  // value 24, also the `Value` of the plane connect group
  std::vector<PadConnect> connect;       // values 15, 22, 23, 25; style codes used at every level
};

// Per-net values, cycled over the NETDEF records in file order the same way. Width and via
// size are in 1/1000 mil at every format level.
struct NetRules {
  std::vector<int32_t> width;
  std::vector<int32_t> via_size;
  std::vector<int> topology;
  std::vector<int> priority;
  std::vector<uint64_t> attribute;  // level 9 and up; written as one 64-bit token
  std::vector<int> plane_layer;     // level 5 and up, file layer (0, or 23 to 26 for planes 1 to 4)
};

// Values of the OPTIONS section that rules are made from.
struct OptionValues {
  std::array<int32_t, 6> clearances{100000, 100000, 100000, 100000, 100000, 100000};       // group 24
  std::array<int, 16> routing_directions{1, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};  // group 19
};

// Which records name their owners. For each kind, the i-th record (0-based) of the kind names
// an owner when floor((i + 1) * p / 100) differs from floor(i * p / 100), so exactly
// floor(n * p / 100) of n records do, spread evenly. Of those, the ones picked the same way
// by `dangling_percent` name one past the last record of the owner kind (never linked);
// the others name a record that exists, at most the 16000th.
// Net links: free tracks, arcs, vias, pads, fills, polygons, split planes (polygons and split
// planes as one kind), component pads and component vias (each one kind over all components,
// in file order). Polygon links: free tracks and arcs from level 2, fills from level 3.
// Coordinate and dimension links: free tracks and strings at level 10. Nothing is named when
// the owner kind has no record (the number is then 0).
struct LinkRecipe {
  int net_percent = 80;
  int polygon_percent = 10;
  int coordinate_percent = 20;
  int dimension_percent = 20;
  int dangling_percent = 0;
};

struct BoardRecipe {
  int level = 10;  // format level 0 to 10
  uint32_t seed = 1;

  // Free records.
  int tracks = 0;
  int arcs = 0;
  int vias = 0;
  int pads = 0;
  int fills = 0;
  int strings = 0;
  int polygons = 0;      // PG on signal layers 1 and 16
  int split_planes = 0;  // PG on file layers 23 to 26, in turn
  int coordinates = 0;
  int dimensions = 0;
  // Extra free FP records with shape code 6, written after the other free pads. Below level 7
  // the importer creates no object for them (but makes their progress step); from level 7 on
  // they are ordinary pads.
  int shape6_pads = 0;

  std::vector<ComponentRecipe> components;
  int nets = 0;  // NETDEF records: GND, VCC, +5V, +3V3, then NET5, NET6, ...

  // Edges n of every outline (n + 1 vertex lines); at least 3. The importer keeps outlines of
  // up to 5000 edges; longer ones test what it does beyond.
  int polygon_vertices = 8;
  int arc_edge_percent = 25;  // share of outline edges written as arcs, picked as in LinkRecipe

  bool defaults = false;  // write a DEFAULTS section
  bool options = false;   // write an OPTIONS section
  // Every value of DEFAULTS and OPTIONS distinct, by the formula of DistinctSettingValue below;
  // `option_values` is then not used.
  bool distinct_settings = false;
  OptionValues option_values;

  PadRules pad_rules;
  NetRules net_rules;
  LinkRecipe links;

  bool nets_first = false;  // NETDEF records before the primitives instead of after
  bool crlf = false;        // end lines with CR LF as DOS tools did
};

// Distinct settings. Number the values that the DEFAULTS or the OPTIONS reader consumes in file
// order, 1-based and separately for each section: every integer, every real and every string
// line counts one; lines that the reader skips whole (OPTIONS groups 18, 20 and the eleven lines
// of group 25) do not count. The value at position k is:
//   integer:  DistinctSettingValue(k) = 256 * k + 1 + k % 255   (low byte 1 + k % 255, never 0)
//   real:     DistinctSettingValue(k) + 0.5, written with three decimals
//   string:   "S" followed by k in decimal
//   flag:     the DEFAULTS layer lines (group 7) and the integer of the DEFAULTS change order line
//             (group 8) hold DistinctSettingValue(k) when k is odd and 0 when k is even.
// The DEFAULTS group 8 line is the integer (position k) followed by " S" and k + 1.
// So in OPTIONS the clearances are positions 545 to 550 and the routing directions 520 to 535.
constexpr int64_t DistinctSettingValue(int k) { return 256 * int64_t{k} + 1 + k % 255; }
constexpr double DistinctSettingReal(int k) { return static_cast<double>(DistinctSettingValue(k)) + 0.5; }

// What the import of a generated file yields, computed from the BoardRecipe alone.
struct BoardSummary {
  // Objects created, free and nested together. `texts` includes the two strings of each
  // component (designator and comment); `pads` excludes shape-6 pads below level 7.
  int64_t tracks = 0, arcs = 0, vias = 0, pads = 0, fills = 0, texts = 0;
  int64_t polygons = 0, split_planes = 0, coordinates = 0, dimensions = 0;
  int64_t components = 0, nets = 0;
  int64_t uncreated_pads = 0;  // shape-6 pads below level 7

  // Records of the file: primitive records (FT FA FV FP FF FS PG FD FI, nested ones and the
  // designator and comment strings included), and progress steps (the primitive records plus
  // one per COMP and NETDEF record).
  int64_t primitive_records = 0;
  int64_t progress_steps = 0;

  // The ten header counts written from level 1: 1 components, 2 vias, 3 nets, 4 pads, 5 fills,
  // 6 arcs, 7 tracks, 8 strings, 9 polygons + split planes + coordinates + dimensions,
  // 10 components + nets (nested records in the count of their kind, the designator and comment
  // strings in 8). The importer's progress total, counts 2 and 4 to 10, equals progress_steps.
  std::array<int64_t, 10> header_counts{};

  // Links left after the import's link pass.
  int64_t in_net = 0;  // free tracks, arcs, vias, pads and fills added to a net
  // Component pads and vias that name an existing net: they join it when the host's board
  // iterator yields the primitives inside components to the link pass.
  int64_t nested_in_net = 0;
  int64_t in_polygon = 0;         // tracks, arcs and fills added to a polygon or split plane
  int64_t in_coordinate = 0;      // tracks and strings added to a coordinate
  int64_t in_dimension = 0;       // tracks and strings added to a dimension
  int64_t polygons_with_net = 0;  // polygons and split planes whose Net resolves
  int64_t dangling = 0;           // link numbers written that name no record

  // Side of the components below level 10, as the importer deduces it. Nested vias are taken
  // to add no top or bottom layer to the component's layer set.
  int64_t top_by_designator = 0, bottom_by_designator = 0;
  int64_t top_by_primitives = 0, bottom_by_primitives = 0;
  int64_t side_undefined = 0;
};

// Throw std::invalid_argument for a level outside 0 to 10 or a negative count.
BoardSummary Summarize(const BoardRecipe& recipe);
BoardSummary Generate(const BoardRecipe& recipe, std::string& out);  // appends to out
BoardSummary Generate(const BoardRecipe& recipe, std::FILE* out);
BoardSummary Generate(const BoardRecipe& recipe, std::ostream& out);
// Writes the file; returns false when it cannot be written.
bool WriteBoardFile(const BoardRecipe& recipe, const std::string& path, BoardSummary* summary = nullptr);

// A realistic board of about `primitives` primitive records: components with pads and
// silkscreen, tracks and arcs on several layers, vias, polygons with long outlines, strings,
// coordinates, dimensions, nets with attributes, DEFAULTS and OPTIONS, varied pad and net rule
// values. Within 10 % of the asked number from 1000 on.
BoardRecipe RealisticBoard(int64_t primitives, int level = 10, uint32_t seed = 1);

}  // namespace boardgen
