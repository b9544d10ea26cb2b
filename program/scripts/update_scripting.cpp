#include <algorithm>
#include <array>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "program/common/main_procedures.h"
#include "program/schedule/program_pickers.h"
#include "program/script_engine/script_step_wording.h"
#include "program/script_engine/window_search.h"
#include "program/scripts/script_action_help.h"
#include "program/scripts/script_text_reference.h"
#include "program/scripts/script_windows.h"
#include "program/scripts/view_script_keys.h"
#include "program/windows/record_form.h"
#include "runtime/dates.h"
#include "runtime/fixed_string.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// The pages of the form, one per kind of action, in the order of the sheet's tabs.
enum Page {
  kKeysPage = 1,
  kFocusPage,
  kWaitPage,
  kDisplayPage,
  kIfWindowPage,
  kIfTimePage,
  kIfValuePage,
  kEndIfPage,
  kStartPage,
  kClosePage,
  kStartScriptPage,
  kDdePage,
  kFilePage,
  kEmailPage,
  kSetValuePage,
  kOtherPage,
  kPages = kOtherPage,
};

constexpr std::string_view kActions =
    "Send Keys|Set Focus|Wait|Display Message|If Window...|If Time Elapsed...|If Value...|...End "
    "If|Start "
    "Program|Close Program|Start Script|DDE|File Actions|Send Email|Set Value|Exit Script";
constexpr std::string_view kOther = "Other";
constexpr std::string_view kFileVerbs =
    "Copy|Move|Rename|Delete|Recycle|FTP Upload|FTP Download|HTTP Download|Get File Date|Get File "
    "Time|Get File "
    "Size|If File Exists|Log Windows|Make Directory|Remove Directory";
constexpr std::string_view kScriptModes =
    "Insert (Execute and continue)|Jump to (Execute and skip)|Append";
constexpr std::string_view kComparisons = "=|<|<=|=>|>|<>";
constexpr std::string_view kNothingRequired = "No information is required for this action.";
constexpr std::size_t kUserWidth = 128;
constexpr std::size_t kPasswordWidth = 127;

bool ListHolds(std::string_view list, std::string_view item) {
  for (std::size_t start = 0;;) {
    const std::size_t bar = list.find('|', start);
    if (list.substr(start, bar == std::string_view::npos ? bar : bar - start) == item) return true;
    if (bar == std::string_view::npos) return false;
    start = bar + 1;
  }
}

Page PageOf(std::string_view action) {
  if (action == "Send Keys" || action == "Send Keystrokes") return kKeysPage;
  if (action == "Set Focus") return kFocusPage;
  if (action.starts_with("Wait")) return kWaitPage;
  if (action == "Display Message") return kDisplayPage;
  if (action == "If Window...") return kIfWindowPage;
  if (action == "If Time Elapsed...") return kIfTimePage;
  if (action == "If Value...") return kIfValuePage;
  if (action == "...End If") return kEndIfPage;
  if (action == "Start Program") return kStartPage;
  if (action == "Close Program") return kClosePage;
  if (action == "Start Script") return kStartScriptPage;
  if (action == "DDE (Dynamic Data Exchange)" || action == "DDE") return kDdePage;
  if (action == "File Actions") return kFilePage;
  if (action == "Send Email") return kEmailPage;
  if (action == "Set Value") return kSetValuePage;
  return kOtherPage;
}

std::string Cut(std::string_view text, std::size_t width) {
  return std::string(CutUtf8(ClipView(text), width));
}

// How the fields of the file page read for one file action.
struct FileLayout {
  std::string_view first, second;  // prompts; an empty second hides the second file
  bool first_button = true, second_button = true, ftp = false;
};

