#include "tools/kvreg/regedit_text.h"

#include <cctype>
#include <cstdio>

#include "platform/cp1250.h"

namespace kv::regedit {

using platform::RegistryBatch;
using platform::ValueType;

namespace {

std::string Out(std::string_view text) {
  return cp1250::ToUtf8(text);
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

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
    throw RegeditError{file_ + ":" + std::to_string(line_) + ": " + message};
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

}  // namespace

std::string Hex8(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08x", v);
  return buf;
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

std::string DecodeRegeditBytes(std::string raw) {
  if (raw.starts_with("\xEF\xBB\xBF")) raw.erase(0, 3);
  std::optional<std::string> text = cp1250::FromUtf8(raw);
  return text ? std::move(*text) : std::move(raw);  // not UTF-8: a Windows-1250 file
}

std::vector<Op> ParseRegedit(std::string_view text, const std::string& file) {
  return ImportParser(text, file).Parse();
}

void ApplyRegedit(Registry& reg, const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    reg.SetRoot(op.key.root);
    const std::string path = "\\" + op.key.path;
    if (op.kind == Op::RemoveKey) {
      reg.DeleteKey(path);
      continue;
    }
    if (!reg.OpenKey(path, true))
      throw RegeditError{"cannot create key " + Out(FullName(op.key.root, op.key.path))};
    if (op.kind == Op::SetString) reg.WriteString(op.name, op.text);
    if (op.kind == Op::SetDword) reg.WriteInteger(op.name, static_cast<int32_t>(op.number));
    if (op.kind == Op::RemoveValue) reg.DeleteValue(op.name);
  }
}

void ImportRegedit(std::string raw, const std::string& file) {
  const std::vector<Op> ops = ParseRegedit(DecodeRegeditBytes(std::move(raw)), file);
  Registry reg;
  RegistryBatch batch;  // all or nothing
  ApplyRegedit(reg, ops);
  batch.Commit();
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

std::string ExportAll() {
  std::string text = "REGEDIT4\n\n";
  Registry reg;
  RegistryBatch snapshot(false);  // one consistent state; nothing is written
  for (RootKey root : {RootKey::LocalMachine, RootKey::ClassesRoot, RootKey::CurrentUser})
    ExportKey(reg, root, "", text);
  return text;
}

}  // namespace kv::regedit
