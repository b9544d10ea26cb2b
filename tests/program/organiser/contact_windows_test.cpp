// The address book on real tables: the contacts list in its seven orders, the clipboard copy,
// "Email..." handing the contact to a new message, the picker; the contact categories' two-pane
// window and the relation that keeps a category in use.
#include "program/organiser/contact_windows.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "datadll/dictionary/contact_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/request_globals.h"
#include "program/common/main_procedures.h"
#include "program/organiser/new_message_to.h"
#include "program/windows/list_window.h"
#include "support/list_columns.h"
#include "support/popup_menu.h"
#include "tests/program/window_fixture.h"

namespace vx {
namespace {

using Texts = std::vector<std::string>;
using test::ColumnTexts;
using test::PopupEntryGreyed;
using test::PopupNumber;

// "Contacts": the sheet, its seven tabs and the category button on the last, then the list.
constexpr int kContactList = 10;
// "Contact Categories": each pane is a panel holding its list and a row of buttons (the two rows
// share their words).
constexpr int kCategoryList = 3;
constexpr int kCategoryEdit = 6, kCategoryDelete = 7;
constexpr int kPaneContactList = 10;
constexpr int kPaneContactNew = 12;

struct Contact {
  const char *last, *first, *work, *home, *fax, *email, *category;
};

class ContactWindowsTest : public test::WindowTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    // Every order puts the three in a sequence of its own.
    AddContact({"Adams", "Zoe", "555-3", "555-1", "555-2", "b@example.org", "Family"});
    AddContact({"Brown", "Ben", "555-1", "555-3", "555-3", "a@example.org", "Family"});
    AddContact({"Clark", "Amy", "555-2", "555-2", "555-1", "c@example.org", ""});
    AddCategory("Family");
    AddCategory("Work");
  }
  void TearDown() override {
    WindowTest::TearDown();
    RegisterMainProcedure("UpdateMessages", {});
  }

  static void AddContact(const Contact& c) {
    ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
    ACCESS_CONTACT->PrimeRecord();
    C_.LastName = c.last;
    C_.FirstName = c.first;
    C_.WorkDayPhone = c.work;
    C_.HomeEveningPhone = c.home;
    C_.Fax = c.fax;
    C_.Email = c.email;
    C_.ContactCategory = c.category;
    ASSERT_EQ(ACCESS_CONTACT->Insert(), 0);
    ACCESS_CONTACT->Close();
  }
  static void AddCategory(std::string_view name) {
    ASSERT_EQ(ACCESS_CONTACTCATEGORIES->Open(), 0);
    CC.ContactCategory = name;
    ASSERT_EQ(ACCESS_CONTACTCATEGORIES->Insert(), 0);
    ACCESS_CONTACTCATEGORIES->Close();
  }
  // Every stored contact as "Last category", in last-name order.
  static Texts StoredContacts() {
    Texts out;
    EXPECT_EQ(ACCESS_CONTACT->Open(), 0);
    ACCESS_CONTACT->Set(C__KEYLASTNAME);
    while (ACCESS_CONTACT->TryNext() == 0)
      out.push_back(C_.LastName.str() + " " + C_.ContactCategory.str());
    ACCESS_CONTACT->Close();
    return out;
  }
  DriverWindow StartContacts() {
    ui_.Start([] { BrowseContacts(); });
    return ui_.WaitWindow("Contacts");
  }
  // Opens the list popup once to read it and answers it with nothing chosen; its text.
  std::string ReadPopup(DriverWindow& w, int list) {
    ui_.AnswerPopup(0);
    w.ControlNumber(list).RightClick();
    return ui_.Requests().back().text;
  }
  void ChoosePopup(DriverWindow& w, int list, std::string_view item) {
    const long number = PopupNumber(ReadPopup(w, list), item);
    ASSERT_NE(number, 0) << item;
    ui_.AnswerPopup(number);
    w.ControlNumber(list).RightClick();
  }
  // Picks a category through "Select Cate&gory" on the "Category" tab.
  void PickCategory(DriverWindow& w, long row) {
    w.Control("Select Cate&gory").Press();
    DriverWindow picker = ui_.WaitWindow("Select a Category");
    picker.ControlNumber(picker.Control("&Select").Number() - 1).ChooseRow(row);
    picker.Control("&Select").Press();
    ui_.WaitClosed(picker);
  }
};

