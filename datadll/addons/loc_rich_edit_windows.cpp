// The rich-text editor's small windows: the mail merge window, the merge field picker, the
// merge filter and order, the date and time list and the page margins.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

#include "datadll/addons/loc_rich_edit_class.h"
#include "framework/window_manager.h"
#include "runtime/calendar_names.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"

namespace vx {

namespace {

// Thousandths of an inch as inches for an entry ("1.25"), and back; nullopt for a text that is
// no margin (negative, or more than the 8.5 inches of the page).
std::string Inches(long thousandths) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", thousandths / 1000.0);
  return text;
}
std::optional<long> Thousandths(const std::string& inches) {
  const std::string text(CLIP(inches));
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || value < 0 || value > 8.5) return std::nullopt;
  return std::lround(value * 1000);
}

}  // namespace

bool LOCRICHEDITCLASS::PAGESETUP() {
  if (!window_) return false;
  Window window("Page Setup");
  window.String("Margins (inches)");
  std::string left = Inches(MARGINS.left), top = Inches(MARGINS.top), right = Inches(MARGINS.right),
              bottom = Inches(MARGINS.bottom);
  const std::pair<const char*, std::string*> fields[] = {
      {"&Left:", &left}, {"&Right:", &right}, {"&Top:", &top}, {"&Bottom:", &bottom}};
  std::vector<int> entries;
  for (const auto& [prompt, value] : fields) {
    window.Prompt(prompt);
    entries.push_back(window.Entry(*value, "@s8"));
  }
  Control& buttons = window.Row();
  const int ok = buttons.Button("&OK").Default();
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  bool chosen = false;
  manager.OnAccepted(ok, [&] {
    manager.Update();
    RichPageMargins m;
    long* const targets[] = {&m.left, &m.right, &m.top, &m.bottom};
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const std::optional<long> value = Thousandths(*fields[i].second);
      if (!value) {
        window.Select(entries[i]);  // not a margin: the user puts it right
        return Level_Notify;
      }
      *targets[i] = *value;
    }
    // The text must keep some room on the page: at least an inch each way on letter paper.
    if (m.left + m.right > 7500 || m.top + m.bottom > 10000) {
      MESSAGE("   The margins leave no room for the text.", "Page Setup", MessageIcon::Exclamation);
      window.Select(entries[0]);
      return Level_Notify;
    }
    MARGINS = m;
    chosen = true;
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  SETFOCUS();
  return chosen;
}

std::vector<std::string> LOCRICHEDITCLASS::DateTimeChoices() {
  const std::int32_t today = TODAY(), now = CLOCK();
  auto shown = [](const std::string& text) {
    std::string out = CLIP(text);
    while (!out.empty() && out.front() == ' ') out.erase(0, 1);
    return out;
  };
  const std::string day = std::to_string(DAY(today)), year = std::to_string(YEAR(today));
  const std::string month(MonthName(MONTH(today)));
  return {shown(FORMAT(std::to_string(today), "@D17")),
          shown(FORMAT(std::to_string(today), "@D18")),
          shown(FORMAT(std::to_string(today), "@D01")),
          shown(FORMAT(std::to_string(today), "@D02")),
          month + " " + (day.size() < 2 ? "0" + day : day) + ", " + year,
          (day.size() < 2 ? "0" + day : day) + " " + month + " " + year,
          shown(FORMAT(std::to_string(now), "@T7")),
          shown(FORMAT(std::to_string(now), "@T8")),
          shown(FORMAT(std::to_string(now), "@T01")),
          shown(FORMAT(std::to_string(now), "@T03")),
          shown(FORMAT(std::to_string(now), "@T04")),
          shown(FORMAT(std::to_string(now), "@T06"))};
}

void LOCRICHEDITCLASS::INSERTDATETIME() {
  if (!window_ || read_only_) return;
  TextRows rows;
  for (const std::string& text : DateTimeChoices()) rows.rows.push_back({text.substr(0, 20)});
  Window window("Insert Date and Time");
  Control& list = window.List("90L~Date or time~@s20@").From(&rows);
  list.Alert(MouseRight);
  WindowManager manager(window);
  list.Choose(std::clamp(last_date_time_, 1L, static_cast<long>(rows.rows.size())));
  std::string chosen;
  // Enter or a double click takes the row; a right click closes the list.
  manager.On(EVENT_Accepted, list, [&] {
    last_date_time_ = list.Choice();
    if (last_date_time_ >= 1) chosen = rows.rows[static_cast<std::size_t>(last_date_time_ - 1)][0];
    manager.PostClose();
  });
  manager.On(EVENT_AlertKey, list, [&] {
    if (KEYCODE() == MouseRight) manager.PostClose();
  });
  manager.Run();
  if (chosen.empty()) return;
  long caret = SelStart();
  Modify([&](RichDocument& doc, long start, long end) { caret = doc.Replace(start, end, chosen); });
  Select(caret, caret);
  UPDATEWINDOW();
}

void LOCRICHEDITCLASS::MAILINSERT() {
  if (!window_ || mail_files_.empty() || merge_template_) return;
  std::string files;
  for (const RichMailFile* f : mail_files_) files += (files.empty() ? "" : "|") + f->name;
  std::string file_name;
  Window window("Insert Mail Field");
  window.Prompt("&File:");
  Control& file = window.DropList(file_name, files);
  window.Prompt("&Fields:");
  TextRows labels;
  Control& list = window.List("120L~Field~@s40@").From(&labels);
  list.Alert(MouseRight);
  WindowManager manager(window);
  auto fill = [&] {
    labels.rows.clear();
    const long n = file.Choice();
    if (n >= 1) {
      for (const std::string& l : mail_files_[static_cast<std::size_t>(n - 1)]->labels)
        labels.rows.push_back({l});
    }
    list.Display();
    list.Choose(labels.rows.empty() ? 0 : 1);
  };
  file.Choose(static_cast<long>(std::min(last_mail_file_, mail_files_.size() - 1)) + 1);
  fill();
  manager.On(EVENT_Accepted, file, [&] {
    last_mail_file_ = static_cast<std::size_t>(std::max(1L, file.Choice()) - 1);
    fill();
  });
  std::string chosen;
  manager.On(EVENT_Accepted, list, [&] {
    const long row = list.Choice();
    if (row >= 1 && row <= static_cast<long>(labels.rows.size()))
      chosen = labels.rows[static_cast<std::size_t>(row - 1)][0];
    manager.PostClose();
  });
  manager.On(EVENT_AlertKey, list, [&] {
    if (KEYCODE() == MouseRight) manager.PostClose();
  });
  manager.Run();
  if (!chosen.empty()) MAILINSERT(chosen);
  UPDATEWINDOW();
}

void LOCRICHEDITCLASS::MAILFILTER() {
  std::string filter = mail_filter_, order = mail_order_;
  Window window("Mail Merge Filter and Order");
  window.Prompt("Record &Filter");
  window.Entry(filter, "@s255").Tip("Set filter in the form:  PRE:FieldName = 'Filtervalue'");
  window.Prompt("Record &Order");
  window.Entry(order, "@s255").Tip("Set order in the form:  +PRE:FieldName, -PRE:FieldName");
  Control& buttons = window.Row();
  const int clear = buttons.Button("&Clear filter and order");
  const int ok = buttons.Button("&Ok").Default();
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  manager.OnAccepted(clear, [&] {
    filter.clear();
    order.clear();
    window.Display();
  });
  manager.OnAccepted(ok, [&] {
    manager.Update();
    MAILFILTER(filter, order);
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
}

void LOCRICHEDITCLASS::MAILMERGE() {
  if (!window_) return;
  Window window("Mail Merge");
  window.Arrange(Arrangement::Row);
  struct Tool {
    const char* tip;
    const char* icon;
    const char* text;
  };
  const Tool tools[] = {{"Insert mail field", "RTFMAILINSERT_ICO", "Insert"},
                        {"Merge to screen", "RTFMAILVIEW_ICO", "View"},
                        {"Merge to printer", "RTFMAILPRINT_ICO", "Print all"},
                        {"First field", "RTFMAILFIRST_ICO", "|<"},
                        {"Previous field", "RTFMAILPREVIOUS_ICO", "<"},
                        {"Next field", "RTFMAILNEXT_ICO", ">"},
                        {"Last field", "RTFMAILLAST_ICO", ">|"},
                        {"Filter merge fields", "RTFMAILFILTER_ICO", "Filter"},
                        {"Print current document", "", "Print"}};
  int b[9];
  for (int i = 0; i < 9; ++i)
    b[i] = window.Button(tools[i].text)
               .Tip(tools[i].tip)
               .Icon(tools[i].icon)
               .Set(Prop::Flat, flat_buttons_);
  WindowManager manager(window);
  auto refresh = [&] {
    const bool on = merge_template_.has_value();
    const bool few = MailCount() <= 1;
    window[b[0]].Disable(on);
    window[b[2]].Disable(on);
    window[b[7]].Disable(on);
    window[b[3]].Disable(!on || few || mail_counter_ <= 1);
    window[b[4]].Disable(!on || few || mail_counter_ <= 1);
    window[b[5]].Disable(!on || few || mail_counter_ >= MailCount());
    window[b[6]].Disable(!on || few || mail_counter_ >= MailCount());
    window[b[8]].Disable(!on);
    UPDATEWINDOW();
  };
  refresh();
  const std::function<void()> actions[9] = {
      [&] { MAILINSERT(); },  [&] { MAILSCREEN(!merge_template_); },
      [&] { MAILPRINTER(); }, [&] { MAILLOCATE(1); },
      [&] { MAILLOCATE(2); }, [&] { MAILLOCATE(3); },
      [&] { MAILLOCATE(4); }, [&] { MAILFILTER(); },
      [&] { PRINTDOC(true); }};
  for (int i = 0; i < 9; ++i) {
    manager.OnAccepted(b[i], [&, i] {
      actions[i]();
      refresh();
    });
  }
  manager.Run();
  MAILSCREEN(false);
}

}  // namespace vx
