// Keeps a library loaded for a test: loads the file named on the command line, says "loaded"
// and holds it until its standard input ends.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  HMODULE library = ::LoadLibraryW(argv[1]);
  if (library == nullptr) return 1;
  std::puts("loaded");
  std::fflush(stdout);
  while (std::getchar() != EOF) {
  }
  ::FreeLibrary(library);
  return 0;
}
