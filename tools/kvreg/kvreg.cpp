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

namespace {

using kv::platform::ERegistryException;
using kv::platform::Registry;
using kv::platform::RegistryBatch;
using kv::platform::RootKey;
using kv::platform::ValueType;
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

struct KeyName {
  RootKey root;
  std::string path;  // Windows-1250, below the root, without a leading backslash
};

std::string Out(std::string_view text) {
  return cp1250::ToUtf8(text);
}

// "HKLM\SOFTWARE\Voice" (Windows-1250); nullopt for an unknown root key.
std::optional<KeyName> ParseKeyName(std::string_view text) {
  const size_t slash = text.find('\\');
  const std::optional<RootKey> root = kv::platform::RootKeyFromName(text.substr(0, slash));
  if (!root) return std::nullopt;
  KeyName key{*root, {}};
  if (slash != std::string_view::npos) {
    // Normalised: no empty components.
    for (size_t start = slash + 1; start <= text.size();) {
      size_t end = text.find('\\', start);
      if (end == std::string_view::npos) end = text.size();
      if (end > start) {
        if (!key.path.empty()) key.path += '\\';
        key.path += text.substr(start, end - start);
      }
      start = end + 1;
    }
  }
  return key;
}

std::string FullName(RootKey root, std::string_view path) {
  std::string out(kv::platform::RootKeyName(root));
  if (!path.empty()) out += '\\' + std::string(path);
  return out;
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

std::string Hex8(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", v);
  return buf;
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

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

void ExportKey(Registry& reg, RootKey root, const std::string& path, std::string& out) {
  reg.SetRoot(root);
  if (!reg.OpenKey("\\" + path, false)) return;
  out += '[' + FullName(root, reg.CurrentPath()) + "]\n";
  for (const std::string& name : reg.GetValueNames()) {
    const std::string lhs = name.empty() ? std::string("@") : Quoted(name);
    switch (reg.GetDataType(name)) {
      case ValueType::String:
        out += lhs + '=' + Quoted(reg.ReadString(name)) + '\n';
        break;
      case ValueType::DWord:
        out += lhs + "=dword:" + Hex8(static_cast<uint32_t>(reg.ReadInteger(name))) + '\n';
        break;
      case ValueType::None:  // a type this system does not write
        break;
    }
  }
  out += '\n';
  const std::string base = reg.CurrentPath();
  for (const std::string& sub : reg.GetKeyNames())
    ExportKey(reg, root, base.empty() ? sub : base + '\\' + sub, out);
}

int Export(const std::vector<std::string>& args) {
  if (args.size() > 1) throw UsageError{"usage: kvreg export [KEY]"};
  std::string text = "REGEDIT4\n\n";
  Registry reg;
  {
    RegistryBatch snapshot(false);  // one consistent state; nothing is written
    if (args.empty()) {
      for (RootKey root : {RootKey::LocalMachine, RootKey::ClassesRoot, RootKey::CurrentUser})
        ExportKey(reg, root, "", text);
    } else {
      const KeyName key = KeyArgument(args[0]);
      OpenExisting(reg, key);
      ExportKey(reg, key.root, key.path, text);
    }
  }
  std::cout << Out(text);
  std::cout.flush();
  return std::cout ? kOk : kFailed;
}

// ---- import ----------------------------------------------------------------------------------

struct Op {
  enum Kind { CreateKey, RemoveKey, SetString, SetDword, RemoveValue } kind;
  KeyName key;
  std::string name, text;
  uint32_t number = 0;
};

// Parses REGEDIT4 text (Windows-1250) into the changes it describes.
class ImportParser {
 public:
  ImportParser(std::string_view text, std::string file) : text_(text), file_(std::move(file)) {}

  std::vector<Op> Parse() {
    std::vector<Op> ops;
    bool header = false;
    std::optional<KeyName> key;
    while (!AtEnd()) {
      SkipBlanks();
      if (AtEnd()) break;
      const char c = text_[pos_];
      if (c == '\r' || c == '\n') {
        EndOfLine();
        continue;
      }
      if (c == ';') {
        SkipRestOfLine();
        continue;
      }
      if (!header) {
        const std::string_view first = LineText();
        if (first != "REGEDIT4" && first != "Windows Registry Editor Version 5.00")
          Error("the file does not begin with REGEDIT4");
        header = true;
        SkipRestOfLine();
        continue;
      }
      if (c == '[') {
        key = KeyHeader(ops);
      } else if (c == '@' || c == '"') {
        if (!key) Error("a value outside of any key (after a [-KEY] line or before the first key)");
        ops.push_back(ValueLine(*key));
      } else {
        Error("expected [KEY], \"Name\"=... or @=...");
      }
    }
    if (!header) Error("the file is empty");
    return ops;
  }

 private:
  [[noreturn]] void Error(const std::string& message) const {
    throw Failure{file_ + ":" + std::to_string(line_) + ": " + message};
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  void SkipBlanks() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  // The rest of the current line, without the line break and trailing blanks.
  std::string_view LineText() const {
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    std::string_view line = text_.substr(pos_, end - pos_);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    return line;
  }
  void EndOfLine() {
    if (text_[pos_] == '\r') ++pos_;
    if (!AtEnd() && text_[pos_] == '\n') ++pos_;
    ++line_;
  }
  void SkipRestOfLine() {
    while (!AtEnd() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    if (!AtEnd()) EndOfLine();
  }
  // Only blanks or a comment may follow on the line.
  void FinishLine() {
    SkipBlanks();
    if (!AtEnd() && text_[pos_] != '\n' && text_[pos_] != '\r' && text_[pos_] != ';')
      Error("unexpected text after the value");
    SkipRestOfLine();
  }

  std::optional<KeyName> KeyHeader(std::vector<Op>& ops) {
    std::string_view inner = LineText();
    if (inner.size() < 2 || inner.back() != ']') Error("a key line must end with ']'");
    inner = inner.substr(1, inner.size() - 2);
    const bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    std::optional<KeyName> key = ParseKeyName(inner);
    if (!key) Error("unknown root key in [" + Out(inner) + "]");
    if (remove && key->path.empty()) Error("a root key cannot be deleted");
    ops.push_back(Op{remove ? Op::RemoveKey : Op::CreateKey, *key, {}, {}, 0});
    SkipRestOfLine();
    if (remove) return std::nullopt;
    return key;
  }

  // A quoted string at pos_; \\ and \" are escapes. It may span lines.
  std::string QuotedString() {
    ++pos_;  // opening quote
    std::string out;
    const int startLine = line_;
    while (true) {
      if (AtEnd()) {
        line_ = startLine;
        Error("missing closing double quote");
      }
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c == '\\' && !AtEnd() && (text_[pos_] == '\\' || text_[pos_] == '"')) {
        out += text_[pos_++];
        continue;
      }
      if (c == '\n') ++line_;
      out += c;
    }
  }

  Op ValueLine(const KeyName& key) {
    Op op{Op::SetString, key, {}, {}, 0};
    if (text_[pos_] == '@') {
      ++pos_;
    } else {
      op.name = QuotedString();  // "" is the default value too
    }
    SkipBlanks();
    if (AtEnd() || text_[pos_] != '=') Error("expected '=' after the value name");
    ++pos_;
    SkipBlanks();
    if (!AtEnd() && text_[pos_] == '"') {
      op.text = QuotedString();
    } else if (!AtEnd() && text_[pos_] == '-') {
      ++pos_;
      op.kind = Op::RemoveValue;
    } else if (text_.substr(pos_, 6) == "dword:") {
      pos_ += 6;
      size_t digits = 0;
      uint32_t v = 0;
      while (!AtEnd() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
        if (++digits > 8) Error("a dword has at most 8 hexadecimal digits");
        const char h = text_[pos_++];
        v = v * 16 +
            static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(h))
                                      ? h - '0'
                                      : std::tolower(static_cast<unsigned char>(h)) - 'a' + 10);
      }
      if (digits == 0) Error("expected hexadecimal digits after dword:");
      op.kind = Op::SetDword;
      op.number = v;
    } else {
      Error("unsupported value data (only \"strings\", dword:XXXXXXXX and - are supported)");
    }
    FinishLine();
    return op;
  }

  std::string_view text_;
  std::string file_;
  size_t pos_ = 0;
  int line_ = 1;
};

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
  std::string raw = ReadAll(file);
  if (raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
  std::optional<std::string> text = cp1250::FromUtf8(raw);
  if (!text) text = raw;  // not UTF-8: a Windows-1250 file
  const std::vector<Op> ops = ImportParser(*text, file == "-" ? "<stdin>" : file).Parse();

  Registry reg;
  RegistryBatch batch;  // all or nothing
  for (const Op& op : ops) {
    reg.SetRoot(op.key.root);
    const std::string path = "\\" + op.key.path;
    switch (op.kind) {
      case Op::RemoveKey:
        reg.DeleteKey(path);
        break;
      case Op::CreateKey:
        if (!reg.OpenKey(path, true))
          throw Failure{"cannot create key " + Out(FullName(op.key.root, op.key.path))};
        break;
      case Op::SetString:
      case Op::SetDword:
      case Op::RemoveValue:
        if (!reg.OpenKey(path, true))
          throw Failure{"cannot create key " + Out(FullName(op.key.root, op.key.path))};
        if (op.kind == Op::SetString) reg.WriteString(op.name, op.text);
        if (op.kind == Op::SetDword) reg.WriteInteger(op.name, static_cast<int32_t>(op.number));
        if (op.kind == Op::RemoveValue) reg.DeleteValue(op.name);
        break;
    }
  }
  batch.Commit();
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
  } catch (const ERegistryException& e) {
    std::cerr << "kvreg: " << Out(e.what()) << '\n';
    return kFailed;
  } catch (const std::exception& e) {
    std::cerr << "kvreg: " << e.what() << '\n';
    return kFailed;
  }
}
