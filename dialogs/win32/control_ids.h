// The control identifiers of the Windows forms (what WM_COMMAND names, and what a test that
// plays the user finds the controls by).
#pragma once

namespace kv::dialogs::win32 {

enum ControlId : int {
  kIdOk = 1,      // IDOK
  kIdCancel = 2,  // IDCANCEL
  kIdVoice = 100,
  kIdTestText,
  kIdPages,
  kIdVolume,  // the six stored bars, in VoiceBar order
  kIdSpeed,
  kIdPith,
  kIdEchoVolume,
  kIdEchoDelay,
  kIdEchoTaps,
  kIdIntonace,
  kIdIntonaceEnhanced,
  kIdPause,
  kIdRobotize,
  kIdSpeak,
  kIdRikat,
  kIdClose,
  kIdDictionary,
  kIdSort,
};

}  // namespace kv::dialogs::win32
