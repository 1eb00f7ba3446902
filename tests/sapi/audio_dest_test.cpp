// The audio destinations of our SAPI runtime: format, cache, bookmarks, notifications, and the
// file and device destinations' playing, on the manual clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_loop.h"
#include "platform/sound.h"
#include "sapi/device_dest.h"
#include "sapi/file_dest.h"
#include "sapi/memory_dest.h"
#include "tests/support/test_prefix.h"

namespace kv::sapi {
namespace {

using com::E_POINTER;
using com::S_OK;

class ManualTime {
 public:
  ManualTime() : clock(std::make_shared<platform::ManualClock>(5000)) {
    platform::MessageLoop::Current().SetClock(clock);
  }
  ~ManualTime() { platform::MessageLoop::Current().SetClock(nullptr); }
  std::shared_ptr<platform::ManualClock> clock;
};

void Pump() {
  for (int i = 0; i < 1000 && platform::MessageLoop::Current().ProcessPending(); ++i) {
  }
}

// The engine's side of the notifications, recorded with the loop time they came at.
class SinkLog final : public IAudioDestNotifySink {
 public:
  HRESULT KV_STDCALL QueryInterface(const IID& iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!(iid == IID_IAudioDestNotifySink) && !(iid == com::IID_IUnknown))
      return com::E_NOINTERFACE;
    *object = this;
    AddRef();
    return S_OK;
  }
  ULONG KV_STDCALL AddRef() override { return ++refs; }
  ULONG KV_STDCALL Release() override { return --refs; }
  HRESULT KV_STDCALL AudioStop(WORD reason) override {
    return Add("AudioStop " + std::to_string(reason));
  }
  HRESULT KV_STDCALL AudioStart() override { return Add("AudioStart"); }
  HRESULT KV_STDCALL FreeSpace(DWORD bytes, BOOL) override {
    return Add("FreeSpace " + std::to_string(bytes));
  }
  HRESULT KV_STDCALL BookMark(DWORD id, BOOL flush) override {
    return Add("BookMark " + std::to_string(id) + (flush ? " flushed" : ""));
  }
  HRESULT Add(std::string what) {
    events.push_back(std::move(what));
    times.push_back(platform::MessageLoop::Current().Now());
    if (onEvent) onEvent(events.back());
    return S_OK;
  }
  std::vector<std::string> Take() {
    std::vector<std::string> out;
    out.swap(events);
    times.clear();
    return out;
  }
  std::vector<std::string> events;
  std::vector<int64_t> times;
  std::function<void(const std::string&)> onEvent;
  ULONG refs = 1;
};

SDATA FormatData(WAVEFORMATEX& f) {
  return SDATA{&f, sizeof f};
}

std::vector<uint8_t> Bytes(size_t n, uint8_t first = 0) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(first + i);
  return v;
}

// A memory destination with the engine's format and a sink, claimed and started.
struct Started {
  explicit Started(size_t capacity = 1000) : dest(new MemoryDestination(capacity)) {
    WAVEFORMATEX f = PcmFormat(22050, 16, 1);
    EXPECT_EQ(dest->WaveFormatSet(FormatData(f)), S_OK);
    EXPECT_EQ(dest->PassNotify(&sink, IID_IAudioDestNotifySink), S_OK);
    EXPECT_EQ(dest->Claim(), S_OK);
    EXPECT_EQ(dest->Start(), S_OK);
    Pump();
    sink.Take();
    dest->ClearCalls();
  }
  ~Started() { dest->Release(); }
  ManualTime time;
  SinkLog sink;
  MemoryDestination* dest;
};

