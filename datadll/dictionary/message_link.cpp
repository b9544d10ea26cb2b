#include "datadll/dictionary/message_link.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_tables.h"
#include "runtime/storage/file.h"

namespace vx {

int AddMessageLink(std::string_view title, std::string_view message, std::string_view alarm_file,
                   std::int32_t& id) {
  storage::File& file = storage::File::For(MSGLINK_TABLE());
  // Two threads may pick the same next id between reading the highest and adding; the loser
  // of that race takes the id after the winner's instead of failing the hand-over.
  int code = storage::kDuplicateKey;
  for (int attempt = 0; attempt < 5 && code == storage::kDuplicateKey; ++attempt) {
    ML = MSGLINK_RECORD{};
    if ((code = file.AutoNumber(ML_K_ID)) != 0) return code;
    ML.Title = title;
    ML.Message = message;
    ML.AlarmFile = alarm_file;
    code = file.Add();
  }
  if (code == 0) id = ML.ID;
  return code;
}

std::string MessageProgramCommandLine(std::int32_t id) {
  return "VXMsg.EXE ID=" + std::to_string(id);
}

}  // namespace vx
