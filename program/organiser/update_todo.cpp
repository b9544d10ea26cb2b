#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/todo_tables.h"
#include "datadll/utility/colour_tab_class.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "program/common/calendar.h"
#include "program/organiser/todo_items.h"
#include "program/organiser/todo_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/record_form.h"
#include "runtime/dates.h"

namespace vx {
namespace {

constexpr int kPriorityField = 2;  // TDO:Priority, the field with the table's range rule

// The stored task categories, in name order, as the category combo lists them.
std::string CategoryChoices() {
  std::string choices;
  const CATEGORIES_RECORD kept = CAT;
  const storage::FileState position = ACCESS_CATEGORIES->SaveFile();
  ACCESS_CATEGORIES->UseFile();
  ACCESS_CATEGORIES->Set(CAT_KEYCATEGORY);
  while (ACCESS_CATEGORIES->TryNext() == 0)
    choices += (choices.empty() ? "" : "|") + CAT.Category.str();
  ACCESS_CATEGORIES->RestoreFile(position);
  CAT = kept;
  return choices;
}

class ToDoForm final : public RecordForm {
 public:
  explicit ToDoForm(Window& window)
      : RecordForm(window, "UpdateTodo", *RELATE_TODO, "To Do Item") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeCompleted() override;

 private:
  bool PriorityInRange();

  std::uint8_t opened_done_ = 0;
  int sheet_ = 0, description_ = 0, priority_ = 0, date_ = 0, time_ = 0, calendar_ = 0;
  int done_ = 0;
};

void ToDoForm::Build() {
  Window& w = window();
  w.Icon("TODODOC.ICO");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  Control& general = sheet.Tab("General");
  general.Prompt("&To Do Item (Description):");
  description_ = general.Entry(TDO.ToDo, "@s80").Tip("To Do (Description)").Required();
  general.Prompt("&Priority:");
  priority_ = general.Spin(TDO.Priority, "@n2", 1, 10);
  general.Prompt("&Category:");
  general.Combo(TDO.Category, "@s20", CategoryChoices());
  general.Prompt("&Notes:");
  general.Text(TDO.Notes);
  Control& resolution = sheet.Tab("Resolution");
  resolution.Prompt("&Resolution:");
  resolution.Text(TDO.Resolution);
  resolution.Prompt("Completion Date:");
  Control& date_row = resolution.Row();  // the calendar button beside the date it fills
  // Blank while the item was never done, so that a save keeps no completion moment.
  date_ = date_row.Entry(TDO.CompletionDate, DatePicture() + "b");
  calendar_ = date_row.Button("...").Icon("~calendar.ico").Tip("Select Completion Date");
  resolution.Prompt("Completion Time:");
  time_ = resolution.Entry(TDO.CompletionTime, "@t7b");
  done_ = w.Check("&Done", TDO.Done);
  OkControl = w.Button("&OK").Default();
  CancelControl = w.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

Level ToDoForm::Init() {
  opened_done_ = TDO.Done;
  if (CAT.Category.blank()) CAT.Category = "General";
  if (TDO.Category.blank()) TDO.Category = "General";
  if (CurrentRequest() == InsertRecord) {
    TDO.Priority = 5;
    TDO.Category = CAT.Category.view();
  }
  RecordForm::Init();
  Required.ADDFIELD(description_, "TDO:ToDo", "", "", "To Do", true);
  ColourTabs();
  if (Request == ViewRecord || Request == DeleteRecord) window().Select(CancelControl);
  return Level_Benign;
}

Level ToDoForm::Kill() { return RecordForm::Kill(); }

// The table's rule on the priority, shown through the error object; the field is selected
// again when it fails.
bool ToDoForm::PriorityInRange() {
  if (ACCESS_TODO->ValidateField(kPriorityField) == 0) return true;
  window().Select(priority_);
  return false;
}

Level ToDoForm::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == priority_) {
    PriorityInRange();
    return Level_Notify;
  }
  if (control == calendar_) {
    TDO.CompletionDate = Calendar(TDO.CompletionDate, "None", "Select Completion Date");
    window()[date_].Display();
    return Level_Notify;
  }
  if (control == done_ && TDO.Done != 0 && opened_done_ == 0) {
    StampToDoDone(TDO);
    window()[date_].Display();
    window()[time_].Display();
  }
  return RecordForm::TakeAccepted();
}

Level ToDoForm::TakeNewSelection() {
  if (RecolourTabs(sheet_)) {
    if (Request == ViewRecord || Request == DeleteRecord) window().Select(CancelControl);
  }
  return RecordForm::TakeNewSelection();
}

Level ToDoForm::TakeCompleted() {
  if (Request != InsertRecord && Request != ChangeRecord) return RecordForm::TakeCompleted();
  Update();
  if (Required.INCOMPLETE() != 0 || !PriorityInRange()) return Level_Notify;
  TDO.NetworkUser = USERID.view();
  TDO.LastChangeDate = TODAY();
  TDO.LastChangeTime = CLOCK();
  if (TDO.OriginalID == 0) TDO.OriginalID = NextToDoOriginalID();
  return RecordForm::TakeCompleted();
}

}  // namespace

void UpdateTodo() {
  Window window("Update To Do Item");
  ToDoForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
