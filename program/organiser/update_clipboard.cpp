#include <string>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "program/organiser/capture_clipboard.h"
#include "program/organiser/clipboard_windows.h"
#include "program/windows/list_window.h"
#include "program/windows/record_form.h"
#include "runtime/dates.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::size_t kContentsBytes = 8192;

class ClipboardForm final : public RecordForm {
 public:
  explicit ClipboardForm(Window& window)
      : RecordForm(window, "UpdateClipboard", *RELATE_CLIPBOARD, "Clipboard Entry") {}

  void Build();
  Level Init() override;
  Level TakeAccepted() override;
  Level TakeCompleted() override;

 private:
  // The category lookup; answers whether a category was chosen.
  bool PickCategory();
  // A typed category is taken when it is blank, "General" or a stored category; else the
  // lookup offers the stored ones. Answers whether the category may stand.
  bool CategoryAccepted();

  int contents_ = 0, pick_ = 0, category_ = 0;
};

void ClipboardForm::Build() {
  Window& w = window();
  w.Icon("CLIPBRD.ICO");
  contents_ = w.Text(CLI.ClipContents);
  w.Prompt("Category:");
  Control& row = w.Row();  // the lookup button beside the category it fills
  category_ = row.Entry(CLI.Category, "@s20");
  pick_ = row.Button("...").Tip("Select a category");
  w.Check("Keep", CLI.ClipKeep).Tip("Keep this clipboard record");
  w.Prompt("Date:");
  w.Entry(CLI.ClipDate, "@d3");
  w.Prompt("Time:");
  w.Entry(CLI.ClipTime, "@t3");
  OkControl = w.Button("&OK").Icon("OK.ICO").Default();
  CancelControl = w.Button("Cancel").Icon("cancel.ico");
  w.SetCancelButton(CancelControl);
}

Level ClipboardForm::Init() {
  if (CurrentRequest() == InsertRecord) {
    CLI.ClipContents = CutUtf8(CLIPBOARD(), kContentsBytes);
    CLI.ClipDate = TODAY();
    CLI.ClipTime = CLOCK();
  }
  RecordForm::Init();
  if (Request == ViewRecord || Request == DeleteRecord) {
    // The text can still be read and scrolled, never changed.
    window()[contents_].Enable().Set(Prop::ReadOnly, 1L);
    window().Select(CancelControl);
  }
  return Level_Benign;
}

bool ClipboardForm::PickCategory() {
  CLC.Category = CLI.Category.view();
  const bool chosen = ListWindow::Pick(SelectClipboardCategory);
  if (chosen) CLI.Category = CLC.Category.view();
  window()[category_].Display();
  return chosen;
}

bool ClipboardForm::CategoryAccepted() {
  const std::string typed = CLI.Category.str();
  if (typed.empty() || typed == "General") return true;
  CLC.Category = typed;
  if (ACCESS_CLIPBOARDCATEGORIES->TryFetch(CLC_KEYCATEGORY) == 0) return true;
  if (PickCategory()) return true;
  window().Select(category_);
  return false;
}

Level ClipboardForm::TakeAccepted() {
  const int control = ACCEPTED();
  if (control == pick_) {
    PickCategory();
    return Level_Notify;
  }
  if (control == category_) {
    Update();
    CategoryAccepted();
    return Level_Notify;
  }
  return RecordForm::TakeAccepted();
}

Level ClipboardForm::TakeCompleted() {
  if (Request != InsertRecord && Request != ChangeRecord) return RecordForm::TakeCompleted();
  Update();
  if (!CategoryAccepted()) return Level_Notify;
  // Keyed on the text as the capture keys it: a text stored already is refused by the key.
  CLI.ClipHashKey = ClipboardHashKey(CLI.ClipContents.view());
  return RecordForm::TakeCompleted();
}

}  // namespace

void UpdateClipboard() {
  Window window("Clipboard Record");
  ClipboardForm form(window);
  form.Build();
  form.Run();
}

}  // namespace vx
