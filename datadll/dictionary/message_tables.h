// MESSAGES: mail and news messages that scripts and the message windows send. MSGLINK: a task
// message handed to the external message program by the record's id.
#pragma once

#include <cstdint>

#include "runtime/fixed_string.h"
#include "runtime/storage/table_def.h"

namespace vx {

struct MESSAGES_RECORD {
  std::int32_t EmailID = 0;
  String<12> MailType;
  std::int32_t ContactID = 0;
  String<255> EmailTo;
  String<255> EmailToName;
  String<20> EmailToGroup;
  String<255> CC;
  String<255> BCC;
  String<255> Subject;
  String<255> Attachment;
  std::int32_t LastDateSent = 0;
  String<128> MAIL_SERVER;
  String<128> MAIL_USER;
  String<128> NEWS_SERVER;
  String<128> NEWS_USER;
  String<128> NEWS_PASSWORD;
  String<10000> Message;  // memo
};

struct MSGLINK_RECORD {
  std::int32_t ID = 0;
  String<60> Title;
  String<4096> Message;
  String<20> Category;
  String<255> AlarmFile;
};

extern thread_local MESSAGES_RECORD M_;
extern thread_local MSGLINK_RECORD ML;

const storage::TableDef& MESSAGES_TABLE();
const storage::TableDef& MSGLINK_TABLE();

}  // namespace vx
