#include <QApplication>
#include <QCheckBox>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "dialogs/logic/dictionary_text.h"
#include "dialogs/qt/dictionary_editor_form.h"
#include "platform/message_box.h"
#include "tests/forms/forms_test_support.h"

namespace kv::dialogs {
namespace {

namespace fs = std::filesystem;

class DictionaryEditor : public test::FormTest {
 protected:
  void SetUp() override {
    file = test::Prefix() / "kv_ttse.dct";
    mode.dictionary = file.string();
    platform::SetMessagePresenter([this](const std::string& text) { messages.push_back(text); });
  }
  void TearDown() override { platform::SetMessagePresenter(nullptr); }

  void WriteDictionary(const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }
  // Opens the editor as the engine does, armed for speaking when asked.
  std::unique_ptr<TFormSlovnik> Open(bool armed) {
    auto form = std::make_unique<TFormSlovnik>();
    form->CallingMode = &mode;
    form->show();
    QApplication::processEvents();  // messages about the file come once the editor is up
    if (armed) Pass(100);
    return form;
  }
  void PutCaret(TFormSlovnik& form, int position) {
    QTextCursor cursor = form.Slovnik->textCursor();
    cursor.setPosition(position);
    form.Slovnik->setTextCursor(cursor);
  }
  std::string OnDisk() { return ReadFileBytes(file).value_or("<none>"); }

