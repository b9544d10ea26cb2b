#include <algorithm>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/colour_tab_class.h"
#include "datadll/utility/form_wizard_class.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "program/hot_keys/hot_key_windows.h"
#include "program/scripts/script_wizard.h"
#include "program/windows/record_form.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/threads.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// Ctrl+' on a field puts back that field's value from the hot key saved last in this editor.
constexpr int kHistoryKey = 734;

// The fields of the hot key this editor saved last (in any list's thread of this run).
struct SavedHotKey {
  bool known = false;
  std::uint8_t active = 0;
  std::string hot_key, action, description, text_type, text;
};
std::mutex gSavedMutex;
SavedHotKey gSaved;

// The editor pages its sheet with Back and Next; every page is valid as it stands.
class HotKeyWizard final : public FORMWIZARDCLASS {
 public:
  long VALIDATE() override { return 0; }
};

class HotKeyForm final : public RecordForm {
 public:
  explicit HotKeyForm(Window& window)
      : RecordForm(window, "UpdateHotKeys", *RELATE_SYSHOTKEYS, "Hot Key") {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeCompleted() override;
  Level TakeFieldEvent() override;
  void Reset(bool force = false) override;

 private:
  void RestoreFromHistory(int control);
  void ComposeKey();
  void ShowActionPage();
  void LockControls();
  void RunScriptWizard();
  bool Locked() const { return OriginalRequest == ViewRecord || OriginalRequest == DeleteRecord; }

  HotKeyWizard wizard_;
  std::uint8_t win_ = 0, ctrl_ = 0, alt_ = 0, shift_ = 0;
  String<20> key_;
  String<20> opened_key_;
  int sheet_ = 0, text_tab_ = 0, task_tab_ = 0, back_ = 0, next_ = 0, action_ = 0, key_list_ = 0;
  int modifiers_[4] = {};
  int description_ = 0, task_description_ = 0, text_box_ = 0, active_ = 0, type_ = 0;
  std::vector<int> inputs_;  // the controls a view or delete leaves unchangeable
};

void HotKeyForm::Build() {
  Window& w = window();
  w.Set(Prop::Icon, "busykey2.ico");
  Control& sheet = w.Sheet();
  sheet_ = sheet;

  Control& basic = sheet.Tab("Basic");
  Control& group = basic.Group("Hot Key");
  group.Arrange(Arrangement::Row);
  modifiers_[0] = group.Check("Control", ctrl_).Tip("Control Key");
  modifiers_[1] = group.Check("Alt", alt_).Tip("Alt Key");
  modifiers_[2] = group.Check("Shift", shift_);
  modifiers_[3] =
      group.Check("Win", win_).Tip("The Super key (on most keyboards it carries a window logo)");
  std::string names;
  for (std::string_view name : HotKeyNames())
    names += (names.empty() ? "" : "|") + std::string(name);
  basic.Prompt("&Key:");
  key_list_ = basic.DropList(key_, names);
  const int active = basic.Check("&Active", HOT.Active).Tip("Should this hot key be active");
  active_ = active;
  basic.Prompt("Combination:");
  basic.String(HOT.HotKey, "@s20");

  Control& action = sheet.Tab("Action");
  Control& kind = action.Option("Text or Task", HOT.Action);
  kind.Radio("&Text - Automatically type text or copy to clipboard", "Text");
  kind.Radio("Ta&sk - Start/control programs with advanced options", "Task");
  action_ = kind;
  action.Prompt("Enter a description for this hot key (optional):");
  description_ = action.Entry(HOT.Description, "@s40").Tip("Description or Title of Task");

  Control& text = sheet.Tab("Text");
  text_tab_ = text;
  text.String("What automation should be performed with this text?");
  Control& type = text.Option("Type or use clipboard", HOT.TextType);
  type_ = type;
  type.Radio("Typing", "Type");
  type.Radio("Copy to clipboard", "Copy");
  type.Radio("Copy to clipboard, then paste (using CTRL-V)", "Paste");
  text.Prompt("Enter the text you wish to have typed/copied:");
  text_box_ = text.Text(HOT.Text).Tip("Text to type/place on clipboard");

  Control& task = sheet.Tab("Task");
  task_tab_ = task;
  task.String("Calling Script Wizard...");
  task_description_ = task.String(SCH.Description, "@s40");

  Control& buttons = w.Row();
  back_ = buttons.Button("&Back");
  next_ = buttons.Button("&Next");
  buttons.Image("keydown.ico");
  OkControl = buttons.Button("&OK");
  CancelControl = buttons.Button("Cancel");
  w.SetCancelButton(CancelControl);

  inputs_ = {modifiers_[0], modifiers_[1], modifiers_[2], modifiers_[3], key_list_,
             active,        action_,       type,          description_,  text_box_};
  for (Control* radio : w[action_].Children()) inputs_.push_back(*radio);
  for (Control* radio : w[type].Children()) inputs_.push_back(*radio);
  for (int field : {modifiers_[0], modifiers_[1], modifiers_[2], modifiers_[3], key_list_, active_,
                    action_, type_, description_, text_box_}) {
    w[field].Alert(kHistoryKey);
  }
  for (Control* radio : w[action_].Children()) radio->Alert(kHistoryKey);
  for (Control* radio : w[type].Children()) radio->Alert(kHistoryKey);
}

Level HotKeyForm::Init() {
  opened_key_ = HOT.HotKey.view();
  const HotKeyParts parts = SplitHotKeyText(HOT.HotKey.view());
  ctrl_ = parts.ctrl;
  alt_ = parts.alt;
  shift_ = parts.shift;
  win_ = parts.win;
  key_ = parts.key;
  RecordForm::Init();
  if (OriginalRequest == DeleteRecord) {
    // A deletion keeps the window's own title, and Cancel keeps its word.
    window().Title("Update HotKeys");
    window()[CancelControl].SetText("Cancel").Icon("");
  }
  Required.ADDFIELD(description_, "HOT:Description", "", "", "Description or Title of Task", true);
  wizard_.INIT(window(), sheet_, back_, next_, 1, 0, false, true, false, OkControl);
  ShowActionPage();
  ColourTabs();
  if (OriginalRequest == DeleteRecord)
    window().Select(CancelControl);
  else
    window().Select(modifiers_[0]);
  return Level_Benign;
}

Level HotKeyForm::Kill() {
  const Level level = RecordForm::Kill();
  // Main registers the stored hot keys again, so a new or changed key works at once.
  if (GLO_MAINTHREAD != 0) POST(EVENT_ReloadHotKeys, 0, GLO_MAINTHREAD);
  return level;
}

void HotKeyForm::Reset(bool force) {
  // The task tab shows the linked task's description, or nothing when there is none.
  SCH = SCHEDULE_RECORD{};
  SCH.ID = HOT.ID;
  if (HOT.ID == 0 || ACCESS_SCHEDULE->UseFile() != 0 || ACCESS_SCHEDULE->TryFetch(SCH_KEYID) != 0) {
    SCH = SCHEDULE_RECORD{};
  }
  RecordForm::Reset(force);
  if (Opened && Locked()) LockControls();
}

void HotKeyForm::LockControls() {
  for (int control : inputs_) window()[control].Disable();
}

void HotKeyForm::ComposeKey() {
  HotKeyParts parts;
  parts.win = win_ != 0;
  parts.ctrl = ctrl_ != 0;
  parts.alt = alt_ != 0;
  parts.shift = shift_ != 0;
  parts.key = key_.clipped();
  HOT.HotKey = ComposeHotKeyText(parts);
}

// The "Text" page for a text action, the "Task" page for a task; the other is skipped.
void HotKeyForm::ShowActionPage() {
  const bool task = HOT.Action.clipped() == "Task";
  window()[task_tab_].Hide(!task);
  window()[text_tab_].Hide(task);
  wizard_.RESETRANGE();
  wizard_.TAKENEWSELECTION();
}

void HotKeyForm::RunScriptWizard() {
  long request = InsertRecord;
  if (HOT.ID != 0) {
    SCH = SCHEDULE_RECORD{};
    SCH.ID = HOT.ID;
    if (ACCESS_SCHEDULE->UseFile() == 0 && ACCESS_SCHEDULE->TryFetch(SCH_KEYID) == 0) {
      request = ChangeRecord;
    } else {
      HOT.ID = 0;
    }
  }
  // The wizard runs on this thread and leaves the task it saved in SCH.
  const long response = WindowManager::RunUpdate(Wizard_Script, request);
  if (response == RequestCompleted) {
    HOT.ID = SCH.ID;
    window()[task_description_].Display();
    window().Post(EVENT_Accepted, OkControl);
  } else {
    window().Post(EVENT_Accepted, back_);
  }
}

Level HotKeyForm::TakeAccepted() {
  const int control = ACCEPTED();
  for (int modifier : modifiers_) {
    if (control == modifier) ComposeKey();
  }
  if (control == key_list_) ComposeKey();
  if (control == modifiers_[0] || control == modifiers_[1] || control == modifiers_[2] ||
      control == modifiers_[3] || control == key_list_) {
    window().Display();
  }
  if (control == action_) ShowActionPage();
  if (control == back_ || control == next_) {
    Update();
    wizard_.TAKEACCEPTED();
    if (Locked()) {
      window().Select(CancelControl);
    } else {
      // Each page starts on its first field, so typing goes where the page asks for it.
      const int first[] = {modifiers_[0], action_, text_box_, OkControl};
      window().Select(first[std::clamp(wizard_.CurrentTab(), 1, 4) - 1]);
    }
    // Reaching the task page builds or changes the task at once.
    if (control == next_ && wizard_.CurrentTab() == 4 && HOT.Action.clipped() == "Task" &&
        !Locked()) {
      RunScriptWizard();
    }
    return Level_Notify;
  }
  return RecordForm::TakeAccepted();
}

Level HotKeyForm::TakeNewSelection() {
  if (RecolourTabs(sheet_)) {
    if (Locked()) window().Select(CancelControl);
  }
  return RecordForm::TakeNewSelection();
}

Level HotKeyForm::TakeCompleted() {
  Update();
  if (Request == InsertRecord || Request == ChangeRecord) {
    ComposeKey();
    if (key_.clipped().empty()) {
      MESSAGE("Choose the key of the hot key.", "Missing Information", MessageIcon::Exclamation);
      // Back to the key's page as Back would go there, so the wizard pages on from it.
      for (int page = wizard_.CurrentTab(); page > wizard_.LowestTab();
           page = wizard_.CurrentTab()) {
        wizard_.TAKEBACK();
        if (wizard_.CurrentTab() == page) break;
      }
      wizard_.TAKENEWSELECTION();
      window().Select(key_list_);
      return Level_Notify;
    }
    if (HOT.Description.clipped().empty()) HOT.Description = HOT.HotKey.view();
    std::string quick = std::string(HOT.Description.clipped()) + " ";
    if (HOT.Action.clipped() == "Text")
      quick = std::string(HOT.Description.clipped()) + ": " + HOT.Text.str();
    HOT.QuickText = quick;
    window().Display();
  }
  const Level level = RecordForm::TakeCompleted();
  if (Response == RequestCompleted && (Request == InsertRecord || Request == ChangeRecord)) {
    std::lock_guard lock(gSavedMutex);
    gSaved = {true,
              HOT.Active,
              std::string(HOT.HotKey.clipped()),
              std::string(HOT.Action.clipped()),
              std::string(HOT.Description.clipped()),
              std::string(HOT.TextType.clipped()),
              HOT.Text.str()};
  }
  return level;
}

Level HotKeyForm::TakeFieldEvent() {
  if (EVENT() == EVENT_AlertKey && KEYCODE() == kHistoryKey && !Locked()) {
    RestoreFromHistory(FIELD());
    return Level_Notify;
  }
  return RecordForm::TakeFieldEvent();
}

// Puts back the field the control shows from the hot key saved last; the modifier boxes and
// the key list together show one field, the composed key.
void HotKeyForm::RestoreFromHistory(int control) {
  SavedHotKey saved;
  {
    std::lock_guard lock(gSavedMutex);
    saved = gSaved;
  }
  if (!saved.known) return;
  Window& w = window();
  auto within = [&](int group) {
    if (control == group) return true;
    for (Control* radio : w[group].Children())
      if (control == *radio) return true;
    return false;
  };
  Update();
  if (control == active_) {
    HOT.Active = saved.active;
  } else if (control == key_list_ || std::find(std::begin(modifiers_), std::end(modifiers_),
                                               control) != std::end(modifiers_)) {
    HOT.HotKey = saved.hot_key;
    const HotKeyParts parts = SplitHotKeyText(HOT.HotKey.view());
    ctrl_ = parts.ctrl;
    alt_ = parts.alt;
    shift_ = parts.shift;
    win_ = parts.win;
    key_ = parts.key;
  } else if (within(action_)) {
    HOT.Action = saved.action;
    ShowActionPage();
  } else if (within(type_)) {
    HOT.TextType = saved.text_type;
  } else if (control == description_) {
    HOT.Description = saved.description;
  } else if (control == text_box_) {
    HOT.Text = saved.text;
  } else {
    return;
  }
  w.Display();
}

}  // namespace

void UpdateHotKeys() {
  // Main's "New Hot Key" starts the form without a request: a new hot key.
  if (CurrentRequest() == 0) {
    SetCurrentRequest(InsertRecord);
    ACCESS_SYSHOTKEYS->PrimeRecord();
  }
  if (CurrentRequest() == InsertRecord) {
    HOT.Active = 1;
    HOT.TextType = "Type";
    HOT.Action = "Text";
  }
  Window window("Update HotKeys");
  HotKeyForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
