// Every host call the importer makes, each made to fail once (standin/orvpcb/host_faults.h).
// Each example board and a small generated board of every format level is imported, in this
// process against the stand-in server, until every call of every kind has failed once (up to
// 50 runs per kind, several calls 50 apart failing in a run). Each run must come to its end
// (no crash; no hang, or the watchdog names the run; in the sanitizer build no leak) and end as
// the file format's failure rules say:
//
// - The importer's answer is the one of the run without the failure: it checks almost nothing
//   the host answers, and nothing here asks it to stop.
// - Every object outside the records the failed calls were in is as without the failure. A
//   reader given no object still reads its whole record, so every later record is read in step;
//   a load or store that fails touches only its own object. What an object is linked to (its
//   net, polygon, coordinate, dimension, component, designator and comment texts, and the
//   containers it is in) may be lost with an owner that was never made, never numbered or never
//   found, so for creations, loads and stores the links are left out of the comparison; for the
//   other kinds, which do not touch the board, every object is compared whole.
//
// A name missing from the binding is a fault of the whole run rather than of one call: for each
// function the run calls, a run without it must end with the same objects made, in step, as
// the run with it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "boardgen/board_generator.h"
#include "host/host_binding.h"
#include "plugin/import_run.h"
#include "standin/host/object_writer.h"
#include "standin/host/session.h"
#include "standin/orvpcb/host_faults.h"
#include "standin/orvpcb/model.h"
#include "tests/support/host_program.h"
#include "tests/support/leak_check.h"
#include "tests/support/run_fixture.h"

namespace {

using orv::HostCall;

struct Board {
  std::string name;
  std::string path;
};

// A few records of every kind at the level, components with designators on a mid layer (so
// that below level 10 their sides are guessed and the layer report is written and told).
std::string SmallBoard(int level) {
  boardgen::BoardRecipe recipe;
  recipe.level = level;
  recipe.seed = static_cast<std::uint32_t>(100 + level);
  recipe.tracks = 2;
  recipe.arcs = 1;
  recipe.vias = 1;
  recipe.pads = 2;
  recipe.shape6_pads = 1;
  recipe.fills = 1;
  recipe.strings = 1;
  recipe.polygons = 1;
  recipe.split_planes = 1;
  recipe.coordinates = 1;
  recipe.dimensions = 1;
  recipe.nets = 3;
  recipe.polygon_vertices = 3;
  recipe.components = boardgen::Components(2, {.pads = 2,
                                               .tracks = 1,
                                               .arcs = 1,
                                               .vias = 1,
                                               .fills = 1,
                                               .strings = 1,
                                               .designator_layer = boardgen::DesignatorLayer::kMid});
  recipe.defaults = true;
  recipe.options = true;
  recipe.pad_rules.solder_mask = {1000, 2000};
  recipe.net_rules.width = {10000, 12000};
  std::string text;
  boardgen::Generate(recipe, text);
  return text;
}

// A board whose nets ask for 12 width rules: the rules dialog is prepared and, out of test
// mode, shown.
std::string BoardWithDialog() {
  boardgen::BoardRecipe recipe;
  recipe.level = 10;
  recipe.tracks = 2;
  recipe.nets = 12;
  for (int i = 0; i < 12; ++i) recipe.net_rules.width.push_back(10000 + 1000 * i);
  std::string text;
  boardgen::Generate(recipe, text);
  return text;
}

const std::vector<Board>& TestBoards() {
  static const std::vector<Board> boards = [] {
    std::vector<Board> list;
    for (const char* name : {"legacy-1.10", "medium-2.10", "small-2.80"}) {
      const std::string text = test_support::ReadText(std::string(VIDERAVE_SOURCE_DIR) + "/examples/" + name + ".PCB");
      list.push_back({name, test_support::WriteFile(test_support::UniqueBoardPath(name), text)});
    }
    for (int level = 0; level <= 10; ++level) {
      const std::string name = "level-" + std::to_string(level);
      list.push_back({name, test_support::WriteFile(test_support::UniqueBoardPath(name), SmallBoard(level))});
    }
    return list;
  }();
  return boards;
}

// Names the run under way when one hangs: the process ends after kHangSeconds without a
// finished run, with the run's name on standard error.
class HangWatch {
 public:
  static constexpr unsigned kHangSeconds = 60;
  HangWatch() {
    struct sigaction action {};
    action.sa_handler = &HangWatch::Hung;
    sigaction(SIGALRM, &action, nullptr);
  }
  ~HangWatch() { alarm(0); }
  HangWatch(const HangWatch&) = delete;
  HangWatch& operator=(const HangWatch&) = delete;
  void Start(const std::string& run) {
    std::snprintf(run_, sizeof run_, "hung: %s\n", run.c_str());
    alarm(kHangSeconds);
  }

