// Self-registration: exactly the four entries are written, and exactly they are removed.
#include <map>
#include <string>

#include "platform/registry.h"
#include "tests/engine/engine_library.h"
#include "tests/support/test_prefix.h"

namespace kv::test {
namespace {

using platform::Registry;
using platform::RootKey;
using Snapshot = std::map<std::string, std::string>;  // "ROOT\key|value" -> data

void Collect(Registry& reg, RootKey root, const std::string& path, Snapshot& out) {
  if (!reg.OpenKey("\\" + path, false)) return;
  out[std::string(platform::RootKeyName(root)) + "\\" + path] = "<key>";
  for (const std::string& name : reg.GetValueNames()) {
    const std::string data = reg.GetDataType(name) == platform::ValueType::String
                                 ? reg.ReadString(name)
                                 : std::to_string(reg.ReadInteger(name));
    out[std::string(platform::RootKeyName(root)) + "\\" + path + "|" + name] = data;
  }
  for (const std::string& sub : reg.GetKeyNames()) {
    Collect(reg, root, path.empty() ? sub : path + "\\" + sub, out);
    reg.OpenKey("\\" + path, false);
  }
}

Snapshot TakeSnapshot() {
  Snapshot all;
  for (RootKey root : {platform::HKEY_LOCAL_MACHINE, platform::HKEY_CLASSES_ROOT}) {
    Registry reg(root);
    if (!reg.OpenKey("\\", false)) continue;
    for (const std::string& top : reg.GetKeyNames()) Collect(reg, root, top, all);
  }
  return all;
}

// Entries in `after` that are missing from or differ in `before`.
Snapshot Added(const Snapshot& before, const Snapshot& after) {
  Snapshot added;
  for (const auto& [key, value] : after) {
    auto it = before.find(key);
    if (it == before.end() || it->second != value) added[key] = value;
  }
  return added;
}

// A machine that has other engines and classes registered beside ours.
void WriteNeighbours() {
  Registry reg(platform::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice\\TextToSpeech\\Engine", true));
  reg.WriteString("Other Engine", "{2F46E4C0-4EDA-101B-931A-00AA0047BA4F}");
  reg.SetRoot(platform::HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("\\CLSID\\{2F46E4C0-4EDA-101B-931A-00AA0047BA4F}\\InprocServer32", true));
  reg.WriteString("", "/opt/other/other.so");
}

constexpr const char* kClassKey = "\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}";

TEST(EngineRegistration, WritesExactlyTheFourEntriesAndRemovesExactlyThem) {
  EngineLibrary& lib = EngineLibrary::Built();
  ASSERT_TRUE(lib.Loaded());
  WriteNeighbours();
  const Snapshot before = TakeSnapshot();

  ASSERT_EQ(lib.registerServer(), S_OK);
  const Snapshot registered = TakeSnapshot();
  const std::string cls = "HKEY_CLASSES_ROOT\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}";
  const Snapshot expected = {
      {cls, "<key>"},
      {cls + "|", "KORVEN TTS Engine (Czech)"},
      {cls + "\\InprocServer32", "<key>"},
      {cls + "\\InprocServer32|", std::filesystem::absolute(KV_TTSE_PATH).string()},
      {cls + "\\InprocServer32|ThreadingModel", "Apartment"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice\\TextToSpeech\\Engine|KORVEN TTS Engine",
       "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}"},
  };
  EXPECT_EQ(Added(before, registered), expected);
  EXPECT_TRUE(Added(registered, before).empty()) << "nothing else changed";

  ASSERT_EQ(lib.registerServer(), S_OK) << "registering twice is harmless";
  EXPECT_EQ(TakeSnapshot(), registered);

  EXPECT_EQ(lib.unregisterServer(), S_OK);
  EXPECT_EQ(TakeSnapshot(), before);
}

TEST(EngineRegistration, UnregisteringWhatWasNeverRegisteredChangesNothing) {
  EngineLibrary& lib = EngineLibrary::Built();
  ASSERT_TRUE(lib.Loaded());
  WriteNeighbours();
  Snapshot before = TakeSnapshot();
  EXPECT_EQ(lib.unregisterServer(), S_OK);
  EXPECT_EQ(TakeSnapshot(), before);

  // Without the InprocServer32 key nothing is deleted, not even a left-over engine list value
  // or class key.
  {
    Registry reg(platform::HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice\\TextToSpeech\\Engine", true));
    reg.WriteString("KORVEN TTS Engine", "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}");
    reg.SetRoot(platform::HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey(kClassKey, true));
    reg.WriteString("", "left over");
  }
  before = TakeSnapshot();
  EXPECT_EQ(lib.unregisterServer(), S_OK);
  EXPECT_EQ(TakeSnapshot(), before);
}

}  // namespace
}  // namespace kv::test