TEST(AudioDestination, TheFormatIsSetOnceAndNothingWorksWithoutIt) {
  ManualTime time;
  MemoryDestination* dest = new MemoryDestination();
  DWORD free = 1;
  std::vector<uint8_t> data = Bytes(10);
  EXPECT_EQ(dest->FreeSpace(&free, nullptr), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->DataSet(data.data(), 10), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->BookMark(1), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->Claim(), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->Start(), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->Flush(), AUDERR_NEEDWAVEFORMAT);
  SDATA copy{};
  EXPECT_EQ(dest->WaveFormatGet(&copy), AUDERR_NEEDWAVEFORMAT);
  EXPECT_EQ(dest->WaveFormatSet(SDATA{nullptr, 18}), AUDERR_INVALIDPARAM);
  WAVEFORMATEX f = PcmFormat(22050, 16, 1);
  EXPECT_EQ(dest->WaveFormatSet(SDATA{&f, 10}), AUDERR_INVALIDPARAM);
  WAVEFORMATEX odd = f;
  odd.wFormatTag = 3;
  EXPECT_EQ(dest->WaveFormatSet(FormatData(odd)), AUDERR_WAVEFORMATNOTSUPPORTED);
  odd = f;
  odd.nAvgBytesPerSec = 1;
  EXPECT_EQ(dest->WaveFormatSet(FormatData(odd)), AUDERR_WAVEFORMATNOTSUPPORTED);
  EXPECT_FALSE(dest->HasFormat()) << "a refused format leaves it uninitialised";
  EXPECT_EQ(dest->WaveFormatSet(FormatData(f)), S_OK);
  WAVEFORMATEX other = PcmFormat(11025, 8, 1);
  EXPECT_EQ(dest->WaveFormatSet(FormatData(other)), AUDERR_WAVEDEVICEBUSY);
  ASSERT_EQ(dest->WaveFormatGet(&copy), S_OK);
  ASSERT_EQ(copy.dwSize, sizeof(WAVEFORMATEX));
  EXPECT_EQ(static_cast<WAVEFORMATEX*>(copy.pData)->nSamplesPerSec, 22050u);
  std::free(copy.pData);
  EXPECT_EQ(dest->FreeSpace(&free, nullptr), S_OK);
  EXPECT_EQ(free, 88200u) << "two seconds";
  EXPECT_EQ(dest->FreeSpace(nullptr, nullptr), AUDERR_INVALIDPARAM);
  EXPECT_EQ(dest->WaveFormatGet(nullptr), E_POINTER);
  dest->Release();
}

TEST(AudioDestination, DataIsTakenWholeOrNotAtAllAndOnlyWhileClaimed) {
  ManualTime time;
  MemoryDestination* dest = new MemoryDestination(1000);
  WAVEFORMATEX f = PcmFormat(22050, 16, 1);
  ASSERT_EQ(dest->WaveFormatSet(FormatData(f)), S_OK);
  std::vector<uint8_t> data = Bytes(600);
  EXPECT_EQ(dest->DataSet(data.data(), 600), AUDERR_NOTCLAIMED);
  EXPECT_EQ(dest->Start(), AUDERR_NOTCLAIMED);
  ASSERT_EQ(dest->Claim(), S_OK);
  EXPECT_EQ(dest->Claim(), AUDERR_ALREADYCLAIMED);
  EXPECT_EQ(dest->DataSet(data.data(), 600), S_OK);
  EXPECT_EQ(dest->DataSet(data.data(), 500), AUDERR_NOTENOUGHDATA);
  EXPECT_EQ(dest->Total(), 600u);
  DWORD free = 0;
  BOOL eof = 1;
  EXPECT_EQ(dest->FreeSpace(&free, &eof), S_OK);
  EXPECT_EQ(free, 400u);
  EXPECT_EQ(eof, 0);
  EXPECT_EQ(dest->DataSet(data.data(), 400), S_OK);
  EXPECT_EQ(dest->FreeSpace(&free, nullptr), S_OK);
  EXPECT_EQ(free, 0u);
  EXPECT_EQ(dest->DataSet(nullptr, 0), AUDERR_INVALIDPARAM);
  // Nothing plays before Start; the ring keeps the bytes in order across its end.
  EXPECT_EQ(dest->PlayAll(), 0u);
  ASSERT_EQ(dest->Start(), S_OK);
  EXPECT_EQ(dest->Start(), AUDERR_ALREADYSTARTED);
  EXPECT_EQ(dest->Play(700), 700u);
  std::vector<uint8_t> tail = Bytes(700, 100);
  EXPECT_EQ(dest->DataSet(tail.data(), 700), S_OK);
  EXPECT_EQ(dest->PlayAll(), 1000u);
  EXPECT_EQ(dest->PlayedBytes(), dest->Accepted());
  EXPECT_EQ(dest->Played(), 1700u);
  dest->Release();
}

