// Calling convention and export markers of the C interface between the plug-in, the host's
// PCB server module and the host's main program.
//
// Every function that crosses a module boundary uses the Win32 standard calling convention
// (arguments on the stack, removed by the callee) where the compiler has one, and C linkage.
// Handles are opaque 32-bit values (0 means none), kinds and flags are bytes, names and captions
// are counted strings passed by address (one length byte, then up to 255 8-bit characters),
// command texts are NUL-terminated. Exchange functions take a one-byte direction first
// (1: the host fills the caller's record, 0: the host takes the caller's record), then the
// handle, then one pointer per field.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define VIDERAVE_STDCALL __stdcall
#else
#define VIDERAVE_STDCALL
#endif

#if defined(_WIN32) && defined(VIDERAVE_STANDIN)
// The stand-in host's modules export their functions; the plug-in exports through its .def file.
#define VIDERAVE_EXPORT __declspec(dllexport)
#elif defined(_WIN32)
#define VIDERAVE_EXPORT
#else
#define VIDERAVE_EXPORT __attribute__((visibility("default")))
#endif
