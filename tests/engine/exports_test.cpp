// The library's exports, its class factory, the shared object count and the library start.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "platform/registry.h"
#include "tests/engine/engine_library.h"
#include "tests/support/test_prefix.h"

namespace kv::test {
namespace {

namespace fs = std::filesystem;

constexpr IID IID_IClassFactory2 = {
    0xB196B28F, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
constexpr CLSID kForeignClass = {
    0x2F46E4C0, 0x4EDA, 0x101B, {0x93, 0x1A, 0x00, 0xAA, 0x00, 0x47, 0xBA, 0x4F}};

EngineLibrary& Lib() {
  EngineLibrary& lib = EngineLibrary::Built();
  EXPECT_TRUE(lib.Loaded()) << ::dlerror();
  return lib;
}

IClassFactory* GetFactory() {
  void* object = nullptr;
  EXPECT_EQ(Lib().getClassObject(kEngineClass, IID_IClassFactory, &object), S_OK);
  return static_cast<IClassFactory*>(object);
}

std::set<std::string> DefinedDynamicSymbols(const fs::path& library) {
  std::set<std::string> names;
  const std::string command = "nm -D --defined-only '" + library.string() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const size_t space = text.rfind(' ');
    if (space != std::string::npos) names.insert(text.substr(space + 1));
  }
  return names;
}

TEST(EngineExports, ExactlyTheFiveEntryPointsAreExported) {
  const std::set<std::string> expected = {"DllCanUnloadNow", "DllGetClassObject", "DllMain",
                                          "DllRegisterServer", "DllUnregisterServer"};
  EXPECT_EQ(DefinedDynamicSymbols(KV_TTSE_PATH), expected);
}

TEST(EngineExports, LoadsAfterBeingCopiedElsewhere) {
  const fs::path folder = Prefix() / "copied";
  fs::create_directories(folder);
  const fs::path copy = folder / "kv_ttse.so";
  fs::copy_file(KV_TTSE_PATH, copy, fs::copy_options::overwrite_existing);
  {
    EngineLibrary copied(copy.string());
    ASSERT_TRUE(copied.Loaded()) << ::dlerror();
    void* object = nullptr;
    ASSERT_EQ(copied.getClassObject(kEngineClass, IID_IClassFactory, &object), S_OK);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(copied.canUnloadNow(), S_FALSE);
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(copied.canUnloadNow(), S_OK);
  }
  fs::remove_all(folder);
}

TEST(EngineExports, DllGetClassObjectServesOnlyTheEngineClass) {
  void* object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(Lib().getClassObject(kForeignClass, IID_IClassFactory, &object), E_FAIL);
  EXPECT_EQ(object, nullptr);
  object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(Lib().getClassObject(kEngineClass, IID_IClassFactory2, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(Lib().getClassObject(kEngineClass, IID_IClassFactory, nullptr), E_POINTER);
  EXPECT_EQ(Lib().canUnloadNow(), S_OK) << "failed calls hold nothing";

  void* unknown = nullptr;
  ASSERT_EQ(Lib().getClassObject(kEngineClass, IID_IUnknown, &unknown), S_OK);
  void* factory = nullptr;
  EXPECT_EQ(static_cast<IUnknown*>(unknown)->QueryInterface(IID_IClassFactory, &factory), S_OK);
  EXPECT_EQ(factory, unknown);
  static_cast<IUnknown*>(factory)->Release();
  static_cast<IUnknown*>(unknown)->Release();
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
}

TEST(EngineExports, EveryCallGivesANewFactory) {
  IClassFactory* first = GetFactory();
  IClassFactory* second = GetFactory();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, second);
  first->Release();
  second->Release();
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
}

TEST(EngineFactory, QueryInterfaceAndCreateInstanceGuardTheirArguments) {
  IClassFactory* factory = GetFactory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(factory->QueryInterface(IID_IClassFactory, nullptr), E_POINTER);
  void* object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(factory->QueryInterface(IID_ITTSEnumW, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);

  EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITTSEnumW, nullptr), E_POINTER);
  FakeAudio outer;
  object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(factory->CreateInstance(outer.Unknown(), IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  object = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_ITTSCentralW, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  factory->Release();
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
}

// Server locks and references count on one module-wide number: there is no count per object.
TEST(EngineFactory, LockServerCountsWithTheReferences) {
  ASSERT_EQ(Lib().canUnloadNow(), S_OK);
  IClassFactory* factory = GetFactory();  // 1
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(Lib().canUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(1), S_OK);  // 2
  EXPECT_EQ(factory->LockServer(0), S_OK);  // 1
  EXPECT_EQ(Lib().canUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(0), S_OK);  // 0: the factory's own reference went with it
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
  EXPECT_EQ(factory->LockServer(0), E_FAIL);  // stays 0
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
  EXPECT_EQ(factory->LockServer(1), S_OK);  // 1 again
  EXPECT_EQ(Lib().canUnloadNow(), S_FALSE);
  factory->Release();  // 0
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
}

TEST(EngineFactory, ReleasingEverythingAllowsUnloading) {
  IClassFactory* factory = GetFactory();
  ASSERT_NE(factory, nullptr);
  void* enumW = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITTSEnumW, &enumW), S_OK);
  factory->Release();
  void* findA = nullptr;
  ASSERT_EQ(static_cast<IUnknown*>(enumW)->QueryInterface(IID_ITTSFindA, &findA), S_OK);
  ITTSEnumW* clone = nullptr;
  ASSERT_EQ(static_cast<ITTSEnumW*>(enumW)->Clone(&clone), S_OK);
  EXPECT_EQ(Lib().canUnloadNow(), S_FALSE);
  clone->Release();
  static_cast<IUnknown*>(findA)->Release();
  EXPECT_EQ(Lib().canUnloadNow(), S_FALSE);
  static_cast<IUnknown*>(enumW)->Release();
  EXPECT_EQ(Lib().canUnloadNow(), S_OK);
}

TEST(EngineExports, DllMainAcceptsEveryReason) {
  for (DWORD reason : {0u, 1u, 2u, 3u}) EXPECT_EQ(Lib().dllMain(nullptr, reason, nullptr), 1);
}

std::string ReadSetting(const std::string& key, const std::string& name) {
  platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
  if (!reg.OpenKey("\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS" + key, false)) return "";
  return reg.ReadString(name);
}

TEST(EngineStart, LoadingWritesTheSettingsDefaultsOfAnOlderVersion) {
  Lib();
  EXPECT_EQ(ReadSetting("", "Version"), "1.1.1.73");
  EXPECT_EQ(ReadSetting("\\DAVL", "Volume_Position"), "50");

  // An older stored version: the next load resets the voices.
  {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS", false));
    reg.WriteString("Version", "1.1.1.0");
    ASSERT_TRUE(reg.OpenKey("DAVL", false));
    reg.WriteString("Volume_Position", "77");
  }
  const fs::path copy = Prefix() / "second_load.so";
  fs::copy_file(KV_TTSE_PATH, copy, fs::copy_options::overwrite_existing);
  {
    EngineLibrary second(copy.string());
    ASSERT_TRUE(second.Loaded()) << ::dlerror();
    EXPECT_EQ(ReadSetting("", "Version"), "1.1.1.73");
    EXPECT_EQ(ReadSetting("\\DAVL", "Volume_Position"), "50");
  }
  // The current version: loading changes nothing.
  {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\DAVL", false));
    reg.WriteString("Volume_Position", "77");
  }
  {
    EngineLibrary third(copy.string());
    ASSERT_TRUE(third.Loaded());
    EXPECT_EQ(ReadSetting("\\DAVL", "Volume_Position"), "77");
  }
  fs::remove(copy);
}

}  // namespace
}  // namespace kv::test
