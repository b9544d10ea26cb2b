// The rich-text editor's font window: typeface, size, style and colour of a character format,
// or the colour alone. Answers false when cancelled (the format is then as it was).
#pragma once

#include <string_view>

#include "runtime/window/rich_document.h"

namespace vx {

bool ChooseRichFont(std::string_view title, RichCharFormat& format, bool whole_font);

}  // namespace vx
