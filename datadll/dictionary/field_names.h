// The dictionary's name of a record field from its address, as a form names the variable behind
// one of its controls: "HOL:Holiday" for &HOL.Holiday.
#pragma once

#include <string>

namespace vx {

// "PREFIX:Name" when `address` is a field of a table's buffer on the calling thread; "" for
// any other variable.
std::string FieldNameOf(const void* address);

}  // namespace vx
