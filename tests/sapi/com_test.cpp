// GUIDs in the registry's brace form, the interlocked counter and the in-process server loader.
#include "platform/com.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace
}  // namespace kv::com
