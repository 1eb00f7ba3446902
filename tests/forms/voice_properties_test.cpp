#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/qt/forms.h"
#include "dialogs/qt/track_bar.h"
#include "dialogs/qt/voice_properties_form.h"
#include "platform/message_box.h"
#include "synth/say_text.h"
#include "synth/synthesis_settings.h"
#include "tests/forms/forms_test_support.h"

namespace kv::dialogs {
namespace {

using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;
using test::StoredDWord;
using test::StoredString;

const std::string kDavla = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\DAVLa";
const std::string kDavl = "\\SOFTWARE\\Voice\\TextToSpeech\\Engine\\KV_TTS\\DAVL";

class VoiceProperties : public test::FormTest {
 protected:
  void SetUp() override {
    form = std::make_unique<TFormViceProperties>();
    form->CallingMode = &mode;
    form->show();
    Pass(800);  // opening restarts TimerSay once
    ClearChangeFlag();
  }
  void ClearChangeFlag() {
    platform::Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(kDavla, true);
    reg.DeleteValue("Values_Changed");
  }
  std::optional<int32_t> ChangeFlag() {
    return StoredDWord(HKEY_LOCAL_MACHINE, kDavla, "Values_Changed");
  }

  test::RecordingMode mode;
  std::unique_ptr<TFormViceProperties> form;
};

TEST_F(VoiceProperties, OpensOnDavlaWithTheControlsAndTextsOfTheDialog) {
  EXPECT_EQ(form->windowTitle(), " KORVEN TTS -> Možnosti hlasu");
  EXPECT_EQ(form->size(), QSize(263, 261));
  EXPECT_EQ(form->ComboBoxVoice->currentText(), "DAVLa");
  EXPECT_EQ(form->TestovaciText->text(), "Testovací text 1, 2, 3.");
  EXPECT_EQ(form->PageControl->count(), 3);
  EXPECT_EQ(form->LabelVolume->text(), "100%");
  EXPECT_EQ(form->PithLabel->text(), "X");
  EXPECT_EQ(std::make_pair(form->Pith->SelStart(), form->Pith->SelEnd()), std::make_pair(-30, -10));
  test::ExpectEveryControlNamed(*form);
  EXPECT_EQ(form->Rikat->accessibleName(),
            "Přeříkat testovací text automaticky po změně parametru");

  form->Speed->setValue(50);
  EXPECT_EQ(form->LabelSpeed->text(), "150%");
  form->Speed->setValue(150);
  EXPECT_EQ(form->LabelSpeed->text(), "50%");
}

TEST_F(VoiceProperties, ScreenReadersHearTheValuesTheFormShowsAndWhatDoesNothing) {
  form->Speed->setValue(150);
  QAccessibleInterface* speed = QAccessible::queryAccessibleInterface(form->Speed);
  QAccessibleValueInterface* value = speed->valueInterface();
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->currentValue().toInt(), 50);
  EXPECT_EQ(speed->text(QAccessible::Value), "50%");
  EXPECT_EQ(std::make_pair(value->minimumValue().toInt(), value->maximumValue().toInt()),
            std::make_pair(50, 150));
  value->setCurrentValue(120);
  EXPECT_EQ(form->Speed->value(), 80);
  EXPECT_EQ(form->LabelSpeed->text(), "120%");
  // Every bar names the label that shows its value.
  for (TTrackBar* bar : form->findChildren<TTrackBar*>()) {
    const auto controlled =
        QAccessible::queryAccessibleInterface(bar)->relations(QAccessible::Controlled);
    ASSERT_EQ(controlled.size(), 1) << bar->objectName().toStdString();
    EXPECT_EQ(controlled[0].first->object(), bar->ValueLabel());
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(form->Volume)->valueInterface()->currentValue(),
            50);
  // The bars that change nothing say so.
  EXPECT_FALSE(form->Pause->accessibleDescription().isEmpty());
  EXPECT_FALSE(form->Robotize->accessibleDescription().isEmpty());
}

TEST_F(VoiceProperties, ContinuousMovementFlagsTheChangeOnce800MsAfterTheLastMoveAndSpeaksOnce) {
  form->Rikat->setChecked(true);
  form->Volume->setFocus();
  for (int step = 0; step < 6; ++step) {
    QTest::keyClick(form->Volume, Qt::Key_Right);
    Pass(500);
    EXPECT_EQ(ChangeFlag(), std::nullopt);
  }
  EXPECT_EQ(form->LabelVolume->text(), "56%");
  Pass(299);
  EXPECT_EQ(ChangeFlag(), std::nullopt);
  Pass(1);
  EXPECT_EQ(ChangeFlag(), 1);
  EXPECT_EQ(mode.said, (std::vector<std::string>{"Testovac\xED text 1, 2, 3."}));
  // Speaking stored the values on screen, as the synthesizer then reads them.
  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "Volume_Position"), "56");
  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "FormVersion"), "0");
  Pass(5000);
  EXPECT_EQ(mode.said.size(), 1u);

  // A check box enables the timer without restarting it.
  ClearChangeFlag();
  QTest::mouseClick(form->Intonace, Qt::LeftButton, {}, QPoint(6, 9));
  Pass(800);
  EXPECT_EQ(ChangeFlag(), 1);
  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "Intonace_Checked"), "True");
}

TEST_F(VoiceProperties, AChangeClosedWithinTheDebounceStillReachesTheSynthesizer) {
  form->Echo_tracsk->setValue(7);
  QTest::mouseClick(form->Button2, Qt::LeftButton);
  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "Echo_tracsk_Position"), "7");
  EXPECT_EQ(ChangeFlag(), 1);
  EXPECT_FALSE(form->TimerSay.Enabled());  // nothing left to fire for a closed form
}

