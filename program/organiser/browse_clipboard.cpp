#include <string>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/file_manager.h"
#include "framework/table_view.h"
#include "program/organiser/clipboard_run.h"
#include "program/organiser/clipboard_windows.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "runtime/events.h"
#include "runtime/expression/evaluate.h"
#include "runtime/storage/file.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

// The keep icon (no header), the contents in colours of their own, the category and the date.
constexpr std::string_view kListFormat =
    "12L(2)I@s1@200L(2)*M|~Contents~@s255@80L(2)M|~Category~@s20@52L(2)M|~Date~@d17@";

constexpr std::string_view kQueryDescriptor =
    "Abbreviation\u00a60\u00a6CLI:Abbreviation\u00a6@s20\u00a620\u00a61\u00a61\u00a6\u00a6\u00a6"
    "\u00abCategory\u00a60\u00a6CLI:Category\u00a6@s20\u00a620\u00a61\u00a61\u00a6\u00a6\u00a6"
    "\u00abDate\u00a60\u00a6CLI:ClipDate\u00a6@d3\u00a64\u00a62\u00a61\u00a6\u00a6\u00a6"
    "\u00abTime\u00a60\u00a6CLI:ClipTime\u00a6@t3\u00a64\u00a62\u00a61\u00a6\u00a6\u00a6"
    "\u00abHash key (a digest of the text)\u00a60\u00a6CLI:ClipHashKey\u00a6@s120\u00a6120"
    "\u00a61\u00a61\u00a6\u00a6\u00a6"
    "\u00abContents\u00a60\u00a6CLI:ClipContents\u00a6@s255\u00a68192\u00a61\u00a61\u00a6\u00a6"
    "\u00a6\u00abKeep\u00a60\u00a6CLI:ClipKeep\u00a6@n3\u00a61\u00a62\u00a62\u00a6\u00a6Keep "
    "this clipboard record\u00a6\u00ab";

// The tabs in the order shown; each reads the sort order of its number.
enum Order { kByDate = 1, kByContent = 2, kByCategory = 3, kSavedOnly = 4 };

constexpr long kDefaultColour = -1;
constexpr long kBlue = 0xFF0000;  // blue-green-red: a text naming a link or a program
constexpr long kAqua = 0xFFFF00;  // the same highlighted

constexpr int kKeepColumn = 1;

// A text that names a link or a program is drawn in blue.
bool NamesSomethingToRun(std::string_view contents) {
  const std::string lower = LOWER(contents);
  for (std::string_view marker : {"http:", "https:", "mailto:", ".exe", ".lnk"}) {
    if (lower.find(marker) != std::string::npos) return true;
  }
  return false;
}

class ClipboardBrowse final : public ZQBROWSECLASS {
 public:
  Control* Sheet = nullptr;
  std::function<void(int column)> accepted;  // a double click or Enter on a row

  void SetQueueRecord() override {
    const bool coloured = NamesSomethingToRun(CLI.ClipContents.view());
    const std::string none = std::to_string(kDefaultColour);
    Q = {"",
         CLI.ClipKeep != 0 ? "2" : "1",
         std::string(CutUtf8(CLI.ClipContents.clipped(), 255)),
         coloured ? std::to_string(kBlue) : none,
         none,
         coloured ? std::to_string(kAqua) : none,
         none,
         CLI.Category.str(),
         std::to_string(CLI.ClipDate)};
  }
  void PrimeRecord(bool keep_buffer) override { ACCESS_CLIPBOARD->PrimeRecord(keep_buffer); }
  void ResetSort(bool force) override {
    const long tab = Sheet ? Sheet->Choice() : 1;
    SetSort(tab >= kByDate && tab <= kSavedOnly ? static_cast<int>(tab) : kByDate, force);
  }
  // A kept entry is deleted only when the user says so again.
  long Ask(long request) override {
    if (request == DeleteRecord && Records() > 0) {
      UpdateBuffer();
      if (CLI.ClipKeep != 0 &&
          MESSAGE("This clipboard record has a \"Save\" indicator.  Are you sure you want to "
                  "delete it?",
                  "Delete Record", MessageIcon::Question, BUTTON_YES | BUTTON_NO,
                  BUTTON_NO) != BUTTON_YES)
        return RequestCancelled;
    }
    return ZQBROWSECLASS::Ask(request);
  }
  bool TakeKey() override {
    const int key = KEYCODE();
    if (key == MouseLeft2 && DoubleClickClaimed && DoubleClickClaimed()) return false;
    if ((key == MouseLeft2 || key == EnterKey) && Records() > 0 && accepted) {
      const long column =
          key == MouseLeft2 && ListControl() ? ListControl()->GetNumber(Prop::MouseDownField) : 0;
      accepted(static_cast<int>(column));
      return true;
    }
    return ZQBROWSECLASS::TakeKey();
  }
};

