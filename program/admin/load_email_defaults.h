// Fills empty mail and news settings from the desktop's default mail account.
#pragma once

#include <string>

namespace vx {

// What the desktop knows of the user's mail account (empty texts where it knows nothing).
struct MailAccountDefaults {
  std::string server;
  std::string reply_to;
  std::string address;
  std::string owner;  // the registered owner name
};

// The defaults as the program's registry object reads them.
MailAccountDefaults ReadMailAccountDefaults();

// An empty EMAIL_HOST gets the server; when EMAIL_SENDERNAME and EMAIL_SENDER are both empty
// the name becomes the owner name; an empty EMAIL_SENDER gets the reply-to address, else the
// account's address; an empty NEWS_SENDER copies EMAIL_SENDER. Values already set are never
// replaced.
void ApplyEmailDefaults(const MailAccountDefaults& defaults);

// ApplyEmailDefaults(ReadMailAccountDefaults()).
void LoadEmailDefaults();

}  // namespace vx
