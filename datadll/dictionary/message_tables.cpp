#include "datadll/dictionary/message_tables.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"

namespace vx {

thread_local MESSAGES_RECORD M_;
thread_local MSGLINK_RECORD ML;

using dictionary::MakeKey;
using storage::KeyKind;

const storage::TableDef& MESSAGES_TABLE() {
  static const storage::TableDef def = [] {
    using R = MESSAGES_RECORD;
    auto t = dictionary::MakeTable<R>("MESSAGES", "M_", "VX97\\!Messages", true);
    t.fields = {VX_FIELD(R, EmailID),      VX_FIELD(R, MailType),
                VX_FIELD(R, ContactID),    VX_FIELD(R, EmailTo),
                VX_FIELD(R, EmailToName),  VX_FIELD(R, EmailToGroup),
                VX_FIELD(R, CC),           VX_FIELD(R, BCC),
                VX_FIELD(R, Subject),      VX_FIELD(R, Attachment),
                VX_FIELD(R, LastDateSent), VX_FIELD(R, MAIL_SERVER),
                VX_FIELD(R, MAIL_USER),    VX_FIELD(R, NEWS_SERVER),
                VX_FIELD(R, NEWS_USER),    VX_FIELD(R, NEWS_PASSWORD),
                VX_MEMO(R, Message)};
    t.keys = {
        MakeKey("KeyEmailID", "Email ID", KeyKind::Primary, {{"EmailID"}}, true),
        MakeKey("KeyContact", "Contact", KeyKind::Duplicates, {{"ContactID"}, {"EmailID"}}),
        MakeKey("KeySubject", "Subject", KeyKind::Duplicates, {{"Subject"}}),
        MakeKey("KeyLastDateSent", "Last Date Sent", KeyKind::Duplicates, {{"LastDateSent"}}),
    };
    t.buffer = [] { return static_cast<void*>(&M_); };
    return t;
  }();
  return def;
}

const storage::TableDef& MSGLINK_TABLE() {
  static const storage::TableDef def = [] {
    using R = MSGLINK_RECORD;
    auto t = dictionary::MakeTable<R>("MSGLINK", "ML", "MSGLINK", false);
    t.display_name = "MsgLink";
    t.fields = {VX_FIELD(R, ID), VX_FIELD(R, Title), VX_FIELD(R, Message), VX_FIELD(R, Category),
                VX_FIELD(R, AlarmFile)};
    t.keys = {MakeKey("K_ID", "Unique Sys ID", KeyKind::Primary, {{"ID"}}, true)};
    t.buffer = [] { return static_cast<void*>(&ML); };
    return t;
  }();
  return def;
}

}  // namespace vx
