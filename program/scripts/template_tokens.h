// Question tokens in script template steps: "[? File Source file]", "[? Folder]", "[?]" ...
// While a template is copied into a task's script, every token in a step's texts is replaced by
// an answer the user gives. Answers are kept in TOKENQUEUE by their upper-case prompt, so a named
// token is asked once until the queue is emptied (the script wizard empties it when it opens).
//
// Token forms (the kind word is compared in upper case, blanks after "?" are ignored):
//   [? File Prompt]    asks for a file          (prompt "FILE" when none is written)
//   [? Window Prompt]  asks for a window title  (prompt "WINDOW" when none is written)
//   [? Text Prompt]    asks for a text          (prompt "TEXT" when none is written)
//   [? Name]           the answer kept for Name; asked as a text only when there is none
//   [?]                the value of the token handled last (TQ.VALUE)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "runtime/fixed_string.h"

namespace vx {

// The three prompt windows the expansion asks through. Each answers true after OK, with the
// answer stored under the prompt (StoreTemplateTokenAnswer) and left in TQ.VALUE, and false
// after Cancel.
class TemplateTokenAsker {
 public:
  virtual ~TemplateTokenAsker() = default;
  virtual bool TemplateTokenAskText(std::string_view prompt) = 0;
  virtual bool TemplateTokenAskFile(std::string_view prompt) = 0;
  virtual bool TemplateTokenAskWindow(std::string_view prompt) = 0;
};

// Replaces every token of text in place, the result cut to length bytes (a field's width).
// Returns 1 when done, also when there is no token, and 0 when the user cancelled a prompt; the
// text is then left unchanged (answers given before the cancel stay in TOKENQUEUE).
// An answer that holds a token is expanded too. A token without its "]" ends the expansion and
// stays as written, and so do the tokens left after 256 replacements (an answer that names
// itself, such as "[?]", would otherwise be expanded for ever).
int ExpandTemplateTokens(std::string& text, std::size_t length, TemplateTokenAsker& ask);
template <std::size_t N>
int ExpandTemplateTokens(String<N>& field, TemplateTokenAsker& ask) {
  std::string text(field.clipped());
  const int done = ExpandTemplateTokens(text, N, ask);
  if (done == 1) field = text;
  return done;
}

// The prompt written in a token: token is the text after "?" with its leading blanks removed;
// the prompt runs from after its first blank up to the "]", blanks around it removed. Empty
// when the "]" comes before any blank.
std::string TokenPrompt(std::string_view token);

// Stores an answer in TOKENQUEUE: replaces the value kept for the upper-case prompt or adds an
// entry in prompt order. Leaves the entry in TQ, so TQ.VALUE is the answer.
void StoreTemplateTokenAnswer(std::string_view prompt, std::string_view value);

}  // namespace vx
