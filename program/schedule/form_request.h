// The look a record form takes from its request: its title, and for viewing or deleting every
// field greyed, OK hidden when viewing, and Cancel reading "Cl&ose".
#pragma once

#include <string>
#include <string_view>

namespace vx {

class Window;

// "New Holiday", "Edit Holiday", "Delete Holiday", "View Holiday" for the noun "Holiday".
std::string FormTitle(long request, std::string_view noun);
// Sets the title and, for viewing or deleting, greys every field of the window.
void ApplyFormRequest(Window& window, long request, std::string_view noun, int ok, int cancel);

}  // namespace vx
