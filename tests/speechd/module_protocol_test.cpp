// The module protocol in process, on the manual clock: replies, events at playback time, STOP,
// PAUSE, and malformed input.
#include "apps/sd_kvtts/module_protocol.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/com.h"
#include "platform/message_loop.h"
#include "platform/sound.h"
#include "tests/support/test_prefix.h"

namespace kv::speechd {
namespace {

com::HRESULT CallExport(const char* name) {
  std::shared_ptr<com::InprocServer> server;
  EXPECT_EQ(com::InprocServer::FromFile(KV_TTSE_PATH, &server), com::S_OK);
  auto function =
      server ? reinterpret_cast<com::DllRegisterServerFn>(server->Symbol(name)) : nullptr;
  return function != nullptr ? function() : com::E_FAIL;
}

class ModuleProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loop.SetClock(clock);
    auto backend = std::make_unique<platform::CaptureBackend>();
    capture = backend.get();
    previous = platform::SetSoundBackend(std::move(backend));
    ASSERT_EQ(CallExport("DllRegisterServer"), com::S_OK);
    Feed("INIT");
    ASSERT_EQ(Take(), "299-KORVEN TTS: voices DAVLa, DAVLuska, DAVL\n299 OK LOADED SUCCESSFULLY\n");
  }
  void TearDown() override {
    speaker.reset();
    platform::SetSoundBackend(std::move(previous));
    loop.SetClock(nullptr);
  }

  void Feed(std::string_view lines) {
    size_t start = 0;
    while (start < lines.size()) {
      size_t end = lines.find('\n', start);
      if (end == std::string_view::npos) end = lines.size();
      protocol.Feed(lines.substr(start, end - start));
      start = end + 1;
    }
  }
  std::string Take() { return std::exchange(out, {}); }
  // Sends the settings and a message, then runs the loop until the message has ended.
  std::string Speak(std::string_view body, std::string_view settings = "rate=0") {
    Feed("SET\n" + std::string(settings) + "\n.\nSPEAK\n" + std::string(body) + "\n.");
    RunToEnd();
    return Take();
  }
  void RunToEnd() {
    loop.RunUntil([&] { return !speaker->Speaking(); }, 600000);
  }
  int64_t CapturedMs() const {
    int64_t ms = 0;
    for (const auto& r : capture->Records()) ms += platform::WaveDurationMs(r.wave);
    return ms;
  }

  platform::MessageLoop& loop = platform::MessageLoop::Current();
  std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>(0);
  platform::CaptureBackend* capture = nullptr;
  std::unique_ptr<platform::SoundBackend> previous;
  std::string out;
  std::function<void(std::string_view)> onEvent;  // sees every event as well
  std::unique_ptr<Speaker> speaker = std::make_unique<Speaker>([this](std::string_view s) {
    if (onEvent) onEvent(s);
    out += s;
  });
  ModuleProtocol protocol{*speaker, [this](std::string_view s) { out += s; }};
};

TEST_F(ModuleProtocolTest, AnswersTheServersCommands) {
  Feed("AUDIO\naudio_output_method=server\n.");
  EXPECT_EQ(
      Take(),
      "207 OK RECEIVING AUDIO SETTINGS\n300-KORVEN TTS plays its audio itself\n300 MODULE ERROR\n");
  Feed("AUDIO\naudio_output_method=libao\n.\nLOGLEVEL\nlog_level=4\n.");
  EXPECT_EQ(Take(),
            "207 OK RECEIVING AUDIO SETTINGS\n203 OK AUDIO INITIALIZED\n"
            "207 OK RECEIVING LOGLEVEL SETTINGS\n203 OK LOGLEVEL SET\n");
  Feed("LIST VOICES");
  EXPECT_EQ(Take(),
            "200-DAVLa\tcs\tFEMALE1\n200-DAVLuska\tcs\tCHILD_FEMALE\n200-DAVL\tcs\tMALE1\n"
            "200 OK VOICE LIST SENT\n");
  Feed("DEBUG ON /tmp/x \nDEBUG OFF \nSTOP\nPAUSE\nSPEAK NOW\n\nQUIT");
  EXPECT_EQ(Take(),
            "200 OK DEBUGGING ON\n200 OK DEBUGGING OFF\n300 ERR UNKNOWN COMMAND\n"
            "300 ERR UNKNOWN COMMAND\n210 OK QUIT\n")
      << "STOP and PAUSE while idle say nothing";
  EXPECT_TRUE(protocol.Finished());
}

