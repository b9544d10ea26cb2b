#include <cstdint>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/file_manager.h"
#include "framework/request_globals.h"
#include "framework/table_view.h"
#include "program/scripts/script_prints.h"
#include "program/scripts/template_windows.h"
#include "program/windows/list_window.h"
#include "runtime/storage/file.h"

namespace vx {
namespace {

constexpr std::string_view kListFormat = "240L(2)M~Description~@s60@";

// Gives template `to` a copy of every step of template `from`.
void CopyTemplateSteps(std::int32_t from, std::int32_t to) {
  if (from == 0 || to == 0 || from == to) return;
  const std::vector<SCRIPTTEMPLATEDETAILS_RECORD> steps = TemplateSteps(from);
  if (steps.empty() || ACCESS_SCRIPTTEMPLATEDETAILS->Open() != 0) return;
  for (const SCRIPTTEMPLATEDETAILS_RECORD& step : steps) {
    VXD = step;
    VXD.WIZ_ID = to;
    if (ACCESS_SCRIPTTEMPLATEDETAILS->file().Add() != 0) break;
  }
  ACCESS_SCRIPTTEMPLATEDETAILS->Close();
}

class TemplateBrowse final : public ZQBROWSECLASS {
 public:
  void SetQueueRecord() override { Q = {VXT.Description.str()}; }
  void PrimeRecord(bool keep_buffer) override {
    ACCESS_SCRIPTTEMPLATES->PrimeRecord(keep_buffer);
    VXT.WIZ_ID = 0;  // numbered when stored
  }
  // New clears GLO_SAVEID; Copy keeps the template it came from there and, once the copy is
  // stored, gives it that template's steps.
  Level TakeEvent() override {
    const int accepted = ACCEPTED();
    if (accepted != 0 && accepted == InsertControl) GLO_SAVEID = 0;
    if (accepted == 0 || accepted != CopyControl || Records() == 0)
      return ZQBROWSECLASS::TakeEvent();
    if (WindowManager* manager = Manager()) manager->Update();
    UpdateBuffer();
    const std::int32_t from = VXT.WIZ_ID;
    GLO_SAVEID = from;
    if (ASKCOPY() == RequestCompleted) CopyTemplateSteps(from, VXT.WIZ_ID);
    GLO_SAVEID = 0;
    return Level_Benign;
  }
};

class TemplatesWindow final : public ListWindow {
 public:
  explicit TemplatesWindow(Window& window)
      : ListWindow(window, "BrowseScriptTemplates", *RELATE_SCRIPTTEMPLATES),
        view_(ACCESS_SCRIPTTEMPLATES->file(), {&VXT_K_DESCRIPTION}) {}

  void Build();
  Level Init() override;
  Level Kill() override;
  Level TakeNewSelection() override;

 private:
  TemplateBrowse browse_;
  ListXplore xplore_;  // after the browse it attaches to
  TableView view_;
  int sheet_ = 0, list_ = 0, print_ = 0;
  ListButtons buttons_;
};

void TemplatesWindow::Build() {
  Window& w = window();
  Control& sheet = w.Sheet();
  sheet_ = sheet;
  list_ = sheet.Tab("Description").List(kListFormat);
  Control& buttons = w.Row();
  buttons_.insert = buttons.Button("&New").Icon("insert.ico");
  buttons_.copy = buttons.Button("Cop&y");
  buttons_.change = buttons.Button("&Edit").Icon("open.ico");
  buttons_.remove = buttons.Button("&Delete").Icon("cut.ico");
  print_ = buttons.Button("&Print").Tip("Print the steps of the highlighted template");
  buttons_.select = buttons.Button("&Select");
  CancelControl = buttons.Button("Cl&ose").Icon("CLOSE.ICO");
  w.SetCancelButton(CancelControl);
  w.Status(1, "Browsing Records");
}

Level TemplatesWindow::Init() {
  const Level level = ListWindow::Init();
  if (level != Level_Benign) return level;
  GLO_SCRIPTWIZARDMODE = 1;  // the step tools work on template steps while the list is open
  browse_.Init(window()[list_], view_, *this);
  browse_.AddSortOrder();
  browse_.SetLocator([] { return VXT.Description.str(); });
  WireButtons(browse_, buttons_, UpdateScriptTemplates);
  ShowSelectWhenPicking(browse_, buttons_);
  AttachListExtension(xplore_, browse_, list_, "?Browse:1", {"VXT:Description"}, ">Header");
  OnAccepted(print_, [this] {
    if (browse_.Records() == 0) return;
    browse_.UpdateBuffer();
    PrintCurrentScriptTemplateDetails();
    browse_.ResetFromView();
  });
  OpenColouredList(list_);
  return Level_Benign;
}

Level TemplatesWindow::Kill() {
  GLO_SCRIPTWIZARDMODE = 0;
  return ListWindow::Kill();
}

Level TemplatesWindow::TakeNewSelection() {
  RecolourTabs(sheet_);
  return ListWindow::TakeNewSelection();
}

}  // namespace

void BrowseScriptTemplates() {
  Window window("Script Templates");
  TemplatesWindow manager(window);
  manager.Build();
  manager.Run();
}

}  // namespace vx
