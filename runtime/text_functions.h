// The runtime's text built-ins (CLIP, UPPER, SUB, INSTRING, LEFT ...) over UTF-8 text.
//
// Positions and widths count bytes, as fixed-width fields do. Where a function cuts text it
// never splits a UTF-8 character: a cut that would land inside one moves to a character edge
// so that the piece it keeps stays whole (and never longer than asked).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "runtime/fixed_string.h"

namespace vx {

// Any text a built-in accepts: literals, std::string, views and fixed-width fields. Holds a view,
// so it lives only for the call it is passed to.
class TextArg {
 public:
  TextArg(std::string_view text) : text_(text) {}  // NOLINT: implicit, like the runtime's arguments
  TextArg(const char* text)
      : text_(text ? std::string_view(text) : std::string_view()) {}  // NOLINT
  TextArg(const std::string& text) : text_(text) {}                   // NOLINT
  template <std::size_t N>
  TextArg(const String<N>& text) : text_(text.view()) {}  // NOLINT
  template <std::size_t N>
  TextArg(const CString<N>& text) : text_(text.view()) {}  // NOLINT

  std::string_view view() const { return text_; }

 private:
  std::string_view text_;
};

// Text without trailing blanks.
std::string CLIP(TextArg text);

// Upper / lower case of ASCII letters and the accented Latin letters of U+00C0..U+00FE; each
// mapped letter keeps its byte length, so a fixed-width field never grows. Other text unchanged.
std::string UPPER(TextArg text);
std::string LOWER(TextArg text);

// Byte length of the text (a STRING(n) field is n long, padding included).
long LEN(TextArg text);

// length bytes from the 1-based position start.
// start < 0 counts from the end (-1 is the last byte); a negative start reaching before the
// text begins at 1. start 0, start past the end or length <= 0 give "". A length past the end
// stops at the end. A start inside a character moves on to the next character; an end inside
// one moves back, so the piece is whole UTF-8 and at most length bytes.
std::string SUB(TextArg text, long start, long length);

// 1-based byte position of search in text, or 0. The search tries positions start,
// start + step, ... (step > 0), or start, start + step, ... downwards (step < 0; start past
// the last possible position begins at the last one). An empty search, step 0 or a start
// outside the text give 0.
long INSTRING(TextArg search, TextArg text, long step = 1, long start = 1);

// Left-justified: leading blanks removed, padded with blanks to width (cut at width when
// longer). Without a width the result keeps the text's own length.
std::string LEFT(TextArg text);
std::string LEFT(TextArg text, long width);

// Right-justified: trailing blanks removed, blanks added in front up to width. A longer text
// keeps its last width bytes. Without a width the result keeps the text's own length.
std::string RIGHT(TextArg text);
std::string RIGHT(TextArg text, long width);

// Centred in width: blanks on both sides trimmed, the spare blanks split with the odd one on
// the right. A longer text is cut at width. Without a width the text's own length.
std::string CENTER(TextArg text);
std::string CENTER(TextArg text, long width);

// The text repeated to fill length bytes (default 255), cut at a character edge.
std::string ALL(TextArg text, long length = 255);

// True when the text, without surrounding blanks, is a number: an optional sign, digits with an
// optional decimal point (at least one digit) and nothing else.
bool NUMERIC(TextArg text);

}  // namespace vx
