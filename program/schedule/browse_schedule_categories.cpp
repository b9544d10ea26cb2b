#include <string>

#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/table_view.h"
#include "program/common/main_procedures.h"
#include "program/due_tasks/user_task_state.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/user_task_sequence.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr std::string_view kCategoryFormat = "80L(2)|~Categories~L(1)@s20@";
constexpr std::string_view kTaskFormat =
    "45L(2)M|~Date~L(1)@d6b@32L(2)M|~Time~L(1)@t3b@160L(2)M|~Description~L(1)@s40@80L(2)M|~Task "
    "Type~L(1)@s20@";

// The task form lives with the task editor; until it is registered the task buttons stay grey.
std::function<void()> TaskForm() { return MainProcedure("UpdateSchedule"); }

// The enabled tasks of one category in date and time order: a walk of the category-date key
// over the records of that category only. In multi-user mode each task is read with the
// current user's own state of it, in the order of the user's dates.
class CategoryTasksView final : public BrowseView {
 public:
  bool has_category = false;
  String<20> category;

  void Reset(int) override {
    storage::File& file = ACCESS_SCHEDULE->file();
    SCH.Category = category.view();
    per_user_ = PerUserTaskState();
    walking_ = has_category &&
               file.SetEqual(SCH_KEYCATEGORYDATE, {SCHEDULE_TABLE().FieldIndex("Category")}) == 0;
    if (!per_user_) return;
    user_tasks_.Begin();
    if (walking_) user_tasks_.AddWalk();
    user_tasks_.SortByRun();
  }
  bool Next() override {
    if (per_user_) return user_tasks_.Next();
    if (!walking_) return false;
    walking_ = ACCESS_SCHEDULE->file().Next() == 0;
    return walking_;
  }
  long Position() const override { return static_cast<long>(ACCESS_SCHEDULE->file().Position()); }
  bool Fetch(long position) override {
    return position != 0 && ACCESS_SCHEDULE->file().GetPosition(position) == 0;
  }

 private:
  bool walking_ = false;
  bool per_user_ = false;
  UserTaskSequence user_tasks_;
};

class TaskBrowse final : public ZQBROWSECLASS {
 public:
  bool copy = false;  // the next insert starts from the highlighted task
  int copy_control = 0;

  void SetQueueRecord() override {
    Q = {std::to_string(SCH.Date), std::to_string(SCH.Time), SCH.Description.str(),
         SCH.TaskType.str(),       std::to_string(SCH.ID),   SCH.Category.str()};
  }
  void PrimeRecord(bool keep_buffer) override {
    const bool keep = keep_buffer || copy;
    copy = false;
    ACCESS_SCHEDULE->PrimeRecord(keep);
  }
  void UpdateWindow() override {
    ZQBROWSECLASS::UpdateWindow();
    if (!ListControl()) return;
    Window& w = ListControl()->OwnerWindow();
    const bool form = static_cast<bool>(TaskForm());
    if (copy_control) w[copy_control].Enable(form && Records() > 0);
    if (!form) {
      for (int control : {InsertControl, ChangeControl, DeleteControl}) {
        if (control) w[control].Disable();
      }
    }
  }
};

class CategoryBrowse final : public ZQBROWSECLASS {
 public:
  CategoryTasksView* tasks_view = nullptr;
  ZQBROWSECLASS* tasks = nullptr;

  void SetQueueRecord() override { Q = {CAT.Category.str()}; }
  void PrimeRecord(bool keep_buffer) override { ACCESS_CATEGORIES->PrimeRecord(keep_buffer); }
  // The task list follows the highlighted category.
  void UpdateBuffer() override {
    ZQBROWSECLASS::UpdateBuffer();
    if (!tasks_view || !tasks) return;
    tasks_view->has_category = Records() > 0;
    tasks_view->category = CAT.Category.view();
    tasks->ResetFromView();
  }
};

class CategoriesWindow final : public ListWindow {
 public:
  explicit CategoriesWindow(Window& window)
      : ListWindow(window, "BrowseScheduleCategories", *RELATE_CATEGORIES),  // opens the tasks too
        category_view_(ACCESS_CATEGORIES->file(), {&CAT_KEYCATEGORY}) {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;

 private:
  CategoryBrowse categories_;
  TaskBrowse tasks_;
  ListXplore xplore_;
  TableView category_view_;
  CategoryTasksView task_view_;
  int category_list_ = 0, task_list_ = 0;
  // The task list's Copy is its own (a copy of the highlighted task through the task form), not
  // the browse's.
  int task_copy_ = 0;
  ListButtons task_buttons_, category_buttons_;
};

void CategoriesWindow::Build() {
  Window& w = window();
  w.Icon("PICK.ICO");
  category_list_ = w.List(kCategoryFormat);
  Control& tasks = w.Panel();
  tasks.String("Scheduled Tasks for Highlighted Category");
  task_list_ = tasks.List(kTaskFormat);
  task_buttons_.insert = tasks.Button("New");
  task_copy_ = tasks.Button("Cop&y");
  task_buttons_.change = tasks.Button("Edit");
  task_buttons_.remove = tasks.Button("Delete");
  category_buttons_.insert = w.Button("&New");
  category_buttons_.change = w.Button("&Edit");
  category_buttons_.remove = w.Button("&Delete");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Functions");
}

Level CategoriesWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  tasks_.Init(window()[task_list_], task_view_, *this);
  tasks_.AddSortOrder();
  ACCESS_SCHEDULE->BindFieldsLater(tasks_.Bindings);
  tasks_.SetFilterExpression("(SCH:Disabled=0)");
  tasks_.SetLocator([] { return FormatDate(SCH.Date); });
  WireButtons(tasks_, task_buttons_, [] {
    if (auto form = TaskForm()) form();
  });
  tasks_.copy_control = task_copy_;

  categories_.Init(window()[category_list_], category_view_, *this);
  categories_.AddSortOrder();
  categories_.SetLocator([] { return CAT.Category.str(); });
  WireButtons(categories_, category_buttons_, UpdateCategories);
  categories_.tasks_view = &task_view_;
  categories_.tasks = &tasks_;

  const std::string date_picture = DatePicture().substr(1);
  window()[category_list_].Format(ReplaceDatePictures(kCategoryFormat, date_picture));
  window()[task_list_].Format(ReplaceDatePictures(kTaskFormat, date_picture));
  AttachListExtension(
      xplore_, tasks_, task_list_, "?List",
      {"SCH:Date", "SCH:Time", "SCH:Description", "SCH:TaskType", "SCH:ID", "SCH:Category"},
      "Underline");
  OpenList(category_list_);
  tasks_.Popup.AddItemMimic("Copy", task_copy_, "Cop&y");
  return Level_Benign;
}

Level CategoriesWindow::TakeAccepted() {
  if (ACCEPTED() == task_copy_) {
    Update();
    if (tasks_.Records() == 0) return Level_Notify;
    GLO_SCH_ID = SCH.ID;
    tasks_.copy = true;
    window().Post(EVENT_Accepted, task_buttons_.insert);
    return Level_Notify;
  }
  return ListWindow::TakeAccepted();
}

Level CategoriesWindow::TakeNewSelection() {
  if (FIELD() == category_list_) window().Status(1, "Browsing Functions");
  if (FIELD() == task_list_) window().Status(1, "Browsing Tasks");
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseScheduleCategories() {
  Window window("Task Categories");
  CategoriesWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