 private:
  static void Hung(int) {
    (void)!write(STDERR_FILENO, run_, std::strlen(run_));
    _exit(3);
  }
  static inline char run_[256] = {};
};

// Each object's document text by handle (empty for a handle with no object); the board is
// handle 1 in every run, since the server starts afresh.
using Objects = std::vector<std::string>;

struct Outcome {
  bool imported = false;
  std::vector<orv::FiredFault> fired;
  std::array<std::uint64_t, orv::kHostCallKinds> calls{};
  Objects objects;
  std::size_t messages = 0;
  std::vector<std::int64_t> file_sizes;  // of the files written through the host's streams
};

struct Fault {
  HostCall kind;
  std::uint64_t call;
};

// Imports the board into a new board of a server started afresh, with the planned calls failing;
// with `escape`, the user presses Escape before the first record.
Outcome Import(const Board& board, const HostOptions& options, const std::vector<Fault>& plan,
               std::FILE* trace = nullptr, bool escape = false) {
  orv::Model& model = orv::Server();
  model.Reset();
  HostSession& session = Session();
  session = HostSession{};
  session.options = options;
  if (escape) PostEscapeKey();
  const std::uint32_t handle = model.OpenBoard(board.path);
  orv::HostFaults& faults = orv::Faults();
  faults.ClearPlan();
  for (const Fault& fault : plan) faults.Plan(fault.kind, fault.call);
  model.SetTrace(trace);
  faults.Begin();
  Outcome outcome;
  outcome.imported = ImportFile(board.path);
  faults.End();
  model.SetTrace(nullptr);
  outcome.fired = faults.Fired();
  for (std::size_t kind = 0; kind < orv::kHostCallKinds; ++kind) {
    outcome.calls[kind] = faults.Calls(static_cast<HostCall>(kind));
  }
  ObjectWriter writer(model);
  outcome.objects.resize(model.HandleLimit());
  for (std::uint32_t object = handle + 1; object < model.HandleLimit(); ++object) {
    if (model.Alive(object)) writer.Append(object, outcome.objects[object]);
  }
  outcome.messages = session.messages.size();
  for (const auto& file : session.files) outcome.file_sizes.push_back(file.value("Size", std::int64_t{-1}));
  return outcome;
}

constexpr std::string_view kLinkFields[] = {"\"Net\":",       "\"Polygon\":",  "\"Coordinate\":", "\"Dimension\":",
                                            "\"Component\":", "\"NameText\":", "\"CommentText\":"};

// The object's text without its links: the values of the link fields and the list of
// containers blanked.
std::string WithoutLinks(std::string text) {
  for (const std::string_view field : kLinkFields) {
    const std::size_t at = text.find(field);
    if (at == std::string::npos) continue;
    const std::size_t value = at + field.size();
    std::size_t end = value;
    while (end < text.size() && (text[end] == '-' || (text[end] >= '0' && text[end] <= '9'))) ++end;
    text.erase(value, end - value);
  }
  const std::size_t containers = text.find("\"Containers\":[");
  if (containers != std::string::npos) {
    const std::size_t from = containers + std::strlen("\"Containers\":[");
    text.erase(from, text.find(']', from) - from);
  }
  return text;
}

// The objects of one record of the file (or one rule of the end of the run): the record's own
// object, which the run added to the board, and the objects made after it before the next one
// (a component's primitives, designator and comment).
struct Record {
  std::uint32_t first = 0;
  std::uint32_t end = 0;  // one past the last
};

bool OnTheBoard(const std::string& object) {
  const std::size_t at = object.find("\"Containers\":[");
  if (at == std::string::npos) return false;
  const std::string_view list(object.data() + at + 14, object.find(']', at) - at - 14);
  return list == "1" || list.starts_with("1,") || list.find(",1,") != std::string_view::npos || list.ends_with(",1");
}

// The record of the run without the failure that `handle` belongs to.
Record RecordOf(const Objects& objects, std::uint32_t handle) {
  Record record{handle, handle + 1};
  if (handle >= objects.size()) return record;
  while (record.first > 2 && !OnTheBoard(objects[record.first])) --record.first;
  while (record.end < objects.size() && !OnTheBoard(objects[record.end])) ++record.end;
  return record;
}

// Every object of `expected` outside the `skipped` records is in `actual` as it is there, whole
// or without its links; `actual` holds nothing more. Returns what differs first, or "".
std::string FirstDifference(const Objects& expected, const Objects& actual, const std::vector<Record>& skipped,
                            bool whole) {
  const std::size_t limit = std::max(expected.size(), actual.size());
  for (std::size_t handle = 0; handle < limit; ++handle) {
    const auto in = [handle](const Record& r) { return handle >= r.first && handle < r.end; };
    if (std::any_of(skipped.begin(), skipped.end(), in)) continue;
    const std::string& want = handle < expected.size() ? expected[handle] : std::string();
    const std::string& got = handle < actual.size() ? actual[handle] : std::string();
    if (whole ? want == got : WithoutLinks(want) == WithoutLinks(got)) continue;
    return "object " + std::to_string(handle) + "\n  without the failure: " + want + "\n  with it:             " + got;
  }
  return {};
}

HostOptions QuietTestMode() {
  HostOptions options;
  options.quiet = true;
  options.test_mode = true;
  return options;
}

class EveryHostCall : public ::testing::TestWithParam<std::size_t> {
 protected:
  const Board& board() const { return TestBoards()[GetParam()]; }

