#include <limits>
#include <optional>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "program/script_engine/describe_script_step.h"
#include "program/script_engine/move_script_step.h"
#include "program/script_engine/script_tables.h"
#include "program/scripts/edit_script_as_text.h"
#include "program/scripts/script_prints.h"
#include "program/scripts/script_procedures.h"
#include "program/scripts/script_windows.h"
#include "program/scripts/template_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/dates.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat = "100L(2)|M~Action~@s20@320L(2)|M~Details~@s80@";
constexpr std::size_t kDetailsWidth = 80;

// The steps of one task in sequence order (key SCR:KeyID from the task's first step).
class TaskStepsView final : public BrowseView {
 public:
  explicit TaskStepsView(std::int32_t task) : task_(task) {}
  void Reset(int) override {
    SCR.ID = task_;
    SCR.Sequence = std::numeric_limits<std::int32_t>::min();
    ended_ = ACCESS_SCRIPTING->file().SetFromBuffer(SCR_KEYID) != 0;
  }
  bool Next() override {
    if (ended_ || ACCESS_SCRIPTING->file().Next() != 0 || SCR.ID != task_) ended_ = true;
    return !ended_;
  }
  long Position() const override { return static_cast<long>(ACCESS_SCRIPTING->file().Position()); }
  bool Fetch(long position) override {
    return position != 0 && ACCESS_SCRIPTING->file().GetPosition(position) == 0;
  }

 private:
  std::int32_t task_;
  bool ended_ = true;
};

class ScriptBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override {
    Q = {SCR.Action.str(), std::string(CutUtf8(DescribeScriptStep(SCR), kDetailsWidth)),
         std::to_string(SCR.ID), std::to_string(SCR.Sequence)};
  }
  // A new step of the task; a copy keeps the highlighted step's fields. Either way it gets the
  // number after the task's highest step, from which it is moved into place.
  void PrimeRecord(bool keep_buffer) override {
    ACCESS_SCRIPTING->PrimeRecord(keep_buffer);
    if (keep_buffer) return;
    SCR.Action = "Send Keys";
    SCR.WindowExistance = "Window exists";
    SCR.IfTimeElapsed = "Time elapsed is greater than";
    SCR.TimeElapsed = 86400;
  }
  void SetAlerts() override {
    ZQBROWSECLASS::SetAlerts();
    Popup.AddItem("-", "ScriptSeparator");
    for (const auto& [name, control] : extra_items) Popup.AddItemMimic(name, control);
  }
  void UpdateWindow() override {
    ZQBROWSECLASS::UpdateWindow();
    Popup.SetItemEnable("Copy", Records() > 0);
  }
  long Insert(bool copy) {
    PrimeRecord(copy);
    return AskPrimed(InsertRecord);
  }
  std::vector<std::pair<std::string, int>> extra_items;
};

class ScriptingWindow final : public ListWindow {
 public:
  ScriptingWindow(Window& window, std::int32_t task)
      : ListWindow(window, "BrowseScripting", *RELATE_SCRIPTING), task_(task), view_(task) {}

  void Build();
  Level Init() override;

 private:
  void Insert(bool copy);
  void Delete();
  void Move(StepMove mode);
  void Refresh();

  std::int32_t task_;
  TaskStepsView view_;
  ScriptBrowse browse_;
  ListXplore xplore_;
  int list_ = 0;
  ListButtons buttons_;
  int up_ = 0, top_ = 0, down_ = 0, bottom_ = 0;
  int import_ = 0, export_ = 0, clear_ = 0, print_ = 0, template_ = 0, as_text_ = 0;
};

