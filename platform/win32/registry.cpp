// The registry over the real one (advapi32). The open key is kept by its path, as on the other
// face: every operation opens it again, so a key deleted behind the object's back shows up as
// deleted. Names and string data are Windows-1250 here and UTF-16 in the registry.
#include "platform/registry.h"

#include <algorithm>
#include <vector>

#include "platform/cp1250.h"
#include "platform/win32/windows_api.h"

namespace kv::platform {
namespace {

constexpr size_t kMaxKeyName = 255;

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::LocalMachine:
      return win32::kLocalMachine;
    case RootKey::ClassesRoot:
      return win32::kClassesRoot;
    case RootKey::CurrentUser:
      break;
  }
  return win32::kCurrentUser;
}

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::string JoinPath(const std::vector<std::string>& names) {
  std::string joined;
  for (const std::string& name : names) joined += (joined.empty() ? "" : "\\") + name;
  return joined;
}

std::wstring WidePath(const std::vector<std::string>& names) {
  return win32::WideFromCp1250(JoinPath(names));
}

std::string ValueLabel(std::string_view name) {
  return name.empty() ? std::string("the default value") : "'" + std::string(name) + "'";
}

// An open registry key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (handle_ != nullptr) ::RegCloseKey(handle_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  bool Open(RootKey root, const std::vector<std::string>& names, REGSAM access) {
    return ::RegOpenKeyExW(RootHandle(root), WidePath(names).c_str(), 0, access, &handle_) ==
           ERROR_SUCCESS;
  }
  bool Create(RootKey root, const std::vector<std::string>& names) {
    return ::RegCreateKeyExW(RootHandle(root), WidePath(names).c_str(), 0, nullptr,
                             REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &handle_,
                             nullptr) == ERROR_SUCCESS;
  }
  HKEY Handle() const { return handle_; }

  // The value's type and size in bytes; false when there is no such value.
  bool Query(std::string_view name, DWORD* type, DWORD* size) const {
    return ::RegQueryValueExW(handle_, win32::WideFromCp1250(name).c_str(), nullptr, type, nullptr,
                              size) == ERROR_SUCCESS;
  }

 private:
  HKEY handle_ = nullptr;
};

}  // namespace

std::filesystem::path RegistryDatabasePath() {
  return {};  // the system's own registry has no file of ours
}

void CloseRegistryDatabase() {}

Registry::Registry(RootKey root) : root_(root) {}

Registry::~Registry() = default;

void Registry::SetRoot(RootKey root) {
  root_ = root;
  CloseKey();
}

// The path a key name stands for: absolute, or below the open key.
static std::vector<std::string> FullPath(std::string_view key, bool keyOpen,
                                         const std::vector<std::string>& current) {
  std::vector<std::string> path;
  if (key.empty() || key.front() != '\\') {
    if (keyOpen) path = current;
  }
  for (std::string& part : SplitPath(key)) path.push_back(std::move(part));
  return path;
}

bool Registry::OpenKey(std::string_view key, bool canCreate) {
  std::vector<std::string> path = FullPath(key, current_.has_value(), currentPath_);
  for (const std::string& part : path)
    if (part.size() > kMaxKeyName)
      throw ERegistryException("Registry key name is longer than 255 characters");
  Key opened;
  if (!(canCreate ? opened.Create(root_, path) : opened.Open(root_, path, KEY_READ))) return false;
  current_ = 0;
  currentPath_ = std::move(path);
  return true;
}

void Registry::CloseKey() {
  current_.reset();
  currentPath_.clear();
}

std::string Registry::CurrentPath() const {
  return JoinPath(currentPath_);
}

bool Registry::KeyExists(std::string_view key) {
  Key found;
  return found.Open(root_, FullPath(key, current_.has_value(), currentPath_), KEY_READ);
}

bool Registry::DeleteKey(std::string_view key) {
  const std::vector<std::string> path = FullPath(key, current_.has_value(), currentPath_);
  if (path.empty())
    throw ERegistryException("The root key " + std::string(RootKeyName(root_)) +
                             " cannot be deleted");
  {
    Key existing;
    if (!existing.Open(root_, path, KEY_READ)) return false;
  }
  // With a subkey named, the key goes too, with everything below it.
  const LONG result = ::RegDeleteTreeW(RootHandle(root_), WidePath(path).c_str());
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    throw ERegistryException("Failed to delete registry key " + std::string(RootKeyName(root_)) +
                             "\\" + JoinPath(path));
  return true;
}

