// Runs the built kvreg tool against this test program's prefix.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/cp1250.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::platform {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Cp(const char* utf8) {
  return cp1250::FromUtf8(utf8).value();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Result {
  int code;
  std::string out, err;
};

// kvreg with the arguments (UTF-8), standard input from a string.
Result Kvreg(const std::vector<std::string>& args, const std::string& input = "") {
  // In this program's own prefix: test programs run in parallel.
  const std::string dir = (test::Prefix() / "kvreg-io").string() + "/";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "kvreg.in", std::ios::binary) << input;
  std::string command = "'" KVREG_PATH "'";
  for (const std::string& arg : args) {
    command += " '";
    for (char c : arg) command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
  }
  command += " <" + dir + "kvreg.in >" + dir + "kvreg.out 2>" + dir + "kvreg.err";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir + "kvreg.out"),
          ReadFile(dir + "kvreg.err")};
}

class KvregTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetPrefix();
    CloseRegistryDatabase();
  }
};

TEST_F(KvregTest, ExportsRegedit4AndImportsItBack) {
  {
    Registry reg(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(Cp("\\SOFTWARE\\Voice\\Řeč"), true));
    reg.WriteString("", Cp("Výchozí"));
    reg.WriteString("Quote", "a \"b\" c\\d");
    reg.WriteInteger("Rate", 10);
    reg.WriteInteger("Max", -1);
    reg.WriteString("Lines", "one\ntwo");
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice\\Engine", true));
    reg.WriteString("@", "not the default");
    Registry user(HKEY_CURRENT_USER);
    ASSERT_TRUE(user.OpenKey("\\Settings", true));
    user.WriteInteger("On", 1);
  }
  const Result first = Kvreg({"export"});
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_THAT(first.out, StartsWith("REGEDIT4\n\n[HKEY_LOCAL_MACHINE]\n\n"));
  // Depth-first, subkeys by name, values in creation order, a blank line after each key.
  EXPECT_THAT(first.out, HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice]\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice\\Engine]\n"
                                   "\"@\"=\"not the default\"\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice\\Řeč]\n"
                                   "@=\"Výchozí\"\n"
                                   "\"Quote\"=\"a \\\"b\\\" c\\\\d\"\n"
                                   "\"Rate\"=dword:0000000a\n"
                                   "\"Max\"=dword:ffffffff\n"
                                   "\"Lines\"=\"one\ntwo\"\n\n"));
  EXPECT_THAT(first.out, HasSubstr("[HKEY_CURRENT_USER\\Settings]\n\"On\"=dword:00000001\n\n"));

  const Result part = Kvreg({"export", "hklm\\software\\VOICE\\engine"});
  EXPECT_EQ(part.out,
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice\\Engine]\n"
            "\"@\"=\"not the default\"\n\n");

  test::ResetPrefix();
  const Result import = Kvreg({"import", "-"}, first.out);
  ASSERT_EQ(import.code, 0) << import.err;
  EXPECT_EQ(Kvreg({"export"}).out, first.out);
  Registry reg(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(Cp("\\software\\voice\\řeč"), false));
  EXPECT_EQ(reg.ReadString(""), Cp("Výchozí"));
  EXPECT_EQ(reg.ReadString("Lines"), "one\ntwo");
  EXPECT_EQ(reg.ReadInteger("Max"), -1);
}

TEST_F(KvregTest, ImportDeletesKeysAndValuesAndReadsWindowsFiles) {
  ASSERT_EQ(Kvreg({"set", "HKLM\\A\\B", "x", "1"}).code, 0);
  ASSERT_EQ(Kvreg({"set", "HKLM\\Keep", "x", "1"}).code, 0);
  ASSERT_EQ(Kvreg({"set", "HKLM\\Keep", "y", "2"}).code, 0);
  // CRLF line ends, a comment, and a Windows-1250 (not UTF-8) name.
  const std::string file =
      "REGEDIT4\r\n\r\n; cleanup\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Keep]\r\n\"X\"=-\r\n\"\xD8\"=dword:FF\r\n";
  const Result r = Kvreg({"import", "-"}, file);
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(Kvreg({"export", "HKLM"}).out,
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE]\n\n[HKEY_LOCAL_MACHINE\\Keep]\n"
            "\"y\"=\"2\"\n\"Ř\"=dword:000000ff\n\n");
}

