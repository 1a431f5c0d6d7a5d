// The plug-in alone: imports a file several times against the recording host (no board model
// behind the host functions) and prints the median time, the rate in MB/s and the host calls per
// import, so that the plug-in's own cost per MB is known apart from the stand-in server's.
//
//   plugin_alone_bench FILE [RUNS]
//
// The recording host is loaded first, under the server module's name, as the real host loads its
// server before any plug-in; then the plug-in, which binds its host functions from it by name.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "host/short_string.h"

namespace {

using ImportFunction = std::uint8_t(const std::uint8_t*, const std::uint8_t*);
using CallCountFunction = std::int64_t();

void* Load(const std::string& path) {
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
  if (module == nullptr) {
    std::fprintf(stderr, "plugin_alone_bench: cannot load %s: %s\n", path.c_str(), dlerror());
    std::exit(2);
  }
  return module;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: plugin_alone_bench FILE [RUNS]\n");
    return 2;
  }
  const std::string file = std::filesystem::absolute(argv[1]).lexically_normal().string();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::error_code error;
  const auto bytes = std::filesystem::file_size(file, error);
  if (error || file.size() > 255) {
    std::fprintf(stderr, "plugin_alone_bench: cannot import %s\n", file.c_str());
    return 2;
  }

  void* host = Load(VIDERAVE_RECORDING_HOST);
  void* plugin = Load(VIDERAVE_PLUGIN_MODULE);
  auto* import = reinterpret_cast<ImportFunction*>(dlsym(plugin, "ImportFileIntoPcb"));
  auto* take_calls = reinterpret_cast<CallCountFunction*>(dlsym(host, "RecordingHost_TakeCallCount"));
  if (import == nullptr || take_calls == nullptr) {
    std::fprintf(stderr, "plugin_alone_bench: the modules lack their functions\n");
    return 2;
  }

  const ShortString<255> name(file);
  const ShortString<255> unused;
  std::vector<double> seconds;
  std::int64_t calls = 0;
  for (int run = 0; run < runs; ++run) {
    take_calls();
    const auto start = std::chrono::steady_clock::now();
    import(name.Raw(), unused.Raw());
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    calls = take_calls();
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  const double megabytes = static_cast<double>(bytes) / 1e6;
  std::printf("plug-in alone: %.1f MB in %.3f s (median of %d), %.1f MB/s, %lld host calls\n", megabytes, median,
              runs, megabytes / median, static_cast<long long>(calls));
  return 0;
}
