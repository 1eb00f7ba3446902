// kvreg: looks at and changes the registry of the prefix from the command line, and moves keys
// in and out as REGEDIT4 text. Terminal text and files are UTF-8; the registry speaks
// Windows-1250.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cp1250.h"
#include "platform/registry.h"
#include "tools/kvreg/regedit_text.h"

namespace {

using kv::platform::ERegistryException;
using kv::platform::Registry;
using kv::platform::RegistryBatch;
using kv::platform::RootKey;
using kv::platform::ValueType;
using kv::regedit::FullName;
using kv::regedit::Hex8;
using kv::regedit::ImportRegedit;
using kv::regedit::KeyName;
using kv::regedit::ParseKeyName;
using kv::regedit::RegeditError;
namespace cp1250 = kv::cp1250;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

constexpr const char* kHelp = R"(Usage: kvreg COMMAND [ARGUMENTS]

Looks at and changes the registry of the prefix ($KVTTS_PREFIX/registry.db).

Commands:
  query KEY                      list the values and subkeys of KEY
  set KEY NAME [--dword] VALUE   set a value (a string unless --dword is given);
                                 the key is created when missing
  delete-value KEY NAME          delete a value
  delete-key KEY                 delete a key with all its subkeys and values
  export [KEY]                   write KEY (default: the whole registry) with its subkeys
                                 to standard output as REGEDIT4 text
  import FILE                    apply a REGEDIT4 file ("-" reads standard input); nothing
                                 is changed when the file has an error
  --help                         show this text

KEY starts with a root key: HKEY_LOCAL_MACHINE (HKLM), HKEY_CLASSES_ROOT (HKCR) or
HKEY_CURRENT_USER (HKCU), e.g. HKLM\SOFTWARE\Voice. Names compare case-insensitively.
NAME "" (an empty argument) is the key's default value.
A --dword VALUE is decimal (-2147483648..4294967295) or hexadecimal with 0x.
"--" ends the options, so that a string VALUE may begin with "--".

REGEDIT4 files:
  The first line is "REGEDIT4"; then each key is a line [KEY] followed by its values.
  Files are read as UTF-8, or as Windows-1250 when they are not valid UTF-8.

  "Name"="text"          a string (\\ and \" stand for a backslash and a double quote)
  @="text"               the key's default value
  "Name"=dword:0000000a  a DWORD, in hexadecimal
  "Name"=-               deletes the value
  [-KEY]                 deletes the key

Exit status: 0 done, 1 not found or failed, 2 wrong usage.
)";

struct UsageError {
  std::string message;  // UTF-8
};

struct Failure {
  std::string message;  // UTF-8
};

std::string Out(std::string_view text) {
  return cp1250::ToUtf8(text);
}

// Converts the command line arguments after the command to Windows-1250.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 2; i < argc; ++i) {
    std::optional<std::string> text = cp1250::FromUtf8(argv[i]);
    if (!text) throw UsageError{"argument " + std::to_string(i) + " is not valid UTF-8"};
    args.push_back(std::move(*text));
  }
  return args;
}

KeyName KeyArgument(const std::string& text) {
  std::optional<KeyName> key = ParseKeyName(text);
  if (!key)
    throw UsageError{"'" + Out(text) +
                     "' does not begin with HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT or "
                     "HKEY_CURRENT_USER"};
  return *key;
}

// Opens an existing key; Failure when it does not exist.
void OpenExisting(Registry& reg, const KeyName& key) {
  reg.SetRoot(key.root);
  if (!reg.OpenKey("\\" + key.path, false))
    throw Failure{"key not found: " + Out(FullName(key.root, key.path))};
}

