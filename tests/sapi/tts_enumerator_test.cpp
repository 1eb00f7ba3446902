// The TTS enumerator over the engine list, and the voice list that kvtts prints from it.
#include "sapi/tts_enumerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>

#include "platform/registry.h"
#include "sapi/first_use.h"
#include "tests/support/test_prefix.h"

namespace kv::sapi {
namespace {

constexpr GUID kModeDavl = {
    0x3FF7410E, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}};

HRESULT CallExport(const char* name) {
  std::shared_ptr<com::InprocServer> server;
  EXPECT_EQ(com::InprocServer::FromFile(KV_TTSE_PATH, &server), com::S_OK);
  if (!server) return com::E_FAIL;
  auto function = reinterpret_cast<com::DllRegisterServerFn>(server->Symbol(name));
  return function != nullptr ? function() : com::E_FAIL;
}

void AddEngineListValue(const std::string& name, const std::string& data) {
  platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kEngineListKey, true));
  reg.WriteString(name, data);
}

class TtsEnumeratorTest : public ::testing::Test {
 protected:
  // An empty engine list for every test.
  void SetUp() override {
    platform::Registry reg(platform::HKEY_LOCAL_MACHINE);
    reg.DeleteKey(kEngineListKey);
  }
  void TearDown() override { CallExport("DllUnregisterServer"); }
};

TEST_F(TtsEnumeratorTest, WithoutEnginesTheListSaysHowToRegisterOne) {
  std::ostringstream out, err;
  EXPECT_EQ(PrintVoiceList(out, err), 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("No text-to-speech engine is registered"), std::string::npos);
  EXPECT_NE(err.str().find("regsvr path/to/kv_ttse.so"), std::string::npos);
}

