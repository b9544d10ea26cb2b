#include "program/admin/load_email_defaults.h"

#include "datadll/dictionary/globals.h"
#include "program/common/program_registry.h"

namespace vx {

MailAccountDefaults ReadMailAccountDefaults() {
  ZQREGISTRYCLASS& registry = ProgramRegistry();
  return {registry.GETEMAILSERVER(), registry.GETEMAILREPLYTOADDRESS(), registry.GETEMAILADDRESS(),
          registry.GETREGUSERNAME()};
}

void ApplyEmailDefaults(const MailAccountDefaults& defaults) {
  if (EMAIL_HOST.blank()) EMAIL_HOST = defaults.server;
  if (EMAIL_SENDERNAME.blank() && EMAIL_SENDER.blank()) EMAIL_SENDERNAME = defaults.owner;
  if (EMAIL_SENDER.blank()) {
    EMAIL_SENDER = defaults.reply_to;
    if (EMAIL_SENDER.blank()) EMAIL_SENDER = defaults.address;
  }
  if (NEWS_SENDER.blank()) NEWS_SENDER = EMAIL_SENDER.view();
}

void LoadEmailDefaults() { ApplyEmailDefaults(ReadMailAccountDefaults()); }

}  // namespace vx
