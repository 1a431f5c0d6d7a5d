// The plug-in's forwarding objects for the core PcbApi functions (signatures in host/api/core.h).
#pragma once

#include "host/api/core.h"
#include "host/host_binding.h"

namespace host {

inline const HostFunction<api::PcbApi_GetBoardHandleFromFullFileName> PcbApi_GetBoardHandleFromFullFileName{
    HostModule::kPcbServer, "PcbApi_GetBoardHandleFromFullFileName"};
inline const HostFunction<api::PcbApi_CreateObject> PcbApi_CreateObject{HostModule::kPcbServer,
                                                                        "PcbApi_CreateObject"};
inline const HostFunction<api::PcbApi_GetObjectIdFromObjectHandle> PcbApi_GetObjectIdFromObjectHandle{
    HostModule::kPcbServer, "PcbApi_GetObjectIdFromObjectHandle"};
inline const HostFunction<api::PcbApi_AddObjectToContainer> PcbApi_AddObjectToContainer{
    HostModule::kPcbServer, "PcbApi_AddObjectToContainer"};
inline const HostFunction<api::PcbApi_DeleteObjectFromContainer> PcbApi_DeleteObjectFromContainer{
    HostModule::kPcbServer, "PcbApi_DeleteObjectFromContainer"};
inline const HostFunction<api::PcbApi_CreateIterator> PcbApi_CreateIterator{HostModule::kPcbServer,
                                                                            "PcbApi_CreateIterator"};
inline const HostFunction<api::PcbApi_GetFirstObject> PcbApi_GetFirstObject{HostModule::kPcbServer,
                                                                            "PcbApi_GetFirstObject"};
inline const HostFunction<api::PcbApi_GetNextObject> PcbApi_GetNextObject{HostModule::kPcbServer,
                                                                          "PcbApi_GetNextObject"};
inline const HostFunction<api::PcbApi_DestroyIterator> PcbApi_DestroyIterator{HostModule::kPcbServer,
                                                                              "PcbApi_DestroyIterator"};
inline const HostFunction<api::PcbApi_CreateRuleObject> PcbApi_CreateRuleObject{HostModule::kPcbServer,
                                                                                "PcbApi_CreateRuleObject"};
inline const HostFunction<api::PcbApi_Percent_Init> PcbApi_Percent_Init{HostModule::kPcbServer,
                                                                        "PcbApi_Percent_Init"};
inline const HostFunction<api::PcbApi_Percent_Update> PcbApi_Percent_Update{HostModule::kPcbServer,
                                                                            "PcbApi_Percent_Update"};
inline const HostFunction<api::PcbApi_Percent_Finish> PcbApi_Percent_Finish{HostModule::kPcbServer,
                                                                            "PcbApi_Percent_Finish"};
inline const HostFunction<api::PcbApi_SendCommand> PcbApi_SendCommand{HostModule::kPcbServer,
                                                                      "PcbApi_SendCommand"};

}  // namespace host
