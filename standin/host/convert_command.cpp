// The convert command: finds the files, runs one child process per file, collects the results.
#include "standin/host/convert_command.h"

#if defined(_WIN32)
#include <iostream>

// Child processes of the importer are made with posix_spawn; the Windows build of the host
// imports one file at a time.
int RunConvert(const ConvertRequest&) {
  std::cerr << "viderave: convert is not available in this build; import the files one by one\n";
  return 2;
}
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "standin/host/plugin_loader.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Job {
  fs::path file;
  fs::path relative;
  fs::path board;
  std::string version;  // from the banner: "2.80", or "6" for a file with no version
  std::string log;      // the child's standard output and error
  std::string objects = "-", rules = "-", footprints = "-";
  bool ok = false;
  std::string result;
};

bool HasPcbExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension == ".PCB";
}

// "2.80" from "PCB FILE 6 VERSION 2.80"; "6" when the banner names no version.
std::string BannerVersion(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  std::getline(in, line);
  if (line.size() > 255) line.resize(255);
  const std::size_t at = line.find("VERSION ");
  if (at == std::string::npos) return line.find("PCB FILE 6") != std::string::npos ? "6" : "-";
  std::string version = line.substr(at + 8);
  while (!version.empty() && std::isspace(static_cast<unsigned char>(version.back()))) version.pop_back();
  return version.substr(0, 8);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The last line of a child's messages that says what went wrong.
std::string Reason(const std::string& log) {
  std::istringstream lines(log);
  std::string line, last;
  while (std::getline(lines, line)) {
    if (line.rfind("viderave: ", 0) == 0) last = line.substr(10);
  }
  return last;
}

class Runner {
 public:
  Runner(const ConvertRequest& request, std::string program) : request_(request), program_(std::move(program)) {}

  // Starts the job's child; false (with the job's result set) when it cannot be started.
  bool Start(Job& job, int index) {
    char name[] = "/tmp/viderave-convert-XXXXXX";
    const int log = mkstemp(name);
    if (log < 0) return Fail(job, std::string("cannot make a log file: ") + std::strerror(errno));
    job.log = name;
    std::vector<std::string> words = {program_};
    if (!request_.plugin_path.empty()) words.insert(words.end(), {"--plugin", request_.plugin_path});
    words.insert(words.end(), {"import", job.file.string(), "--kicad", job.board.string(), "--no-document",
                               "--test-mode", "--quiet", "--kicad-summary"});
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // No child ever waits on a terminal: its input is empty, its output goes to the log.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, log, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, log, STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, log);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(log);
    if (error != 0) {
      std::remove(job.log.c_str());
      return Fail(job, std::string("cannot start the importer: ") + std::strerror(error));
    }
    running_[pid] = index;
    return true;
  }

  // Waits for one child; the index of its job, or -1 when none runs.
  int WaitOne(std::vector<Job>& jobs) {
    if (running_.empty()) return -1;
    int status = 0;
    pid_t pid;
    do {
      pid = waitpid(-1, &status, 0);
    } while (pid < 0 && errno == EINTR);
    const auto found = running_.find(pid);
    if (found == running_.end()) return pid < 0 ? Abandon(jobs) : WaitOne(jobs);
    const int index = found->second;
    running_.erase(found);
    Finish(jobs[static_cast<std::size_t>(index)], status);
    return index;
  }

  [[nodiscard]] std::size_t Running() const { return running_.size(); }

 private:
  static bool Fail(Job& job, std::string why) {
    job.ok = false;
    job.result = "failed: " + std::move(why);
    return false;
  }

  // waitpid failed with children still listed: nothing more can be learnt of them.
  int Abandon(std::vector<Job>& jobs) {
    const int index = running_.begin()->second;
    running_.erase(running_.begin());
    Fail(jobs[static_cast<std::size_t>(index)], "lost track of the importer process");
    return index;
  }

  static void Finish(Job& job, int status) {
    const std::string log = ReadAll(job.log);
    std::remove(job.log.c_str());
    std::istringstream words(log);
    std::string word;
    while (words >> word) {
      if (word == "objects") words >> job.objects;
      if (word == "rules") words >> job.rules;
      if (word == "footprints") words >> job.footprints;
    }
    if (WIFSIGNALED(status)) {
      Fail(job, std::string("the importer died: ") + strsignal(WTERMSIG(status)));
    } else if (WEXITSTATUS(status) == 0) {
      job.ok = true;
      job.result = "ok";
    } else {
      const std::string reason = Reason(log);
      Fail(job, reason.empty() ? "exit status " + std::to_string(WEXITSTATUS(status)) : reason);
    }
  }

  const ConvertRequest& request_;
  std::string program_;
  std::map<pid_t, int> running_;
};

void PrintTable(const std::vector<Job>& jobs) {
  std::size_t width = 4;
  for (const Job& job : jobs) width = std::max(width, job.relative.string().size());
  std::cout << std::left << std::setw(static_cast<int>(width)) << "file" << "  " << std::setw(7) << "version" << "  "
            << std::right << std::setw(9) << "objects" << "  " << std::setw(6) << "rules" << "  " << std::setw(10)
            << "footprints" << "  result\n";
  for (const Job& job : jobs) {
    std::cout << std::left << std::setw(static_cast<int>(width)) << job.relative.string() << "  " << std::setw(7)
              << job.version << "  " << std::right << std::setw(9) << job.objects << "  " << std::setw(6) << job.rules
              << "  " << std::setw(10) << job.footprints << "  " << job.result << "\n";
  }
}

}  // namespace

