#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/module.h"

namespace kv::platform {
namespace {

std::string AsString(std::span<const uint8_t> bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(ModuleResources, FindsResourcesCaseInsensitively) {
  const ModuleHandle& module = ThisModule();
  auto a = module.FindResource("wav", "a");
  ASSERT_TRUE(a);
  EXPECT_EQ(AsString(*a), "RIFF tiny");
  auto readme = module.FindResource("payload", "READ ME");
  ASSERT_TRUE(readme);
  EXPECT_EQ(AsString(*readme), "Dobrý den\n");
}

TEST(ModuleResources, ReportsMissingResourcesAsAbsent) {
  EXPECT_FALSE(ThisModule().FindResource("WAV", "X"));
  EXPECT_FALSE(ThisModule().FindResource("PAYLOAD", "A"));
}

TEST(ModuleResources, KnowsItsOwnFileName) {
  EXPECT_EQ(ThisModule().FileName().filename(), "platform_test");
}

TEST(ModuleResources, ReadsTheSameResourcesFromTheFileOnDisk) {
  auto file = ModuleFile::Open(ThisModule().FileName());
  ASSERT_TRUE(file);
  auto a = file->Resources().Find("WAV", "A");
  ASSERT_TRUE(a);
  EXPECT_EQ(AsString(*a), "RIFF tiny");
}

TEST(ModuleResources, RejectsFilesThatAreNoModules) {
  const std::string path = ::testing::TempDir() + "/not-a-module";
  std::ofstream(path) << "garbage";
  EXPECT_FALSE(ModuleFile::Open(path));
  EXPECT_FALSE(ModuleFile::Open(path + ".missing"));
}

TEST(ModuleResources, RejectsCorruptTables) {
  const uint8_t truncated[] = {'K', 'V', 'R', 'S', 'R', 'C', '0', '1', 5, 0, 0, 0, 3, 0};
  ResourceTable table(truncated);
  EXPECT_FALSE(table.Valid());
  EXPECT_FALSE(table.Find("WAV", "A"));
}

}  // namespace
}  // namespace kv::platform
