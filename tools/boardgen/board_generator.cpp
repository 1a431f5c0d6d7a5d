// Board generator entry points (see board_generator.h): check the BoardSpec, plan the board,
// write it to a string, stream, FILE or path, and summarise it.
#include "boardgen/board_generator.h"

#include <algorithm>

#include "boardgen/board_plan.h"
#include "boardgen/line_writer.h"

namespace boardgen {
namespace {

BoardSummary Run(const BoardSpec& spec, LineWriter::Sink sink, void* context) {
  CheckSpec(spec);
  const BoardPlan plan = MakePlan(spec);
  {
    LineWriter out(sink, context, spec.crlf);
    WriteBoard(spec, plan, out);
  }
  return Summarize(spec, plan);
}

}  // namespace

std::vector<ComponentSpec> Components(int count, const ComponentSpec& each) {
  return std::vector<ComponentSpec>(static_cast<std::size_t>(std::max(count, 0)), each);
}

BoardSummary Summarize(const BoardSpec& spec) {
  CheckSpec(spec);
  return Summarize(spec, MakePlan(spec));
}

BoardSummary Generate(const BoardSpec& spec, std::string& out) {
  return Run(
      spec,
      [](void* context, const char* data, std::size_t size) { static_cast<std::string*>(context)->append(data, size); },
      &out);
}

BoardSummary Generate(const BoardSpec& spec, std::FILE* out) {
  return Run(
      spec,
      [](void* context, const char* data, std::size_t size) {
        std::fwrite(data, 1, size, static_cast<std::FILE*>(context));
      },
      out);
}

BoardSummary Generate(const BoardSpec& spec, std::ostream& out) {
  return Run(
      spec,
      [](void* context, const char* data, std::size_t size) {
        static_cast<std::ostream*>(context)->write(data, static_cast<std::streamsize>(size));
      },
      &out);
}

bool WriteBoardFile(const BoardSpec& spec, const std::string& path, BoardSummary* summary) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const BoardSummary result = Generate(spec, file);
  const bool written = std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (summary != nullptr) *summary = result;
  return written && closed;
}

}  // namespace boardgen
