// The registry: hives HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT and HKEY_CURRENT_USER kept in one
// SQLite database in the prefix, with Windows semantics. A Registry object works like the
// framework's registry object: a root, at most one open key, and value reads and writes on it.
//
// Names and string data are Windows-1250 at this interface; the database holds UTF-8 so that
// tools show it correctly.
//
// The open key is remembered by its path: every operation finds it again, so an object held for
// a long time sees keys that other objects or processes deleted and created again, and keeps
// working after the database file was replaced. Writing to an open key that no longer exists
// raises ERegistryException; reading from it finds no values.
//
// Every operation is one transaction. Several processes may use the database at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kv::platform {

enum class RootKey { LocalMachine, ClassesRoot, CurrentUser };
inline constexpr RootKey HKEY_LOCAL_MACHINE = RootKey::LocalMachine;
inline constexpr RootKey HKEY_CLASSES_ROOT = RootKey::ClassesRoot;
inline constexpr RootKey HKEY_CURRENT_USER = RootKey::CurrentUser;

// "HKEY_LOCAL_MACHINE" etc.
std::string_view RootKeyName(RootKey root);
std::optional<RootKey> RootKeyFromName(std::string_view name);

enum class ValueType { None, String, DWord };

// Raised by failed registry operations (a missing value read as a DWORD, a value of the wrong
// type, a database that cannot be opened or written).
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Registry {
 public:
  explicit Registry(RootKey root = HKEY_CURRENT_USER);
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  RootKey Root() const { return root_; }
  // Changing the root closes the open key.
  void SetRoot(RootKey root);

  // A path that begins with a backslash is absolute, otherwise relative to the open key.
  // Returns false when the key is missing and may not be created.
  bool OpenKey(std::string_view key, bool canCreate);
  void CloseKey();
  bool HasCurrentKey() const { return current_.has_value(); }
  // Path of the open key without a leading backslash ("" for the root itself).
  std::string CurrentPath() const;

  bool KeyExists(std::string_view key);
  // Deletes the key with all its subkeys; false when it did not exist.
  bool DeleteKey(std::string_view key);
  // Subkeys of the open key (of the root when none is open), ordered by name.
  std::vector<std::string> GetKeyNames();

  bool ValueExists(std::string_view name);
  ValueType GetDataType(std::string_view name);
  // Value names of the open key in creation order; "" is the default value.
  std::vector<std::string> GetValueNames();
  bool DeleteValue(std::string_view name);

  // A missing string value reads as "". A DWORD value raises ERegistryException.
  std::string ReadString(std::string_view name);
  // A missing value or a value of another type raises ERegistryException.
  int32_t ReadInteger(std::string_view name);
  bool ReadBool(std::string_view name) { return ReadInteger(name) != 0; }
  void WriteString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, int32_t value);
  void WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

 private:
  std::optional<int64_t> ResolveKey(std::string_view key, bool create);
  // Also returns the names of the key's path below the root, as stored.
  std::optional<int64_t> ResolveKey(std::string_view key, bool create,
                                    std::vector<std::string>* names);
  // The open key for writing: raises ERegistryException when none is open or it was deleted.
  int64_t RequireKey();
  // The open key for reading: raises when none is open, nullopt when it was deleted.
  std::optional<int64_t> OpenKeyId();
  // Finds the open key again by its path (nullopt when it was deleted). Needs a key open.
  std::optional<int64_t> CurrentKeyId();

  RootKey root_;
  std::optional<int64_t> current_;        // id of the open key when it was last looked up
  std::vector<std::string> currentPath_;  // names of the open key below the root, as stored
};

// Location of the registry database (<prefix>/registry.db).
std::filesystem::path RegistryDatabasePath();

// Closes this process's connection to the registry database; the next operation opens it again.
// Call it before fork() when the child uses the registry: a database connection must not be
// shared with a child process. (A child that inherited one leaves it alone and opens its own.)
void CloseRegistryDatabase();

// Groups the registry operations of the calling thread into one transaction: either all of
// them are stored or none. Other threads wait until the batch ends. Without Commit() the batch
// is rolled back when it goes out of scope. A batch not for writing only gives a consistent
// view of the registry without holding back writers in other processes.
class RegistryBatch {
 public:
  explicit RegistryBatch(bool forWriting = true);
  ~RegistryBatch();
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;
  void Commit();

 private:
  bool open_ = true;
};

}  // namespace kv::platform