int RunConvert(const ConvertRequest& request) {
  std::error_code error;
  if (!fs::is_directory(request.input_dir, error)) {
    std::cerr << "viderave: cannot convert " << request.input_dir << ": not a folder\n";
    return 2;
  }
  fs::create_directories(request.output_dir, error);
  if (!fs::is_directory(request.output_dir)) {
    std::cerr << "viderave: cannot make the folder " << request.output_dir << ": " << error.message() << "\n";
    return 2;
  }
  const PluginModule plugin(request.plugin_path.empty() ? DefaultPluginPath() : request.plugin_path);
  if (!plugin.Loaded()) {
    std::cerr << "viderave: cannot load the importer: " << plugin.Error() << "\n";
    return 2;
  }
  // Every file the importer recognises, and every other file named *.PCB, which is then
  // reported as not recognised rather than passed over in silence.
  std::vector<Job> jobs;
  const fs::path root = fs::absolute(request.input_dir).lexically_normal();
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, error);
       it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (error) break;
    if (!it->is_regular_file(error)) continue;
    const bool recognised = plugin.Recognised(it->path().string());
    if (!recognised && !HasPcbExtension(it->path())) continue;
    Job job;
    job.file = it->path();
    job.relative = it->path().lexically_relative(root);
    // A project folder of its own: KiCad finds a board's footprint library through the one
    // library table of the board's folder.
    const fs::path stem = job.relative.stem();
    job.board = fs::absolute(request.output_dir) / job.relative.parent_path() / stem / stem;
    job.board += ".kicad_pcb";
    job.version = BannerVersion(job.file);
    if (!recognised) job.result = "failed: not a text PCB file of this family";
    jobs.push_back(std::move(job));
  }
  std::sort(jobs.begin(), jobs.end(), [](const Job& a, const Job& b) { return a.relative < b.relative; });

  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const std::size_t limit = static_cast<std::size_t>(request.jobs > 0 ? request.jobs : static_cast<int>(cores));
  Runner runner(request, "/proc/self/exe");
  std::size_t done = 0;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    Job& job = jobs[i];
    if (!job.result.empty()) continue;
    fs::create_directories(job.board.parent_path(), error);
    while (runner.Running() >= limit) {
      if (runner.WaitOne(jobs) >= 0 && !request.quiet) std::cerr << "viderave: " << ++done << " converted\r" << std::flush;
    }
    runner.Start(job, static_cast<int>(i));
  }
  while (runner.WaitOne(jobs) >= 0) {
    if (!request.quiet) std::cerr << "viderave: " << ++done << " converted\r" << std::flush;
  }
  if (!request.quiet && done > 0) std::cerr << "\n";
  PrintTable(jobs);
  const auto failed = std::count_if(jobs.begin(), jobs.end(), [](const Job& job) { return !job.ok; });
  std::cout << jobs.size() - static_cast<std::size_t>(failed) << " of " << jobs.size() << " files converted, "
            << limit << " at a time\n";
  return failed > 0 ? 1 : 0;
}

#endif  // !_WIN32
