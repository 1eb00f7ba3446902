// Showing a form modally, as the dialog calls do, or writing its picture (screenshot mode).
#pragma once

#include <string>

class QDialog;

namespace kv::dialogs {

// Shows the form modally until it closes. With a picture file (screenshot mode) the form is
// shown, its client area is written to the PNG file and the form closes; false when the
// picture could not be written.
bool RunForm(QDialog& form, const std::string& pictureFile = {});

}  // namespace kv::dialogs
