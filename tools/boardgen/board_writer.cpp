// Board writer: chooses the values of every record from the BoardRecipe, the plan and the seed,
// and writes them through the record and settings writers.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "boardgen/board_generator.h"
#include "boardgen/board_plan.h"
#include "boardgen/line_writer.h"
#include "boardgen/random.h"
#include "boardgen/record_writer.h"
#include "boardgen/settings_writer.h"

namespace boardgen {
namespace {

constexpr int64_t kMil = 1000;  // file fine units per mil
constexpr std::size_t kMembersPerNet = 4;

template <typename T>
const T* Cycled(const std::vector<T>& values, int64_t index) {
  return values.empty() ? nullptr : &values[static_cast<std::size_t>(index % static_cast<int64_t>(values.size()))];
}

std::string NetName(int number) {
  static constexpr std::string_view kNamed[] = {"GND", "VCC", "+5V", "+3V3"};
  if (number <= 4) return std::string(kNamed[number - 1]);
  return "NET" + std::to_string(number);
}

class Generator {
 public:
  Generator(const BoardRecipe& recipe, const BoardPlan& plan, LineWriter& out)
      : recipe_(recipe), plan_(plan), out_(out), records_(out, recipe.level), random_(recipe.seed, 2) {
    if (!recipe.nets_first) members_.resize(static_cast<std::size_t>(recipe.nets));
  }

  void Run() {
    WriteHeader();
    SettingsContext settings{recipe_.level, recipe_.distinct_settings, plan_.width, plan_.height, recipe_.option_values};
    if (recipe_.defaults) WriteDefaults(out_, settings);
    if (recipe_.options) WriteOptions(out_, settings);
    if (recipe_.nets_first) WriteNets();
    for (const ComponentPlan& component : plan_.components) WriteComponent(component);
    WriteFreePads();
    for (int i = 0; i < recipe_.vias; ++i) WriteVia(FreeViaAt(i), false);
    for (int i = 0; i < recipe_.tracks; ++i) WriteFreeTrack(i);
    for (int i = 0; i < recipe_.arcs; ++i) WriteFreeArc(i);
    for (int i = 0; i < recipe_.fills; ++i) WriteFreeFill(i);
    for (int i = 0; i < recipe_.strings; ++i) WriteFreeString(i);
    for (int i = 0; i < recipe_.polygons + recipe_.split_planes; ++i) WritePolygon(i);
    for (int i = 0; i < recipe_.coordinates; ++i) WriteCoordinate();
    for (int i = 0; i < recipe_.dimensions; ++i) WriteDimension();
    if (!recipe_.nets_first) WriteNets();
    out_.Flush();
  }

 private:
  void WriteHeader() {
    static constexpr std::string_view kVersions[] = {"",     "1.10", "2.00", "2.10", "2.20", "2.30",
                                                     "2.40", "2.50", "2.60", "2.70", "2.80"};
    if (recipe_.level == 0) {
      out_.Line("PCB FILE 6");
      return;
    }
    out_.Text("PCB FILE 6 VERSION ");
    out_.Line(kVersions[recipe_.level]);
    for (int64_t count : Summarize(recipe_, plan_).header_counts) out_.Int(count);
    out_.EndLine();
  }

  // Net number for the i-th record of a kind (see LinkRecipe).
  int NetFor(int64_t i) {
    return Owner(LinkOf(i, recipe_.links.net_percent, recipe_.links.dangling_percent, recipe_.nets), recipe_.nets);
  }
  int Owner(Link link, int64_t owners) {
    if (link == Link::kNone) return 0;
    if (link == Link::kDangling) return static_cast<int>(owners + 1);
    return 1 + static_cast<int>(random_.Below(static_cast<uint32_t>(std::min(owners, kIndexTableSize))));
  }
  int OwnerFor(int64_t i, int percent, int64_t owners) {
    return Owner(LinkOf(i, percent, recipe_.links.dangling_percent, owners), owners);
  }

  // A point on the board on a 5 mil grid, `margin` mils from the edge where the board allows.
  int64_t GridX(int64_t margin = 100) { return OnGrid(plan_.width, margin); }
  int64_t GridY(int64_t margin = 100) { return OnGrid(plan_.height, margin); }
  int64_t OnGrid(int64_t extent, int64_t margin) {
    const int64_t mils = extent / kMil;
    margin = std::min(margin, mils / 2 - 5);
    return (margin + 5 * int64_t{random_.Below(static_cast<uint32_t>((mils - 2 * margin) / 5))}) * kMil;
  }
  int64_t Mils(int low, int high) { return int64_t{random_.Between(low, high)} * kMil; }

