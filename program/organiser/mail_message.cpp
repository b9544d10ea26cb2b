#include "program/organiser/mail_message.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <random>
#include <sstream>

namespace vx {
namespace {

constexpr std::size_t kLongestLine = 998;  // octets a mail line may hold, CR LF not counted
constexpr std::size_t kEncodedChunk = 39;  // input bytes per encoded word (52 base64 characters)

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Line ends of any kind become CR LF.
std::string CrLfLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

bool HasLongLine(std::string_view crlf_text) {
  std::size_t run = 0;
  for (const char c : crlf_text) {
    run = c == '\r' || c == '\n' ? 0 : run + 1;
    if (run > kLongestLine) return true;
  }
  return false;
}

// Quoted-printable of CR LF text: line ends stay hard breaks, long lines get soft breaks.
std::string QuotedPrintable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t column = 0;
  const auto put = [&](std::string_view piece) {
    if (column + piece.size() > 75) {
      out += "=\r\n";
      column = 0;
    }
    out += piece;
    column += piece.size();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\r\n";
      column = 0;
      ++i;
      continue;
    }
    const bool next_is_end = i + 1 >= text.size() || text[i + 1] == '\r';
    const bool plain =
        (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !next_is_end);
    if (plain) {
      put(std::string(1, static_cast<char>(c)));
    } else {
      const char escaped[3] = {'=', kHex[c >> 4], kHex[c & 15]};
      put(std::string_view(escaped, 3));
    }
  }
  return out;
}

std::string Base64Lines(std::string_view data) {
  const std::string flat = Base64(data);
  std::string out;
  for (std::size_t i = 0; i < flat.size(); i += 76) out += flat.substr(i, 76) + "\r\n";
  return out;
}

// The length of the longest start of `text` of at most `limit` bytes that does not cut a
// UTF-8 character.
std::size_t Utf8Cut(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

bool NeedsQuotes(std::string_view name) {
  for (const char c : name) {
    if (std::string_view("()<>[]:;@\\,.\"").find(c) != std::string_view::npos) return true;
  }
  return false;
}

// A file name for Content-Disposition: quoted ASCII, or the RFC 2231 form for UTF-8.
std::string FileNameParameter(std::string_view name) {
  if (IsAscii(name)) {
    std::string quoted;
    for (const char c : name) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    return "filename=\"" + quoted + "\"";
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "filename*=UTF-8''";
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) || c == '.' || c == '-' || c == '_') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// The Content-Type and transfer encoding of a text body, and the body encoded.
std::string TextPart(std::string_view body) {
  const std::string lines = CrLfLines(body);
  std::string out = "Content-Type: text/plain; charset=UTF-8\r\n";
  if (IsAscii(lines) && !HasLongLine(lines)) {
    out += "Content-Transfer-Encoding: 7bit\r\n\r\n" + lines;
  } else {
    out += "Content-Transfer-Encoding: quoted-printable\r\n\r\n" + QuotedPrintable(lines);
  }
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
  return out;
}

}  // namespace

std::string HeaderSafe(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = ' ';
  }
  return out;
}

MailAddress ParseAddress(std::string_view text) {
  text = Trim(text);
  MailAddress out;
  const std::size_t open = text.rfind('<');
  const std::size_t close = text.rfind('>');
  if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
    out.email = std::string(Trim(text.substr(open + 1, close - open - 1)));
    std::string_view name = Trim(text.substr(0, open));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
      name = name.substr(1, name.size() - 2);
      out.quoted = true;
    }
    out.name = std::string(name);
  } else {
    out.email = std::string(text);
  }
  return out;
}

