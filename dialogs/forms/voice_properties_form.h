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

#include "dialogs/forms/settings_storage.h"
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

// The voice (item of the voice list) that a newly created form selects.
extern int VoiceIndex;

class TFormViceProperties : public QDialog {
  Q_OBJECT

 public:
  static constexpr int Tag = 999;

  explicit TFormViceProperties(QWidget* owner = nullptr);
  ~TFormViceProperties() override;

  // Receives the test text behind "}" and the voice's number ("}1..." for DAVLa).
  std::function<void(const std::string& text)> OnSay;
  // The engine instance that opened the form; it speaks the bare test text.
  dialogs::CallingMode* CallingMode = nullptr;

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

  platform::WindowTimer TimerSay;
  // The selected voice's settings key; active from the first change of voice on.
  TSettingsStorage VoiceStorage;
  bool VoiceStorageActive = false;
  // The dialog's own preferences, per user.
  TSettingsStorage FormStorage;

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
  void BindStorages();
  // Disables TimerSay, shows the value, enables TimerSay: it fires 800 ms after the last move.
  void ShowValue(QLabel* label, int value, bool percent);
  void StoreVoice();
  void SaveStorages();
  // The test text as stored: what the edit shows, unless the code page cannot hold it; then
  // the text stored before, so that no '?' the user did not type reaches the store.
  std::string StorableTestText();

  std::string storedTestText_;
  // A close refused because of the test text; the next one closes.
  bool closeRefused_ = false;
};

}  // namespace kv::dialogs
