// The platform layer's Windows face against the real services: the registry, the module's own
// resources and version record, and timers in the thread's real message queue.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "platform/message_loop.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/win32/windows_api.h"

namespace kv::platform {
namespace {

constexpr const char* kTestKey = "\\Software\\KORVEN\\PlatformTest";

class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Registry reg(HKEY_CURRENT_USER);
    reg.DeleteKey(kTestKey);
  }
};

TEST_F(RegistryTest, ValuesMakeTheRoundTripInTheCodePage) {
  Registry reg(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey(kTestKey, true));
  const std::string czech = "P\xF8\xEDli\x9A \x9Elu\x9Dou\xE8k\xFD k\xF9\xF2";  // Windows-1250
  reg.WriteString("", czech);
  reg.WriteString("Hlas", "DAVLa");
  reg.WriteInteger("Rychlost", -5);
  reg.WriteBool("Zapnuto", true);

  Registry again(HKEY_CURRENT_USER);
  ASSERT_TRUE(again.OpenKey(std::string(kTestKey), false));
  EXPECT_EQ(again.ReadString(""), czech);
  EXPECT_EQ(again.ReadString("hlas"), "DAVLa") << "value names ignore case";
  EXPECT_EQ(again.ReadInteger("Rychlost"), -5);
  EXPECT_TRUE(again.ReadBool("Zapnuto"));
  EXPECT_EQ(again.GetDataType("Rychlost"), ValueType::DWord);
  EXPECT_EQ(again.GetDataType("Hlas"), ValueType::String);
  EXPECT_EQ(again.GetDataType("Nic"), ValueType::None);
  EXPECT_EQ(again.ReadString("Nic"), "") << "a missing string reads as empty";
  EXPECT_THROW(again.ReadInteger("Nic"), ERegistryException);
  EXPECT_THROW(again.ReadString("Rychlost"), ERegistryException);
  EXPECT_THROW(again.ReadInteger("Hlas"), ERegistryException);
  const std::vector<std::string> names = again.GetValueNames();
  EXPECT_EQ(names.size(), 4u);
  EXPECT_TRUE(again.DeleteValue("Hlas"));
  EXPECT_FALSE(again.ValueExists("Hlas"));
  EXPECT_FALSE(again.DeleteValue("Hlas"));
}

TEST_F(RegistryTest, KeysAreListedByNameAndRemovedWithEverythingBelow) {
  Registry reg(HKEY_CURRENT_USER);
  for (const char* sub : {"\\zeta\\deep\\deeper", "\\Alfa", "\\beta"})
    ASSERT_TRUE(reg.OpenKey(std::string(kTestKey) + sub, true));
  reg.WriteString("x", "y");
  ASSERT_TRUE(reg.OpenKey(kTestKey, false));
  EXPECT_EQ(reg.CurrentPath(), std::string(kTestKey).substr(1));
  EXPECT_EQ(reg.GetKeyNames(), (std::vector<std::string>{"Alfa", "beta", "zeta"}));
  ASSERT_TRUE(reg.OpenKey("zeta", false)) << "relative to the open key";
  EXPECT_TRUE(reg.KeyExists("deep\\deeper"));

  Registry other(HKEY_CURRENT_USER);
  EXPECT_TRUE(other.DeleteKey(std::string(kTestKey) + "\\zeta"));
  EXPECT_FALSE(other.KeyExists(std::string(kTestKey) + "\\zeta\\deep"));
  EXPECT_FALSE(other.DeleteKey(std::string(kTestKey) + "\\zeta"));
  // The first object's open key went away under it.
  EXPECT_FALSE(reg.ValueExists("x"));
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);
  EXPECT_THROW(other.DeleteKey("\\"), ERegistryException) << "the root stays";
}

TEST(ModuleTest, FindsItsOwnResourcesAndVersionThroughItsHandle) {
  const ModuleHandle& module = ThisModule();
  EXPECT_EQ(module.FileName().filename(), "win32_platform_test.exe");
  const auto data = module.FindResource("TEST", "TINY");
  ASSERT_TRUE(data.has_value());
  std::ifstream in(KV_TINY_FILE, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  EXPECT_EQ(std::vector<uint8_t>(data->begin(), data->end()), file);
  EXPECT_TRUE(module.FindResource("test", "tiny").has_value()) << "names ignore case";
  EXPECT_FALSE(module.FindResource("TEST", "MISSING").has_value());
  EXPECT_FALSE(module.FindResource("WAV", "TINY").has_value());

  // The version record as the system's own file properties read it.
  const std::wstring name = module.FileName().wstring();
  std::vector<char> info(::GetFileVersionInfoSizeW(name.c_str(), nullptr));
  ASSERT_FALSE(info.empty());
  ASSERT_TRUE(::GetFileVersionInfoW(name.c_str(), 0, DWORD(info.size()), info.data()));
  wchar_t* version = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\StringFileInfo\\040504E2\\FileVersion",
                               reinterpret_cast<void**>(&version), &length));
  EXPECT_EQ(std::wstring(version), L"1.1.1.73");
}

TEST(MessageLoopTest, TimersAndPostsRunInTheThreadsOwnMessageLoop) {
  std::thread::id firedOn, postedOn;
  int fired = 0;
  std::thread host([&] {
    WindowTimer timer(10, [&] {
      firedOn = std::this_thread::get_id();
      ++fired;
    });
    timer.SetEnabled(true);
    MessageLoop& loop = MessageLoop::Current();
    std::thread([&loop, &postedOn] {
      loop.Post([&postedOn] {
        postedOn = std::this_thread::get_id();
        ::PostQuitMessage(0);
      });
    }).join();
    // The host's own loop, not ours, dispatches both.
    MSG message;
    bool quit = false;
    while (!quit || fired < 3) {
      if (::GetMessageW(&message, nullptr, 0, 0) <= 0)
        quit = true;
      else
        ::DispatchMessageW(&message);
    }
    timer.SetEnabled(false);
    EXPECT_EQ(postedOn, std::this_thread::get_id());
    EXPECT_EQ(firedOn, std::this_thread::get_id());
    // Disabled, it fires no more; our loop ends at its time limit.
    const int before = fired;
    EXPECT_FALSE(loop.RunUntil([] { return false; }, 60));
    EXPECT_EQ(fired, before);
  });
  host.join();
  EXPECT_GE(fired, 3);
}

}  // namespace
}  // namespace kv::platform
