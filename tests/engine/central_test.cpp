// The engine instance as a host drives it: selected onto a memory destination, spoken to through
// ITTSCentral W and A, heard through the application's sinks, on a manual clock.
#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "platform/cp1250.h"
#include "sapi/file_dest.h"
#include "tests/engine/host.h"

namespace kv::test {
namespace {

using Call = MemoryDestination::Call;
using Record = MemoryDestination::Record;

// The front-end's intonation jitter is seeded from the clock unless a seed is given: tests that
// compare two renderings of one text need the same jitter in both.
[[maybe_unused]] const bool g_seeded = (::setenv("KVTTS_SEED", "7", 1), true);

IUnknown* Unknown(AudioDestination* dest) {
  return static_cast<IAudio*>(dest);
}

std::vector<std::string> Strings(const std::vector<Record>& calls) {
  std::vector<std::string> out;
  for (const Record& r : calls) out.push_back(ToString(r));
  return out;
}

std::vector<DWORD> Marks(const std::vector<Record>& calls) {
  std::vector<DWORD> out;
  for (const Record& r : calls)
    if (r.call == Call::Mark) out.push_back(r.value);
  return out;
}

size_t DataBytes(const std::vector<Record>& calls) {
  size_t n = 0;
  for (const Record& r : calls)
    if (r.call == Call::Data) n += r.value;
  return n;
}

// One engine instance on a memory destination with every sink registered.
class CentralTest : public ::testing::Test {
 protected:
  void Select(size_t capacity = 0, int mode = 1) {
    dest = new MemoryDestination(capacity);
    ASSERT_EQ(SelectMode(mode, Unknown(dest), &central), S_OK);
    ASSERT_NE(central, nullptr);
    void* a = nullptr;
    ASSERT_EQ(central->QueryInterface(IID_ITTSCentralA, &a), S_OK);
    centralA = static_cast<ITTSCentralA*>(a);
    dest->ClearCalls();
  }
  void SetUp() override { Select(); }
  void TearDown() override {
    if (central != nullptr) {
      central->UnRegister(0);
      central->AudioReset();  // leaves nothing scheduled for the next test
      central->Release();
    }
    if (centralA != nullptr) centralA->Release();
    dest->Release();
  }
  void RegisterAll() {
    DWORD key = 0;
    ASSERT_EQ(central->Register(&notifyW, IID_ITTSNotifySinkW, &key), S_OK);
    ASSERT_EQ(central->Register(&notifyA, IID_ITTSNotifySinkA, &key), S_OK);
  }
  HRESULT Speak(const std::u16string& text, ITTSBufNotifySink* sink = nullptr) {
    WideText wide(text);
    return central->TextData(CHARSET_TEXT, TTSDATAFLAG_TAGGED, wide.Data(),
                             sink != nullptr ? sink : &buf, IID_ITTSBufNotifySink);
  }
  // Plays everything as it comes until the text's end has been heard.
  void PlayToEnd(const std::string& done = "TextDataDone") {
    dest->SetAutoPlay(true);
    const size_t before = log.Count(done);
    platform::MessageLoop::Current().RunUntil([&] { return log.Count(done) > before; }, 600000);
    ASSERT_GT(log.Count(done), before) << "the text never ended";
    Pump();
  }

