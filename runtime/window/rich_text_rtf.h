// Reading and writing a RichDocument as RTF, for the part of RTF the document holds: fonts,
// sizes, bold, italic, underline, strikeout, colours, raised and lowered text, paragraph
// alignment, indents, tab stops and bullets.
//
// The writer gives 7-bit text: "\", "{" and "}" escaped, tabs as \tab, every character beyond
// ASCII as \uN with "?" for readers that know no Unicode, each run in a group of its own with
// its whole format, and the bullet as an ignorable \*\pn destination (so a reader that skips
// what it does not know shows the paragraph's text and no stray bullet character).
//
// The reader takes what the writer gives and the usual RTF of other programs: it skips groups
// it does not know (\*, font and colour tables once read, style sheets, pictures, document
// information), decodes \'hh as Windows-1252 and \uN with its \ucN fallback, and ignores control
// words outside the subset. Text that is not RTF, or whose braces do not balance, is refused.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/window/rich_document.h"

namespace vx {

std::string WriteRtf(const RichDocument& doc);
std::optional<RichDocument> ReadRtf(std::string_view rtf);

// A text whose RTF escapes "\", "{", "}" and every non-ASCII character: for splicing plain text
// into an RTF document (a merged field's value).
std::string RtfEscape(std::string_view text);

}  // namespace vx
