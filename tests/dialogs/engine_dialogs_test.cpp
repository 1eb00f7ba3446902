// The engine's dialogs as a SAPI host opens them: a copy of the engine library in a folder of
// its own, with or without a dialogs module beside it, on the memory destination and a manual
// clock.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/message_loop.h"
#include "sapi/memory_dest.h"
#include "tests/engine/host.h"
#include "tests/support/test_prefix.h"

namespace kv::test {
namespace {

namespace fs = std::filesystem;

const HWND kWindow = reinterpret_cast<HWND>(0x1234);
constexpr HRESULT RPC_E_WRONG_THREAD = MakeResult(0x8001010E);

// A library loaded to the end of the program, as a host keeps it: its instances live on.
EngineLibrary& KeptLibrary(const fs::path& path) {
  static auto* kept = new std::map<fs::path, std::unique_ptr<EngineLibrary>>();
  std::unique_ptr<EngineLibrary>& library = (*kept)[path];
  if (!library) library = std::make_unique<EngineLibrary>(path.string());
  if (!library->Loaded()) throw std::runtime_error("cannot load " + path.string());
  return *library;
}

// An instance of voice 1 of the engine copied into its own folder, with the given file (or
// none) as its dialogs module, speaking into a memory destination that plays as it is fed.
class EngineCopy {
 public:
  explicit EngineCopy(const char* module) {
    dir = Prefix() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(dir);
    fs::copy_file(KV_TTSE_PATH, dir / "kv_ttse.so");
    if (module != nullptr) fs::copy_file(module, dir / "kv_ttsdlg.so");
    EngineLibrary& library = KeptLibrary(dir / "kv_ttse.so");
    void* factory = nullptr;
    EXPECT_EQ(library.getClassObject(kEngineClass, IID_IClassFactory, &factory), S_OK);
    void* enumerator = nullptr;
    static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, IID_ITTSEnumW, &enumerator);
    auto* modes = static_cast<ITTSEnumW*>(enumerator);
    EXPECT_EQ(modes->Select(kModeIds[0], &central, static_cast<IAudio*>(dest)), S_OK);
    modes->Release();
    static_cast<IClassFactory*>(factory)->Release();
    void* dialogsW = nullptr;
    central->QueryInterface(IID_ITTSDialogsW, &dialogsW);
    dialogs = static_cast<ITTSDialogsW*>(dialogsW);
    central->Register(&notify, IID_ITTSNotifySinkW, &key);
  }
  ~EngineCopy() {
    central->UnRegister(key);
    dialogs->Release();
    central->Release();
    dest->Release();
  }
  void SpeakAndWait(const std::u16string& text) {
    WideText data(text);
    ASSERT_EQ(central->TextData(CHARSET_TEXT, 0, data.Data(), nullptr, IID_ITTSBufNotifySink),
              S_OK);
    platform::MessageLoop::Current().RunUntil([&] { return log.Count("AudioStopW") > 0; });
  }

