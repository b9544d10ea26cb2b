#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "datadll/dictionary/global_queues.h"
#include "program/scripts/template_tokens.h"
#include "runtime/fixed_string.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

// Replacements one text may take. A 255-byte text holds at most 85 written tokens, so only an
// answer that keeps bringing tokens back (such as "[?]" itself) reaches the limit.
constexpr int kReplacementLimit = 256;

constexpr std::string_view kTokenStart = "[?";

std::string_view WithoutLeadingBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view Trimmed(std::string_view text) { return ClipView(WithoutLeadingBlanks(text)); }

// Puts the answer to one non-empty token in TQ.VALUE: a FILE, WINDOW or TEXT token asks with
// its written prompt (or the kind word), a named token takes the answer kept for its name and
// asks only when there is none. False when the user cancelled.
bool AnswerToken(std::string_view token, std::string_view rest, TemplateTokenAsker& ask) {
  const std::string kind = UPPER(token.substr(0, token.find(' ')));
  if (kind == "FILE" || kind == "WINDOW" || kind == "TEXT") {
    std::string prompt = TokenPrompt(rest);
    if (prompt.empty()) prompt = kind;
    if (kind == "FILE") return ask.TemplateTokenAskFile(prompt);
    if (kind == "WINDOW") return ask.TemplateTokenAskWindow(prompt);
    return ask.TemplateTokenAskText(prompt);
  }
  const std::string_view name = ClipView(token);
  TQ.PROMPT = UPPER(name);
  if (TOKENQUEUE.GetBy(&TOKENQUEUE_RECORD::PROMPT) == 0) return true;
  return ask.TemplateTokenAskText(name);
}

}  // namespace

std::string TokenPrompt(std::string_view token) {
  const std::size_t close = token.find(']');
  const std::string_view inside = token.substr(0, close);
  const std::size_t blank = inside.find(' ');
  if (blank == std::string_view::npos) return {};
  return std::string(Trimmed(inside.substr(blank + 1)));
}

int ExpandTemplateTokens(std::string& text, std::size_t length, TemplateTokenAsker& ask) {
  if (text.find(kTokenStart) == std::string::npos) return 1;
  std::string work(CutUtf8(text, length));
  for (int replacements = 0; replacements < kReplacementLimit; ++replacements) {
    const std::size_t at = work.find(kTokenStart);
    if (at == std::string::npos) break;
    const std::string_view rest =
        WithoutLeadingBlanks(std::string_view(work).substr(at + kTokenStart.size()));
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos) break;  // never closed: kept as written
    const std::string_view token = rest.substr(0, close);

    // An empty token repeats the last value; the others leave their answer in TQ.VALUE.
    if (!token.empty() && !AnswerToken(token, rest, ask)) return 0;
    std::string next = work.substr(0, at);
    next += TQ.VALUE.clipped();
    next += rest.substr(close + 1);
    work.assign(CutUtf8(next, length));
  }
  text = std::move(work);
  return 1;
}

}  // namespace vx
