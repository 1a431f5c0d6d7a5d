// Reads a board picture back for the tests: an XML parser (Python's, so that well-formedness is
// judged by a real parser) lists the layer groups, component groups and drawn elements.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host_program.h"

namespace svg_test {

struct Element {
  std::string tag;
  std::string handle;     // data-handle, or "-"
  std::string of;         // data-of, or "-"
  std::string layer;      // id of the enclosing layer group, or "-"
  std::string component;  // data-component of the enclosing component group, or "-"
  std::string css_class;
};

struct Picture {
  bool well_formed = false;
  std::string error;
  std::string view_box, width, height;
  std::vector<std::string> layers;                  // layer group ids, in document order
  std::map<std::string, std::string> titles;        // data-component -> title
  std::vector<Element> elements;                    // elements with data-handle or data-of
  [[nodiscard]] std::map<std::string, int> HandleCounts() const {
    std::map<std::string, int> counts;
    for (const Element& e : elements) {
      if (e.handle != "-") ++counts[e.handle];
    }
    return counts;
  }
  [[nodiscard]] const Element* Drawn(const std::string& handle) const {
    for (const Element& e : elements) {
      if (e.handle == handle) return &e;
    }
    return nullptr;
  }
};

constexpr char kLister[] = R"PY(
import sys, xml.etree.ElementTree as ET
ns = '{http://www.w3.org/2000/svg}'
root = ET.parse(sys.argv[1]).getroot()
out = open(sys.argv[2], 'w', encoding='utf-8')
out.write('V\t%s\t%s\t%s\n' % (root.get('viewBox'), root.get('width'), root.get('height')))
def walk(e, layer, comp):
    tag = e.tag.replace(ns, '')
    if tag == 'g' and e.get('class') == 'layer':
        layer = e.get('id')
        out.write('L\t%s\n' % layer)
    if tag == 'g' and e.get('data-component'):
        comp = e.get('data-component')
        title = e.find(ns + 'title')
        out.write('C\t%s\t%s\n' % (comp, '' if title is None else (title.text or '')))
    if e.get('data-handle') or e.get('data-of'):
        out.write('E\t%s\t%s\t%s\t%s\t%s\t%s\n' % (tag, e.get('data-handle') or '-', e.get('data-of') or '-',
                                                 layer, comp, e.get('class') or '-'))
    for child in e:
        walk(child, layer, comp)
walk(root, '-', '-')
)PY";

inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

// The system's interpreter when there is one: version-manager shims cost seconds per start.
inline std::string Python() {
  return ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3";
}

inline Picture ReadPicture(const std::string& svg_path) {
  static std::atomic<int> counter{0};
  const std::string stem = ::testing::TempDir() + "svg-reader-" + std::to_string(::getpid()) + "-" +
                           std::to_string(++counter);
  {
    std::ofstream script(stem + ".py");
    script << kLister;
  }
  const std::string command = Python() + " " + test_support::Quote(stem + ".py") + " " + test_support::Quote(svg_path) +
                              " " + test_support::Quote(stem + ".txt") + " 2>" + test_support::Quote(stem + ".err");
  const int raw = std::system(command.c_str());
  Picture picture;
  picture.well_formed = WIFEXITED(raw) && WEXITSTATUS(raw) == 0;
  picture.error = test_support::ReadText(stem + ".err");
  std::ifstream listing(stem + ".txt");
  for (std::string line; std::getline(listing, line);) {
    const auto f = Fields(line);
    if (f.empty()) continue;
    if (f[0] == "V" && f.size() == 4) {
      picture.view_box = f[1], picture.width = f[2], picture.height = f[3];
    } else if (f[0] == "L" && f.size() == 2) {
      picture.layers.push_back(f[1]);
    } else if (f[0] == "C" && f.size() >= 2) {
      picture.titles[f[1]] = f.size() > 2 ? f[2] : "";
    } else if (f[0] == "E" && f.size() == 7) {
      picture.elements.push_back({f[1], f[2], f[3], f[4], f[5], f[6]});
    }
  }
  for (const char* suffix : {".py", ".txt", ".err"}) std::remove((stem + suffix).c_str());
  return picture;
}

inline Picture ReadPictureText(const std::string& svg_text) {
  static std::atomic<int> counter{0};
  const std::string path = ::testing::TempDir() + "svg-text-" + std::to_string(::getpid()) + "-" +
                           std::to_string(++counter) + ".svg";
  {
    std::ofstream out(path, std::ios::binary);
    out << svg_text;
  }
  Picture picture = ReadPicture(path);
  std::remove(path.c_str());
  return picture;
}

}  // namespace svg_test
