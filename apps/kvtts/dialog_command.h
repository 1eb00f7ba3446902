// kvtts --dialog: opens one of the engine's settings dialogs as a SAPI host does, through the
// ITTSDialogs interface of an engine instance bound to the sound device.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace kv::apps {

// The dialog named on the command line: "about", "lexicon", "general" or "translate".
bool IsDialogName(const std::string& name);

// Opens the dialog of the voice's engine instance (a mode name; empty: the first mode) and
// returns when it is closed. With a picture file the form is written to it as a PNG file and
// closed at once. Returns kvtts' exit code (0, or 4 with a message on err).
int OpenEngineDialog(const std::string& dialog, const std::string& voice,
                     const std::string& pictureFile, std::ostream& err);

}  // namespace kv::apps
