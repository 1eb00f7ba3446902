// Each system's way of mapping a library into the process, behind the in-process servers.
#pragma once

#include <filesystem>

#include "platform/com.h"

namespace kv::com::loader {

// S_OK with *handle set; CO_E_DLLNOTFOUND when the file cannot be loaded, CO_E_ERRORINDLL when
// it is unfit to be mapped at all.
HRESULT Open(const std::filesystem::path& path, void** handle);
// Address of an exported symbol, or nullptr.
void* Symbol(void* handle, const char* name);
void Close(void* handle);

}  // namespace kv::com::loader