  int Tag() { return recipe_.level >= 9 && random_.Percent(5) ? 1 : 0; }

  // --- Pads -------------------------------------------------------------------------------

  // Fills the rule values of the next pad record from the BoardRecipe's lists or realistic defaults.
  void ApplyPadRules(PadRecord& pad) {
    const PadRules& rules = recipe_.pad_rules;
    const int64_t j = pad_ordinal_++;
    pad.solder_mask = rules.solder_mask.empty() ? 4000 : *Cycled(rules.solder_mask, j);
    pad.paste_mask = rules.paste_mask.empty() ? 0 : *Cycled(rules.paste_mask, j);
    pad.plane_clearance = rules.plane_clearance.empty() ? 20000 : *Cycled(rules.plane_clearance, j);
    static const PadConnect kRelief{2, 10000, 10000, 4};
    const PadConnect& connect = rules.connect.empty() ? kRelief : *Cycled(rules.connect, j);
    pad.connect_style = connect.style_code;
    pad.connect1 = connect.value1;
    pad.connect2 = connect.value2;
    pad.connect3 = connect.value3;
  }

  static void SetPadSize(PadRecord& pad, int64_t x_size, int64_t y_size, int shape) {
    for (int i = 0; i < 3; ++i) {
      pad.x_size[i] = x_size;
      pad.y_size[i] = y_size;
      pad.shape[i] = shape;
    }
  }

  void WriteFreePads() {
    for (int i = 0; i < recipe_.pads + recipe_.shape6_pads; ++i) {
      const bool shape6 = i >= recipe_.pads;
      PadRecord pad;
      pad.x = GridX();
      pad.y = GridY();
      const int64_t size = Mils(60, 90);
      SetPadSize(pad, size, size, shape6 ? 6 : random_.Between(1, 2));
      pad.hole = Mils(28, 40);
      pad.layer = kMultiLayer;
      pad.net = shape6 ? 0 : NetFor(i);
      pad.tag = Tag();
      ApplyPadRules(pad);
      // The importer renames free pads 1, 2, 3...; old tools wrote a test point name.
      const std::string name = "TP" + std::to_string(i + 1);
      pad.name = name;
      records_.Pad(pad, false);
    }
  }

  // --- Vias, tracks, arcs, fills, strings -------------------------------------------------

  ViaRecord FreeViaAt(int64_t i) {
    ViaRecord via;
    via.x = GridX();
    via.y = GridY();
    via.net = NetFor(i);
    return via;
  }

  void WriteVia(ViaRecord via, bool nested) {
    via.size = Mils(40, 50);
    via.hole = Mils(20, 28);
    const bool blind = random_.Percent(10);
    via.pair_code = blind ? random_.Between(1, 8) : 0;
    via.low_layer = kTopLayer;
    via.high_layer = blind ? random_.Between(2, 3) : kBottomLayer;
    via.tag = Tag();
    records_.Via(via, nested);
  }

  int SignalLayer() {
    const uint32_t roll = random_.Below(100);
    if (roll < 40) return kTopLayer;
    if (roll < 80) return kBottomLayer;
    if (roll < 90) return random_.Between(2, 3);
    if (roll < 95) return kTopOverlay;
    return kKeepOut;
  }

