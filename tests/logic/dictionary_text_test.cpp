#include "dialogs/logic/dictionary_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "tests/support/test_prefix.h"

namespace kv::dialogs {
namespace {

TEST(CaretLineSpokenText, SpeaksWhatFollowsTheFirstEqualsSignOfTheCaretsLine) {
  const std::string text = "ahoj=ahooj\ncr=ce er\nbez rovnitka\na=b=c";
  EXPECT_EQ(CaretLineSpokenText(text, 0), "ahooj");
  EXPECT_EQ(CaretLineSpokenText(text, 4), "ahooj");          // caret on the line's "="
  EXPECT_EQ(CaretLineSpokenText(text, 10), "ahooj");         // caret just before the line feed
  EXPECT_EQ(CaretLineSpokenText(text, 11), "ce er");         // start of the next line
  EXPECT_EQ(CaretLineSpokenText(text, 25), "bez rovnitka");  // no "=": the whole line
  // Two equals signs: everything after the first, the second included.
  EXPECT_EQ(CaretLineSpokenText(text, 33), "b=c");
  // The last line without a final line feed, caret at the very end.
  EXPECT_EQ(CaretLineSpokenText(text, text.size()), "b=c");
  EXPECT_EQ(CaretLineSpokenText(text, text.size() + 5), "b=c");
  // After a final line feed the caret stands on an empty line.
  EXPECT_EQ(CaretLineSpokenText("a=b\n", 4), "");
  EXPECT_EQ(CaretLineSpokenText("", 0), "");
}

TEST(DictionaryFile, LinesRoundTripAsWindows1250WithCrLf) {
  const std::vector<std::string> lines = {"a=b", "", "\xE8r=\xE8\xE9 er"};  // čr=čé er
  EXPECT_EQ(SplitDictionaryLines("a=b\r\n\r\n\xE8r=\xE8\xE9 er"), lines);
  EXPECT_EQ(SplitDictionaryLines("a=b\n\n\xE8r=\xE8\xE9 er\r\n"), lines);
  EXPECT_EQ(SplitEditorText(JoinEditorLines(lines)), lines);
  EXPECT_EQ(SplitEditorText("a\nb\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(DictionaryFileBytes(lines), "a=b\r\n\r\n\xE8r=\xE8\xE9 er\r\n");
  EXPECT_TRUE(SplitDictionaryLines("").empty());
}

TEST(DictionaryFile, AtomicWriteReplacesTheFileWholeOrNotAtAll) {
  namespace fs = std::filesystem;
  const fs::path folder = test::Prefix() / "dct";
  fs::create_directories(folder);
  const fs::path file = folder / "kv_ttse.dct";
  { std::ofstream(file) << "old\r\n"; }
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  ASSERT_TRUE(WriteFileAtomically(file, "new\r\n"));
  EXPECT_EQ(ReadFileBytes(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);

  // A folder that does not exist: nothing written, failure reported.
  EXPECT_FALSE(WriteFileAtomically(folder / "missing" / "x.dct", "x"));
  EXPECT_EQ(ReadFileBytes(folder / "missing" / "x.dct"), std::nullopt);
  EXPECT_EQ(ReadFileBytes(folder), std::nullopt);  // a folder is no dictionary
}

TEST(DictionaryFile, AtomicWriteFollowsALinkAndLeavesAReadOnlyFileAlone) {
  namespace fs = std::filesystem;
  const fs::path folder = test::Prefix() / "links";
  fs::create_directories(folder / "real");
  const fs::path real = folder / "real" / "kv_ttse.dct";
  const fs::path link = folder / "kv_ttse.dct";
  { std::ofstream(real) << "old\r\n"; }
  fs::create_symlink("real/kv_ttse.dct", link);

  ASSERT_TRUE(WriteFileAtomically(link, "new\r\n"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileBytes(real), "new\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 1);

  // No write permission: refused, as it would be for any user (the tests may run as root).
  fs::permissions(real, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  std::error_code failure;
  EXPECT_FALSE(WriteFileAtomically(link, "newer\r\n", &failure));
  EXPECT_EQ(failure, std::errc::permission_denied);
  EXPECT_EQ(ReadFileBytes(real), "new\r\n");
}

TEST(DictionaryFile, AtomicWriteRemovesOnlyStaleTemporariesOfItsOwnNaming) {
  namespace fs = std::filesystem;
  const fs::path folder = test::Prefix() / "stale";
  fs::create_directories(folder);
  const fs::path file = folder / "kv_ttse.dct";
  const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  auto leave = [&](const char* name, bool old) {
    std::ofstream(folder / name) << "x";
    if (old) fs::last_write_time(folder / name, hourAgo);
  };
  leave("kv_ttse.dct.new-Ab12Cd", true);   // a save that died before its rename
  leave("kv_ttse.dct.new-Ef34Gh", false);  // a save that may still be running
  leave("kv_ttse.dct.new-mine", true);     // not of our naming
  leave("other.dct.new-Ab12Cd", true);     // another file's

  ASSERT_TRUE(WriteFileAtomically(file, "a=b\r\n"));
  EXPECT_FALSE(fs::exists(folder / "kv_ttse.dct.new-Ab12Cd"));
  for (const char* kept :
       {"kv_ttse.dct.new-Ef34Gh", "kv_ttse.dct.new-mine", "other.dct.new-Ab12Cd"})
    EXPECT_TRUE(fs::exists(folder / kept)) << kept;
}

}  // namespace
}  // namespace kv::dialogs
