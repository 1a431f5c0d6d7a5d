// Signatures of the host's board-level PcbApi functions: the board record, its layers, internal
// planes, dielectrics, layer pairs, grids and option groups. Shared by the plug-in, which binds
// them by name, and the stand-in server module, which implements them.
//
// Every function returns 0 when done. The direction byte comes first (1: the host fills the
// caller's values, 0: the host takes them), then the board handle (the layer functions put the
// layer number before it), then one pointer per value. "Value k" of a function is the k-th of
// those pointers. Strings are counted strings (length byte, then the characters) with room for
// 255 characters. Layer fields marked "identifier" are 32-bit layer identifiers (layer_id.h).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "host/abi.h"
#include "host/api/vocabulary.h"

namespace api {

using Counted = std::uint8_t;  // first byte of a counted string buffer of 256 bytes

// Board record. Values: 1 int32; 2 the board's file name; 3 uint8; 4 to 7 int32; 8 uint8;
// 9 the current layer (identifier); 10 int32.
using PcbApi_QueryBoard = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board, std::int32_t* v1,
                                                        Counted* file_name, std::uint8_t* v3, std::int32_t* v4,
                                                        std::int32_t* v5, std::int32_t* v6, std::int32_t* v7,
                                                        std::uint8_t* v8, std::uint32_t* current_layer,
                                                        std::int32_t* v10);

// Per layer number 1 to 82: two bytes and a 32-bit value of the board's layer table.
using PcbApi_QueryBoardLayerInfo = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                 std::uint8_t layer, std::uint8_t* v1, std::uint8_t* v2,
                                                                 std::int32_t* v3);

// One layer (number 1 to 82): its name, a 32-bit value and five bytes; the second byte is the
// layer's flag.
using PcbApi_QueryLayer = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint8_t layer, std::uint32_t board,
                                                        Counted* name, std::int32_t* v2, std::uint8_t* v3,
                                                        std::uint8_t* flag, std::uint8_t* v5, std::uint8_t* v6,
                                                        std::uint8_t* v7);
// The dielectric under one layer: material, a byte, the dielectric constant, the height (host
// units).
using PcbApi_QueryLayerDielectric = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint8_t layer,
                                                                  std::uint32_t board, Counted* material,
                                                                  std::uint8_t* v2, double* constant,
                                                                  std::int32_t* height);
// An internal plane (layer numbers 39 to 54): as PcbApi_QueryLayer with the first four bytes,
// then the name of the net the plane is connected to.
using PcbApi_QueryInternalPlane = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint8_t layer,
                                                                std::uint32_t board, Counted* name, std::int32_t* v2,
                                                                std::uint8_t* v3, std::uint8_t* flag, std::uint8_t* v5,
                                                                std::uint8_t* v6, Counted* plane_net_name);

using PcbApi_QueryBoardSplitPlaneMode = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                      std::int32_t* mode);

// Grids. Values: 1 to 4 uint8; 5 to 10 double; 11 int32; 12 uint8; 13 double.
using PcbApi_QueryBoardGridsEx = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board, std::uint8_t* v1,
                                                               std::uint8_t* v2, std::uint8_t* v3, std::uint8_t* v4,
                                                               double* v5, double* v6, double* v7, double* v8,
                                                               double* v9, double* v10, std::int32_t* v11,
                                                               std::uint8_t* v12, double* v13);

// Engineering change order options. Values: 1 uint8; 2 string.
using PcbApi_QueryBoardEngineeringChangeOrderOptions = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir,
                                                                                     std::uint32_t board,
                                                                                     std::uint8_t* v1, Counted* v2);

// Output options. Values: 1, 2 int32; 3 to 24 uint8.
using PcbApi_QueryBoardOutputOptions = std::int32_t VIDERAVE_STDCALL(
    std::uint8_t dir, std::uint32_t board, std::int32_t* v1, std::int32_t* v2, std::uint8_t* v3, std::uint8_t* v4,
    std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7, std::uint8_t* v8, std::uint8_t* v9, std::uint8_t* v10,
    std::uint8_t* v11, std::uint8_t* v12, std::uint8_t* v13, std::uint8_t* v14, std::uint8_t* v15, std::uint8_t* v16,
    std::uint8_t* v17, std::uint8_t* v18, std::uint8_t* v19, std::uint8_t* v20, std::uint8_t* v21, std::uint8_t* v22,
    std::uint8_t* v23, std::uint8_t* v24);

// The plot-layer and flip-layer sets: one pointer to kOptionSlots flag bytes, byte s-1 for slot s.
inline constexpr std::size_t kOptionSlots = 109;
using PcbApi_QueryBoardOutputOptionsPlotLayers = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                               std::uint8_t* flags);
using PcbApi_QueryBoardOutputOptionsFlipLayers = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                               std::uint8_t* flags);

// Advanced placer options. Values: 1, 2 strings; 3 to 6 uint8.
using PcbApi_QueryBoardAdvancedPlacerOptions = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                             Counted* v1, Counted* v2, std::uint8_t* v3,
                                                                             std::uint8_t* v4, std::uint8_t* v5,
                                                                             std::uint8_t* v6);