TEST_F(ModuleProtocolTest, SettingsSelectVoiceRateAndRefuseJunk) {
  Feed(
      "SET\npitch=10\nrate=50\nvolume=100\npunctuation_mode=some\nspelling_mode=off\n"
      "cap_let_recogn=none\nvoice=child_male\nlanguage=cs\nsynthesis_voice=NULL\nfoo=bar\n.");
  EXPECT_EQ(Take(), "203 OK RECEIVING SETTINGS\n203 OK SETTINGS RECEIVED\n");
  EXPECT_EQ(protocol.Settings().Voice(), 2);
  EXPECT_GT(protocol.Settings().Speed(), 151u);
  Feed("SET\nsynthesis_voice=davl\n.\nSET\nrate=fast\n.\nSET\nno equals sign\n.");
  EXPECT_EQ(Take(),
            "203 OK RECEIVING SETTINGS\n203 OK SETTINGS RECEIVED\n"
            "203 OK RECEIVING SETTINGS\n303 ERROR INVALID PARAMETER OR VALUE\n"
            "203 OK RECEIVING SETTINGS\n302 ERROR BAD SYNTAX\n");
  EXPECT_EQ(protocol.Settings().Voice(), 3) << "a known synthesis voice wins";
  EXPECT_EQ(protocol.Settings().rate, 50) << "a refused block changes nothing";
  MessageSettings quiet;
  quiet.volume = -100;
  EXPECT_EQ(quiet.ProsodyTags(), "\\ton=0\\\\vol=1\\") << "loudness 0 would be the voice's own";
}

TEST_F(ModuleProtocolTest, ReportsMarksWhenTheirAudioHasBeenHeard) {
  std::vector<int64_t> markTimes;
  onEvent = [&](std::string_view s) {
    if (s.ends_with("700 INDEX MARK\n")) markTimes.push_back(clock->NowMs());
  };
  const int64_t begin = clock->NowMs();
  Feed(
      "SPEAK\n<speak>Dobrý den.<mark name=\"__spd_0\"/> Jak se máte?<mark "
      "name='moje'/></speak>\n.");
  RunToEnd();
  EXPECT_EQ(Take(),
            "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n700-__spd_0\n"
            "700 INDEX MARK\n700-moje\n700 INDEX MARK\n702 END\n");
  ASSERT_EQ(markTimes.size(), 2u);
  // The first sentence alone lasts about as long as the first mark took to come back.
  const int64_t all = CapturedMs();
  capture->Clear();
  const int64_t start = clock->NowMs();
  Speak("Dobrý den.");
  const int64_t first = CapturedMs();
  EXPECT_GT(first, 300);
  // A mark never comes before the audio before it (give or take a tick of the destination),
  // and not long after it either.
  EXPECT_GE(markTimes[0] - begin + 30, first);
  EXPECT_LT(markTimes[0] - begin, first + 100);
  EXPECT_GE(markTimes[1] - begin + 30, all);
  EXPECT_GE(clock->NowMs() - start, first) << "END comes once the audio has been heard";
}

TEST_F(ModuleProtocolTest, StopCutsTheSoundAtOnceAndThenSpeaksAgain) {
  Feed("SET\nrate=0\n.\nSPEAK\n" + std::string(40, 'a') +
       " Dlouhá věta, která se nedočká konce.\n.");
  loop.RunUntil([] { return false; }, 700);
  ASSERT_FALSE(capture->Records().empty());
  Feed("STOP");
  EXPECT_EQ(Take(),
            "203 OK RECEIVING SETTINGS\n203 OK SETTINGS RECEIVED\n"
            "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n703 STOP\n");
  EXPECT_FALSE(capture->IsPlaying()) << "the sound stops with the command";
  loop.RunUntil([] { return false; }, 3000);
  EXPECT_EQ(Take(), "") << "nothing comes after the STOP event";
  EXPECT_EQ(Speak("Ahoj."),
            "203 OK RECEIVING SETTINGS\n203 OK SETTINGS RECEIVED\n"
            "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n702 END\n");
}