  fs::path file;
  test::RecordingMode mode;
  std::vector<std::string> messages;
};

TEST_F(DictionaryEditor, ShowsTheFileLowerCasedAndLeavesItAloneWhenNothingWasEdited) {
  const std::string original = "AHOJ=Ahoj\r\n\xC8\x45SKO=\xE8\x65sko\nX=iks\r\n";  // ČESKO=česko
  WriteDictionary(original);
  const auto before = fs::last_write_time(file);
  auto form = Open(false);
  EXPECT_EQ(form->windowTitle(), " KORVEN TTS -> Slovník (výraz=vyslov)");
  EXPECT_EQ(form->Slovnik->toPlainText(), "ahoj=ahoj\nčesko=česko\nx=iks");
  EXPECT_FALSE(form->Slovnik->document()->isModified());
  test::ExpectEveryControlNamed(*form);
  EXPECT_TRUE(mode.said.empty());  // not armed yet: loading says nothing
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(form.get(), &deactivate);
  form->Button2Click();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(OnDisk(), original);
  EXPECT_EQ(fs::last_write_time(file), before);
  EXPECT_TRUE(messages.empty());
}

TEST_F(DictionaryEditor, AnEditIsWrittenWhenTheUserSwitchesToAnotherWindow) {
  WriteDictionary("a=b\r\n");
  auto form = Open(true);
  PutCaret(*form, 3);
  test::Type(form->Slovnik, "ř");
  EXPECT_EQ(OnDisk(), "a=b\r\n");
  QEvent deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(form.get(), &deactivate);
  EXPECT_EQ(OnDisk(), "a=b\xF8\r\n");  // Windows-1250, CR LF
  EXPECT_FALSE(form->Slovnik->document()->isModified());
  // The engine's dictionary, whoever opened it, and nothing left beside it.
  EXPECT_EQ(form->FileName, file);
  EXPECT_FALSE(fs::exists(file.string() + ".new"));
}

TEST_F(DictionaryEditor, TypingAndF5SpeakTheSpokenFormOfTheCaretsLine) {
  WriteDictionary("ahoj=ahooj\r\nmrak\r\n");
  auto form = Open(true);
  EXPECT_FALSE(form->Timer1.Enabled());
  ASSERT_TRUE(form->SpeakArmed);
  PutCaret(*form, 10);
  QTest::keyClick(form->Slovnik, Qt::Key_Y);
  PutCaret(*form, 13);
  QTest::keyClick(form->Slovnik, Qt::Key_F5);
  QTest::keyClick(form->Slovnik, Qt::Key_End);
  QTest::keyClicks(form->Slovnik, "=mrk");
  EXPECT_EQ(mode.said, (std::vector<std::string>{"ahoojy", "mrak", "", "m", "mr", "mrk"}));

  // With nobody to speak to the button gives up; OnSay takes precedence over the engine.
  std::vector<std::string> heard;
  form->OnSay = [&](const std::string& text) { heard.push_back(text); };
  QTest::mouseClick(form->ButtonRekni, Qt::LeftButton);
  EXPECT_EQ(heard, (std::vector<std::string>{"mrk"}));
  form->OnSay = nullptr;
  form->CallingMode = nullptr;
  form->ButtonRekniClick();
  EXPECT_FALSE(form->ButtonRekni->isEnabled());
}

TEST_F(DictionaryEditor, SortsInCzechOrderWithoutACzechSystemLocale) {
  ASSERT_NE(QLocale::system().language(), QLocale::Czech);
  WriteDictionary(
      "\x9Ehava\r\nzebra\r\nchata\r\nHrad\r\n\xE8\x61j\r\ncibule\r\n\xF8\x65ka\r\n"
      "rak\r\n\x9A\x61\x63h\r\nsad\r\n\xE1r\r\nAhoj\r\n");
  auto form = Open(true);
  QTest::mouseClick(form->ButtonSort, Qt::LeftButton);
  EXPECT_EQ(form->Slovnik->toPlainText(),
            "ahoj\nár\ncibule\nčaj\nhrad\nchata\nrak\nřeka\nsad\nšach\nzebra\nžhava");
  form->close();
  EXPECT_EQ(OnDisk(),
            "ahoj\r\n\xE1r\r\ncibule\r\n\xE8\x61j\r\nhrad\r\nchata\r\nrak\r\n\xF8\x65ka\r\n"
            "sad\r\n\x9A\x61\x63h\r\nzebra\r\n\x9Ehava\r\n");
}

TEST_F(DictionaryEditor, AnUnreadableDictionaryOpensEmptySaysSoAndSavesToTheSamePath) {
  auto form = Open(true);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(file.string()), std::string::npos);
  EXPECT_TRUE(form->Slovnik->toPlainText().isEmpty());
  test::Type(form->Slovnik, "nový=nouý");
  form->Rikat->setChecked(true);
  form->Button2Click();
  EXPECT_EQ(OnDisk(), "nov\xFD=nou\xFD\r\n");
  EXPECT_EQ(test::StoredString(platform::HKEY_CURRENT_USER, "SOFTWARE\\KORVEN\\TTS\\Dictionary",
                               "Rikat_Checked"),
            "True");
  // Closing hands back the receivers: an opener sets them again before the next show.
  EXPECT_EQ(form->CallingMode, nullptr);
}

TEST_F(DictionaryEditor, AnEditThatCannotBeSavedKeepsTheEditorOpenOnceAndSaysSo) {
  WriteDictionary("a=b\r\n");
  DictionaryFileName = test::Prefix() / "missing-folder" / "x.dct";
  auto form = Open(true);
  DictionaryFileName.clear();
  messages.clear();
  test::Type(form->Slovnik, "c");
  QTest::keyClick(form.get(), Qt::Key_Escape);
  EXPECT_TRUE(form->isVisible());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("nelze ulo\x9Eit"), std::string::npos);
  form->Button2Click();  // the second close closes, and says the change stayed unsaved
  EXPECT_FALSE(form->isVisible());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[1].find("neulo\x9E"
                             "en"),
            std::string::npos);
  EXPECT_EQ(OnDisk(), "a=b\r\n");
}

TEST_F(DictionaryEditor, CharactersTheCodePageLacksAreNamedAndNeverWrittenAsQuestionMarks) {
  WriteDictionary("a=b\r\n");
  auto form = Open(true);
  form->Slovnik->moveCursor(QTextCursor::End);
  form->Slovnik->textCursor().insertText(QString::fromUtf8("\nšipka=→ a 😀 x"));
  QTest::mouseClick(form->ButtonSort, Qt::LeftButton);
  EXPECT_EQ(form->Slovnik->toPlainText(), QString::fromUtf8("a=b\nšipka=→ a 😀 x"));
  form->close();
  EXPECT_TRUE(form->isVisible()) << "the first close is refused";
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(
                "\xF8\xE1\x64\x65k 2, znak 7 (U+2192); \xF8\xE1\x64\x65k 2, znak 11 (U+1F600)"),
            std::string::npos)
      << messages[0];
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(OnDisk(), "a=b\r\n");
}

}  // namespace
}  // namespace kv::dialogs