FileLayout FileLayoutOf(std::string_view verb) {
  if (verb == "Delete" || verb == "Get File Date" || verb == "Get File Time" ||
      verb == "Get File Size" || verb == "If File Exists")
    return {"&File:", {}, true, false, false};
  if (verb == "Make Directory" || verb == "Remove Directory")
    return {"&Directory:", {}, true, false, false};
  if (verb == "Log Windows") return {"To &File:", {}, true, false, false};
  if (verb == "FTP Upload") return {"&Local file:", "&Upload to:", true, false, true};
  if (verb == "FTP Download") return {"&Path/Filename:", "&Save As:", false, true, true};
  if (verb == "HTTP Download") return {"&URL:", "&Save As:", false, true, false};
  return {"&From:", "&To:", true, true, false};  // Copy, Move, Rename, Recycle
}

class ScriptStepForm final : public RecordForm {
 public:
  explicit ScriptStepForm(Window& window)
      : RecordForm(window, "UpdateScripting", *RELATE_SCRIPTING, "Script Action") {}

  void Build();
  Level Init() override;
  Level TakeEvent() override;
  Level TakeAccepted() override;
  Level TakeWindowEvent() override;
  Level TakeCompleted() override;

 private:
  // The tabs of the sheet, one kind of step each.
  void BuildKeysPage(Control& page);
  void BuildFocusPage(Control& page);
  void BuildWaitPage(Control& page);
  void BuildDisplayPage(Control& page);
  void BuildIfWindowPage(Control& page);
  void BuildIfTimePage(Control& page);
  void BuildIfValuePage(Control& page);
  void BuildNothingPage(Control& page);
  void BuildStartPage(Control& page);
  void BuildClosePage(Control& page);
  void BuildStartScriptPage(Control& page);
  void BuildDdePage(Control& page);
  void BuildFilePage(Control& page);
  void BuildEmailPage(Control& page);
  void BuildSetValuePage(Control& page);
  void LoadVariables();
  void ShowAction();
  void ShowPage(Page page);
  void FollowWaitMode();
  void FollowFileAction();
  void ShowContents();
  void ShowMessage();
  void RefillWindowChoices();
  void PickContents(std::string_view title, void (*picker)());
  void PickFile(String<255>& field, std::string_view filter);
  bool CopyVariablesIntoRow();

  // The window variables: what the row holds packed or under another field's name.
  String<27> choice_;
  String<6> wait_mode_;
  String<80> message_, title_;
  std::int32_t use_dialog_ = 0;
  String<255> host_;
  String<128> user_, password_;
  String<20> other_;
  std::string help_;
  String<10> modifier_, key_, value_name_;
  String<20> file_action_;
  String<30> script_mode_;
  String<2> comparison_;
  std::string wait_contents_, focus_contents_, if_contents_;
  std::string send_to_, subject_;

  Page page_ = kKeysPage;
  bool copying_ = false;  // the variables are being copied into the row: the page stays
  int action_ = 0, sheet_ = 0, help_text_ = 0;
  std::array<int, kPages + 1> tabs_{};
  int append_key_ = 0, append_value_ = 0, key_list_ = 0;
  int focus_title_ = 0, focus_advanced_ = 0;
  int wait_seconds_ = 0, wait_title_ = 0, wait_advanced_ = 0, wait_mode_option_ = 0;
  int if_title_ = 0, if_advanced_ = 0;
  int value_names_ = 0;
  int start_browse_ = 0, start_advanced_ = 0, close_browse_ = 0, script_file_ = 0;
  int file_verb_ = 0, file1_prompt_ = 0, file1_ = 0, file1_button_ = 0, file2_prompt_ = 0,
      file2_ = 0, file2_button_ = 0, host_prompt_ = 0, host_field_ = 0, user_prompt_ = 0,
      user_field_ = 0, password_prompt_ = 0, password_field_ = 0;
  int select_message_ = 0, new_message_ = 0;
};

