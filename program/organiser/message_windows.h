// The stored messages' windows: the list "E-mail Messages" (BrowseMessages) and the form of one
// message (UpdateMessages), an e-mail to an address, a post to a newsgroup or a mass mailing to
// a contact category. Both are registered by these names: the step editor picks a message for
// its "Send Email" step from the list started to select, and makes a new one with the form.
#pragma once

#include <cstdint>

namespace vx {

// The list of every message, in four orders (id, contact, subject, last date sent), with New,
// Copy, Edit and Delete through UpdateMessages and "Send E-mail", which queues the highlighted
// message for Main's tick to send. One such window per program unless started to select; then
// Select leaves the message in the MESSAGES buffer and its id and "subject - to" in the SCR
// buffer (and in VXD while GLO_SCRIPTWIZARDMODE is 1).
void BrowseMessages();

// The form of the message in the MESSAGES buffer, by the thread's request (the caller primes the
// buffer of an insert). A non-zero `contactId` addresses the message to that contact (read by
// its id unless the CONTACT buffer holds it already). "&Send Now" sends what the form shows.
void UpdateMessages(std::int32_t contactId = 0);

// Appends a "Send Email" step for message `email_id`, due now, to the active script queue and
// shows "Sending Email..." in Main's status bar; the tick that runs it fetches the message, sends
// it and stamps its LastDateSent. Answers false, queueing nothing, for id 0.
bool QueueMessageToSend(std::int32_t email_id);

}  // namespace vx
