// Modules over Windows' own: the handle of the module that holds a mark, its file name, and its
// Win32 resources (compiled with windres) through FindResource and LoadResource.
#include "platform/module.h"

#include "platform/win32/windows_api.h"

namespace kv::platform {
namespace {

HMODULE HandleOf(const void* address) {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      static_cast<LPCWSTR>(address), &module);
  return module;
}

}  // namespace

ModuleHandle::ModuleHandle(const unsigned char* begin, const unsigned char*)
    : begin_(reinterpret_cast<const unsigned char*>(HandleOf(begin))), table_({}) {}

std::optional<std::span<const uint8_t>> ModuleHandle::FindResource(std::string_view type,
                                                                   std::string_view name) const {
  const auto module = reinterpret_cast<HMODULE>(const_cast<unsigned char*>(begin_));
  // Names and types of string form compare without regard to case.
  const std::wstring wideType = win32::WideFromCp1250(type), wideName = win32::WideFromCp1250(name);
  // RCDATA is the predefined type that resource scripts name by that word.
  const bool rcdata =
      ::CompareStringOrdinal(wideType.c_str(), -1, L"RCDATA", -1, TRUE) == CSTR_EQUAL;
  HRSRC found = ::FindResourceW(module, wideName.c_str(), rcdata ? RT_RCDATA : wideType.c_str());
  if (found == nullptr) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module, found);
  const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (data == nullptr) return std::nullopt;
  return std::span<const uint8_t>(static_cast<const uint8_t*>(data),
                                  ::SizeofResource(module, found));
}

std::filesystem::path ModuleHandle::FileName() const {
  const auto module = reinterpret_cast<HMODULE>(const_cast<unsigned char*>(begin_));
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, name.data(), DWORD(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
}

std::optional<ModuleFile> ModuleFile::Open(const std::filesystem::path&) {
  return std::nullopt;  // the system's file properties read a module file's version here
}

}  // namespace kv::platform
