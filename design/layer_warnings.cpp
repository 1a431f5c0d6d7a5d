// The component layer warnings collector: entries per category while the file is read, then the
// report beside the board file and the message that points the user to it.
#include "design/layer_warnings.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "host/client_calls.h"
#include "host/object_access.h"
#include "host/pcb_objects.h"
#include "host/system_services.h"

namespace {

constexpr std::size_t kMaxLine = 255;
// The host stream takes at most this much in one write.
constexpr std::int32_t kWritePiece = 61440;
constexpr std::size_t kRuleWidth = 73;

constexpr std::array<std::string_view, 11> kFormatDescriptions{
    "Quorix PCB Ascii Version 1.00", "Quorix PCB Ascii Version 1.10", "Quorix PCB Ascii Version 2.00",
    "Quorix PCB Ascii Version 2.10", "Quorix PCB Ascii Version 2.20", "Quorix PCB Ascii Version 2.30",
    "Quorix PCB Ascii Version 2.40", "Quorix PCB Ascii Version 2.50", "Quorix PCB Ascii Version 2.60",
    "Quorix PCB Ascii Version 2.70", "Quorix PCB Ascii Version 2.80",
};

std::string_view FormatDescription(std::int32_t format_level) {
  const std::int32_t level = std::clamp<std::int32_t>(format_level, 0, 10);
  return kFormatDescriptions[static_cast<std::size_t>(level)];
}

std::string Cut(std::string text) {
  if (text.size() > kMaxLine) text.resize(kMaxLine);
  return text;
}

// The file name part of a path, through the host; empty when the host lacks the function.
std::string WholeFileName(std::string_view path) {
  const ShortString<255> counted_path(path);
  std::array<std::uint8_t, api::kCountedBufferSize> result{};
  host::ClientAPI_ExtractWholeFileNameFromPath(counted_path.Raw(), result.data());
  return std::string(CountedView(result.data()));
}

std::string ForceExtension(std::string_view path, std::string_view extension) {
  const ShortString<255> counted_path(path);
  const ShortString<255> counted_extension(extension);
  std::array<std::uint8_t, api::kCountedBufferSize> result{};
  host::ClientAPI_ForceFileNameExtension(counted_path.Raw(), counted_extension.Raw(), result.data());
  return std::string(CountedView(result.data()));
}

// Whether a name the host made by forcing the extension "rpt" on the board's name is a report's
// own. A board name too long to take the extension comes back cut to 255 characters, naming
// another file (for a board name of 255 characters without an extension, the board file itself),
// and a board named *.rpt gets its own name back (on Windows whatever the case): writing there
// would destroy that file, so no report is written then.
bool IsReportNameFor(std::string_view report, std::string_view board) {
  constexpr std::string_view kExtension = ".rpt";
  if (report.size() < kExtension.size() || report.substr(report.size() - kExtension.size()) != kExtension) {
    return false;
  }
  if (report.size() != board.size()) return true;
  for (std::size_t i = 0; i < report.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(report[i]) != lower(board[i])) return true;
  }
  return false;
}

// The user's locale, or the classic one when it cannot be had. Made once per process: making it
// opens and maps the system's locale files, which cost more than the rest of a small import's
// report.
const std::locale& UserLocale() {
  static const std::locale user = [] {
    try {
      return std::locale("");
    } catch (const std::runtime_error&) {
      return std::locale::classic();
    }
  }();
  return user;
}

// The current local date or time in the user's format ("%x" short date, "%X" long time).
std::string Now(const char* format) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) return {};
  std::ostringstream text;
  text.imbue(UserLocale());
  text << std::put_time(local, format);
  return text.str();
}

struct Section {
  TComponentLayerWarnings::Category category;
  std::array<std::string_view, 4> heading;  // "%D" stands for the format description
};

const std::array<Section, 5> kSections{{
    {TComponentLayerWarnings::Category::kTopByDesignator,
     {"Top Layer Components", "These components have a valid top layer attribute in the", "%D file"}},
    {TComponentLayerWarnings::Category::kBottomByDesignator,
     {"Bottom Layer Components", "These components have a valid bottom layer attribute in the ", "%D file"}},
    {TComponentLayerWarnings::Category::kTopByPrimitives,
     {"Top Layer Components With Warnings", "These components do not have a valid layer in the %D file,",
      "but were assumed to be top layer because of their footprint primitives."}},
    {TComponentLayerWarnings::Category::kBottomByPrimitives,
     {"Bottom Layer Components With Warnings", "These components do not have a valid layer in the %D file,",
      "but were assumed to be bottom layer because of their footprint primitives."}},
    {TComponentLayerWarnings::Category::kUndefined,
     {"Components With Undefined Layer", "For these components, it was not possible to determine the layer",
      "from either the %D file or the footprint primitives.", "They have been imported onto the top layer."}},
}};

