#include "program/script_engine/log_windows.h"

#include <cerrno>
#include <fstream>

#include "program/script_engine/file_action_support.h"
#include "program/script_engine/window_search.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/errors.h"

namespace vx {
namespace {

// The windows as the window search lists them: the top-level windows refill TopWindowList,
// the children of one window ChildWindowList.
std::vector<ListedWindow> TopWindows() {
  ListTopWindows();
  std::vector<ListedWindow> out;
  for (const TopWindowList_RECORD& w : TopWindowList)
    out.push_back({w.Title.str(), w.ClassName.str(), w.Handle});
  return out;
}

std::vector<ListedWindow> ChildWindows(std::int64_t parent) {
  ListChildWindows(static_cast<std::int32_t>(parent));
  std::vector<ListedWindow> out;
  for (const ChildWindowList_RECORD& w : ChildWindowList)
    out.push_back({w.Title.str(), w.ClassName.str(), w.Handle});
  return out;
}

// A text in a column of `width` bytes: cut without splitting a character, padded with blanks;
// a line break in a title would split the line, so it becomes a blank.
void Column(std::string& line, std::string_view text, std::size_t width) {
  const std::string_view cut = CutUtf8(text, width);
  for (char c : cut) line += (c == '\r' || c == '\n') ? ' ' : c;
  line.append(width - cut.size(), ' ');
}

// A title as the window list keeps it: at most 254 bytes.
std::string ListTitle(const std::string& title) { return std::string(CutUtf8(title, 254)); }

constexpr std::size_t kTitleWidth = 40, kHandleWidth = 12, kClassWidth = 20;

std::string WindowLine(const ListedWindow& window) {
  std::string line;
  Column(line, window.title, kTitleWidth);
  Column(line, std::to_string(window.handle), kHandleWidth);
  return std::string(ClipView(line));
}

std::string ChildLine(const ListedWindow& child) {
  std::string line(kTitleWidth + kHandleWidth, ' ');
  Column(line, child.title, kTitleWidth);
  Column(line, child.class_name, kClassWidth);
  Column(line, std::to_string(child.handle), kHandleWidth);
  return std::string(ClipView(line));
}

}  // namespace

std::int32_t LogWindows(std::string_view File) {
  const std::filesystem::path path = ScriptPath(File);
  if (path.empty()) {
    SetFileActionError(std::make_error_code(std::errc::no_such_file_or_directory), File);
    return 0;
  }
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    SetFileActionError(errno != 0 ? std::error_code(errno, std::generic_category())
                                  : std::make_error_code(std::errc::io_error),
                       File);
    return 0;
  }
  std::vector<ListedWindow> windows = TopWindows();
  if (windows.size() > kMostLoggedWindows) windows.resize(kMostLoggedWindows);
  // Children appended below are listed in turn, so the list grows while it is walked.
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const ListedWindow window = windows[i];
    out << WindowLine(window) << '\n';
    for (const ListedWindow& child : ChildWindows(window.handle)) {
      out << ChildLine(child) << '\n';
      if (child.class_name.find("Win") != std::string::npos && windows.size() < kMostLoggedWindows)
        windows.push_back(
            {ListTitle(child.title + " (Child of " + std::string(ClipView(window.title)) + ")"),
             child.class_name, child.handle});
    }
  }
  out.close();
  if (out.fail()) {
    SetFileActionError(std::make_error_code(std::errc::io_error), File);
    return 0;
  }
  storage::ClearError();
  return static_cast<std::int32_t>(windows.size());
}

}  // namespace vx
