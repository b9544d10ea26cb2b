// The Options window's "Test Settings": one mail from the user to the user through the mail
// settings as they stand on screen.
#pragma once

namespace vx {

// Sends "Test E-mail" from EMAIL_SENDER (with EMAIL_SENDERNAME) to the same address through
// EMAIL_HOST and says how it went ("Success", or "Warning" with the mail class's error text).
// Without a reply-to address or a host it says so and sends nothing.
void TestMailSettings();

}  // namespace vx
