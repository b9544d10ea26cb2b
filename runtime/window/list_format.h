// List format strings: the per-column layout of a list control, parsed and written back.
//
// A column is written as: width, data justification (L R C D) with an optional "(indent)",
// then any of "*" (four colour fields follow the value), "I" or "J" (an icon field follows),
// "T" a tree column (a level field follows, after the icon), "F" fixed, "_" underline, "M"
// resizable, "|" right border, then "~header~" with its own justification and "(indent)",
// "@picture@", "#field#" and "E(fg,bg,selected fg,selected bg)". Example: 40L(2)M|~Date~C@d6b@#1#
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/pictures.h"

namespace vx {

struct ListColumn {
  int width = 0;
  char justify = 'L';
  int indent = 0;
  bool colors = false;  // the value is followed by normal fg, bg, selected fg, selected bg
  bool icon = false;    // an icon number follows the value (after the colours)
  bool transparent_icon = false;
  bool tree = false;  // a level follows (after the icon): the row's depth, negative contracted
  bool fixed = false;
  bool underline = false;
  bool resizable = false;
  bool right_border = false;
  std::string header;
  char header_justify = 'L';
  int header_indent = 0;
  std::string picture;  // "@d6b"; empty: shown as text
  int field = 0;        // number (from 1) of the column's value among a row's fields
  bool explicit_field = false;
  long normal_fg = -1, normal_bg = -1, selected_fg = -1, selected_bg = -1;  // E(...)

  int ColorField() const { return field + 1; }  // first of the four
  int IconField() const { return field + 1 + (colors ? 4 : 0); }
  int TreeField() const { return IconField() + (icon ? 1 : 0); }
  int NextField() const { return TreeField() + (tree ? 1 : 0); }
};

// The highest field number a column may name: no row has more fields, and the numbers of the
// fields that follow a column (colours, icon, the next column) are counted on from it.
inline constexpr int kMaxListField = 65535;

// The columns of a format. A number too large for its place (a width, indent or colour, or a
// field number past kMaxListField) is left at its default; when in_range is given, it tells
// whether every number fitted, so that a format read from a file can be refused.
std::vector<ListColumn> ParseListFormat(std::string_view format, bool* in_range = nullptr);

// A format read once, with each column's picture read too, for the lists that show it.
struct ListFormat {
  std::vector<ListColumn> columns;
  std::vector<TextPicture> pictures;  // by column
  bool in_range = true;               // as ParseListFormat tells it
};
// The format as read before (by any thread: reads are kept for the process), else read now.
std::shared_ptr<const ListFormat> ReadListFormat(std::string_view format);
std::string WriteListFormat(const std::vector<ListColumn>& columns);

// Replaces every date picture ("@D...", any case) of a format by `picture`, as lists do when
// they show dates in the user's format. `picture` is given without its "@" signs, as "D17".
std::string ReplaceDatePictures(std::string_view format, std::string_view picture);

}  // namespace vx