std::vector<std::string> Registry::GetKeyNames() {
  std::vector<std::string> names;
  Key key;
  if (!key.Open(root_, current_ ? currentPath_ : std::vector<std::string>{}, KEY_READ))
    return names;
  wchar_t name[kMaxKeyName + 1];
  for (DWORD i = 0;; ++i) {
    DWORD length = kMaxKeyName + 1;
    if (::RegEnumKeyExW(key.Handle(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    names.push_back(win32::Cp1250FromWide(std::wstring_view(name, length)));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return cp1250::LowerCase(a) < cp1250::LowerCase(b);
  });
  return names;
}

std::optional<int64_t> Registry::OpenKeyId() {
  if (!current_) throw ERegistryException("No registry key is open");
  Key key;
  if (!key.Open(root_, currentPath_, KEY_READ)) return std::nullopt;
  return 0;
}

int64_t Registry::RequireKey() {
  if (!OpenKeyId())
    throw ERegistryException("Registry key " + std::string(RootKeyName(root_)) + "\\" +
                             CurrentPath() + " has been deleted");
  return 0;
}

bool Registry::ValueExists(std::string_view name) {
  OpenKeyId();
  Key key;
  return key.Open(root_, currentPath_, KEY_READ) && key.Query(name, nullptr, nullptr);
}

ValueType Registry::GetDataType(std::string_view name) {
  OpenKeyId();
  Key key;
  DWORD type = REG_NONE;
  if (!key.Open(root_, currentPath_, KEY_READ) || !key.Query(name, &type, nullptr))
    return ValueType::None;
  if (type == REG_SZ || type == REG_EXPAND_SZ) return ValueType::String;
  if (type == REG_DWORD) return ValueType::DWord;
  return ValueType::None;
}

std::vector<std::string> Registry::GetValueNames() {
  OpenKeyId();
  std::vector<std::string> names;
  Key key;
  if (!key.Open(root_, currentPath_, KEY_READ)) return names;
  std::vector<wchar_t> name(16384);
  for (DWORD i = 0;; ++i) {
    DWORD length = DWORD(name.size());
    if (::RegEnumValueW(key.Handle(), i, name.data(), &length, nullptr, nullptr, nullptr,
                        nullptr) != ERROR_SUCCESS)
      break;
    names.push_back(win32::Cp1250FromWide(std::wstring_view(name.data(), length)));
  }
  return names;
}

bool Registry::DeleteValue(std::string_view name) {
  OpenKeyId();
  Key key;
  return key.Open(root_, currentPath_, KEY_READ | KEY_SET_VALUE) &&
         ::RegDeleteValueW(key.Handle(), win32::WideFromCp1250(name).c_str()) == ERROR_SUCCESS;
}

std::string Registry::ReadString(std::string_view name) {
  OpenKeyId();
  Key key;
  DWORD type = REG_NONE, size = 0;
  if (!key.Open(root_, currentPath_, KEY_READ) || !key.Query(name, &type, &size)) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    throw ERegistryException("Invalid data type for " + ValueLabel(name));
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  DWORD got = DWORD(text.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.Handle(), win32::WideFromCp1250(name).c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for " + ValueLabel(name));
  text.resize(std::min<size_t>(got / sizeof(wchar_t), text.size()));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return win32::Cp1250FromWide(text);
}

int32_t Registry::ReadInteger(std::string_view name) {
  OpenKeyId();
  Key key;
  DWORD type = REG_NONE, size = 0;
  if (!key.Open(root_, currentPath_, KEY_READ) || !key.Query(name, &type, &size))
    throw ERegistryException("Failed to get data for " + ValueLabel(name));
  if (type != REG_DWORD) throw ERegistryException("Invalid data type for " + ValueLabel(name));
  DWORD value = 0, got = sizeof value;
  if (::RegQueryValueExW(key.Handle(), win32::WideFromCp1250(name).c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&value), &got) != ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for " + ValueLabel(name));
  return static_cast<int32_t>(value);
}

// Writes one value into the open key, which must still exist.
static void SetValue(RootKey root, const std::vector<std::string>& path, std::string_view name,
                     DWORD type, const void* data, size_t size) {
  Key key;
  if (!key.Open(root, path, KEY_READ | KEY_SET_VALUE) ||
      ::RegSetValueExW(key.Handle(), win32::WideFromCp1250(name).c_str(), 0, type,
                       static_cast<const BYTE*>(data), DWORD(size)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for " + ValueLabel(name));
}

void Registry::WriteString(std::string_view name, std::string_view value) {
  RequireKey();
  const std::wstring text = win32::WideFromCp1250(value);
  SetValue(root_, currentPath_, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void Registry::WriteInteger(std::string_view name, int32_t value) {
  RequireKey();
  const DWORD data = static_cast<DWORD>(value);
  SetValue(root_, currentPath_, name, REG_DWORD, &data, sizeof data);
}

// The system's registry has no transactions of ours: a batch only marks where one would be.
RegistryBatch::RegistryBatch(bool) {}

RegistryBatch::~RegistryBatch() = default;

void RegistryBatch::Commit() {
  open_ = false;
}

}  // namespace kv::platform
