#include <string>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "program/organiser/contact_view.h"
#include "program/organiser/contact_windows.h"
#include "program/organiser/new_message_to.h"
#include "program/windows/list_window.h"
#include "runtime/events.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat =
    "100L(2)M|~Last Name~@s30@80L(2)M|~First Name~@s20@120L(2)M|~Email~@s40@"
    "80L(2)M|~Work/Day Phone~@s20@80L(2)M|~Home/Evening Phone~@s20@80L(2)M|~Fax~@s20@"
    "80L(2)M|~Contact Category~@s20@100L(2)M|~Address Line 1~@s30@"
    "100L(2)M|~Address Line 2~@s30@100L(2)M|~Address Line 3~@s30@40L(2)M|~Postal Code~@s10@";

// The tabs in order, each an order of the list; the last lists one category's contacts.
constexpr std::string_view kTabs[] = {
    "Last Name", "First Name", "Work/Day Phone", "Home/Evening Phone", "Fax", "Email", "Category"};
constexpr int kByCategory = 7;

// "Email..." on the list's popup posts this to the window.
constexpr int kEmailEvent = 1545;

class ContactBrowse final : public ZQBROWSECLASS {
 public:
  Control* Sheet = nullptr;

  void SetQueueRecord() override {
    Q = {C_.LastName.str(),        C_.FirstName.str(),        C_.Email.str(),
         C_.WorkDayPhone.str(),    C_.HomeEveningPhone.str(), C_.Fax.str(),
         C_.ContactCategory.str(), C_.AddressLine1.str(),     C_.AddressLine2.str(),
         C_.AddressLine3.str(),    C_.PostalCode.str()};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_CONTACT->PrimeRecord(keep_buffer); }
  void ResetSort(bool force) override {
    const long tab = Sheet ? Sheet->Choice() : 1;
    SetSort(tab >= 1 && tab <= kByCategory ? static_cast<int>(tab) : 1, force);
  }
  // The popup's Copy and "Email..." need a highlighted contact.
  void UpdateWindow() override {
    ZQBROWSECLASS::UpdateWindow();
    for (const char* item : {"Email", "CopyRecord"}) {
      if (Popup.HasItem(item)) Popup.SetItemEnable(item, Records() > 0);
    }
  }
};

class ContactsWindow final : public ListWindow {
 public:
  explicit ContactsWindow(Window& window)
      : ListWindow(window, "BrowseContacts", *RELATE_CONTACT),
        view_({&C__KEYLASTNAME, &C__KEYFIRSTNAME, &C__KEYWORKPHONE, &C__KEYHOMEPHONE,
               &C__KEYFAXNUMBER, &C__KEYEMAIL, &C__KEYCATEGORY},
              kByCategory) {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeWindowEvent() override;

 private:
  void PickCategory();
  void EmailContact();

  ContactBrowse browse_;
  XPLORECLASS xplore_;  // after the browse it attaches to
  ContactView view_;
  int sheet_ = 0, list_ = 0, pick_category_ = 0, copy_text_ = 0;
  ListButtons buttons_;
};

void ContactsWindow::Build() {
  Window& w = window();
  w.Icon("~contacts.ico");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  for (std::string_view tab : kTabs) {
    Control& page = sheet.Tab(tab);
    if (tab == "Category") pick_category_ = page.Button("Select Cate&gory");
  }
  list_ = w.List(kListFormat);
  Control& buttons = w.Row();
  copy_text_ = buttons.Button("&Copy to Clipboard");
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.select = buttons.Button("&Select");
  buttons_.copy = buttons.Button("Cop&y").Tip("Copy record");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico");
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico");
  CancelControl = buttons.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level ContactsWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  view_.category = CC.ContactCategory.str();
  browse_.Sheet = &window()[sheet_];
  browse_.Init(window()[list_], view_, *this);
  const auto text = [](const auto& field) { return [&field] { return field.str(); }; };
  const std::function<std::string()>
      locators[] = {text(C_.LastName),         text(C_.FirstName), text(C_.WorkDayPhone),
                    text(C_.HomeEveningPhone), text(C_.Fax),       text(C_.Email),
                    text(C_.LastName)};  // within the category, by last name
  for (int order = 1; order <= kByCategory; ++order) {
    browse_.AddSortOrder(order);
    browse_.SetLocator(locators[order - 1], order);
  }
  WireButtons(browse_, buttons_, UpdateContacts);
  ShowSelectWhenPicking(browse_, buttons_);
  ACCESS_CONTACT->BindFieldsLater(browse_.Bindings);
  AttachListExtension(xplore_, browse_, list_, "?Browse:1",
                      {"C_:LastName", "C_:FirstName", "C_:Email", "C_:WorkDayPhone",
                       "C_:HomeEveningPhone", "C_:Fax", "C_:ContactCategory", "C_:AddressLine1",
                       "C_:AddressLine2", "C_:AddressLine3", "C_:PostalCode"},
                      "Underline");
  OpenColouredList(list_);
  browse_.Popup.AddItem("-", "ClipboardSeparator");
  browse_.Popup.AddItemMimic("CopyToClipboard", copy_text_);
  browse_.Popup.AddItem("-", "EmailSeparator");
  browse_.Popup.AddItemEvent("Email...", "Email", kEmailEvent, 0);
  browse_.Popup.AddItemMimic("CopyRecord", buttons_.copy);
  browse_.UpdateWindow();
  return Level_Benign;
}

void ContactsWindow::PickCategory() {
  if (!ListWindow::Pick(SelectContactCategories)) return;
  view_.category = CC.ContactCategory.str();
  browse_.ResetFromView();
  window().Select(list_);
}

void ContactsWindow::EmailContact() {
  Update();
  if (browse_.Records() == 0) return;
  NewMessageTo(C_.ClientID);
}

Level ContactsWindow::TakeAccepted() {
  const int accepted = ACCEPTED();
  if (accepted == copy_text_) {
    Update();
    if (browse_.Records() > 0) SETCLIPBOARD(ContactClipboardText(C_));
    return Level_Benign;
  }
  if (accepted == pick_category_) {
    PickCategory();
    return Level_Benign;
  }
  return ListWindow::TakeAccepted();
}

Level ContactsWindow::TakeWindowEvent() {
  if (EVENT() == kEmailEvent) {
    EmailContact();
    return Level_Benign;
  }
  return ListWindow::TakeWindowEvent();
}

Level ContactsWindow::TakeNewSelection() {
  TakeOrderTab(sheet_, xplore_, browse_, list_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseContacts() {
  Window window("Contacts");
  ContactsWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
