#include "platform/registry.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/cp1250.h"
#include "tests/support/test_prefix.h"

namespace kv::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string Cp(const char* utf8) {
  return cp1250::FromUtf8(utf8).value();
}

// Runs one SQL query on the database file directly; the rows' columns joined by '|'.
std::vector<std::string> Sql(const std::string& query) {
  sqlite3* db = nullptr;
  std::vector<std::string> rows;
  if (sqlite3_open_v2(RegistryDatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
      SQLITE_OK) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &st, nullptr) == SQLITE_OK) {
      while (sqlite3_step(st) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
          row += (i ? "|" : "") + std::string(text ? text : "NULL");
        }
        rows.push_back(row);
      }
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return rows;
}

// The store holds together: SQLite's own check, and no key or value without its key.
void ExpectConsistentStore() {
  EXPECT_THAT(Sql("PRAGMA integrity_check"), ElementsAre("ok"));
  EXPECT_THAT(Sql("SELECT count(*) FROM reg_keys WHERE parent IS NOT NULL AND parent NOT IN "
                  "(SELECT id FROM reg_keys)"),
              ElementsAre("0"));
  EXPECT_THAT(Sql("SELECT count(*) FROM reg_values WHERE key_id NOT IN (SELECT id FROM reg_keys)"),
              ElementsAre("0"));
}

// Runs body in a child process; the child's exit status (1 when it threw).
pid_t Spawn(const std::function<void()>& body) {
  CloseRegistryDatabase();  // the child must not share this process's connection
  const pid_t pid = ::fork();
  if (pid == 0) {
    int status = 0;
    try {
      body();
    } catch (...) {
      status = 1;
    }
    ::_exit(status);
  }
  return pid;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetPrefix(); }
};