TEST_F(ModuleProtocolTest, PauseStopsAtTheNextSentenceMark) {
  Feed(
      "SET\nrate=0\n.\nSPEAK\n<speak>Jedna věta.<mark name=\"moje\"/> Druhá věta.<mark "
      "name=\"__spd_0\"/> Třetí věta.<mark name=\"__spd_1\"/> Čtvrtá věta.</speak>\n.");
  Take();
  Feed("PAUSE");
  RunToEnd();
  EXPECT_EQ(Take(), "700-moje\n700 INDEX MARK\n700-__spd_0\n700 INDEX MARK\n704 PAUSE\n");
}

// Every line a message produces after its SPEAK: the replies, then marks, then exactly one
// terminal event, which is the last line.
void ExpectOneWellFormedMessage(const std::string& out) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < out.size(); start = end + 1) {
    end = out.find('\n', start);
    lines.push_back(out.substr(start, end - start));
  }
  ASSERT_GE(lines.size(), 4u) << out;
  EXPECT_EQ(lines[0], "202 OK RECEIVING MESSAGE");
  EXPECT_EQ(lines[1], "200 OK SPEAKING");
  EXPECT_EQ(lines[2], "701 BEGIN");
  for (size_t i = 3; i + 1 < lines.size(); ++i) {
    ASSERT_TRUE(lines[i].starts_with("700-")) << out;
    EXPECT_EQ(lines[++i], "700 INDEX MARK") << out;
  }
  const std::string& last = lines.back();
  EXPECT_TRUE(last == "702 END" || last == "703 STOP" || last == "704 PAUSE") << out;
}

TEST_F(ModuleProtocolTest, HostileMarkNamesStayOneLineAndTheMessageEndsOnce) {
  const std::string body =
      "<speak>Jedna.<mark name=\"a&#10;700 X&#10;702 END\"/> Dva.<mark name=\"b&#13;&#10;703 "
      "STOP&#x0a;\"/> Tři.<mark name=\"__spd_0\"/> Čtyři.<mark name=\"c\n704 PAUSE\n\"/>"
      "</speak>";
  Feed("SET\nrate=0\n.");
  Take();
  Feed("SPEAK\n" + body + "\n.");
  RunToEnd();
  const std::string out = Take();
  ExpectOneWellFormedMessage(out);
  EXPECT_NE(out.find("700-a 700 X 702 END\n"), std::string::npos) << "still recognisable";
  EXPECT_NE(out.find("700-c 704 PAUSE \n"), std::string::npos) << out;
  // Paused at the first sentence mark, and stopped while it speaks: still one end each.
  Feed("SPEAK\n" + body + "\n.\nPAUSE");
  RunToEnd();
  ExpectOneWellFormedMessage(Take());
  Feed("SPEAK\n" + body + "\n.");
  loop.RunUntil([] { return false; }, 300);
  Feed("STOP");
  loop.RunUntil([] { return false; }, 3000);
  ExpectOneWellFormedMessage(Take());
}