TEST_F(ContactWindowsTest, EachTabListsTheContactsInItsOwnOrder) {
  DriverWindow w = StartContacts();
  DriverControl sheet = w.ControlNumber(1);
  DriverControl list = w.ControlNumber(kContactList);
  struct Case {
    const char* tab;
    Texts last_names;
  };
  const Case cases[] = {
      {"Last Name", {"Adams", "Brown", "Clark"}},
      {"First Name", {"Clark", "Brown", "Adams"}},
      {"Work/Day Phone", {"Brown", "Clark", "Adams"}},
      {"Home/Evening Phone", {"Adams", "Clark", "Brown"}},
      {"Fax", {"Clark", "Adams", "Brown"}},
      {"Email", {"Brown", "Adams", "Clark"}},
      // No category chosen yet: the contacts without one.
      {"Category", {"Clark"}},
  };
  EXPECT_EQ(ColumnTexts(list, 1), cases[0].last_names);  // the first tab's order at open
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tab);
    sheet.Choose(c.tab);
    EXPECT_EQ(ColumnTexts(list, 1), c.last_names);
  }
  EXPECT_EQ(list.Cell(1, 3), "c@example.org");
  EXPECT_EQ(list.Cell(1, 7), "");

  // The category tab lists the category picked last, by last name; one without contacts is
  // empty and greys what needs a contact.
  PickCategory(w, 1);  // Family
  EXPECT_EQ(ColumnTexts(list, 1), (Texts{"Adams", "Brown"}));
  EXPECT_EQ(ColumnTexts(list, 7), (Texts{"Family", "Family"}));
  EXPECT_FALSE(PopupEntryGreyed(ReadPopup(w, kContactList), "Email..."));
  PickCategory(w, 2);  // Work
  EXPECT_EQ(list.Rows(), 0u);
  EXPECT_TRUE(w.Control("Cop&y").Disabled());
  const std::string popup = ReadPopup(w, kContactList);
  EXPECT_TRUE(PopupEntryGreyed(popup, "Email...")) << popup;
  EXPECT_TRUE(PopupEntryGreyed(popup, "Cop&y")) << popup;
  sheet.Choose("Last Name");
  EXPECT_EQ(list.Rows(), 3u);
  w.Close();
  ui_.Finish();
}

TEST_F(ContactWindowsTest, CopyToClipboardWritesEveryLineOfTheContact) {
  ASSERT_EQ(ACCESS_CONTACT->Open(), 0);
  ACCESS_CONTACT->Set(C__KEYLASTNAME);
  ASSERT_EQ(ACCESS_CONTACT->TryNext(), 0);  // Adams
  C_.AddressLine1 = "1 High Street";
  C_.AddressLine3 = "Newtown";
  C_.PostalCode = "NT1 2AB";
  C_.OtherPhone = "555-9";
  C_.Website = "www.example.org";
  ASSERT_EQ(ACCESS_CONTACT->Update(), 0);
  ACCESS_CONTACT->Close();

  DriverWindow w = StartContacts();
  w.ControlNumber(kContactList).ChooseRow(1);
  w.Control("&Copy to Clipboard").Press();
  EXPECT_EQ(ui_.LastClipboardWrite(),
            "Adams\r\nZoe\r\n1 High Street\r\n\r\nNewtown\r\nNT1 2AB\r\n"
            "Work Phone: 555-3\r\nHome Phone: 555-1\r\nFax: 555-2\r\nOther Phone: 555-9\r\n"
            "Email: b@example.org\r\nWeb Site: www.example.org\r\nCategory: Family\r\n");
  // The popup's item does the same for the highlighted contact.
  w.ControlNumber(kContactList).ChooseRow(3);
  ChoosePopup(w, kContactList, "&Copy to Clipboard");
  EXPECT_EQ(ui_.LastClipboardWrite().substr(0, 12), "Clark\r\nAmy\r\n");
  w.Close();
  ui_.Finish();

  // A contact with a last name alone: five empty lines, then each label by itself.
  CONTACT_RECORD only_name;
  only_name.LastName = "Doe";
  EXPECT_EQ(ContactClipboardText(only_name),
            "Doe\r\n\r\n\r\n\r\n\r\n\r\nWork Phone:\r\nHome Phone:\r\nFax:\r\nOther Phone:\r\n"
            "Email:\r\nWeb Site:\r\nCategory:\r\n");
}

