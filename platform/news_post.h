// Posting a news article (NNTP POST) on a plain TCP connection of our own.
#pragma once

#include <string>

#include "platform/mail_transport.h"

namespace vx::platform {

// Greeting (200), AUTHINFO USER/PASS when a user is given, POST (340), the article with its
// lines dot-stuffed and the end mark, the server's 240, QUIT. `settings.host` is "name",
// "name:port" or "nntp://name[:port]"; the port is 119 unless given. Every wait ends by
// `settings.total_timeout` counted from the start (the connect by its own timeout too).
TransferOutcome PostNewsArticle(const TransferSettings& settings, const std::string& article);

// The article as it goes on the wire after POST: each line beginning with "." gets a second
// ".", the text ends with CR LF, then ".\r\n".
std::string DotStuffed(const std::string& article);

}  // namespace vx::platform
