#include "sapi/tts_enumerator.h"

#include <algorithm>
#include <exception>
#include <iomanip>
#include <ostream>

#include "platform/cp1250.h"
#include "platform/registry.h"
#include "sapi/first_use.h"

namespace kv::sapi {

using com::HRESULT;

namespace {

// A broken engine must not keep the enumerator walking forever.
constexpr size_t kMaxModesPerEngine = 4096;

std::string GenderName(WORD gender) {
  switch (gender) {
    case GENDER_NEUTRAL:
      return "neutral";
    case GENDER_FEMALE:
      return "female";
    case GENDER_MALE:
      return "male";
    default:
      return std::to_string(gender);
  }
}

std::string AgeName(WORD age) {
  switch (age) {
    case TTSAGE_BABY:
      return "baby";
    case TTSAGE_TODDLER:
      return "toddler";
    case TTSAGE_CHILD:
      return "child";
    case TTSAGE_ADOLESCENT:
      return "adolescent";
    case TTSAGE_ADULT:
      return "adult";
    case TTSAGE_ELDERLY:
      return "elderly";
    default:
      return std::to_string(age);
  }
}

}  // namespace

struct TtsEnumerator::Engine {
  std::string name;
  std::shared_ptr<com::InprocServer> server;
  ITTSEnumW* modes = nullptr;

  ~Engine() {
    if (modes != nullptr) modes->Release();
    modes = nullptr;
    server.reset();  // after the last interface of the library is released
  }
};

std::vector<EngineEntry> RegisteredEngines() {
  std::vector<EngineEntry> engines;
  try {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(kEngineListKey, false)) return engines;
    for (const std::string& name : reg.GetValueNames()) {
      if (name.empty() || reg.GetDataType(name) != platform::ValueType::String) continue;
      engines.push_back({cp1250::ToUtf8(name), reg.ReadString(name)});
    }
  } catch (const std::exception&) {
    // An unreadable list lists nothing.
  }
  return engines;
}

std::string FieldText(const WCHAR* field, size_t capacity) {
  const size_t length = std::find(field, field + capacity, u'\0') - field;
  return cp1250::ToUtf8(cp1250::FromUtf16(std::u16string_view(field, length)));
}

TtsEnumerator::TtsEnumerator() = default;

TtsEnumerator::~TtsEnumerator() {
  // Engines in reverse order of loading.
  while (!engines_.empty()) engines_.pop_back();
}

HRESULT TtsEnumerator::Load() {
  engines_.clear();
  modes_.clear();
  problems_.clear();
  for (const EngineEntry& entry : RegisteredEngines()) {
    const auto clsid = com::GuidFromString(entry.classId);
    if (!clsid) {
      problems_.push_back(entry.name + ": \"" + entry.classId + "\" is no class identifier");
      continue;
    }
    auto engine = std::make_unique<Engine>();
    engine->name = entry.name;
    void* modes = nullptr;
    const HRESULT hr = com::CreateInstance(*clsid, nullptr, IID_ITTSEnumW, &modes, &engine->server);
    if (com::Failed(hr) || modes == nullptr) {
      problems_.push_back(entry.name + ": cannot be loaded (" + com::ResultToString(hr) + ")");
      continue;
    }
    engine->modes = static_cast<ITTSEnumW*>(modes);
    engine->modes->Reset();
    for (size_t i = 0; i < kMaxModesPerEngine; ++i) {
      VoiceMode mode{entry.name, {}};
      ULONG fetched = 0;
      if (engine->modes->Next(1, &mode.info, &fetched) != com::S_OK || fetched != 1) break;
      modes_.push_back(mode);
    }
    engines_.push_back(std::move(engine));
  }
  return com::S_OK;
}

HRESULT TtsEnumerator::Select(const com::GUID& modeId, ITTSCentralW** central,
                              com::IUnknown* audio) {
  if (central == nullptr) return com::E_POINTER;
  *central = nullptr;
  for (const VoiceMode& mode : modes_) {
    if (!(mode.info.gModeID == modeId)) continue;
    for (const auto& engine : engines_)
      if (engine->name == mode.engineName) return engine->modes->Select(modeId, central, audio);
  }
  return TTSERR_INVALIDMODE;
}

int PrintVoiceList(std::ostream& out, std::ostream& err) {
  TtsEnumerator enumerator;
  enumerator.Load();
  for (const std::string& problem : enumerator.Problems()) err << "warning: " << problem << '\n';
  if (enumerator.Modes().empty()) {
    err << (enumerator.Problems().empty() ? "No text-to-speech engine is registered."
                                          : "No registered text-to-speech engine could be used.")
        << "\nRegister the engine with:  " << RegisterEngineCommand() << "\n";
    return 1;
  }
  struct Row {
    std::string name, gender, age, id, engine;
  };
  std::vector<Row> rows{{"Voice", "Gender", "Age", "Mode identifier", "Engine"}};
  for (const VoiceMode& mode : enumerator.Modes())
    rows.push_back({FieldText(mode.info.szModeName, TTSI_NAMELEN), GenderName(mode.info.wGender),
                    AgeName(mode.info.wAge) + " (" + std::to_string(mode.info.wAge) + ")",
                    com::GuidToString(mode.info.gModeID), mode.engineName});
  size_t width[4] = {};
  for (const Row& row : rows) {
    const std::string* cells[4] = {&row.name, &row.gender, &row.age, &row.id};
    for (int i = 0; i < 4; ++i) width[i] = std::max(width[i], cells[i]->size());
  }
  for (const Row& row : rows) {
    out << std::left << std::setw(int(width[0]) + 2) << row.name << std::setw(int(width[1]) + 2)
        << row.gender << std::setw(int(width[2]) + 2) << row.age << std::setw(int(width[3]) + 2)
        << row.id << row.engine << '\n';
  }
  return 0;
}

}  // namespace kv::sapi
