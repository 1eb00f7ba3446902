// The Windows entry: the command line arrives as UTF-16 and goes on as UTF-8, so that Czech
// text and file names arrive intact; the thread enters COM's single-threaded apartment, as a
// SAPI host does, before it creates the engine.
#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "apps/kvtts/kvtts_main.h"
#include "platform/win32/windows_api.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(kv::win32::Utf8(argv[i]));
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  // Text and audio pass standard input and output as they are.
  ::_setmode(::_fileno(stdin), _O_BINARY);
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // The apartment stays to the end: the engine's objects live as long as the process.
  return KvttsMain(argc, pointers.data());
}
