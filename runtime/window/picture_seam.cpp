#include "runtime/window/picture_seam.h"

#include <charconv>
#include <mutex>

#include "runtime/fixed_string.h"

namespace vx {
namespace {

std::mutex g_mutex;
PictureConversion g_format;
PictureConversion g_deformat;

std::string BuiltIn(std::string_view value, std::string_view picture) {
  if (picture.size() > 2 && (picture[1] == 's' || picture[1] == 'S')) {
    std::size_t width = 0;
    std::from_chars(picture.data() + 2, picture.data() + picture.size(), width);
    return std::string(ClipView(CutUtf8(value, width)));
  }
  return std::string(value);
}

}  // namespace

std::string FormatForScreen(std::string_view value, std::string_view picture) {
  PictureConversion f;
  {
    std::lock_guard l(g_mutex);
    f = g_format;
  }
  return f ? f(value, picture) : BuiltIn(value, picture);
}

std::string DeformatFromScreen(std::string_view screen, std::string_view picture) {
  PictureConversion f;
  {
    std::lock_guard l(g_mutex);
    f = g_deformat;
  }
  return f ? f(screen, picture) : BuiltIn(screen, picture);
}

void SetPictureConversions(PictureConversion format, PictureConversion deformat) {
  std::lock_guard l(g_mutex);
  g_format = std::move(format);
  g_deformat = std::move(deformat);
}

}  // namespace vx
