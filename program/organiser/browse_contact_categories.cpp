#include <string>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/table_view.h"
#include "program/organiser/contact_view.h"
#include "program/organiser/contact_windows.h"
#include "program/windows/list_window.h"

namespace vx {
namespace {

constexpr std::string_view kCategoryFormat = "80L(2)M|~Categories~L(1)@s20@";
constexpr std::string_view kContactFormat =
    "80L(2)M|~First Name~@s20@100L(2)M|~Last Name~@s30@120L(2)M|~Email~@s40@"
    "100L(2)M|~Address Line 1~@s30@100L(2)M|~Address Line 2~@s30@"
    "100L(2)M|~Address Line 3~@s30@40L(2)M|~Postal Code~@s10@80L(2)M|~Work/Day Phone~@s20@"
    "80L(2)M|~Home/Evening Phone~@s20@80L(2)M|~Fax~@s20@";

class ContactBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override {
    Q = {C_.FirstName.str(),    C_.LastName.str(),     C_.Email.str(),
         C_.AddressLine1.str(), C_.AddressLine2.str(), C_.AddressLine3.str(),
         C_.PostalCode.str(),   C_.WorkDayPhone.str(), C_.HomeEveningPhone.str(),
         C_.Fax.str()};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_CONTACT->PrimeRecord(keep_buffer); }
  void UpdateWindow() override {
    ZQBROWSECLASS::UpdateWindow();
    if (Popup.HasItem("Copy")) Popup.SetItemEnable("Copy", Records() > 0);
  }
};

class CategoryBrowse final : public ZQBROWSECLASS {
 public:
  ContactView* contacts_view = nullptr;
  ZQBROWSECLASS* contacts = nullptr;

  void SetQueueRecord() override { Q = {CC.ContactCategory.str()}; }
  void PrimeRecord(bool keep_buffer) override {
    ACCESS_CONTACTCATEGORIES->PrimeRecord(keep_buffer);
  }
  // The contact list follows the highlighted category.
  void UpdateBuffer() override {
    ZQBROWSECLASS::UpdateBuffer();
    if (!contacts_view || !contacts) return;
    contacts_view->has_category = Records() > 0;
    contacts_view->category = CC.ContactCategory.str();
    contacts->ResetFromView();
  }
};

class ContactCategoriesWindow final : public ListWindow {
 public:
  explicit ContactCategoriesWindow(Window& window)
      : ListWindow(window, "BrowseContactCategories2Pane",
                   *RELATE_CONTACTCATEGORIES),  // opens the contacts too
        category_view_(ACCESS_CONTACTCATEGORIES->file(), {&CC_KEYCONTACTCATEGORIES}),
        contact_view_({&C__KEYCATEGORY}, 1) {}

  void Build();
  Level Init() override;
  Level TakeNewSelection() override;

 private:
  CategoryBrowse categories_;
  ContactBrowse contacts_;
  XPLORECLASS category_xplore_, contact_xplore_;  // after the browses they attach to
  TableView category_view_;
  ContactView contact_view_;
  int category_list_ = 0, contact_list_ = 0;
  ListButtons category_buttons_, contact_buttons_;
};

void ContactCategoriesWindow::Build() {
  Window& w = window();
  w.Icon("PICK.ICO");
  Control& panes = w.Beside();
  Control& categories = panes.Panel();
  category_list_ = categories.List(kCategoryFormat);
  Control& category_buttons = categories.Row();
  category_buttons_.insert = category_buttons.Button("&New");
  category_buttons_.change = category_buttons.Button("&Edit");
  category_buttons_.remove = category_buttons.Button("&Delete");
  Control& contacts = panes.Panel();
  contacts.String("Contacts for Highlighted Category");
  contact_list_ = contacts.List(kContactFormat);
  Control& contact_buttons = contacts.Row();
  contact_buttons_.insert = contact_buttons.Button("New");
  contact_buttons_.copy = contact_buttons.Button("Cop&y");
  contact_buttons_.change = contact_buttons.Button("Edit");
  contact_buttons_.remove = contact_buttons.Button("Delete");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Categories");
}

Level ContactCategoriesWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  contacts_.Init(window()[contact_list_], contact_view_, *this);
  contacts_.AddSortOrder();
  contacts_.SetLocator([] { return C_.LastName.str(); });
  WireButtons(contacts_, contact_buttons_, UpdateContacts);
  ACCESS_CONTACT->BindFieldsLater(contacts_.Bindings);

  categories_.Init(window()[category_list_], category_view_, *this);
  categories_.AddSortOrder();
  categories_.SetLocator([] { return CC.ContactCategory.str(); });
  WireButtons(categories_, category_buttons_, UpdateContactCategories);
  categories_.contacts_view = &contact_view_;
  categories_.contacts = &contacts_;

  AttachListExtension(category_xplore_, categories_, category_list_, "?Browse:1",
                      {"CC:ContactCategory"}, "Underline");
  AttachListExtension(
      contact_xplore_, contacts_, contact_list_, "?List",
      {"C_:FirstName", "C_:LastName", "C_:Email", "C_:AddressLine1", "C_:AddressLine2",
       "C_:AddressLine3", "C_:PostalCode", "C_:WorkDayPhone", "C_:HomeEveningPhone", "C_:Fax"},
      "Underline");
  OpenList(category_list_);
  contacts_.Popup.AddItemMimic("Copy", contact_buttons_.copy, "Cop&y");
  contacts_.UpdateWindow();
  return Level_Benign;
}

Level ContactCategoriesWindow::TakeNewSelection() {
  if (FIELD() == category_list_) window().Status(1, "Browsing Categories");
  if (FIELD() == contact_list_) window().Status(1, "Browsing Contacts");
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseContactCategories2Pane() {
  Window window("Contact Categories");
  ContactCategoriesWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
