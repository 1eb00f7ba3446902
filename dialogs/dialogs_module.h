// The dialogs module kv_ttsdlg.so: the settings forms with the toolkit they need, loaded by the
// engine library on its first dialog call, so that a host that only speaks never maps the
// toolkit. This header is the whole contract between the two: plain C types and the forms'
// CallingMode, no toolkit.
//
// Environment: KVTTS_DIALOG_SCREENSHOT=FILE.png makes every form the module shows write its
// client area, as shown, to that PNG file and close at once instead of waiting for the user.
#pragma once

namespace kv::dialogs {

class CallingMode;

// The forms the module shows.
enum class DialogForm : int { About = 0, DictionaryEditor = 1, VoiceProperties = 2 };

// What a dialog call reports.
enum class DialogResult : int {
  Closed = 0,       // the form was shown and closed
  NoDisplay = 1,    // there is no display to show it on
  WrongThread = 2,  // the toolkit belongs to another thread of the host
  Failed = 3,       // the form could not be built or shown (or its picture not written)
};

// File name of the module, beside the engine library.
inline constexpr const char* kDialogsModuleFile = "kv_ttsdlg.so";
// The entry point: shows the form modally on the calling thread, creating the toolkit's
// application object first if the host has none. mode may be null.
inline constexpr const char* kShowDialogSymbol = "kv_show_dialog_v1";
using ShowDialogFn = int (*)(int form, CallingMode* mode);

inline constexpr const char* kScreenshotVariable = "KVTTS_DIALOG_SCREENSHOT";

}  // namespace kv::dialogs
