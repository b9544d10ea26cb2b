// Required fields of a form: before a form saves, names the first required entry left empty in
// a message and gives it the focus.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

class Window;

class REQFLDCLASS {
 public:
  // Remembers caption and message template ("@PROMPT must be entered.") and lists every
  // required entry, spin, text, option, combo and drop list of the current window with the text
  // of the prompt before it (without "&" and ":"), its status-bar message, its tip and the
  // dictionary name of the field it shows ("HOL:Holiday").
  void INIT(std::string_view caption, std::string_view message_template, int switch_value = 0);
  void INIT(Window& window, std::string_view caption, std::string_view message_template,
            int switch_value = 0);
  // Lists a control (or, with `replace`, overwrites the texts of a listed one).
  void ADDFIELD(int control, std::string_view field_name, std::string_view tip,
                std::string_view message, std::string_view prompt, bool replace = false);
  void REMOVEFIELD(int control);
  // The first listed control that is visible, still required, enabled (when `skip_disabled`)
  // and empty: it gets the focus, the message is shown, and its number is answered; 0 when
  // every required field is filled.
  int INCOMPLETE(bool skip_disabled = true);
  // Remembers a value for the form (the wizard page the form registered).
  void REGISTERWIZARD(long value) { wizard_ = value; }
  void KILL() { fields_.clear(); }

  int Switch() const { return switch_; }
  long Wizard() const { return wizard_; }

  // The message for one control, as INCOMPLETE shows it.
  std::string MessageFor(int control) const;

 private:
  struct Field {
    int control = 0;
    std::string prompt, message, tip, field_name;
  };
  const Field* Find(int control) const;

  Window* window_ = nullptr;
  std::string caption_;
  std::string template_;
  int switch_ = 0;             // INIT's switch, kept for the form
  long wizard_ = 0;            // REGISTERWIZARD's value, kept for the form
  std::vector<Field> fields_;  // in control order
};

}  // namespace vx
