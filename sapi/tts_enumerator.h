// The text-to-speech enumerator of our SAPI runtime: finds the engines registered in the
// engine list, loads each through its class identifier and gathers the modes of all of them.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "platform/com.h"
#include "sapi/sapi4.h"

namespace kv::sapi {

// HKEY_LOCAL_MACHINE key whose string values name the engines: value name = engine name,
// data = class identifier of the engine's mode enumerator.
inline constexpr std::string_view kEngineListKey = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine";

struct EngineEntry {
  std::string name;     // UTF-8
  std::string classId;  // as registered
};

// The entries of the engine list in registry order; empty when the key is missing.
std::vector<EngineEntry> RegisteredEngines();

struct VoiceMode {
  std::string engineName;  // UTF-8, the engine list's name of the engine
  TTSMODEINFOW info;
};

class TtsEnumerator {
 public:
  TtsEnumerator();
  // Releases the engines' enumerators, then lets their libraries unload if they allow it.
  ~TtsEnumerator();
  TtsEnumerator(const TtsEnumerator&) = delete;
  TtsEnumerator& operator=(const TtsEnumerator&) = delete;

  // Loads every registered engine and reads its modes (through ITTSEnumW). Engines that cannot
  // be loaded are skipped and described in Problems(). S_OK when the list could be read.
  com::HRESULT Load();

  const std::vector<VoiceMode>& Modes() const { return modes_; }
  size_t EngineCount() const { return engines_.size(); }
  const std::vector<std::string>& Problems() const { return problems_; }

  // Creates an engine instance of a listed mode through its engine's Select.
  // TTSERR_INVALIDMODE when no loaded engine has the mode.
  com::HRESULT Select(const com::GUID& modeId, ITTSCentralW** central, com::IUnknown* audio);

 private:
  struct Engine;
  std::vector<std::unique_ptr<Engine>> engines_;
  std::vector<VoiceMode> modes_;
  std::vector<std::string> problems_;
};

// Text of a W record field as UTF-8.
std::string FieldText(const WCHAR* field, size_t capacity);

// Lists every mode of every registered engine (mode name, gender, age, mode identifier,
// engine). Returns the exit code: 0 when at least one mode was listed, 1 when no engine is
// registered or none could be loaded (with a message on err telling how to register one).
int PrintVoiceList(std::ostream& out, std::ostream& err);

}  // namespace kv::sapi
