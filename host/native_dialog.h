// The plug-in's modal dialogs as native Windows dialogs (Windows builds only): the dialog kit's
// description becomes a dialog box whose controls are created when it opens.
#pragma once

#if defined(_WIN32)

#include <cstdint>

#include "host/api/system.h"

namespace system_services {

// Shows the dialog modally on the calling thread and waits until it closes. The check boxes'
// states are written back into the description when the dialog closes, by OK or by the close
// box alike. Returns the modal result: the closing button's, 2 for the close box or Escape, and
// 2 as well when the dialog cannot be made (then nothing is written back).
std::int32_t ShowNativeDialog(ViderveDialog& dialog);

}  // namespace system_services

#endif
