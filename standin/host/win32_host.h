// The host program's Windows-only pieces (Windows builds only).
#pragma once

#if defined(_WIN32)

// Routes the message boxes of a loaded module through the host: its import of
// user32!MessageBoxA is pointed at the host's function, which records each box for the
// document and answers it the way the host answers boxes on every system (scripted answers,
// the default answer when no one sits at a console, or the real box for a person who does).
// False when the module imports no MessageBoxA.
bool InterceptMessageBoxes(void* module);

#endif
