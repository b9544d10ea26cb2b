#include "datadll/dictionary/categories_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "datadll/utility/req_fld_class.h"
#include "framework/table_form_saver.h"
#include "framework/window_manager.h"
#include "framework/window_position.h"
#include "program/schedule/category_windows.h"
#include "program/schedule/form_request.h"
#include "program/shell/program_errors.h"

namespace vx {
namespace {

constexpr std::string_view kProcedure = "UpdateCategories";

class CategoryForm final : public WindowManager {
 public:
  explicit CategoryForm(Window& window) : WindowManager(window), saver_(*RELATE_CATEGORIES) {}

  void Build() {
    Window& w = window();
    w.Prompt("&Category:");
    w.Entry(CAT.Category, "@s20").Required();
    ok_ = w.Button("&OK").Default();
    cancel_ = w.Button("Cancel");
    w.SetCancelButton(cancel_);
    OkControl = ok_;
    CancelControl = cancel_;
    Primary = &saver_;
  }

  Level Init() override {
    ProgramErrors().SetProcedureName(kProcedure);
    WindowManager::Init();
    RELATE_CATEGORIES->Open();
    Open();
    ApplyFormRequest(window(), Request, "Category", ok_, cancel_);
    if (IniFile* positions = IniInUse()) FetchWindowPlace(*positions, kProcedure, window());
    required_.INIT(window(), "Missing Information", "@PROMPT must be entered.");
    return Level_Benign;
  }

  Level Kill() override {
    required_.KILL();
    if (IniFile* positions = IniInUse()) SaveWindowPlace(*positions, kProcedure, window());
    WindowManager::Kill();
    RELATE_CATEGORIES->Close();
    ProgramErrors().SetProcedureName({});
    return Level_Benign;
  }

  Level TakeCompleted() override {
    Update();
    if ((Request == InsertRecord || Request == ChangeRecord) && required_.INCOMPLETE() != 0) return Level_Notify;
    return WindowManager::TakeCompleted();
  }

 private:
  TableFormSaver saver_;
  REQFLDCLASS required_;
  int ok_ = 0, cancel_ = 0;
};

}  // namespace

void UpdateCategories() {
  Window window("Update Category");
  CategoryForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
