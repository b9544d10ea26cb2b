#include "runtime/text_functions.h"

#include <algorithm>

namespace vx {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The first character edge at or after pos.
std::size_t EdgeForward(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsContinuation(text[pos])) ++pos;
  return pos;
}

std::string_view TrimLeft(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && text[n] == ' ') ++n;
  return text.substr(n);
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(CutUtf8(text, width));
  out.append(width - out.size(), ' ');
  return out;
}

// Maps ASCII letters, and the two-byte Latin-1 letters (lead byte 0xC3), from one case to the
// other. from_lo/from_hi bound the trail bytes of the source case; 0x97/0xB7 (the multiplication
// and division signs) sit inside those ranges and are not letters.
std::string MapCase(std::string_view text, bool to_upper) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (c < 0x80) {
      if (to_upper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
      if (!to_upper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
      continue;
    }
    if (c == 0xC3 && i + 1 < out.size()) {
      const unsigned char t = static_cast<unsigned char>(out[i + 1]);
      if (to_upper && t >= 0xA0 && t <= 0xBE && t != 0xB7) out[i + 1] = static_cast<char>(t - 0x20);
      if (!to_upper && t >= 0x80 && t <= 0x9E && t != 0x97)
        out[i + 1] = static_cast<char>(t + 0x20);
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string CLIP(TextArg text) { return std::string(ClipView(text.view())); }

std::string UPPER(TextArg text) { return MapCase(text.view(), true); }
std::string LOWER(TextArg text) { return MapCase(text.view(), false); }

long LEN(TextArg text) { return static_cast<long>(text.view().size()); }

std::string SUB(TextArg arg, long start, long length) {
  const std::string_view text = arg.view();
  const long size = static_cast<long>(text.size());
  if (length <= 0 || start == 0 || start > size) return {};
  if (start < 0) start = std::max(1L, size + start + 1);
  const std::size_t from = EdgeForward(text, static_cast<std::size_t>(start - 1));
  const std::string_view rest = text.substr(from);
  // The length counts from the asked start; moving forward over a split character shortens it.
  const long used = static_cast<long>(from) - (start - 1);
  if (length <= used) return {};
  return std::string(CutUtf8(rest, static_cast<std::size_t>(length - used)));
}

long INSTRING(TextArg search_arg, TextArg text_arg, long step, long start) {
  const std::string_view search = search_arg.view();
  const std::string_view text = text_arg.view();
  if (search.empty() || step == 0 || search.size() > text.size()) return 0;
  const long last = static_cast<long>(text.size() - search.size()) + 1;  // last 1-based start
  if (step > 0) {
    if (start < 1) start = 1;
    for (long pos = start; pos <= last; pos += step) {
      if (text.compare(static_cast<std::size_t>(pos - 1), search.size(), search) == 0) return pos;
    }
    return 0;
  }
  if (start < 1) return 0;
  for (long pos = std::min(start, last); pos >= 1; pos += step) {
    if (text.compare(static_cast<std::size_t>(pos - 1), search.size(), search) == 0) return pos;
  }
  return 0;
}

std::string LEFT(TextArg text) { return LEFT(text, LEN(text)); }

std::string LEFT(TextArg text, long width) {
  if (width <= 0) return {};
  return Padded(TrimLeft(text.view()), static_cast<std::size_t>(width));
}

std::string RIGHT(TextArg text) { return RIGHT(text, LEN(text)); }

std::string RIGHT(TextArg text, long width) {
  if (width <= 0) return {};
  std::string_view body = ClipView(text.view());
  const std::size_t w = static_cast<std::size_t>(width);
  if (body.size() > w) body = body.substr(EdgeForward(body, body.size() - w));
  std::string out(w - body.size(), ' ');
  out.append(body);
  return out;
}

std::string CENTER(TextArg text) { return CENTER(text, LEN(text)); }

std::string CENTER(TextArg text, long width) {
  if (width <= 0) return {};
  const std::size_t w = static_cast<std::size_t>(width);
  const std::string_view body = CutUtf8(ClipView(TrimLeft(text.view())), w);
  std::string out((w - body.size()) / 2, ' ');
  out.append(body);
  out.append(w - out.size(), ' ');
  return out;
}

std::string ALL(TextArg arg, long length) {
  const std::string_view text = arg.view();
  if (length <= 0 || text.empty()) return {};
  const std::size_t n = static_cast<std::size_t>(length);
  std::string out;
  out.reserve(n + text.size());
  while (out.size() < n) out.append(text);
  return std::string(CutUtf8(out, n));
}

bool NUMERIC(TextArg arg) {
  std::string_view text = ClipView(TrimLeft(arg.view()));
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  bool digit = false, point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

}  // namespace vx
