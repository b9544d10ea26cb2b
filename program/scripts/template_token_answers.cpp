#include <string>
#include <string_view>

#include "datadll/dictionary/global_queues.h"
#include "program/scripts/template_windows.h"
#include "runtime/text_functions.h"

namespace vx::template_token_windows {

std::string PromptLine(std::string_view prompt, std::string_view kind, std::string_view own) {
  if (prompt.empty() || UPPER(prompt) == kind) return std::string(own);
  return std::string(prompt) + ":";
}

std::string EarlierAnswer(std::string_view prompt) {
  // The buffer is the last answer that "[?]" repeats: the lookup leaves it as it was.
  const TOKENQUEUE_RECORD last = TQ;
  TQ.PROMPT = UPPER(prompt);
  std::string answer;
  if (TOKENQUEUE.GetBy(&TOKENQUEUE_RECORD::PROMPT) == 0) answer = TQ.VALUE.str();
  TQ = last;
  return answer;
}

}  // namespace vx::template_token_windows