TEST(AudioDestination, BookmarksComeBackOnceTheAudioBeforeThemHasPlayed) {
  Started s;
  std::vector<uint8_t> data = Bytes(100);
  ASSERT_EQ(s.dest->BookMark(1), S_OK);
  ASSERT_EQ(s.dest->DataSet(data.data(), 100), S_OK);
  ASSERT_EQ(s.dest->BookMark(2), S_OK);
  ASSERT_EQ(s.dest->BookMark(3), S_OK);
  ASSERT_EQ(s.dest->DataSet(data.data(), 100), S_OK);
  ASSERT_EQ(s.dest->BookMark(4000000000u), S_OK);
  EXPECT_TRUE(s.sink.events.empty()) << "never from inside the engine's calls";
  s.dest->Play(50);
  EXPECT_TRUE(s.sink.events.empty()) << "only when the loop runs";
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"BookMark 1", "FreeSpace 850"}));
  s.dest->Play(50);
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"BookMark 2", "BookMark 3", "FreeSpace 900"}));
  s.dest->Play(99);
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"FreeSpace 999"}));
  s.dest->Play(1);
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"BookMark 4000000000", "FreeSpace 1000"}));
  // Empty: said once until new data comes.
  s.dest->Play(10);
  ASSERT_EQ(s.dest->BookMark(5), S_OK);
  Pump();
  s.dest->Play(0);
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"BookMark 5"}));
}

TEST(AudioDestination, FlushDropsTheCacheAndReturnsPendingMarksAtOnceAsFlushed) {
  Started s;
  std::vector<uint8_t> data = Bytes(300);
  s.dest->DataSet(data.data(), 300);
  s.dest->BookMark(7);
  s.dest->DataSet(data.data(), 300);
  s.dest->BookMark(8);
  ASSERT_EQ(s.dest->Flush(), S_OK);
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"BookMark 7 flushed", "BookMark 8 flushed"}));
  EXPECT_EQ(s.dest->Queued(), 0u);
  EXPECT_EQ(s.dest->PendingMarks(), 0u);
  EXPECT_EQ(s.dest->Total(), 600u) << "the total never goes back";
  // Marks written after the flush are due with the next data, not after the dropped bytes.
  s.dest->BookMark(9);
  s.dest->DataSet(data.data(), 10);
  s.dest->BookMark(10);
  s.dest->Play(10);
  Pump();
  // The notification the flush scheduled still stands for the room freed since.
  EXPECT_EQ(s.sink.Take(),
            (std::vector<std::string>{"FreeSpace 1000", "BookMark 9", "BookMark 10"}));
}

TEST(AudioDestination, ClaimStartsAndUnClaimStopsOnceDrained) {
  Started s;
  std::vector<uint8_t> data = Bytes(100);
  s.dest->DataSet(data.data(), 100);
  ASSERT_EQ(s.dest->UnClaim(), S_OK);
  EXPECT_EQ(s.dest->DataSet(data.data(), 10), AUDERR_NOTCLAIMED) << "no data after UnClaim";
  Pump();
  EXPECT_TRUE(s.sink.Take().empty()) << "still draining";
  s.dest->PlayAll();
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"AudioStop 0", "FreeSpace 1000"}));
  EXPECT_FALSE(s.dest->Claimed());
  EXPECT_EQ(s.dest->UnClaim(), AUDERR_NOTCLAIMED);
  EXPECT_EQ(s.dest->Claim(), S_OK);
  Pump();
  EXPECT_EQ(s.sink.Take(), (std::vector<std::string>{"AudioStart"}));
  // Stop keeps the cache for the next Start.
  ASSERT_EQ(s.dest->Start(), S_OK);
  s.dest->DataSet(data.data(), 100);
  ASSERT_EQ(s.dest->Stop(), S_OK);
  EXPECT_EQ(s.dest->PlayAll(), 0u);
  ASSERT_EQ(s.dest->Start(), S_OK);
  EXPECT_EQ(s.dest->PlayAll(), 100u);
}

