#include <string>
#include <utility>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/organiser/contact_windows.h"
#include "program/windows/record_form.h"

namespace vx {
namespace {

// The contact categories for the form's drop list, in name order, with the contact's own
// category kept even when it is no longer stored.
std::string CategoryChoices() {
  std::string choices;
  const auto add = [&choices](std::string_view name) {
    if (("|" + choices + "|").find("|" + std::string(name) + "|") != std::string::npos) return;
    choices += (choices.empty() ? "" : "|") + std::string(name);
  };
  const CONTACTCATEGORIES_RECORD kept = CC;
  if (ACCESS_CONTACTCATEGORIES->Open() == 0) {
    ACCESS_CONTACTCATEGORIES->Set(CC_KEYCONTACTCATEGORIES);
    while (ACCESS_CONTACTCATEGORIES->TryNext() == 0) add(CC.ContactCategory.clipped());
    ACCESS_CONTACTCATEGORIES->Close();
  }
  CC = kept;
  if (!C_.ContactCategory.blank()) add(C_.ContactCategory.clipped());
  return choices;
}

class ContactForm final : public RecordForm {
 public:
  explicit ContactForm(Window& window)
      : RecordForm(window, "UpdateContacts", *RELATE_CONTACT, "Contact") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeNewSelection() override;

 private:
  int sheet_ = 0;
};

void ContactForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& general = sheet.Tab("General");
  general.Prompt("&Last Name:");
  general.Entry(C_.LastName, "@s30").Required();
  general.Prompt("First &Name:");
  general.Entry(C_.FirstName, "@s20");
  general.Prompt("Contact Category:");
  general.DropList(C_.ContactCategory, CategoryChoices());
  const std::pair<const char*, String<30>*> address[] = {{"Address Line 1:", &C_.AddressLine1},
                                                         {"Address Line 2:", &C_.AddressLine2},
                                                         {"Address Line 3:", &C_.AddressLine3}};
  for (const auto& [prompt, field] : address) {
    general.Prompt(prompt);
    general.Entry(*field, "@s30").Tip("Enter up to 30 characters");
  }
  general.Prompt("&Postal Code:");
  general.Entry(C_.PostalCode, "@s10");
  general.Prompt("&Work/Day Phone:");
  general.Entry(C_.WorkDayPhone, "@s20");
  general.Prompt("&Home/Evening Phone:");
  general.Entry(C_.HomeEveningPhone, "@s20");
  general.Prompt("&Fax:");
  general.Entry(C_.Fax, "@s20").Tip("Fax Number");
  general.Prompt("Other Phone:");
  general.Entry(C_.OtherPhone, "@s20").Tip("Other Phone Number");
  general.Prompt("&Email:");
  general.Entry(C_.Email, "@s40").Tip("Email Address");
  general.Prompt("&Web Site:");
  general.Entry(C_.Website, "@s60").Tip("Web Site (URL)");
  Control& notes = sheet.Tab("Notes");
  notes.Text(C_.Notes);
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level ContactForm::Init() {
  RecordForm::Init();
  // "View Contact" and "Delete Contact" are the record form's own.
  if (Request == ChangeRecord) window().Title("Edit Contact ");
  ColourTabs();
  return Level_Benign;
}

Level ContactForm::Kill() { return RecordForm::Kill(); }

Level ContactForm::TakeNewSelection() {
  RecolourTabs(sheet_);
  return RecordForm::TakeNewSelection();
}

}  // namespace

void UpdateContacts() {
  Window window("Update the Contact File");
  ContactForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
