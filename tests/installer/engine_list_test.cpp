// Switching engines off and on through the "-Backup" key.
#include <gtest/gtest.h>

#include "installer/engine_switcher.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::installer {
namespace {

using platform::Registry;

constexpr const char* kList = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine";
constexpr const char* kBackup = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine-Backup";

void Set(platform::RootKey root, const std::string& key, const std::string& name,
         const std::string& value) {
  Registry reg(root);
  ASSERT_TRUE(reg.OpenKey(key, true));
  reg.WriteString(name, value);
}

TEST(EngineSwitcher, ListsActiveThenSwitchedOffAndMovesValuesBothWays) {
  test::ResetPrefix();
  Set(platform::HKEY_LOCAL_MACHINE, kList, "KORVEN TTS Engine", "{A}");
  Set(platform::HKEY_LOCAL_MACHINE, kList, "Nameless", "{B}");
  Set(platform::HKEY_LOCAL_MACHINE, kBackup, "CsVoice", "{C}");
  Set(platform::HKEY_CLASSES_ROOT, "\\CLSID\\{A}", "", "KORVEN TTS Engine (Czech)");
  Set(platform::HKEY_CLASSES_ROOT, "\\CLSID\\{C}", "", "CV.Enumerator");

  auto rows = ListEngines();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].display, "KORVEN TTS Engine (Czech)");
  EXPECT_TRUE(rows[0].active);
  EXPECT_EQ(rows[1].display, "Nameless");  // no class key: the internal name
  EXPECT_EQ(rows[2].display, "CV.Enumerator (CS-Voice )");
  EXPECT_FALSE(rows[2].active);

  SetEngineActive(rows[0], false);
  SetEngineActive(rows[2], true);
  Registry reg(platform::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(kList, false));
  EXPECT_FALSE(reg.ValueExists("KORVEN TTS Engine"));
  EXPECT_EQ(reg.ReadString("CsVoice"), "{C}");
  ASSERT_TRUE(reg.OpenKey(kBackup, false));
  EXPECT_EQ(reg.ReadString("KORVEN TTS Engine"), "{A}");
  EXPECT_FALSE(reg.ValueExists("CsVoice"));

  rows = ListEngines();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].name, "KORVEN TTS Engine");
  EXPECT_FALSE(rows[2].active);
}

}  // namespace
}  // namespace kv::installer
