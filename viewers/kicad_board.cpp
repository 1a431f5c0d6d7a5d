// The board writer's index of the document, the file's head (layers, setup) and its nets, and
// the order in which everything else is written.
#include "viewers/kicad_board.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <optional>

namespace kicad {
namespace {

using view::Object;

std::uint8_t ByteLayer(std::int32_t value) {
  return value >= 0 && value <= kLastHostLayer ? static_cast<std::uint8_t>(value) : kNoLayer;
}

// An angle in [0, 360), 0 for what would be written as 360.
double Normalised(double degrees) {
  if (!std::isfinite(degrees)) return 0;
  double angle = std::fmod(degrees, 360.0);
  if (angle < 0) angle += 360.0;
  return std::round(angle * 1e4) >= 360.0 * 1e4 ? 0.0 : angle;
}

}  // namespace

void Placement::AppendXY(std::string& out, Point host) const {
  double x = host.x, y = -host.y;
  if (!in_footprint) {
    x += shift.x;
    y += shift.y;
  } else {
    const double r = degrees * std::numbers::pi / 180.0, c = std::cos(r), s = std::sin(r);
    const double dx = x - origin.x, dy = y - origin.y;
    // KiCad places a footprint item at origin + R(degrees) * local, R turning counter-clockwise
    // on the screen (Y down): the inverse turn gives the local position.
    x = dx * c - dy * s;
    y = flip ? -(dx * s + dy * c) : dx * s + dy * c;
  }
  AppendMm(out, x);
  out += ' ';
  AppendMm(out, y);
}

std::string Placement::XY(Point host) const {
  std::string text;
  AppendXY(text, host);
  return text;
}

double Placement::PadDegrees(double board) const {
  if (!library) return board;
  return Normalised(flip ? degrees - board : board - degrees);
}

double Placement::TextDegrees(double board) const {
  if (!library) return board;
  return Normalised(flip ? 180.0 + degrees - board : board - degrees);
}

std::string_view BoardWriter::Side(std::string_view layer, const Placement& at) const {
  return at.flip ? layers_->Flipped(layer) : layer;
}

std::string PadKey(const std::string& designator, const std::string& pad_name) {
  return (designator.empty() ? std::string("Free") : designator) + "-" + pad_name;
}

Sheet SheetFor(bool empty, Point min, Point max) {
  struct Paper {
    const char* name;
    double long_mm, short_mm;
  };
  constexpr Paper kPapers[] = {{"A4", 297, 210}, {"A3", 420, 297}, {"A2", 594, 420}, {"A1", 841, 594}, {"A0", 1189, 841}};
  // Clear of the drawing sheet's frame and title block.
  constexpr double kMarginMm = 20;
  // KiCad keeps a user sheet's size in whole mils, and takes none larger than 1200 mm a side:
  // a user sheet is made of whole 100 mils (2.54 mm).
  constexpr double kLargestMm = 1200, kUserStepMm = 2.54;
  constexpr double kHostPerMil = 10000;
  if (empty) min = max = Point{};
  const double width = (max.x - min.x) * kMmPerHostUnit + 2 * kMarginMm;
  const double height = (max.y - min.y) * kMmPerHostUnit + 2 * kMarginMm;
  const bool portrait = height > width;
  Sheet sheet;
  double sheet_width = 0, sheet_height = 0;
  for (const Paper& paper : kPapers) {
    sheet_width = portrait ? paper.short_mm : paper.long_mm;
    sheet_height = portrait ? paper.long_mm : paper.short_mm;
    if (width <= sheet_width && height <= sheet_height) {
      sheet.paper = "\"" + std::string(paper.name) + "\"" + (portrait ? " portrait" : "");
      sheet.name = std::string(paper.name) + (portrait ? " portrait" : "");
      break;
    }
  }
  if (sheet.paper.empty()) {
    const auto user = [&](double mm) { return std::min(kLargestMm, std::ceil(mm / kUserStepMm) * kUserStepMm); };
    sheet_width = user(width);
    sheet_height = user(height);
    sheet.paper = "\"User\" " + Decimal(sheet_width, 4) + " " + Decimal(sheet_height, 4);
    sheet.name = Decimal(sheet_width, 4) + " x " + Decimal(sheet_height, 4) + " mm";
  }
  // The extent's centre at the sheet's centre, in whole mils so that coordinates read from the
  // host's origin stay the round numbers they were. KiCad's Y points down.
  const double centre_x = (min.x + max.x) / 2, centre_y = -(min.y + max.y) / 2;
  sheet.origin = {std::round((sheet_width / 2 * kHostUnitsPerMm - centre_x) / kHostPerMil) * kHostPerMil,
                  std::round((sheet_height / 2 * kHostUnitsPerMm - centre_y) / kHostPerMil) * kHostPerMil};
  return sheet;
}

Placement BoardWriter::OnBoard() const {
  Placement board;
  board.shift = sheet_.origin;
  return board;
}

Placement BoardWriter::InFootprint(Point origin, double degrees) const {
  Placement at;
  at.in_footprint = true;
  at.origin = origin;
  at.degrees = degrees;
  at.shift = sheet_.origin;
  return at;
}

BoardWriter::BoardWriter(view::ObjectSource& source) : source_(source) {}

BoardWriter::BoardWriter(const view::BoardView& view)
    : held_(std::make_unique<view::HeldObjects>(view)), source_(*held_) {}

bool BoardWriter::Open(std::span<const std::uint32_t> numbers) { return source_.Open(numbers, window_, read_error_); }

std::uint32_t BoardWriter::NumberOf(std::uint32_t handle) const {
  if (by_handle_.empty()) {  // handles rise with the numbers: each is its own
    // Rising handles lie at most their distance from the first one ahead of where they are:
    // where none was skipped, exactly there.
    if (handles_.empty() || handle < handles_.front()) return kNone;
    const std::size_t ahead = std::min<std::size_t>(handle - handles_.front(), handles_.size() - 1);
    if (handles_[ahead] == handle) return static_cast<std::uint32_t>(ahead);
    const auto end = handles_.begin() + static_cast<std::ptrdiff_t>(ahead);
    const auto found = std::lower_bound(handles_.begin(), end, handle);
    return found == end || *found != handle ? kNone : static_cast<std::uint32_t>(found - handles_.begin());
  }
  // The last of equal handles, as a document read in order would leave it.
  const auto after = std::upper_bound(by_handle_.begin(), by_handle_.end(), handle,
                                      [&](std::uint32_t wanted, std::uint32_t n) { return wanted < handles_[n]; });
  return after == by_handle_.begin() || handles_[*(after - 1)] != handle ? kNone : *(after - 1);
}

std::span<const std::uint32_t> BoardWriter::ContainersOf(std::uint32_t number) const {
  return {containers_.data() + container_first_[number], containers_.data() + container_first_[number + 1]};
}

std::uint8_t BoardWriter::LayerOf(const view::Object& object) const { return ByteLayer(object.layer); }

int BoardWriter::NetOf(const view::Object& object) const {
  // The last net of the handle, as a document read in order would leave it.
  const auto after = std::upper_bound(net_codes_.begin(), net_codes_.end(), object.net,
                                      [](std::uint32_t handle, const auto& net) { return handle < net.first; });
  return after == net_codes_.begin() || (after - 1)->first != object.net ? 0 : (after - 1)->second;
}

bool BoardWriter::IsPour(std::span<const std::uint32_t> containers, std::uint8_t layer) const {
  for (const std::uint32_t container : containers) {
    const std::uint32_t owner = NumberOf(container);
    if (owner == kNone) continue;
    const std::int64_t kind = kinds_[owner];
    if ((kind == KindCode(ObjectKind::kPolygon) || kind == KindCode(ObjectKind::kSplitPlane)) && layers_of_[owner] == layer) {
      return true;
    }
  }
  return false;
}

bool BoardWriter::IsPour(const view::Object& object) const {
  return IsPour({window_.view->ContainersOf(object), object.container_count}, LayerOf(object));
}

// One pass over the objects keeps what the writing needs of each; the members of components
// are then found from the containers kept.
bool BoardWriter::Index() {
  const std::uint32_t count = source_.Count();
  handles_.resize(count);
  kinds_.resize(count);
  layers_of_.resize(count);
  container_first_.assign(1, 0);
  container_first_.reserve(std::size_t{count} + 1);
  containers_.reserve(source_.ContainerCount());
  std::unordered_set<std::string> taken;
  net_names_.push_back("");
  taken.insert("");
  for (std::uint32_t number = 0; number < count; ++number) {
    if (source_.KindOf(number) == KindCode(ObjectKind::kRule)) {
      // The rules' settings come from their own reading: a rule needs only its place here.
      kinds_[number] = KindCode(ObjectKind::kRule);
      handles_[number] = source_.HandleAndContainers(number, containers_);
      container_first_.push_back(static_cast<std::uint32_t>(containers_.size()));
      continue;
    }
    if (!Open({&number, 1})) return false;
    const Object& object = *window_.objects.front();
    handles_[number] = object.handle;
    kinds_[number] = object.kind;
    layers_of_[number] = LayerOf(object);
    // Containers that are no object (the board) decide nothing: they are not kept.
    const std::uint32_t* containers = window_.view->ContainersOf(object);
    std::copy_if(containers, containers + object.container_count, std::back_inserter(containers_),
                 [&](std::uint32_t container) { return source_.MayBeObject(container); });
    container_first_.push_back(static_cast<std::uint32_t>(containers_.size()));
    const std::int64_t kind = object.kind;
    if (kind == KindCode(ObjectKind::kNet)) {
      // KiCad knows a net by its name: an empty or repeated name gets a suffix so that every
      // net of the host stays a net of its own.
      const std::string name = std::string(window_.view->String(object.text));
      std::string unique = name.empty() ? "Net" : name;
      for (int n = 2; taken.count(unique) != 0; ++n) unique = (name.empty() ? "Net" : name) + "_" + std::to_string(n);
      taken.insert(unique);
      net_codes_.emplace_back(object.handle, static_cast<int>(net_names_.size()));
      net_names_.push_back(unique);
    } else if (kind == KindCode(ObjectKind::kComponent)) {
      component_texts_.push_back(object.name_text);
      component_texts_.push_back(object.comment_text);
    }
    // The layers things lie on decide which inner copper layers exist.
    if (kind == KindCode(ObjectKind::kVia)) {
      used_.set(ByteLayer(object.low_layer));
      used_.set(ByteLayer(object.high_layer));
    } else if (kind != KindCode(ObjectKind::kNet) && kind != KindCode(ObjectKind::kRule) && kind != KindCode(ObjectKind::kComponent)) {
      used_.set(LayerOf(object));
    }
    IncludeExtent(object);
  }
  std::stable_sort(net_codes_.begin(), net_codes_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  if (std::adjacent_find(handles_.begin(), handles_.end(), std::greater_equal<>()) != handles_.end()) {
    by_handle_.resize(count);
    for (std::uint32_t n = 0; n < count; ++n) by_handle_[n] = n;
    std::stable_sort(by_handle_.begin(), by_handle_.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return handles_[a] < handles_[b]; });
  }
  std::sort(component_texts_.begin(), component_texts_.end());
  component_texts_.erase(std::unique(component_texts_.begin(), component_texts_.end()), component_texts_.end());
  if (!component_texts_.empty() && component_texts_.front() == 0) component_texts_.erase(component_texts_.begin());
  IndexMembers();
  // An internal plane whose net is a net of the board is copper even with nothing on it.
  std::array<std::string, kLastHostLayer + 1> names{};
  const auto& layers = source_.Layers();
  for (std::uint8_t number = 1; number <= kLastHostLayer; ++number) {
    names[number] = layers[number].name;
    if (!IsPlane(number)) continue;
    const std::string& net = layers[number].plane_net_name;
    if (std::find(net_names_.begin() + 1, net_names_.end(), net) == net_names_.end()) continue;
    plane_nets_[number] = net;
    used_.set(number);
  }
  layers_ = std::make_unique<LayerTable>(used_, names);
  sheet_ = SheetFor(extent_empty_, min_, max_);
  return true;
}

// An object whose first component container is a component is written in its footprint; a
// coordinate or dimension met before that has something drawing it.
void BoardWriter::IndexMembers() {
  const auto count = static_cast<std::uint32_t>(handles_.size());
  owned_.assign(count, false);
  // The first component among an object's containers, or none.
  const auto component_of = [&](std::uint32_t member) -> std::optional<std::uint32_t> {
    for (const std::uint32_t container : ContainersOf(member)) {
      const std::uint32_t owner = NumberOf(container);
      if (owner != kNone && kinds_[owner] == KindCode(ObjectKind::kComponent)) return container;
    }
    return std::nullopt;
  };
  std::size_t members = 0;
  for (std::uint32_t member = 0; member < count; ++member) members += component_of(member).has_value();
  members_.reserve(members);
  for (std::uint32_t member = 0; member < count; ++member) {
    for (const std::uint32_t container : ContainersOf(member)) {
      const std::uint32_t owner = NumberOf(container);
      if (owner == kNone) continue;
      const std::int64_t kind = kinds_[owner];
      if (kind == KindCode(ObjectKind::kComponent)) {
        members_.emplace_back(container, member);
        owned_[member] = true;
        break;
      }
      if (kind == KindCode(ObjectKind::kCoordinate) || kind == KindCode(ObjectKind::kDimension)) drawn_markers_.insert(container);
    }
  }
  // By component, each component's members in the document's order (the pairs were made in
  // that order, so sorting whole pairs keeps it).
  std::sort(members_.begin(), members_.end());
}

void BoardWriter::WriteHeader(std::string& out) const {
  out += "(kicad_pcb (version 20211014) (generator viderave)\n";
  out += "  (general (thickness 1.6))\n";
  out += "  (paper " + sheet_.paper + ")\n";
  out += "  (layers\n";
  for (const KicadLayer& layer : layers_->Layers()) {
    out += "    (" + std::to_string(layer.id) + " " + Quoted(layer.name) + " " + std::string(layer.type);
    if (!layer.user_name.empty()) out += " " + Quoted(layer.user_name);
    out += ")\n";
  }
  out += "  )\n";
  out += "  (setup\n";
  out += "    (pad_to_mask_clearance " + Mm(rules_.solder_mask.value_or(0)) + ")\n";
  if (rules_.paste_mask) out += "    (pad_to_paste_clearance " + Mm(*rules_.paste_mask) + ")\n";
  // Drill and placement files, and coordinates read from these origins, count from the host's
  // origin as the old board's did.
  const std::string origin = Mm(sheet_.origin.x) + " " + Mm(sheet_.origin.y);
  out += "    (aux_axis_origin " + origin + ")\n";
  out += "    (grid_origin " + origin + ")\n";
  out += "  )\n";
}

void BoardWriter::WriteNets(std::string& out) {
  for (std::size_t code = 0; code < net_names_.size(); ++code) {
    out += "  (net " + std::to_string(code) + " " + Quoted(net_names_[code]) + ")\n";
  }
  counts_.nets = static_cast<std::int64_t>(net_names_.size()) - 1;
}

std::string BoardWriter::Write(ExportCounts& counts) {
  std::string out;
  if (!Emit(out, {})) out.clear();
  counts = counts_;
  return out;
}

bool BoardWriter::Write(std::FILE* file, ExportCounts& counts) {
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  bool written = true;
  auto put = [&](std::string& text) {
    written = written && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    text.clear();
  };
  std::string out;
  const bool read = Emit(out, [&](std::string& text) {
    if (text.size() >= kBlock) put(text);
  });
  put(out);
  counts = counts_;
  return read && written;
}

bool BoardWriter::Emit(std::string& out, const Spill& spill) {
  counts_ = {};
  if (!Index()) return false;
  if (!(settings_ ? settings_(rules_, read_error_) : TranslateRules(source_, rules_, read_error_))) return false;
  counts_.sheet = sheet_.name;
  counts_.origin = sheet_.origin;
  WriteHeader(out);
  WriteNets(out);
  // A component's own primitives are written inside its footprint; a pad outside every
  // component gets a footprint of its own.
  const auto count = static_cast<std::uint32_t>(handles_.size());
  for (std::uint32_t number = 0; number < count; ++number) {
    const std::int64_t kind = kinds_[number];
    if (kind == KindCode(ObjectKind::kComponent) && !WriteComponent(out, number)) return false;
    if (kind == KindCode(ObjectKind::kPad) && !owned_[number]) {
      if (!Open({&number, 1})) return false;
      WriteFreePad(out, *window_.objects.front());
    }
    if (spill) spill(out);
  }
  const Placement board = OnBoard();
  for (std::uint32_t number = 0; number < count; ++number) {
    const std::int64_t kind = kinds_[number];
    if (spill) spill(out);
    if (kind != KindCode(ObjectKind::kVia) && owned_[number]) continue;
    switch (kind) {
      case KindCode(ObjectKind::kVia):
      case KindCode(ObjectKind::kTrack):
      case KindCode(ObjectKind::kArc):
      case KindCode(ObjectKind::kPolygon):
      case KindCode(ObjectKind::kSplitPlane): break;
      case KindCode(ObjectKind::kText):
        if (std::binary_search(component_texts_.begin(), component_texts_.end(), handles_[number])) continue;
        break;
      case KindCode(ObjectKind::kFill):
        if (IsPour(ContainersOf(number), layers_of_[number])) {
          ++counts_.pour_primitives;
          continue;
        }
        break;
      case KindCode(ObjectKind::kCoordinate):
      case KindCode(ObjectKind::kDimension):
        if (drawn_markers_.count(handles_[number]) != 0) continue;
        break;
      default: continue;
    }
    if (!Open({&number, 1})) return false;
    const Object& object = *window_.objects.front();
    switch (kind) {
      case KindCode(ObjectKind::kVia): WriteVia(out, object); break;
      case KindCode(ObjectKind::kTrack): WriteTrack(out, object, board); break;
      case KindCode(ObjectKind::kArc): WriteArc(out, object, board); break;
      case KindCode(ObjectKind::kText): WriteText(out, object, board); break;
      case KindCode(ObjectKind::kFill):
        if (layers_->IsCopper(LayerOf(object))) {
          WriteFillZone(out, object);
        } else {
          WriteFillGraphic(out, object, board);
        }
        break;
      case KindCode(ObjectKind::kPolygon):
      case KindCode(ObjectKind::kSplitPlane): WriteOutlineZone(out, object); break;
      default: WriteMarker(out, object); break;
    }
  }
  WritePlaneZones(out);
  out += ")\n";
  return true;
}

}  // namespace kicad
