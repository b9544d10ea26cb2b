// Building the text of a mail or news article: RFC 5322 headers (non-ASCII words encoded as
// RFC 2047 UTF-8 words), a plain UTF-8 body, and a MIME multipart with base64 attachments.
// Every line ends in CR LF; nothing here dot-stuffs (the transports do).
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vx {

struct MailAddress {
  std::string name;     // display name, may be empty
  std::string email;    // the bare address
  bool quoted = false;  // the name stood in double quotes and keeps them in a header
};

// Text for one header line: CR, LF and other control characters become blanks, so a text
// from a stored message or a script variable can never start a header of its own.
std::string HeaderSafe(std::string_view text);

// "Name <a@b>", "\"Name\" <a@b>", "<a@b>" or "a@b"; blanks around the parts are dropped.
MailAddress ParseAddress(std::string_view text);

// An address field with several addresses separated by "," or ";" (outside quotes and angle
// brackets), each parsed; empty entries are skipped.
std::vector<MailAddress> SplitAddressList(std::string_view field);

// Whether the bare address may go into an SMTP command: an "@", no blanks, no control
// characters, no angle brackets.
bool IsSendableAddress(std::string_view email);

// A header text: unchanged when it is plain ASCII, else RFC 2047 "=?UTF-8?B?...?=" words
// (folded onto continuation lines so no word passes 75 characters).
std::string EncodeHeaderText(std::string_view text);

// "Name <a@b>" for a header: the name quoted when it holds special characters or was quoted
// where it was read, encoded when it is not ASCII; the bare "a@b" without a name.
std::string FormatAddress(const MailAddress& address);

// The RFC 5322 date of a moment, in the local time zone: "Thu, 10 Dec 2026 10:34:08 +0100".
std::string MailDate(std::time_t moment);

std::string Base64(std::string_view data);

// A text no other call of this process (or, very likely, of any other) answers: for MIME
// boundaries and message ids.
std::string UniqueToken();
// "<token@domain of the sender>" ("localhost" without a sender).
std::string NewMessageId(std::string_view sender);

struct MailAttachment {
  std::string file_name;  // the name the receiver sees (no folder)
  std::string content;    // the file's bytes
};

struct MailContent {
  // Headers in the order they are written (name, value already formatted). Values are made
  // header-safe again when written.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;  // UTF-8; any mix of CR LF, LF and CR line ends
  std::vector<MailAttachment> attachments;
};

// The whole message: headers, MIME headers, body (7bit when it is short-lined ASCII, else
// quoted-printable) and, with attachments, a multipart/mixed with one base64 part per file.
// `boundary` separates the parts; the caller makes it unique.
std::string BuildMessage(const MailContent& content, const std::string& boundary);

}  // namespace vx