void ScriptStepForm::Build() {
  Window& w = window();
  w.Prompt("&Action:");
  action_ = w.DropList(choice_, kActions);

  Control& sheet = w.Sheet();
  sheet.Set(Prop::Wizard, true);
  sheet_ = sheet;

  // One tab per kind of step, in the order of the pages.
  using PageBuilder = void (ScriptStepForm::*)(Control&);
  struct PageOfSheet {
    Page page;
    const char* tab;
    PageBuilder build;
  };
  static const PageOfSheet kPages[] = {
      {kKeysPage, "Keys", &ScriptStepForm::BuildKeysPage},
      {kFocusPage, "Focus", &ScriptStepForm::BuildFocusPage},
      {kWaitPage, "Wait", &ScriptStepForm::BuildWaitPage},
      {kDisplayPage, "Display Message", &ScriptStepForm::BuildDisplayPage},
      {kIfWindowPage, "If Window", &ScriptStepForm::BuildIfWindowPage},
      {kIfTimePage, "If Time", &ScriptStepForm::BuildIfTimePage},
      {kIfValuePage, "If Var", &ScriptStepForm::BuildIfValuePage},
      {kEndIfPage, "End If", &ScriptStepForm::BuildNothingPage},
      {kStartPage, "Start", &ScriptStepForm::BuildStartPage},
      {kClosePage, "Close Program", &ScriptStepForm::BuildClosePage},
      {kStartScriptPage, "Start Script", &ScriptStepForm::BuildStartScriptPage},
      {kDdePage, "DDE", &ScriptStepForm::BuildDdePage},
      {kFilePage, "File Actions", &ScriptStepForm::BuildFilePage},
      {kEmailPage, "Send Email", &ScriptStepForm::BuildEmailPage},
      {kSetValuePage, "Set Var", &ScriptStepForm::BuildSetValuePage},
      {kOtherPage, "Other", &ScriptStepForm::BuildNothingPage},
  };
  for (const PageOfSheet& page : kPages) {
    Control& tab = sheet.Tab(page.tab);
    tabs_[page.page] = tab;
    (this->*page.build)(tab);
  }

  help_text_ = w.Text(help_).ReadOnly();
  Control& buttons = w.Row();
  OkControl = buttons.Button("&OK").Default();
  CancelControl = buttons.Button("Cancel");
  w.SetCancelButton(CancelControl);
}

void ScriptStepForm::BuildKeysPage(Control& page) {
  page.Prompt("&Key(s) to press:");
  page.Entry(SCR.Keystrokes, "@s255").Required();
  page.Prompt("Key code:");
  Control& key_row = page.Row();
  key_row.DropList(modifier_, kReferenceModifiers).Tip("Modifier");
  key_row.DropList(key_, kReferenceKeys).Tip("Key");
  append_key_ = key_row.Button("Append").Tip("Add the key code to the keys");
  page.Prompt("Value:");
  Control& value_row = page.Row();
  value_row.DropList(value_name_, kReferenceValues);
  append_value_ = value_row.Button("A&ppend").Tip("Add the value in square brackets to the keys");
  key_list_ = page.Button("View Abbreviation List");
}

void ScriptStepForm::BuildFocusPage(Control& page) {
  page.Prompt("&Focus on window:");
  Control& focus_row = page.Row();
  focus_title_ = focus_row.Combo(SCR.FocusOnWindow, "@s255").Required();
  focus_advanced_ = focus_row.Button("Advanced").Tip("The text the window must contain");
  page.String(focus_contents_, "@s60");
}

void ScriptStepForm::BuildWaitPage(Control& page) {
  page.Prompt("Wait &seconds:");
  wait_seconds_ = page.Entry(SCR.SecondsToWait, "@n_6");
  page.Prompt("&Wait for window:");
  Control& wait_row = page.Row();
  wait_title_ = wait_row.Combo(SCR.WaitForWindow, "@s255");
  wait_advanced_ = wait_row.Button("Ad&vanced").Tip("The text the window must contain");
  page.String(wait_contents_, "@s60");
  Control& mode = page.Option("Wait for", wait_mode_);
  mode.Radio("Either");
  mode.Radio("Both");
  wait_mode_option_ = mode;
}

