// Script templates: named lists of script steps kept in the template file ("VXTpl"), appended to
// a task's script from the script wizard or the step browse. While a template is copied, the
// question tokens in its steps are answered through three small windows (template_tokens.h).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "datadll/dictionary/scripting_table.h"
#include "program/scripts/template_tokens.h"

namespace vx {

// The template list (File, "Script Templates"). Started to select (request 4) it is a picker
// that answers completed with the chosen template in the VXT buffer. While it is open
// GLO_SCRIPTWIZARDMODE is 1.
void BrowseScriptTemplates();
// The form of one template record: its title and the script file it came from.
void UpdateScriptTemplates();

// Appends the steps of the template in the VXT buffer to the script of the task in the SCH
// buffer, numbered after the task's last step, with every question token answered through
// `ask`. A cancelled question ends the copy: the step being copied is still added with the
// texts expanded so far, the steps after it are not. Answers how many steps were added.
int CopyScriptTemplateToScript(TemplateTokenAsker& ask);
// The same through the three question windows.
int CopyScriptTemplateToScript();

// The steps of template `id` in step order (none when the template file cannot be opened).
std::vector<SCRIPTTEMPLATEDETAILS_RECORD> TemplateSteps(std::int32_t id);

// Deletes the steps of the template in the VXT buffer (none when its WIZ_ID is 0); false when a
// delete failed (reported through the error object).
bool DeleteScriptTemplateDetails();

// The three question windows, titled "More Information Required". Each shows the prompt
// followed by ":" (its own prompt line when the prompt is empty or the bare kind word), starts
// with the answer given before to the same prompt, and on OK stores the answer under the prompt
// in TOKENQUEUE (leaving it in TQ.VALUE) and answers true; Cancel answers false.
bool TemplateTokenAskText(std::string_view prompt);
bool TemplateTokenAskFile(std::string_view prompt);
bool TemplateTokenAskWindow(std::string_view prompt);

// The asker that uses the three windows.
class TemplateTokenWindows final : public TemplateTokenAsker {
 public:
  bool TemplateTokenAskText(std::string_view prompt) override {
    return vx::TemplateTokenAskText(prompt);
  }
  bool TemplateTokenAskFile(std::string_view prompt) override {
    return vx::TemplateTokenAskFile(prompt);
  }
  bool TemplateTokenAskWindow(std::string_view prompt) override {
    return vx::TemplateTokenAskWindow(prompt);
  }
};

namespace template_token_windows {
// What the three windows share: the prompt line for `prompt` (own line when `prompt` is empty or
// equals `kind`), the earlier answer to the prompt, and storing the answer.
std::string PromptLine(std::string_view prompt, std::string_view kind, std::string_view own);
std::string EarlierAnswer(std::string_view prompt);
}  // namespace template_token_windows

}  // namespace vx
