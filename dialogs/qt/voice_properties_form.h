// The voice properties dialog: volume, speed, pitch, echo and intonation of each voice, as the
// synthesizer reads them from the voice's settings key, and a test sentence to hear them.
//
// The engine creates it per request with its instance in CallingMode and shows it modally.
// The installer creates it once with an owner, sets OnSay before each show and shows it
// modelessly; closing hides it, and the next show finds its previous state.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "dialogs/logic/voice_properties_logic.h"
#include "platform/message_loop.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace kv::dialogs {

class CallingMode;
class TTrackBar;
struct TrackBarRow;

// The Qt face of the dialog: its controls, over VoicePropertiesLogic.
class TFormViceProperties : public QDialog, private VoicePropertiesControls {
  Q_OBJECT

  VoicePropertiesLogic logic_{*this};

 public:
  static constexpr int Tag = 999;

  explicit TFormViceProperties(QWidget* owner = nullptr);
  ~TFormViceProperties() override;

  // Receives the test text behind "}" and the voice's number ("}1..." for DAVLa).
  std::function<void(const std::string& text)>& OnSay = logic_.OnSay;
  // The engine instance that opened the form; it speaks the bare test text.
  dialogs::CallingMode*& CallingMode = logic_.CallingMode;

  // Handlers, named after control and event.
  void ComboBoxVoiceChange();
  void ButtonRekniClick();
  void Button2Click();
  void VolumeChange();
  void SpeedChange();
  void PithChange();
  void Echo_VolumeChange();
  void Echo_delayChange();
  void Echo_tracskChange();
  void IntonaceClick();
  void Intonace_endhacentClick();
  void TimerSayTimer();

  // Controls.
  QLabel* Label23;
  QComboBox* ComboBoxVoice;
  QLabel* Label22;
  QLineEdit* TestovaciText;
  QTabWidget* PageControl;
  QWidget* TabSheetVoice;
  QWidget* TabSheetEcho;
  QWidget* TabSheetIntonace;
  TTrackBar* Volume;
  TTrackBar* Speed;
  TTrackBar* Pith;
  QLabel* LabelVolume;
  QLabel* LabelSpeed;
  QLabel* PithLabel;
  TTrackBar* Echo_Volume;
  TTrackBar* Echo_delay;
  TTrackBar* Echo_tracsk;
  QLabel* LabelEchoVolume;
  QLabel* LabelEchoMS;
  QLabel* LabelStop;
  QCheckBox* Intonace;
  QCheckBox* Intonace_endhacent;
  TTrackBar* Pause;
  TTrackBar* Robotize;
  QLabel* Label17;
  QLabel* Label18;
  QPushButton* Button2;
  QPushButton* ButtonRekni;
  QCheckBox* Rikat;

  platform::WindowTimer& TimerSay = logic_.TimerSay;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Every way of closing (button, window's close, Escape) comes here.
  void reject() override;

 private:
  void BuildHeader();
  QWidget* AddPage(const char* name, const QString& caption);
  TTrackBar* AddTrackBar(QWidget* page, const TrackBarRow& row, Qt::Orientation orientation,
                         QRect where, QLabel** valueLabel);
  void BuildVoicePage();
  void BuildEchoPage();
  void BuildIntonationPage();
  void BuildButtons();
  void SetTabOrder();
  void BindHandlers();
  TTrackBar* Bar(VoiceBar bar) const;

  // What the logic asks of the controls.
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
  void EnableSpeakButton(bool enabled) override;
  void TellUser(const std::string& utf8) override;
};

}  // namespace kv::dialogs
