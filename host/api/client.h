// Signatures of the file-name and file-stream functions of the host's main program. The plug-in
// binds them by name from the program that started the process; the stand-in host program
// implements them (and checks its definitions against these types).
#pragma once

#include <cstdint>

#include "host/abi.h"

namespace api {

// Size of a counted-string result buffer: one length byte and up to 255 characters.
inline constexpr std::uint32_t kCountedBufferSize = 256;

// The path (counted string) with its extension replaced by extension (counted, without the
// dot; an empty one removes the extension), written as a counted string into result, a
// caller-provided buffer of 256 bytes.
using ClientAPI_ForceFileNameExtension = void VIDERAVE_STDCALL(const std::uint8_t* path,
                                                               const std::uint8_t* extension,
                                                               std::uint8_t* result);
// The file name of path with its extension, no folder, into result (256 bytes, counted).
using ClientAPI_ExtractWholeFileNameFromPath = void VIDERAVE_STDCALL(const std::uint8_t* path,
                                                                     std::uint8_t* result);

// Stream modes: the create mode makes a new file, replacing one of that name.
inline constexpr std::uint16_t kStreamModeCreate = 0xFFFF;

// A stream on the file named (counted string); 0 when the file cannot be opened.
using VFSAPI_VFS_StreamCreate = std::uint32_t VIDERAVE_STDCALL(const std::uint8_t* file_name, std::uint16_t mode);
// Writes count bytes at data; returns the number of bytes written (0 for stream 0).
using VFSAPI_VFS_StreamWrite = std::int32_t VIDERAVE_STDCALL(std::uint32_t stream, const void* data,
                                                             std::int32_t count);
// Closes the stream and releases it; stream 0 does nothing.
using VFSAPI_VFS_StreamDestroy = void VIDERAVE_STDCALL(std::uint32_t stream);

}  // namespace api