  void WriteFreeTrack(int64_t i) {
    TrackRecord t;
    t.x1 = GridX();
    t.y1 = GridY();
    // Routed in steps of 45 degrees, as the old autorouters did; a track that would leave the
    // board runs the other way.
    static constexpr int kDirections[][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    const auto& d = random_.Pick(kDirections);
    const int longest = static_cast<int>(std::min<int64_t>(1000, std::min(plan_.width, plan_.height) / kMil / 2 - 100));
    const int64_t length = Mils(20, longest);
    t.x2 = t.x1 + d[0] * length;
    t.y2 = t.y1 + d[1] * length;
    if (t.x2 < 100 * kMil || t.x2 > plan_.width - 100 * kMil) t.x2 = t.x1 - d[0] * length;
    if (t.y2 < 100 * kMil || t.y2 > plan_.height - 100 * kMil) t.y2 = t.y1 - d[1] * length;
    static constexpr int kWidths[] = {8, 10, 10, 12, 20, 25};
    t.width = random_.Pick(kWidths) * kMil;
    t.layer = SignalLayer();
    t.net = NetFor(i);
    if (recipe_.level >= 2) t.polygon = OwnerFor(i, recipe_.links.polygon_percent, polygon_records());
    if (recipe_.level >= 10) {
      t.coordinate = OwnerFor(i, recipe_.links.coordinate_percent, recipe_.coordinates);
      t.dimension = OwnerFor(i, recipe_.links.dimension_percent, recipe_.dimensions);
    }
    t.tag = Tag();
    records_.Track(t, false);
  }

  void WriteFreeArc(int64_t i) {
    ArcRecord a;
    a.cx = GridX(600);
    a.cy = GridY(600);
    a.radius = Mils(20, 500);
    if (random_.Percent(10)) {
      a.start_angle = a.end_angle = 0;  // a full circle
    } else {
      a.start_angle = 45.0 * random_.Below(8);
      a.end_angle = std::fmod(a.start_angle + 45.0 * random_.Between(1, 6), 360.0);
    }
    a.width = Mils(8, 12);
    a.layer = random_.Percent(20) ? kTopOverlay : random_.Percent(50) ? kTopLayer : kBottomLayer;
    a.net = NetFor(i);
    if (recipe_.level >= 2) a.polygon = OwnerFor(i, recipe_.links.polygon_percent, polygon_records());
    a.tag = Tag();
    records_.Arc(a, false);
  }

  void WriteFreeFill(int64_t i) {
    FillRecord f;
    f.x1 = GridX(400);
    f.y1 = GridY(400);
    f.x2 = f.x1 + Mils(50, 300);
    f.y2 = f.y1 + Mils(50, 300);
    f.layer = random_.Percent(50) ? kTopLayer : kBottomLayer;
    f.net = NetFor(i);
    if (recipe_.level >= 3) f.polygon = OwnerFor(i, recipe_.links.polygon_percent, polygon_records());
    f.tag = Tag();
    f.rotation = random_.Percent(20) ? 45.0 : 0.0;
    records_.Fill(f, false);
  }

  void WriteFreeString(int64_t i) {
    static constexpr std::string_view kTexts[] = {"REV A", "TOP", "BOTTOM",    "MADE IN 1994",   "PWR",
                                                  "GND",   "+",   "CPU BOARD", "JP1 OPEN = RUN", "DO NOT POPULATE"};
    StringRecord s;
    s.x = GridX(600);
    s.y = GridY();
    s.height = Mils(40, 100);
    s.width = 8 * kMil;
    s.rotation = random_.Percent(20) ? 90.0 : 0.0;
    const uint32_t roll = random_.Below(10);
    s.layer = roll < 6 ? kTopOverlay : roll < 9 ? kBottomOverlay : kMechanical1;
    s.mirrored = s.layer == kBottomOverlay ? 1 : 0;
    s.font = random_.Below(2);
    s.tag = Tag();
    if (recipe_.level >= 10) {
      s.coordinate = OwnerFor(i, recipe_.links.coordinate_percent, recipe_.coordinates);
      s.dimension = OwnerFor(i, recipe_.links.dimension_percent, recipe_.dimensions);
    }
    s.text = random_.Pick(kTexts);
    records_.String(s, false);
  }

  // --- Components -------------------------------------------------------------------------

  void WriteComponent(const ComponentPlan& p) {
    const ComponentRecipe& c = *p.recipe;
    const bool surface = p.surface;
    const int overlay = p.bottom ? kBottomOverlay : kTopOverlay;
    const int copper = p.bottom ? kBottomLayer : kTopLayer;
    // Pads in two rows (one row below four pads), 50 mil pitch for surface parts, 100 through hole.
    const int64_t pitch = (surface ? 50 : 100) * kMil;
    const int per_row = c.pads >= 4 ? (c.pads + 1) / 2 : std::max(c.pads, 1);
    const int64_t row_gap = (surface ? 200 : 300) * kMil;
    const int64_t half_w = (per_row * pitch) / 2 + 40 * kMil;
    const int64_t half_h = (c.pads >= 4 ? row_gap / 2 : 0) + 60 * kMil;

    ComponentHead head;
    head.pattern = p.pattern;
    head.x = p.x;
    head.y = p.y;
    head.name_shown = 1;
    head.comment_shown = p.comment_shown ? 1 : 0;
    head.rotation = random_.Percent(25) ? 90.0 : 0.0;
    head.layer = copper;
    StringRecord designator;
    designator.x = p.x - half_w;
    designator.y = p.y + half_h + 20 * kMil;
    designator.height = 60 * kMil;
    designator.width = 8 * kMil;
    designator.layer = p.designator_layer;
    designator.mirrored = p.designator_layer == kBottomOverlay ? 1 : 0;
    designator.text = p.designator;
    StringRecord comment = designator;
    comment.y = p.y - half_h - 80 * kMil;
    comment.layer = overlay;
    comment.mirrored = p.bottom ? 1 : 0;
    comment.text = p.comment;
    records_.ComponentStart(head, designator, comment);

    for (int k = 0; k < c.pads; ++k) {
      PadRecord pad;
      const int row = k < per_row ? 0 : 1;
      const int column = row == 0 ? k : c.pads - 1 - k;  // counted round the part, as pins are
      pad.x = p.x - half_w + 40 * kMil + column * pitch + pitch / 2;
      pad.y = p.y + (c.pads >= 4 ? (row == 0 ? -row_gap / 2 : row_gap / 2) : 0);
      if (surface) {
        SetPadSize(pad, 24 * kMil, 60 * kMil, 2);
        pad.layer = copper;
      } else {
        SetPadSize(pad, 60 * kMil, 60 * kMil, k == 0 ? 2 : 1);
        pad.hole = 32 * kMil;
        pad.layer = kMultiLayer;
      }
      pad.rotation = head.rotation;
      pad.net = NetFor(nested_pads_);
      pad.tag = Tag();
      ApplyPadRules(pad);
      const std::string name = std::to_string(k + 1);
      pad.name = name;
      if (pad.net > 0 && pad.net <= recipe_.nets && !members_.empty()) {
        auto& list = members_[static_cast<std::size_t>(pad.net - 1)];
        if (list.size() < kMembersPerNet) list.push_back(p.designator + "-" + name);
      }
      ++nested_pads_;
      records_.Pad(pad, true);
    }
    // Silkscreen outline: the four sides of the body, then further sides inset by 10 mil.
    for (int k = 0; k < c.tracks; ++k) {
      const int64_t inset = (k / 4) * 10 * kMil;
      const int64_t x1 = p.x - half_w + inset, x2 = p.x + half_w - inset;
      const int64_t y1 = p.y - half_h + inset, y2 = p.y + half_h - inset;
      TrackRecord t;
      static constexpr int kSides[4][4] = {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}};
      const int* side = kSides[k % 4];
      t.x1 = side[0] ? x2 : x1;
      t.y1 = side[1] ? y2 : y1;
      t.x2 = side[2] ? x2 : x1;
      t.y2 = side[3] ? y2 : y1;
      t.width = 10 * kMil;
      t.layer = overlay;
      records_.Track(t, true);
    }
    for (int k = 0; k < c.arcs; ++k) {  // the pin 1 mark, then notches
      ArcRecord a;
      a.cx = p.x - half_w + (k == 0 ? 20 : 40 + 20 * k) * kMil;
      a.cy = p.y - half_h + 20 * kMil;
      a.radius = 8 * kMil;
      a.start_angle = 0;
      a.end_angle = k == 0 ? 0.0 : 180.0;
      a.width = 8 * kMil;
      a.layer = overlay;
      records_.Arc(a, true);
    }
    for (int k = 0; k < c.vias; ++k) {
      ViaRecord via;
      via.x = p.x + half_w + 30 * kMil;
      via.y = p.y - half_h + k * 60 * kMil;
      via.net = NetFor(nested_vias_++);
      WriteVia(via, true);
    }
    for (int k = 0; k < c.fills; ++k) {  // exposed pads under the body
      FillRecord f;
      f.x1 = p.x - 40 * kMil + k * 10 * kMil;
      f.y1 = p.y - 40 * kMil;
      f.x2 = f.x1 + 80 * kMil;
      f.y2 = f.y1 + 80 * kMil;
      f.layer = copper;
      records_.Fill(f, true);
    }
    for (int k = 0; k < c.strings; ++k) {  // pin numbers on the silkscreen
      StringRecord s;
      s.x = p.x - half_w - 40 * kMil;
      s.y = p.y - half_h + k * 50 * kMil;
      s.height = 40 * kMil;
      s.width = 6 * kMil;
      s.layer = overlay;
      s.mirrored = p.bottom ? 1 : 0;
      const std::string text = std::to_string(k == 0 ? 1 : c.pads);
      s.text = text;
      records_.String(s, true);
    }
    records_.EndComponent();
  }

