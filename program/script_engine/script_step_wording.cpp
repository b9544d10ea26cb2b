#include "program/script_engine/script_step_wording.h"

#include <array>
#include <utility>

#include "runtime/text_functions.h"

namespace vx {
namespace {

// Written forms and the stored name; the first match wins.
constexpr std::array<std::pair<std::string_view, std::string_view>, 30> kFileVerbs{{
    {"COPY", "Copy"},
    {"RENAME", "Rename"},
    {"RECYCLE", "Recycle"},
    {"MOVE", "Move"},
    {"DELETE", "Delete"},
    {"MAKE DIRECTORY", "Make Directory"},
    {"MAKE", "Make Directory"},
    {"REMOVE DIRECTORY", "Remove Directory"},
    {"REMOVE", "Remove Directory"},
    {"GET FILE DATE", "Get File Date"},
    {"FILE DATE", "Get File Date"},
    {"DATE", "Get File Date"},
    {"GET FILE TIME", "Get File Time"},
    {"FILE TIME", "Get File Time"},
    {"TIME", "Get File Time"},
    {"GET FILE SIZE", "Get File Size"},
    {"FILE SIZE", "Get File Size"},
    {"SIZE", "Get File Size"},
    {"LOG WINDOWS", "Log Windows"},
    {"IF FILE EXISTS", "If File Exists"},
    {"FILE EXISTS", "If File Exists"},
    {"EXISTS", "If File Exists"},
    {"FTPUPLOAD", "FTP Upload"},
    {"FTP UPLOAD", "FTP Upload"},
    {"FTPDOWNLOAD", "FTP Download"},
    {"FTP DOWNLOAD", "FTP Download"},
    {"FTP", "FTP Download"},
    {"HTTPDOWNLOAD", "HTTP Download"},
    {"HTTP DOWNLOAD", "HTTP Download"},
    {"HTTP", "HTTP Download"},
}};

}  // namespace

bool ContainsNoCase(std::string_view text, std::string_view word) {
  return UPPER(text).find(UPPER(word)) != std::string::npos;
}

bool IsWaitModeWord(std::string_view word) {
  const std::string upper = UPPER(ClipView(word));
  return upper == "AND" || upper == "OR" || upper == "EITHER" || upper == "BOTH";
}

std::string FileVerbName(std::string_view written) {
  const std::string upper = UPPER(ClipView(written));
  for (const auto& [form, name] : kFileVerbs) {
    if (upper == form) return std::string(name);
  }
  return "Copy";
}

void NormaliseFileVerb(SCRIPTING_RECORD& step) { step.DDEType = FileVerbName(step.DDEType.view()); }

namespace {

template <class Step>
void NormaliseWording(Step& step) {
  const std::string_view action = step.Action.clipped();
  if (action == "Send Keystrokes") {
    step.Action = "Send Keys";
  } else if (action == "If Window...") {
    step.WindowExistance =
        ContainsNoCase(step.WindowExistance.view(), "exists") ? "Exists" : "Does not exist";
  } else if (action == "If Time Elapsed...") {
    step.IfTimeElapsed =
        ContainsNoCase(step.IfTimeElapsed.view(), "grea") ? "Greater than" : "Less than";
  } else if (action.starts_with("Wait")) {
    const std::string mode = UPPER(step.DDEApplicationName.clipped());
    if (mode == "AND" || mode == "BOTH") step.DDEApplicationName = "Both";
    if (mode == "OR" || mode == "EITHER") step.DDEApplicationName = "Either";
  }
}

}  // namespace

void NormaliseScriptStep(SCRIPTING_RECORD& step) { NormaliseWording(step); }
void NormaliseScriptStep(SCRIPTTEMPLATEDETAILS_RECORD& step) { NormaliseWording(step); }

}  // namespace vx
