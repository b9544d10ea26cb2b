#include <string>

#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/request_globals.h"
#include "program/admin/admin_windows.h"
#include "program/windows/record_form.h"

namespace vx {
namespace {

class UserForm final : public RecordForm {
 public:
  explicit UserForm(Window& window) : RecordForm(window, "UpdateUsers", *RELATE_USERS, "Users") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeNewSelection() override;

 private:
  int sheet_ = 0;
};

void UserForm::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& basic = sheet.Tab("Basic");
  basic.Prompt("&User:");
  basic.Entry(U_.USER, "@s40").Required();
  basic.Prompt("&Password:");
  basic.Entry(U_.PASSWORD, "@s40").Password();
  basic.Prompt("&Confirm Password:");
  basic.Entry(U_.CONFIRMPASSWORD, "@s40").Password();
  basic.Check("&Use Password", U_.USEPASSWORD);
  Control& access = basic.Option("Access to Information", U_.SECURITY).Arrange(Arrangement::Row);
  access.Radio("Pe&rsonal", "Personal");
  access.Radio("&All Users", "All Users");
  basic.Prompt("Source Pa&th:");
  basic.Entry(U_.SOURCEPATH, "@s255");
  Control& notes = sheet.Tab("Notes");
  notes.Prompt("&Notes:");
  notes.Text(U_.NOTES);
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level UserForm::Init() {
  RecordForm::Init();
  switch (Request) {
    case InsertRecord:
      window().Title("Add Users");
      break;
    case ChangeRecord:
      window().Title("Change Users ");
      break;
    default:
      break;  // "View Users", "Delete Users"
  }
  ColourTabs();
  return Level_Benign;
}

Level UserForm::Kill() { return RecordForm::Kill(); }

Level UserForm::TakeNewSelection() {
  RecolourTabs(sheet_);
  return RecordForm::TakeNewSelection();
}

}  // namespace

void UpdateUsers() {
  Window window("User");
  UserForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