  fs::path dir;
  ManualTime time;
  EventLog log;
  NotifySinkW notify{log, IID_ITTSNotifySinkW, "W"};
  sapi::MemoryDestination* dest = new sapi::MemoryDestination(0, true);
  ITTSCentralW* central = nullptr;
  ITTSDialogsW* dialogs = nullptr;
  DWORD key = 0;
};

TEST(EngineDialogs, AMissingOrBrokenModuleFailsTheCallAndSpeakingGoesOn) {
  EngineCopy engine(nullptr);
  EXPECT_EQ(engine.dialogs->GeneralDlg(kWindow, nullptr), CO_E_DLLNOTFOUND);
  HRESULT other = S_OK;
  std::thread([&] { other = engine.dialogs->GeneralDlg(kWindow, nullptr); }).join();
  EXPECT_EQ(other, RPC_E_WRONG_THREAD) << "refused before the module is looked for";
  std::ofstream(engine.dir / "kv_ttsdlg.so") << "not a library";
  EXPECT_EQ(engine.dialogs->AboutDlg(kWindow, nullptr), CO_E_ERRORINDLL);
  // A module cut short (a copy that broke off) would kill the host with SIGBUS in the loader.
  fs::copy_file(KV_DIALOGS_MODULE, engine.dir / "kv_ttsdlg.so",
                fs::copy_options::overwrite_existing);
  fs::resize_file(engine.dir / "kv_ttsdlg.so", 100000);
  EXPECT_EQ(engine.dialogs->AboutDlg(kWindow, nullptr), CO_E_ERRORINDLL);
  EXPECT_EQ(engine.dialogs->LexiconDlg(nullptr, nullptr), S_OK) << "the probe needs no module";
  engine.SpeakAndWait(u"Dobrý den.");
  EXPECT_GT(engine.dest->Accepted().size(), 22050u);
}

TEST(EngineDialogs, ACallFromAnotherThreadIsRefusedAndLeavesTheToolkitToTheInstance) {
  EngineCopy engine(KV_DIALOGS_MODULE);
  HRESULT other = S_OK;
  std::thread([&] { other = engine.dialogs->AboutDlg(kWindow, nullptr); }).join();
  EXPECT_EQ(other, RPC_E_WRONG_THREAD);
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
  // The instance's own thread still gets its form (shown, pictured and closed at once).
  ::setenv("KVTTS_DIALOG_SCREENSHOT", (engine.dir / "about.png").c_str(), 1);
  EXPECT_EQ(engine.dialogs->AboutDlg(kWindow, nullptr), S_OK);
  ::unsetenv("KVTTS_DIALOG_SCREENSHOT");
  EXPECT_TRUE(fs::exists(engine.dir / "about.png"));
}

QAbstractButton* Button(QWidget* form, const char* caption) {
  for (auto* button : form->findChildren<QAbstractButton*>())
    if (button->text() == QString::fromUtf8(caption)) return button;
  return nullptr;
}

TEST(EngineDialogs, AFormOpenedThroughTheEngineSpeaksThroughItsInstance) {
  EngineCopy engine(KV_DIALOGS_MODULE);
  // No display, or one that does not answer: an error code, not the end of the host.
  const std::string platform = std::getenv("QT_QPA_PLATFORM");
  ::unsetenv("QT_QPA_PLATFORM");
  ::unsetenv("WAYLAND_DISPLAY");
  ::unsetenv("DISPLAY");
  EXPECT_EQ(engine.dialogs->GeneralDlg(kWindow, nullptr), E_FAIL);
  ::setenv("DISPLAY", ":97", 1);
  EXPECT_EQ(engine.dialogs->LexiconDlg(kWindow, nullptr), E_FAIL);
  ::unsetenv("DISPLAY");
  ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1);

  // Once the form is up, the speak button; once the audio has stopped, the close button. Our
  // timer fires inside the form's modal loop, as the engine's feed timer must.
  int step = 0;
  platform::WindowTimer user(50, [&] {
    QWidget* form = QApplication::activeModalWidget();
    if (form == nullptr) return;
    if (step == 0 && Button(form, "&Řekni <F5>") != nullptr) {
      Button(form, "&Řekni <F5>")->click();
      step = 1;
    } else if (step == 1 && engine.log.Count("AudioStopW") > 0) {
      Button(form, "&Zavřít")->click();
      step = 2;
    }
  });
  user.SetEnabled(true);
  EXPECT_EQ(engine.dialogs->GeneralDlg(kWindow, nullptr), S_OK);
  EXPECT_EQ(step, 2);
  const size_t spoken = engine.dest->Accepted().size();
  EXPECT_GT(spoken, 22050u) << "the test text, into the instance's destination";
  user.SetEnabled(false);

  // The same text from the host gives the same amount of audio.
  engine.log.Clear();
  engine.SpeakAndWait(u"Testovací text 1, 2, 3.");
  EXPECT_NEAR(double(engine.dest->Accepted().size() - spoken), double(spoken), spoken * 0.05);

  // The toolkit now belongs to this thread: a call from another one is refused.
  HRESULT other = S_OK;
  std::thread([&] { other = engine.dialogs->AboutDlg(kWindow, nullptr); }).join();
  EXPECT_EQ(other, RPC_E_WRONG_THREAD);
}

}  // namespace
}  // namespace kv::test
