// What a driven list shows a column at a time: the texts, or the icons, of one of its columns
// in every row from the first, for comparing with a whole expected column at once.
#pragma once

#include <string>
#include <vector>

#include "support/test_driver.h"

namespace vx::test {

inline std::vector<std::string> ColumnTexts(const DriverControl& list, int column) {
  std::vector<std::string> out;
  for (std::size_t row = 1; row <= list.Rows(); ++row)
    out.push_back(list.Cell(static_cast<long>(row), column));
  return out;
}

inline std::vector<std::string> ColumnIcons(const DriverControl& list, int column) {
  std::vector<std::string> out;
  for (std::size_t row = 1; row <= list.Rows(); ++row)
    out.push_back(list.CellDetail(static_cast<long>(row), column).icon);
  return out;
}

}  // namespace vx::test
