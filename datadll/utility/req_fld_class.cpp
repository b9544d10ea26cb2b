#include "datadll/utility/req_fld_class.h"

#include <algorithm>

#include "datadll/dictionary/field_names.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::string PlainPrompt(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c != '&' && c != ':') out += c;
  }
  return CLIP(out);
}

bool TakesInput(ControlType type) {
  switch (type) {
    case ControlType::Entry:
    case ControlType::Option:
    case ControlType::Combo:
    case ControlType::Spin:
    case ControlType::Text:
    case ControlType::DropList:
      return true;
    default:
      return false;
  }
}

// Replaces every `token` (letter case ignored) by `value`.
std::string ReplaceToken(std::string text, std::string_view token, std::string_view value) {
  const std::string upper_token = UPPER(token);
  std::size_t at = 0;
  while (true) {
    const std::string upper = UPPER(text);
    at = upper.find(upper_token, at);
    if (at == std::string::npos) return text;
    text.replace(at, token.size(), value);
    at += value.size();
  }
}

}  // namespace

void REQFLDCLASS::INIT(std::string_view caption, std::string_view message_template,
                       int switch_value) {
  if (Window* window = CurrentWindow()) INIT(*window, caption, message_template, switch_value);
}

void REQFLDCLASS::INIT(Window& window, std::string_view caption, std::string_view message_template,
                       int switch_value) {
  window_ = &window;
  switch_ = switch_value;
  caption_ = caption;
  template_ = message_template;
  fields_.clear();
  std::string prompt;
  for (const auto& control : window.Controls()) {
    if (control->Type() == ControlType::Prompt) {
      prompt = PlainPrompt(control->TextValue());
    } else if (TakesInput(control->Type()) && control->Is(Prop::Required)) {
      fields_.push_back({control->Number(), prompt, control->Get(Prop::Msg),
                         control->Get(Prop::Tip), FieldNameOf(control->Use().address())});
    }
  }
}

void REQFLDCLASS::ADDFIELD(int control, std::string_view field_name, std::string_view tip,
                           std::string_view message, std::string_view prompt, bool replace) {
  Field field{control, PlainPrompt(prompt), std::string(message), std::string(tip),
              std::string(field_name)};
  auto it = std::find_if(fields_.begin(), fields_.end(),
                         [&](const Field& f) { return f.control == control; });
  if (it == fields_.end()) {
    fields_.insert(std::upper_bound(fields_.begin(), fields_.end(), control,
                                    [](int c, const Field& f) { return c < f.control; }),
                   std::move(field));
  } else if (replace) {
    *it = std::move(field);
  }
}

void REQFLDCLASS::REMOVEFIELD(int control) {
  std::erase_if(fields_, [&](const Field& f) { return f.control == control; });
}

const REQFLDCLASS::Field* REQFLDCLASS::Find(int control) const {
  for (const Field& f : fields_) {
    if (f.control == control) return &f;
  }
  return nullptr;
}

std::string REQFLDCLASS::MessageFor(int control) const {
  const Field* f = Find(control);
  if (!f) return {};
  std::string text = template_;
  text = ReplaceToken(text, "@PROMPT", "\"" + CLIP(f->prompt) + "\"");
  text = ReplaceToken(text, "@MSG", CLIP(f->message));
  text = ReplaceToken(text, "@TIP", CLIP(f->tip));
  text = ReplaceToken(text, "@FIELD", "\"" + CLIP(f->field_name) + "\"");
  return text;
}

int REQFLDCLASS::INCOMPLETE(bool skip_disabled) {
  if (!window_) return 0;
  for (const Field& f : fields_) {
    Control* c = window_->Find(f.control);
    if (!c || !c->Visible() || !c->Is(Prop::Required)) continue;
    if (skip_disabled && !c->Enabled()) continue;
    const bool empty = c->Type() == ControlType::Option || c->Type() == ControlType::DropList
                           ? c->Choice() == 0
                           : CLIP(c->Get(Prop::Value)).empty();
    if (!empty) continue;
    window_->Select(f.control);
    MESSAGE(MessageFor(f.control), caption_, MessageIcon::Exclamation, BUTTON_OK);
    return f.control;
  }
  return 0;
}

}  // namespace vx
