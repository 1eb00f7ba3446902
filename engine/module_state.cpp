#include "engine/module_state.h"

#include <mutex>
#include <vector>

namespace kv::engine {

com::InterlockedCounter& ObjectCount() {
  static com::InterlockedCounter count;
  return count;
}

namespace {

struct Keeper {
  std::mutex lock;
  std::vector<std::shared_ptr<void>> objects;
};

Keeper& TheKeeper() {
  static Keeper keeper;
  return keeper;
}

}  // namespace

void KeepObject(std::shared_ptr<void> object) {
  Keeper& keeper = TheKeeper();
  std::lock_guard guard(keeper.lock);
  keeper.objects.push_back(std::move(object));
}

}  // namespace kv::engine
