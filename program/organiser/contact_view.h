// What the contact lists read: each order walks one CONTACT key, and the category order walks
// only the contacts of one category (a range of the category key, so a category costs the reads
// of its own contacts).
#pragma once

#include <string>
#include <vector>

#include "framework/browse_class.h"
#include "runtime/storage/table_def.h"

namespace vx {

class ContactView final : public BrowseView {
 public:
  // Order n walks orders[n - 1]; order `category_order` walks the category key over the
  // contacts whose C_.ContactCategory is `category` (none while `has_category` is false).
  ContactView(std::vector<const storage::KeyDef*> orders, int category_order)
      : orders_(std::move(orders)), category_order_(category_order) {}

  bool has_category = true;
  std::string category;

  void Reset(int order) override;
  bool Next() override;
  long Position() const override;
  bool Fetch(long position) override;

 private:
  std::vector<const storage::KeyDef*> orders_;
  int category_order_;
  bool walking_ = false;
};

}  // namespace vx
