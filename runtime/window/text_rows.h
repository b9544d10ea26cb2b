// Rows of texts that a window fills itself and a list shows: each row's fields in the order the
// list format numbers them (value, then colours and icon where the format says).
//
//   TextRows steps;
//   steps.rows.push_back({action, description});
//   window.List("80L~Action~@s20@|80L~Description~@s60@").From(&steps);
//
// A window that needs more per row (the record each row stands for) derives and keeps it beside.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "runtime/window/control.h"

namespace vx {

class TextRows : public ListSource {
 public:
  std::size_t Records() const override { return rows.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return rows.at(row); }

  std::vector<std::vector<std::string>> rows;
};

}  // namespace vx
