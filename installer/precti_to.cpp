#include "installer/precti_to.h"

#include <string>
#include <system_error>

#include "installer/installer_texts.h"
#include "installer/payload.h"
#include "platform/registry.h"

namespace kv::installer {
namespace fs = std::filesystem;

using platform::ERegistryException;
using platform::HKEY_CURRENT_USER;
using platform::Registry;

namespace {

std::string MenuKey() {
  return std::string(names::kMenuExtKey) + "\\" + Cp(names::kPrectiToName);
}

struct PageFile {
  const char* resource;
  const char* fileName;
};
constexpr PageFile kFiles[] = {{"PRECTITOHTM", "Precti_to.htm"},
                               {"PRECTITOVBS", "Precti_to.vbs"},
                               {"PRECTITO2HTM", "Precti_to_2.htm"}};

}  // namespace

bool PrectiToInstalled() {
  Registry reg(HKEY_CURRENT_USER);
  return reg.KeyExists(MenuKey());
}

bool InstallPrectiTo(const fs::path& folder) {
  for (const PageFile& file : kFiles)
    if (!ExtractResourceToFile(file.resource, "RCDATA", folder / file.fileName)) return false;
  try {
    Registry reg(HKEY_CURRENT_USER);
    if (!reg.OpenKey(MenuKey(), true)) return false;
    reg.WriteString("", cp1250::FromUtf8Lenient((folder / kFiles[0].fileName).string()));
    reg.WriteString("Contexts", "17");
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

bool UninstallPrectiTo() {
  try {
    Registry reg(HKEY_CURRENT_USER);
    if (!reg.OpenKey(MenuKey(), false)) return false;
    const fs::path page = cp1250::ToUtf8(reg.ReadString(""));
    reg.CloseKey();
    std::error_code ec;
    if (page.empty() || !fs::remove(page, ec)) return false;
    fs::path script = page;
    script.replace_extension(".vbs");
    fs::remove(script, ec);
    fs::remove(page.parent_path() / (page.stem().string() + "_2" + page.extension().string()), ec);
    if (reg.OpenKey(names::kMenuExtKey, false)) reg.DeleteKey(Cp(names::kPrectiToName));
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

}  // namespace kv::installer