  ManualTime time;
  EventLog log;
  BufSink buf{log};
  NotifySinkW notifyW{log, IID_ITTSNotifySinkW, "W"};
  NotifySinkA notifyA{log, IID_ITTSNotifySinkA, "A"};
  MemoryDestination* dest = nullptr;
  ITTSCentralW* central = nullptr;
  ITTSCentralA* centralA = nullptr;
};

TEST_F(CentralTest, SelectSetsTheFormatAndPassesTheSinkAndHoldsTheAudioObject) {
  ASSERT_TRUE(dest->HasFormat());
  const WAVEFORMATEX& f = *dest->Format();
  EXPECT_EQ(f.wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(f.nChannels, 1);
  EXPECT_EQ(f.nSamplesPerSec, 22050u);
  EXPECT_EQ(f.nAvgBytesPerSec, 44100u);
  EXPECT_EQ(f.nBlockAlign, 2);
  EXPECT_EQ(f.wBitsPerSample, 16);
  EXPECT_NE(dest->Sink(), nullptr);
  // The creator's reference plus the instance's three (object, IAudio, IAudioDest).
  EXPECT_EQ(dest->References(), 4u);
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(dest->Sink()->QueryInterface(IID_IAudioDestNotifySink, &object), S_OK);
  EXPECT_EQ(object, dest->Sink());
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(dest->Sink()->QueryInterface(IID_IUnknown, &object), E_NOINTERFACE);
  EXPECT_EQ(dest->Sink()->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(CentralTest, FirstWordGoesIntoSlotTwoFramedByTwoClaimAndStartPairs) {
  ASSERT_EQ(Speak(u"ahoj"), S_OK);
  const std::vector<Record>& calls = dest->Calls();
  ASSERT_GE(calls.size(), 7u) << ::testing::PrintToString(Strings(calls));
  EXPECT_EQ(calls[0], (Record{Call::Mark, 30000}));
  EXPECT_EQ(calls[1].call, Call::Claim);
  EXPECT_EQ(calls[2].call, Call::Start);
  EXPECT_EQ(calls[3].call, Call::Data);
  EXPECT_GT(calls[3].value, 0u);
  EXPECT_EQ(calls[4], (Record{Call::Mark, 2000 + 'a'}));
  EXPECT_EQ(calls[5].call, Call::Claim);
  EXPECT_EQ(calls[6].call, Call::Start);
  // Every later unit carries its visual mark before its data; no more claims.
  for (size_t i = 7; i < calls.size(); ++i) {
    EXPECT_NE(calls[i].call, Call::Claim);
    if (calls[i].call == Call::Data) {
      ASSERT_EQ(calls[i - 1].call, Call::Mark);
      EXPECT_GE(calls[i - 1].value, 2032u);
      EXPECT_LE(calls[i - 1].value, 2255u);
    }
  }
  // The engine never wrote more than the destination had room for.
  EXPECT_EQ(DataBytes(calls), dest->Accepted().size());
}

TEST_F(CentralTest, ATextIsHeardFromStartToEndInOrder) {
  RegisterAll();
  time.Clock().Advance(1000);
  ASSERT_EQ(Speak(u"ahoj svete"), S_OK);
  PlayToEnd();
  const std::vector<std::string> names = log.Names();
  ASSERT_GE(names.size(), 6u);
  EXPECT_EQ(names[0], "TextDataStarted");
  EXPECT_EQ(names[1], "AudioStartA");
  EXPECT_EQ(names[2], "AudioStartW");
  EXPECT_EQ(names[3], "WordPosition 0");
  const std::vector<std::string> tail(names.end() - 6, names.end());
  EXPECT_EQ(tail[0].rfind("WordPosition ", 0), 0u) << "the closing word position";
  EXPECT_EQ(std::vector<std::string>(tail.begin() + 1, tail.end()),
            (std::vector<std::string>{"VisualA 0 32", "VisualW 32 32", "TextDataDone", "AudioStopA",
                                      "AudioStopW"}));
  // Two words and the closing position; positions grow.
  const std::vector<std::string> positions = log.Only("WordPosition");
  ASSERT_EQ(positions.size(), 3u);
  EXPECT_EQ(log.Count("VisualW 97 97"), 1u) << "one 'a' in the text";
  // The calls end with the end marks, after the last data.
  const std::vector<DWORD> marks = Marks(dest->Calls());
  ASSERT_GE(marks.size(), 2u);
  EXPECT_EQ(marks.back(), 11111u);
  EXPECT_EQ(marks[marks.size() - 2], 30000u + std::stoul(positions.back().substr(13)));
  EXPECT_EQ(dest->PlayedBytes(), dest->Accepted());
  // Nothing stays scheduled.
  EXPECT_EQ(dest->Queued(), 0u);
  EXPECT_EQ(dest->PendingMarks(), 0u);
}

TEST_F(CentralTest, TimeStampsCountFromTheLastTextData) {
  RegisterAll();
  ASSERT_EQ(Speak(u"ahoj"), S_OK);
  for (const Event& e : log.Events()) EXPECT_EQ(e.time, 0u) << e.what;
  log.Clear();
  time.Clock().Advance(750);
  dest->Sink()->BookMark(30004, 0);
  ASSERT_EQ(log.Events().size(), 1u);
  EXPECT_EQ(log.Events()[0].time, 750u);
}

TEST_F(CentralTest, WordPositionsContinueAcrossTexts) {
  ASSERT_EQ(Speak(u"ahoj svete"), S_OK);
  PlayToEnd();
  const std::vector<std::string> first = log.Only("WordPosition");
  log.Clear();
  ASSERT_EQ(Speak(u"dobry den"), S_OK);
  PlayToEnd();
  const std::vector<std::string> second = log.Only("WordPosition");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_EQ(second.front(), first.back()) << "the second text starts where the first ended";
  EXPECT_NE(second.back(), second.front());
}

TEST_F(CentralTest, ReturnedMarksBecomeTheNotificationsOfTheirRange) {
  RegisterAll();
  IAudioDestNotifySink* sink = dest->Sink();
  ASSERT_NE(sink, nullptr);
  struct Case {
    DWORD mark;
    std::vector<std::string> events;
  };
  const std::vector<Case> cases = {
      {1097, {"VisualA 0 97", "VisualW 97 97"}},
      {2097, {"VisualA 0 97", "VisualW 97 97"}},  // slot 2 decodes to the same letter
      {8097, {"VisualA 0 97", "VisualW 97 97"}},
      {2000, {}},  // 1000 is no letter
      {1031, {}},  // below the printable range
      {1251, {}},  // above 250
      {1250, {"VisualA 0 250", "VisualW 250 250"}},
      {8999, {}},
      {999, {"BookMark 999"}},
      {9000, {"BookMark 9000"}},
      {11111, {"VisualA 0 32", "VisualW 32 32", "TextDataDone", "AudioStopA", "AudioStopW"}},
      {30000, {"WordPosition 0"}},
      {39999, {"WordPosition 9999"}},
      {40000, {"BookMark 40000"}},
      {4000000000u, {"BookMark 4000000000"}},
      {0, {"BookMark 0"}},
  };
  // The buffer sink comes with a text; an empty one ends at once.
  ASSERT_EQ(Speak(u""), S_OK);
  for (const Case& c : cases) {
    log.Clear();
    EXPECT_EQ(sink->BookMark(c.mark, 0), S_OK);
    EXPECT_EQ(log.Names(), c.events) << "mark " << c.mark;
  }
  // The mouth record of the first row that holds the letter.
  sink->BookMark(1000 + 'a', 0);
  EXPECT_EQ(notifyW.lastMouth.bJawOpen, 128);
  sink->BookMark(1000 + 'e', 0);
  EXPECT_EQ(notifyW.lastMouth.bMouthUpturn, 30);
  sink->BookMark(1000 + 0xEC, 0);  // ě falls into the catch-all row
  EXPECT_EQ(notifyW.lastMouth.bMouthHeight, 0);
  EXPECT_EQ(notifyW.lastMouth.bLipTension, 8);
  EXPECT_EQ(notifyW.lastHints, 0u);
}

TEST_F(CentralTest, BookmarkTagsAreReportedByTheRangeTheirNumberFallsIn) {
#ifdef KV_FRONTEND_PENDING
  GTEST_SKIP() << "control tags come with the text front-end (synth/speak_step_pending.cpp)";
#endif
  RegisterAll();
  ASSERT_EQ(Speak(u"\\mrk=5\\ahoj \\mrk=1097\\svete \\mrk=30007\\jo \\mrk=11111\\ne"), S_OK);
  PlayToEnd("AudioStopW");
  PlayToEnd("AudioStopW");
  const std::vector<std::string> names = log.Names();
  auto at = [&](const std::string& what) {
    return std::find(names.begin(), names.end(), what) - names.begin();
  };
  EXPECT_EQ(log.Count("BookMark 5"), 1u);
  EXPECT_LT(at("WordPosition 0"), at("BookMark 5"));
  EXPECT_LT(at("BookMark 5"), at("VisualW 97 97")) << "the mark comes before its unit";
  EXPECT_TRUE(log.Only("BookMark 1097").empty());
  EXPECT_TRUE(log.Only("BookMark 30007").empty());
  EXPECT_TRUE(log.Only("BookMark 11111").empty());
  EXPECT_EQ(log.Count("WordPosition 7"), 1u) << "30007 reads as a word position";
  EXPECT_EQ(log.Count("TextDataDone"), 2u) << "11111 reads as an end of text";
  EXPECT_EQ(log.Count("AudioStopW"), 2u);
}

TEST_F(CentralTest, VisualMarksNeedANotifySinkAndOtherMarksABufferSink) {
  IAudioDestNotifySink* sink = dest->Sink();
  sink->BookMark(1097, 0);
  sink->BookMark(30000, 0);
  sink->BookMark(5, 0);
  sink->BookMark(11111, 0);
  EXPECT_TRUE(log.Names().empty());
}

TEST_F(CentralTest, AudioResetWhileSpeakingEndsAtOnceAndAgainWhenTheEndMarkReturns) {
  RegisterAll();
  ASSERT_EQ(Speak(u"jedna dva tri ctyri pet sest sedm osm devet deset"), S_OK);
  const size_t written = DataBytes(dest->Calls());
  ASSERT_GT(written, 0u);
  dest->ClearCalls();
  log.Clear();
  EXPECT_EQ(central->AudioReset(), S_OK);
  // The destination is flushed, then the end marks follow with no data.
  const std::vector<Record>& calls = dest->Calls();
  ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(Strings(calls));
  EXPECT_EQ(calls[0].call, Call::Flush);
  EXPECT_EQ(calls[1].call, Call::Mark);
  EXPECT_GE(calls[1].value, 30000u);
  EXPECT_EQ(calls[2], (Record{Call::Mark, 11111}));
  // The marks flushed out of the destination were reported; then the end, at once.
  const std::vector<std::string> names = log.Names();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
            (std::vector<std::string>{"TextDataDone", "AudioStopA", "AudioStopW"}));
  // Nothing more is written, however long the timer runs.
  dest->ClearCalls();
  log.Clear();
  time.Clock().Advance(1000);
  Pump();
  dest->PlayAll();
  Pump();
  EXPECT_EQ(DataBytes(dest->Calls()), 0u);
  EXPECT_EQ(log.Count("TextDataDone"), 1u) << "the end mark came back";
  EXPECT_EQ(log.Count("AudioStopW"), 1u);
  EXPECT_EQ(platform::MessageLoop::Current().NextDue().has_value(), false);
}

TEST_F(CentralTest, AudioResetWithNothingPendingDoesNothing) {
  RegisterAll();
  EXPECT_EQ(central->AudioReset(), S_OK);
  EXPECT_EQ(centralA->AudioReset(), S_OK);
  EXPECT_TRUE(dest->Calls().empty());
  EXPECT_TRUE(log.Names().empty());
}

TEST_F(CentralTest, ANewTextReplacesThePendingOneAndRestartsTheTimeBase) {
  RegisterAll();
  ASSERT_EQ(Speak(u"jedna dva tri ctyri pet"), S_OK);
  time.Clock().Advance(300);
  ASSERT_EQ(Speak(u"ahoj"), S_OK);
  EXPECT_EQ(log.Count("TextDataStarted"), 2u);
  EXPECT_EQ(log.Count("AudioStartW"), 2u);
  EXPECT_EQ(log.Events().back().time, 0u);
  PlayToEnd();
  // The first text's first word (already prepared) and the new text: three word positions
  // at most, not the five words of the first text.
  EXPECT_LE(log.Only("WordPosition").size(), 4u);
  EXPECT_EQ(log.Count("TextDataDone"), 1u);
}

TEST_F(CentralTest, RstAloneIsIgnoredButStartingWithItIsSpoken) {
  RegisterAll();
  ASSERT_EQ(Speak(u"\\rst\\"), S_OK);
  EXPECT_TRUE(log.Names().empty());
  EXPECT_TRUE(dest->Calls().empty());
  EXPECT_EQ(buf.References(), 1) << "not even the buffer sink is taken";
  ASSERT_EQ(Speak(u"\\rst\\ ahoj"), S_OK);
  EXPECT_EQ(log.Names().front(), "TextDataStarted");
  EXPECT_GT(DataBytes(dest->Calls()), 0u);
}

TEST_F(CentralTest, ZeroLengthTextStartsAndEndsWithoutData) {
  RegisterAll();
  for (DWORD size : {0u, 1u, 2u, 3u}) {
    log.Clear();
    dest->ClearCalls();
    char16_t text[2] = {u'a', 0};
    ASSERT_EQ(central->TextData(CHARSET_TEXT, 0, SDATA{text, size}, &buf, IID_ITTSBufNotifySink),
              S_OK);
    EXPECT_EQ(log.Names(),
              (std::vector<std::string>{"TextDataStarted", "AudioStartA", "AudioStartW"}))
        << "size " << size;
    const std::vector<Record>& calls = dest->Calls();
    ASSERT_EQ(calls.size(), 2u) << "size " << size;
    EXPECT_EQ(calls[0].call, Call::Mark);
    EXPECT_EQ(calls[1], (Record{Call::Mark, 11111}));
  }
  // The A form: below two bytes nothing is taken.
  dest->ClearCalls();
  char narrow[2] = {'a', 0};
  ASSERT_EQ(centralA->TextData(CHARSET_TEXT, 0, SDATA{narrow, 1}, nullptr, IID_ITTSBufNotifySink),
            S_OK);
  EXPECT_EQ(DataBytes(dest->Calls()), 0u);
  // A null text with a size is refused, not read.
  EXPECT_EQ(central->TextData(CHARSET_TEXT, 0, SDATA{nullptr, 10}, nullptr, IID_IUnknown),
            E_INVALIDARG);
  EXPECT_EQ(centralA->TextData(CHARSET_TEXT, 0, SDATA{nullptr, 10}, nullptr, IID_IUnknown),
            E_INVALIDARG);
}

TEST_F(CentralTest, AnEmptyTextIsHeardToItsEnd) {
  RegisterAll();
  ASSERT_EQ(Speak(u""), S_OK);
  PlayToEnd();
  EXPECT_EQ(log.Names(),
            (std::vector<std::string>{"TextDataStarted", "AudioStartA", "AudioStartW",
                                      "WordPosition 0", "VisualA 0 32", "VisualW 32 32",
                                      "TextDataDone", "AudioStopA", "AudioStopW"}));
}

TEST_F(CentralTest, TheWFormConvertsToTheSystemCodePage) {
  // "čaj" through W, and the same bytes in Windows-1250 through A, on a second instance.
  ASSERT_EQ(Speak(u"\u010Daj \u017Eluv"), S_OK);
  PlayToEnd();
  const std::vector<DWORD> wMarks = Marks(dest->Calls());
  const std::vector<uint8_t> wData = dest->Accepted();

  MemoryDestination* other = new MemoryDestination();
  ITTSCentralA* a = nullptr;
  ASSERT_EQ(SelectMode(1, Unknown(other), &a), S_OK);
  other->ClearCalls();
  NarrowText narrow(
      "\xE8"
      "aj \x9Eluv");
  BufSink otherBuf(log, "other ");
  ASSERT_EQ(a->TextData(CHARSET_TEXT, 0, narrow.Data(), &otherBuf, IID_ITTSBufNotifySink), S_OK);
  other->SetAutoPlay(true);
  platform::MessageLoop::Current().RunUntil([&] { return log.Count("other TextDataDone") > 0; },
                                            600000);
  EXPECT_EQ(Marks(other->Calls()), wMarks);
  EXPECT_EQ(other->Accepted(), wData);
  ASSERT_GE(wMarks.size(), 2u);
  EXPECT_EQ(wMarks[1], 2000u + 0xE8) << "the first unit is the letter c with caron";
  a->UnRegister(0);
  a->Release();
  other->Release();
}

TEST_F(CentralTest, ASecondBufferSinkIsIgnoredUntilUnRegister) {
  BufSink second(log, "second ");
  ASSERT_EQ(Speak(u"ahoj"), S_OK);
  ASSERT_EQ(Speak(u"ahoj", &second), S_OK);
  EXPECT_EQ(log.Count("TextDataStarted"), 2u);
  EXPECT_EQ(log.Count("second TextDataStarted"), 0u);
  EXPECT_EQ(second.References(), 1);
  PlayToEnd();
  EXPECT_EQ(log.Count("second TextDataDone"), 0u);
  EXPECT_EQ(central->UnRegister(0), S_OK);
  EXPECT_EQ(buf.References(), 1) << "released";
  log.Clear();
  ASSERT_EQ(Speak(u"ahoj", &second), S_OK);
  EXPECT_EQ(log.Names().front(), "second TextDataStarted");
  EXPECT_EQ(second.References(), 2);
  central->UnRegister(0);  // before the sink goes out of scope
  EXPECT_EQ(second.References(), 1);
}

TEST_F(CentralTest, UnRegisterThroughTheAFormLeavesTheWSink) {
  RegisterAll();
  EXPECT_EQ(notifyW.References(), 2);
  EXPECT_EQ(notifyA.References(), 2);
  EXPECT_EQ(centralA->UnRegister(0), S_OK);
  EXPECT_EQ(notifyA.References(), 1);
  EXPECT_EQ(notifyW.References(), 2);
  ASSERT_EQ(Speak(u"ahoj"), S_OK);
  PlayToEnd();
  EXPECT_EQ(log.Count("AudioStartW"), 1u);
  EXPECT_EQ(log.Count("AudioStopW"), 1u);
  EXPECT_GT(log.Only("VisualW").size(), 0u);
  EXPECT_TRUE(log.Only("VisualA").empty());
  EXPECT_TRUE(log.Only("AudioStartA").empty());
  EXPECT_EQ(central->UnRegister(0), S_OK);
  EXPECT_EQ(notifyW.References(), 1);
}

TEST_F(CentralTest, RegisterTakesFourIdentifiersAndHandsOutDistinctKeys) {
  DWORD k1 = 0, k2 = 0, k3 = 0, k4 = 0;
  EXPECT_EQ(central->Register(&buf, IID_ITTSBufNotifySink, &k1), S_OK);
  EXPECT_EQ(central->Register(&notifyW, IID_ITTSNotifySinkW, &k2), S_OK);
  EXPECT_EQ(central->Register(&notifyA, IID_ITTSNotifySinkA, &k3), S_OK);
  EXPECT_EQ(central->Register(&notifyW, IID_ITTSNotifySinkW, &k4), S_OK) << "slot taken: kept";
  EXPECT_EQ(notifyW.References(), 2);
  const std::vector<DWORD> keys = {k1, k2, k3, k4};
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_NE(keys[i], 0u);
    for (size_t j = i + 1; j < keys.size(); ++j) EXPECT_NE(keys[i], keys[j]);
  }
  // The second-generation sink is always replaced, and never called.
  NotifySinkW two(log, IID_ITTSNotifySink2A, "2");
  NotifySinkW three(log, IID_ITTSNotifySink2A, "3");
  EXPECT_EQ(central->Register(&two, IID_ITTSNotifySink2A, nullptr), S_OK);
  EXPECT_EQ(central->Register(&three, IID_ITTSNotifySink2A, nullptr), S_OK);
  EXPECT_EQ(two.References(), 1);
  EXPECT_EQ(three.References(), 2);
  // A-form registration of the same identifier is a separate slot that W's UnRegister leaves.
  EXPECT_EQ(centralA->Register(&two, IID_ITTSNotifySink2A, nullptr), S_OK);
  EXPECT_EQ(central->UnRegister(k1), S_OK);
  EXPECT_EQ(three.References(), 1);
  EXPECT_EQ(two.References(), 2);
  EXPECT_EQ(centralA->UnRegister(0), S_OK);
  EXPECT_EQ(two.References(), 1);
  // Refusals.
  DWORD key = 7;
  EXPECT_EQ(central->Register(&buf, IID_IUnknown, &key), E_NOINTERFACE);
  EXPECT_EQ(central->Register(&buf, IID_ITTSNotifySink2W, &key), E_NOINTERFACE);
  EXPECT_EQ(key, 7u);
  EXPECT_EQ(central->Register(nullptr, IID_ITTSBufNotifySink, &key), E_INVALIDARG);
  EXPECT_EQ(centralA->Register(nullptr, IID_ITTSNotifySinkA, &key), E_INVALIDARG);
  EXPECT_EQ(buf.References(), 1);
}

// A destination that can claim to be full, and plays everything at once otherwise.
class FullDestination final : public AudioDestination {
 public:
  bool full = true;
  size_t accepted = 0;
  HRESULT KV_STDCALL FreeSpace(DWORD* bytes, BOOL* eof) override {
    const HRESULT hr = AudioDestination::FreeSpace(bytes, eof);
    if (full && bytes != nullptr) *bytes = 0;
    return hr;
  }
  HRESULT KV_STDCALL DataSet(void* buffer, DWORD size) override {
    const HRESULT hr = AudioDestination::DataSet(buffer, size);
    if (hr == S_OK) accepted += size;
    return hr;
  }
  void Fill() {
    full = false;
    ScheduleWork();
  }

 private:
  ~FullDestination() override = default;
  void Consume(std::span<const uint8_t>) override {}
  void OnWork() override {
    if (full) return;
    PlayCached(SIZE_MAX);
    ReturnMarksUpTo(Played());
  }
};

TEST_F(CentralTest, APreparedWordIsWrittenEvenWhenTheDestinationHadNoRoom) {
  // Reference: the whole text on a roomy destination.
  ASSERT_EQ(Speak(u"jedna dva tri"), S_OK);
  PlayToEnd();
  const size_t whole = dest->Accepted().size();
  const std::vector<std::string> positions = log.Only("WordPosition");

  // The same text on a destination that reports no room right after each word is prepared,
  // while the feed timer runs on.
  FullDestination* full = new FullDestination();
  ITTSCentralW* c = nullptr;
  ASSERT_EQ(SelectMode(1, Unknown(full), &c), S_OK);
  EventLog fullLog;
  BufSink fullBuf(fullLog);
  WideText text(u"jedna dva tri");
  ASSERT_EQ(c->TextData(CHARSET_TEXT, 0, text.Data(), &fullBuf, IID_ITTSBufNotifySink), S_OK);
  for (int round = 0; round < 100 && fullLog.Count("TextDataDone") == 0; ++round) {
    full->full = true;
    for (int tick = 0; tick < 3; ++tick) {
      time.Clock().Advance(200);
      Pump();
    }
    full->Fill();
    time.Clock().Advance(200);
    Pump();
  }
  EXPECT_EQ(fullLog.Count("TextDataDone"), 1u);
  EXPECT_EQ(full->accepted, whole) << "every unit of every word was written";
  EXPECT_EQ(fullLog.Only("WordPosition"), positions);
  c->UnRegister(0);
  c->AudioReset();
  c->Release();
  full->Release();
}

TEST_F(CentralTest, PauseHoldsTheTimerAndStopsTheAudioAndResumeRestartsThem) {
  EXPECT_EQ(central->AudioResume(), S_OK) << "resuming while not paused is harmless";
  ASSERT_EQ(Speak(u"jedna dva tri"), S_OK);
  ASSERT_TRUE(platform::MessageLoop::Current().NextDue().has_value()) << "the feed timer runs";
  dest->ClearCalls();
  EXPECT_EQ(central->AudioPause(), S_OK);
  EXPECT_EQ(centralA->AudioPause(), S_OK);
  EXPECT_EQ(Strings(dest->Calls()), (std::vector<std::string>{"Stop"}));
  EXPECT_FALSE(dest->Playing());
  // Paused: no ticks write anything, and nothing plays.
  dest->ClearCalls();
  const auto due = platform::MessageLoop::Current().NextDue();
  time.Clock().Advance(1000);
  Pump();
  EXPECT_TRUE(dest->Calls().empty());
  EXPECT_EQ(dest->PlayAll(), 0u);
  EXPECT_EQ(central->AudioResume(), S_OK);
  EXPECT_EQ(Strings(dest->Calls()), (std::vector<std::string>{"Start"}));
  EXPECT_TRUE(dest->Playing());
  EXPECT_TRUE(platform::MessageLoop::Current().NextDue().has_value());
  (void)due;
  PlayToEnd();
}

TEST_F(CentralTest, QueryInterfaceOffersTheSixInterfacesAndTheInstance) {
  const IID offered[] = {IID_IUnknown,        IID_ITTSCentralW,    IID_ITTSCentralA,
                         IID_ITTSAttributesW, IID_ITTSAttributesA, IID_ITTSDialogsW,
                         IID_ITTSDialogsA};
  for (const IID& iid : offered) {
    void* object = nullptr;
    EXPECT_EQ(central->QueryInterface(iid, &object), S_OK);
    ASSERT_NE(object, nullptr);
    // Every face leads back to the same instance.
    void* unknown = nullptr;
    EXPECT_EQ(static_cast<IUnknown*>(object)->QueryInterface(IID_IUnknown, &unknown), S_OK);
    void* again = nullptr;
    EXPECT_EQ(central->QueryInterface(IID_IUnknown, &again), S_OK);
    EXPECT_EQ(unknown, again);
    static_cast<IUnknown*>(again)->Release();
    static_cast<IUnknown*>(unknown)->Release();
    static_cast<IUnknown*>(object)->Release();
  }
  void* object = reinterpret_cast<void*>(1);
  EXPECT_EQ(central->QueryInterface(IID_IAudioDestNotifySink, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(central->QueryInterface(IID_ITTSEnumW, &object), E_NOINTERFACE);
  EXPECT_EQ(central->QueryInterface(IID_ITTSCentralW, nullptr), E_POINTER);
}

TEST_F(CentralTest, ModeGetAnswersTheSelectedModeInBothForms) {
  Select(0, 2);
  TTSMODEINFOW w{};
  TTSMODEINFOA a{};
  EXPECT_EQ(central->ModeGet(&w), S_OK);
  EXPECT_EQ(centralA->ModeGet(&a), S_OK);
  EXPECT_EQ(w.gModeID, kModeIds[1]);
  EXPECT_EQ(a.gModeID, kModeIds[1]);
  EXPECT_STREQ(a.szModeName, "DAVLuska");
  EXPECT_EQ(central->ModeGet(nullptr), E_POINTER);
  EXPECT_EQ(centralA->ModeGet(nullptr), E_POINTER);
}

TEST_F(CentralTest, TheInertMethodsSucceedAndLeaveTheirOutputAlone) {
  QWORD stamp = 12345;
  FILETIME ft{1, 2};
  SDATA phoneme{reinterpret_cast<void*>(0x10), 3};
  WideText tag(u"\\spd=100\\");
  EXPECT_EQ(central->Inject(u"\\spd=100\\"), S_OK);
  EXPECT_EQ(centralA->Inject("\\spd=100\\"), S_OK);
  EXPECT_EQ(central->PosnGet(&stamp), S_OK);
  EXPECT_EQ(central->ToFileTime(&stamp, &ft), S_OK);
  EXPECT_EQ(central->Phoneme(CHARSET_TEXT, 0, tag.Data(), &phoneme), S_OK);
  EXPECT_EQ(centralA->PosnGet(nullptr), S_OK);
  EXPECT_EQ(stamp, 12345u);
  EXPECT_EQ(ft.dwLowDateTime, 1u);
  EXPECT_EQ(phoneme.dwSize, 3u);
  EXPECT_TRUE(dest->Calls().empty());
}

TEST(Attributes, SpeedIsClampedAndTheOthersAnswerFixedValuesInBothForms) {
  ManualTime time;
  MemoryDestination* dest = new MemoryDestination();
  ITTSCentralW* central = nullptr;
  ASSERT_EQ(SelectMode(1, static_cast<IAudio*>(dest), &central), S_OK);
  void* w = nullptr;
  void* a = nullptr;
  ASSERT_EQ(central->QueryInterface(IID_ITTSAttributesW, &w), S_OK);
  ASSERT_EQ(central->QueryInterface(IID_ITTSAttributesA, &a), S_OK);
  auto* attrW = static_cast<ITTSAttributesW*>(w);
  auto* attrA = static_cast<ITTSAttributesA*>(a);
  DWORD speed = 0;
  EXPECT_EQ(attrW->SpeedGet(&speed), S_OK);
  EXPECT_EQ(speed, 151u) << "the voice's normal speed";
  struct Case {
    DWORD set, get;
  };
  for (const Case& c : {Case{151, 151}, Case{0, 10}, Case{9, 10}, Case{10, 10}, Case{250, 250},
                        Case{251, 250}, Case{1000, 250}, Case{0xFFFFFFFF, 250}, Case{100, 100}}) {
    EXPECT_EQ(attrA->SpeedSet(c.set), S_OK);
    EXPECT_EQ(attrW->SpeedGet(&speed), S_OK);
    EXPECT_EQ(speed, c.get) << "set " << c.set;
    EXPECT_EQ(attrA->SpeedGet(&speed), S_OK);
    EXPECT_EQ(speed, c.get) << "set " << c.set;
  }
  WORD pitch = 0;
  DWORD value = 0;
  EXPECT_EQ(attrW->PitchSet(50), S_OK);
  EXPECT_EQ(attrW->PitchGet(&pitch), S_OK);
  EXPECT_EQ(pitch, 100);
  EXPECT_EQ(attrA->VolumeSet(0), S_OK);
  EXPECT_EQ(attrA->VolumeGet(&value), S_OK);
  EXPECT_EQ(value, 100u);
  EXPECT_EQ(attrW->RealTimeSet(5), S_OK);
  EXPECT_EQ(attrW->RealTimeGet(&value), S_OK);
  EXPECT_EQ(value, 100u);
  EXPECT_EQ(attrW->SpeedGet(nullptr), E_POINTER);
  EXPECT_EQ(attrA->PitchGet(nullptr), E_POINTER);
  EXPECT_EQ(attrA->VolumeGet(nullptr), E_POINTER);
  EXPECT_EQ(attrA->RealTimeGet(nullptr), E_POINTER);
  attrW->Release();
  attrA->Release();
  central->Release();
  dest->Release();
}

// Showing the forms is tested with the dialogs module (tests/dialogs).
TEST(Dialogs, AParentOfZeroOnlyAsksWhetherTheDialogIsOffered) {
  ManualTime time;
  MemoryDestination* dest = new MemoryDestination();
  ITTSCentralA* central = nullptr;
  ASSERT_EQ(SelectMode(1, static_cast<IAudio*>(dest), &central), S_OK);
  void* w = nullptr;
  void* a = nullptr;
  ASSERT_EQ(central->QueryInterface(IID_ITTSDialogsW, &w), S_OK);
  ASSERT_EQ(central->QueryInterface(IID_ITTSDialogsA, &a), S_OK);
  auto* dw = static_cast<ITTSDialogsW*>(w);
  auto* da = static_cast<ITTSDialogsA*>(a);
  EXPECT_EQ(dw->AboutDlg(nullptr, nullptr), S_OK);
  EXPECT_EQ(dw->LexiconDlg(nullptr, u"x"), S_OK);
  EXPECT_EQ(da->GeneralDlg(nullptr, "x"), S_OK);
  EXPECT_EQ(da->TranslateDlg(nullptr, nullptr), S_OK);
  dw->Release();
  da->Release();
  central->Release();
  dest->Release();
}

TEST(EngineInstances, KeepTheLibraryLoadedAndDoNotGrowBeyondThemselves) {
  ManualTime time;
  EngineLibrary& lib = Library();
  MemoryDestination* dest = new MemoryDestination(0, true);
  ITTSCentralW* central = nullptr;
  ASSERT_EQ(SelectMode(3, static_cast<IAudio*>(dest), &central), S_OK);
  central->Release();
  EXPECT_EQ(lib.canUnloadNow(), S_FALSE) << "the instance holds its own sink";
  // Speaking many texts leaves nothing behind: no timers, no queued calls, no marks.
  EventLog log;
  BufSink buf(log);
  for (int i = 0; i < 20; ++i) {
    WideText text(u"ahoj");
    central->TextData(CHARSET_TEXT, 0, text.Data(), &buf, IID_ITTSBufNotifySink);
    platform::MessageLoop::Current().RunUntil(
        [&] { return log.Count("TextDataDone") == size_t(i + 1); }, 600000);
  }
  EXPECT_EQ(log.Count("TextDataDone"), 20u);
  EXPECT_EQ(dest->PendingMarks(), 0u);
  EXPECT_EQ(dest->Queued(), 0u);
  EXPECT_FALSE(platform::MessageLoop::Current().NextDue().has_value());
  central->UnRegister(0);
  dest->Release();
}

TEST(EngineInstances, SpeakingMoreTextsTakesNoMoreMemory) {
  ManualTime time;
  FileDestination* dest = FileDestination::Create("/dev/null", nullptr);
  ASSERT_NE(dest, nullptr);
  ITTSCentralW* central = nullptr;
  ASSERT_EQ(SelectMode(2, static_cast<IAudio*>(dest), &central), S_OK);
  EventLog log;
  BufSink buf(log);
  size_t done = 0;
  auto speak = [&](int texts) {
    for (int i = 0; i < texts; ++i) {
      WideText text(u"jedna dva tri ctyri pet sest");
      central->TextData(CHARSET_TEXT, 0, text.Data(), &buf, IID_ITTSBufNotifySink);
      platform::MessageLoop::Current().RunUntil([&] { return log.Count("TextDataDone") > 0; },
                                                600000);
      done += log.Count("TextDataDone");
      log.Clear();  // keeps its capacity: the log does not grow either
    }
  };
  speak(2);
  const size_t warm = mallinfo2().uordblks;
  speak(40);
  const size_t after = mallinfo2().uordblks;  // 0 under the address sanitizer: nothing to see
  EXPECT_LT(after, warm + 16 * 1024) << "the heap grew by " << (after - warm) << " bytes";
  EXPECT_EQ(done, 42u);
  central->UnRegister(0);
  central->Release();
  dest->Release();
}

}  // namespace
}  // namespace kv::test