TEST_F(TtsEnumeratorTest, ListsTheModesOfARegisteredEngine) {
  ASSERT_EQ(CallExport("DllRegisterServer"), com::S_OK);
  {
    TtsEnumerator enumerator;
    ASSERT_EQ(enumerator.Load(), com::S_OK);
    EXPECT_EQ(enumerator.EngineCount(), 1u);
    ASSERT_EQ(enumerator.Modes().size(), 3u);
    EXPECT_EQ(FieldText(enumerator.Modes()[0].info.szModeName, TTSI_NAMELEN), "DAVLa");
    EXPECT_EQ(FieldText(enumerator.Modes()[2].info.szModeName, TTSI_NAMELEN), "DAVL");
    EXPECT_EQ(enumerator.Modes()[1].engineName, "KORVEN TTS Engine");

    ITTSCentralW* central = reinterpret_cast<ITTSCentralW*>(0x1);
    EXPECT_EQ(enumerator.Select(kModeDavl, &central, nullptr), com::E_INVALIDARG)
        << "forwarded to the engine, which needs an audio object";
    EXPECT_EQ(central, nullptr);
    EXPECT_EQ(enumerator.Select(com::IID_IUnknown, &central, nullptr), TTSERR_INVALIDMODE);
  }

  std::ostringstream out, err;
  ASSERT_EQ(PrintVoiceList(out, err), 0) << err.str();
  const std::string text = out.str();
  for (const char* expected :
       {"DAVLa ", "female", "{3FF7410C-A888-4A67-BAFC-55FAF3C5424D}", "DAVLuska", "child (6)",
        "neutral", "{3FF7410D-A888-4A67-BAFC-55FAF3C5424D}", "DAVL ", "male",
        "{3FF7410E-A888-4A67-BAFC-55FAF3C5424D}", "adult (30)", "KORVEN TTS Engine"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " in\n" << text;
  EXPECT_EQ(err.str(), "");
}

TEST_F(TtsEnumeratorTest, BrokenEntriesAreReportedAndTheOthersStillListed) {
  AddEngineListValue("Garbage Engine", "not a class");
  AddEngineListValue("Missing Engine", "{2F46E4C0-4EDA-101B-931A-00AA0047BA4F}");
  {
    std::ostringstream out, err;
    EXPECT_EQ(PrintVoiceList(out, err), 1);
    EXPECT_NE(err.str().find("Garbage Engine"), std::string::npos);
    EXPECT_NE(err.str().find("Missing Engine"), std::string::npos);
    EXPECT_NE(err.str().find("regsvr"), std::string::npos);
  }
  ASSERT_EQ(CallExport("DllRegisterServer"), com::S_OK);
  TtsEnumerator enumerator;
  enumerator.Load();
  EXPECT_EQ(enumerator.Modes().size(), 3u);
  EXPECT_EQ(enumerator.Problems().size(), 2u);
}

// What a user does: regsvr, list the voices, regsvr -u.
TEST_F(TtsEnumeratorTest, RegsvrRegistersAndUnregistersTheLibrary) {
  const std::string regsvr = std::string(KV_REGSVR_PATH) + " ";
  ASSERT_EQ(std::system((regsvr + KV_TTSE_PATH + " >/dev/null").c_str()), 0);
  {
    std::ostringstream out, err;
    EXPECT_EQ(PrintVoiceList(out, err), 0);
    EXPECT_NE(out.str().find("DAVLuska"), std::string::npos);
  }
  ASSERT_EQ(std::system((regsvr + "-u " + KV_TTSE_PATH + " >/dev/null").c_str()), 0);
  std::ostringstream out, err;
  EXPECT_EQ(PrintVoiceList(out, err), 1);

  EXPECT_NE(std::system((regsvr + "/nonexistent/kv_ttse.so 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((regsvr + "2>/dev/null").c_str()), 0);
}

// Lines of the whole registry as kvreg exports it.
std::multiset<std::string> ExportedLines() {
  std::multiset<std::string> lines;
  const std::string command = std::string(KV_KVREG_PATH) + " export";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  char line[1024];
  while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!text.empty()) lines.insert(text);
  }
  return lines;
}

std::multiset<std::string> Difference(const std::multiset<std::string>& a,
                                      const std::multiset<std::string>& b) {
  std::multiset<std::string> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

TEST_F(TtsEnumeratorTest, KvregExportShowsExactlyTheFourEntriesComeAndGo) {
  // Another class registered, and the library loaded once (its settings written).
  {
    platform::Registry reg(platform::HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey("\\CLSID\\{2F46E4C0-4EDA-101B-931A-00AA0047BA4F}", true));
    reg.WriteString("", "other");
  }
  const std::string regsvr = std::string(KV_REGSVR_PATH) + " ";
  ASSERT_EQ(std::system((regsvr + "-u " + KV_TTSE_PATH + " >/dev/null").c_str()), 0);
  const auto before = ExportedLines();

  ASSERT_EQ(std::system((regsvr + KV_TTSE_PATH + " >/dev/null").c_str()), 0);
  const auto registered = ExportedLines();
  const std::string cls = "HKEY_CLASSES_ROOT\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}";
  const std::multiset<std::string> added = {
      "[" + cls + "]",
      "@=\"KORVEN TTS Engine (Czech)\"",
      "[" + cls + "\\InprocServer32]",
      "@=\"" + std::string(KV_TTSE_PATH) + "\"",
      "\"ThreadingModel\"=\"Apartment\"",
      "\"KORVEN TTS Engine\"=\"{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}\"",
  };
  EXPECT_EQ(Difference(registered, before), added);
  EXPECT_TRUE(Difference(before, registered).empty());

  ASSERT_EQ(std::system((regsvr + "-u " + KV_TTSE_PATH + " >/dev/null").c_str()), 0);
  EXPECT_EQ(ExportedLines(), before);
}

// An installed program registers the engine it came with on the first use of a prefix, and only
// then: what the user unregistered later stays unregistered.
TEST_F(TtsEnumeratorTest, FirstUseRegistersThePackagedEngineOnce) {
  const std::filesystem::path bin = test::Prefix() / "unpacked" / "bin";
  std::ostringstream notes;
  EXPECT_FALSE(RegisterPackagedEngineOnFirstUse(notes, bin)) << "no installation there yet";
  const std::filesystem::path engine = PackagedEngineCandidates(bin).front();
  std::filesystem::create_directories(engine.parent_path());
  std::filesystem::create_directories(bin);
  std::filesystem::create_symlink(KV_TTSE_PATH, engine);

  EXPECT_TRUE(RegisterPackagedEngineOnFirstUse(notes, bin)) << notes.str();
  auto voices = [] {
    TtsEnumerator enumerator;
    enumerator.Load();
    return enumerator.Modes().size();
  };
  EXPECT_EQ(voices(), 3u);
  ASSERT_EQ(CallExport("DllUnregisterServer"), com::S_OK);  // regsvr -u
  EXPECT_FALSE(RegisterPackagedEngineOnFirstUse(notes, bin));
  EXPECT_EQ(voices(), 0u);
}

}  // namespace
}  // namespace kv::sapi