TEST_F(RegistryTest, ResolvesAbsoluteAndRelativePaths) {
  Registry reg(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\\\Voice\\", true));  // empty components are ignored
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Voice");
  ASSERT_TRUE(reg.OpenKey("Engine\\KV", true));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Voice\\Engine\\KV");
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Voice", false));
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Voice");  // a failed open keeps the open key
  EXPECT_TRUE(reg.KeyExists("Engine"));
  EXPECT_FALSE(reg.KeyExists("\\Engine"));
  EXPECT_FALSE(reg.KeyExists("Missing"));  // and does not create it

  reg.CloseKey();
  EXPECT_TRUE(reg.OpenKey("SOFTWARE\\Voice", false));  // relative to the root
  reg.CloseKey();
  EXPECT_THAT(reg.GetKeyNames(), ElementsAre("SOFTWARE"));

  Registry user(HKEY_CURRENT_USER);  // the hives are separate
  EXPECT_FALSE(user.KeyExists("\\SOFTWARE"));
  reg.SetRoot(HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.HasCurrentKey());
}

TEST_F(RegistryTest, ComparesNamesCaseInsensitivelyIncludingCzechLetters) {
  Registry a(HKEY_LOCAL_MACHINE), b(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(a.OpenKey(Cp("\\Software\\Řeč"), true));
  a.WriteString(Cp("Hlasitost"), "1");
  ASSERT_TRUE(b.OpenKey(Cp("\\SOFTWARE\\řEČ"), false));
  EXPECT_EQ(b.CurrentPath(), Cp("Software\\Řeč"));  // the case it was created with
  EXPECT_EQ(b.ReadString(Cp("HLASITOST")), "1");
  b.WriteString(Cp("hlasitost"), "2");  // overwrites, and the name keeps its case
  EXPECT_THAT(a.GetValueNames(), ElementsAre(Cp("Hlasitost")));
  EXPECT_EQ(a.ReadString(Cp("Hlasitost")), "2");
  EXPECT_FALSE(a.KeyExists(Cp("\\Software\\Rec")));  // accents still count

  a.OpenKey("\\Software", false);
  EXPECT_TRUE(a.OpenKey(Cp("ŘEČ"), true));
  a.OpenKey("\\Software", false);
  EXPECT_THAT(a.GetKeyNames(), ElementsAre(Cp("Řeč")));
}

TEST_F(RegistryTest, MissingAndMistypedValues) {
  Registry reg(HKEY_LOCAL_MACHINE);
  EXPECT_THROW(reg.ReadString("A"), ERegistryException);  // no key open
  EXPECT_THROW(reg.WriteInteger("A", 1), ERegistryException);
  ASSERT_TRUE(reg.OpenKey("\\Settings", true));
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
  EXPECT_EQ(reg.GetDataType("Missing"), ValueType::None);

  reg.WriteInteger("Number", INT32_MIN);
  reg.WriteInteger("Minus", -1);
  reg.WriteString("Text", "12");
  EXPECT_EQ(reg.ReadInteger("Number"), INT32_MIN);
  EXPECT_EQ(reg.ReadInteger("Minus"), -1);
  EXPECT_THROW(reg.ReadString("Number"), ERegistryException);
  EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
  EXPECT_EQ(reg.GetDataType("Number"), ValueType::DWord);
  EXPECT_EQ(reg.GetDataType("Text"), ValueType::String);

  reg.WriteBool("Text", true);  // a write may change the type
  EXPECT_TRUE(reg.ReadBool("Text"));

  // The default value is the empty name, not "@".
  reg.WriteString("", "default");
  EXPECT_EQ(reg.ReadString(""), "default");
  EXPECT_FALSE(reg.ValueExists("@"));
}

TEST_F(RegistryTest, ListsValuesInCreationOrder) {
  Registry reg(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\Order", true));
  for (const char* name : {"c", "a", "", "b"}) reg.WriteString(name, name);
  reg.WriteInteger("A", 1);  // overwriting keeps the place, even with another type
  EXPECT_THAT(reg.GetValueNames(), ElementsAre("c", "a", "", "b"));
  EXPECT_TRUE(reg.DeleteValue("C"));
  EXPECT_FALSE(reg.DeleteValue("c"));
  reg.WriteString("c", "again");
  EXPECT_THAT(reg.GetValueNames(), ElementsAre("a", "", "b", "c"));
}

TEST_F(RegistryTest, DeletesAKeyWithItsWholeSubtree) {
  Registry reg(HKEY_LOCAL_MACHINE);
  for (const char* path : {"\\A", "\\A\\B", "\\A\\B\\C", "\\AB", "\\A2"}) {
    ASSERT_TRUE(reg.OpenKey(path, true));
    reg.WriteString("v", path);
  }
  EXPECT_TRUE(reg.DeleteKey("\\a"));
  EXPECT_FALSE(reg.DeleteKey("\\A"));
  EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
  ASSERT_TRUE(reg.OpenKey("\\A\\B\\C", true));  // created anew: none of the old values
  EXPECT_TRUE(reg.GetValueNames().empty());
  ASSERT_TRUE(reg.OpenKey("\\AB", false));
  EXPECT_EQ(reg.ReadString("v"), "\\AB");
  EXPECT_THROW(reg.DeleteKey("\\"), ERegistryException);  // the root stays
  ExpectConsistentStore();
}

TEST_F(RegistryTest, ObjectsSeeEachOthersWritesAndDeletions) {
  Registry held(HKEY_LOCAL_MACHINE), other(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(held.OpenKey("\\Voice\\Settings", true));
  ASSERT_TRUE(other.OpenKey("\\VOICE\\settings", false));
  other.WriteInteger("Rate", 7);
  EXPECT_EQ(held.ReadInteger("Rate"), 7);

  ASSERT_TRUE(other.DeleteKey("\\Voice"));
  EXPECT_EQ(held.ReadString("Name"), "");  // the deleted key has no values
  EXPECT_THROW(held.WriteString("Name", "x"), ERegistryException);
  EXPECT_FALSE(held.OpenKey("Sub", true));

  ASSERT_TRUE(other.OpenKey("\\Voice\\Settings", true));  // created again: held follows it
  other.WriteInteger("Rate", 8);
  EXPECT_EQ(held.ReadInteger("Rate"), 8);
}

TEST_F(RegistryTest, LongHeldObjectSurvivesANewDatabase) {
  Registry held(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(held.OpenKey("\\Voice", true));
  held.WriteInteger("Rate", 1);

  test::ResetPrefix();  // the database files vanish under the open connection
  EXPECT_THROW(held.ReadInteger("Rate"), ERegistryException);
  Registry fresh(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(fresh.OpenKey("\\Voice", true));
  fresh.WriteInteger("Rate", 2);
  EXPECT_EQ(held.ReadInteger("Rate"), 2);
  EXPECT_THAT(Sql("SELECT data FROM reg_values"), ElementsAre("2"));

  // Another prefix is another machine.
  const std::string original = std::getenv("KVTTS_PREFIX");
  const std::string second = original + "/second";
  ::setenv("KVTTS_PREFIX", second.c_str(), 1);
  EXPECT_FALSE(held.KeyExists("\\Voice"));
  ::setenv("KVTTS_PREFIX", original.c_str(), 1);
  EXPECT_EQ(held.ReadInteger("Rate"), 2);
}

TEST_F(RegistryTest, UnusableDatabaseRaisesAClearError) {
  const std::string original = std::getenv("KVTTS_PREFIX");
  const std::string notADir = original + "/plain-file";
  std::ofstream(notADir) << "x";
  ::setenv("KVTTS_PREFIX", notADir.c_str(), 1);
  Registry reg(HKEY_LOCAL_MACHINE);
  try {
    reg.OpenKey("\\Voice", true);
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_THAT(e.what(), HasSubstr("plain-file/registry.db"));
    EXPECT_THAT(e.what(), HasSubstr("cannot open"));
  }
  ::setenv("KVTTS_PREFIX", original.c_str(), 1);

  test::ResetPrefix();
  std::ofstream(RegistryDatabasePath()) << std::string(4096, 'g');
  try {
    reg.KeyExists("\\Voice");
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_THAT(e.what(), HasSubstr("not a database"));
  }

  test::ResetPrefix();
  EXPECT_TRUE(reg.OpenKey("\\Voice", true));  // usable again
}

TEST_F(RegistryTest, StoresUtf8InTheDatabase) {
  Registry reg(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(Cp("\\Čeština"), true));
  reg.WriteString(Cp("Řeč"), Cp("Příliš žluťoučký kůň"));
  EXPECT_THAT(Sql("SELECT name, data FROM reg_values"), ElementsAre("Řeč|Příliš žluťoučký kůň"));
  EXPECT_THAT(Sql("SELECT key, name, type FROM registry"),
              ElementsAre("HKEY_LOCAL_MACHINE\\Čeština|Řeč|REG_SZ"));
  EXPECT_EQ(reg.ReadString(Cp("řEČ")), Cp("Příliš žluťoučký kůň"));
}

TEST_F(RegistryTest, BatchStoresAllOrNothing) {
  Registry reg(HKEY_LOCAL_MACHINE);
  {
    RegistryBatch batch;
    ASSERT_TRUE(reg.OpenKey("\\Dropped\\Deep", true));
    reg.WriteInteger("a", 1);
  }  // no Commit
  EXPECT_FALSE(reg.KeyExists("\\Dropped"));
  {
    RegistryBatch batch;
    ASSERT_TRUE(reg.OpenKey("\\Kept", true));
    reg.WriteInteger("a", 1);
    EXPECT_THROW(reg.ReadString("a"), ERegistryException);  // a failed step leaves the rest
    batch.Commit();
  }
  EXPECT_EQ(reg.ReadInteger("a"), 1);
}

TEST_F(RegistryTest, ConcurrentWritersFromTwoProcessesLoseNothing) {
  Registry held(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(held.OpenKey("\\Shared", true));
  held.WriteString("parent", "before");
  constexpr int kWrites = 60;
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    children.push_back(Spawn([child] {
      Registry reg(HKEY_LOCAL_MACHINE);
      for (int i = 0; i < kWrites; ++i) {
        // A new key path with its parents, and a value in the shared key.
        if (!reg.OpenKey("\\Own" + std::to_string(child) + "\\K" + std::to_string(i), true))
          throw ERegistryException("open");
        reg.WriteInteger("i", i);
        reg.OpenKey("\\Shared", true);
        reg.WriteInteger("c" + std::to_string(child) + "_" + std::to_string(i), i);
      }
    }));
  }
  for (pid_t pid : children) EXPECT_EQ(Wait(pid), 0);

  EXPECT_EQ(held.GetValueNames().size(), 1u + 2 * kWrites);
  EXPECT_EQ(held.ReadInteger("c1_59"), 59);
  EXPECT_EQ(held.ReadString("parent"), "before");
  held.OpenKey("\\Own0", false);
  EXPECT_EQ(held.GetKeyNames().size(), size_t(kWrites));
  ExpectConsistentStore();
}

TEST_F(RegistryTest, WriterKilledMidWriteLeavesAConsistentStore) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t pid = Spawn([&] {
    Registry reg(HKEY_LOCAL_MACHINE);
    for (int i = 0;; ++i) {
      RegistryBatch batch;  // a pair of values that must always match
      reg.OpenKey("\\Pairs\\K" + std::to_string(i % 50) + "\\Deep", true);
      reg.WriteInteger("a", i);
      reg.WriteInteger("b", i);
      batch.Commit();
      if (i == 20) (void)!::write(ready[1], "x", 1);
    }
  });
  ::close(ready[1]);
  char c;
  const bool started = ::read(ready[0], &c, 1) == 1;  // 0 when the child died early
  ::kill(pid, SIGKILL);
  Wait(pid);
  ::close(ready[0]);
  ASSERT_TRUE(started);

  ExpectConsistentStore();
  EXPECT_THAT(Sql("SELECT count(*) FROM reg_keys k WHERE name = 'Deep' AND "
                  "(SELECT data FROM reg_values WHERE key_id = k.id AND name = 'a') IS NOT "
                  "(SELECT data FROM reg_values WHERE key_id = k.id AND name = 'b')"),
              ElementsAre("0"));
  Registry reg(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey("\\Pairs\\K20\\Deep", false));
  EXPECT_GE(reg.ReadInteger("a"), 20);
}

}  // namespace
}  // namespace kv::platform
