// The stand-in server's iterators: a destroyed iterator's entry is reused by the next one, which
// must start with its own items and leave the iterators still open as they were.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/api/vocabulary.h"
#include "standin/orvpcb/model.h"

namespace {

constexpr auto kTrack = static_cast<std::uint8_t>(ObjectKind::kTrack);
constexpr std::uint8_t kAllMembers = 2;

std::vector<std::uint32_t> Rest(orv::Model& model, std::uint32_t iterator, std::uint32_t first) {
  std::vector<std::uint32_t> items;
  for (std::uint32_t object = first; object != 0; object = model.NextObject(iterator)) items.push_back(object);
  return items;
}

// Every member of a container (a new board already holds the host's default objects).
std::vector<std::uint32_t> Members(orv::Model& model, std::uint32_t container) {
  const std::uint32_t iterator = model.CreateIterator(container, kTrack, kAllMembers, 0);
  std::vector<std::uint32_t> items = Rest(model, iterator, model.FirstObject(iterator));
  model.DestroyIterator(iterator);
  return items;
}

TEST(ModelIterators, AReusedEntryHoldsOnlyItsOwnItemsAndOpenIteratorsGoOn) {
  orv::Model& model = orv::Server();
  const std::uint32_t full = model.OpenBoard("/model-iterators/full.PCB");
  const std::uint32_t other = model.OpenBoard("/model-iterators/other.PCB");
  std::vector<std::uint32_t> tracks = Members(model, full);
  for (int i = 0; i < 3; ++i) {
    tracks.push_back(model.Create(kTrack));
    ASSERT_TRUE(model.AddToContainer(full, tracks.back()));
  }
  const std::vector<std::uint32_t> defaults = Members(model, other);
  ASSERT_LT(defaults.size(), tracks.size());

  const std::uint32_t first = model.CreateIterator(full, kTrack, kAllMembers, 0);
  EXPECT_EQ(Rest(model, first, model.FirstObject(first)), tracks);
  EXPECT_TRUE(model.DestroyIterator(first));
  EXPECT_FALSE(model.DestroyIterator(first));
  EXPECT_EQ(model.FirstObject(first), 0u) << "a destroyed handle stays gone when its entry is reused";

  const std::uint32_t second = model.CreateIterator(other, kTrack, kAllMembers, 0);
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(Rest(model, second, model.FirstObject(second)), defaults)
      << "the reused entry starts without the last iterator's items";
  EXPECT_EQ(model.FirstObject(first), 0u);

  // Two open at once: destroying one and making another leaves the other where it was.
  const std::uint32_t outer = model.CreateIterator(full, kTrack, kAllMembers, 0);
  EXPECT_EQ(model.FirstObject(outer), tracks[0]);
  EXPECT_TRUE(model.DestroyIterator(second));
  const std::uint32_t inner = model.CreateIterator(full, kTrack, kAllMembers, 0);
  EXPECT_EQ(Rest(model, inner, model.FirstObject(inner)), tracks);
  EXPECT_TRUE(model.DestroyIterator(inner));
  const std::uint32_t after = model.CreateIterator(other, kTrack, kAllMembers, 0);
  EXPECT_EQ(Rest(model, after, model.FirstObject(after)), defaults);
  EXPECT_EQ(Rest(model, outer, model.NextObject(outer)), std::vector<std::uint32_t>(tracks.begin() + 1, tracks.end()));
  EXPECT_TRUE(model.DestroyIterator(outer));
  EXPECT_TRUE(model.DestroyIterator(after));
}

}  // namespace
