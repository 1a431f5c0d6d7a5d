// Layer and internal plane wrappers of the board: exchange of one layer's record and dielectric.
#include "host/board_layers.h"

#include "host/api/board.h"
#include "host/board_calls.h"

TLayerObject::TLayerObject(std::uint32_t board, std::uint8_t number)
    : Name(api::LayerName(number)), board_(board), number_(number) {}

std::int32_t TLayerObject::Exchange(bool load) {
  const std::uint8_t dir = load ? 1 : 0;
  host::PcbApi_QueryLayer(dir, number_, board_, Name.Raw(), &Value, &Bytes[0], &Bytes[1], &Bytes[2], &Bytes[3],
                          &Bytes[4]);
  return ExchangeDielectric(dir);
}

std::int32_t TLayerObject::ExchangeDielectric(std::uint8_t dir) {
  return host::PcbApi_QueryLayerDielectric(dir, number_, board_, Dielectric.Material.Raw(), &Dielectric.Value2,
                                           &Dielectric.Constant, &Dielectric.Height);
}

TInternalPlane::TInternalPlane(std::uint32_t board, std::uint8_t number) : TLayerObject(board, number) {}

std::int32_t TInternalPlane::Exchange(bool load) {
  const std::uint8_t dir = load ? 1 : 0;
  host::PcbApi_QueryInternalPlane(dir, number_, board_, Name.Raw(), &Value, &Bytes[0], &Bytes[1], &Bytes[2], &Bytes[3],
                                  PlaneNetName.Raw());
  return ExchangeDielectric(dir);
}