class ClipboardWindow final : public ListWindow {
 public:
  explicit ClipboardWindow(Window& window)
      : ListWindow(window, "BrowseClipboard", *RELATE_CLIPBOARD),
        view_(ACCESS_CLIPBOARD->file(),
              {&CLI_KEYCLIPDATE, &CLI_KEYCLIPHASH, &CLI_KEYCATEGORY, &CLI_KEYCLIPKEEP}) {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeNewSelection() override;
  Level TakeWindowEvent() override;

 private:
  // The entry highlighted into the buffer; false when the list is empty.
  bool Highlighted();
  void CopyToClipboard();
  void ToggleSave();
  void View();
  void Query();
  void ResetQuery();
  void RunLinks();
  void ApplyQuery();
  void Refresh();
  // The count of entries and the newest one's moment and key: what a capture changes.
  std::string TableStamp();

  ClipboardBrowse browse_;
  XPLORECLASS xplore_;  // after the browse it attaches to
  TableView view_;
  std::string query_;  // the query filter; empty: none
  std::string stamp_;  // TableStamp() when the list was last read
  int ticks_ = 0;
  int sheet_ = 0, list_ = 0;
  int query_button_ = 0, reset_ = 0, copy_ = 0, view_button_ = 0, toggle_ = 0, run_ = 0;
  ListButtons buttons_;
};

void ClipboardWindow::Build() {
  Window& w = window();
  w.Icon("Clipbrd.ico").Timer(100);
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  for (const char* tab : {"By Date", "By Content", "By Category", "Saved Only"}) sheet.Tab(tab);
  list_ = w.List(kListFormat);
  w[list_].IconList({"~blank.ico", "~done.ico"});
  Control& query = w.Row();
  query_button_ = query.Button("&Query").Tip("Select records using a detailed query criteria");
  reset_ = query.Button("&Reset").Tip("Reset (clear) query");
  copy_ = query.Button("&Copy to Clipboard").Tip("Copy the highlighted record to the clipboard");
  view_button_ = query.Button("&View").Tip("View the highlighted record");
  toggle_ = query.Button("&Toggle Save").Tip("Keep the highlighted record or let it go");
  run_ = query.Button("&Run").Tip("Open the web and mail links in the highlighted record");
  Control& buttons = w.Row();
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico");
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico").Tip("Delete the highlighted record");
  CancelControl = buttons.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
  w[copy_].Default();
  w.Status(1, "Browsing Records");
}

Level ClipboardWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  browse_.Sheet = &window()[sheet_];
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder(kByDate);
  browse_.SetLocator([] { return FormatDate(CLI.ClipDate); }, kByDate);
  browse_.AddSortOrder(kByContent);
  browse_.SetLocator([] { return CLI.ClipContents.str(); }, kByContent);
  browse_.AddSortOrder(kByCategory);
  browse_.SetLocator([] { return CLI.Category.str(); }, kByCategory);
  browse_.AddSortOrder(kSavedOnly);
  browse_.SetLocator([] { return std::to_string(CLI.ClipKeep); }, kSavedOnly);
  ACCESS_CLIPBOARD->BindFieldsLater(browse_.Bindings);
  // The text is a memo, which the table's fields leave out.
  browse_.Bindings.Bind("CLI:ClipContents", [] { return ExprValue::Text(CLI.ClipContents.str()); });
  browse_.SetFilterExpression("(CLI:ClipKeep=1)", "Saved", kSavedOnly);
  browse_.accepted = [this](int column) {
    if (column == kKeepColumn) {
      ToggleSave();
    } else {
      CopyToClipboard();
    }
  };
  WireButtons(browse_, buttons_, UpdateClipboard);
  browse_.ViewControl = view_button_;
  window()[list_].Format(ReplaceDatePictures(kListFormat, DatePicture().substr(1)));
  AttachListExtension(xplore_, browse_, list_, "?Browse:1",
                      {"", "CLI:ClipContents", "CLI:Category", "CLI:ClipDate"}, ">Header");
  OpenColouredList(list_);
  PopupClass& popup = browse_.Popup;
  popup.AddItemMimic("Popup9", query_button_, "&Query");
  popup.AddItemMimic("Popup10", reset_, "&Reset");
  popup.AddItem("-", "Separator11");
  popup.AddItemMimic("Popup11", copy_, "&Copy to Clipboard");
  window()[reset_].Disable();
  stamp_ = TableStamp();
  return Level_Benign;
}

