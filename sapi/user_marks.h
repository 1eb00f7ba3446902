// The bookmarks a text sets of its own (\mrk=N\ tags), as the engine will read them. The
// engine numbers its word positions past 9 999 characters from mark 40 000 up and reports them
// as plain bookmarks; the host tells them from the user's own by this list.
#pragma once

#include <map>
#include <string_view>

#include "sapi/sapi4.h"

namespace kv::sapi {

// Mark number -> how many tags of the Windows-1250 text set it. Brace tags set none: their
// digits are read as words before the tag is.
std::map<DWORD, int> UserMarks(std::string_view text);

}  // namespace kv::sapi
