#include "runtime/storage/table_backend.h"

#include <atomic>
#include <mutex>

#include "runtime/storage/file.h"

namespace vx::storage {

namespace {

std::mutex store_mutex;
std::shared_ptr<TableStore>& Owned() {
  static auto* store = new std::shared_ptr<TableStore>();
  return *store;
}
std::atomic<TableStore*> current{nullptr};

}  // namespace

std::shared_ptr<TableStore> InstallTableStore(std::shared_ptr<TableStore> store) {
  std::lock_guard<std::mutex> lock(store_mutex);
  std::shared_ptr<TableStore> previous = std::move(Owned());
  Owned() = std::move(store);
  current.store(Owned().get(), std::memory_order_release);
  return previous;
}

TableStore* InstalledTableStore() { return current.load(std::memory_order_acquire); }

TableBackend* File::Backend() const {
  if (def_.driver == Driver::Basic || def_.driver == Driver::Ascii) return nullptr;
  TableStore* store = InstalledTableStore();
  return store ? &store->TableFor(*this) : nullptr;
}

}  // namespace vx::storage
