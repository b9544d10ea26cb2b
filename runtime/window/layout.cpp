#include "runtime/window/layout.h"

#include <cctype>
#include <charconv>

namespace vx {
namespace {

bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != word[i]) return false;
  }
  return text.size() == word.size() || text[word.size()] == ' ';
}

}  // namespace

std::string Layout::Text() const {
  switch (arrangement) {
    case Arrangement::FormRows:
      return "form";
    case Arrangement::Row:
      return "row";
    case Arrangement::Grid:
      return "grid " + std::to_string(columns);
    case Arrangement::Beside:
      return "beside";
    case Arrangement::Stacked:
      return "stacked";
    case Arrangement::Free:
      return "free";
  }
  return "form";
}

Layout Layout::Parse(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  if (StartsWithWord(text, "row")) return {Arrangement::Row, 0};
  if (StartsWithWord(text, "beside")) return {Arrangement::Beside, 0};
  if (StartsWithWord(text, "stacked")) return {Arrangement::Stacked, 0};
  if (StartsWithWord(text, "free")) return {Arrangement::Free, 0};
  if (StartsWithWord(text, "grid")) {
    std::string_view rest = text.substr(4);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    int columns = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), columns);
    // A grid without a usable width is one column: every control stays reachable.
    return {Arrangement::Grid, columns >= 1 ? columns : 1};
  }
  return {};
}

LayoutCell LayoutCursor::Place(ControlType type) {
  const int index = placed_++;
  switch (layout_.arrangement) {
    case Arrangement::Row:
    case Arrangement::Beside:
      return {1, index + 1};
    case Arrangement::Stacked:
      return {index + 1, 1};
    case Arrangement::Free:
      return {0, 0};  // placed by its own X, Y, Width and Height
    case Arrangement::Grid:
      return {index / layout_.columns + 1, index % layout_.columns + 1};
    case Arrangement::FormRows:
      break;
  }
  if (type == ControlType::Prompt) {
    ++row_;
    prompt_open_ = true;
    buttons_in_row_ = 0;
    return {row_, 1};
  }
  if (type == ControlType::Button) {
    if (buttons_in_row_ == 0) ++row_;
    prompt_open_ = false;
    return {row_, ++buttons_in_row_};
  }
  buttons_in_row_ = 0;
  if (prompt_open_ && IsFormField(type)) {
    prompt_open_ = false;
    return {row_, 2};
  }
  prompt_open_ = false;
  return {++row_, 1};
}

bool TakesCell(ControlType type) {
  switch (type) {
    case ControlType::Window:
    case ControlType::Menubar:
    case ControlType::Menu:
    case ControlType::Item:
    case ControlType::Toolbar:
    case ControlType::StatusBar:
    case ControlType::StatusZone:
    case ControlType::Tab:
    case ControlType::SizeGrip:
      return false;
    default:
      return true;
  }
}

bool ArrangesChildren(ControlType type) {
  switch (type) {
    case ControlType::Window:
    case ControlType::Group:
    case ControlType::Panel:
    case ControlType::Region:
    case ControlType::Tab:
    case ControlType::Option:
      return true;
    default:
      return false;
  }
}

bool IsFormField(ControlType type) {
  switch (type) {
    case ControlType::Entry:
    case ControlType::Text:
    case ControlType::Spin:
    case ControlType::Combo:
    case ControlType::DropList:
    case ControlType::List:
    case ControlType::String:
    case ControlType::Progress:
    // A row of fields or a block of them stands beside its prompt too ("Range:" From ... To ...).
    case ControlType::Region:
      return true;
    default:
      return false;
  }
}

}  // namespace vx