void ScriptStepForm::BuildDisplayPage(Control& page) {
  page.Prompt("Title:");
  page.Entry(title_, "@s80");
  page.Prompt("Message:");
  page.Entry(message_, "@s80");
  page.Check("Use a message box", use_dialog_);
  page.Prompt("Buttons:");
  page.Entry(SCR.FocusOnWindow, "@s255");
}

void ScriptStepForm::BuildIfWindowPage(Control& page) {
  Control& exists = page.Option("Condition", SCR.WindowExistance);
  exists.Radio("Exists");
  exists.Radio("Does not exist");
  page.Prompt("Window:");
  Control& if_row = page.Row();
  if_title_ = if_row.Combo(SCR.WindowTitleToCheckFor, "@s255").Required();
  if_advanced_ = if_row.Button("Advanced").Tip("The text the window must contain");
  page.String(if_contents_, "@s60");
}

void ScriptStepForm::BuildIfTimePage(Control& page) {
  Control& elapsed = page.Option("Time elapsed", SCR.IfTimeElapsed);
  elapsed.Radio("Greater than");
  elapsed.Radio("Less than");
  page.Prompt("Seconds:");
  page.Entry(SCR.TimeElapsed, "@n_9");
}

void ScriptStepForm::BuildIfValuePage(Control& page) {
  page.Prompt("Value name:");
  Control& name_row = page.Row();
  name_row.Entry(SCR.Command, "@s255").Required();
  value_names_ = name_row.Button("...").Tip("Choose a value name");
  page.Prompt("Comparison:");
  page.DropList(comparison_, kComparisons);
  page.Prompt("Compare to:");
  page.Entry(SCR.WaitForWindow, "@s255");
}

void ScriptStepForm::BuildNothingPage(Control& page) { page.String(kNothingRequired); }

void ScriptStepForm::BuildStartPage(Control& page) {
  page.Prompt("Comma&nd:");
  Control& command_row = page.Row();
  command_row.Entry(SCR.Command, "@s255").Required();
  start_browse_ = command_row.Button("&Browse").Tip("Choose the program");
  page.Prompt("Start &in:");
  page.Entry(SCR.Path, "@s255");
  start_advanced_ =
      page.Button("Advanced").Tip("Wait for the program's end, window, priority, start type");
}

void ScriptStepForm::BuildClosePage(Control& page) {
  page.Prompt("Execu&table:");
  Control& close_row = page.Row();
  close_row.Entry(SCR.Command, "@s255");
  close_browse_ = close_row.Button("&Browse").Tip("Choose the program");
}

void ScriptStepForm::BuildStartScriptPage(Control& page) {
  page.Prompt("Script:");
  Control& script_row = page.Row();
  script_row.Entry(SCR.Command, "@s255").Required();
  script_file_ = script_row.Button("...").Tip("Select a script file");
  page.Prompt("Type:");
  page.DropList(script_mode_, kScriptModes);
}

void ScriptStepForm::BuildDdePage(Control& page) {
  page.Prompt("&Application name:");
  page.Entry(SCR.DDEApplicationName, "@s255");
  page.Prompt("A&pplication topic:");
  page.Entry(SCR.DDEApplicationTopic, "@s255");
  page.Prompt("&Command:");
  page.Entry(SCR.DDECommand, "@s255");
}