bool ClipboardWindow::Highlighted() {
  if (browse_.Records() == 0) return false;
  browse_.UpdateBuffer();
  return true;
}

void ClipboardWindow::CopyToClipboard() {
  // Main's capture then finds the text stored already and adds nothing.
  if (Highlighted()) SETCLIPBOARD(CLI.ClipContents.clipped());
  window().Select(list_);
}

void ClipboardWindow::ToggleSave() {
  if (Highlighted()) {
    CLI.ClipKeep = CLI.ClipKeep != 0 ? 0 : 1;
    ACCESS_CLIPBOARD->Update();
    browse_.ResetFromView();
  }
  window().Select(list_);
}

void ClipboardWindow::View() {
  if (Highlighted()) {
    WindowManager::RunUpdate(UpdateClipboard, ViewRecord);
    browse_.ResetFromView();
  }
  window().Select(list_);
}

void ClipboardWindow::ApplyQuery() {
  // A query narrows every tab until it is reset.
  for (int order = kByDate; order <= kSavedOnly; ++order) {
    if (query_.empty()) {
      browse_.ClearFilter("6 Query", order);
    } else {
      browse_.SetFilterExpression(query_, "6 Query", order);
    }
  }
  window()[reset_].Enable(!query_.empty());
  browse_.ResetFromView();
}

void ClipboardWindow::Query() {
  if (QueryWizard(ClipboardQueryFields(), query_, "BrowseClipboard:Query")) ApplyQuery();
  window().Select(list_);
}

void ClipboardWindow::ResetQuery() {
  query_.clear();
  ApplyQuery();
  window().Select(list_);
}

void ClipboardWindow::RunLinks() {
  if (Highlighted()) RunClipboardText(CLI.ClipContents.view());
  window().Select(list_);
}

std::string ClipboardWindow::TableStamp() {
  const CLIPBOARD_RECORD kept = CLI;
  storage::File& file = ACCESS_CLIPBOARD->file();
  std::string stamp = std::to_string(file.Records());
  if (file.Set(CLI_KEYCLIPDATE) == 0 && file.Next() == 0) {
    stamp += " " + std::to_string(CLI.ClipDate) + " " + std::to_string(CLI.ClipTime) + " " +
             CLI.ClipHashKey.str();
  }
  CLI = kept;
  return stamp;
}

void ClipboardWindow::Refresh() {
  ticks_ = 0;
  stamp_ = TableStamp();
  browse_.ResetFromView();
}

Level ClipboardWindow::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == copy_) {
    CopyToClipboard();
  } else if (control == toggle_) {
    ToggleSave();
  } else if (control == view_button_) {
    View();
  } else if (control == query_button_) {
    Query();
  } else if (control == reset_) {
    ResetQuery();
  } else if (control == run_) {
    RunLinks();
  } else {
    return ListWindow::TakeAccepted();
  }
  return Level_Notify;
}

Level ClipboardWindow::TakeNewSelection() {
  if (RecolourTabs(sheet_)) {
    xplore_.KeySequence();  // the tab's own order replaces a header sort
    browse_.ResetSort(false);
    window().Select(list_);
  }
  return ListWindow::TakeNewSelection();
}

Level ClipboardWindow::TakeWindowEvent() {
  // Entries the capture stored meanwhile appear within a second or two: the timer looks at the
  // count and the newest entry each second (one read). Other changes (a keep switched in
  // another window) show when the window comes to the front, and about every 101 seconds.
  if (EVENT() == EVENT_GainFocus) Refresh();
  if (EVENT() == EVENT_Timer && (++ticks_ >= 101 || TableStamp() != stamp_)) Refresh();
  return ListWindow::TakeWindowEvent();
}

}  // namespace

std::span<const QueryField> ClipboardQueryFields() {
  static const std::vector<QueryField> fields = QueryFieldsFromDescriptor(kQueryDescriptor);
  return fields;
}

void BrowseClipboard() {
  Window window("Clipboard Manager");
  ClipboardWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
