// Writes pictures and runs `viderave render`.
#include "viewers/svg_writer_board.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "viewers/document_reader.h"

namespace svg {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool WritePicture(const SvgWriter& picture, const std::string& path, std::string& error) {
  File out(std::fopen(path.c_str(), "wb"));
  if (!out) {
    error = std::strerror(errno);
    return false;
  }
  if (!picture.Write(out.get())) {
    error = std::strerror(errno);
    return false;
  }
  if (std::fclose(out.release()) != 0) {
    error = std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace svg

int RunRender(const std::string& document_path, std::string svg_path, bool quiet) {
  if (svg_path.empty()) svg_path = std::filesystem::path(document_path).replace_extension(".svg").string();
  svg::File in(std::fopen(document_path.c_str(), "rb"));
  std::error_code ignored;
  if (!in || std::filesystem::is_directory(document_path, ignored)) {
    std::cerr << "viderave: cannot read " << document_path << ": "
              << (in ? "is a folder, not a file" : std::strerror(errno)) << "\n";
    return 2;
  }
  // Each object is drawn as it is read: only its shapes stay.
  svg::SvgWriter picture;
  view::BoardView board;
  view::DocumentRead read = view::ReadDocument(
      in.get(), board, [&picture](const view::Object& object, const view::BoardView& of) { picture.Add(object, of); });
  if (read.ok && !read.has_objects) read = {false, false, false, "the board document has no \"objects\" list"};
  if (!read.ok) {
    std::cerr << "viderave: cannot draw " << document_path << ": " << read.error << "\n";
    return 2;
  }
  picture.SetTitle(board.title);
  std::string error;
  if (!svg::WritePicture(picture, svg_path, error)) {
    std::cerr << "viderave: cannot write the picture " << svg_path << ": " << error << "\n";
    return 2;
  }
  if (!quiet) std::cerr << "viderave: picture written to " << svg_path << "\n";
  return 0;
}
