// The plug-in's forwarding objects for the host's object record functions (signatures in
// host/api/objects.h), called like the functions: host::PcbApi_QueryTrack(1, handle, &Flags, ...).
#pragma once

#include "host/api/objects.h"
#include "host/host_binding.h"

namespace host {

inline const HostFunction<api::PcbApi_GetObjectBitField2> PcbApi_GetObjectBitField2{HostModule::kPcbServer,
                                                                                    "PcbApi_GetObjectBitField2"};
inline const HostFunction<api::PcbApi_GetObjectBitField3> PcbApi_GetObjectBitField3{HostModule::kPcbServer,
                                                                                    "PcbApi_GetObjectBitField3"};
inline const HostFunction<api::PcbApi_QueryPrimitive> PcbApi_QueryPrimitive{HostModule::kPcbServer,
                                                                            "PcbApi_QueryPrimitive"};
inline const HostFunction<api::PcbApi_QueryObjectBoundingRectangle> PcbApi_QueryObjectBoundingRectangle{
    HostModule::kPcbServer, "PcbApi_QueryObjectBoundingRectangle"};
inline const HostFunction<api::PcbApi_QueryObjectImport_FromUser> PcbApi_QueryObjectImport_FromUser{
    HostModule::kPcbServer, "PcbApi_QueryObjectImport_FromUser"};
inline const HostFunction<api::PcbApi_QueryObjectGraphicallyInvalidate> PcbApi_QueryObjectGraphicallyInvalidate{
    HostModule::kPcbServer, "PcbApi_QueryObjectGraphicallyInvalidate"};
inline const HostFunction<api::PcbApi_QueryTrack> PcbApi_QueryTrack{HostModule::kPcbServer, "PcbApi_QueryTrack"};
inline const HostFunction<api::PcbApi_QueryArc> PcbApi_QueryArc{HostModule::kPcbServer, "PcbApi_QueryArc"};
inline const HostFunction<api::PcbApi_QueryVia> PcbApi_QueryVia{HostModule::kPcbServer, "PcbApi_QueryVia"};
inline const HostFunction<api::PcbApi_QueryFill> PcbApi_QueryFill{HostModule::kPcbServer, "PcbApi_QueryFill"};
inline const HostFunction<api::PcbApi_QueryText> PcbApi_QueryText{HostModule::kPcbServer, "PcbApi_QueryText"};
inline const HostFunction<api::PcbApi_QueryTrueTypeTextInfo> PcbApi_QueryTrueTypeTextInfo{
    HostModule::kPcbServer, "PcbApi_QueryTrueTypeTextInfo"};
inline const HostFunction<api::PcbApi_GetDesignatorDisplayString> PcbApi_GetDesignatorDisplayString{
    HostModule::kPcbServer, "PcbApi_GetDesignatorDisplayString"};
inline const HostFunction<api::PcbApi_QueryBarCodeTextInfo> PcbApi_QueryBarCodeTextInfo{
    HostModule::kPcbServer, "PcbApi_QueryBarCodeTextInfo"};
inline const HostFunction<api::PcbApi_QueryPad> PcbApi_QueryPad{HostModule::kPcbServer, "PcbApi_QueryPad"};
inline const HostFunction<api::PcbApi_QueryPadStackMode> PcbApi_QueryPadStackMode{HostModule::kPcbServer,
                                                                                  "PcbApi_QueryPadStackMode"};
inline const HostFunction<api::PcbApi_QueryPadOrViaShapeOnLayer> PcbApi_QueryPadOrViaShapeOnLayer{
    HostModule::kPcbServer, "PcbApi_QueryPadOrViaShapeOnLayer"};
inline const HostFunction<api::PcbApi_QueryPadOrViaSizeOnLayer> PcbApi_QueryPadOrViaSizeOnLayer{
    HostModule::kPcbServer, "PcbApi_QueryPadOrViaSizeOnLayer"};
inline const HostFunction<api::PcbApi_QueryPadCornerRadiusOnLayer> PcbApi_QueryPadCornerRadiusOnLayer{
    HostModule::kPcbServer, "PcbApi_QueryPadCornerRadiusOnLayer"};
inline const HostFunction<api::PcbApi_QueryPadCRPercentageOnLayer> PcbApi_QueryPadCRPercentageOnLayer{
    HostModule::kPcbServer, "PcbApi_QueryPadCRPercentageOnLayer"};
inline const HostFunction<api::PcbApi_SetPadShapeOnLayer> PcbApi_SetPadShapeOnLayer{HostModule::kPcbServer,
                                                                                    "PcbApi_SetPadShapeOnLayer"};
inline const HostFunction<api::PcbApi_SetPadSizeOnLayer> PcbApi_SetPadSizeOnLayer{HostModule::kPcbServer,
                                                                                  "PcbApi_SetPadSizeOnLayer"};
inline const HostFunction<api::PcbApi_SetCRPctOnLayer> PcbApi_SetCRPctOnLayer{HostModule::kPcbServer,
                                                                              "PcbApi_SetCRPctOnLayer"};
inline const HostFunction<api::PcbApi_QueryComponentChannelOffset> PcbApi_QueryComponentChannelOffset{
    HostModule::kPcbServer, "PcbApi_QueryComponentChannelOffset"};
inline const HostFunction<api::PcbApi_QueryComponentKind> PcbApi_QueryComponentKind{HostModule::kPcbServer,
                                                                                    "PcbApi_QueryComponentKind"};
inline const HostFunction<api::PcbApi_QueryComponent> PcbApi_QueryComponent{HostModule::kPcbServer,
                                                                            "PcbApi_QueryComponent"};
inline const HostFunction<api::PcbApi_QueryComponentEx> PcbApi_QueryComponentEx{HostModule::kPcbServer,
                                                                                "PcbApi_QueryComponentEx"};
inline const HostFunction<api::PcbApi_QueryComponentSourceLinks> PcbApi_QueryComponentSourceLinks{
    HostModule::kPcbServer, "PcbApi_QueryComponentSourceLinks"};
inline const HostFunction<api::PcbApi_QueryDefaultPCB3DModel> PcbApi_QueryDefaultPCB3DModel{
    HostModule::kPcbServer, "PcbApi_QueryDefaultPCB3DModel"};
inline const HostFunction<api::PcbApi_QueryNet> PcbApi_QueryNet{HostModule::kPcbServer, "PcbApi_QueryNet"};
inline const HostFunction<api::PcbApi_QueryClass> PcbApi_QueryClass{HostModule::kPcbServer, "PcbApi_QueryClass"};
inline const HostFunction<api::PcbApi_GetMemberFromClassAt> PcbApi_GetMemberFromClassAt{
    HostModule::kPcbServer, "PcbApi_GetMemberFromClassAt"};
inline const HostFunction<api::PcbApi_RemoveAllMembersFromClass> PcbApi_RemoveAllMembersFromClass{
    HostModule::kPcbServer, "PcbApi_RemoveAllMembersFromClass"};
inline const HostFunction<api::PcbApi_AddMemberToClass> PcbApi_AddMemberToClass{HostModule::kPcbServer,
                                                                                "PcbApi_AddMemberToClass"};
inline const HostFunction<api::PcbApi_QueryPolygon> PcbApi_QueryPolygon{HostModule::kPcbServer,
                                                                        "PcbApi_QueryPolygon"};
inline const HostFunction<api::PcbApi_QuerySplitPlane> PcbApi_QuerySplitPlane{HostModule::kPcbServer,
                                                                              "PcbApi_QuerySplitPlane"};
inline const HostFunction<api::PcbApi_QueryRegion> PcbApi_QueryRegion{HostModule::kPcbServer, "PcbApi_QueryRegion"};
inline const HostFunction<api::PcbApi_QueryCoordinate> PcbApi_QueryCoordinate{HostModule::kPcbServer,
                                                                              "PcbApi_QueryCoordinate"};
inline const HostFunction<api::PcbApi_QueryDimension> PcbApi_QueryDimension{HostModule::kPcbServer,
                                                                            "PcbApi_QueryDimension"};
inline const HostFunction<api::PcbApi_References_Count> PcbApi_References_Count{HostModule::kPcbServer,
                                                                                "PcbApi_References_Count"};
inline const HostFunction<api::PcbApi_References_At> PcbApi_References_At{HostModule::kPcbServer,
                                                                          "PcbApi_References_At"};
inline const HostFunction<api::PcbApi_QueryExtDimension> PcbApi_QueryExtDimension{HostModule::kPcbServer,
                                                                                  "PcbApi_QueryExtDimension"};
inline const HostFunction<api::PcbApi_QueryRule> PcbApi_QueryRule{HostModule::kPcbServer, "PcbApi_QueryRule"};
inline const HostFunction<api::PcbApi_QueryRuleEx> PcbApi_QueryRuleEx{HostModule::kPcbServer, "PcbApi_QueryRuleEx"};
inline const HostFunction<api::PcbApi_QueryRuleExtEx> PcbApi_QueryRuleExtEx{HostModule::kPcbServer,
                                                                            "PcbApi_QueryRuleExtEx"};
inline const HostFunction<api::PcbApi_QueryFromTo> PcbApi_QueryFromTo{HostModule::kPcbServer, "PcbApi_QueryFromTo"};
inline const HostFunction<api::PcbApi_QueryManualFromTo> PcbApi_QueryManualFromTo{HostModule::kPcbServer,
                                                                                  "PcbApi_QueryManualFromTo"};
inline const HostFunction<api::PcbApi_QueryViolation> PcbApi_QueryViolation{HostModule::kPcbServer,
                                                                            "PcbApi_QueryViolation"};
inline const HostFunction<api::PcbApi_QueryEmbedded> PcbApi_QueryEmbedded{HostModule::kPcbServer,
                                                                          "PcbApi_QueryEmbedded"};
inline const HostFunction<api::PcbApi_QueryEmbeddedBoard> PcbApi_QueryEmbeddedBoard{HostModule::kPcbServer,
                                                                                    "PcbApi_QueryEmbeddedBoard"};

}  // namespace host
