// The import command of the host program.
#include "standin/host/import_command.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "standin/host/document.h"
#include "standin/host/plugin_loader.h"
#include "standin/orvpcb/host_faults.h"
#include "standin/orvpcb/model.h"
#include "viewers/kicad_export.h"
#include "viewers/svg_writer_board.h"
#include "viewers/view_from_model.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != nullptr) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A bar on the terminal, redrawn at most a few times a second.
class ProgressBar {
 public:
  explicit ProgressBar(bool visible) : visible_(visible) {}
  void Start(std::string_view caption, std::int32_t total) {
    caption_ = caption;
    total_ = total;
    Draw(0, true);
  }
  void Update(std::int32_t steps) { Draw(steps, false); }
  void Finish() {
    if (visible_ && drawn_) std::cerr << "\r\033[K" << std::flush;
  }

 private:
  void Draw(std::int32_t steps, bool force) {
    if (!visible_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    drawn_ = true;
    constexpr int kWidth = 30;
    const double fraction = total_ > 0 ? std::min(1.0, static_cast<double>(steps) / total_) : 0.0;
    const int filled = static_cast<int>(fraction * kWidth);
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), ' ') << "] " << static_cast<int>(fraction * 100)
              << "% " << caption_.substr(0, 60) << " (Esc aborts)" << std::flush;
  }

  bool visible_;
  bool drawn_ = false;
  std::string caption_;
  std::int32_t total_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

// VIDERAVE_TIMING=1 asks for the time of the import and of the document writing on stderr (for
// the benchmarks); nothing else changes.
bool TimingAsked() {
  const char* value = std::getenv("VIDERAVE_TIMING");
  return value != nullptr && std::string_view(value) == "1";
}

double Seconds(std::chrono::steady_clock::duration span) { return std::chrono::duration<double>(span).count(); }

// Longest file name a counted string holds.
constexpr std::size_t kMaxFileName = 255;

bool Readable(const fs::path& path, std::string& why) {
  std::error_code error;
  if (!fs::exists(path, error)) {
    why = "no such file";
    return false;
  }
  if (fs::is_directory(path, error)) {
    why = "is a folder, not a file";
    return false;
  }
  if (access(path.string().c_str(), R_OK) != 0) {
    why = std::strerror(errno);
    return false;
  }
  return true;
}