void ScriptStepForm::BuildFilePage(Control& page) {
  page.Prompt("File Action:");
  file_verb_ = page.DropList(file_action_, kFileVerbs);
  file1_prompt_ = page.Prompt("Parameter &1:");
  Control& file1_row = page.Row();
  file1_ = file1_row.Entry(SCR.Command, "@s255").Required();
  file1_button_ = file1_row.Button("...").Tip("Select a file");
  file2_prompt_ = page.Prompt("Parameter &2:");
  Control& file2_row = page.Row();
  file2_ = file2_row.Entry(SCR.Path, "@s255");
  file2_button_ = file2_row.Button("...").Tip("Select a file");
  host_prompt_ = page.Prompt("FTP &Host:");
  host_field_ = page.Entry(host_, "@s255");
  user_prompt_ = page.Prompt("&User Name:");
  user_field_ = page.Entry(user_, "@s128");
  password_prompt_ = page.Prompt("&Password:");
  password_field_ = page.Entry(password_, "@s128").Password();
}

void ScriptStepForm::BuildEmailPage(Control& page) {
  Control& email_buttons = page.Row();
  select_message_ = email_buttons.Button("Select &Message");
  new_message_ = email_buttons.Button("&New Message");
  page.Prompt("Send to:");
  page.String(send_to_, "@s60");
  page.Prompt("Subject:");
  page.String(subject_, "@s60");
}

void ScriptStepForm::BuildSetValuePage(Control& page) {
  page.Prompt("Value name:");
  page.Entry(SCR.Path, "@s255").Required();
  page.Prompt("Value:");
  page.Entry(SCR.Command, "@s255");
}

void ScriptStepForm::LoadVariables() {
  const std::string_view action = SCR.Action.clipped();
  if (action.starts_with("Wait")) wait_mode_ = SCR.DDEApplicationName.view();
  if (action == "File Actions") {
    host_ = SCR.DDEApplicationName.view();
    const std::string_view topic = SCR.DDEApplicationTopic.view();
    user_ = topic.substr(0, std::min(topic.size(), kUserWidth));
    password_ = topic.size() > kUserWidth ? topic.substr(kUserWidth) : std::string_view();
  }
  if (action == "Display Message") {
    message_ = Cut(SCR.DDEApplicationName.view(), 80);
    title_ = Cut(SCR.DDEApplicationTopic.view(), 80);
    use_dialog_ = SCR.SecondsToWait != 0 ? 1 : 0;
  }
  file_action_ = SCR.DDEType.view();
  comparison_ = SCR.WindowTitleToCheckFor.view();
  script_mode_ = SCR.Path.view();
  choice_ = action;
}

Level ScriptStepForm::Init() {
  // The form is made ready before it opens, so that it opens as it is to be seen.
  if (CurrentRequest() == InsertRecord && SCR.Action.clipped().empty()) {
    // A new step (a copy keeps the fields of the step it copies).
    SCR.ID = SCH.ID;
    SCR.Action = "Send Keys";
    SCR.WindowExistance = "Window Exists";
    SCR.IfTimeElapsed = "Greater Than";
    SCR.TimeElapsed = 86400;
  }
  NormaliseScriptStep(SCR);
  LoadVariables();
  ShowAction();
  RefillWindowChoices();
  // The message list comes with the organiser: its buttons wait until it is there.
  if (!MainProcedure("BrowseMessages")) window()[select_message_].Disable();
  if (!MainProcedure("UpdateMessages")) window()[new_message_].Disable();
  RecordForm::Init();
  if (SCR.ID == 0) {
    MESSAGE("Unable to attach script to scheduled item.  Schedule ID is " + std::to_string(SCH.ID) +
                ".",
            "Internal Error", MessageIcon::Exclamation);
  }
  return Level_Benign;
}

void ScriptStepForm::ShowPage(Page page) {
  page_ = page;
  Window& w = window();
  for (int p = kKeysPage; p <= kPages; ++p) w[tabs_[static_cast<std::size_t>(p)]].Hide(p != page);
  w[sheet_].Choose(page);
}

