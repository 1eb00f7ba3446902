// libFuzzer target: bytes as a REGEDIT4 file given to `kvreg import`. A file that imports must
// export (as `kvreg export` writes it) to a text that imports again, and both describe the
// same keys and values as the changes the file asked for. Every input runs in one registry
// batch that is rolled back, so the registry is empty for the next.
#include <map>
#include <string>
#include <tuple>

#include "platform/cp1250.h"
#include "platform/registry.h"
#include "tests/fuzz/fuzz_check.h"
#include "tools/kvreg/regedit_text.h"

using kv::fuzz::Require;
using kv::regedit::Op;
namespace cp1250 = kv::cp1250;

namespace {

// What a registry holds, names folded as the registry compares them: per key, its values
// (type and data).
using Values = std::map<std::string, std::pair<int, std::string>>;
using Model = std::map<std::pair<int, std::string>, Values>;

std::pair<int, std::string> Folded(const kv::regedit::KeyName& key) {
  return {int(key.root), cp1250::LowerCase(key.path)};
}

// The key with every key above it up to its root.
void CreateKey(Model& model, const kv::regedit::KeyName& key) {
  const auto [root, path] = Folded(key);
  model[{root, ""}];
  for (size_t slash = path.find('\\'); slash != std::string::npos;
       slash = path.find('\\', slash + 1))
    model[{root, path.substr(0, slash)}];
  model[{root, path}];
}

void RemoveKey(Model& model, const kv::regedit::KeyName& key) {
  const auto [root, path] = Folded(key);
  for (auto it = model.begin(); it != model.end();) {
    const auto& [r, p] = it->first;
    const bool below = r == root && (p == path || p.starts_with(path + '\\'));
    it = below ? model.erase(it) : std::next(it);
  }
}

Model Apply(const std::vector<Op>& ops) {
  Model model;
  for (int root = 0; root < 3; ++root) model[{root, ""}];
  for (const Op& op : ops) {
    if (op.kind == Op::RemoveKey) {
      RemoveKey(model, op.key);
      continue;
    }
    CreateKey(model, op.key);
    Values& values = model[Folded(op.key)];
    const std::string name = cp1250::LowerCase(op.name);
    if (op.kind == Op::SetString) values[name] = {0, op.text};
    if (op.kind == Op::SetDword) values[name] = {1, std::to_string(op.number)};
    if (op.kind == Op::RemoveValue) values.erase(name);
  }
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<Op> ops;
  try {
    ops = kv::regedit::ParseRegedit(
        kv::regedit::DecodeRegeditBytes(std::string(kv::fuzz::Bytes(data, size))), "fuzz");
  } catch (const kv::regedit::RegeditError&) {
    return 0;  // refused with a message: nothing changed
  }
  kv::platform::RegistryBatch batch;  // never committed
  std::string exported;
  try {
    kv::platform::Registry reg;
    kv::regedit::ApplyRegedit(reg, ops);
    exported = cp1250::ToUtf8(kv::regedit::ExportAll());
  } catch (const kv::regedit::RegeditError&) {
    return 0;
  } catch (const kv::platform::ERegistryException&) {
    return 0;  // past the registry's limits: the import is refused as a whole
  }
  std::vector<Op> again;
  try {
    again = kv::regedit::ParseRegedit(kv::regedit::DecodeRegeditBytes(exported), "export");
  } catch (const kv::regedit::RegeditError& e) {
    std::fprintf(stderr, "%s\n", e.message.c_str());
    Require(false, "an export imports again");
  }
  Require(Apply(again) == Apply(ops), "the export holds the keys and values imported");
  return 0;
}