TEST_F(ModuleProtocolTest, RatePitchAndVolumeDoWhatListenersExpect) {
  auto lengthMs = [&](const std::string& settings, const std::string& kind = "SPEAK",
                      const std::string& body =
                          "Dobrý den, jak se máte? Rychlost řeči se dá měnit.") {
    capture->Clear();
    Feed("SET\nrate=0\npitch=0\n" + settings + "\n.\n" + kind + "\n" + body + "\n.");
    RunToEnd();
    Take();
    return double(CapturedMs());
  };
  const double normal = lengthMs("volume=0");
  for (const char* pitch : {"pitch=-100", "pitch=-50", "pitch=50", "pitch=100"})
    EXPECT_NEAR(lengthMs(pitch) / normal, 1.0, 0.08) << pitch << ": pitch keeps the length";
  EXPECT_NEAR(lengthMs("rate=-100") / normal, 3.0, 0.3) << "three times slower";
  EXPECT_NEAR(lengthMs("rate=100") / normal, 1 / 3.0, 0.05) << "three times faster";
  // At speed too (as far as the engine goes: at pitch -100 it is 2.5 times faster at most).
  EXPECT_NEAR(lengthMs("rate=60\npitch=-100") / lengthMs("rate=60"), 1.0, 0.1);
  EXPECT_NEAR(lengthMs("rate=60\npitch=100") / lengthMs("rate=60"), 1.0, 0.1);
  MessageSettings s;
  s.volume = 0;
  EXPECT_NE(s.ProsodyTags().find("\\vol=63750\\"), std::string::npos) << "the voice's own";
  // The reading settings reach the text: named punctuation and announced capitals take time.
  const double plain = lengthMs("punctuation_mode=none", "SPEAK", "Ano? Ne!");
  EXPECT_GT(lengthMs("punctuation_mode=all", "SPEAK", "Ano? Ne!"), plain + 500);
  const double small = lengthMs("cap_let_recogn=none", "CHAR", "A");
  EXPECT_GT(lengthMs("cap_let_recogn=spell", "CHAR", "A"), small + 200);
  EXPECT_GT(lengthMs("cap_let_recogn=icon", "CHAR", "A"), 100);
}

TEST_F(ModuleProtocolTest, CharactersKeysAndSpellingSpeakLetterNames) {
  EXPECT_EQ(Speak("x").substr(0, 6), "203 OK");
  for (auto kind : {"CHAR\nř", "KEY\nshift_a", "SOUND_ICON\nmessage"}) {
    Feed(std::string(kind) + "\n.");
    RunToEnd();
    EXPECT_TRUE(Take().ends_with("701 BEGIN\n702 END\n")) << kind;
  }
  Feed("CHAR\na\nb\n.");
  EXPECT_EQ(Take(), "202 OK RECEIVING MESSAGE\n305 DATA MORE THAN ONE LINE\n");
}

TEST_F(ModuleProtocolTest, MalformedInputGetsClearErrors) {
  std::mt19937 random(14);
  for (int i = 0; i < 200; ++i) {
    std::string junk(random() % 300, '\0');
    for (char& c : junk) c = char(random());
    protocol.Feed(junk);
  }
  EXPECT_NE(Take().find("300 ERR UNKNOWN COMMAND"), std::string::npos);
  // A megabyte of text is spoken. A message past the limit, whole or cut by the reader, is
  // answered as ended at once (a refusal would leave the server's client waiting for its end),
  // and the module goes on.
  auto feedLines = [&](size_t count) {
    protocol.Feed("SPEAK");
    for (size_t i = 0; i < count; ++i) protocol.Feed(std::string(1023, 'a' + i % 26) + ". ");
  };
  feedLines(1024);
  protocol.Feed(".");
  loop.RunUntil([] { return false; }, 500);
  EXPECT_FALSE(capture->Records().empty());
  protocol.Feed("STOP");
  EXPECT_EQ(Take(), "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n703 STOP\n");
  feedLines(kMaxMessageBytes / 1024 + 1);
  protocol.Feed(".");
  protocol.Feed("SPEAK");
  protocol.Feed(std::string(300000, 'a'), true);  // cut by the reader
  protocol.Feed(".");
  EXPECT_EQ(Take(),
            "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n703 STOP\n"
            "202 OK RECEIVING MESSAGE\n200 OK SPEAKING\n701 BEGIN\n703 STOP\n");
  EXPECT_FALSE(speaker->Speaking());
  EXPECT_TRUE(Speak("Ahoj.").ends_with("701 BEGIN\n702 END\n"));
}

}  // namespace
}  // namespace kv::speechd