TEST_F(KvregTest, ImportWithAnErrorChangesNothing) {
  const std::vector<std::string> bad = {
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n\"y\"=hex:00\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\"\n\"y\"=\"open\n",
      "REGEDIT4\n\n[HKEY_NOWHERE\\A]\n",
      "REGEDIT4\n\n\"x\"=\"1\"\n",
      "[HKEY_LOCAL_MACHINE\\A]\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=dword:123456789\n",
      "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\A]\n\"x\"=\"1\" trailing\n",
  };
  for (const std::string& text : bad) {
    const Result r = Kvreg({"import", "-"}, text);
    EXPECT_EQ(r.code, 1) << text;
    EXPECT_THAT(r.err, HasSubstr("<stdin>:")) << text;
    EXPECT_FALSE(Registry(HKEY_LOCAL_MACHINE).KeyExists("\\A")) << text;
  }
  EXPECT_THAT(Kvreg({"import", "-"}, bad[0]).err, HasSubstr(":5: unsupported"));
  EXPECT_THAT(Kvreg({"import", "-"}, bad[1]).err, HasSubstr(":5: missing closing"));
  EXPECT_EQ(Kvreg({"import", "/nonexistent/file.reg"}).code, 1);
}

TEST_F(KvregTest, CommandsAndTheirExitCodes) {
  EXPECT_EQ(Kvreg({"set", "HKCU\\Hlas", "Jméno", "Řeč"}).code, 0);
  EXPECT_EQ(Kvreg({"set", "HKCU\\Hlas", "Rate", "--dword", "0x10"}).code, 0);
  EXPECT_EQ(Kvreg({"set", "HKCU\\Hlas", "", "--", "--dword"}).code, 0);
  const Result query = Kvreg({"query", "HKEY_CURRENT_USER\\hlas"});
  EXPECT_EQ(query.code, 0);
  EXPECT_EQ(query.out,
            "HKEY_CURRENT_USER\\Hlas\n"
            "    Jméno    REG_SZ    Řeč\n"
            "    Rate    REG_DWORD    0x00000010 (16)\n"
            "    (Default)    REG_SZ    --dword\n");

  EXPECT_EQ(Kvreg({"delete-value", "HKCU\\Hlas", "rate"}).code, 0);
  EXPECT_EQ(Kvreg({"delete-value", "HKCU\\Hlas", "rate"}).code, 1);
  EXPECT_EQ(Kvreg({"delete-key", "HKCU\\HLAS"}).code, 0);
  const Result missing = Kvreg({"query", "HKCU\\Hlas"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_THAT(missing.err, HasSubstr("key not found: HKEY_CURRENT_USER\\Hlas"));
  EXPECT_EQ(Kvreg({"delete-key", "HKCU\\Hlas"}).code, 1);
  EXPECT_EQ(Kvreg({"delete-key", "HKCU"}).code, 1);
  EXPECT_EQ(Kvreg({"export", "HKCU\\Hlas"}).code, 1);

  EXPECT_EQ(Kvreg({}).code, 2);
  EXPECT_EQ(Kvreg({"frobnicate"}).code, 2);
  EXPECT_EQ(Kvreg({"query"}).code, 2);
  EXPECT_EQ(Kvreg({"query", "HKXX\\A"}).code, 2);
  EXPECT_EQ(Kvreg({"query", "HKCU\\\xFF"}).code, 2);  // not UTF-8
  for (const char* number : {"x", "4294967296", "-2147483649", "0x", "1.5", "0x-1"})
    EXPECT_EQ(Kvreg({"set", "HKCU\\A", "n", "--dword", number}).code, 2) << number;
  EXPECT_FALSE(Registry(HKEY_CURRENT_USER).KeyExists("\\A"));
  const Result help = Kvreg({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_THAT(help.out, HasSubstr("set KEY NAME [--dword] VALUE"));
}

}  // namespace
}  // namespace kv::platform
