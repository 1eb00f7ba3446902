// regsvr [-u] LIBRARY: loads an in-process server library and calls its DllRegisterServer,
// or with -u its DllUnregisterServer, then prints the result code.
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "platform/com.h"

namespace {

// Asked for (--help) on standard output; after a wrong command line on standard error.
int Usage(std::ostream& out = std::cerr) {
  out << "Usage: regsvr [-u] LIBRARY\n"
         "Registers the in-process server LIBRARY (calls its DllRegisterServer).\n"
         "\n"
         "Options:\n"
         "  -u, /u       unregister it instead (calls its DllUnregisterServer)\n"
         "  -h, --help   show this text\n"
         "\n"
         "Exit status: 0 done, 1 the library failed to load or to (un)register, 2 wrong usage.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv::com;
  bool unregister = false;
  std::string library;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-u") == 0 || std::strcmp(argv[i], "/u") == 0)
      unregister = true;
    else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0)
      return Usage(std::cout), 0;
    else if (library.empty())
      library = argv[i];
    else
      return Usage();
  }
  if (library.empty()) return Usage();

  // A name without a folder would be looked up on the library search path: take the file.
  std::filesystem::path path(library);
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) path = std::filesystem::absolute(path, ec);

  std::shared_ptr<InprocServer> server;
  HRESULT hr = InprocServer::FromFile(path, &server);
  if (Failed(hr)) {
    std::cerr << "regsvr: cannot load " << library << " as an in-process server ("
              << ResultToString(hr) << ")\n";
    return 1;
  }
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  auto function = reinterpret_cast<DllRegisterServerFn>(server->Symbol(entry));
  if (function == nullptr) {
    std::cerr << "regsvr: " << library << " has no " << entry << "\n";
    return 1;
  }
  hr = function();
  std::cout << entry << " in " << path.string() << ": " << ResultToString(hr)
            << (Succeeded(hr) ? " (succeeded)" : " (failed)") << "\n";
  return Succeeded(hr) ? 0 : 1;
}
