#include <string_view>

#include "datadll/dictionary/global_queues.h"
#include "program/scripts/template_tokens.h"
#include "runtime/text_functions.h"

namespace vx {

void StoreTemplateTokenAnswer(std::string_view prompt, std::string_view value) {
  TQ.PROMPT = UPPER(prompt);
  const bool known = TOKENQUEUE.GetBy(&TOKENQUEUE_RECORD::PROMPT) == 0;
  TQ.VALUE = value;
  if (known) {
    TOKENQUEUE.Put();
  } else {
    TOKENQUEUE.AddBy(&TOKENQUEUE_RECORD::PROMPT);
  }
}

}  // namespace vx
