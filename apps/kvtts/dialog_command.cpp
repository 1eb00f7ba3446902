#include "apps/kvtts/dialog_command.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "dialogs/dialogs_module.h"
#include "platform/cp1250.h"
#include "platform/files.h"
#include "sapi/device_dest.h"
#include "sapi/first_use.h"
#include "sapi/tts_enumerator.h"

namespace kv::apps {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 4;

// A window handle of the host's: the engine only needs it to be non-zero.
const sapi::HWND kHostWindow = reinterpret_cast<sapi::HWND>(1);

com::HRESULT Open(sapi::ITTSDialogsW& dialogs, const std::string& dialog) {
  const sapi::WCHAR* title = u"KORVEN TTS";
  if (dialog == "about") return dialogs.AboutDlg(kHostWindow, title);
  if (dialog == "lexicon") return dialogs.LexiconDlg(kHostWindow, title);
  if (dialog == "general") return dialogs.GeneralDlg(kHostWindow, title);
  return dialogs.TranslateDlg(kHostWindow, title);
}

const sapi::VoiceMode* FindVoice(const sapi::TtsEnumerator& enumerator, const std::string& voice) {
  for (const sapi::VoiceMode& mode : enumerator.Modes()) {
    const std::string name = sapi::FieldText(mode.info.szModeName, sapi::TTSI_NAMELEN);
    if (voice.empty() || cp1250::SameText(cp1250::FromUtf8Lenient(name), voice)) return &mode;
  }
  return nullptr;
}

}  // namespace

bool IsDialogName(const std::string& name) {
  return name == "about" || name == "lexicon" || name == "general" || name == "translate";
}

int OpenEngineDialog(const std::string& dialog, const std::string& voice,
                     const std::string& pictureFile, std::ostream& err) {
  sapi::TtsEnumerator enumerator;
  enumerator.Load();
  const sapi::VoiceMode* mode = FindVoice(enumerator, cp1250::FromUtf8Lenient(voice));
  if (mode == nullptr) {
    err << "kvtts: no registered engine has the voice " << (voice.empty() ? "asked for" : voice)
        << " (register it with: " << sapi::RegisterEngineCommand() << ")\n";
    return kFailed;
  }
  if (!pictureFile.empty()) {
    std::filesystem::remove(pictureFile);
    platform::SetEnv(dialogs::kScreenshotVariable, pictureFile);
  }
  // The instance speaks the forms' test texts on the sound device, as it would for the host.
  auto* device = new sapi::DeviceDestination();
  sapi::ITTSCentralW* central = nullptr;
  com::HRESULT hr =
      enumerator.Select(mode->info.gModeID, &central, static_cast<sapi::IAudio*>(device));
  void* dialogs = nullptr;
  if (com::Succeeded(hr)) hr = central->QueryInterface(sapi::IID_ITTSDialogsW, &dialogs);
  if (com::Succeeded(hr)) {
    hr = Open(*static_cast<sapi::ITTSDialogsW*>(dialogs), dialog);
    static_cast<sapi::ITTSDialogsW*>(dialogs)->Release();
  }
  if (central != nullptr) central->Release();
  device->Release();
  if (com::Failed(hr)) {
    err << "kvtts: the engine could not show the dialog (" << com::ResultToString(hr)
        << "; is there a display, and kv_ttsdlg.so beside the engine?)\n";
    return kFailed;
  }
  if (!pictureFile.empty() && !std::filesystem::exists(pictureFile)) {
    err << "kvtts: the picture of the dialog could not be written to " << pictureFile << "\n";
    return kFailed;
  }
  return kOk;
}

}  // namespace kv::apps
