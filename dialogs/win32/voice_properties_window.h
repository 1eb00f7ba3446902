// The voice properties dialog as a Windows form over VoicePropertiesLogic.
#pragma once

#include <array>

#include "dialogs/logic/voice_properties_logic.h"
#include "dialogs/logic/voice_properties_tables.h"
#include "dialogs/win32/form_window.h"

namespace kv::dialogs::win32 {

class TFormViceProperties final : public FormWindow, private VoicePropertiesControls {
  VoicePropertiesLogic logic_{*this};

 public:
  TFormViceProperties();

  std::function<void(const std::string& text)>& OnSay = logic_.OnSay;
  dialogs::CallingMode*& CallingMode = logic_.CallingMode;

 private:
  void BuildControls() override;
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CloseRequested() override;
  bool PreviewKey(const MSG& msg) override;
  void Shown() override { logic_.Shown(); }
  void Hidden() override { logic_.Hidden(); }

  void BuildHeader();
  void BuildPages();
  HWND AddTrackBar(HWND page, const TrackBarRow& row, bool vertical, RECT where, HWND* valueLabel);
  void ShowPage(int index);
  // A bar moved (by the user or the logic): the logic hears of it when the position changed.
  void BarMoved(HWND bar);

  int SelectedVoice() const override;
  int Position(VoiceBar bar) const override;
  void SetPosition(VoiceBar bar, int position) override;
  bool Checked(VoiceCheck box) const override;
  void SetChecked(VoiceCheck box, bool checked) override;
  void SetPitchBand(int start, int end) override;
  void ShowValue(VoiceBar bar, const std::string& text) override;
  std::u16string TestText() const override;
  void SetTestText(const std::u16string& text) override;
  std::string ActivePage() const override;
  void SetActivePage(const std::string& name) override;
  void EnableSpeakButton(bool enabled) override { ::EnableWindow(ButtonRekni, enabled); }
  void TellUser(const std::string& utf8) override { Tell(utf8); }

 public:
  HWND ComboBoxVoice = nullptr;
  HWND TestovaciText = nullptr;
  HWND PageControl = nullptr;
  std::array<HWND, 3> Pages{};
  // By VoiceBar; their value labels beside them.
  std::array<HWND, 6> Bars{};
  std::array<HWND, 6> ValueLabels{};
  std::array<int, 6> positions_{};
  HWND Intonace = nullptr;
  HWND Intonace_endhacent = nullptr;
  HWND Pause = nullptr;
  HWND Robotize = nullptr;
  HWND ButtonRekni = nullptr;
  HWND Rikat = nullptr;
  HWND Button2 = nullptr;
};

}  // namespace kv::dialogs::win32