// The page, the help text and the defaults of the action chosen.
void ScriptStepForm::ShowAction() {
  if (copying_) return;
  // Held apart from choice_ and other_, which are written below.
  std::string action(choice_.clipped());
  if (action == kOther) {
    // The action kept aside; none kept leaves "Other", which OK refuses.
    if (other_.clipped().empty()) other_ = kOther;
    action = other_.clipped();
  } else if (!action.empty() && !ListHolds(kActions, action) && action != "Send Keystrokes" &&
             action != "DDE (Dynamic Data Exchange)") {
    // An action the list does not offer: kept aside and shown as "Other".
    other_ = action;
    action = other_.clipped();
  }
  SCR.Action = action;
  help_ = ScriptActionHelp(action);
  const Page page = PageOf(action);
  switch (page) {
    case kWaitPage:
      if (wait_mode_.clipped().empty()) wait_mode_ = "Either";
      break;
    case kIfWindowPage:
      if (SCR.WindowExistance.clipped().empty()) SCR.WindowExistance = "Exists";
      break;
    case kIfTimePage:
      if (SCR.IfTimeElapsed.clipped().empty()) SCR.IfTimeElapsed = "Less than";
      break;
    case kIfValuePage:
      if (comparison_.clipped().empty()) comparison_ = "=";
      if (SCR.Command.clipped().empty()) SCR.Command = "FILEEXISTS";
      if (SCR.WaitForWindow.clipped().empty()) SCR.WaitForWindow = "1";
      break;
    case kStartScriptPage: {
      const char first = script_mode_.clipped().empty() ? ' ' : script_mode_.clipped().front();
      script_mode_ = first == 'A'   ? "Append"
                     : first == 'J' ? "Jump to (Execute and skip)"
                                    : "Insert (Execute and continue)";
      break;
    }
    case kFilePage:
      if (!ListHolds(kFileVerbs, file_action_.clipped())) file_action_ = "Copy";
      break;
    case kOtherPage:
      other_ = action;
      break;
    default:
      break;
  }
  // The list shows the action chosen; one it does not offer reads "Other".
  const bool offered = ListHolds(kActions, action) || action == "Send Keystrokes";
  window()[action_].From(offered ? std::string(kActions)
                                 : std::string(kActions) + "|" + std::string(kOther));
  choice_ = action == "Send Keystrokes"               ? std::string_view("Send Keys")
            : action == "DDE (Dynamic Data Exchange)" ? std::string_view("DDE")
            : offered                                 ? std::string_view(action)
                                                      : kOther;
  ShowPage(page);
  FollowWaitMode();
  FollowFileAction();
  ShowContents();
  ShowMessage();
}

// Either or Both matters only for a wait with both seconds and a window.
void ScriptStepForm::FollowWaitMode() {
  const bool both = SCR.SecondsToWait > 0 && !SCR.WaitForWindow.clipped().empty();
  if (both && wait_mode_.clipped().empty()) wait_mode_ = "Both";
  if (!both) wait_mode_ = "";
  window()[wait_mode_option_].Enable(both);
}

void ScriptStepForm::FollowFileAction() {
  Window& w = window();
  const FileLayout layout = FileLayoutOf(file_action_.clipped());
  w[file1_prompt_].SetText(layout.first);
  // The missing-field message names the field as its prompt reads now.
  std::string named(layout.first);
  std::erase(named, '&');
  if (named.ends_with(':')) named.pop_back();
  if (Opened) Required.ADDFIELD(file1_, "SCR:Command", "", "", named, true);  // listed at opening
  w[file1_button_].Hide(!layout.first_button);
  const bool second = !layout.second.empty();
  w[file2_prompt_].SetText(second ? layout.second : std::string_view("Parameter &2:"));
  for (int c : {file2_prompt_, file2_}) w[c].Hide(!second);
  w[file2_button_].Hide(!second || !layout.second_button);
  for (int c :
       {host_prompt_, host_field_, user_prompt_, user_field_, password_prompt_, password_field_})
    w[c].Hide(!layout.ftp);
}