  // Fails every call of the kind once; returns the number of runs. A kind of more than kRuns
  // calls fails several calls in a run, kRuns apart (run r fails calls r, r + kRuns, ...): each
  // failure then leaves out its own record, and the rest must still be as without failures. A
  // failure may spare later calls of its kind (a pad the host did not load is not linked, nor
  // stored again); a planned call that did not come is failed again in a run of its own.
  static constexpr std::uint64_t kRuns = 50;
  std::uint64_t FailEachCall(HostCall kind, const Outcome& reference) {
    const std::uint64_t calls = reference.calls[static_cast<std::size_t>(kind)];
    const std::uint64_t strides = std::min(calls, kRuns);
    std::vector<std::uint64_t> missed;
    std::uint64_t runs = 0;
    for (std::uint64_t first = 1; first <= strides; ++first) {
      std::vector<Fault> plan;
      for (std::uint64_t call = first; call <= calls; call += strides) plan.push_back({kind, call});
      ++runs;
      if (!Run(kind, reference, plan, missed)) return runs;
    }
    for (const std::uint64_t call : missed) {
      ++runs;
      std::vector<std::uint64_t> none;
      if (!Run(kind, reference, {{kind, call}}, none)) return runs;
      if (!none.empty()) {
        ADD_FAILURE() << board().name << ": " << orv::HostCallName(kind) << " call " << call << " did not come alone";
        return runs;
      }
    }
    return runs;
  }

  // One run with the planned calls failing; false, with a failure added, when it did not end as
  // it should. Planned calls that did not come are added to `missed`.
  bool Run(HostCall kind, const Outcome& reference, const std::vector<Fault>& plan,
           std::vector<std::uint64_t>& missed) {
    const bool touches_board = kind == HostCall::kCreate || kind == HostCall::kLoad || kind == HostCall::kStore;
    std::string run = board().name + ": " + std::string(orv::HostCallName(kind)) + " calls";
    for (std::size_t i = 0; i < plan.size() && i < 3; ++i) run += " " + std::to_string(plan[i].call);
    if (plan.size() > 3) run += " ... " + std::to_string(plan.back().call);
    watch_.Start(run);
    const Outcome outcome = Import(board(), QuietTestMode(), plan);
    if (outcome.fired.empty()) {
      ADD_FAILURE() << run << ": no planned failure came";
      return false;
    }
    for (const Fault& fault : plan) {
      const auto came = [&fault](const orv::FiredFault& fired) { return fired.call == fault.call; };
      if (std::none_of(outcome.fired.begin(), outcome.fired.end(), came)) missed.push_back(fault.call);
    }
    if (outcome.imported != reference.imported) {
      ADD_FAILURE() << run << ": the importer answered " << outcome.imported;
      return false;
    }
    // A failure may change the objects of the record under way: the one the failed call was
    // about (a creation's would-be object), or the last one made before it.
    std::vector<Record> skipped;
    std::string failed;
    for (const orv::FiredFault& fired : outcome.fired) {
      const std::uint32_t under_way = kind == HostCall::kCreate ? fired.object : fired.handle_limit - 1;
      if (touches_board) skipped.push_back(RecordOf(reference.objects, under_way));
      failed += " " + std::string(fired.function) + "(" + std::to_string(fired.object) + ")";
    }
    const std::string difference = FirstDifference(reference.objects, outcome.objects, skipped, !touches_board);
    if (!difference.empty()) {
      ADD_FAILURE() << run << " (failed:" << failed << "): " << difference;
      return false;
    }
    ExpectHostSide(kind, reference, outcome, run);
    return true;
  }

