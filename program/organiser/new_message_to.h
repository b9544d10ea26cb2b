// Writing a new message to a contact: the contacts list opens the message form, registered as
// "UpdateMessages", to insert a message addressed to the highlighted contact.
//
// The form takes no arguments (it is reached by its registered name), so the contact travels
// beside it on the calling thread:
//
//   contacts list                          message form ("UpdateMessages")
//   NewMessageTo(C_.ClientID)  ---------->  at open, after priming the new record:
//     request InsertRecord, the id handed     const std::int32_t id = TakeNewMessageContact();
//     over, the form run on this thread       if (id != 0) AddressMessageToContact(id);
//
// An id is handed to the next form opened on the thread only: NewMessageTo withdraws it when the
// form returns without having taken it, so a later form opened another way starts empty.
#pragma once

#include <cstdint>

namespace vx {

// Runs "UpdateMessages" on this thread to insert a message to the contact `contact_id`. Answers
// the form's response (GLOBALRESPONSE), or RequestCancelled when the form is not registered.
long NewMessageTo(std::int32_t contact_id);

// The contact a new message of the form now opening on this thread is addressed to, 0 when
// none; taking it clears it.
std::int32_t TakeNewMessageContact();

// Addresses the message in the MESSAGES buffer to a contact: M_.ContactID, M_.EmailTo (the
// contact's address) and M_.EmailToName ("First Last", without surplus blanks). The contact is
// read by its id unless it stands in the CONTACT buffer already. Answers false (the message
// left as it was) when no such contact can be read.
bool AddressMessageToContact(std::int32_t contact_id);

}  // namespace vx
