// The engine's dialogs as a SAPI 4 host opens them: ITTSDialogs from the host's thread with its
// own window, and a user (another thread posting messages, as input does) who finds each form
// by its caption, moves a track bar or types, and closes it. Needs a display (Xvfb).
// clang-format off
#include "platform/win32/windows_api.h"
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>
#include <utility>

#include "dialogs/logic/dictionary_text.h"
#include "dialogs/win32/control_ids.h"
#include "platform/com.h"
#include "platform/registry.h"
#include "sapi/memory_dest.h"
#include "sapi/sapi4.h"
#include "sapi/tts_enumerator.h"

namespace kv {
namespace {

namespace ids = dialogs::win32;
using com::HRESULT;

constexpr const wchar_t* kFormClass = L"KvTTSForm";
const std::string kDavla = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\DAVLa";

HWND WaitForForm(const wchar_t* caption) {
  for (int i = 0; i < 200; ++i) {
    if (HWND form = ::FindWindowW(kFormClass, caption); form && ::IsWindowVisible(form))
      return form;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return nullptr;
}

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  if (::GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

// A control of the form by its identifier, on a page or on the form itself.
HWND FindControl(HWND form, int id) {
  Search search{id, nullptr};
  ::EnumChildWindows(form, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<std::string> Stored(platform::RootKey root, const std::string& key,
                                  const std::string& name) {
  platform::Registry reg(root);
  if (!reg.OpenKey(key, false) || !reg.ValueExists(name)) return std::nullopt;
  if (reg.GetDataType(name) == platform::ValueType::DWord)
    return std::to_string(reg.ReadInteger(name));
  return reg.ReadString(name);
}

class EngineDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    HMODULE engine = ::LoadLibraryW(L"kv_ttse.dll");
    ASSERT_NE(engine, nullptr);
    auto registerServer = reinterpret_cast<com::DllRegisterServerFn>(
        reinterpret_cast<void*>(::GetProcAddress(engine, "DllRegisterServer")));
    ASSERT_EQ(registerServer(), com::S_OK);
    wchar_t name[MAX_PATH];
    ::GetModuleFileNameW(engine, name, MAX_PATH);
    dictionary_ = std::filesystem::path(name).replace_extension(".dct");
  }

  void SetUp() override {
    ASSERT_EQ(enumerator_.Load(), com::S_OK);
    ASSERT_FALSE(enumerator_.Modes().empty());
    audio_ = new sapi::MemoryDestination();
    ASSERT_EQ(enumerator_.Select(enumerator_.Modes()[0].info.gModeID, &central_,
                                 static_cast<sapi::IAudio*>(audio_)),
              com::S_OK);
    void* dialogs = nullptr;
    ASSERT_EQ(central_->QueryInterface(sapi::IID_ITTSDialogsW, &dialogs), com::S_OK);
    forms_ = static_cast<sapi::ITTSDialogsW*>(dialogs);
    static const ATOM hostClass = [] {
      WNDCLASSW type{};
      type.lpfnWndProc = ::DefWindowProcW;
      type.hInstance = ::GetModuleHandleW(nullptr);
      type.lpszClassName = L"KvTestHost";
      return ::RegisterClassW(&type);
    }();
    ASSERT_NE(hostClass, 0);
    host_ = ::CreateWindowExW(0, L"KvTestHost", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              400, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
  }

  void TearDown() override {
    if (user_.joinable()) user_.join();
    ::DestroyWindow(host_);
    if (forms_) forms_->Release();
    if (central_) central_->Release();
    if (audio_) audio_->Release();
  }

  // The user's steps run on a thread of their own while the dialog call runs here.
  void Meanwhile(std::function<void()> steps) { user_ = std::thread(std::move(steps)); }
  sapi::HWND Host() const { return reinterpret_cast<sapi::HWND>(host_); }

  static inline std::filesystem::path dictionary_;
  sapi::TtsEnumerator enumerator_;
  sapi::MemoryDestination* audio_ = nullptr;
  sapi::ITTSCentralW* central_ = nullptr;
  sapi::ITTSDialogsW* forms_ = nullptr;
  HWND host_ = nullptr;
  std::thread user_;
};

TEST_F(EngineDialogsTest, TheVoiceDialogStoresAMovedTrackBarAndChangesVoice) {
  std::atomic<bool> hostDisabled{false};
  std::pair<int, int> davlBand;
  Meanwhile([&] {
    HWND form = WaitForForm(L" KORVEN TTS -> Možnosti hlasu");
    ASSERT_NE(form, nullptr);
    hostDisabled = ::IsWindowEnabled(host_) == FALSE;
    HWND volume = FindControl(form, ids::kIdVolume);
    ASSERT_NE(volume, nullptr);
    ::PostMessageW(volume, TBM_SETPOS, TRUE, 77);
    ::PostMessageW(::GetParent(volume), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 77),
                   reinterpret_cast<LPARAM>(volume));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // the 800 ms timer
    // The voice list: DAVL's pitch band comes with it.
    HWND voices = FindControl(form, ids::kIdVoice);
    ::SendMessageW(voices, CB_SETCURSEL, 2, 0);
    ::SendMessageW(form, WM_COMMAND, MAKEWPARAM(ids::kIdVoice, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(voices));
    HWND pitch = FindControl(form, ids::kIdPith);
    davlBand = {int(::SendMessageW(pitch, TBM_GETSELSTART, 0, 0)),
                int(::SendMessageW(pitch, TBM_GETSELEND, 0, 0))};
    ::PostMessageW(form, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(forms_->GeneralDlg(Host(), nullptr), com::S_OK);
  EXPECT_TRUE(hostDisabled) << "modal over the host's window";
  EXPECT_TRUE(::IsWindowEnabled(host_));
  EXPECT_EQ(davlBand, std::make_pair(1, 10));
  EXPECT_EQ(Stored(platform::HKEY_LOCAL_MACHINE, kDavla, "Volume_Position"), "77");
  EXPECT_EQ(Stored(platform::HKEY_LOCAL_MACHINE, kDavla, "Values_Changed"), "1");
  EXPECT_EQ(Stored(platform::HKEY_LOCAL_MACHINE, kDavla, "FormVersion"), "0");
  EXPECT_EQ(Stored(platform::HKEY_CURRENT_USER, "SOFTWARE\\KORVEN\\TTS", "TestovaciText_Text"),
            "Testovac\xED text 1, 2, 3.");
  EXPECT_TRUE(
      Stored(platform::HKEY_CURRENT_USER, "SOFTWARE\\KORVEN\\TTS", "FormViceProperties_Left"));
}

TEST_F(EngineDialogsTest, TheDictionaryEditorSavesWhatWasTypedOnClose) {
  std::ofstream(dictionary_, std::ios::binary) << "Ahoj=ahooj\r\n";
  for (auto open : {&sapi::ITTSDialogsW::LexiconDlg, &sapi::ITTSDialogsW::TranslateDlg}) {
    Meanwhile([&] {
      HWND form = WaitForForm(L" KORVEN TTS -> Slovník (výraz=vyslov)");
      ASSERT_NE(form, nullptr);
      HWND memo = FindControl(form, ids::kIdDictionary);
      ASSERT_NE(memo, nullptr);
      ::PostMessageW(memo, WM_CHAR, L'č', 0);
      if (open == &sapi::ITTSDialogsW::TranslateDlg) {
        // Windows' Czech order: "č" after "c", "ch" after "h".
        ::PostMessageW(memo, EM_SETSEL, 100000, 100000);
        for (wchar_t c : std::wstring(L"\rchata=x\rhrad=y\rcibule=z"))
          ::PostMessageW(memo, WM_CHAR, c, 0);
        ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(ids::kIdSort, BN_CLICKED),
                       reinterpret_cast<LPARAM>(FindControl(form, ids::kIdSort)));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      ::PostMessageW(form, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ((forms_->*open)(Host(), nullptr), com::S_OK);
    user_.join();
  }
  std::ifstream in(dictionary_, std::ios::binary);
  const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  // Lower-cased, with what was typed each time, and sorted the second time.
  EXPECT_EQ(saved,
            "cibule=z\r\n\xE8\xE8"
            "ahoj=ahooj\r\nhrad=y\r\nchata=x\r\n");
  EXPECT_EQ(
      Stored(platform::HKEY_CURRENT_USER, "SOFTWARE\\KORVEN\\TTS\\Dictionary", "Rikat_Checked"),
      "False");
}

TEST_F(EngineDialogsTest, TheAboutFormClosesWithOk) {
  Meanwhile([&] {
    HWND form = WaitForForm(L"About");
    ASSERT_NE(form, nullptr);
    ::PostMessageW(form, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(FindControl(form, IDOK)));
  });
  EXPECT_EQ(forms_->AboutDlg(Host(), u"O programu"), com::S_OK);
}

// The editor's save on Windows: a temporary beside the file, moved over it; a read-only file
// is left as it is.
TEST(DictionarySaveTest, ReplacesTheFileWholeAndLeavesAReadOnlyOneAlone) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kv_dct_save";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / L"slovník.dct";
  std::ofstream(file, std::ios::binary) << "old\r\n";
  std::error_code failure;
  ASSERT_TRUE(dialogs::WriteFileAtomically(file, "nov\xE9\r\n", &failure)) << failure.message();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary left";
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(dialogs::WriteFileAtomically(file, "lost\r\n", &failure));
  EXPECT_EQ(failure, std::errc::permission_denied);
  ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ifstream in(file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            "nov\xE9\r\n");
  in.close();
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kv