void ScriptStepForm::ShowContents() {
  const auto label = [](std::string_view contents) {
    return ClipView(contents).empty() ? std::string()
                                      : "Containing: " + std::string(ClipView(contents));
  };
  focus_contents_ = label(SCR.WaitForWindow.view());
  wait_contents_ = label(SCR.FocusOnWindow.view());
  if_contents_ = label(SCR.FocusOnWindow.view());
}

// "Send to:" and "Subject:" of the message the step sends.
void ScriptStepForm::ShowMessage() {
  send_to_.clear();
  subject_.clear();
  if (page_ != kEmailPage || SCR.EmailID == 0 || ACCESS_MESSAGES->TryOpen() != 0) return;
  const MESSAGES_RECORD kept = M_;
  M_.EmailID = SCR.EmailID;
  if (ACCESS_MESSAGES->TryFetch(M__KEYEMAILID) == 0) {
    send_to_ = M_.EmailTo.clipped();
    subject_ = M_.Subject.clipped();
  }
  M_ = kept;
  ACCESS_MESSAGES->Close();
}

void ScriptStepForm::RefillWindowChoices() {
  ListTopWindows();
  const std::string titles = WindowTitleChoices(false);
  for (int combo : {focus_title_, wait_title_, if_title_}) window()[combo].From(titles);
}

// Looks the title up among the open windows, lists the texts inside the one found, and opens
// the contents picker.
void ScriptStepForm::PickContents(std::string_view title, void (*picker)()) {
  const std::int32_t found = FindWindowByTitle("", title);
  if (found != 0) {
    ListChildWindows(found);
  } else {
    ChildWindowList.Free();
  }
  picker();
  ShowContents();
}

void ScriptStepForm::PickFile(String<255>& field, std::string_view filter) {
  std::string name(field.clipped());
  if (FILEDIALOG("Select a file", name, filter, FILE_KeepDir | FILE_LongName)) field = name;
}

Level ScriptStepForm::TakeEvent() {
  // A window list about to drop down offers the windows open now.
  if (EVENT() == EVENT_DroppingDown &&
      (FIELD() == focus_title_ || FIELD() == wait_title_ || FIELD() == if_title_)) {
    RefillWindowChoices();
  }
  const Level level = RecordForm::TakeEvent();
  // Several pages show one field of the row: after any change every control shows it again,
  // so that none stores an old text over it.
  if (FIELD() != 0 && !Dead) window().Display();
  return level;
}

Level ScriptStepForm::TakeWindowEvent() {
  if (EVENT() == EVENT_GainFocus) RefillWindowChoices();
  return RecordForm::TakeWindowEvent();
}

