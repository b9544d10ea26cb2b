#include <filesystem>
#include <string>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/common/config_store.h"
#include "program/common/main_procedures.h"
#include "program/organiser/message_windows.h"
#include "program/organiser/new_message_to.h"
#include "program/organiser/send_email_message.h"
#include "program/windows/list_window.h"
#include "program/windows/record_form.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kMailTypes = "Email|News|Mass Mailing";

// The contact and category pickers live with the contacts; until they are registered their
// buttons stay grey.
std::function<void()> ContactPicker() { return MainProcedure("BrowseContacts"); }
std::function<void()> CategoryPicker() { return MainProcedure("SelectContactCategories"); }

class MessageForm final : public RecordForm {
 public:
  MessageForm(Window& window, std::int32_t contact_id)
      : RecordForm(window, "UpdateMessages", *RELATE_MESSAGES, "E-mail Message"),
        contact_id_(contact_id) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeCompleted() override;
  Level TakeNewSelection() override;

 private:
  // Shows the rows the mail type uses and fills an empty recipient from the last one saved.
  void ApplyMailType();
  void ToAccepted();
  void CategoryChosen();
  void SendNow();

  std::int32_t contact_id_;
  bool contacts_opened_ = false;
  int sheet_ = 0, type_ = 0;
  int to_prompt_ = 0, to_row_ = 0, to_ = 0, to_button_ = 0;
  int group_prompt_ = 0, group_row_ = 0, group_ = 0, group_button_ = 0;
  int name_prompt_ = 0, name_ = 0, cc_prompt_ = 0, cc_ = 0, bcc_prompt_ = 0, bcc_ = 0;
  int subject_ = 0, attachment_ = 0, file_button_ = 0, send_ = 0;
};

void MessageForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& tab = sheet.Tab("General");
  tab.String("* indicates required field");
  tab.Prompt("Mail Type:");
  type_ = tab.DropList(M_.MailType, kMailTypes);
  to_prompt_ = tab.Prompt("*To:");
  Control& to_row = tab.Row();
  to_row_ = to_row;
  to_ = to_row.Entry(M_.EmailTo, "@s255").Tip("Recipient (Email Address)").Required();
  to_button_ = to_row.Button("...").Icon("~contacts.ico").Tip("Select Contact to email");
  group_prompt_ = tab.Prompt("Cate&gory:");
  Control& group_row = tab.Row();
  group_row_ = group_row;
  group_ = group_row.Entry(M_.EmailToGroup, "@s20").Tip("Email to Group (Contact Category)");
  group_button_ = group_row.Button("...").Icon("PICK.ICO").Tip("Select Contact Category");
  name_prompt_ = tab.Prompt("Name:");
  name_ = tab.Entry(M_.EmailToName, "@s255");
  cc_prompt_ = tab.Prompt("CC:");
  cc_ = tab.Entry(M_.CC, "@s255").Tip("Carbon Copy");
  bcc_prompt_ = tab.Prompt("BCC:");
  bcc_ = tab.Entry(M_.BCC, "@s255").Tip("Blind Carbon Copy");
  tab.Prompt("*Subject: ");
  subject_ = tab.Entry(M_.Subject, "@s255").Required();
  tab.Prompt("Attachment:");
  Control& file_row = tab.Row();
  attachment_ = file_row.Entry(M_.Attachment, "@s255");
  file_button_ = file_row.Button("...").Icon("open.ico").Tip("Select file");
  tab.Prompt("Message:");
  tab.Text(M_.Message);
  send_ = w.Button("&Send Now");
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level MessageForm::Init() {
  contacts_opened_ = RELATE_CONTACT->Open() == 0;
  if (CurrentRequest() == InsertRecord) {
    // A message written to a contact ("Email..." of the contacts) starts afresh, addressed.
    std::int32_t contact = contact_id_;
    if (contact == 0) contact = TakeNewMessageContact();
    if (contact != 0) {
      ACCESS_MESSAGES->PrimeRecord();
      AddressMessageToContact(contact);
    }
  }
  if (M_.MailType.blank()) M_.MailType = "Email";
  ApplyMailType();
  RecordForm::Init();
  Required.ADDFIELD(to_, "M_:EmailTo", "Recipient (Email Address)", "", "To (Email Address)", true);
  Required.ADDFIELD(subject_, "M_:Subject", "", "", "Subject", true);
  if (!ContactPicker()) window()[to_button_].Disable();
  if (!CategoryPicker()) window()[group_button_].Disable();
  ColourTabs();
  return Level_Benign;
}

Level MessageForm::Kill() {
  const Level level = RecordForm::Kill();
  if (contacts_opened_) RELATE_CONTACT->Close();
  return level;
}