// The first line of a file as a user can read it back: at most 60 characters, bytes outside
// printable ASCII written as \xNN.
std::string QuotedFirstLine(const std::string& file_name) {
  constexpr std::size_t kShown = 60;
  File file(std::fopen(file_name.c_str(), "rb"));
  std::string quoted = "\"";
  std::size_t shown = 0;
  for (int c = file ? std::fgetc(file.get()) : EOF; c != EOF && c != '\n' && c != '\r'; c = std::fgetc(file.get())) {
    if (shown++ == kShown) {
      quoted += "...";
      break;
    }
    if (c >= 0x20 && c < 0x7F) {
      quoted += static_cast<char>(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
      quoted += escaped;
    }
  }
  return quoted + "\"";
}

// Why an import the importer ended with 0 did not complete, as far as the host can tell: the
// file, the importer's own recognition, or the user's answer to the abort confirmation.
std::string WhyNotImported(const PluginModule& plugin, const std::string& file_name, const HostSession& session) {
  std::error_code error;
  const auto size = fs::file_size(file_name, error);
  if (error) return "the file could no longer be read";
  if (size == 0) return "the file is empty";
  if (!plugin.Recognised(file_name)) {
    return "not a text PCB file: its first line is " + QuotedFirstLine(file_name) +
           ", not a banner of this family (PCB FILE 6 ...)";
  }
  for (const auto& message : session.messages) {
    const auto type = message.value("Type", 0u);
    if ((type & 0xFu) == MB_YESNO && message.value("Answer", 0) == IDYES) return "aborted: the abort was confirmed";
  }
  return "the importer ended early";
}

// What the failed host calls of the run did, for the closing message: "PcbApi_CreateObject gave
// no object (create call 3 of 50, failed as VIDERAVE_FAIL asked)".
std::string FailedCalls(const orv::HostFaults& faults) {
  std::string text;
  for (const orv::FiredFault& fault : faults.Fired()) {
    if (!text.empty()) text += "; ";
    text += fault.function;
    switch (fault.kind) {
      case orv::HostCall::kCreate:
        text += " gave no object";
        break;
      case orv::HostCall::kLoad:
        text += " could not load object " + std::to_string(fault.object);
        break;
      case orv::HostCall::kStore:
        text += " could not store object " + std::to_string(fault.object);
        break;
      case orv::HostCall::kProgress:
        text += " failed: no progress shown";
        break;
      case orv::HostCall::kStreamCreate:
        text += " gave no stream: the report file was not written";
        break;
      case orv::HostCall::kStreamWrite:
        text += " wrote nothing: the report file is incomplete";
        break;
      case orv::HostCall::kMessageBox:
        text += " could not show its message";
        break;
      case orv::HostCall::kDialog:
        text += " could not show the rules dialog";
        break;
    }
    text += " (" + std::string(orv::HostCallName(fault.kind)) + " call " + std::to_string(fault.call) + " of " +
            std::to_string(faults.Calls(fault.kind)) + ", failed as VIDERAVE_FAIL asked)";
  }
  return text;
}

// VIDERAVE_FAIL=KIND:N[,KIND:N...] makes the N-th host call of a kind fail during the import, and
// VIDERAVE_FAIL=count has the calls of every kind told (host_faults.h). False when it is not
// understood.
bool PlanFaults(orv::HostFaults& faults) {
  faults.ClearPlan();
  const char* plan = std::getenv("VIDERAVE_FAIL");
  std::string error;
  if (plan == nullptr || faults.ParsePlan(plan, error)) return true;
  std::cerr << "viderave: VIDERAVE_FAIL: " << error << "\n";
  return false;
}

// The calls of every kind when they were asked for, and planned failures whose call never came:
// told even with --quiet, since the environment asked for them.
void TellFaultPlan(const orv::HostFaults& faults) {
  if (faults.CountsAsked()) std::cerr << "viderave: host calls: " << faults.CallCounts() << "\n";
  if (faults.HasPlan() && faults.Fired().empty()) {
    std::cerr << "viderave: VIDERAVE_FAIL: no planned call came (host calls: " << faults.CallCounts() << ")\n";
  }
}

// Takes the progress observers off the model when the run ends.
class ObserversOfRun {
 public:
  explicit ObserversOfRun(orv::Model& model) : model_(model) {}
  ~ObserversOfRun() {
    model_.observers.on_percent_init = nullptr;
    model_.observers.on_percent_update = nullptr;
    model_.observers.on_percent_finish = nullptr;
  }
  ObserversOfRun(const ObserversOfRun&) = delete;
  ObserversOfRun& operator=(const ObserversOfRun&) = delete;

 private:
  orv::Model& model_;
};

}  // namespace

std::string DefaultDocumentPath(const std::string& absolute_file) {
  fs::path beside = fs::path(absolute_file).replace_extension(".json");
  if (access(beside.parent_path().string().c_str(), W_OK) == 0) return beside.string();
  return (fs::current_path() / beside.filename()).string();
}

