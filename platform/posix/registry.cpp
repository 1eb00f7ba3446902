// The registry store. One SQLite database holds the three hives:
//
//   reg_keys   (id, parent, name, folded)   hive roots have the fixed ids 1..3 and no parent
//   reg_values (id, key_id, name, folded, type, data)
//
// "folded" is the lower-cased name (Windows-1250 rules) that names are compared by; "name" keeps
// the case a key or value was created with. Value ids give the creation order. Text columns are
// UTF-8. The view "registry" lists every value with its full key path, for people who look at
// the file with the sqlite3 shell.
//
// The process keeps one connection, guarded by a mutex. Before each operation it checks that
// the file at the database path is still the one it has open (the prefix may have been changed
// or emptied) and opens it again when not. A connection inherited through fork() is left alone.
#include "platform/registry.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <utility>

#include "platform/cp1250.h"
#include "platform/paths.h"

namespace kv::platform {
namespace {

constexpr int kSchemaVersion = 1;
// The Windows type numbers, so that the database reads naturally.
constexpr int kRegSz = 1;
constexpr int kRegDword = 4;
// Limits of the Windows registry.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS reg_keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS reg_values(
  id INTEGER PRIMARY KEY,
  key_id INTEGER NOT NULL,
  name TEXT NOT NULL,
  folded TEXT NOT NULL,
  type INTEGER NOT NULL,
  data,
  UNIQUE(key_id, folded));
INSERT OR IGNORE INTO reg_keys(id, parent, name, folded) VALUES
  (1, NULL, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),
  (2, NULL, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
  (3, NULL, 'HKEY_CURRENT_USER', 'hkey_current_user');
CREATE VIEW IF NOT EXISTS registry AS
  WITH RECURSIVE path(id, path) AS (
    SELECT id, name FROM reg_keys WHERE parent IS NULL
    UNION ALL
    SELECT k.id, path.path || '\' || k.name FROM reg_keys k JOIN path ON k.parent = path.id)
  SELECT path.path AS key, v.name AS name,
         CASE v.type WHEN 1 THEN 'REG_SZ' WHEN 4 THEN 'REG_DWORD' ELSE v.type END AS type,
         v.data AS data
  FROM reg_values v JOIN path ON v.key_id = path.id ORDER BY path.path, v.id;
PRAGMA user_version = 1;
)sql";

struct Store {
  std::recursive_mutex mutex;
  sqlite3* db = nullptr;
  std::string path;  // UTF-8 (file system bytes)
  dev_t dev = 0;
  ino_t ino = 0;
  pid_t pid = 0;
  int batchDepth = 0;
};

// Never destroyed: a Registry may be used from other static destructors. The connection is
// closed at exit by g_closer below.
Store& TheStore() {
  static Store* store = new Store;
  return *store;
}

// Connections that a parent process had open when it forked: the child must neither use nor
// close them. Kept reachable on purpose.
std::vector<sqlite3*>& Inherited() {
  static auto* list = new std::vector<sqlite3*>;
  return *list;
}

void CloseConnection(Store& s) {
  if (s.db == nullptr) return;
  if (s.pid == ::getpid()) {
    sqlite3_close_v2(s.db);
  } else {
    Inherited().push_back(s.db);
  }
  s.db = nullptr;
  s.batchDepth = 0;
}

struct Closer {
  ~Closer() {
    Store& s = TheStore();
    std::lock_guard lock(s.mutex);
    if (s.batchDepth == 0) CloseConnection(s);
  }
} g_closer;

std::string PathForMessage(const std::string& path) {
  return cp1250::FromUtf8Lenient(path);
}

[[noreturn]] void ThrowDb(sqlite3* db, const std::string& what) {
  throw ERegistryException("Registry database " + PathForMessage(TheStore().path) + ": " + what +
                           ": " +
                           cp1250::FromUtf8Lenient(db ? sqlite3_errmsg(db) : "out of memory"));
}

void Exec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) ThrowDb(db, "cannot update");
}

