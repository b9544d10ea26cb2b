#include "datadll/dictionary/contact_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local CONTACT_RECORD C_;
thread_local CONTACTCATEGORIES_RECORD CC;
thread_local VXSCD_RECORD SCD;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& CONTACT_TABLE() {
  static const storage::TableDef def = [] {
    using R = CONTACT_RECORD;
    auto t = dictionary::MakeTable<R>("CONTACT", "C_", "Vx97.TPS\\!Contact", true);
    t.fields = {VX_FIELD(R, User),
                VX_FIELD(R, ClientID),
                VX_FIELD(R, LastName),
                VX_FIELD(R, FirstName),
                VX_FIELD(R, AddressLine1),
                VX_FIELD(R, AddressLine2),
                VX_FIELD(R, AddressLine3),
                VX_FIELD(R, PostalCode),
                VX_FIELD(R, WorkDayPhone),
                VX_FIELD(R, HomeEveningPhone),
                VX_FIELD(R, Fax),
                VX_FIELD(R, OtherPhone),
                VX_FIELD(R, Email),
                VX_FIELD(R, Website),
                VX_FIELD(R, ContactCategory),
                VX_MEMO(R, Notes)};
    t.keys = {
        MakeKey("KeyClientID", "C_:KeyClientID", KeyKind::Primary, {{"ClientID"}}, true),
        MakeKey("KeyUserClientID", "By ID within User", KeyKind::Duplicates,
                {{"User"}, {"ClientID"}}),
        MakeKey("KeyLastName", "Last Name", KeyKind::Duplicates,
                {{"LastName"}, {"FirstName"}, {"PostalCode"}}),
        MakeKey("KeyFirstName", "First Name", KeyKind::Duplicates,
                {{"FirstName"}, {"LastName"}, {"PostalCode"}}),
        MakeKey("KeyWorkPhone", "Work/Day Phone", KeyKind::Duplicates, {{"WorkDayPhone"}}),
        MakeKey("KeyHomePhone", "Home/Evening Phone", KeyKind::Duplicates, {{"HomeEveningPhone"}}),
        MakeKey("KeyFaxNumber", "Fax", KeyKind::Duplicates, {{"Fax"}}),
        MakeKey("KeyEmail", "Email", KeyKind::Duplicates, {{"Email"}}),
        MakeKey("KeyCategory", "Category", KeyKind::Duplicates,
                {{"ContactCategory"}, {"LastName"}, {"FirstName"}}),
    };
    t.buffer = [] { return static_cast<void*>(&C_); };
    return t;
  }();
  return def;
}

const storage::TableDef& CONTACTCATEGORIES_TABLE() {
  static const storage::TableDef def = [] {
    using R = CONTACTCATEGORIES_RECORD;
    auto t = dictionary::MakeTable<R>("CONTACTCATEGORIES", "CC", "vx97\\!ConCat", true);
    t.fields = {VX_FIELD(R, ContactCategory)};
    t.keys = {MakeKey("KeyContactCategories", "Contact Categories", KeyKind::Unique,
                      {{"ContactCategory"}})};
    t.buffer = [] { return static_cast<void*>(&CC); };
    return t;
  }();
  return def;
}

const storage::TableDef& VXSCD_TABLE() {
  static const storage::TableDef def = [] {
    using R = VXSCD_RECORD;
    auto t = dictionary::MakeTable<R>("VXSCD", "SCD", "VX97.TPS\\!ScheduleContacts", true);
    t.fields = {VX_FIELD(R, ID), VX_FIELD(R, SCD_ID), VX_FIELD(R, CLIENTID)};
    t.keys = {
        MakeKey("KEYID", "Schedule ID", KeyKind::Primary, {{"ID"}, {"SCD_ID"}}, true),
        MakeKey("KEYCONTACT", "Contact", KeyKind::Duplicates, {{"CLIENTID"}}),
    };
    t.buffer = [] { return static_cast<void*>(&SCD); };
    return t;
  }();
  return def;
}

}  // namespace vx