int RunImport(const ImportRequest& request) {
  std::ostream& say = *request.options.messages;
  HostSession& session = Session();
  session.options = request.options;
  const fs::path absolute = fs::absolute(request.file).lexically_normal();
  std::string why;
  if (!Readable(absolute, why)) {
    say << "viderave: cannot read " << request.file << ": " << why << "\n";
    return 2;
  }
  // The importer receives the full name as a counted string of at most 255 characters; a longer
  // name would reach it cut, naming another file or none, and the board would be left empty.
  const std::string file_name = absolute.string();
  if (file_name.size() > kMaxFileName) {
    say << "viderave: cannot import " << request.file << ": its full name has " << file_name.size()
        << " characters, the importer takes at most " << kMaxFileName << "\n";
    return 2;
  }
  orv::HostFaults& faults = orv::Faults();
  if (!PlanFaults(faults)) return 2;
  const PluginModule plugin(request.plugin_path.empty() ? DefaultPluginPath() : request.plugin_path);
  if (!plugin.Loaded()) {
    say << "viderave: cannot load the importer: " << plugin.Error() << "\n";
    return 2;
  }

  orv::Model& model = orv::Server();
  File trace;
  if (!request.trace_path.empty()) {
    trace.reset(std::fopen(request.trace_path.c_str(), "w"));
    if (!trace) {
      say << "viderave: cannot write the trace " << request.trace_path << ": " << std::strerror(errno) << "\n";
      return 2;
    }
  }

  // The bar is drawn where the messages go, on a terminal.
  ProgressBar bar(!request.options.quiet && request.options.messages == &std::cerr && isatty(STDERR_FILENO) != 0);
  // The observers refer to this run's bar and request: they are taken off the model however the
  // run ends, so that a later run in the same process (the WebAssembly module's) never reaches them.
  std::string caption;
  std::int32_t total = 0;
  const ObserversOfRun observers_of_run(model);
  model.observers.on_percent_init = [&](std::string_view new_caption, std::int32_t new_total) {
    bar.Start(new_caption, new_total);
    caption = new_caption;
    total = new_total;
    if (request.on_progress && request.on_progress(caption, 0, total)) PostEscapeKey();
  };
  model.observers.on_percent_update = [&](std::int32_t steps) {
    bar.Update(steps);
    for (const std::int32_t at : session.options.escape_at) {
      if (at == steps) PostEscapeKey();
    }
    if (request.on_progress && request.on_progress(caption, steps, total)) PostEscapeKey();
  };
  model.observers.on_percent_finish = [&bar] { bar.Finish(); };

  const std::uint32_t board = model.OpenBoard(file_name);
  // The trace shows the plug-in's calls only, not the host's own making of the new board.
  model.SetTrace(trace.get());
  const bool timing = TimingAsked();
  const auto import_start = std::chrono::steady_clock::now();
  bool imported = false;
  {
    TerminalKeys keys;
    faults.Begin();
    imported = plugin.Import(file_name);
    faults.End();
  }
  model.SetTrace(nullptr);
  const auto import_end = std::chrono::steady_clock::now();
  if (timing) std::fprintf(stderr, "timing: import %.6f s\n", Seconds(import_end - import_start));

  if (!request.no_document) {
    const std::string json_path = request.json_path.empty() ? DefaultDocumentPath(file_name) : request.json_path;
    const auto document_start = std::chrono::steady_clock::now();
    File out(std::fopen(json_path.c_str(), "wb"));
    if (!out || !WriteBoardDocument(model, board, file_name, out.get())) {
      say << "viderave: cannot write the document " << json_path << ": " << std::strerror(errno) << "\n";
      return 2;
    }
    if (timing) {
      const long bytes = std::ftell(out.get());
      out.reset();  // closed: the bytes are with the system
      const double seconds = Seconds(std::chrono::steady_clock::now() - document_start);
      std::fprintf(stderr, "timing: document %.6f s %ld bytes\n", seconds, bytes);
    }
    if (!request.options.quiet) say << "viderave: board document written to " << json_path << "\n";
  }
  // The viewers read the board from the model: no document is made for them.
  if (!request.svg_path.empty()) {
    view::BoardView board_view;
    std::string error;
    if (!view::FillFromModel(model, board, file_name, board_view, error)) {
      say << "viderave: cannot view the board: " << error << "\n";
      return 2;
    }
    svg::SvgWriter picture;
    picture.AddView(board_view);
    if (!svg::WritePicture(picture, request.svg_path, error)) {
      say << "viderave: cannot write the picture " << request.svg_path << ": " << error << "\n";
      return 2;
    }
    if (!request.options.quiet) say << "viderave: picture written to " << request.svg_path << "\n";
  }
  if (!request.kicad_path.empty()) {
    // Read a few objects at a time: the board is not held a second time beside the model.
    const auto kicad_start = std::chrono::steady_clock::now();
    view::ModelObjects objects(model, board);
    const kicad::ExportResult exported = kicad::ExportKicad(objects, request.kicad_path);
    if (timing) std::fprintf(stderr, "timing: kicad %.6f s\n", Seconds(std::chrono::steady_clock::now() - kicad_start));
    if (!exported.ok) {
      say << "viderave: " << exported.error << "\n";
      return 2;
    }
    if (request.kicad_summary) {
      std::cout << "objects " << exported.objects << " rules " << exported.rules << " footprints "
                << exported.library_footprints << "\n";
    }
    if (!request.options.quiet) say << "viderave: " << kicad::Summary(exported, request.kicad_path) << "\n";
  }
  // A host call that failed leaves the board as the importer could make it without that call:
  // the import did not complete, whatever the importer answered.
  const bool host_failed = !faults.Fired().empty();
  TellFaultPlan(faults);
  if (!request.options.quiet) {
    if (host_failed) {
      say << "viderave: import did not complete: " << request.file
          << ": a host call failed: " << FailedCalls(faults) << "\n";
    } else if (imported) {
      say << "viderave: imported " << request.file << "\n";
    } else {
      say << "viderave: import did not complete: " << request.file << ": "
          << WhyNotImported(plugin, file_name, session) << "\n";
    }
  }
  return imported && !host_failed ? 0 : 1;
}
