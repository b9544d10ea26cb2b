#include <algorithm>
#include <string>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/organiser/message_windows.h"
#include "program/script_engine/script_queue.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/dates.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat =
    "44R(2)|M~E-mail ID~C(0)@n11@100L(2)|M~E-mail To~@s254@80L(2)|M~E-mail To Name~@s254@"
    "120L(2)|M~Subject~@s254@52L(2)|M~Last Date Sent~@d3b@80L(2)|M~CC~@s254@80L(2)|M~BCC~@s254@"
    "80L(2)|M~Attachment~@s254@";

// Sort orders, one a tab: by id, by the contact written to, by subject, by the last date sent.
constexpr int kById = 1;
constexpr int kByContact = 2;
constexpr int kBySubject = 3;
constexpr int kByLastDateSent = 4;

class MessageBrowse final : public ZQBROWSECLASS {
 public:
  Control* Sheet = nullptr;

  void SetQueueRecord() override {
    Q = {std::to_string(M_.EmailID),
         M_.EmailTo.str(),
         M_.EmailToName.str(),
         M_.Subject.str(),
         std::to_string(M_.LastDateSent),
         M_.CC.str(),
         M_.BCC.str(),
         M_.Attachment.str()};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_MESSAGES->PrimeRecord(keep_buffer); }
  void ResetSort(bool force) override {
    SetSort(Sheet ? std::clamp(static_cast<int>(Sheet->Choice()), kById, kByLastDateSent) : kById,
            force);
  }
};

class MessagesWindow final : public ListWindow {
 public:
  explicit MessagesWindow(Window& window)
      : ListWindow(window, "BrowseMessages", *RELATE_MESSAGES),
        view_(ACCESS_MESSAGES->file(),
              {&M__KEYEMAILID, &M__KEYCONTACT, &M__KEYSUBJECT, &M__KEYLASTDATESENT}) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;

 private:
  MessageBrowse browse_;
  XPLORECLASS xplore_;  // after the browse it attaches to
  TableView view_;
  int sheet_ = 0, list_ = 0, send_ = 0;
  ListButtons buttons_;
};

void MessagesWindow::Build() {
  Window& w = window();
  w.Icon("~email.ico");
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  for (const char* tab : {"E-mail ID", "E-mail To (Contact)", "Subject", "Last Date Sent"})
    sheet.Tab(tab);
  list_ = w.List(kListFormat);
  Control& buttons = w.Row();
  send_ = buttons.Button("Send E-&mail").Icon("~email.ico");
  buttons_.select = buttons.Button("&Select");
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.copy = buttons.Button("Cop&y");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico");
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico");
  CancelControl = buttons.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level MessagesWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.Sheet = &window()[sheet_];
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder(kById);
  browse_.SetLocator([] { return std::to_string(M_.EmailID); }, kById);
  browse_.AddSortOrder(kByContact);
  browse_.SetLocator([] { return M_.EmailTo.str(); }, kByContact);
  browse_.AddSortOrder(kBySubject);
  browse_.SetLocator([] { return M_.Subject.str(); }, kBySubject);
  browse_.AddSortOrder(kByLastDateSent);
  browse_.SetLocator([] { return FormatDate(M_.LastDateSent); }, kByLastDateSent);
  WireButtons(browse_, buttons_, [] { UpdateMessages(0); });
  ShowSelectWhenPicking(browse_, buttons_);
  window()[send_].Hide(browse_.Selecting);
  ACCESS_MESSAGES->BindFieldsLater(browse_.Bindings);
  // The one date column is blank for a message never sent.
  window()[list_].Format(ReplaceDatePictures(kListFormat, DatePicture().substr(1) + "b"));
  AttachListExtension(xplore_, browse_, list_, "?Browse:1",
                      {"M_:EmailID", "M_:EmailTo", "M_:EmailToName", "M_:Subject",
                       "M_:LastDateSent", "M_:CC", "M_:BCC", "M_:Attachment"},
                      "Underline");
  OpenColouredList(list_);
  browse_.Popup.AddItemMimic("Copy", buttons_.copy, "Cop&y");
  return Level_Benign;
}

Level MessagesWindow::Kill() {
  if (browse_.Selecting && Response == RequestCompleted) {
    // The chosen message for the step editor's "Send Email" step (and the template step's
    // while the template tools are open).
    const std::string title =
        std::string(M_.Subject.clipped()) + " - " + std::string(M_.EmailTo.clipped());
    SCR.EmailID = M_.EmailID;
    SCR.WindowTitleToCheckFor = title;
    if (GLO_SCRIPTWIZARDMODE == 1) {
      VXD.EmailID = M_.EmailID;
      VXD.WindowTitleToCheckFor = title;
    }
  }
  return ListWindow::Kill();
}

Level MessagesWindow::TakeAccepted() {
  if (ACCEPTED() == send_) {
    if (browse_.Records() > 0) {
      browse_.UpdateBuffer();
      QueueMessageToSend(M_.EmailID);
    }
    return Level_Notify;
  }
  return ListWindow::TakeAccepted();
}

Level MessagesWindow::TakeNewSelection() {
  TakeOrderTab(sheet_, xplore_, browse_, list_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

bool QueueMessageToSend(std::int32_t email_id) {
  if (email_id == 0) return false;
  SCRIPTING_RECORD step;
  step.Action = "Send Email";
  step.EmailID = email_id;
  const ScriptMoment now{static_cast<std::int32_t>(TODAY()), static_cast<std::int32_t>(CLOCK())};
  ScriptQueue.buffer = MakeScriptEntry(step, now, now);
  ScriptQueue.Add();
  MAILPROGRESSTEXT = "Sending Email...";
  return true;
}

void BrowseMessages() {
  Window window("E-mail Messages");
  MessagesWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