// Gerber options. Values: 1 to 7 uint8; 8 to 12 int32; 13 string; 14 int32; 15, 16 uint8;
// 17, 18 int32; 19 uint8.
using PcbApi_QueryBoardGerberOptions = std::int32_t VIDERAVE_STDCALL(
    std::uint8_t dir, std::uint32_t board, std::uint8_t* v1, std::uint8_t* v2, std::uint8_t* v3, std::uint8_t* v4,
    std::uint8_t* v5, std::uint8_t* v6, std::uint8_t* v7, std::int32_t* v8, std::int32_t* v9, std::int32_t* v10,
    std::int32_t* v11, std::int32_t* v12, Counted* v13, std::int32_t* v14, std::uint8_t* v15, std::uint8_t* v16,
    std::int32_t* v17, std::int32_t* v18, std::uint8_t* v19);

// Printer options. Values: 1 to 3 strings; 4 to 9 uint8; 10 int32; 11 to 13 double; 14 a block of
// kPrinterBlockBytes bytes (one pointer); 15, 16 uint8; 17 to 19 double; 20, 21 int32; 22 to 26 uint8.
inline constexpr std::size_t kPrinterBlockBytes = 27;
using PcbApi_QueryBoardPrinterOptions = std::int32_t VIDERAVE_STDCALL(
    std::uint8_t dir, std::uint32_t board, Counted* v1, Counted* v2, Counted* v3, std::uint8_t* v4, std::uint8_t* v5,
    std::uint8_t* v6, std::uint8_t* v7, std::uint8_t* v8, std::uint8_t* v9, std::int32_t* v10, double* v11, double* v12,
    double* v13, std::uint8_t* v14, std::uint8_t* v15, std::uint8_t* v16, double* v17, double* v18, double* v19,
    std::int32_t* v20, std::int32_t* v21, std::uint8_t* v22, std::uint8_t* v23, std::uint8_t* v24, std::uint8_t* v25,
    std::uint8_t* v26);
// Per plotter pen 1 to kPlotterPens: two int32 values.
inline constexpr std::size_t kPlotterPens = 8;
using PcbApi_QueryBoardPrinterOptionsPlotterPen = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                                std::uint8_t pen, std::int32_t* v1,
                                                                                std::int32_t* v2);
// Per layer number 1 to 82: int32, int32, uint8, int32 of the composite print.
using PcbApi_QueryBoardPrinterOptionsCompositeLayer = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir,
                                                                                    std::uint32_t board,
                                                                                    std::uint8_t layer,
                                                                                    std::int32_t* v1, std::int32_t* v2,
                                                                                    std::uint8_t* v3, std::int32_t* v4);

// The number of drill layer pairs; non-zero result when the host cannot give (or take) it.
using PcbApi_QueryBoardLayerPairsCount = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                       std::int32_t* count);
// Layer pair 0 to count-1: its two layers, each as identifier and as one-byte number. The host
// takes the identifiers on a store; the numbers are for the caller's convenience.
using PcbApi_QueryBoardLayerPairAt = std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board,
                                                                   std::int32_t index, std::uint32_t* layer1_id,
                                                                   std::uint8_t* layer1, std::uint32_t* layer2_id,
                                                                   std::uint8_t* layer2);

// The dielectrics outside the top and bottom layers, each as in PcbApi_QueryLayerDielectric.
using PcbApi_QueryBoardExternalDielectrics =
    std::int32_t VIDERAVE_STDCALL(std::uint8_t dir, std::uint32_t board, Counted* top_material, std::uint8_t* top_v2,
                                  double* top_constant, std::int32_t* top_height, Counted* bottom_material,
                                  std::uint8_t* bottom_v2, double* bottom_constant, std::int32_t* bottom_height);

// The host's layer-name table: the fixed name of each one-byte layer number 0 to 82; "" beyond.
inline constexpr std::uint8_t kLayerCount = host_layer::kLastLayer;
constexpr std::string_view LayerName(std::uint8_t number) {
  constexpr std::array<std::string_view, 83> kNames = {
      "NoLayer",         "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",       "MidLayer4",
      "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",       "MidLayer9",       "MidLayer10",
      "MidLayer11",      "MidLayer12",      "MidLayer13",      "MidLayer14",      "MidLayer15",      "MidLayer16",
      "MidLayer17",      "MidLayer18",      "MidLayer19",      "MidLayer20",      "MidLayer21",      "MidLayer22",
      "MidLayer23",      "MidLayer24",      "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
      "MidLayer29",      "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",   "TopPaste",
      "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",  "InternalPlane2",  "InternalPlane3",
      "InternalPlane4",  "InternalPlane5",  "InternalPlane6",  "InternalPlane7",  "InternalPlane8",  "InternalPlane9",
      "InternalPlane10", "InternalPlane11", "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15",
      "InternalPlane16", "DrillGuide",      "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
      "Mechanical4",     "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",     "Mechanical9",
      "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",    "Mechanical14",    "Mechanical15",
      "Mechanical16",    "DrillDrawing",    "MultiLayer",      "ConnectLayer",    "BackGroundLayer", "DRCErrorLayer",
      "HighlightLayer",  "GridColor1",      "GridColor10",     "PadHoleLayer",    "ViaHoleLayer"};
  return number < kNames.size() ? kNames[number] : std::string_view();
}

}  // namespace api
