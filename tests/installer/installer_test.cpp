// Installing, checking and removing the engine in a fresh prefix, and the browser entry.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "installer/engine_setup.h"
#include "installer/file_version.h"
#include "installer/headless.h"
#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "installer/precti_to.h"
#include "installer/status.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tests/support/test_prefix.h"

namespace kv::installer {
namespace {
namespace fs = std::filesystem;

std::string Export() {
  std::string text;
  FILE* pipe = ::popen(KVREG_PATH " export", "r");
  char buffer[4096];
  for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    text.append(buffer, n);
  if (pipe) ::pclose(pipe);
  return text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

int Headless(const std::string& action, std::string* out = nullptr, std::string* err = nullptr) {
  std::ostringstream o, e;
  const int code = *RunHeadless({action}, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return code;
}

class InstallerTest : public testing::Test {
 protected:
  void SetUp() override { test::ResetPrefix(); }
};

TEST_F(InstallerTest, WithoutTheRuntimeNothingIsInstalled) {
  EXPECT_FALSE(RuntimePresent());
  std::string err;
  EXPECT_EQ(Headless("--install", nullptr, &err), 1);
  EXPECT_NE(err.find("KORVEN TTS engin nelze momentálně nainstalovat."), std::string::npos);
  EXPECT_FALSE(fs::exists(EnginePath()));
  EXPECT_FALSE(RuntimePresent());
}

TEST_F(InstallerTest, InstallWritesTheFilesAndExactlyTheRegistration) {
  ASSERT_EQ(Headless("--runtime"), 0);
  const std::string before = Export();
  std::string out;
  ASSERT_EQ(Headless("--install", &out), 0);
  EXPECT_NE(out.find("Nainstalována verze 1.1.1.73"), std::string::npos) << out;

  const std::string added =
      "\n[HKEY_CLASSES_ROOT\\CLSID]\n\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}]\n"
      "@=\"KORVEN TTS Engine (Czech)\"\n\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}\\InprocServer32]\n"
      "@=\"" +
      EnginePath().string() + "\"\n\"ThreadingModel\"=\"Apartment\"\n";
  std::string expected = before;
  const std::string listKey = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Voice\\TextToSpeech\\Engine]\n";
  expected.insert(expected.find(listKey) + listKey.size(),
                  "\"KORVEN TTS Engine\"=\"{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}\"\n");
  expected.insert(expected.find("[HKEY_CLASSES_ROOT]\n") + 20, added);
  EXPECT_EQ(Export(), expected);

  std::set<std::string> files;
  for (const auto& entry : fs::directory_iterator(EnginePath().parent_path()))
    files.insert(entry.path().filename().string());
  EXPECT_EQ(files,
            (std::set<std::string>{"kv_ttse.so", "kv_ttsdlg.so", "kv_ttse.inn", "kv_ttse.dct"}));
  EXPECT_EQ(ReadFileVersion(EnginePath()), "1.1.1.73");
  const std::string inn = ReadFile(platform::ChangeFileExt(EnginePath(), ".inn"));
  EXPECT_EQ(std::count(inn.begin(), inn.end(), '\n'), 123);
  EXPECT_NE(inn.find(Cp("engine=Endžin\n")), std::string::npos);  // Windows-1250
  const std::string dct = ReadFile(platform::ChangeFileExt(EnginePath(), ".dct"));
  EXPECT_EQ(std::count(dct.begin(), dct.end(), '\n'), 11);

  // Uninstalling leaves the word lists, and the registry as before but for the (empty) CLSID
  // key that every class lives under.
  ASSERT_EQ(Headless("--uninstall"), 0);
  std::string after = before;
  after.insert(after.find("[HKEY_CLASSES_ROOT]\n") + 20, "\n[HKEY_CLASSES_ROOT\\CLSID]\n");
  EXPECT_EQ(Export(), after);
  files.clear();
  for (const auto& entry : fs::directory_iterator(EnginePath().parent_path()))
    files.insert(entry.path().filename().string());
  EXPECT_EQ(files, (std::set<std::string>{"kv_ttse.inn", "kv_ttse.dct"}));
}

TEST_F(InstallerTest, ReinstallKeepsTheUsersDictionaryAndTheLibrary) {
  InstallRuntime();
  WriteFile(platform::ChangeFileExt(EnginePath(), ".dct"), "moje=slovo\n");
  WriteFile(EnginePath(), "an older library");
  ASSERT_TRUE(InstallEngine(EnginePath()));
  EXPECT_EQ(ReadFile(platform::ChangeFileExt(EnginePath(), ".dct")), "moje=slovo\n");
  EXPECT_EQ(ReadFile(EnginePath()), "an older library");
  // A library without a version record reads as not installed.
  EXPECT_EQ(CheckVersions().installedVersion, "");
  EXPECT_NE(CheckVersions().message.text.find(Cp("není nainstalován")), std::string::npos);
  // A library that disappeared does not keep its registration forever.
  fs::remove(EnginePath());
  EXPECT_TRUE(UninstallEngine());
  EXPECT_FALSE(EngineClassRegistered());
}

TEST_F(InstallerTest, UninstallIsRefusedWhileAnotherProcessHasTheLibraryMapped) {
  InstallRuntime();
  ASSERT_TRUE(InstallEngine(EnginePath()));
  const std::string before = Export();
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  platform::CloseRegistryDatabase();
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open(EnginePath().c_str(), O_RDONLY);
    void* map = ::mmap(nullptr, 4096, PROT_READ | PROT_EXEC, MAP_PRIVATE, fd, 0);
    (void)!::write(ready[1], map == MAP_FAILED ? "n" : "y", 1);
    ::pause();
    ::_exit(0);
  }
  char answer = 0;
  ASSERT_EQ(::read(ready[0], &answer, 1), 1);
  ASSERT_EQ(answer, 'y');
  std::string err;
  EXPECT_EQ(Headless("--uninstall", nullptr, &err), 1);
  EXPECT_NE(err.find("KORVEN TTS Engin nelze odinstalovat (asi je používán)"), std::string::npos);
  EXPECT_TRUE(fs::exists(EnginePath()));
  EXPECT_EQ(Export(), before);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(Headless("--uninstall"), 0);  // free again
}

TEST_F(InstallerTest, ALibraryRegisteredElsewhereIsUnregisteredButKept) {
  InstallRuntime();
  const fs::path elsewhere = test::Prefix() / "build" / "kv_ttse.so";
  WriteFile(elsewhere, "a library registered in place");
  platform::Registry reg(platform::HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey("\\CLSID\\{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}\\InprocServer32", true));
  reg.WriteString("", elsewhere.string());
  EXPECT_TRUE(UninstallEngine());
  EXPECT_TRUE(fs::exists(elsewhere));
  EXPECT_FALSE(EngineClassRegistered());
  EXPECT_FALSE(UninstallEngine());  // nothing registered: refused
}

TEST(VersionMessage, VersionsCompareAsStrings) {
  EXPECT_TRUE(CompareVersions("1.1.1.9", "1.1.1.10").recommendReinstall);
  const VersionMessage same = CompareVersions("1.1.1.10", "1.1.1.9");
  EXPECT_FALSE(same.recommendReinstall);
  EXPECT_EQ(same.text, Cp("Nainstalovaná verze TTS je \"1.1.1.9\" a verze v instalátoru je "
                          "\"1.1.1.10\"\r\rKORVEN TTS engin je nainstalován."));
  EXPECT_EQ(CompareVersions("1.1.1.73", "").text,
            Cp("KORVEN TTS engin není nainstalován. \r\rVerze v instalátoru je \"1.1.1.73\""));
  EXPECT_EQ(PackagedVersion(), "1.1.1.73");
}

TEST(Payload, ResourceNamesFollowTheFileNames) {
  EXPECT_EQ(ResourceNameFor(Cp("C:\\dir/Přečti-to+.htm")), Cp("PŘEČTITO"));
  EXPECT_EQ(ResourceNameFor("kv_ttse.dll.inn"), "KV_TTSE");
  EXPECT_FALSE(ExtractResourceToFile("NOSUCH", "", test::Prefix() / "x"));
  EXPECT_FALSE(fs::exists(test::Prefix() / "x"));
}

TEST_F(InstallerTest, PrectiToInstallsAndUninstallsInOrder) {
  const fs::path dir = EnginePath().parent_path();
  WriteFile(dir / "Precti_to.htm", "mine");
  ASSERT_TRUE(InstallPrectiTo(dir));
  EXPECT_EQ(ReadFile(dir / "Precti_to.htm"), "mine");
  EXPECT_TRUE(fs::exists(dir / "Precti_to_2.htm"));
  EXPECT_TRUE(PrectiToInstalled());
  platform::Registry reg(platform::HKEY_CURRENT_USER);
  ASSERT_TRUE(
      reg.OpenKey(Cp("\\Software\\Microsoft\\Internet Explorer\\MenuExt\\Přečti to!"), false));
  EXPECT_EQ(reg.ReadString(""), (dir / "Precti_to.htm").string());
  EXPECT_EQ(reg.ReadString("Contexts"), "17");

  fs::remove(dir / "Precti_to.vbs");  // a missing script does not stop the uninstall
  EXPECT_TRUE(UninstallPrectiTo());
  EXPECT_FALSE(PrectiToInstalled());
  EXPECT_FALSE(fs::exists(dir / "Precti_to.htm"));
  EXPECT_FALSE(fs::exists(dir / "Precti_to_2.htm"));
  EXPECT_FALSE(UninstallPrectiTo());  // no key: refused
}

}  // namespace
}  // namespace kv::installer