// A prepared statement. Text goes in and out as UTF-8.
class Stmt {
 public:
  Stmt(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) ThrowDb(db, "cannot read");
  }
  ~Stmt() { sqlite3_finalize(stmt_); }
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;

  Stmt& Bind(int index, int64_t value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Stmt& Bind(int index, const std::string& utf8) {
    sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while there is a row.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowDb(db_, "cannot access");
  }
  int64_t Int(int col) { return sqlite3_column_int64(stmt_, col); }
  std::string Text(int col) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, col)))
                : std::string();
  }

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void OpenConnection(Store& s, const std::string& path) {
  s.path = path;
  sqlite3* db = nullptr;
  const int rc =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  // Until the connection is set up it belongs to this function; close it on any failure.
  struct Guard {
    sqlite3* db;
    ~Guard() {
      if (db) sqlite3_close_v2(db);
    }
  } guard{db};
  if (rc != SQLITE_OK) ThrowDb(db, "cannot open");
  sqlite3_busy_timeout(db, 5000);
  // Closing never deletes the -wal and -shm files by name: after the prefix was emptied under
  // an open connection they may already belong to a new database.
  int persist = 1;
  sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  {
    Stmt mode(db, "PRAGMA journal_mode = WAL");
    mode.Step();
  }
  // Every committed write survives a crash of the process and of the machine.
  Exec(db, "PRAGMA synchronous = FULL; PRAGMA journal_size_limit = 4194304");
  int64_t version;
  {
    Stmt st(db, "PRAGMA user_version");
    version = st.Step() ? st.Int(0) : 0;
  }
  if (version > kSchemaVersion)
    throw ERegistryException("Registry database " + PathForMessage(path) +
                             " was written by a newer version of the system");
  if (version < kSchemaVersion) {
    Exec(db, "BEGIN IMMEDIATE");
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
      const std::string msg = sqlite3_errmsg(db);
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      throw ERegistryException("Registry database " + PathForMessage(path) +
                               ": cannot create the tables: " + cp1250::FromUtf8Lenient(msg));
    }
    Exec(db, "COMMIT");
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    s.dev = st.st_dev;
    s.ino = st.st_ino;
  } else {
    s.dev = 0;
    s.ino = 0;
  }
  s.pid = ::getpid();
  s.db = db;
  guard.db = nullptr;
}

// The connection for the next operation; the store's mutex is held.
sqlite3* Acquire() {
  Store& s = TheStore();
  if (s.db && s.pid != ::getpid()) CloseConnection(s);
  // Inside a transaction (a batch) the connection stays as it is.
  if (s.db && sqlite3_get_autocommit(s.db) == 0) return s.db;
  const std::string path = RegistryDatabasePath().string();
  if (s.db) {
    struct stat st {};
    if (path == s.path && ::stat(path.c_str(), &st) == 0 && st.st_dev == s.dev &&
        st.st_ino == s.ino)
      return s.db;
    CloseConnection(s);
  }
  OpenConnection(s, path);
  return s.db;
}

// One transaction; a savepoint inside a batch.
class Txn {
 public:
  Txn(sqlite3* db, bool write) : db_(db) {
    nested_ = sqlite3_get_autocommit(db) == 0;
    if (!nested_ && TheStore().batchDepth > 0)
      throw ERegistryException("The registry batch was rolled back after an error");
    Exec(db, nested_ ? "SAVEPOINT op" : write ? "BEGIN IMMEDIATE" : "BEGIN");
  }
  ~Txn() {
    if (done_) return;
    if (nested_) {
      sqlite3_exec(db_, "ROLLBACK TO op; RELEASE op", nullptr, nullptr, nullptr);
    } else if (sqlite3_get_autocommit(db_) == 0) {
      sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
  }
  Txn(const Txn&) = delete;
  Txn& operator=(const Txn&) = delete;
  void Commit() {
    Exec(db_, nested_ ? "RELEASE op" : "COMMIT");
    done_ = true;
  }

 private:
  sqlite3* db_;
  bool nested_ = false;
  bool done_ = false;
};

// The frame of every public operation: the lock, the connection and a transaction.
class Session {
 public:
  explicit Session(bool write) : lock_(TheStore().mutex), db_(Acquire()), txn_(db_, write) {}
  sqlite3* db() const { return db_; }
  void Commit() { txn_.Commit(); }

