// kv_ttse.dll as a SAPI 4 host meets it: loaded by the system's loader, its exports called with
// COM's calling convention, then registered and created through CoCreateInstance.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/com.h"
#include "platform/win32/windows_api.h"
#include "sapi/memory_dest.h"
#include "sapi/sapi4.h"
#include "sapi/speak_through_engine.h"
#include "sapi/tts_enumerator.h"

namespace kv {
namespace {

using com::HRESULT;

// The library beside the test, as the loader finds it.
HMODULE Engine() {
  static HMODULE module = ::LoadLibraryW(L"kv_ttse.dll");
  return module;
}

template <typename Fn>
Fn Export(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(Engine(), name)));
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs first: no engine instance exists yet in this process.
TEST(EngineLibraryTest, CountsObjectsAndLocksForDllCanUnloadNow) {
  ASSERT_NE(Engine(), nullptr);
  auto canUnload = Export<com::DllCanUnloadNowFn>("DllCanUnloadNow");
  auto getClassObject = Export<com::DllGetClassObjectFn>("DllGetClassObject");
  ASSERT_NE(canUnload, nullptr);
  ASSERT_NE(getClassObject, nullptr);
  for (const char* name : {"DllRegisterServer", "DllUnregisterServer", "DllMain"})
    EXPECT_NE(::GetProcAddress(Engine(), name), nullptr) << name;
  EXPECT_EQ(canUnload(), com::S_OK);

  const com::CLSID engine = *com::GuidFromString("{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}");
  void* object = nullptr;
  EXPECT_EQ(getClassObject(com::IID_IUnknown, com::IID_IClassFactory, &object), com::E_FAIL);
  ASSERT_EQ(getClassObject(engine, com::IID_IClassFactory, &object), com::S_OK);
  auto* factory = static_cast<com::IClassFactory*>(object);
  EXPECT_EQ(canUnload(), com::S_FALSE);
  EXPECT_EQ(factory->LockServer(TRUE), com::S_OK);
  factory->Release();
  EXPECT_EQ(canUnload(), com::S_FALSE) << "the lock holds the library";

  void* modes = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, sapi::IID_ITTSEnumW, &modes), com::S_OK);
  static_cast<sapi::ITTSEnumW*>(modes)->Release();
  EXPECT_EQ(factory->LockServer(FALSE), com::S_OK);
  EXPECT_EQ(canUnload(), com::S_OK) << "every reference given back";
  EXPECT_EQ(factory->LockServer(FALSE), com::E_FAIL);
  EXPECT_EQ(canUnload(), com::S_OK);
}

class RegisteredEngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    auto registerServer = Export<com::DllRegisterServerFn>("DllRegisterServer");
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), com::S_OK);
  }
};

TEST_F(RegisteredEngineTest, ListsItsThreeModesThroughCOM) {
  sapi::TtsEnumerator enumerator;
  ASSERT_EQ(enumerator.Load(), com::S_OK);
  EXPECT_TRUE(enumerator.Problems().empty());
  std::vector<std::string> names;
  for (const sapi::VoiceMode& mode : enumerator.Modes())
    names.push_back(sapi::FieldText(mode.info.szModeName, sapi::TTSI_NAMELEN));
  EXPECT_EQ(names, (std::vector<std::string>{"DAVLa", "DAVLuska", "DAVL"}));
}

TEST_F(RegisteredEngineTest, SpeaksIntoAFileWithTheNotificationsInOrder) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "kv_engine_test.wav";
  sapi::SpeakOptions options;
  options.text = "Dobrý den, máme 25 stupňů.";
  options.voice = "DAVLuska";
  options.wavFile = file;
  std::ostringstream events, err;
  options.events = &events;
  ASSERT_EQ(sapi::SpeakThroughEngine(options, err), sapi::kSpoken) << err.str();
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> wave((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
  ASSERT_GT(wave.size(), 44u + 22050u) << "at least half a second of speech";

  const std::vector<std::string> lines = Lines(events.str());
  ASSERT_GE(lines.size(), 6u);
  // The times ("t") depend on how busy the machine is; the order does not.
  EXPECT_NE(lines.front().find("\"event\":\"TextDataStarted\"}"), std::string::npos);
  EXPECT_NE(lines[1].find("\"event\":\"AudioStart\"}"), std::string::npos);
  EXPECT_NE(lines[lines.size() - 2].find("\"TextDataDone\""), std::string::npos);
  EXPECT_NE(lines.back().find("\"AudioStop\""), std::string::npos);
  size_t words = 0;
  for (const std::string& line : lines) words += line.find("\"WordPosition\"") != std::string::npos;
  EXPECT_GE(words, 5u);
  in.close();
  std::filesystem::remove(file);
}

// The forms themselves are win32_dialogs_test's (they need a display); here what needs none.
TEST_F(RegisteredEngineTest, DialogsShowNothingWithoutAParentAndRefuseOtherThreads) {
  sapi::TtsEnumerator enumerator;
  ASSERT_EQ(enumerator.Load(), com::S_OK);
  ASSERT_FALSE(enumerator.Modes().empty());
  auto* audio = new sapi::MemoryDestination();
  sapi::ITTSCentralW* central = nullptr;
  ASSERT_EQ(enumerator.Select(enumerator.Modes()[0].info.gModeID, &central,
                              static_cast<sapi::IAudio*>(audio)),
            com::S_OK);
  void* dialogs = nullptr;
  ASSERT_EQ(central->QueryInterface(sapi::IID_ITTSDialogsW, &dialogs), com::S_OK);
  auto* forms = static_cast<sapi::ITTSDialogsW*>(dialogs);
  EXPECT_EQ(forms->AboutDlg(nullptr, u"O programu"), com::S_OK);
  EXPECT_EQ(forms->GeneralDlg(nullptr, nullptr), com::S_OK);
  const auto window = reinterpret_cast<sapi::HWND>(::GetDesktopWindow());
  HRESULT other = com::S_OK;
  std::thread([&] { other = forms->LexiconDlg(window, nullptr); }).join();
  EXPECT_EQ(other, com::MakeResult(0x8001010E)) << "RPC_E_WRONG_THREAD from another thread";
  forms->Release();
  central->Release();
  audio->Release();
}

}  // namespace
}  // namespace kv