TEST_F(ContactWindowsTest, EmailOpensTheMessageFormToInsertAMessageToTheHighlightedContact) {
  std::mutex seen_mutex;
  Texts seen;  // request, contact, address, name
  // The message form's side of the hand-over: prime the new record, then address it.
  RegisterMainProcedure("UpdateMessages", [&] {
    M_ = MESSAGES_RECORD{};
    const std::int32_t contact = TakeNewMessageContact();
    const bool addressed = AddressMessageToContact(contact);
    std::lock_guard lock(seen_mutex);
    seen.push_back(std::to_string(CurrentRequest()) + " " + std::to_string(contact != 0) + " " +
                   std::to_string(addressed) + " " + M_.EmailTo.str() + " " + M_.EmailToName.str() +
                   " " + std::to_string(M_.ContactID == contact));
    SetCurrentResponse(RequestCancelled);
  });
  DriverWindow w = StartContacts();
  w.ControlNumber(kContactList).ChooseRow(1);  // Adams
  ChoosePopup(w, kContactList, "Email...");
  w.ControlNumber(kContactList).ChooseRow(3);  // Clark
  ChoosePopup(w, kContactList, "Email...");
  w.Close();
  ui_.Finish();
  std::lock_guard lock(seen_mutex);
  EXPECT_EQ(seen, (Texts{"1 1 1 b@example.org Zoe Adams 1", "1 1 1 c@example.org Amy Clark 1"}));

  // A contact not in the buffer is read by its id; one that is not stored addresses nothing.
  C_ = CONTACT_RECORD{};
  M_ = MESSAGES_RECORD{};
  EXPECT_TRUE(AddressMessageToContact(2));
  EXPECT_EQ(M_.EmailTo.str() + "/" + M_.EmailToName.str(), "a@example.org/Ben Brown");
  EXPECT_FALSE(AddressMessageToContact(999));
  EXPECT_EQ(M_.EmailTo.str(), "a@example.org");
}

TEST_F(ContactWindowsTest, APickerLeavesTheChosenContactInTheBuffer) {
  bool picked = false;
  std::string chosen;
  ui_.Start([&] {
    picked = ListWindow::Pick(BrowseContacts);
    chosen = C_.LastName.str() + " " + C_.Email.str();
  });
  DriverWindow w = ui_.WaitWindow("Contacts");
  EXPECT_FALSE(w.Control("&Select").Hidden());
  w.ControlNumber(kContactList).ChooseRow(2);
  w.Control("&Select").Press();
  ui_.Finish();
  EXPECT_TRUE(picked);
  EXPECT_EQ(chosen, "Brown a@example.org");
}

TEST_F(ContactWindowsTest, TheFormNeedsALastNameAndCopyStartsFromTheHighlightedContact) {
  DriverWindow w = StartContacts();
  EXPECT_TRUE(w.Control("&Select").Hidden());
  w.Control("&New").Press();
  DriverWindow form = ui_.WaitWindow("New Contact");
  form.Control("&OK").Press();
  EXPECT_EQ(ui_.WaitMessage(BUTTON_OK).text, "\"Last Name\" must be entered.");
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);

  w.ControlNumber(kContactList).ChooseRow(2);  // Brown
  w.Control("Cop&y").Press();
  form = ui_.WaitWindow("New Contact");
  EXPECT_EQ(form.Control("&Email:").Value(), "a@example.org");
  form.Control("&Last Name:").Type("Brown-Jones");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(w.ControlNumber(kContactList).Rows(), 4u);
  w.Close();
  ui_.Finish();
  EXPECT_EQ(StoredContacts(),
            (Texts{"Adams Family", "Brown Family", "Brown-Jones Family", "Clark "}));
}

