// Fixed-width text fields as records and queues store them.
//
// String<N> is a STRING(N): always N bytes, blank-padded, cut at N. CString<N> is a CSTRING(N):
// at most N-1 bytes of text, no padding. Both hold UTF-8; widths count bytes, and a cut never
// splits a character. Comparisons ignore trailing blanks, as the runtime's do.
#pragma once

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vx {

// The longest prefix of text that fits in max_bytes without splitting a UTF-8 character.
inline std::string_view CutUtf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t n = max_bytes;
  // Back off over continuation bytes (10xxxxxx) to the start of the character that was cut.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n);
}

// Text without its trailing blanks (the runtime's CLIP). Eight blanks are passed at a time: a
// long field (a clipboard entry, notes) is mostly padding, and it is clipped at every compare.
inline std::string_view ClipView(std::string_view text) {
  std::size_t n = text.size();
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  while (n >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + n - 8, sizeof word);
    if (word != kBlanks) break;
    n -= 8;
  }
  while (n > 0 && text[n - 1] == ' ') --n;
  return text.substr(0, n);
}

// Compares two texts the way fixed fields compare: trailing blanks do not count.
inline std::strong_ordering CompareClipped(std::string_view a, std::string_view b) {
  const int c = ClipView(a).compare(ClipView(b));
  return c < 0   ? std::strong_ordering::less
         : c > 0 ? std::strong_ordering::greater
                 : std::strong_ordering::equal;
}

template <std::size_t N>
class String {
  static_assert(N > 0, "STRING(0) has no room");

 public:
  static constexpr std::size_t kSize = N;

  String() { std::memset(data_, ' ', N); }
  String(std::string_view text) { assign(text); }  // NOLINT: implicit like the runtime's assignment
  String(const char* text) { assign(text ? std::string_view(text) : std::string_view()); }
  String(const std::string& text) { assign(text); }

  String& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  String& operator=(const char* text) {
    assign(text ? std::string_view(text) : std::string_view());
    return *this;
  }
  String& operator=(const std::string& text) {
    assign(text);
    return *this;
  }

  void assign(std::string_view text) {
    const std::string_view cut = CutUtf8(text, N);
    // An empty view may have no data at all; memcpy must not be handed a null pointer.
    if (!cut.empty()) std::memcpy(data_, cut.data(), cut.size());
    std::memset(data_ + cut.size(), ' ', N - cut.size());
  }
  void clear() { std::memset(data_, ' ', N); }

  // All N bytes, padding included.
  std::string_view view() const { return {data_, N}; }
  // The text without trailing blanks.
  std::string_view clipped() const { return ClipView(view()); }
  std::string str() const { return std::string(clipped()); }
  bool blank() const { return clipped().empty(); }

  char* data() { return data_; }
  const char* data() const { return data_; }
  static constexpr std::size_t size() { return N; }

  friend bool operator==(const String& a, std::string_view b) {
    return ClipView(a.view()) == ClipView(b);
  }
  friend std::strong_ordering operator<=>(const String& a, std::string_view b) {
    return CompareClipped(a.view(), b);
  }
  template <std::size_t M>
  friend bool operator==(const String& a, const String<M>& b) {
    return a.clipped() == b.clipped();
  }
  template <std::size_t M>
  friend std::strong_ordering operator<=>(const String& a, const String<M>& b) {
    return CompareClipped(a.view(), b.view());
  }

 private:
  char data_[N];
};

template <std::size_t N>
class CString {
  static_assert(N > 1, "CSTRING(1) has no room for text");

 public:
  static constexpr std::size_t kSize = N;

  CString() { data_[0] = '\0'; }
  CString(std::string_view text) { assign(text); }  // NOLINT
  CString(const char* text) { assign(text ? std::string_view(text) : std::string_view()); }
  CString(const std::string& text) { assign(text); }

  CString& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  CString& operator=(const char* text) {
    assign(text ? std::string_view(text) : std::string_view());
    return *this;
  }
  CString& operator=(const std::string& text) {
    assign(text);
    return *this;
  }

  void assign(std::string_view text) {
    // Text stops at an embedded NUL, as a C string would.
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    const std::string_view cut = CutUtf8(text, N - 1);
    // An empty view may have no data at all; memcpy must not be handed a null pointer.
    if (!cut.empty()) std::memcpy(data_, cut.data(), cut.size());
    data_[cut.size()] = '\0';
  }
  void clear() { data_[0] = '\0'; }

  std::string_view view() const { return {data_, std::strlen(data_)}; }
  std::string_view clipped() const { return ClipView(view()); }
  std::string str() const { return std::string(clipped()); }
  bool blank() const { return clipped().empty(); }
  const char* c_str() const { return data_; }
  static constexpr std::size_t size() { return N; }

  friend bool operator==(const CString& a, std::string_view b) {
    return ClipView(a.view()) == ClipView(b);
  }
  friend std::strong_ordering operator<=>(const CString& a, std::string_view b) {
    return CompareClipped(a.view(), b);
  }

 private:
  char data_[N];
};

}  // namespace vx
