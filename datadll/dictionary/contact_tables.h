// CONTACT: the address book; CONTACTCATEGORIES: its categories; VXSCD: links between tasks and
// contacts (SCD.ID is the task's SCH.ID, SCD.CLIENTID the contact's C_.ClientID).
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct CONTACT_RECORD {
  String<40> User;
  std::int32_t ClientID = 0;
  String<30> LastName;
  String<20> FirstName;
  String<30> AddressLine1;
  String<30> AddressLine2;
  String<30> AddressLine3;
  String<10> PostalCode;
  String<20> WorkDayPhone;
  String<20> HomeEveningPhone;
  String<20> Fax;
  String<20> OtherPhone;
  String<40> Email;
  String<60> Website;
  String<20> ContactCategory;
  String<1024> Notes;  // memo
};

struct CONTACTCATEGORIES_RECORD {
  String<20> ContactCategory;
};

struct VXSCD_RECORD {
  std::int32_t ID = 0;
  std::int32_t SCD_ID = 0;
  std::int32_t CLIENTID = 0;
};

extern thread_local CONTACT_RECORD C_;
extern thread_local CONTACTCATEGORIES_RECORD CC;
extern thread_local VXSCD_RECORD SCD;

const storage::TableDef& CONTACT_TABLE();
const storage::TableDef& CONTACTCATEGORIES_TABLE();
const storage::TableDef& VXSCD_TABLE();

}  // namespace vx
