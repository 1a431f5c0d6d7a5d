// The plug-in's forwarding objects for the board-level PcbApi functions (signatures in
// host/api/board.h).
#pragma once

#include "host/api/board.h"
#include "host/host_binding.h"

namespace host {

inline const HostFunction<api::PcbApi_QueryBoard> PcbApi_QueryBoard{HostModule::kPcbServer, "PcbApi_QueryBoard"};
inline const HostFunction<api::PcbApi_QueryBoardLayerInfo> PcbApi_QueryBoardLayerInfo{HostModule::kPcbServer,
                                                                                      "PcbApi_QueryBoardLayerInfo"};
inline const HostFunction<api::PcbApi_QueryLayer> PcbApi_QueryLayer{HostModule::kPcbServer, "PcbApi_QueryLayer"};
inline const HostFunction<api::PcbApi_QueryLayerDielectric> PcbApi_QueryLayerDielectric{HostModule::kPcbServer,
                                                                                        "PcbApi_QueryLayerDielectric"};
inline const HostFunction<api::PcbApi_QueryInternalPlane> PcbApi_QueryInternalPlane{HostModule::kPcbServer,
                                                                                    "PcbApi_QueryInternalPlane"};
inline const HostFunction<api::PcbApi_QueryBoardSplitPlaneMode> PcbApi_QueryBoardSplitPlaneMode{
    HostModule::kPcbServer, "PcbApi_QueryBoardSplitPlaneMode"};
inline const HostFunction<api::PcbApi_QueryBoardGridsEx> PcbApi_QueryBoardGridsEx{HostModule::kPcbServer,
                                                                                  "PcbApi_QueryBoardGridsEx"};
inline const HostFunction<api::PcbApi_QueryBoardEngineeringChangeOrderOptions>
    PcbApi_QueryBoardEngineeringChangeOrderOptions{HostModule::kPcbServer,
                                                   "PcbApi_QueryBoardEngineeringChangeOrderOptions"};
inline const HostFunction<api::PcbApi_QueryBoardOutputOptions> PcbApi_QueryBoardOutputOptions{
    HostModule::kPcbServer, "PcbApi_QueryBoardOutputOptions"};
inline const HostFunction<api::PcbApi_QueryBoardOutputOptionsPlotLayers> PcbApi_QueryBoardOutputOptionsPlotLayers{
    HostModule::kPcbServer, "PcbApi_QueryBoardOutputOptionsPlotLayers"};
inline const HostFunction<api::PcbApi_QueryBoardOutputOptionsFlipLayers> PcbApi_QueryBoardOutputOptionsFlipLayers{
    HostModule::kPcbServer, "PcbApi_QueryBoardOutputOptionsFlipLayers"};
inline const HostFunction<api::PcbApi_QueryBoardAdvancedPlacerOptions> PcbApi_QueryBoardAdvancedPlacerOptions{
    HostModule::kPcbServer, "PcbApi_QueryBoardAdvancedPlacerOptions"};
inline const HostFunction<api::PcbApi_QueryBoardGerberOptions> PcbApi_QueryBoardGerberOptions{
    HostModule::kPcbServer, "PcbApi_QueryBoardGerberOptions"};
inline const HostFunction<api::PcbApi_QueryBoardPrinterOptions> PcbApi_QueryBoardPrinterOptions{
    HostModule::kPcbServer, "PcbApi_QueryBoardPrinterOptions"};
inline const HostFunction<api::PcbApi_QueryBoardPrinterOptionsPlotterPen> PcbApi_QueryBoardPrinterOptionsPlotterPen{
    HostModule::kPcbServer, "PcbApi_QueryBoardPrinterOptionsPlotterPen"};
inline const HostFunction<api::PcbApi_QueryBoardPrinterOptionsCompositeLayer>
    PcbApi_QueryBoardPrinterOptionsCompositeLayer{HostModule::kPcbServer,
                                                  "PcbApi_QueryBoardPrinterOptionsCompositeLayer"};
inline const HostFunction<api::PcbApi_QueryBoardLayerPairsCount> PcbApi_QueryBoardLayerPairsCount{
    HostModule::kPcbServer, "PcbApi_QueryBoardLayerPairsCount"};
inline const HostFunction<api::PcbApi_QueryBoardLayerPairAt> PcbApi_QueryBoardLayerPairAt{
    HostModule::kPcbServer, "PcbApi_QueryBoardLayerPairAt"};
inline const HostFunction<api::PcbApi_QueryBoardExternalDielectrics> PcbApi_QueryBoardExternalDielectrics{
    HostModule::kPcbServer, "PcbApi_QueryBoardExternalDielectrics"};

}  // namespace host
