// The board's own footprint library: NAME.pretty/ beside NAME.kicad_pcb, one .kicad_mod file per
// distinct footprint of the board, in the footprint's own frame (unrotated, top side, origin at
// the component's reference point), named by the component's pattern. Components that share a
// pattern but differ in what they hold (edited on the board) get numbered variants: DIP14,
// DIP14_2, ... The project's fp-lib-table names the library, so that KiCad finds it beside the
// board.
//
//   FootprintLibrary library("board", "out/board.pretty");
//   if (const auto known = library.Known(contents)) ...;        // as a footprint seen before
//   const auto [index, added] = library.Add(pattern, body, contents);
//   if (added) library.Write(index, head, body);
//
// The library keeps no footprint's text: a footprint is known again by a 128-bit hash of what
// decides it (two different footprints agree in one by a chance below 1e-20 on any board), and
// each new one is written to its file as soon as it is met.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kicad {

class FootprintLibrary {
 public:
  // `folder` is made when the first footprint is written; an empty one writes nothing (the
  // names are still given).
  FootprintLibrary(std::string_view nickname, std::filesystem::path folder);

  // The library's name in the table and in the board's footprint ids: the board's name, less
  // the characters a KiCad library id cannot hold.
  [[nodiscard]] const std::string& Nickname() const { return nickname_; }

  // The footprint of a component whose contents (any bytes that decide the footprint: the
  // component's pattern, side and rotation and its members relative to it) were seen before.
  [[nodiscard]] std::optional<std::uint32_t> Known(std::string_view contents) const;
  // The footprint whose library text (all but its reference and value texts) is `body`, of
  // this pattern: one already written, or a new one (`added`) named after the pattern, with a
  // number when the name is taken. `contents` is then known as it.
  std::pair<std::uint32_t, bool> Add(std::string_view pattern, std::string_view body, std::string_view contents);
  // Writes a new footprint's file: its `head` (attributes, reference and value) and `body`.
  void Write(std::uint32_t index, std::string_view head, std::string_view body);

  [[nodiscard]] const std::string& Name(std::uint32_t index) const { return footprints_[index].name; }
  [[nodiscard]] std::size_t Size() const { return footprints_.size(); }
  // The footprints that took a number because their pattern's name was taken, in the order met.
  [[nodiscard]] std::vector<std::string> Variants() const;
  // Why a file could not be written; empty when all were.
  [[nodiscard]] const std::string& Error() const { return error_; }

 private:
  using Hash = std::array<std::uint64_t, 2>;
  struct HashOf {
    std::size_t operator()(const Hash& hash) const { return static_cast<std::size_t>(hash[0]); }
  };
  struct Footprint {
    std::string name;
    bool numbered = false;
  };

  std::string nickname_;
  std::filesystem::path folder_;
  std::vector<Footprint> footprints_;
  std::unordered_map<Hash, std::uint32_t, HashOf> by_contents_, by_text_;
  std::unordered_set<std::string> taken_;  // file names in lower case: a folder may ignore case
  std::string error_;
};

// "DIP14" as a file and library item name: no character a file name or a library id cannot
// hold, at most 200 bytes (so that the name, a number and ".kicad_mod" fit a file name), never
// empty or ending in a dot or blank.
std::string FootprintFileName(std::string_view pattern);

// Adds the library `nickname` (the folder NICKNAME.pretty beside the project) to the project's
// footprint library table `table`, keeping every other library a table already there names.
// False, with `error`, when the table cannot be read as one or cannot be written.
bool AddToLibraryTable(const std::filesystem::path& table, std::string_view nickname, std::string_view folder_name,
                       std::string& error);

}  // namespace kicad
