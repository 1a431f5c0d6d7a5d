// The host program's side of the plug-in's modal dialogs (the rules dialog): shown in the
// terminal with numbered check boxes, or answered by the session's options without one, and
// recorded in the session for the document's host.dialogs.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/api/system.h"

// What a dialog closed with, without asking anyone: the boxes named in the options unticked,
// then OK (or the close box when the options say so). Also used when no terminal is attached.
std::int32_t AnswerDialogFromOptions(ViderveDialog& dialog);
// The dialog as the document records it: Caption, Shown, Controls [{Name, Caption, Enabled, Checked}].
void RecordDialog(const ViderveDialog& dialog, bool shown);
// The text the dialog's Help button shows.
std::string_view RulesDialogHelp();
// Whether a control of the dialog is a check box, or a button.
bool IsCheckBox(const ViderveControl& control);
bool IsButton(const ViderveControl& control);