void ScriptingWindow::Build() {
  Window& w = window();
  list_ = w.List(kListFormat).Tip("Script items of the task");
  Control& edit = w.Row();
  buttons_.insert = edit.Button("&New").Tip("Add a script item");
  buttons_.copy = edit.Button("Cop&y").Tip("Copy the highlighted script item");
  buttons_.change = edit.Button("&Edit").Tip("Edit the highlighted script item");
  buttons_.remove = edit.Button("&Delete").Tip("Delete the highlighted script item");
  Control& move = w.Row();
  up_ = move.Button("Up").Icon("moveup.ico").Tip("Move record up one");
  top_ = move.Button("Top").Tip("Move record to the top");
  down_ = move.Button("Down").Icon("movedown.ico").Tip("Move record down one");
  bottom_ = move.Button("Bottom").Tip("Move record to the bottom");
  Control& files = w.Row();
  import_ = files.Button("&Import").Tip("Import script items from a text file");
  export_ = files.Button("E&xport").Tip(
      "Export script items from a text file - backup and transfer scripts, or use your own editor");
  clear_ = files.Button("Clear").Tip("Clear all script items");
  as_text_ = files.Button("Edit as &Text");
  Control& other = w.Row();
  template_ = other.Button("&Template").Tip("Add a script template");
  print_ = other.Button("&Print").Tip("Print all script items for the current task");
  CancelControl = other.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level ScriptingWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  if (SCH.ID == 0) MESSAGE("Invalid Schedule ID #0", "Internal Error", MessageIcon::Exclamation);
  if (SCH.Command.clipped().empty()) SCH.Command = "N/A";
  if (SCH.Description.clipped().empty()) SCH.Description = "Script " + FormatDate(TODAY());
  window().Title("Scripting - " + SCH.Category.str() + ": " + SCH.Description.str() + " " +
                 SCH.Command.str());

  browse_.extra_items = {{"Template", template_}, {"EditAsText", as_text_},
                         {"Print", print_},       {"Import", import_},
                         {"Export", export_},     {"Copy", buttons_.copy}};
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return std::to_string(SCR.Sequence); });
  WireButtons(browse_, buttons_, UpdateScripting);

  // New, Copy and Delete keep the numbers in order around the step editor: the browse's own
  // handling of them is not used.
  On(EVENT_Accepted, buttons_.insert, [this] {
    Insert(false);
    return Level_Notify;
  });
  On(EVENT_Accepted, buttons_.copy, [this] {
    if (browse_.Records() > 0) Insert(true);
    return Level_Notify;
  });
  On(EVENT_Accepted, buttons_.remove, [this] {
    Delete();
    return Level_Notify;
  });
  OnAccepted(up_, [this] { Move(StepMove::UpOne); });
  OnAccepted(top_, [this] { Move(StepMove::ToTop); });
  OnAccepted(down_, [this] { Move(StepMove::DownOne); });
  OnAccepted(bottom_, [this] { Move(StepMove::ToBottom); });
  OnAccepted(import_, [this] {
    ImportScript();
    Refresh();
  });
  OnAccepted(export_, [this] {
    ExportScript();
    Refresh();
  });
  OnAccepted(clear_, [this] {
    ClearAllScriptItems({});
    Refresh();
  });
  OnAccepted(as_text_, [this] {
    Script_EditAsText();
    Refresh();
  });
  // A template chosen from the template list is appended to the task's steps.
  OnAccepted(template_, [this] {
    if (ListWindow::Pick(BrowseScriptTemplates)) {
      SCH.ID = task_;
      CopyScriptTemplateToScript();
    }
    Refresh();
  });
  OnAccepted(print_, [this] {
    SCH.ID = task_;
    PrintCurrentScript();
    window().Select(list_);
  });
  // The list extension: header-click sorting and the column layout kept in ".\POSITION.INI".
  AttachListExtension(xplore_, browse_, list_, "?Browse:1",
                      {"SCR:Action", "Details", "SCR:ID", "SCR:Sequence"}, ">Header");
  OpenList(list_);
  return Level_Benign;
}

void ScriptingWindow::Refresh() {
  browse_.ResetFromView();
  window().Select(list_);
}

void ScriptingWindow::Insert(bool copy) {
  if (copy) {
    // The copy's road: remember what is copied, then New's, which starts afresh.
    browse_.UpdateBuffer();
    GLO_COPYMODE = 1;
    GLO_SAVEID = SCR.ID;
    window().Select(list_);
  }
  GLO_COPYMODE = 0;
  GLO_SAVEID = 0;
  browse_.UpdateBuffer();
  const std::optional<std::int32_t> anchor =
      browse_.Records() > 0 ? std::optional<std::int32_t>(SCR.Sequence) : std::nullopt;
  if (browse_.Insert(copy) != RequestCompleted || !anchor) return;
  // The new step was added after the task's last one: it moves up to just after the anchor.
  if (SCR.Sequence != *anchor + 1) {
    ScriptingTableSteps steps;
    WindowMessageReporter messages;
    MoveScriptStep(StepMove::IntoPlace, task_, SCR.Sequence, *anchor, steps, messages);
  }
  Refresh();
}

void ScriptingWindow::Delete() {
  if (browse_.Records() == 0) return;
  browse_.UpdateBuffer();
  const std::int32_t deleted = SCR.Sequence;
  if (browse_.Ask(DeleteRecord) != RequestCompleted) return;
  ScriptingTableSteps steps;
  WindowMessageReporter messages;
  RenumberScriptSteps(task_, deleted, steps, messages);
  Refresh();
}

void ScriptingWindow::Move(StepMove mode) {
  if (browse_.Records() == 0) return;
  browse_.UpdateBuffer();
  const std::int32_t current = SCR.Sequence;
  {
    ScriptingTableSteps steps;
    WindowMessageReporter messages;
    MoveScriptStep(mode, task_, current, 0, steps, messages);
  }
  // The moved step keeps its place in the table, so the list keeps it highlighted.
  Refresh();
}

}  // namespace

void BrowseScripting() {
  Window window("Scripting");
  ScriptingWindow manager(window, SCH.ID);
  manager.Build();
  manager.Run();
}

}  // namespace vx
