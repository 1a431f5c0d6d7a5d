// The view of a board straight from the stand-in's model after an import: the objects the board
// document would list, with the values it would show, and no document made on the way.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "standin/orvpcb/model.h"
#include "viewers/board_view.h"
#include "viewers/object_source.h"

namespace view {

// Every object made after `board` (boards excepted), the board's layer names and plane nets, and
// the file name as the title. False, with `error` saying why, when the model lacks a field the
// viewers need (a model whose schemas do not match the viewers).
bool FillFromModel(orv::Model& model, std::uint32_t board, const std::string& file_name, BoardView& view,
                   std::string& error);

class ModelReader;

// The same objects, made into view objects only when a writer asks for them: a writer that reads
// the board a few objects at a time holds no copy of it.
class ModelObjects final : public ObjectSource {
 public:
  ModelObjects(orv::Model& model, std::uint32_t board);
  ~ModelObjects() override;

  [[nodiscard]] std::uint32_t Count() const override { return static_cast<std::uint32_t>(handles_.size()); }
  [[nodiscard]] std::uint32_t RuleCount() const override { return rules_; }
  [[nodiscard]] std::size_t ContainerCount() const override { return containers_; }
  [[nodiscard]] bool MayBeObject(std::uint32_t handle) const override { return orv::OfBoard(model_, board_, handle); }
  [[nodiscard]] std::int64_t KindOf(std::uint32_t number) const override { return model_.KindOf(handles_[number]); }
  std::uint32_t HandleAndContainers(std::uint32_t number, std::vector<std::uint32_t>& containers) const override;
  bool Open(std::span<const std::uint32_t> numbers, Window& window, std::string& error) override;
  [[nodiscard]] const std::array<Layer, host_layer::kLayerSlots>& Layers() const override { return layers_; }
  bool ForEachRule(const std::function<void(const Rule&)>& each, std::string& error) const override;

 private:
  orv::Model& model_;
  std::uint32_t board_;
  std::vector<std::uint32_t> handles_;  // by object number
  std::array<Layer, host_layer::kLayerSlots> layers_{};
  BoardView window_;
  std::unique_ptr<ModelReader> reader_;
  std::uint32_t rules_ = 0;
  std::size_t containers_ = 0;
};

}  // namespace view
