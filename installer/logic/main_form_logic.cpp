#include "installer/logic/main_form_logic.h"

#include <chrono>
#include <ctime>
#include <system_error>

#include "installer/engine_setup.h"
#include "installer/file_version.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "installer/precti_to.h"
#include "installer/reg_work.h"
#include "installer/status.h"
#include "platform/message_box.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "synth/own_voice.h"

namespace kv::installer {
namespace fs = std::filesystem;

using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;
using platform::Registry;

MainFormLogic::MainFormLogic(MainFormFace& face, AgentPort& agent) : face_(face), agent_(agent) {
  RuntimeAtStart = RuntimePresent();
  UserKey =
      "\\SOFTWARE\\KORVEN\\" + platform::ThisModule().FileName().stem().string() + "\\MSAGENT";
}

std::string MainFormLogic::Caption() {
  return Cp(" KORVEN TTS Instalátor - (de)aktivátor Text-To-Speech verze ") +
         ReadFileVersion(platform::ThisModule().FileName());
}

int MainFormLogic::TodayNumber() {
  using namespace std::chrono;
  const std::time_t now = std::time(nullptr);
  const std::tm local = *std::localtime(&now);  // the GUI thread's only caller
  const sys_days today =
      year(local.tm_year + 1900) / month(unsigned(local.tm_mon + 1)) / day(unsigned(local.tm_mday));
  return int((today - sys_days(year(1899) / December / day(30))).count());
}

fs::path MainFormLogic::InfoPagePath() {
  return ScratchDir() / "kv_tts_temp.html";
}

void MainFormLogic::Timer1Timer() {
  face_.StopStartTimer();
  ++StartTicks;
  face_.SetBusyCursor(true);
  if (StartTicks == 1) {
    StartUp();
  } else {
    face_.PlayAnimation(2);
    Ready = true;
  }
  face_.SetBusyCursor(false);
}

void MainFormLogic::PosTimerTimer() {
  face_.SetUninitEnabled(agent_.FormExists());
}

void MainFormLogic::LoadTestMemo() {
  Registry reg(HKEY_CURRENT_USER);
  if (!reg.OpenKey(UserKey, true)) return;
  const std::string memo = reg.ReadString(names::kTestMemoValue);
  if (!memo.empty()) face_.SetTestText(memo);
}

void MainFormLogic::StartUp() {
  SetOwnVoiceEvent(
      [this](const std::string& text, const MemoryStream* wave) { ShowSpeechEvent(text, wave); });
  LoadTestMemo();
  EnginePath = installer::EnginePath();
  UpdateStatus();
  Ready = true;
  face_.SetSpeakBox(
      RegReadBool(HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, false));
  OwnVoiceActive = face_.SpeakBoxChecked();
  face_.StartStartTimer(1800);
  face_.PlayAnimation(1);
  // The box's own state: the page control around it is still disabled.
  if (face_.InstallBoxEnabled()) {
    SayOwn(Cp(texts::kGreeting));
  } else {
    OwnVoiceActive = true;
    platform::ShowMessage(Cp(texts::kNoRuntime));
  }
  face_.EnablePagesAndOk();
  agent_.SetEnabled(true);
}

void MainFormLogic::UpdateStatus() {
  face_.SetStatusTts("Updating status", false);
  const InstallerStatus status = ReadStatus(RuntimeAtStart);
  face_.SetInstallBoxEnabled(status.runtimePresent);
  if (status.runtimePresent) {
    face_.SetInstallBoxChecked(status.engineInstalled);
    face_.SetPrectiToEnabled(status.engineInstalled);
    face_.SetPrectiToChecked(status.prectiToInstalled);
    LLClick();
  }
  face_.SetStatusTts(status.statusTts, false);
  face_.SetStatusRekniTo(status.statusRekniTo, false);
  ListEngines();
}

void MainFormLogic::LLClick() {
  const VersionCheck check = CheckVersions();
  face_.SetLibraryHint(check.libraryHint);
  InstalledVersion = check.installedVersion;
  face_.SetVersionMessage(check.message.text);
  if (check.message.recommendReinstall) {
    face_.ShowInstallerPage();
    platform::ShowMessage(check.message.text);
  }
}

void MainFormLogic::RikatClick() {
  if (!Ready) return;
  const bool checked = face_.SpeakBoxChecked();
  RegWriteBool(HKEY_LOCAL_MACHINE, names::kSettingsKey, names::kSpeakValue, checked);
  OwnVoiceActive = checked;
  if (checked) SayOwn(Cp(texts::kGreeting));
}

void MainFormLogic::TTS_KORVEN_INSTALEDClick() {
  if (!Ready) return;
  if (agent_.CharacterLoaded()) {
    agent_.Shutdown();
    face_.SetAgentButtonCaption("Test MS Agenta");
  }
  if (face_.InstallBoxChecked()) {
    face_.SetStatusTts("Instaling....", true);
    if (!InstallEngine(EnginePath)) platform::ShowMessage(Cp(texts::kInstallFailed));
  } else {
    face_.SetStatusTts("Uninstaling....", true);
    if (!UninstallEngine()) platform::ShowMessage(Cp(texts::kUninstallRefused));
  }
  Ready = false;
  UpdateStatus();
  Ready = true;
}

void MainFormLogic::Precti_toClick() {
  if (!Ready) return;
  if (face_.PrectiToChecked()) {
    face_.SetStatusRekniTo("Instaling....", true);
    if (!InstallPrectiTo(EnginePath.parent_path()))
      platform::ShowMessage(Cp(texts::kPrectiToInstallFailed));
  } else {
    face_.SetStatusRekniTo("Uninstaling....", false);
    if (!UninstallPrectiTo()) platform::ShowMessage(Cp(texts::kPrectiToUninstallRefused));
  }
  Ready = false;
  UpdateStatus();
  Ready = true;
}

void MainFormLogic::Button4Click() {
  OwnVoiceActive = true;
  SayOwn(face_.TestText());
}

void MainFormLogic::Button2Click() {
  agent_.SetEnabled(true);
  agent_.Command({"GOTOACTIVEFORM", "~SHOW", face_.TestText()});
  face_.StartPosTimer();
}

void MainFormLogic::Button5Click() {
  agent_.SetEnabled(true);
  face_.StartPosTimer();
  agent_.Command({""});
  if (agent_.FormExists()) agent_.ShowProperties();
}

void MainFormLogic::TestMSAgentClick() {
  if (face_.AgentButtonCaption().find("Uninit") != std::string::npos) {
    agent_.SetEnabled(false);
    agent_.Shutdown();
    face_.SetAgentButtonCaption("Test MSAgent");
    return;
  }
  agent_.SetEnabled(true);
  OwnVoiceActive = false;
  agent_.Command({"GOTOACTIVEFORM", "~SHOW", face_.TestText()});
  face_.SetAgentButtonCaption("Uninit MSA");
}

void MainFormLogic::ButtonUninitClick() {
  agent_.SetEnabled(false);
  face_.SetAgentButtonCaption("Test MS Agent");
  agent_.Shutdown();
}

void MainFormLogic::ButtonSlovnikClick() {
  face_.OpenDictionaryEditor(EngineDictionaryPath());
}

void MainFormLogic::ButtonPropertiesClick() {
  face_.OpenVoiceProperties();
}

void MainFormLogic::ListEngines() {
  EngineRows = installer::ListEngines();
  face_.SetEngineRows(EngineRows);
}

void MainFormLogic::CheckListBox1Click(int row) {
  if (row < 0 || size_t(row) >= EngineRows.size()) return;
  face_.SetEngineDetails("Registry internal Name : " + EngineRows[size_t(row)].name,
                         "CLSID : " + EngineRows[size_t(row)].clsid);
}

void MainFormLogic::CheckListBox1ClickCheck(int row, bool checked) {
  if (row < 0 || size_t(row) >= EngineRows.size()) return;
  EngineRow& engine = EngineRows[size_t(row)];
  engine.active = checked;
  SetEngineActive(engine, engine.active);
}

void MainFormLogic::PageControl1Change() {
  if (!face_.InfoPageActive() || browserLocation_ == InfoPagePath()) return;
  std::error_code ec;
  fs::remove(InfoPagePath(), ec);
  if (!ExtractResourceToFile("KVTTS_HTML", "RCDATA", InfoPagePath())) {
    browserLocation_.clear();
    face_.ShowInfoPage({});
    return;
  }
  face_.ShowInfoPage(InfoPagePath());
  browserLocation_ = InfoPagePath();
}

void MainFormLogic::ShowSpeechEvent(const std::string& text, const MemoryStream* wave) {
  face_.SetSpokenWord(">" + text + "<");
  face_.SetWaveShown(!text.empty());
  if (wave) face_.DrawWave(*wave);
}

void MainFormLogic::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  std::error_code ec;
  fs::remove(InfoPagePath(), ec);
  Registry reg(HKEY_CURRENT_USER);
  if (reg.OpenKey(UserKey, true)) reg.WriteString(names::kTestMemoValue, face_.TestText());
}

}  // namespace kv::installer
