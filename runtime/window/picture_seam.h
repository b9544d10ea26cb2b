// Where display pictures meet the window model: a use-variable's value turned into the text a
// control shows, and back. The picture module installs the real conversions; until then text
// pictures (@S) cut to their width and every other picture shows the value unchanged.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vx {

using PictureConversion = std::function<std::string(std::string_view value, std::string_view picture)>;

std::string FormatForScreen(std::string_view value, std::string_view picture);
std::string DeformatFromScreen(std::string_view screen, std::string_view picture);

// Installs the conversions (an empty function restores the built-in one).
void SetPictureConversions(PictureConversion format, PictureConversion deformat);

}  // namespace vx
