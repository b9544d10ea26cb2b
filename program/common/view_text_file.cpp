#include "program/common/view_text_file.h"

#include <string>
#include <system_error>
#include <vector>

#include "framework/browse_class.h"
#include "framework/report/report_manager.h"
#include "framework/window_manager.h"
#include "program/common/ask_search_text.h"
#include "program/common/text_file_lines.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/report/report_layout.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

// A file's lines one after the other, each in `line` in turn.
class LineRows final : public BrowseView {
 public:
  explicit LineRows(const std::vector<std::string>& lines) : lines_(lines) {}
  void Reset(int) override { next_ = 0; }
  bool Next() override {
    if (next_ >= lines_.size()) return false;
    line = lines_[next_++];
    return true;
  }
  long Position() const override { return static_cast<long>(next_); }
  bool Fetch(long) override { return false; }
  std::string line;

 private:
  const std::vector<std::string>& lines_;
  std::size_t next_ = 0;
};

// The file's lines as a report under the window's title, in a fixed-pitch face (a line too long
// for the page goes on below), previewed before it prints.
void PrintLines(const TextFileView& view, const TextFileLines& lines) {
  LineRows rows(lines.Lines());
  report::ReportLayout layout;
  layout.title = std::string(view.title);
  layout.page_header.Font({.size = 12, .bold = true}).Text(view.title, 0, 0);
  layout.page_header.height = 350;
  layout.detail.Font({.face = "Courier New", .size = 8}).Memo(rows.line, 0, 0, layout.BodyWidth());
  layout.page_footer.Text("Page", 0, 100).PageNumber("<<<#", 420, 100, 500);
  // The progress window keeps its place apart from the viewer's.
  ReportManager report("Print:" + std::string(view.procedure), layout);
  report.Run(rows, 1, lines.Lines().size());
}

}  // namespace

bool ViewTextFile(const TextFileView& view, const std::function<void()>& unreadable) {
  TextFileLines lines;
  std::error_code missing;
  const bool loaded =
      lines.Load(view.file) ||
      (view.missing_is_empty && !std::filesystem::exists(view.file, missing) && !missing);
  if (!loaded && !unreadable) return false;
  SearchRequest search;

  Window window(view.title);
  Control& list = window.List("1020L(2)|M~" + std::string(view.heading) + "~@s255@").From(&lines);
  // Log lines line up in columns only in a fixed-pitch face.
  list.Set(Prop::FontName, "Courier New");
  const int print = window.Button("&Print...");
  const int find = window.Button("&Search...");
  const int close = window.Button("&Close");
  window.SetCancelButton(close);

  WindowManager manager(window);
  const WindowProcedureScope scope(view.procedure, manager);
  manager.CancelControl = close;
  manager.On(EVENT_OpenWindow, [&] {
    if (loaded) return Level_Benign;
    unreadable();
    manager.PostClose();
    return Level_Notify;
  });
  if (lines.Records() == 0) {
    window[print].Disable();
    window[find].Disable();
  }
  manager.OnAccepted(print, [&] { PrintLines(view, lines); });
  manager.OnAccepted(find, [&] {
    if (!AskSearchText(search)) return;
    const long row = lines.Find(search.text, list.Choice(), search.match_case);
    if (row == 0) {
      MESSAGE("\"" + search.text + "\" was not found.", "Search", MessageIcon::Information);
    } else {
      list.Choose(row);
    }
    window.Select(list);
  });
  manager.Run();
  return true;
}

}  // namespace vx