  // What the host saw of a failed stream or message box.
  static void ExpectHostSide(HostCall kind, const Outcome& reference, const Outcome& outcome, const std::string& run) {
    switch (kind) {
      case HostCall::kStreamCreate:
        EXPECT_TRUE(outcome.file_sizes.empty()) << run << ": a stream that was never made wrote a file";
        EXPECT_EQ(outcome.messages, reference.messages) << run << ": the layer report is still told";
        break;
      case HostCall::kStreamWrite:
        EXPECT_EQ(outcome.file_sizes, std::vector<std::int64_t>(reference.file_sizes.size(), 0)) << run;
        EXPECT_EQ(outcome.messages, reference.messages) << run << ": the layer report is still told";
        break;
      case HostCall::kMessageBox:
        EXPECT_EQ(outcome.messages + 1, reference.messages) << run;
        EXPECT_EQ(outcome.file_sizes, reference.file_sizes) << run;
        break;
      default:
        break;
    }
  }

  HangWatch watch_;
};

TEST_P(EveryHostCall, FailsOneCallAtATime) {
  const Outcome reference = Import(board(), QuietTestMode(), {});
  ASSERT_TRUE(reference.imported);
  std::string counts;
  std::uint64_t runs = 0;
  for (std::size_t kind = 0; kind < orv::kHostCallKinds; ++kind) {
    const auto call_kind = static_cast<HostCall>(kind);
    runs += FailEachCall(call_kind, reference);
    counts += std::string(kind == 0 ? "" : ", ") + std::string(orv::HostCallName(call_kind)) + " " +
              std::to_string(reference.calls[kind]);
    ASSERT_EQ(test_support::LeakCheck(), 0)
        << board().name << ": failed " << orv::HostCallName(call_kind) << " calls lost memory (the leak report above)";
  }
  // A plan beyond the last call changes nothing.
  const Outcome unchanged = Import(board(), QuietTestMode(), {{HostCall::kCreate, reference.calls[0] + 1}});
  EXPECT_TRUE(unchanged.fired.empty());
  EXPECT_EQ(FirstDifference(reference.objects, unchanged.objects, {}, true), "");
  std::printf("%s: %s calls; %llu runs\n", board().name.c_str(), counts.c_str(), static_cast<unsigned long long>(runs));
}

// The functions the run calls: the server's from its trace, and every function of the host
// program (its few are all called, or called only on some boards).
std::vector<std::string> CalledNames(const Board& board) {
  std::FILE* trace = std::tmpfile();
  EXPECT_NE(trace, nullptr);
  if (trace == nullptr) return {};
  Import(board, QuietTestMode(), {}, trace);
  std::rewind(trace);
  std::set<std::string> called;
  char line[4096];
  while (std::fgets(line, sizeof line, trace) != nullptr) called.insert(std::string(line, std::strcspn(line, "(")));
  std::fclose(trace);
  std::vector<std::string> names;
  for (const char* name : HostBinding::Names()) {
    const bool server = std::string_view(name).starts_with("PcbApi_");
    if ((!server || called.count(name) != 0) && std::find(names.begin(), names.end(), name) == names.end()) {
      names.emplace_back(name);
    }
  }
  return names;
}

// The objects of a run as (handle, kind) only: what a run without one function still makes.
std::vector<std::string> Kinds(const Objects& objects) {
  std::vector<std::string> kinds;
  for (const std::string& text : objects) {
    const std::size_t at = text.find("\"ObjectId\":");
    kinds.push_back(at == std::string::npos ? "" : text.substr(at, text.find(',', at) - at));
  }
  return kinds;
}

TEST_P(EveryHostCall, RunsWithoutEachFunctionItCalls) {
  const Outcome reference = Import(board(), QuietTestMode(), {});
  const std::vector<std::string> reference_kinds = Kinds(reference.objects);
  const std::vector<std::string> names = CalledNames(board());
  for (const std::string& name : names) {
    const std::string run = board().name + ": without " + name;
    watch_.Start(run);
    HostBinding::BindAllExcept(name.c_str());
    const Outcome outcome = Import(board(), QuietTestMode(), {});
    HostBinding::BindAllExcept(nullptr);
    EXPECT_TRUE(outcome.imported) << run;
    // Without a way to make objects there are none; with one, every record still makes its
    // object under the handle it has in the whole run (and rules the run could not remove may
    // stay).
    if (name == "PcbApi_CreateObject" || name == "PcbApi_CreateRuleObject") continue;
    const std::vector<std::string> kinds = Kinds(outcome.objects);
    for (std::size_t handle = 0; handle < reference_kinds.size(); ++handle) {
      if (reference_kinds[handle].empty()) continue;
      if (handle >= kinds.size() || kinds[handle] != reference_kinds[handle]) {
        ADD_FAILURE() << run << ": object " << handle << " is " << (handle < kinds.size() ? kinds[handle] : "")
                      << ", without the failure " << reference_kinds[handle];
        break;
      }
    }
  }
  EXPECT_EQ(test_support::LeakCheck(), 0) << board().name << ": runs without a function lost memory";
  std::printf("%s: %zu functions, each left unbound once\n", board().name.c_str(), names.size());
}

INSTANTIATE_TEST_SUITE_P(Boards, EveryHostCall, ::testing::Range<std::size_t>(0, 14),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           std::string name = TestBoards()[info.param].name;
                           for (char& c : name) c = (c == '-' || c == '.') ? '_' : c;
                           return name;
                         });