std::vector<MailAddress> SplitAddressList(std::string_view field) {
  std::vector<MailAddress> out;
  bool quoted = false;
  int angle = 0;
  std::size_t start = 0;
  const auto take = [&](std::size_t end) {
    const std::string_view part = Trim(field.substr(start, end - start));
    if (!part.empty()) out.push_back(ParseAddress(part));
    start = end + 1;
  };
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && c == '<')
      ++angle;
    else if (!quoted && c == '>' && angle > 0)
      --angle;
    else if (!quoted && angle == 0 && (c == ',' || c == ';'))
      take(i);
  }
  take(field.size());
  return out;
}

bool IsSendableAddress(std::string_view email) {
  if (email.find('@') == std::string_view::npos) return false;
  for (const char c : email) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '<' || c == '>' || c == ',' || c == ';' || c == '"')
      return false;
  }
  return true;
}

std::string EncodeHeaderText(std::string_view text) {
  const std::string safe = HeaderSafe(text);
  if (IsAscii(safe)) return safe;
  std::string out;
  std::string_view rest = safe;
  while (!rest.empty()) {
    const std::size_t n = Utf8Cut(rest, kEncodedChunk);
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(rest.substr(0, n == 0 ? 1 : n)) + "?=";
    rest.remove_prefix(n == 0 ? 1 : n);
  }
  return out;
}

std::string FormatAddress(const MailAddress& address) {
  const std::string email = HeaderSafe(address.email);
  const std::string name = HeaderSafe(address.name);
  if (Trim(name).empty()) return email;
  std::string shown;
  if (!IsAscii(name)) {
    shown = EncodeHeaderText(name);
  } else if (address.quoted || NeedsQuotes(name)) {
    shown = "\"";
    for (const char c : name) {
      if (c == '"' || c == '\\') shown += '\\';
      shown += c;
    }
    shown += "\"";
  } else {
    shown = name;
  }
  return shown + " <" + email + ">";
}

std::string MailDate(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const long offset = local.tm_gmtoff / 60;
  const long magnitude = offset < 0 ? -offset : offset;
  char text[64];
  std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday],
                local.tm_mday, kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour,
                local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
  return text;
}

std::string Base64(std::string_view data) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((data.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < data.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, data.size() - i);
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      v = (v << 8) | (k < n ? static_cast<unsigned char>(data[i + k]) : 0);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kDigits[(v >> (18 - 6 * k)) & 63] : '=';
    }
  }
  return out;
}

std::string UniqueToken() {
  static std::mt19937_64 random(std::random_device{}());
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::ostringstream out;
  out << std::hex << std::chrono::system_clock::now().time_since_epoch().count() << '.' << random();
  return out.str();
}

std::string NewMessageId(std::string_view sender) {
  const std::size_t at = sender.rfind('@');
  const std::string domain =
      at == std::string_view::npos ? "localhost" : HeaderSafe(sender.substr(at + 1));
  return "<" + UniqueToken() + "@" + domain + ">";
}

std::string BuildMessage(const MailContent& content, const std::string& boundary) {
  std::string out;
  for (const auto& [name, value] : content.headers) {
    // A folded encoded word keeps its own CR LF SP continuation; anything else is one line.
    std::string safe;
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (value.compare(i, 3, "\r\n ") == 0) {
        safe += "\r\n ";
        i += 2;
      } else {
        const auto u = static_cast<unsigned char>(value[i]);
        safe += u < 0x20 || u == 0x7F ? ' ' : value[i];
      }
    }
    out += HeaderSafe(name) + ": " + safe + "\r\n";
  }
  out += "MIME-Version: 1.0\r\n";
  if (content.attachments.empty()) return out + TextPart(content.body);

  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
  out += "This is a multi-part message in MIME format.\r\n";
  out += "--" + boundary + "\r\n" + TextPart(content.body);
  for (const MailAttachment& file : content.attachments) {
    out += "--" + boundary + "\r\n";
    out += "Content-Type: application/octet-stream\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: attachment; " + FileNameParameter(HeaderSafe(file.file_name)) +
           "\r\n\r\n";
    out += Base64Lines(file.content);
  }
  out += "--" + boundary + "--\r\n";
  return out;
}

}  // namespace vx
