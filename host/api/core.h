// Signatures of the host's core PcbApi functions: board lookup, objects, containers, iterators,
// rule creation, the progress bar and host commands. Shared by the plug-in, which binds them by
// name, and the stand-in server module, which implements them (and checks its definitions
// against these types).
#pragma once

#include <cstdint>

#include "host/abi.h"

namespace api {

// Handle of the board document the host opened under this full file name (counted string).
using PcbApi_GetBoardHandleFromFullFileName = std::uint32_t VIDERAVE_STDCALL(const std::uint8_t* file_name);
// A new object of the kind, in no container yet.
using PcbApi_CreateObject = std::uint32_t VIDERAVE_STDCALL(std::uint8_t object_kind);
// The object's kind; the plug-in uses the low 7 bits.
using PcbApi_GetObjectIdFromObjectHandle = std::uint8_t VIDERAVE_STDCALL(std::uint32_t object);
// 1 when the object joined (or left) the container.
using PcbApi_AddObjectToContainer = std::int32_t VIDERAVE_STDCALL(std::uint32_t container, std::uint32_t object);
using PcbApi_DeleteObjectFromContainer = std::int32_t VIDERAVE_STDCALL(std::uint32_t container, std::uint32_t object);
// Iteration method 0 and 1: the container's objects of one kind on one layer, the primitives of
// the groups in it (a component's, on the board) included. Method 2: every
// object of the container whatever its kind and layer (a group iterator).
using PcbApi_CreateIterator = std::uint32_t VIDERAVE_STDCALL(std::uint32_t container, std::uint8_t object_kind,
                                                             std::uint8_t method, std::uint32_t layer_id);
using PcbApi_GetFirstObject = std::uint32_t VIDERAVE_STDCALL(std::uint32_t iterator);
using PcbApi_GetNextObject = std::uint32_t VIDERAVE_STDCALL(std::uint32_t iterator);
using PcbApi_DestroyIterator = std::int32_t VIDERAVE_STDCALL(std::uint32_t iterator);
// A new rule object of the rule kind (index into the rule-kind name table).
using PcbApi_CreateRuleObject = std::uint32_t VIDERAVE_STDCALL(std::uint8_t rule_kind);
using PcbApi_Percent_Init = std::int32_t VIDERAVE_STDCALL(const std::uint8_t* caption, std::int32_t total);
using PcbApi_Percent_Update = std::int32_t VIDERAVE_STDCALL();
using PcbApi_Percent_Finish = std::int32_t VIDERAVE_STDCALL();
// Runs a host command: process name and parameter text NUL-terminated, the parameter buffer's size.
using PcbApi_SendCommand = std::int32_t VIDERAVE_STDCALL(const char* process, char* parameters,
                                                         std::uint16_t buffer_size, std::int32_t reserved);

}  // namespace api
