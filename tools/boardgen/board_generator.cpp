// Board generator entry points (see board_generator.h): check the BoardRecipe, plan the board,
// write it to a string, stream, FILE or path, and summarise it.
#include "boardgen/board_generator.h"

#include <algorithm>

#include "boardgen/board_plan.h"
#include "boardgen/line_writer.h"

namespace boardgen {
namespace {

BoardSummary Run(const BoardRecipe& recipe, LineWriter::Sink sink, void* context) {
  CheckRecipe(recipe);
  const BoardPlan plan = MakePlan(recipe);
  {
    LineWriter out(sink, context, recipe.crlf);
    WriteBoard(recipe, plan, out);
  }
  return Summarize(recipe, plan);
}

}  // namespace

std::vector<ComponentRecipe> Components(int count, const ComponentRecipe& each) {
  return std::vector<ComponentRecipe>(static_cast<std::size_t>(std::max(count, 0)), each);
}

BoardSummary Summarize(const BoardRecipe& recipe) {
  CheckRecipe(recipe);
  return Summarize(recipe, MakePlan(recipe));
}

BoardSummary Generate(const BoardRecipe& recipe, std::string& out) {
  return Run(
      recipe,
      [](void* context, const char* data, std::size_t size) { static_cast<std::string*>(context)->append(data, size); },
      &out);
}

BoardSummary Generate(const BoardRecipe& recipe, std::FILE* out) {
  return Run(
      recipe,
      [](void* context, const char* data, std::size_t size) {
        std::fwrite(data, 1, size, static_cast<std::FILE*>(context));
      },
      out);
}

BoardSummary Generate(const BoardRecipe& recipe, std::ostream& out) {
  return Run(
      recipe,
      [](void* context, const char* data, std::size_t size) {
        static_cast<std::ostream*>(context)->write(data, static_cast<std::streamsize>(size));
      },
      &out);
}

bool WriteBoardFile(const BoardRecipe& recipe, const std::string& path, BoardSummary* summary) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const BoardSummary result = Generate(recipe, file);
  const bool written = std::ferror(file) == 0;
  const bool closed = std::fclose(file) == 0;
  if (summary != nullptr) *summary = result;
  return written && closed;
}

}  // namespace boardgen
