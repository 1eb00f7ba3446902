// Creating engine instances for Select.
#include "engine/engine_instance.h"

#include <memory>
#include <new>
#include <vector>

#include "engine/central.h"

namespace kv::engine {

namespace {

// Every instance of the process. Instances are never destroyed: the list is never freed
// either, so nothing of theirs runs at exit, when the thread's message loop (which their timers
// belong to) may already be gone. Apart from the instances themselves nothing accumulates:
// each holds a fixed set of objects, and the working memory of a text is released when the
// text ends.
std::vector<std::unique_ptr<TKVCmode>>& Instances() {
  static auto* instances = new std::vector<std::unique_ptr<TKVCmode>>();
  return *instances;
}

}  // namespace

com::HRESULT CreateEngineInstance(int32_t mode, const com::IID& centralIid, com::IUnknown* audio,
                                  void** central) {
  if (central == nullptr) return com::E_POINTER;
  *central = nullptr;
  if (!(centralIid == sapi::IID_ITTSCentralW) && !(centralIid == sapi::IID_ITTSCentralA))
    return com::E_NOINTERFACE;
  if (audio == nullptr) return com::E_INVALIDARG;
  TKVCmode* instance = nullptr;
  try {
    auto created = std::make_unique<TKVCmode>(mode);
    instance = created.get();
    Instances().push_back(std::move(created));
  } catch (const std::bad_alloc&) {
    return com::E_OUTOFMEMORY;
  } catch (...) {
    return com::E_FAIL;
  }
  instance->AttachAudio(audio);
  return instance->QueryInterface(centralIid, central);
}

}  // namespace kv::engine
