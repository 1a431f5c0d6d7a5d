// Writes the KiCad project files of a board view.
#include "viewers/kicad_export.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>

#include "viewers/beside.h"
#include "viewers/document_reader.h"

namespace kicad {
namespace {

bool WriteFile(const std::string& path, const std::string& text, std::string& error) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const int saved = errno;
  if (std::fclose(out) != 0 || !written) {
    error = "cannot write " + path + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

// The board file is written as it is made: the text of a large board is never held whole.
bool WriteBoard(BoardWriter& writer, const std::string& path, ExportCounts& counts, std::string& error) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = writer.Write(out, counts);
  const int saved = errno;
  if (std::fclose(out) != 0 || !written) {
    error = !writer.ReadError().empty() ? "cannot view the board: " + writer.ReadError()
                                        : "cannot write " + path + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

// The custom rules file: its head, then the rules read once more from the source and written
// a block at a time. Reads through ForEachRule only, so it may run beside the board's writer.
bool WriteCustomRules(view::ObjectSource& source, const std::string& path, const std::string& head,
                      std::string& error) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  const RuleText body = [&](std::string& text) {
    written = written && std::fwrite(text.data(), 1, text.size(), out) == text.size();
  };
  std::string read_error;
  const bool read = WriteRuleText(source, body, read_error);
  const int saved = errno;
  if (std::fclose(out) != 0 || !written || !read) {
    error = !read ? "cannot view the board: " + read_error
                  : "cannot write " + path + ": " + std::strerror(written ? errno : saved);
    return false;
  }
  return true;
}

}  // namespace

ExportResult ExportKicad(view::ObjectSource& source, const std::string& board_path) {
  ExportResult result;
  BoardWriter writer(source);
  const std::filesystem::path path(board_path);
  std::filesystem::path project = path, custom = path;
  project.replace_extension(".kicad_pro");
  custom.replace_extension(".kicad_dru");
  const std::string stem = path.stem().string();
  result.library = stem + ".pretty";
  FootprintLibrary library(stem, path.parent_path() / result.library);
  writer.WriteLibrary(library);

  // The rules go their own way beside the objects, on a second thread where there is one: they
  // are translated while the writer indexes the objects, and once the writer has taken their
  // settings the custom rules file is written while it writes the board.
  RuleTranslation settings;
  std::string rules_error, custom_error;
  bool translated = false, custom_written = false;
  view::Beside translation([&] { translated = TranslateRules(source, settings, rules_error); });
  std::optional<view::Beside> custom_rules;
  writer.TakeRulesFrom([&](RuleTranslation& taken, std::string& error) {
    translation.Wait();
    if (!translated) {
      error = rules_error;
      return false;
    }
    custom_rules.emplace([&, head = settings.custom_rules] {
      custom_written = WriteCustomRules(source, custom.string(), head, custom_error);
    });
    taken = std::move(settings);
    return true;
  });

  bool written = WriteBoard(writer, board_path, result.counts, result.error);
  if (custom_rules) custom_rules->Wait();
  if (written && !library.Error().empty()) {
    result.error = library.Error();
    written = false;
  }
  result.library_footprints = static_cast<std::int64_t>(library.Size());
  result.variants = library.Variants();
  result.rules_written = writer.TakeRules();
  result.rules = result.rules_written.read;
  result.objects = static_cast<std::int64_t>(source.Count()) - result.rules;
  // The board written, its custom rules were written too.
  const auto custom_rules_written = [&] {
    if (!custom_written) result.error = custom_error;
    return custom_written;
  };
  result.ok = written &&
              AddToLibraryTable(path.parent_path() / "fp-lib-table", library.Nickname(), result.library, result.error) &&
              WriteFile(project.string(), ProjectFile(result.rules_written, project.filename().string()),
                        result.error) &&
              custom_rules_written();
  return result;
}

ExportResult ExportKicad(const view::BoardView& view, const std::string& board_path) {
  view::HeldObjects held(view);
  return ExportKicad(held, board_path);
}

std::string Summary(const ExportResult& result, const std::string& board_path) {
  const ExportCounts& c = result.counts;
  std::string text = "KiCad board written to " + board_path + ": " + std::to_string(c.footprints) + " footprints, " +
                     std::to_string(c.pads) + " pads, " + std::to_string(c.tracks) + " tracks, " +
                     std::to_string(c.arcs) + " arc tracks, " + std::to_string(c.vias) + " vias, " +
                     std::to_string(c.zones) + " zones, " + std::to_string(c.nets) + " nets, " +
                     std::to_string(c.graphics) + " graphics, " + std::to_string(c.texts) + " texts; " +
                     std::to_string(result.rules_written.scoped) + " scoped rules (" +
                     std::to_string(result.rules_written.as_constraints) + " as KiCad custom rules)";
  if (c.pour_primitives > 0) text += "; " + std::to_string(c.pour_primitives) + " polygon pour primitives left to KiCad's zone filler";
  if (c.left_out > 0) text += "; " + std::to_string(c.left_out) + " objects left out (no KiCad layer, or no size)";
  text += "; on sheet " + c.sheet + " with the host origin at " + Mm(c.origin.x) + ", " + Mm(c.origin.y) + " mm";
  text += "; footprint library " + result.library + ": " + std::to_string(result.library_footprints) + " footprints";
  if (!result.variants.empty()) {
    // A board edited footprint by footprint could have thousands: the first few say enough.
    constexpr std::size_t kNamed = 10;
    text += ", numbered where the pattern's contents differ: ";
    for (std::size_t i = 0; i < std::min(kNamed, result.variants.size()); ++i) {
      text += (i > 0 ? ", " : "") + result.variants[i];
    }
    if (result.variants.size() > kNamed) text += " and " + std::to_string(result.variants.size() - kNamed) + " more";
  }
  return text;
}

}  // namespace kicad

int RunExport(const std::string& document_path, const std::string& board_path, bool quiet) {
  std::FILE* in = std::fopen(document_path.c_str(), "rb");
  std::error_code ignored;
  if (in == nullptr || std::filesystem::is_directory(document_path, ignored)) {
    std::cerr << "viderave: cannot read " << document_path << ": "
              << (in != nullptr ? "is a folder, not a file" : std::strerror(errno)) << "\n";
    if (in != nullptr) std::fclose(in);
    return 2;
  }
  view::BoardView board;
  const view::DocumentRead read = view::ReadDocument(in, board);
  std::fclose(in);
  if (!read.ok) {
    std::cerr << "viderave: cannot export " << document_path << ": " << read.error << "\n";
    return 2;
  }
  const kicad::ExportResult result = kicad::ExportKicad(board, board_path);
  if (!result.ok) {
    std::cerr << "viderave: " << result.error << "\n";
    return 2;
  }
  if (!quiet) std::cerr << "viderave: " << kicad::Summary(result, board_path) << "\n";
  return 0;
}
