// What a front end sends to the model when the user has changed a rich edit control: the
// selection and the document in one text, "start end" on the first line and the RTF after it,
// so that the model never holds a document from one moment and a selection from another.
#pragma once

#include <string>
#include <string_view>

namespace vx {

struct RichEditInput {
  long start = 0, end = 0;
  std::string rtf;
};

std::string WriteRichEditInput(const RichEditInput& input);
// False for a text that is not of that form (the model then keeps what it had).
bool ReadRichEditInput(std::string_view text, RichEditInput& input);

}  // namespace vx
