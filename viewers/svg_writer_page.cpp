// Writes the board picture: the page (size, view box, styles), then the layers bottom first,
// each holding its shapes in the order they came, a component's shapes gathered in one group.
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "host/api/board.h"
#include "viewers/svg_writer.h"
#include "viewers/svg_writer_format.h"
#include "viewers/svg_writer_layers.h"
#include "viewers/svg_writer_shapes.h"

namespace svg {
namespace {

constexpr double kMil = 10000.0;
constexpr double kPictureSide = 1600;       // pixels of the picture's longer side
constexpr double kEmptySide = 1000 * kMil;  // the page of a board with nothing to draw
constexpr double kMarginShare = 0.05;
constexpr double kLeastMargin = 10 * kMil;

constexpr std::string_view kStyle =
    ".background{fill:#101418}\n"
    ".t{fill:none;stroke-linecap:round;stroke-linejoin:round}\n"
    ".s{stroke:none}\n"
    ".o{fill-opacity:0.3;stroke-width:1px;vector-effect:non-scaling-stroke;stroke-linejoin:round}\n"
    ".x{stroke:none;font-family:sans-serif}\n"
    ".hidden{display:none}\n"
    ".component:hover,.component.lit{filter:brightness(1.8)}\n";

// Lights every part of the component under the pointer, on all its layers.
constexpr std::string_view kScript =
    "<script><![CDATA[\n"
    "document.addEventListener('mouseover',function(e){\n"
    "  document.querySelectorAll('.lit').forEach(function(n){n.classList.remove('lit');});\n"
    "  var g=e.target.closest?e.target.closest('.component'):null;\n"
    "  if(g)document.querySelectorAll('.c'+g.getAttribute('data-component')).forEach(function(n){n.classList.add('lit');});\n"
    "});\n"
    "]]></script>\n";

struct Entry {
  std::uint64_t key;        // stack rank, then group: the first shape of the group, or the shape itself
  std::uint32_t index;      // of the shape
  std::uint32_t component;  // handle of the component the shape is drawn in, or 0
};

void AppendNumberAttribute(std::string& out, const char* name, double value) {
  out += ' ';
  out += name;
  out += "=\"";
  AppendUnsigned(out, static_cast<std::uint64_t>(std::max(1.0, std::round(value))));
  out += '"';
}

}  // namespace

// Collects the picture's text and hands it to a file, or keeps it whole for ToString.
class SvgWriter::Sink {
 public:
  explicit Sink(std::FILE* file) : file_(file) {}
  std::string text;
  void Spill() {
    if (file_ != nullptr && text.size() >= kChunk) Flush();
  }
  bool Flush() {
    if (file_ == nullptr) return true;
    ok_ = ok_ && std::fwrite(text.data(), 1, text.size(), file_) == text.size();
    text.clear();
    return ok_;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  std::FILE* file_;
  bool ok_ = true;
};

std::string SvgWriter::ToString() const {
  Sink sink(nullptr);
  WriteTo(sink);
  return std::move(sink.text);
}

bool SvgWriter::Write(std::FILE* out) const {
  Sink sink(out);
  WriteTo(sink);
  return sink.Flush() && std::fflush(out) == 0;
}

void SvgWriter::WriteTo(Sink& sink) const {
  std::unordered_map<std::uint32_t, std::uint32_t> component_at;
  for (std::uint32_t i = 0; i < components_.size(); ++i) component_at.emplace(components_[i].handle, i);
  // Designator and comment texts: whether shown, and the shape holding each component's title.
  std::unordered_map<std::uint32_t, bool> hidden_text;
  std::unordered_map<std::uint32_t, std::uint32_t> title_shape;
  constexpr std::uint32_t kNone = UINT32_MAX;
  for (const ComponentInfo& c : components_) {
    if (!c.name_shown) hidden_text[c.name_text] = true;
    if (!c.comment_shown) hidden_text[c.comment_text] = true;
    title_shape.emplace(c.name_text, kNone);
  }
  const std::string_view pool = text_pool_;
  auto text_of = [&](const Shape& s) {
    return s.kind == ShapeKind::kText ? pool.substr(static_cast<std::uint32_t>(s.v[4]), static_cast<std::uint32_t>(s.v[5]))
                                      : std::string_view();
  };
  auto hidden = [&](const Shape& s) {
    return s.kind == ShapeKind::kText && (s.flags & kSecondary) == 0 && hidden_text.contains(s.handle);
  };

  std::vector<Entry> order;
  order.reserve(shapes_.size());
  std::unordered_map<std::uint64_t, std::uint32_t> group_start;
  for (std::uint32_t i = 0; i < shapes_.size(); ++i) {
    const Shape& s = shapes_[i];
    if (s.kind == ShapeKind::kText) {
      const auto title = title_shape.find(s.handle);
      if (title != title_shape.end() && title->second == kNone) title->second = i;
    }
    const std::uint64_t rank = StackRank(s.layer);
    if (rank == 0) continue;
    std::uint32_t group = i, component = 0;
    if (s.owner != 0 && component_at.contains(s.owner)) {
      component = s.owner;
      group = group_start.emplace(rank << 32 | s.owner, i).first->second;
    }
    order.push_back({rank << 32 | group, i, component});
  }
  group_start = {};
  std::sort(order.begin(), order.end(),
            [](const Entry& l, const Entry& r) { return l.key != r.key ? l.key < r.key : l.index < r.index; });

  Bounds bounds;
  for (const Entry& e : order) {
    const Shape& s = shapes_[e.index];
    if (!hidden(s)) bounds.Include(ShapeBounds(s, points_, text_of(s)));
  }
  if (bounds.empty) {
    bounds.Include(0, 0);
    bounds.Include(kEmptySide, kEmptySide);
  }
  const double margin = std::max(kLeastMargin, kMarginShare * std::max(bounds.max_x - bounds.min_x, bounds.max_y - bounds.min_y));
  const double left = bounds.min_x - margin, top = bounds.max_y + margin;
  const double width = bounds.max_x - bounds.min_x + 2 * margin, height = bounds.max_y - bounds.min_y + 2 * margin;
  const double scale = kPictureSide / std::max(width, height);

  std::string& out = sink.text;
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\"";
  AppendNumberAttribute(out, "width", width * scale);
  AppendNumberAttribute(out, "height", height * scale);
  out += " viewBox=\"";
  AppendMils(out, left);
  out += ' ';
  AppendFlippedMils(out, top);
  out += ' ';
  AppendMils(out, width);
  out += ' ';
  AppendMils(out, height);
  out += "\" data-units=\"mil\">\n";
  if (!title_.empty()) {
    out += "<title>";
    AppendEscaped(out, title_);
    out += "</title>\n";
  }
  out += "<style>\n";
  out += kStyle;
  std::uint16_t last_rank = 0;
  for (const Entry& e : order) {
    const std::uint8_t layer = shapes_[e.index].layer;
    if (StackRank(layer) == last_rank) continue;
    last_rank = StackRank(layer);
    const LayerLook look = LookOf(layer);
    out += '#';
    out += api::LayerName(layer);
    out += "{fill:";
    out += look.colour;
    out += ";stroke:";
    out += look.colour;
    if (look.opacity < 1.0) {
      out += ";opacity:";
      AppendScaled(out, Whole(look.opacity * 10000));
    }
    out += "}\n";
  }
  out += "</style>\n<rect class=\"background\"";
  out += " x=\"";
  AppendMils(out, left);
  out += "\" y=\"";
  AppendFlippedMils(out, top);
  out += "\" width=\"";
  AppendMils(out, width);
  out += "\" height=\"";
  AppendMils(out, height);
  out += "\"/>\n";

  std::uint16_t rank = 0;
  std::uint64_t group = UINT64_MAX;
  bool in_component = false;
  for (const Entry& e : order) {
    const Shape& s = shapes_[e.index];
    const bool new_layer = StackRank(s.layer) != rank;
    const bool new_group = new_layer || e.key != group;
    if (in_component && new_group) out += "</g>\n";
    if (new_layer) {
      if (rank != 0) out += "</g>\n";
      rank = StackRank(s.layer);
      out += "<g id=\"";
      out += api::LayerName(s.layer);
      out += "\" class=\"layer\" data-layer=\"";
      AppendUnsigned(out, s.layer);
      out += "\">\n";
    }
    if (e.component != 0 && (new_group || !in_component)) {
      out += "<g class=\"component c";
      AppendUnsigned(out, e.component);
      out += "\" data-component=\"";
      AppendUnsigned(out, e.component);
      out += "\"><title>";
      const std::uint32_t title = title_shape[components_[component_at[e.component]].name_text];
      if (title != kNone) {
        AppendEscaped(out, text_of(shapes_[title]));
      } else {
        out += "component ";
        AppendUnsigned(out, e.component);
      }
      out += "</title>\n";
    }
    in_component = e.component != 0;
    group = e.key;
    AppendShape(out, s, points_, text_of(s), hidden(s));
    out += '\n';
    sink.Spill();
  }
  if (in_component) out += "</g>\n";
  if (rank != 0) out += "</g>\n";
  out += kScript;
  out += "</svg>\n";
}

}  // namespace svg
