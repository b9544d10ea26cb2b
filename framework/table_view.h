// A browse's view of a stored table: each sort order walks one key (or the file order), reading
// every record into the table's record buffer.
#pragma once

#include <vector>

#include "framework/browse_class.h"
#include "runtime/storage/file.h"

namespace vx {

class TableView final : public BrowseView {
 public:
  // Order n walks orders[n - 1]; a null key walks the file order.
  TableView(storage::File& file, std::vector<const storage::KeyDef*> orders)
      : file_(file), orders_(std::move(orders)) {}

  void Reset(int order) override;
  bool Next() override { return file_.Next() == 0; }
  long Position() const override { return static_cast<long>(file_.Position()); }
  bool Fetch(long position) override { return position != 0 && file_.GetPosition(position) == 0; }

 private:
  storage::File& file_;
  std::vector<const storage::KeyDef*> orders_;
};

}  // namespace vx
