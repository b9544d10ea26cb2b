// The small window that asks what to search for in a list of text lines.
#pragma once

#include <string>

namespace vx {

struct SearchRequest {
  std::string text;  // what was last searched for; the window starts with it
  bool match_case = false;
};

// The window "Search": the text and "Match case"; false when cancelled.
bool AskSearchText(SearchRequest& request);

}  // namespace vx
