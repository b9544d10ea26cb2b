// The text viewer: a text file's lines in a fixed-pitch list, with print (through the previewer),
// search and close.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace vx {

struct TextFileView {
  std::string_view procedure;  // names the window in the error object and keeps its place
  std::string_view title;      // the window's title, also the printout's heading and job name
  std::string_view heading;    // the list column's heading
  std::filesystem::path file;
  // A file not there yet shows as empty instead of unreadable (a log nothing was written to).
  bool missing_is_empty = false;
};

// Shows the file's lines until the user closes the window; Print and Search are greyed while
// there are none. A file that cannot be read opens no window and answers false, unless
// `unreadable` is given: then the window opens, `unreadable` reports the problem and the window
// closes.
bool ViewTextFile(const TextFileView& view, const std::function<void()>& unreadable = {});

}  // namespace vx