std::string FillIn(std::string_view pattern, std::string_view description) {
  std::string text(pattern);
  if (const std::size_t at = text.find("%D"); at != std::string::npos) text.replace(at, 2, description);
  return text;
}

}  // namespace

void TComponentLayerWarnings::Add(Category category, const TPcbComponent& component) {
  std::string entry(GetText(component.NameText).View());
  entry += " (";
  entry += component.Pattern.View();
  entry += ", ";
  entry += GetText(component.CommentText).View();
  entry += ')';
  entries_[static_cast<std::size_t>(category)].push_back(Cut(std::move(entry)));
}

void TComponentLayerWarnings::AddTopByDesignator(const TPcbComponent& component) {
  Add(Category::kTopByDesignator, component);
}
void TComponentLayerWarnings::AddBottomByDesignator(const TPcbComponent& component) {
  Add(Category::kBottomByDesignator, component);
}
void TComponentLayerWarnings::AddTopByPrimitives(const TPcbComponent& component) {
  Add(Category::kTopByPrimitives, component);
}
void TComponentLayerWarnings::AddBottomByPrimitives(const TPcbComponent& component) {
  Add(Category::kBottomByPrimitives, component);
}
void TComponentLayerWarnings::AddUndefined(const TPcbComponent& component) { Add(Category::kUndefined, component); }

bool TComponentLayerWarnings::HasWarnings() const {
  return !Entries(Category::kTopByPrimitives).empty() || !Entries(Category::kBottomByPrimitives).empty() ||
         !Entries(Category::kUndefined).empty();
}

void TComponentLayerWarnings::BuildReport(std::string_view board_file_name, std::int32_t format_level) {
  const std::string_view description = FormatDescription(format_level);
  report_lines_.clear();
  const auto line = [this](std::string text) { report_lines_.push_back(Cut(std::move(text))); };

  line(std::string(description) + " Importer - Component Layer Warnings Report");
  line("PCB File : " + WholeFileName(board_file_name));
  line("Date     : " + Now("%x"));
  line("Time     : " + Now("%X"));
  line(std::string(kRuleWidth, '='));
  line("");
  line("");

  for (const Section& section : kSections) {
    const std::vector<std::string>& entries = Entries(section.category);
    if (entries.empty()) continue;
    for (std::string_view heading : section.heading) {
      if (!heading.empty()) line(FillIn(heading, description));
    }
    for (const std::string& entry : entries) line(entry);
    line("");
    line("");
  }
}

void TComponentLayerWarnings::WriteReport(std::string_view board_file_name, std::int32_t format_level) {
  report_file_name_.Assign(ForceExtension(board_file_name, "rpt"));
  if (!IsReportNameFor(report_file_name_.View(), board_file_name)) return;
  BuildReport(board_file_name, format_level);

  std::string block;
  for (const std::string& text : report_lines_) {
    block += text;
    block += "\r\n";
  }

  const std::uint32_t stream = host::VFSAPI_VFS_StreamCreate(report_file_name_.Raw(), api::kStreamModeCreate);
  if (stream == 0) return;  // no file: nothing to write, nothing to release
  std::size_t done = 0;
  while (done < block.size()) {
    const auto piece = static_cast<std::int32_t>(std::min<std::size_t>(block.size() - done, kWritePiece));
    const std::int32_t written = host::VFSAPI_VFS_StreamWrite(stream, block.data() + done, piece);
    // A stream that takes less than it was given will not take the rest either; the run goes on
    // without the rest of the report.
    if (written != piece) break;
    done += static_cast<std::size_t>(piece);
  }
  host::VFSAPI_VFS_StreamDestroy(stream);
}

void TComponentLayerWarnings::ShowReportMessage(std::string_view board_file_name, std::int32_t format_level) {
  std::string text = WholeFileName(board_file_name);
  text += ": some of the components' layers in this\r\n";
  text += FormatDescription(format_level);
  text += " file could not be determined.\r\nPlease review the report file ";
  text += WholeFileName(report_file_name_.View());
  text += " for more information.";
  // Owned by the desktop window, the box is centred on the screen.
  system_services::ShowMessageBox(system_services::DesktopWindow(), text.c_str(), "Information",
                                  MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
}
