// The objects of a board as a writer asks for them, a few at a time: either a whole view held in
// memory (a saved document read whole) or the stand-in's model after an import, whose objects
// become view objects only when asked for, so that a large board is not held a second time.
//
//   view::Window window;
//   if (!source.Open(numbers, window, error)) ...;
//   window.objects[0]->x;  window.view->String(window.objects[0]->text);
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "viewers/board_view.h"

namespace view {

// Objects opened together: valid until the source's next Open.
struct Window {
  const BoardView* view = nullptr;  // holds the objects' lists and strings
  std::vector<const Object*> objects;
};

class ObjectSource {
 public:
  ObjectSource() = default;
  ObjectSource(const ObjectSource&) = delete;
  ObjectSource& operator=(const ObjectSource&) = delete;
  virtual ~ObjectSource() = default;

  // The objects are numbered 0 to Count() - 1 in the document's order.
  [[nodiscard]] virtual std::uint32_t Count() const = 0;
  // How many of them are design rules, and how many containers they name in all.
  [[nodiscard]] virtual std::uint32_t RuleCount() const = 0;
  [[nodiscard]] virtual std::size_t ContainerCount() const = 0;
  // False when the handle is certainly no object of the source (a container that is the board);
  // true when it may be one.
  [[nodiscard]] virtual bool MayBeObject(std::uint32_t handle) const = 0;
  // Without opening the object: its kind; and its handle, with its containers that may be
  // objects appended to `containers` (all a pass needs of an object it reads no further).
  [[nodiscard]] virtual std::int64_t KindOf(std::uint32_t number) const = 0;
  virtual std::uint32_t HandleAndContainers(std::uint32_t number, std::vector<std::uint32_t>& containers) const = 0;
  // The objects of the given numbers, in that order. False, with `error` saying why, when one
  // cannot be read.
  virtual bool Open(std::span<const std::uint32_t> numbers, Window& window, std::string& error) = 0;
  // What the board section says of each host layer.
  [[nodiscard]] virtual const std::array<Layer, host_layer::kLayerSlots>& Layers() const = 0;
  // Hands each design rule over in the document's order; false, with `error`, when one cannot
  // be read. Safe to call on a second thread while Open is called on the first.
  virtual bool ForEachRule(const std::function<void(const Rule&)>& each, std::string& error) const = 0;
};

// A view already held whole.
class HeldObjects final : public ObjectSource {
 public:
  explicit HeldObjects(const BoardView& view) : view_(view) {}

  [[nodiscard]] std::uint32_t Count() const override { return static_cast<std::uint32_t>(view_.objects.size()); }
  [[nodiscard]] std::uint32_t RuleCount() const override { return static_cast<std::uint32_t>(view_.rules.size()); }
  [[nodiscard]] std::size_t ContainerCount() const override { return view_.containers.size(); }
  [[nodiscard]] bool MayBeObject(std::uint32_t /*handle*/) const override { return true; }
  [[nodiscard]] std::int64_t KindOf(std::uint32_t number) const override { return view_.objects[number].kind; }
  std::uint32_t HandleAndContainers(std::uint32_t number, std::vector<std::uint32_t>& containers) const override {
    const Object& object = view_.objects[number];
    const std::uint32_t* first = view_.ContainersOf(object);
    containers.insert(containers.end(), first, first + object.container_count);
    return object.handle;
  }
  bool Open(std::span<const std::uint32_t> numbers, Window& window, std::string& /*error*/) override {
    window.view = &view_;
    window.objects.clear();
    for (const std::uint32_t n : numbers) window.objects.push_back(&view_.objects[n]);
    return true;
  }
  [[nodiscard]] const std::array<Layer, host_layer::kLayerSlots>& Layers() const override { return view_.layers; }
  bool ForEachRule(const std::function<void(const Rule&)>& each, std::string& /*error*/) const override {
    for (const Rule& rule : view_.rules) each(rule);
    return true;
  }

 private:
  const BoardView& view_;
};

}  // namespace view
