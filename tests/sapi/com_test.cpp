// GUIDs in the registry's brace form, the interlocked counter and the in-process server loader.
#include "platform/com.h"

#include <elf.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/elf_image.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::com {
namespace {

constexpr GUID kEngine = {
    0x3FF7410B, 0xA888, 0x4A67, {0xBA, 0xFC, 0x55, 0xFA, 0xF3, 0xC5, 0x42, 0x4D}};

TEST(Guid, FormatsAndParsesOnlyTheBraceForm) {
  EXPECT_EQ(GuidToString(kEngine), "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}");
  EXPECT_EQ(GuidToString(IID_IClassFactory), "{00000001-0000-0000-C000-000000000046}");
  EXPECT_EQ(GuidFromString("{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}"), kEngine);
  EXPECT_EQ(GuidFromString("{3ff7410b-a888-4a67-bafc-55faf3c5424d}"), kEngine);
  const GUID all = {0xFFFFFFFF, 0xFFFF, 0xFFFF, {255, 255, 255, 255, 255, 255, 255, 255}};
  EXPECT_EQ(GuidFromString(GuidToString(all)), all);
  for (const char* bad :
       {"", "3FF7410B-A888-4A67-BAFC-55FAF3C5424D", "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D",
        "{3FF7410BA888-4A67-BAFC-55FAF3C5424DX}", "{3FF7410B-A888-4A67-BAFC-55FAF3C5424G}",
        "{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}x", "{+FF7410B-A888-4A67-BAFC-55FAF3C5424D}"})
    EXPECT_FALSE(GuidFromString(bad).has_value()) << bad;
  EXPECT_FALSE(kEngine == IID_IUnknown);
}

void RegisterClassPath(const GUID& clsid, const std::string& path) {
  platform::Registry reg(platform::HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("\\CLSID\\" + GuidToString(clsid) + "\\InprocServer32", true));
  reg.WriteString("", path);
}

TEST(InprocServer, ReportsWhyAClassCannotBeLoaded) {
  const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  void* object = reinterpret_cast<void*>(0x1);
  std::shared_ptr<InprocServer> server;
  EXPECT_EQ(CreateInstance(unknown, nullptr, IID_IUnknown, &object, &server), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(server, nullptr);

  RegisterClassPath(unknown, (test::Prefix() / "missing.so").string());
  EXPECT_EQ(CreateInstance(unknown, nullptr, IID_IUnknown, &object, &server), CO_E_DLLNOTFOUND);

  const auto notALibrary = test::Prefix() / "text.so";
  std::ofstream(notALibrary) << "not a library";
  RegisterClassPath(unknown, notALibrary.string());
  EXPECT_EQ(CreateInstance(unknown, nullptr, IID_IUnknown, &object, &server), CO_E_DLLNOTFOUND);

  EXPECT_EQ(CreateInstance(unknown, nullptr, IID_IUnknown, nullptr, &server), E_POINTER);
}

TEST(InprocServer, LoadsTheRegisteredLibraryAndCreatesItsObject) {
  RegisterClassPath(kEngine, KV_TTSE_PATH);
  ASSERT_EQ(RegisteredServerPath(kEngine), std::filesystem::path(KV_TTSE_PATH));
  void* object = nullptr;
  std::shared_ptr<InprocServer> server;
  ASSERT_EQ(CreateInstance(kEngine, nullptr, IID_IUnknown, &object, &server), S_OK);
  ASSERT_NE(object, nullptr);
  ASSERT_NE(server, nullptr);
  auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(server->Symbol("DllCanUnloadNow"));
  ASSERT_NE(canUnload, nullptr);
  EXPECT_EQ(canUnload(), S_FALSE) << "the object holds the library";
  static_cast<IUnknown*>(object)->Release();
  EXPECT_EQ(canUnload(), S_OK) << "the factory was released by CreateInstance";
  server.reset();  // unloads
}

std::vector<uint8_t> EngineBytes() {
  std::ifstream in(KV_TTSE_PATH, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A cut-off library made every host die with SIGBUS inside the loader.
TEST(InprocServer, RefusesADamagedLibraryWithoutMappingIt) {
  std::vector<uint8_t> bytes = EngineBytes();
  ASSERT_GT(bytes.size(), 100000u);
  const auto cut = test::Prefix() / "cut" / "kv_ttse.so";
  std::filesystem::create_directories(cut.parent_path());
  std::ofstream(cut, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 100000);
  RegisterClassPath(kEngine, cut.string());
  void* object = nullptr;
  std::shared_ptr<InprocServer> server;
  EXPECT_EQ(CreateInstance(kEngine, nullptr, IID_IUnknown, &object, &server), CO_E_ERRORINDLL);
  EXPECT_EQ(server, nullptr);
}

TEST(ElfCheck, TellsAWholeModuleFromACutOrForeignOne) {
  using Verdict = platform::ElfCheck::Verdict;
  const std::vector<uint8_t> whole = EngineBytes();
  EXPECT_EQ(platform::CheckElfImage(whole).verdict, Verdict::Whole);
  EXPECT_EQ(platform::CheckElfFile(KV_TTSE_PATH).verdict, Verdict::Whole);

  // Every segment is there but the section headers at the end are cut.
  std::vector<uint8_t> noSections(whole.begin(), whole.end() - 16);
  EXPECT_EQ(platform::CheckElfImage(noSections).verdict, Verdict::Unfit);
  for (size_t size : {size_t(4), size_t(64), size_t(200), whole.size() / 2}) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + size);
    EXPECT_NE(platform::CheckElfImage(cut).verdict, Verdict::Whole) << size;
  }
  std::vector<uint8_t> foreign = whole;
  foreign[offsetof(Elf64_Ehdr, e_machine)] ^= 0x40;
  EXPECT_EQ(platform::CheckElfImage(foreign).verdict, Verdict::Unfit);
  std::vector<uint8_t> farHeaders = whole;
  farHeaders[offsetof(Elf64_Ehdr, e_phoff) + 6] = 0x7F;  // far beyond the end
  EXPECT_EQ(platform::CheckElfImage(farHeaders).verdict, Verdict::Unfit);

  std::vector<uint8_t> longSegment = whole;
  Elf64_Ehdr eh;
  std::memcpy(&eh, whole.data(), sizeof eh);
  const uint64_t tooLong = whole.size() + 1;  // the first segment reaches past the end
  std::memcpy(longSegment.data() + eh.e_phoff + offsetof(Elf64_Phdr, p_filesz), &tooLong, 8);
  EXPECT_EQ(platform::CheckElfImage(longSegment).verdict, Verdict::Unfit);

  const std::string text = "not a library";
  EXPECT_EQ(
      platform::CheckElfImage({reinterpret_cast<const uint8_t*>(text.data()), text.size()}).verdict,
      Verdict::NotElf);
  EXPECT_EQ(platform::CheckElfFile(test::Prefix() / "missing.so").verdict, Verdict::NotElf);
}

}  // namespace
}  // namespace kv::com
