// The plug-in's three exports. Every other symbol stays inside the module.
#include <string>

#include "host/abi.h"
#include "host/host_binding.h"
#include "host/short_string.h"
#include "plugin/header.h"
#include "plugin/import_run.h"

namespace {

constexpr char kDescription[] = "Quorix PCB 2.8 ASCII file (*.PCB)";

// The host's functions are bound when the module is loaded.
const bool kBound = (HostBinding::BindAll(), true);

std::string FileNameOf(const std::uint8_t* counted) { return std::string(CountedView(counted)); }

}  // namespace

extern "C" {

VIDERAVE_EXPORT std::uint8_t VIDERAVE_STDCALL RecognisedPCBFile(const std::uint8_t* file_name) {
  return RecognisedFile(FileNameOf(file_name)) ? 1 : 0;
}

// The second argument is copied by the host's convention and not used.
VIDERAVE_EXPORT std::uint8_t VIDERAVE_STDCALL ImportFileIntoPcb(const std::uint8_t* file_name,
                                                                const std::uint8_t* /*unused*/) {
  return ImportFile(FileNameOf(file_name)) ? 1 : 0;
}

VIDERAVE_EXPORT const char* VIDERAVE_STDCALL GetPcbImporterDescription() { return kDescription; }

}  // extern "C"
