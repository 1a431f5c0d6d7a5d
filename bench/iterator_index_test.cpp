// The server's iterator index is rebuilt only for buckets that changed (the link pass makes
// hundreds of iterators while primitives join nets); whatever the order of joins, departures
// and layer changes, an iterator must yield exactly what a full scan of the container gives:
// its direct members of the kind on the layer in join order, each followed by its own members
// of that kind and layer that are not direct members themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "host/api/layer_id.h"
#include "host/api/vocabulary.h"
#include "host/core_calls.h"
#include "standin/orvpcb/model.h"

namespace {

bool DirectlyIn(const orv::Model& model, std::uint32_t object, std::uint32_t container) {
  const orv::Object* found = model.Find(object);
  if (found == nullptr) return false;
  return std::any_of(found->containers.begin(), found->containers.end(),
                     [&](const orv::Membership& m) { return m.container == container; });
}

bool Matches(const orv::Model& model, std::uint32_t object, std::uint8_t kind, std::uint8_t layer) {
  return model.KindOf(object) == kind && static_cast<std::uint8_t>(model.GetNumber(object, "Layer")) == layer;
}

std::vector<std::uint32_t> Expected(const orv::Model& model, std::uint32_t container, std::uint8_t kind,
                                    std::uint8_t layer) {
  std::vector<std::uint32_t> items;
  for (std::uint32_t member : model.Members(container)) {
    if (Matches(model, member, kind, layer)) items.push_back(member);
    for (std::uint32_t inner : model.Members(member)) {
      if (!DirectlyIn(model, inner, container) && Matches(model, inner, kind, layer)) items.push_back(inner);
    }
  }
  return items;
}

std::vector<std::uint32_t> Iterated(std::uint32_t container, std::uint8_t kind, std::uint8_t layer) {
  std::vector<std::uint32_t> items;
  const std::uint32_t iterator = host::PcbApi_CreateIterator(container, kind, 0, layer_id::FromNumber(layer));
  for (std::uint32_t o = host::PcbApi_GetFirstObject(iterator); o != 0; o = host::PcbApi_GetNextObject(iterator)) {
    items.push_back(o);
  }
  host::PcbApi_DestroyIterator(iterator);
  return items;
}

TEST(IteratorIndex, YieldsWhatAFullScanGivesAfterEveryKindOfChange) {
  orv::Model& model = orv::Server();
  model.Reset();
  const std::uint32_t board = model.OpenBoard("/bench/iterator-index.PCB");
  std::mt19937 random(7);
  const auto pick = [&](const std::vector<std::uint32_t>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
  };
  constexpr std::uint8_t kKinds[] = {KindCode(ObjectKind::kArc), KindCode(ObjectKind::kPad),
                                     KindCode(ObjectKind::kTrack)};
  constexpr std::uint8_t kLayers[] = {1, 2, 32, 74};
  std::vector<std::uint32_t> groups;  // nets and components, on the board
  for (std::uint8_t kind : {std::uint8_t{8}, std::uint8_t{9}, std::uint8_t{8}, std::uint8_t{9}}) {
    groups.push_back(model.Create(kind));
    model.AddToContainer(board, groups.back());
  }
  std::vector<std::uint32_t> primitives;
  for (int step = 0; step < 3000; ++step) {
    const int action = std::uniform_int_distribution<int>(0, 9)(random);
    if (action <= 2 || primitives.size() < 4) {  // a new primitive on the board or only in a group
      const std::uint32_t made = model.Create(kKinds[step % 3]);
      model.SetNumber(made, "Layer", kLayers[step % 4]);
      host::PcbApi_AddObjectToContainer(action == 0 ? pick(groups) : board, made);
      primitives.push_back(made);
    } else if (action <= 4) {  // joins a group
      host::PcbApi_AddObjectToContainer(pick(groups), pick(primitives));
    } else if (action == 5) {  // leaves a group or the board (and may be destroyed)
      const std::uint32_t object = pick(primitives);
      const bool from_board = std::uniform_int_distribution<int>(0, 1)(random) == 0;
      host::PcbApi_DeleteObjectFromContainer(from_board ? board : pick(groups), object);
    } else if (action == 6) {  // moves to another layer
      model.SetNumber(pick(primitives), "Layer", kLayers[std::uniform_int_distribution<int>(0, 3)(random)]);
    } else if (action == 7 && step % 50 == 0) {  // a new group joins with its members
      const std::uint32_t group = model.Create(KindCode(ObjectKind::kComponent));
      for (int i = 0; i < 3; ++i) model.AddToContainer(group, pick(primitives));
      host::PcbApi_AddObjectToContainer(board, group);
      groups.push_back(group);
    }
    const std::uint8_t kind = kKinds[std::uniform_int_distribution<int>(0, 2)(random)];
    const std::uint8_t layer = kLayers[std::uniform_int_distribution<int>(0, 3)(random)];
    ASSERT_EQ(Iterated(board, kind, layer), Expected(model, board, kind, layer)) << "step " << step;
  }
  model.Reset();
}

}  // namespace