// A rules dialog that cannot be shown leaves its boxes as it prepared them: every family is made
// in full, as if the user had changed nothing, and the run goes on.
TEST(HostFaultsOnce, DialogThatCannotBeShownLeavesEveryFamilyOn) {
  const Board board{"dialog", test_support::WriteFile(test_support::UniqueBoardPath("dialog"), BoardWithDialog())};
  HostOptions unticking;
  unticking.quiet = true;
  unticking.uncheck = {"RoutingTrackWidthCheckbox"};
  HostOptions untouched;
  untouched.quiet = true;
  const Outcome as_prepared = Import(board, untouched, {});
  const Outcome unticked = Import(board, unticking, {});
  ASSERT_EQ(unticked.calls[static_cast<std::size_t>(HostCall::kDialog)], 1u);
  ASSERT_NE(FirstDifference(as_prepared.objects, unticked.objects, {}, true), "") << "unticking changes nothing";

  const Outcome failed = Import(board, unticking, {{HostCall::kDialog, 1}});
  ASSERT_EQ(failed.fired.size(), 1u);
  EXPECT_TRUE(failed.imported);
  EXPECT_EQ(FirstDifference(as_prepared.objects, failed.objects, {}, true), "");
}

// The abort confirmation that cannot be shown answers 0, which is not "yes": the Escape is
// dropped and the run goes on to its normal end, as if it had never been pressed.
TEST(HostFaultsOnce, AbortConfirmationThatCannotBeShownDoesNotAbort) {
  const Board& board = TestBoards().back();
  HostOptions confirming = QuietTestMode();
  confirming.confirm_abort = {true};
  const Outcome aborted = Import(board, confirming, {}, nullptr, true);
  ASSERT_FALSE(aborted.imported);
  const Outcome whole = Import(board, QuietTestMode(), {});

  const Outcome failed = Import(board, confirming, {{HostCall::kMessageBox, 1}}, nullptr, true);
  ASSERT_EQ(failed.fired.size(), 1u);
  EXPECT_TRUE(failed.imported);
  EXPECT_EQ(FirstDifference(whole.objects, failed.objects, {}, true), "");
}

}  // namespace
