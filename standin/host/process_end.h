// How the host program ends once its work is saved.
#pragma once

// Gives `status` back to the caller of main, or ends the process with it at once. Builds on
// jemalloc (release builds, process_jemalloc.cpp) end at once: taking a board of a million objects
// apart object by object costs tens of milliseconds for memory the system takes back anyway.
// Sanitizer builds return (process_system.cpp), so that the leak checker sees everything freed.
int EndAfterWork(int status);
