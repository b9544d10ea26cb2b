#include <string>

#include "datadll/dictionary/clipboard_tables.h"
#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/table_view.h"
#include "program/organiser/clipboard_windows.h"
#include "program/windows/category_picker.h"
#include "program/windows/format_date.h"
#include "program/windows/list_window.h"
#include "program/windows/record_form.h"
#include "runtime/text_functions.h"
#include "runtime/window/list_format.h"

namespace vx {
namespace {

constexpr std::string_view kCategoryFormat = "80L(2)M|~Categories~L(1)@s20@";
constexpr std::string_view kEntryFormat = "52L(2)M|~Date Saved~@d3@200L(2)M|~Contents~@s255@";

class EntryBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override {
    Q = {std::to_string(CLI.ClipDate), std::string(CutUtf8(CLI.ClipContents.clipped(), 255))};
  }
  void PrimeRecord(bool keep_buffer) override {
    ACCESS_CLIPBOARD->PrimeRecord(keep_buffer);
    CLI.Category = CLC.Category.view();  // a new entry joins the highlighted category
  }
};

class CategoryBrowse final : public ZQBROWSECLASS {
 public:
  ZQBROWSECLASS* entries = nullptr;
  bool has_category = false;

  void SetQueueRecord() override { Q = {CLC.Category.str()}; }
  void PrimeRecord(bool keep_buffer) override {
    ACCESS_CLIPBOARDCATEGORIES->PrimeRecord(keep_buffer);
  }
  // The entry list follows the highlighted category.
  void UpdateBuffer() override {
    ZQBROWSECLASS::UpdateBuffer();
    has_category = Records() > 0;
    if (entries) entries->ResetFromView();
  }
};

class ClipboardCategoriesWindow final : public ListWindow {
 public:
  explicit ClipboardCategoriesWindow(Window& window)
      : ListWindow(window, "BrowseClipboardCategories",
                   *RELATE_CLIPBOARDCATEGORIES),  // opens the entries too
        category_view_(ACCESS_CLIPBOARDCATEGORIES->file(), {&CLC_KEYCATEGORY}),
        entry_view_(ACCESS_CLIPBOARD->file(), {&CLI_KEYCATEGORY}) {}

  void Build();
  Level Init() override;

 private:
  CategoryBrowse categories_;
  EntryBrowse entries_;
  XPLORECLASS entry_xplore_;  // after the browse it attaches to
  TableView category_view_, entry_view_;
  int category_list_ = 0, entry_list_ = 0;
  ListButtons category_buttons_, entry_buttons_;
};

void ClipboardCategoriesWindow::Build() {
  Window& w = window();
  w.Icon("PICK.ICO");
  Control& panes = w.Beside();
  Control& categories = panes.Panel();
  category_list_ = categories.List(kCategoryFormat);
  Control& category_buttons = categories.Row();
  category_buttons_.insert = category_buttons.Button("&New");
  category_buttons_.change = category_buttons.Button("&Edit");
  category_buttons_.remove = category_buttons.Button("&Delete");
  Control& entries = panes.Panel();
  entries.String("Clipboard Entries for Highlighted Category");
  entry_list_ = entries.List(kEntryFormat);
  Control& entry_buttons = entries.Row();
  entry_buttons_.insert = entry_buttons.Button("New");
  entry_buttons_.change = entry_buttons.Button("Edit");
  entry_buttons_.remove = entry_buttons.Button("Delete");
  CancelControl = w.Button("Cl&ose").Icon("EXIT.ICO");
  w.SetCancelButton(CancelControl);
}

Level ClipboardCategoriesWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  entries_.Init(window()[entry_list_], entry_view_, *this);
  entries_.AddSortOrder();
  entries_.SetLocator([] { return CLI.Abbreviation.str(); });
  // The entries of the highlighted category, in the key's order (abbreviation, then key).
  entries_.SetFilter(
      [this] {
        return categories_.has_category &&
               UPPER(CLIP(CLI.Category.view())) == UPPER(CLIP(CLC.Category.view()));
      },
      "Category");
  WireButtons(entries_, entry_buttons_, UpdateClipboard);
  ACCESS_CLIPBOARD->BindFieldsLater(entries_.Bindings);
  window()[entry_list_].Format(ReplaceDatePictures(kEntryFormat, DatePicture().substr(1)));

  categories_.Init(window()[category_list_], category_view_, *this);
  categories_.AddSortOrder();
  categories_.SetLocator([] { return CLC.Category.str(); });
  WireButtons(categories_, category_buttons_, UpdateClipboardCategories);
  categories_.entries = &entries_;

  AttachListExtension(entry_xplore_, entries_, entry_list_, "?List",
                      {"CLI:ClipDate", "CLI:ClipContents"}, "Underline");
  OpenList(category_list_);
  return Level_Benign;
}

}  // namespace

void BrowseClipboardCategories() {
  Window window("Clipboard Categories");
  ClipboardCategoriesWindow manager(window);
  manager.Build();
  manager.Run();
}

void SelectClipboardCategory() {
  RunCategoryPicker({.procedure = "SelectClipboardCategory",
                     .relation = RELATE_CLIPBOARDCATEGORIES,
                     .file = &ACCESS_CLIPBOARDCATEGORIES->file(),
                     .key = &CLC_KEYCATEGORY,
                     .category = [] { return CLC.Category.str(); },
                     .on_tab = true,
                     .icon = "WIZARD.ICO",
                     .select_icon = "PICK.ICO"});
}

void UpdateClipboardCategories() {
  Window window("Update Category");
  window.Icon("CRDFLE09.ICO");
  window.Prompt("&Category:");
  window.Entry(CLC.Category, "@s20").Required().Tip("Clipboard Category");
  const int ok = window.Button("&OK").Default();
  const int cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  RecordForm form(window, "UpdateClipboardCategories", *RELATE_CLIPBOARDCATEGORIES,
                  "Clipboard Category");
  form.OkControl = ok;
  form.CancelControl = cancel;
  form.Run();
}

}  // namespace vx
