#include "program/organiser/new_message_to.h"

#include <string>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

thread_local std::int32_t pending_contact = 0;

}  // namespace

long NewMessageTo(std::int32_t contact_id) {
  const std::function<void()> form = MainProcedure("UpdateMessages");
  if (!form) return RequestCancelled;
  pending_contact = contact_id;
  SetCurrentRequest(InsertRecord);
  SetCurrentResponse(RequestCancelled);
  form();
  pending_contact = 0;
  return CurrentResponse();
}

std::int32_t TakeNewMessageContact() {
  const std::int32_t id = pending_contact;
  pending_contact = 0;
  return id;
}

bool AddressMessageToContact(std::int32_t contact_id) {
  if (contact_id == 0) return false;
  if (C_.ClientID != contact_id) {
    const CONTACT_RECORD kept = C_;
    if (ACCESS_CONTACT->Open() != 0) return false;
    C_.ClientID = contact_id;
    const bool found = ACCESS_CONTACT->TryFetch(C__KEYCLIENTID) == 0;
    ACCESS_CONTACT->Close();
    if (!found) {
      C_ = kept;
      return false;
    }
  }
  M_.ContactID = C_.ClientID;
  M_.EmailTo = C_.Email.clipped();
  M_.EmailToName = LEFT(CLIP(C_.FirstName.view()) + " " + CLIP(C_.LastName.view()));
  return true;
}

}  // namespace vx