 private:
  std::lock_guard<std::recursive_mutex> lock_;
  sqlite3* db_;
  Txn txn_;
};

// The connection of the running session.
sqlite3* Db() {
  return TheStore().db;
}

std::string Utf8(std::string_view text) {
  return cp1250::ToUtf8(text);
}
std::string Folded(std::string_view text) {
  return cp1250::ToUtf8(cp1250::LowerCase(text));
}

int64_t HiveId(RootKey root) {
  switch (root) {
    case RootKey::LocalMachine:
      return 1;
    case RootKey::ClassesRoot:
      return 2;
    case RootKey::CurrentUser:
      return 3;
  }
  throw ERegistryException("Unknown registry root key");
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string ValueLabel(std::string_view name) {
  return name.empty() ? std::string("the default value") : "'" + std::string(name) + "'";
}

struct ValueRow {
  int type;
  int64_t number;
  std::string text;  // UTF-8
};

std::optional<ValueRow> FindValue(int64_t key, std::string_view name) {
  Stmt st(Db(), "SELECT type, data FROM reg_values WHERE key_id = ?1 AND folded = ?2");
  st.Bind(1, key).Bind(2, Folded(name));
  if (!st.Step()) return std::nullopt;
  return ValueRow{static_cast<int>(st.Int(0)), st.Int(1), st.Text(1)};
}

void StoreValue(int64_t key, std::string_view name, int type, std::optional<int64_t> number,
                std::string_view text) {
  if (name.size() > kMaxValueName)
    throw ERegistryException("Registry value name is longer than 16383 characters");
  // An existing value keeps its name and its place in the creation order.
  Stmt st(Db(),
          "INSERT INTO reg_values(key_id, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
          "ON CONFLICT(key_id, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
  st.Bind(1, key).Bind(2, Utf8(name)).Bind(3, Folded(name)).Bind(4, type);
  if (number) {
    st.Bind(5, *number);
  } else {
    st.Bind(5, Utf8(text));
  }
  st.Step();
}

}  // namespace

std::filesystem::path RegistryDatabasePath() {
  try {
    return PrefixDir() / "registry.db";
  } catch (const std::runtime_error& e) {
    throw ERegistryException(e.what());  // a registry that cannot be opened, as callers expect
  }
}

void CloseRegistryDatabase() {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  if (s.batchDepth == 0) CloseConnection(s);
}

Registry::Registry(RootKey root) : root_(root) {
  HiveId(root);
}

Registry::~Registry() = default;

void Registry::SetRoot(RootKey root) {
  HiveId(root);
  root_ = root;
  CloseKey();
}

std::optional<int64_t> Registry::CurrentKeyId() {
  int64_t id = HiveId(root_);
  for (const std::string& name : currentPath_) {
    Stmt st(Db(), "SELECT id FROM reg_keys WHERE parent = ?1 AND folded = ?2");
    st.Bind(1, id).Bind(2, Folded(name));
    if (!st.Step()) return std::nullopt;
    id = st.Int(0);
  }
  current_ = id;
  return id;
}

std::optional<int64_t> Registry::ResolveKey(std::string_view key, bool create) {
  return ResolveKey(key, create, nullptr);
}

std::optional<int64_t> Registry::ResolveKey(std::string_view key, bool create,
                                            std::vector<std::string>* names) {
  const bool absolute = !key.empty() && key.front() == '\\';
  int64_t id = HiveId(root_);
  std::vector<std::string> path;
  if (!absolute && current_) {
    const std::optional<int64_t> open = CurrentKeyId();
    if (!open) return std::nullopt;
    id = *open;
    path = currentPath_;
  }
  for (std::string_view part : SplitPath(key)) {
    Stmt find(Db(), "SELECT id, name FROM reg_keys WHERE parent = ?1 AND folded = ?2");
    find.Bind(1, id).Bind(2, Folded(part));
    if (find.Step()) {
      id = find.Int(0);
      path.push_back(cp1250::FromUtf8Lenient(find.Text(1)));
      continue;
    }
    if (!create) return std::nullopt;
    if (part.size() > kMaxKeyName)
      throw ERegistryException("Registry key name is longer than 255 characters");
    Stmt insert(Db(), "INSERT INTO reg_keys(parent, name, folded) VALUES(?1, ?2, ?3)");
    insert.Bind(1, id).Bind(2, Utf8(part)).Bind(3, Folded(part));
    insert.Step();
    id = sqlite3_last_insert_rowid(Db());
    path.emplace_back(part);
  }
  if (names) *names = std::move(path);
  return id;
}

std::optional<int64_t> Registry::OpenKeyId() {
  if (!current_) throw ERegistryException("No registry key is open");
  return CurrentKeyId();
}

int64_t Registry::RequireKey() {
  const std::optional<int64_t> id = OpenKeyId();
  if (!id)
    throw ERegistryException("Registry key " + std::string(RootKeyName(root_)) + "\\" +
                             CurrentPath() + " has been deleted");
  return *id;
}

bool Registry::OpenKey(std::string_view key, bool canCreate) {
  Session session(canCreate);
  std::vector<std::string> names;
  const std::optional<int64_t> id = ResolveKey(key, canCreate, &names);
  session.Commit();
  if (!id) return false;
  current_ = id;
  currentPath_ = std::move(names);
  return true;
}

void Registry::CloseKey() {
  current_.reset();
  currentPath_.clear();
}

std::string Registry::CurrentPath() const {
  std::string out;
  for (const std::string& name : currentPath_) {
    if (!out.empty()) out += '\\';
    out += name;
  }
  return out;
}

bool Registry::KeyExists(std::string_view key) {
  Session session(false);
  const bool exists = ResolveKey(key, false).has_value();
  session.Commit();
  return exists;
}

bool Registry::DeleteKey(std::string_view key) {
  Session session(true);
  const std::optional<int64_t> id = ResolveKey(key, false);
  if (!id) return false;
  if (*id == HiveId(root_))
    throw ERegistryException("The root key " + std::string(RootKeyName(root_)) +
                             " cannot be deleted");
  Stmt values(Db(),
              "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL "
              "SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) "
              "DELETE FROM reg_values WHERE key_id IN (SELECT id FROM sub)");
  values.Bind(1, *id).Step();
  Stmt keys(Db(),
            "WITH RECURSIVE sub(id) AS (SELECT ?1 UNION ALL "
            "SELECT k.id FROM reg_keys k JOIN sub ON k.parent = sub.id) "
            "DELETE FROM reg_keys WHERE id IN (SELECT id FROM sub)");
  keys.Bind(1, *id).Step();
  session.Commit();
  return true;
}

std::vector<std::string> Registry::GetKeyNames() {
  Session session(false);
  std::vector<std::string> names;
  const std::optional<int64_t> id = current_ ? CurrentKeyId() : HiveId(root_);
  if (id) {
    Stmt st(Db(), "SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY folded");
    st.Bind(1, *id);
    while (st.Step()) names.push_back(cp1250::FromUtf8Lenient(st.Text(0)));
  }
  session.Commit();
  return names;
}

bool Registry::ValueExists(std::string_view name) {
  Session session(false);
  const std::optional<int64_t> key = OpenKeyId();
  const bool exists = key && FindValue(*key, name).has_value();
  session.Commit();
  return exists;
}

ValueType Registry::GetDataType(std::string_view name) {
  Session session(false);
  const std::optional<int64_t> key = OpenKeyId();
  const std::optional<ValueRow> row = key ? FindValue(*key, name) : std::nullopt;
  session.Commit();
  if (!row) return ValueType::None;
  if (row->type == kRegSz) return ValueType::String;
  if (row->type == kRegDword) return ValueType::DWord;
  return ValueType::None;
}

std::vector<std::string> Registry::GetValueNames() {
  Session session(false);
  std::vector<std::string> names;
  if (const std::optional<int64_t> key = OpenKeyId()) {
    Stmt st(Db(), "SELECT name FROM reg_values WHERE key_id = ?1 ORDER BY id");
    st.Bind(1, *key);
    while (st.Step()) names.push_back(cp1250::FromUtf8Lenient(st.Text(0)));
  }
  session.Commit();
  return names;
}

bool Registry::DeleteValue(std::string_view name) {
  Session session(true);
  const std::optional<int64_t> key = OpenKeyId();
  if (!key) return false;
  Stmt st(Db(), "DELETE FROM reg_values WHERE key_id = ?1 AND folded = ?2");
  st.Bind(1, *key).Bind(2, Folded(name)).Step();
  const bool deleted = sqlite3_changes(Db()) > 0;
  session.Commit();
  return deleted;
}

std::string Registry::ReadString(std::string_view name) {
  Session session(false);
  const std::optional<int64_t> key = OpenKeyId();
  const std::optional<ValueRow> row = key ? FindValue(*key, name) : std::nullopt;
  session.Commit();
  if (!row) return std::string();
  if (row->type != kRegSz) throw ERegistryException("Invalid data type for " + ValueLabel(name));
  return cp1250::FromUtf8Lenient(row->text);
}

int32_t Registry::ReadInteger(std::string_view name) {
  Session session(false);
  const std::optional<int64_t> key = OpenKeyId();
  const std::optional<ValueRow> row = key ? FindValue(*key, name) : std::nullopt;
  session.Commit();
  if (!row) throw ERegistryException("Failed to get data for " + ValueLabel(name));
  if (row->type != kRegDword) throw ERegistryException("Invalid data type for " + ValueLabel(name));
  return static_cast<int32_t>(static_cast<uint32_t>(row->number));
}

void Registry::WriteString(std::string_view name, std::string_view value) {
  Session session(true);
  StoreValue(RequireKey(), name, kRegSz, std::nullopt, value);
  session.Commit();
}

void Registry::WriteInteger(std::string_view name, int32_t value) {
  Session session(true);
  StoreValue(RequireKey(), name, kRegDword, static_cast<int64_t>(static_cast<uint32_t>(value)), {});
  session.Commit();
}

RegistryBatch::RegistryBatch(bool forWriting) {
  Store& s = TheStore();
  s.mutex.lock();
  try {
    sqlite3* db = Acquire();
    if (s.batchDepth == 0 && sqlite3_get_autocommit(db) == 0)
      throw ERegistryException("A registry transaction is already running");
    Exec(db, s.batchDepth > 0 ? "SAVEPOINT batch" : forWriting ? "BEGIN IMMEDIATE" : "BEGIN");
    ++s.batchDepth;
  } catch (...) {
    s.mutex.unlock();
    throw;
  }
}

RegistryBatch::~RegistryBatch() {
  if (!open_) return;
  Store& s = TheStore();
  if (s.db && s.batchDepth > 0) {
    --s.batchDepth;
    if (sqlite3_get_autocommit(s.db) == 0)
      sqlite3_exec(s.db, s.batchDepth == 0 ? "ROLLBACK" : "ROLLBACK TO batch; RELEASE batch",
                   nullptr, nullptr, nullptr);
  }
  s.mutex.unlock();
}

void RegistryBatch::Commit() {
  if (!open_) throw ERegistryException("The registry batch has already ended");
  Store& s = TheStore();
  if (s.db == nullptr || sqlite3_get_autocommit(s.db) != 0)
    throw ERegistryException("The registry batch was rolled back after an error");
  Exec(s.db, s.batchDepth == 1 ? "COMMIT" : "RELEASE batch");
  --s.batchDepth;
  open_ = false;
  s.mutex.unlock();
}

}  // namespace kv::platform
