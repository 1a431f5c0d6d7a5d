// Host calls made to fail on purpose, so that a test can see what the importer does when the
// host refuses: the N-th call of a kind while the plan is armed gives the host's failure answer
// and has no other effect. The server module and the host program ask the one plan of the
// process before each call of a kind that can fail; while nothing is armed that is one test.
//
//   orv::HostFaults& faults = orv::Faults();
//   faults.Plan(orv::HostCall::kCreate, 3);  // the third object creation gives no object
//   faults.Begin();
//   ImportFile(name);
//   faults.End();
//   faults.Calls(orv::HostCall::kLoad);      // loads made in between
//   faults.Fired();                          // the planned calls that came, and what they were
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The kinds of call that can be made to fail, and the failure answer of each.
enum class HostCall : std::uint8_t {
  kCreate,        // PcbApi_CreateObject, PcbApi_CreateRuleObject: handle 0; the handle is used up
  kLoad,          // an exchange function with direction 1: result 1, the caller's record untouched
  kStore,         // an exchange function with direction 0: result 1, the object unchanged
  kProgress,      // PcbApi_Percent_Init, _Update, _Finish: result 1, no progress shown
  kStreamCreate,  // VFSAPI_VFS_StreamCreate: stream 0, no file
  kStreamWrite,   // VFSAPI_VFS_StreamWrite: 0 bytes written
  kMessageBox,    // MessageBoxA: 0, nothing shown or answered
  kDialog,        // ViderveUI_ShowModal: -1, nothing shown, the check boxes as they were
};
inline constexpr std::size_t kHostCallKinds = 8;

// The kind's name in VIDERAVE_FAIL and in messages ("create", "stream-write", ...).
std::string_view HostCallName(HostCall kind);

// A planned failure that came: which call of its kind it was, the host function, the object the
// call was about (0 for none; for a creation, the handle the object would have had) and the
// number of handles given out when it came (every later object has a handle at least that).
struct FiredFault {
  HostCall kind;
  std::uint64_t call;
  const char* function;
  std::uint32_t object;
  std::uint32_t handle_limit;
};

class HostFaults {
 public:
  // Counts a call of the kind while armed; true when it is a planned failure, which the caller
  // then answers as the kind's comment says.
  bool Fails(HostCall kind, const char* function, std::uint32_t object = 0) {
    if (!armed_) return false;
    return Count(kind, function, object);
  }

  // The call-th call (1-based) of the kind is to fail.
  void Plan(HostCall kind, std::uint64_t call) { planned_.push_back({kind, call}); }
  void ClearPlan() {
    planned_.clear();
    counts_asked_ = false;
  }
  // Counts from zero and fails the planned calls until End().
  void Begin();
  void End() { armed_ = false; }

  [[nodiscard]] bool Armed() const { return armed_; }
  [[nodiscard]] std::uint64_t Calls(HostCall kind) const { return calls_[static_cast<std::size_t>(kind)]; }
  [[nodiscard]] const std::vector<FiredFault>& Fired() const { return fired_; }
  [[nodiscard]] bool HasPlan() const { return !planned_.empty(); }

  // Reads a plan: "KIND:N[,KIND:N...]", KIND one of the names above, and the word "count",
  // which asks for the calls of every kind to be told. False, with the reason, for anything else.
  bool ParsePlan(std::string_view text, std::string& error);
  [[nodiscard]] bool CountsAsked() const { return counts_asked_; }
  // "create 50, load 3298, ...": the calls of every kind since Begin().
  [[nodiscard]] std::string CallCounts() const;

 private:
  struct PlannedCall {
    HostCall kind;
    std::uint64_t call;
  };
  bool Count(HostCall kind, const char* function, std::uint32_t object);

  bool armed_ = false;
  bool counts_asked_ = false;
  std::array<std::uint64_t, kHostCallKinds> calls_{};
  std::vector<PlannedCall> planned_;
  std::vector<FiredFault> fired_;
};

// The process's plan, shared by the server module and the host program.
HostFaults& Faults();

}  // namespace orv