  // --- Polygons, split planes, coordinates, dimensions --------------------------------------

  int64_t polygon_records() const { return int64_t{recipe_.polygons} + recipe_.split_planes; }

  // The outline lies on a circle so that its arc edges follow the circle exactly.
  void WritePolygon(int index) {
    const bool split = index >= recipe_.polygons;
    const int n = recipe_.polygon_vertices;
    const int64_t radius = std::min(plan_.width, plan_.height) / (split ? 3 : 5);
    const int64_t cx =
        radius + 50 * kMil +
        random_.Below(static_cast<uint32_t>(std::max<int64_t>(1, plan_.width - 2 * radius - 100 * kMil)));
    const int64_t cy =
        radius + 50 * kMil +
        random_.Below(static_cast<uint32_t>(std::max<int64_t>(1, plan_.height - 2 * radius - 100 * kMil)));
    vertices_.assign(static_cast<std::size_t>(n) + 1, PolygonVertex{});
    for (int i = 0; i <= n; ++i) {
      const double degrees = 360.0 * (i % n) / n;
      const double radians = degrees * std::numbers::pi / 180.0;
      PolygonVertex& v = vertices_[static_cast<std::size_t>(i)];
      v.x = cx + std::llround(radius * std::cos(radians));
      v.y = cy + std::llround(radius * std::sin(radians));
      if (i < n && Picked(i, recipe_.arc_edge_percent)) {
        v.arc = true;
        v.cx = cx;
        v.cy = cy;
        v.radius = radius;
        v.start_angle = degrees;
        v.end_angle = 360.0 * (i + 1) / n;
      }
    }
    PolygonRecord pg;
    pg.layer = split ? kFirstPlane + (index - recipe_.polygons) % 4 : (random_.Percent(50) ? kTopLayer : kBottomLayer);
    pg.net = NetFor(index);
    pg.number = index + 1;
    pg.flags[1] = random_.Percent(30);
    pg.grid = 20 * kMil;
    pg.track = 12 * kMil;
    pg.min_length = 3 * kMil;
    pg.vertices = vertices_;
    records_.Polygon(pg);
  }