TEST_F(ContactWindowsTest, TheContactPaneFollowsTheHighlightedCategory) {
  ui_.Start([] { BrowseContactCategories2Pane(); });
  DriverWindow w = ui_.WaitWindow("Contact Categories");
  DriverControl categories = w.ControlNumber(kCategoryList);
  DriverControl contacts = w.ControlNumber(kPaneContactList);
  EXPECT_EQ(ColumnTexts(categories, 1), (Texts{"Family", "Work"}));
  EXPECT_EQ(ColumnTexts(contacts, 2), (Texts{"Adams", "Brown"}));
  EXPECT_FALSE(w.Control("Cop&y").Disabled());

  categories.ChooseRow(2);  // Work: nobody yet
  EXPECT_EQ(contacts.Rows(), 0u);
  EXPECT_TRUE(w.Control("Cop&y").Disabled());
  EXPECT_TRUE(PopupEntryGreyed(ReadPopup(w, kPaneContactList), "Cop&y"));

  // A contact added here shows in the pane only when it is of the highlighted category.
  for (const char* category : {"Family", "Work"}) {
    w.ControlNumber(kPaneContactNew).Press();
    DriverWindow form = ui_.WaitWindow("New Contact");
    form.Control("&Last Name:").Type(std::string("New ") + category);
    form.Control("Contact Category:").Choose(category);
    form.Control("&OK").Press();
    ui_.WaitClosed(form);
  }
  EXPECT_EQ(ColumnTexts(contacts, 2), (Texts{"New Work"}));
  categories.ChooseRow(1);
  EXPECT_EQ(ColumnTexts(contacts, 2), (Texts{"Adams", "Brown", "New Family"}));
  w.Close();
  ui_.Finish();
}

TEST_F(ContactWindowsTest, ACategoryThatContactsUseCanBeNeitherRenamedNorDeleted) {
  ui_.Start([] { BrowseContactCategories2Pane(); });
  DriverWindow w = ui_.WaitWindow("Contact Categories");
  DriverControl categories = w.ControlNumber(kCategoryList);
  categories.ChooseRow(1);  // Family
  w.ControlNumber(kCategoryEdit).Press();
  DriverWindow form = ui_.WaitWindow("Edit Contact Category");
  form.Control("&Category:").Type("Relatives");
  form.Control("&OK").Press();
  EXPECT_TRUE(form.Open());
  ASSERT_FALSE(reporter_.shown.empty());
  EXPECT_EQ(reporter_.shown.back().caption, "Referential Integrity Update Error");
  EXPECT_NE(reporter_.shown.back().text.find("This record is referenced from the file"),
            std::string::npos)
      << reporter_.shown.back().text;
  form.Control("Cancel").Press();
  ui_.WaitClosed(form);

  w.ControlNumber(kCategoryDelete).Press();
  form = ui_.WaitWindow("Delete Contact Category");
  EXPECT_TRUE(form.Control("&Category:").Disabled());
  form.Control("&OK").Press();
  EXPECT_TRUE(form.Open());
  EXPECT_EQ(reporter_.shown.back().caption, "Referential Integrity Delete Error");
  EXPECT_NE(reporter_.shown.back().text.find("cannot be deleted while these references exist"),
            std::string::npos)
      << reporter_.shown.back().text;
  form.Control("Cl&ose").Press();
  ui_.WaitClosed(form);

  // A category nobody uses is renamed and deleted.
  categories.ChooseRow(2);  // Work
  w.ControlNumber(kCategoryEdit).Press();
  form = ui_.WaitWindow("Edit Contact Category");
  form.Control("&Category:").Type("Office");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(ColumnTexts(categories, 1), (Texts{"Family", "Office"}));
  w.ControlNumber(kCategoryDelete).Press();
  form = ui_.WaitWindow("Delete Contact Category");
  form.Control("&OK").Press();
  ui_.WaitClosed(form);
  EXPECT_EQ(ColumnTexts(categories, 1), (Texts{"Family"}));
  w.Close();
  ui_.Finish();
  EXPECT_EQ(StoredContacts(), (Texts{"Adams Family", "Brown Family", "Clark "}));
}

}  // namespace
}  // namespace vx
