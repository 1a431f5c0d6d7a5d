// The plug-in's forwarding objects for the host main program's file-name and file-stream
// functions (signatures in host/api/client.h). Unbound, a call does nothing and gives 0.
#pragma once

#include "host/api/client.h"
#include "host/host_binding.h"

namespace host {

inline const HostFunction<api::ClientAPI_ForceFileNameExtension> ClientAPI_ForceFileNameExtension{
    HostModule::kMainProgram, "ClientAPI_ForceFileNameExtension"};
inline const HostFunction<api::ClientAPI_ExtractWholeFileNameFromPath> ClientAPI_ExtractWholeFileNameFromPath{
    HostModule::kMainProgram, "ClientAPI_ExtractWholeFileNameFromPath"};
inline const HostFunction<api::VFSAPI_VFS_StreamCreate> VFSAPI_VFS_StreamCreate{HostModule::kMainProgram,
                                                                                "VFSAPI_VFS_StreamCreate"};
inline const HostFunction<api::VFSAPI_VFS_StreamWrite> VFSAPI_VFS_StreamWrite{HostModule::kMainProgram,
                                                                              "VFSAPI_VFS_StreamWrite"};
inline const HostFunction<api::VFSAPI_VFS_StreamDestroy> VFSAPI_VFS_StreamDestroy{HostModule::kMainProgram,
                                                                                  "VFSAPI_VFS_StreamDestroy"};

}  // namespace host