TEST(AudioDestination, PassNotifyTakesOnlyItsSinkAndReleaseReturnsOutstandingMarks) {
  ManualTime time;
  SinkLog sink;
  MemoryDestination* dest = new MemoryDestination();
  WAVEFORMATEX f = PcmFormat(22050, 16, 1);
  dest->WaveFormatSet(FormatData(f));
  EXPECT_EQ(dest->PassNotify(&sink, IID_IAudio), AUDERR_INVALIDNOTIFYSINK);
  EXPECT_EQ(sink.refs, 1u);
  ASSERT_EQ(dest->PassNotify(&sink, IID_IAudioDestNotifySink), S_OK);
  EXPECT_EQ(sink.refs, 2u);
  // Faces.
  void* audio = nullptr;
  void* out = nullptr;
  ASSERT_EQ(dest->QueryInterface(IID_IAudio, &audio), S_OK);
  ASSERT_EQ(static_cast<IAudio*>(audio)->QueryInterface(IID_IAudioDest, &out), S_OK);
  EXPECT_EQ(out, static_cast<IAudioDest*>(dest));
  EXPECT_EQ(dest->QueryInterface(IID_IAudioDestNotifySink, &out), com::E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(dest->QueryInterface(IID_IAudio, nullptr), E_POINTER);
  EXPECT_EQ(dest->References(), 3u);
  static_cast<IAudio*>(audio)->Release();
  dest->Release();
  // The last reference: outstanding marks come back flushed, and the sink is let go.
  dest->Claim();
  dest->BookMark(42);
  EXPECT_EQ(dest->Release(), 0u);
  EXPECT_EQ(sink.Take().back(), "BookMark 42 flushed");
  EXPECT_EQ(sink.refs, 1u);
  Pump();  // posted notifications of the destroyed object are dropped
  EXPECT_TRUE(sink.events.empty());
}

TEST(FileDestination, WritesAWaveFileAndReturnsMarksOnceTheirAudioIsWritten) {
  ManualTime time;
  const auto path = test::Prefix() / "out.wav";
  std::string error;
  FileDestination* dest = FileDestination::Create(path, &error);
  ASSERT_NE(dest, nullptr) << error;
  SinkLog sink;
  WAVEFORMATEX f = PcmFormat(22050, 16, 1);
  ASSERT_EQ(dest->WaveFormatSet(FormatData(f)), S_OK);
  ASSERT_EQ(dest->PassNotify(&sink, IID_IAudioDestNotifySink), S_OK);
  dest->Claim();
  dest->Start();
  std::vector<uint8_t> a = Bytes(1000, 1), b = Bytes(3000, 7);
  std::vector<uint64_t> writtenAtMark;
  sink.onEvent = [&](const std::string& e) {
    if (e.rfind("BookMark", 0) == 0) writtenAtMark.push_back(dest->BytesWritten());
  };
  dest->BookMark(1);
  dest->DataSet(a.data(), 1000);
  dest->BookMark(2);
  dest->DataSet(b.data(), 3000);
  dest->BookMark(3);
  EXPECT_EQ(dest->BytesWritten(), 0u) << "written when the loop runs";
  Pump();
  EXPECT_EQ(sink.Take(), (std::vector<std::string>{"AudioStart", "BookMark 1", "BookMark 2",
                                                   "BookMark 3", "FreeSpace 88200"}));
  EXPECT_EQ(writtenAtMark, (std::vector<uint64_t>{4000, 4000, 4000}));
  ASSERT_TRUE(dest->Finish());
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(file.size(), 44u + 4000u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  auto u32 = [&](size_t at) {
    return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | uint32_t(file[at + 3]) << 24;
  };
  EXPECT_EQ(u32(4), 4036u);
  EXPECT_EQ(u32(24), 22050u);
  EXPECT_EQ(u32(40), 4000u);
  EXPECT_TRUE(std::equal(a.begin(), a.end(), file.begin() + 44));
  EXPECT_TRUE(std::equal(b.begin(), b.end(), file.begin() + 1044));
  dest->Release();
  EXPECT_EQ(FileDestination::Create(test::Prefix() / "no" / "such" / "dir.wav", &error), nullptr);
  EXPECT_NE(error.find("dir.wav"), std::string::npos);
}

// An old file stays as it was until the new one is complete: a render that fails or is
// abandoned never costs it. The new file takes its permission bits; a symbolic link is
// followed; another hard link keeps the old audio.
TEST(FileDestination, ReplacesAnOldFileOnlyOnceTheNewOneIsComplete) {
  ManualTime time;
  namespace fs = std::filesystem;
  const fs::path folder = test::Prefix() / "replace";
  fs::create_directories(folder);
  const fs::path book = folder / "book.wav", link = folder / "link.wav", hard = folder / "hard";
  auto read = [](const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  };
  std::ofstream(book) << "old book";
  fs::permissions(book, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("book.wav", link);
  fs::create_hard_link(book, hard);
  auto render = [&](bool finish) {
    std::string error;
    FileDestination* dest = FileDestination::Create(link, &error);
    EXPECT_NE(dest, nullptr) << error;
    if (dest == nullptr) return;
    WAVEFORMATEX f = PcmFormat(22050, 16, 1);
    dest->WaveFormatSet(FormatData(f));
    dest->Claim();
    dest->Start();
    std::vector<uint8_t> pcm = Bytes(50000, 3);
    dest->DataSet(pcm.data(), DWORD(pcm.size()));
    Pump();
    EXPECT_EQ(read(book), "old book") << "still the old one while the new one is written";
    if (finish) {
      EXPECT_TRUE(dest->Finish());
    }
    dest->Release();
  };
  render(false);
  EXPECT_EQ(read(book), "old book");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3)
      << "no temporary file is left behind";
  render(true);
  EXPECT_EQ(read(book).size(), 44u + 50000u);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(book).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(read(hard), "old book");
}

TEST(DeviceDestination, PlaysInRealTimeAndReturnsMarksWhenHeard) {
  ManualTime time;
  platform::CaptureBackend device;
  DeviceDestination* dest = new DeviceDestination(&device);
  SinkLog sink;
  WAVEFORMATEX f = PcmFormat(22050, 16, 1);
  ASSERT_EQ(dest->WaveFormatSet(FormatData(f)), S_OK);
  ASSERT_EQ(dest->PassNotify(&sink, IID_IAudioDestNotifySink), S_OK);
  DWORD free = 0;
  dest->FreeSpace(&free, nullptr);
  EXPECT_EQ(free, 88200u);
  dest->Claim();
  dest->Start();
  const int64_t start = time.clock->NowMs();
  // Two seconds of audio with a mark after each quarter second (11025 bytes).
  std::vector<uint8_t> all;
  for (int i = 1; i <= 8; ++i) {
    std::vector<uint8_t> quarter = Bytes(11024, uint8_t(i * 3));  // block aligned
    ASSERT_EQ(dest->DataSet(quarter.data(), 11024), S_OK);
    all.insert(all.end(), quarter.begin(), quarter.end());
    dest->BookMark(i);
  }
  platform::MessageLoop::Current().RunUntil([&] { return !dest->Busy(); }, 10000);
  Pump();
  std::vector<int64_t> markTimes, freeTimes;
  for (size_t i = 0; i < sink.events.size(); ++i) {
    if (sink.events[i].rfind("BookMark", 0) == 0) markTimes.push_back(sink.times[i] - start);
    if (sink.events[i].rfind("FreeSpace", 0) == 0) freeTimes.push_back(sink.times[i]);
  }
  ASSERT_EQ(markTimes.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    const int64_t heard = (i + 1) * 11024 * 1000 / 44100;
    EXPECT_GE(markTimes[i], heard) << "mark " << i + 1 << " before its audio was heard";
    EXPECT_LE(markTimes[i], heard + 60) << "mark " << i + 1 << " late";
  }
  for (size_t i = 1; i < freeTimes.size(); ++i)
    EXPECT_GE(freeTimes[i] - freeTimes[i - 1], 62) << "at most 16 notifications a second";
  EXPECT_EQ(dest->Heard(), 8u * 11024u);
  // The device got everything, in order, in waves of half a second, one after the other.
  std::vector<uint8_t> heard;
  int64_t previousEnd = start;
  for (const auto& record : device.Records()) {
    platform::WaveView view;
    ASSERT_TRUE(platform::ParseWave(record.wave, view));
    EXPECT_EQ(view.sampleRate, 22050u);
    EXPECT_LE(view.data.size(), 22050u);
    EXPECT_GE(record.startMs, previousEnd) << "a wave was cut short";
    EXPECT_LE(record.startMs, previousEnd + int64_t(DeviceDestination::kTickMs)) << "a gap";
    previousEnd = record.startMs + int64_t(view.data.size()) * 1000 / 44100;
    heard.insert(heard.end(), view.data.begin(), view.data.end());
  }
  EXPECT_EQ(heard, all);
  EXPECT_EQ(device.Interrupted(), 0);
  dest->Release();
}

}  // namespace
}  // namespace kv::sapi