void MessageForm::ApplyMailType() {
  Window& w = window();
  const std::string_view type = M_.MailType.clipped();
  const bool news = type == "News";
  const bool mass = type == "Mass Mailing";
  const bool email = !news && !mass;
  w[to_prompt_].SetText(news ? "*Newsgroup:" : "*To:");
  for (int c : {to_prompt_, to_row_, to_}) w[c].Hide(mass);
  w[to_button_].Hide(!email);
  for (int c : {group_prompt_, group_row_, group_, group_button_}) w[c].Hide(!mass);
  for (int c : {name_prompt_, name_, cc_prompt_, cc_, bcc_prompt_, bcc_}) w[c].Hide(!email);
  if (news && M_.EmailTo.blank()) M_.EmailTo = GetConfigValue("LastNewsgroup");
  if (mass && M_.EmailToGroup.blank()) M_.EmailToGroup = GetConfigValue("LastMassMailing");
  w.Display();
}

// A known address names its contact, unless the message has a name already.
void MessageForm::ToAccepted() {
  if (M_.EmailTo.blank() || !M_.EmailToName.blank()) return;
  const CONTACT_RECORD kept = C_;
  C_.Email = M_.EmailTo.view();
  if (ACCESS_CONTACT->TryFetch(C__KEYEMAIL) == 0) AddressMessageToContact(C_.ClientID);
  C_ = kept;
  window().Display();
}

// A mass mailing has no address of its own: "N/A" stands in the required To.
void MessageForm::CategoryChosen() {
  if (!M_.EmailToGroup.blank() && M_.EmailTo.blank()) M_.EmailTo = "N/A";
  window().Display();
}

void MessageForm::SendNow() {
  Update();
  const std::string to(M_.EmailTo.clipped());
  if (SendEmailMessage(0, 1, 0) == 0) {
    MESSAGE("Mail sent:  " + to, "Mail");
  } else {
    MESSAGE("Could not send:  " + to, "Mail Error", MessageIcon::Exclamation);
  }
}

Level MessageForm::TakeAccepted() {
  const int control = ACCEPTED();
  Window& w = window();
  if (control == type_) {
    ApplyMailType();
  } else if (control == to_) {
    ToAccepted();
  } else if (control == group_) {
    CategoryChosen();
  } else if (control == attachment_) {
    if (!M_.Attachment.blank() && M_.Subject.blank()) {
      M_.Subject = std::filesystem::path(std::string(M_.Attachment.clipped())).filename().string();
      w.Display();
    }
  } else if (control == to_button_) {
    if (auto contacts = ContactPicker(); contacts && ListWindow::Pick(contacts)) {
      AddressMessageToContact(C_.ClientID);
      w.Display();
    }
    return Level_Notify;
  } else if (control == group_button_) {
    if (auto categories = CategoryPicker(); categories && ListWindow::Pick(categories)) {
      M_.EmailToGroup = CC.ContactCategory.view();
      CategoryChosen();
    }
    return Level_Notify;
  } else if (control == file_button_) {
    std::string file(M_.Attachment.clipped());
    if (FILEDIALOG("Choose a File", file, "All Files|*.*", FILE_KeepDir | FILE_LongName)) {
      M_.Attachment = file;
      w.Display();
    }
    return Level_Notify;
  } else if (control == send_) {
    SendNow();
    return Level_Notify;
  }
  return RecordForm::TakeAccepted();
}

Level MessageForm::TakeCompleted() {
  Update();
  if (Request == InsertRecord || Request == ChangeRecord) {
    if (Required.INCOMPLETE() != 0) return Level_Notify;
    // The last recipient of each kind is offered again to the next message of that kind.
    const std::string_view type = M_.MailType.clipped();
    if (type == "News") {
      if (!M_.EmailTo.blank()) SetConfigValue("LastNewsgroup", M_.EmailTo.clipped());
    } else if (type == "Mass Mailing") {
      if (!M_.EmailToGroup.blank()) SetConfigValue("LastMassMailing", M_.EmailToGroup.clipped());
    } else if (!M_.EmailTo.blank()) {
      SetConfigValue("LastEmail", M_.EmailTo.clipped());
    }
  }
  return RecordForm::TakeCompleted();
}

Level MessageForm::TakeNewSelection() {
  RecolourTabs(sheet_);
  return RecordForm::TakeNewSelection();
}

}  // namespace

void UpdateMessages(std::int32_t contactId) {
  Window window("Update the Messages File");
  MessageForm form(window, contactId);
  form.Build();
  form.Run();
}

}  // namespace vx
