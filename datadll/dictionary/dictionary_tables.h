// Every table of the data library, in the fixed order in which its managers are initialised and
// killed: the first group, then the second.
#pragma once

#include <span>

#include "runtime/storage/table_def.h"

namespace vx {

std::span<const storage::TableDef* const> DictionaryTables();
// How many of DictionaryTables() belong to the first group.
inline constexpr std::size_t kFirstGroupTableCount = 19;

}  // namespace vx