TEST_F(VoiceProperties, SwitchingVoicesSavesTheOldOneLoadsTheNewOneAndMovesThePitchBand) {
  {
    platform::Registry reg(HKEY_LOCAL_MACHINE);
    reg.OpenKey(kDavl, true);
    reg.WriteString("Pith_Position", "5");
    reg.WriteString("Intonace_endhacent_Checked", "True");
  }
  form->Volume->setValue(70);
  form->Echo_delay->setValue(40);
  form->ComboBoxVoice->setCurrentIndex(2);
  form->ComboBoxVoiceChange();

  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "Volume_Position"), "70");
  EXPECT_EQ(StoredString(HKEY_LOCAL_MACHINE, kDavla, "Echo_delay_Position"), "40");
  EXPECT_EQ(form->Pith->value(), 5);
  EXPECT_EQ(form->PithLabel->text(), "5");
  EXPECT_TRUE(form->Intonace_endhacent->isChecked());
  EXPECT_EQ(form->Volume->value(), 70);  // DAVL has none stored: the value on screen stays
  EXPECT_EQ(std::make_pair(form->Pith->SelStart(), form->Pith->SelEnd()), std::make_pair(1, 10));

  // What the dialog wrote is what the synthesizer of that voice reads.
  form->Speed->setValue(60);
  Pass(800);
  form->close();
  TSayText synth(3);
  synth.ReloadSettingsIfChanged();
  EXPECT_EQ(SynthesisSettings.Pitch, 5);
  EXPECT_DOUBLE_EQ(SynthesisSettings.Speed, 0.6);
  EXPECT_DOUBLE_EQ(SynthesisSettings.Volume, 70 / 15.0);
  EXPECT_EQ(SynthesisSettings.EchoDelay, 4000);
  EXPECT_TRUE(SynthesisSettings.PitchGlideOn);
  EXPECT_EQ(StoredDWord(HKEY_LOCAL_MACHINE, kDavl, "Values_Changed"), 0);
}

TEST_F(VoiceProperties, TheTestTextGoesToOnSayWithTheVoicePrefixOrBareToTheEngine) {
  form->ComboBoxVoice->setCurrentIndex(1);
  form->ComboBoxVoiceChange();
  std::vector<std::string> heard;
  form->OnSay = [&](const std::string& text) { heard.push_back(text); };
  QTest::mouseClick(form->ButtonRekni, Qt::LeftButton);
  EXPECT_EQ(heard, (std::vector<std::string>{"}2Testovac\xED text 1, 2, 3."}));
  EXPECT_TRUE(mode.said.empty());

  form->OnSay = nullptr;
  QApplication::setActiveWindow(form.get());
  QTest::keyClick(form.get(), Qt::Key_F5);
  EXPECT_EQ(mode.said.size(), 1u);
  form->CallingMode = nullptr;
  form->ButtonRekniClick();
  EXPECT_FALSE(form->ButtonRekni->isEnabled());
}

TEST_F(VoiceProperties, PreferencesAreKeptPerUserAndTheInstallerCanShowTheFormAgain) {
  form->TestovaciText->setText("Ahoj světe.");
  form->Rikat->setChecked(true);
  form->PageControl->setCurrentIndex(1);
  // The accelerators of the captions press their buttons.
  QApplication::setActiveWindow(form.get());
  QTest::sendKeyEvent(QTest::Click, form.get(), Qt::Key(0x158), QString("ř"), Qt::AltModifier);
  EXPECT_TRUE(form->ButtonRekni->isDown());
  QTest::keyClick(form.get(), Qt::Key_Z, Qt::AltModifier);
  EXPECT_TRUE(form->Button2->isDown());
  form->Button2->click();
  EXPECT_FALSE(form->isVisible());
  const std::string key = "SOFTWARE\\KORVEN\\TTS";
  EXPECT_EQ(StoredString(HKEY_CURRENT_USER, key, "TestovaciText_Text"), "Ahoj sv\xECte.");
  EXPECT_EQ(StoredString(HKEY_CURRENT_USER, key, "PageControl_ActivePage"), "TabSheetEcho");
  EXPECT_EQ(StoredString(HKEY_CURRENT_USER, key, "Rikat_Checked"), "True");

  // Shown again (installer), the same form keeps its state.
  form->show();
  EXPECT_EQ(form->TestovaciText->text(), "Ahoj světe.");
  // A new form restores the preferences.
  auto fresh = CreateVoicePropertiesForm(nullptr);
  fresh->show();
  auto* again = static_cast<TFormViceProperties*>(fresh.get());
  EXPECT_EQ(again->TestovaciText->text(), "Ahoj světe.");
  EXPECT_TRUE(again->Rikat->isChecked());
  EXPECT_EQ(again->PageControl->currentWidget(), again->TabSheetEcho);
}

TEST_F(VoiceProperties, ATestTextTheCodePageCannotHoldIsNamedAndNeverStoredAsQuestionMarks) {
  std::vector<std::string> messages;
  platform::SetMessagePresenter([&](const std::string& text) { messages.push_back(text); });
  form->TestovaciText->setText(QString::fromUtf8("Ahoj → Жук"));
  form->Button2->click();
  EXPECT_TRUE(form->isVisible()) << "the first close is refused";
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("znak 6 (U+2192)"), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("znak 8 (U+0416)"), std::string::npos) << messages[0];
  form->Button2->click();  // the second discards the change, and says so
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(StoredString(HKEY_CURRENT_USER, "SOFTWARE\\KORVEN\\TTS", "TestovaciText_Text"),
            "Testovac\xED text 1, 2, 3.");
  EXPECT_EQ(form->TestovaciText->text(), "Testovací text 1, 2, 3.");
  platform::SetMessagePresenter(nullptr);
}

}  // namespace
}  // namespace kv::dialogs
