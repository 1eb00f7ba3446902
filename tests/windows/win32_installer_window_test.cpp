// The installer's Win32 window: its controls reach the main window's logic. Clicks and check
// marks go to the controls as messages, as a user's would; the results are read back from the
// controls and the registry (of the test run's Wine prefix, left as it was found).
// The window's header brings the Windows headers that the common controls' header needs.
// clang-format off
#include "installer/win32/main_window.h"
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include "installer/engine_setup.h"
#include "installer/installer_texts.h"
#include "installer/reg_work.h"
#include "platform/message_box.h"
#include "platform/registry.h"

namespace kv::installer {
namespace {

using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

constexpr const char* kTestEngine = "KvTestVoice";
constexpr const char* kTestClsid = "{11111111-2222-3333-4444-555555555555}";
const std::string kBackupKey = std::string(names::kEngineListKey) + "-Backup";

std::wstring Text(HWND control) {
  wchar_t text[512] = {};
  ::GetWindowTextW(control, text, 512);
  return text;
}

void Click(HWND control) {
  ::SendMessageW(control, BM_CLICK, 0, 0);
}

bool ValueIn(const std::string& key, const char* name) {
  Registry reg(HKEY_LOCAL_MACHINE);
  return reg.OpenKey(key, false) && reg.ValueExists(name);
}

void RemoveTestEngine() {
  Registry reg(HKEY_LOCAL_MACHINE);
  for (const std::string& key : {std::string(names::kEngineListKey), kBackupKey})
    if (reg.OpenKey(key, false) && reg.ValueExists(kTestEngine)) reg.DeleteValue(kTestEngine);
}

class InstallerWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::SetMessagePresenter([this](const std::string& text) { messages.push_back(text); });
    runtimeBefore = RuntimePresent();
    InstallRuntime();
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(names::kEngineListKey, false));
    reg.WriteString(kTestEngine, kTestClsid);
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
    window.Logic.Timer1Timer();  // the first start-up tick
  }
  void TearDown() override {
    if (window.Handle() != nullptr) ::SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
    RemoveTestEngine();
    Registry user(platform::HKEY_CURRENT_USER);
    user.DeleteKey("\\SOFTWARE\\KORVEN\\win32_installer_window_test");
    user.DeleteKey("\\SOFTWARE\\KORVEN\\KV_TTS_Install");  // the window's placement
    RegWriteBool(HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, false);
    if (!runtimeBefore) {
      Registry reg(HKEY_LOCAL_MACHINE);
      reg.DeleteKey(std::string(names::kEngineListKey) + "-Backup");
      reg.DeleteKey(names::kEngineListKey);
    }
    platform::SetMessagePresenter({});
  }

  std::vector<std::string> messages;
  bool runtimeBefore = false;
  TInstallerWindow window;
};

TEST_F(InstallerWindowTest, StartUpEnablesTheWindowAndTheBoxesAndButtonsRunTheirHandlers) {
  EXPECT_TRUE(::IsWindowEnabled(window.ButtonOk));
  EXPECT_TRUE(::IsWindowEnabled(window.TTS_KORVEN_INSTALED));
  EXPECT_TRUE(messages.empty());
  EXPECT_NE(Text(window.Status_tts), L"init");

  Click(window.Rikat);
  EXPECT_TRUE(RegReadBool(HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, false));
  Click(window.Rikat);
  EXPECT_FALSE(RegReadBool(HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, true));

  Click(window.TestMSAgent);  // on a page: the page hands the click on
  EXPECT_EQ(Text(window.TestMSAgent), L"Uninit MSA");
  Click(window.TestMSAgent);
  EXPECT_EQ(Text(window.TestMSAgent), L"Test MSAgent");
}

TEST_F(InstallerWindowTest, TheEngineListSwitchesAnEngineAndShowsItsNames) {
  const int rows = int(::SendMessageW(window.CheckListBox1, LVM_GETITEMCOUNT, 0, 0));
  int row = -1;
  for (int i = 0; i < rows; ++i)
    if (size_t(i) < window.Logic.EngineRows.size() &&
        window.Logic.EngineRows[size_t(i)].name == kTestEngine)
      row = i;
  ASSERT_GE(row, 0);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(window.CheckListBox1, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
  EXPECT_EQ(Text(window.LSEIN), L"Registry internal Name : KvTestVoice");

  state.stateMask = LVIS_STATEIMAGEMASK;
  state.state = INDEXTOSTATEIMAGEMASK(1);  // unchecked
  ::SendMessageW(window.CheckListBox1, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
  EXPECT_FALSE(ValueIn(std::string(names::kEngineListKey), kTestEngine));
  EXPECT_TRUE(ValueIn(kBackupKey, kTestEngine));
  state.state = INDEXTOSTATEIMAGEMASK(2);
  ::SendMessageW(window.CheckListBox1, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
  EXPECT_TRUE(ValueIn(std::string(names::kEngineListKey), kTestEngine));
}

TEST_F(InstallerWindowTest, TheInfoPageIsShownAndTheTestTextStoredAtClosing) {
  window.SelectPage(3);
  EXPECT_NE(Text(window.WebBrowser1).find(L"Hlasov\u00fd v\u00fdstup"), std::wstring::npos);
  ::SetWindowTextW(window.Memo1, L"P\u0159\u00edli\u0161 \u017elu\u0165ou\u010dk\u00fd.");
  const std::string key = window.Logic.UserKey;
  ::SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
  Registry reg(platform::HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(key, false));
  EXPECT_EQ(reg.ReadString(names::kTestMemoValue), Cp("Příliš žluťoučký."));
}

}  // namespace
}  // namespace kv::installer