Level ScriptStepForm::TakeAccepted() {
  const int control = ACCEPTED();
  Window& w = window();
  if (control == action_) {
    ShowAction();
  } else if (control == wait_seconds_ || control == wait_title_) {
    FollowWaitMode();
  } else if (control == file_verb_) {
    FollowFileAction();
  } else if (control == append_key_) {
    SCR.Keystrokes = AppendKeyCode(SCR.Keystrokes.clipped(), modifier_.clipped(), key_.clipped());
  } else if (control == append_value_) {
    if (!value_name_.clipped().empty())
      SCR.Keystrokes = AppendValueName(SCR.Keystrokes.clipped(), value_name_.clipped());
  } else if (control == key_list_) {
    ViewAscii_ScriptKeys();
  } else if (control == focus_advanced_) {
    PickContents(SCR.FocusOnWindow.clipped(), UpdateScriptingGetChildFocus);
  } else if (control == wait_advanced_) {
    PickContents(SCR.WaitForWindow.clipped(), UpdateScriptingGetChild);
  } else if (control == if_advanced_) {
    PickContents(SCR.WindowTitleToCheckFor.clipped(), UpdateScriptingGetChild);
  } else if (control == value_names_) {
    std::string names(kReferenceValues);
    if (const int chosen = POPUP(names); chosen > 0) {
      std::string_view rest = kReferenceValues;
      for (int i = 1; i < chosen; ++i) rest = rest.substr(rest.find('|') + 1);
      SCR.Command = rest.substr(0, rest.find('|'));
    }
  } else if (control == start_browse_ || control == close_browse_) {
    SelectScriptProgram();
  } else if (control == start_advanced_) {
    UpdateScripting_StartProgram_Advanced();
  } else if (control == script_file_) {
    PickFile(SCR.Command, "VX Script Files|*.vxs");
  } else if (control == file1_button_) {
    PickFile(SCR.Command, "All Files|*.*");
  } else if (control == file2_button_) {
    PickFile(SCR.Path, "All Files|*.*");
  } else if (control == select_message_) {
    if (auto messages = MainProcedure("BrowseMessages");
        messages && WindowManager::RunUpdate(messages, SelectRecord) == RequestCompleted) {
      SCR.EmailID = M_.EmailID;
      SCR.WindowTitleToCheckFor =
          std::string(M_.Subject.clipped()) + " - " + std::string(M_.EmailTo.clipped());
    }
    ShowMessage();
  } else if (control == new_message_) {
    if (auto update = MainProcedure("UpdateMessages")) {
      // The form inserts the buffer as it finds it: a new message starts from the defaults.
      ACCESS_MESSAGES->Open();
      ACCESS_MESSAGES->PrimeRecord();
      if (WindowManager::RunUpdate(update, InsertRecord) == RequestCompleted) {
        SCR.EmailID = M_.EmailID;
      }
      ACCESS_MESSAGES->Close();
    }
    ShowMessage();
  } else {
    return RecordForm::TakeAccepted();
  }
  w.Display();
  return Level_Benign;
}

// The window variables into the row by its action; false when the row cannot be saved.
bool ScriptStepForm::CopyVariablesIntoRow() {
  switch (page_) {
    case kWaitPage:
      SCR.DDEApplicationName = wait_mode_.view();
      break;
    case kDisplayPage:
      SCR.DDEApplicationName = message_.view();
      SCR.DDEApplicationTopic = title_.view();
      SCR.SecondsToWait = use_dialog_ != 0 ? 1 : 0;
      break;
    case kFilePage: {
      SCR.DDEType = file_action_.view();
      SCR.DDEApplicationName = host_.view();
      std::string topic(user_.view());
      topic.resize(kUserWidth, ' ');
      topic += CutUtf8(password_.clipped(), kPasswordWidth);
      SCR.DDEApplicationTopic = topic;
      break;
    }
    case kIfValuePage:
      SCR.WindowTitleToCheckFor = comparison_.view();
      break;
    case kStartScriptPage:
      SCR.Path = script_mode_.view();
      break;
    case kOtherPage:
      SCR.Action = other_.view();
      if (other_ == kOther) {
        MESSAGE("\"Other\" script item not recorded correctly.  Re-enter.", "Error",
                MessageIcon::Exclamation);
        return false;
      }
      break;
    default:
      break;
  }
  return true;
}

Level ScriptStepForm::TakeCompleted() {
  if (Request == InsertRecord || Request == ChangeRecord) {
    Update();
    copying_ = true;
    const bool copied = CopyVariablesIntoRow();
    copying_ = false;
    if (!copied) return Level_Notify;
    SCR.NetworkUser = USERID.view();
    SCR.LastChangeDate = TODAY();
    SCR.LastChangeTime = CLOCK();
    if (SCR.OriginalID == 0) SCR.OriginalID = SCR.ID;
    // Every control shows the row as it is to be saved, so that the form's own store of the
    // screen keeps it.
    window().Display();
  }
  return RecordForm::TakeCompleted();
}

}  // namespace

void UpdateScripting() {
  Window window("Update the Scripting File");
  ScriptStepForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
