// Micro-benchmarks of host calls through the plug-in's wrappers against the stand-in server:
// one round of what a reader does per record (create, load, store, add to the board), and one
// link step through the per-handle access. Reported per round.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "host/core_calls.h"
#include "host/object_access.h"
#include "host/object_calls.h"
#include "host/pcb_objects.h"
#include "standin/orvpcb/model.h"

namespace {

// Objects made per board before the server is emptied again, so that a long run stays small.
constexpr std::int64_t kRoundsPerBoard = 200000;

class Board {
 public:
  Board() { Open(); }
  // A fresh board now and then; the time spent on it is not counted.
  std::uint32_t Handle(benchmark::State& state) {
    if (++rounds_ % kRoundsPerBoard == 0) {
      state.PauseTiming();
      Open();
      state.ResumeTiming();
    }
    return board_;
  }

 private:
  void Open() {
    orv::Server().Reset();
    board_ = orv::Server().OpenBoard("/bench/host-calls.PCB");
  }
  std::uint32_t board_ = 0;
  std::int64_t rounds_ = 0;
};

template <typename Wrapper>
std::uint32_t MakeRound(std::uint32_t board, std::uint8_t kind, std::int32_t i) {
  Wrapper wrapper(host::PcbApi_CreateObject(kind));
  wrapper.Load();
  wrapper.X = i;
  wrapper.Y = 2 * i;
  wrapper.SetLayerNumber(1);
  wrapper.Net = i % 100;
  wrapper.Store();
  host::PcbApi_AddObjectToContainer(board, wrapper.Handle);
  return wrapper.Handle;
}

void BM_TrackRound(benchmark::State& state) {
  Board board;
  std::int32_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(MakeRound<TPcbTrack>(board.Handle(state), 4, ++i));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrackRound);

// A pad load also asks for shape, size, corner radius and percentage on each of 83 layers.
void BM_PadRound(benchmark::State& state) {
  Board board;
  std::int32_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(MakeRound<TPcbPad>(board.Handle(state), 2, ++i));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PadRound);

// One per-layer query, the call a pad load makes 332 times.
void BM_PadLayerQuery(benchmark::State& state) {
  Board board;
  const std::uint32_t pad = MakeRound<TPcbPad>(board.Handle(state), 2, 1);
  std::uint8_t layer = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  for (auto _ : state) {
    host::PcbApi_QueryPadOrViaSizeOnLayer(pad, layer, &x, &y);
    layer = static_cast<std::uint8_t>(layer == 82 ? 0 : layer + 1);
    benchmark::DoNotOptimize(x);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PadLayerQuery);

// The link pass's net step on a pad and on a track: read the net number, write the handle back.
template <typename Wrapper>
void LinkStep(benchmark::State& state, std::uint8_t kind) {
  Board board;
  const std::uint32_t object = MakeRound<Wrapper>(board.Handle(state), kind, 1);
  std::int32_t net = 0;
  for (auto _ : state) {
    net += GetNetLink(object);
    SetNetLink(object, net & 0xFF);
  }
  benchmark::DoNotOptimize(net);
  state.SetItemsProcessed(state.iterations());
}

void BM_PadLinkStep(benchmark::State& state) { LinkStep<TPcbPad>(state, 2); }
BENCHMARK(BM_PadLinkStep);

void BM_TrackLinkStep(benchmark::State& state) { LinkStep<TPcbTrack>(state, 4); }
BENCHMARK(BM_TrackLinkStep);

}  // namespace
