// The Windows API for the code that works over it. Include it before the system's own headers:
// the names that Windows defines as macros and our declarations use too (the COM results, the
// registry roots, FindResource) are undefined here, the roots kept as constants of their own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <string_view>

namespace kv::win32 {
inline const HKEY kLocalMachine = HKEY_LOCAL_MACHINE;
inline const HKEY kClassesRoot = HKEY_CLASSES_ROOT;
inline const HKEY kCurrentUser = HKEY_CURRENT_USER;
}  // namespace kv::win32

#undef HKEY_LOCAL_MACHINE
#undef HKEY_CLASSES_ROOT
#undef HKEY_CURRENT_USER
#undef FindResource
#undef S_OK
#undef S_FALSE
#undef E_NOTIMPL
#undef E_NOINTERFACE
#undef E_POINTER
#undef E_FAIL
#undef E_UNEXPECTED
#undef E_OUTOFMEMORY
#undef E_INVALIDARG
#undef CLASS_E_NOAGGREGATION
#undef CLASS_E_CLASSNOTAVAILABLE
#undef REGDB_E_CLASSNOTREG
#undef SELFREG_E_CLASS
#undef CO_E_DLLNOTFOUND
#undef CO_E_ERRORINDLL
#undef RPC_E_WRONG_THREAD

namespace kv::win32 {

// UTF-8 <-> UTF-16 for the wide calls. Invalid input gives replacement characters.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// Windows-1250 (the system's text) <-> UTF-16.
std::wstring WideFromCp1250(std::string_view text);
std::string Cp1250FromWide(std::wstring_view wide);

}  // namespace kv::win32
