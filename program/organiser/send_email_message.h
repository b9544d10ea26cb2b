// Sending a stored message (a MESSAGES record): as e-mail, as a news article or as a mass
// mailing to every contact of a category. The only way a stored message leaves the program;
// the message form and the script step "Send Email" call SendEmailMessage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class SENDMAILCLASS;

// Sends message `emailId`. inBuffer = 1: the calling thread's MESSAGES buffer holds it already;
// reload = 1 (or inBuffer = 0): it is fetched by id, and after a good send its LastDateSent
// becomes today and the record is saved. Answers 0 when sent; 1 when the message is missing
// (logged) or the mail (or news) settings are incomplete (an "Error!" box); else the send's
// result code. Sets the script variables "Mail" and "MailError" (and the Email... ones).
std::int32_t SendEmailMessage(std::int32_t emailId, std::uint8_t inBuffer, std::uint8_t reload);

// The message in the MESSAGES buffer as one e-mail (To, Cc and Bcc with several addresses
// each); answers the result of SENDMAILCLASS.SEND.
std::int32_t SendPlainEmail();

// The message in the MESSAGES buffer posted to the newsgroups of its "To" (NNTP, NEWS_HOST or
// the message's own news server); 0 when posted.
std::int32_t SendNewsMessage();

// The message in the MESSAGES buffer mailed to each contact of the category in EmailToGroup
// that has an address, one mail per contact so that no one sees the others; 0 when every
// mail went, else the first failure's code (15 when the category has nobody to mail).
std::int32_t SendMassMailing();

// A message text with its [variables] expanded.
std::string ExpandMessageBody(std::string_view text);

// Fills a fresh mail object with the mail settings: server, the sender as "name" <address>,
// return path, organisation and `mailer`. With `set_variables` the script variables
// "EmailHost", "EmailSenderName" and "EmailReturnPath" are set to what was used.
void FillMailSender(SENDMAILCLASS& mail, std::string_view mailer, bool set_variables);

// The mail settings still empty that every mail needs, named as the Options window's Email tab
// names them: "the SMTP mail host", "the e-mail reply-to address" or both joined by "and";
// empty when both are set.
std::string MissingMailSettings();
// The box text that stops `what` ("The message") from leaving while MissingMailSettings() names
// something: what is missing, and that it is entered in File > Options on the Email tab before
// `button` is pressed again. Empty when nothing is missing.
std::string MailNotSetUpText(std::string_view what, std::string_view button);

}  // namespace vx