  void WriteCoordinate() {
    CoordinateRecord r;
    r.x = GridX();
    r.y = GridY();
    r.layer = kMechanical1;
    // Marker size, text height, line width, text width and unit style as the old tools kept them.
    const int32_t values[5] = {100000, 60000, 10000, 8000, 0};
    std::copy(std::begin(values), std::end(values), r.values);
    r.style = random_.Below(2);
    records_.Coordinate(r);
  }

  void WriteDimension() {
    DimensionRecord r;
    const int64_t half = plan_.width / 2;
    r.x1 = OnGrid(half, 100);
    r.y1 = GridY(200);
    r.x2 = r.x1 + Mils(100, static_cast<int>(std::min<int64_t>(1000, half / kMil - 100)));
    r.y2 = r.y1;
    r.layer = kMechanical1;
    const int32_t values[5] = {60000, 10000, 8000, 1, 0};
    std::copy(std::begin(values), std::end(values), r.values);
    r.style = random_.Below(2);
    records_.Dimension(r);
  }

  // --- Nets -------------------------------------------------------------------------------

  void WriteNets() {
    const NetRules& rules = recipe_.net_rules;
    std::vector<std::string_view> member_views;
    for (int i = 0; i < recipe_.nets; ++i) {
      const std::string name = NetName(i + 1);
      NetRecord net;
      net.name = name;
      net.width = rules.width.empty() ? 10000 : *Cycled(rules.width, i);
      net.via_size = rules.via_size.empty() ? 50000 : *Cycled(rules.via_size, i);
      net.topology = rules.topology.empty() ? 0 : *Cycled(rules.topology, i);
      net.priority = rules.priority.empty() ? 0 : *Cycled(rules.priority, i);
      net.attribute = rules.attribute.empty() ? 0 : *Cycled(rules.attribute, i);
      // Ground and supply feed the first two internal planes unless the BoardRecipe says otherwise.
      net.plane_layer = rules.plane_layer.empty() ? (i < 2 ? kFirstPlane + i : 0) : *Cycled(rules.plane_layer, i);
      member_views.clear();
      if (!members_.empty()) {
        for (const std::string& m : members_[static_cast<std::size_t>(i)]) member_views.push_back(m);
      }
      net.members = member_views;
      records_.NetDef(net);
    }
  }

  const BoardRecipe& recipe_;
  const BoardPlan& plan_;
  LineWriter& out_;
  RecordWriter records_;
  Random random_;
  int64_t pad_ordinal_ = 0;
  int64_t nested_pads_ = 0;
  int64_t nested_vias_ = 0;
  std::vector<std::vector<std::string>> members_;
  std::vector<PolygonVertex> vertices_;
};

}  // namespace

void WriteBoard(const BoardRecipe& recipe, const BoardPlan& plan, LineWriter& out) { Generator(recipe, plan, out).Run(); }

}  // namespace boardgen
