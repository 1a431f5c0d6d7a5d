// TComponentLayerWarnings: the components whose board side the component reader had to decide
// for files that do not state it, grouped by how it was decided, and the plain-text report and
// message that tell the user about the guessed ones at the end of an import.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/short_string.h"

class TPcbComponent;

class TComponentLayerWarnings {
 public:
  TComponentLayerWarnings() = default;
  virtual ~TComponentLayerWarnings() = default;

  // Each appends the component's entry, "U1 (DIP14, 74HC00)", to its category.
  void AddTopByDesignator(const TPcbComponent& component);
  void AddBottomByDesignator(const TPcbComponent& component);
  void AddTopByPrimitives(const TPcbComponent& component);
  void AddBottomByPrimitives(const TPcbComponent& component);
  void AddUndefined(const TPcbComponent& component);

  // True when some side was guessed from the primitives or could not be decided; the
  // components decided by their designator alone need no report.
  [[nodiscard]] bool HasWarnings() const;
  // Writes the report beside the board file, under its name with the extension "rpt"; its
  // header names the board and the file's version (its format level, 0 to 10).
  void WriteReport(std::string_view board_file_name, std::int32_t format_level);
  // Tells the user that the report exists, in a modal information box.
  void ShowReportMessage(std::string_view board_file_name, std::int32_t format_level);

  enum class Category { kTopByDesignator, kBottomByDesignator, kTopByPrimitives, kBottomByPrimitives, kUndefined };
  [[nodiscard]] const std::vector<std::string>& Entries(Category category) const {
    return entries_[static_cast<std::size_t>(category)];
  }
  [[nodiscard]] const ShortString<255>& ReportFileName() const { return report_file_name_; }
  [[nodiscard]] const std::vector<std::string>& ReportLines() const { return report_lines_; }

 private:
  void Add(Category category, const TPcbComponent& component);
  void BuildReport(std::string_view board_file_name, std::int32_t format_level);

  std::array<std::vector<std::string>, 5> entries_;
  ShortString<255> report_file_name_;
  std::vector<std::string> report_lines_;
};