std::optional<uint32_t> ParseDword(const std::string& text) {
  if (text.empty()) return std::nullopt;
  try {
    size_t used = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      if (text[2] == '-' || text[2] == '+' || text[2] == ' ') return std::nullopt;
      const unsigned long long v = std::stoull(text.substr(2), &used, 16);
      if (used != text.size() - 2 || v > 0xFFFFFFFFull) return std::nullopt;
      return static_cast<uint32_t>(v);
    }
    if (!(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-')) return std::nullopt;
    const long long v = std::stoll(text, &used, 10);
    if (used != text.size() || v < -2147483648LL || v > 0xFFFFFFFFLL) return std::nullopt;
    return static_cast<uint32_t>(v);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// ---- query, set, delete ----------------------------------------------------------------------

int Query(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError{"usage: kvreg query KEY"};
  const KeyName key = KeyArgument(args[0]);
  Registry reg;
  OpenExisting(reg, key);
  const std::string full = FullName(key.root, reg.CurrentPath());
  std::cout << Out(full) << '\n';
  for (const std::string& name : reg.GetValueNames()) {
    const std::string shown = name.empty() ? "(Default)" : Out(name);
    switch (reg.GetDataType(name)) {
      case ValueType::String:
        std::cout << "    " << shown << "    REG_SZ    " << Out(reg.ReadString(name)) << '\n';
        break;
      case ValueType::DWord: {
        const auto v = static_cast<uint32_t>(reg.ReadInteger(name));
        std::cout << "    " << shown << "    REG_DWORD    0x" << Hex8(v) << " (" << v << ")\n";
        break;
      }
      case ValueType::None:
        std::cout << "    " << shown << "    (unknown type)\n";
        break;
    }
  }
  const std::vector<std::string> subkeys = reg.GetKeyNames();
  if (!subkeys.empty()) std::cout << '\n';
  for (const std::string& sub : subkeys) std::cout << Out(full) << '\\' << Out(sub) << '\n';
  return kOk;
}

int Set(const std::vector<std::string>& args) {
  std::vector<std::string> positional;
  bool dword = false, options = true;
  for (const std::string& arg : args) {
    if (options && arg == "--dword") {
      dword = true;
    } else if (options && arg == "--") {
      options = false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 3) throw UsageError{"usage: kvreg set KEY NAME [--dword] VALUE"};
  const KeyName key = KeyArgument(positional[0]);
  const std::string& name = positional[1];
  const std::string& value = positional[2];
  std::optional<uint32_t> number;
  if (dword) {
    number = ParseDword(value);
    if (!number)
      throw UsageError{"'" + Out(value) +
                       "' is no DWORD: give a decimal number or 0x followed by up to 8 hex digits"};
  }
  Registry reg(key.root);
  if (!reg.OpenKey("\\" + key.path, true))
    throw Failure{"cannot create key " + Out(FullName(key.root, key.path))};
  if (number) {
    reg.WriteInteger(name, static_cast<int32_t>(*number));
  } else {
    reg.WriteString(name, value);
  }
  return kOk;
}

int DeleteValue(const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError{"usage: kvreg delete-value KEY NAME"};
  const KeyName key = KeyArgument(args[0]);
  Registry reg;
  OpenExisting(reg, key);
  if (!reg.DeleteValue(args[1]))
    throw Failure{"value not found: " + (args[1].empty() ? "(Default)" : Out(args[1])) + " in " +
                  Out(FullName(key.root, reg.CurrentPath()))};
  return kOk;
}

int DeleteKey(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError{"usage: kvreg delete-key KEY"};
  const KeyName key = KeyArgument(args[0]);
  if (key.path.empty())
    throw Failure{"the root key " + Out(FullName(key.root, "")) + " cannot be deleted"};
  Registry reg(key.root);
  if (!reg.DeleteKey("\\" + key.path))
    throw Failure{"key not found: " + Out(FullName(key.root, key.path))};
  return kOk;
}

// ---- export ----------------------------------------------------------------------------------

int Export(const std::vector<std::string>& args) {
  if (args.size() > 1) throw UsageError{"usage: kvreg export [KEY]"};
  std::string text;
  if (args.empty()) {
    text = kv::regedit::ExportAll();
  } else {
    text = "REGEDIT4\n\n";
    Registry reg;
    RegistryBatch snapshot(false);  // one consistent state; nothing is written
    const KeyName key = KeyArgument(args[0]);
    OpenExisting(reg, key);
    kv::regedit::ExportKey(reg, key.root, key.path, text);
  }
  std::cout << Out(text);
  std::cout.flush();
  return std::cout ? kOk : kFailed;
}

// ---- import ----------------------------------------------------------------------------------

std::string ReadAll(const std::string& file) {
  std::ostringstream buffer;
  if (file == "-") {
    buffer << std::cin.rdbuf();
    return buffer.str();
  }
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) throw Failure{"cannot read " + file + ": a folder"};
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Failure{"cannot read " + file};
  buffer << in.rdbuf();
  if (in.bad()) throw Failure{"cannot read " + file};
  return buffer.str();
}

int Import(int argc, char** argv) {
  if (argc != 3) throw UsageError{"usage: kvreg import FILE"};
  const std::string file = argv[2];  // a file system name: bytes as they are
  ImportRegedit(ReadAll(file), file == "-" ? "<stdin>" : file);
  return kOk;
}

int Run(int argc, char** argv) {
  if (argc < 2) throw UsageError{"no command given"};
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp;
    return kOk;
  }
  if (command == "import") return Import(argc, argv);
  const std::vector<std::string> args = Arguments(argc, argv);
  if (command == "query") return Query(args);
  if (command == "set") return Set(args);
  if (command == "delete-value") return DeleteValue(args);
  if (command == "delete-key") return DeleteKey(args);
  if (command == "export") return Export(args);
  throw UsageError{"unknown command '" + std::string(command) + "'"};
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    std::cerr << "kvreg: " << e.message << "\nTry 'kvreg --help'.\n";
    return kUsage;
  } catch (const Failure& e) {
    std::cerr << "kvreg: " << e.message << '\n';
    return kFailed;
  } catch (const RegeditError& e) {
    std::cerr << "kvreg: " << e.message << '\n';
    return kFailed;
  } catch (const ERegistryException& e) {
    std::cerr << "kvreg: " << Out(e.what()) << '\n';
    return kFailed;
  } catch (const std::exception& e) {
    std::cerr << "kvreg: " << e.what() << '\n';
    return kFailed;
  }
}
