// The windows of the search by example: the wizard, Specify Match Type, the value window and
// Begin Search.
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "datadll/addons/sqbe_search_class.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/text_rows.h"
#include "runtime/window/window.h"

namespace vx::SQBE {
namespace {

std::string Plain(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

bool Numeric(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end && *end == '\0';
}

// The upper limit strictly above the lower one: as numbers when both are, else as texts.
bool Above(const std::string& upper, const std::string& lower) {
  if (Numeric(upper) && Numeric(lower)) return std::stod(upper) > std::stod(lower);
  return upper > lower;
}

bool Ranged(int match) { return match == MATCHTYPE_INSIDERANGE || match == MATCHTYPE_OUTSIDERANGE; }

// Criteria as list rows: the match type's picture (its description beside it) and the
// criterion's text. The picture is the list's icon number match type + 1 (kMatchIcons).
void FillCriteria(TextRows& rows, const FIELDRECORD& field) {
  rows.rows.clear();
  for (const CRITERION& c : field.CRITERIA)
    rows.rows.push_back({Plain(MatchTypeText(c.TYPE)), std::to_string(c.TYPE + 1), c.DISPLAY});
}

constexpr const char* kCriteriaFormat = "100L(2)I~Match~@s30@|120L~Value~@s60@";

// The pictures of the 18 match types, in match type order, for a list's icon column.
std::vector<std::string> MatchIcons() {
  std::vector<std::string> icons;
  for (int m = 0; m <= 17; ++m) icons.emplace_back(MatchTypeIcon(m));
  return icons;
}

// A criteria list: the format and the match types' pictures.
Control& CriteriaList(Control& parent, TextRows& rows) {
  return parent.List(kCriteriaFormat).From(&rows).IconList(MatchIcons());
}

}  // namespace

bool SEARCHCLASS0::ENTERVALUE(CRITERION& criterion, int fieldType) {
  (void)fieldType;
  const bool ranged = Ranged(criterion.TYPE);
  std::string lower = criterion.VALUE, upper = criterion.LIMIT;
  if (ranged && !upper.empty() && !lower.empty() && Above(lower, upper)) upper = lower;
  Window window(ranged ? "Enter Range Limits" : "Enter Search Value");
  window.Prompt(ranged ? "&Lower Limit:" : "&Search Value:");
  window.Entry(lower, "@s80");
  int upper_entry = 0;
  if (ranged) {
    window.Prompt("&Upper Limit:");
    upper_entry = window.Entry(upper, "@s80");
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
    if (ranged && !Above(CLIP(upper), CLIP(lower))) {
      window.Select(upper_entry);  // the upper limit must lie above the lower one
      return Level_Notify;
    }
    chosen = true;
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  if (!chosen) return false;
  criterion.VALUE = CLIP(lower);
  criterion.LIMIT = ranged ? CLIP(upper) : std::string();
  return true;
}

int SEARCHCLASS0::SPECIFYMATCHTYPE() {
  FIELDRECORD* field = Current();
  if (!field) return -1;
  const std::vector<CRITERION> saved = field->CRITERIA;
  Window window("Specify Match Type");
  window.String("Field: " + field->DISPLAY);
  Control& panes = window.Beside();
  long match = 0;
  Control& option = panes.Option("Match Type", match);
  std::vector<int> offered;
  for (int m = 0; m <= 17; ++m) {
    if (!Offers(field->TYPE, m)) continue;
    option.Radio(MatchTypeText(m), std::to_string(m)).Icon(MatchTypeIcon(m));
    offered.push_back(m);
  }
  Control& right = panes.Stacked();
  TextRows rows;
  FillCriteria(rows, *field);
  Control& list = CriteriaList(right, rows);
  Control& tools = right.Row();
  const int insert = tools.Button("&Insert");
  const int change = tools.Button("&Change");
  const int remove = tools.Button("&Delete");
  const int load = tools.Button("&Load");
  const int save = tools.Button("&Save");
  Control& buttons = window.Row();
  const int ok = buttons.Button("&OK").Default();
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  int result = -1;
  bool keep = false;  // OK, Load or Save keep what the window holds
  auto selected = [&]() -> CRITERION* {
    const long row = list.Choice();
    return row >= 1 && row <= static_cast<long>(field->CRITERIA.size()) ? &field->CRITERIA[row - 1]
                                                                        : nullptr;
  };
  auto refresh = [&] {
    field->CRITERIACOUNT = static_cast<int>(field->CRITERIA.size());
    FillCriteria(rows, *field);
    list.Display();
    if (!field->CRITERIA.empty() && list.Choice() < 1) list.Choose(1);
    if (list.Choice() > static_cast<long>(field->CRITERIA.size()))
      list.Choose(static_cast<long>(field->CRITERIA.size()));
    window[change].Disable(field->CRITERIA.empty());
    window[remove].Disable(field->CRITERIA.empty());
    if (const CRITERION* c = selected()) {
      const auto at = std::find(offered.begin(), offered.end(), c->TYPE);
      option.Choose(at == offered.end() ? 0 : (at - offered.begin()) + 1);
    }
  };
  refresh();
  manager.On(EVENT_Accepted, option, [&] {
    CRITERION* c = selected();
    const long choice = option.Choice();
    if (!c || choice < 1) return;
    c->TYPE = offered[static_cast<std::size_t>(choice - 1)];
    Normalise(*field, *c);
    refresh();
  });
  manager.On(EVENT_NewSelection, list, [&] { refresh(); });
  manager.OnAccepted(insert, [&] {
    const bool reuse = !field->CRITERIA.empty() && field->CRITERIA.front().TYPE == 0;
    if (!reuse) {
      CRITERION c;
      c.TYPE = DefaultMatch(field->TYPE);
      field->CRITERIA.push_back(c);
    } else {
      field->CRITERIA.front().TYPE = DefaultMatch(field->TYPE);
    }
    CRITERION& c = reuse ? field->CRITERIA.front() : field->CRITERIA.back();
    if (ENTERVALUE(c, field->TYPE)) {
      Normalise(*field, c);
    } else if (reuse) {
      c.TYPE = 0;  // a criterion that was there goes back to ignoring the field
    } else {
      field->CRITERIA.pop_back();
    }
    refresh();
    list.Choose(reuse ? 1 : static_cast<long>(field->CRITERIA.size()));
    refresh();
  });
  auto change_selected = [&] {
    if (CRITERION* c = selected(); c && ENTERVALUE(*c, field->TYPE)) Normalise(*field, *c);
    refresh();
  };
  manager.OnAccepted(change, change_selected);
  manager.On(EVENT_Accepted, list, change_selected);  // a double click
  manager.OnAccepted(remove, [&] {
    const long row = list.Choice();
    if (row >= 1 && row <= static_cast<long>(field->CRITERIA.size()))
      field->CRITERIA.erase(field->CRITERIA.begin() + (row - 1));
    refresh();
  });
  manager.OnAccepted(load, [&] {
    if (LOAD() == 0) {
      result = -2;
      keep = true;
      manager.PostClose();
    }
  });
  manager.OnAccepted(save, [&] {
    if (SAVE() == 0) {
      result = -1;
      keep = true;
      manager.PostClose();
    }
  });
  manager.OnAccepted(ok, [&] {
    std::erase_if(field->CRITERIA, [](const CRITERION& c) { return c.TYPE == 0; });
    field->CRITERIACOUNT = static_cast<int>(field->CRITERIA.size());
    result = field->CRITERIA.empty()       ? 0
             : field->CRITERIA.size() == 1 ? field->CRITERIA.front().TYPE
                                           : kMultipleIcon;
    keep = true;
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  if (!keep) field->CRITERIA = saved;  // cancelled or closed
  field->CRITERIACOUNT = static_cast<int>(field->CRITERIA.size());
  return result;
}

int SEARCHCLASS0::BeginSearch() {
  Window window("Begin Search");
  window.Prompt("What do you want to do?");
  Control& buttons = window.Row();
  const int layout = EditLayout();
  const bool tags = !FSTTAG().empty();
  int edit = 0;
  if (layout == 1) edit = buttons.Button("&Edit").Default().Number();
  const int select = buttons.Button("&Select").Number();
  // Unselect is there only when something is tagged; in the kept layout Edit then takes its
  // place, so the row never shows a gap.
  const int unselect = tags ? buttons.Button("&Unselect").Number() : 0;
  if (layout == 2) edit = buttons.Button("&Edit").Number();
  const int cancel = buttons.Button("Cancel");
  if (layout != 1) window[select].Default();
  window.SetCancelButton(cancel);
  window.Select(edit ? edit : select);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  int result = 0;
  auto answer = [&](int value) {
    return [&, value] {
      result = value;
      manager.PostClose();
      return Level_Notify;
    };
  };
  if (edit) manager.OnAccepted(edit, answer(1));
  manager.OnAccepted(select, answer(2));
  if (unselect) manager.OnAccepted(unselect, answer(3));
  manager.Run();
  return result;
}

int SEARCHCLASS0::TagMatches(int action) {
  Window window("Searching for Matching Records");
  window.Set(Prop::Width, 220L);  // the title is read whole
  std::string spinner = "|", found;
  window.String(spinner, "@s2");
  window.String(found, "@s30");
  Control& buttons = window.Row();
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  window.Timer(1);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  int result = 2;
  std::size_t batch = 25;
  bool started = false, more = false;
  long read = 0;
  auto show = [&] {
    spinner = Spinner(read++);
    found = std::to_string(matches_) + " Found";
    window.Display();
  };
  manager.On(EVENT_OpenWindow, [&] {
    if (started) return;
    started = true;
    if (!OPENVIEW()) {
      manager.PostClose();
      return;
    }
    const auto begun = std::chrono::steady_clock::now();
    more = FindMatch();
    if (!more) {
      MESSAGE("There are no matching records!", {}, MessageIcon::Exclamation);
      WIZARDPAGE = 3;
      manager.PostClose();
      return;
    }
    // A view slow to give its first match is tagged one record a tick, so that Cancel and the
    // rest of the program are never kept waiting for a whole batch.
    if (std::chrono::steady_clock::now() - begun > std::chrono::milliseconds(100)) batch = 1;
    show();
  });
  manager.On(EVENT_Timer, [&] {
    if (!more) return;
    for (std::size_t n = 0; n < batch && more; ++n) {
      if (action == 2)
        SETTAG();
      else
        CLRTAG();
      more = FindMatch();
    }
    show();
    if (!more) {
      result = 11;
      manager.PostClose();
    }
  });
  manager.Run();
  return result;
}

int SEARCHCLASS0::RUNWIZARD() {
  Window window("OrvelQBE Wizard");
  Control& sheet = window.Sheet().Set(Prop::Wizard, true);
  const char* steps[][2] = {{"Step 1 of 5", "Introduction"},
                            {"Step 2 of 5", "Load Criteria from Disk"},
                            {"Step 3 of 5", "Enter Criteria"},
                            {"Step 4 of 5", "Save Criteria to Disk"},
                            {"Step 5 of 5", "Conclusion"}};
  TextRows fields, criteria;
  auto fill_fields = [&] {
    fields.rows.clear();
    for (const FIELDRECORD& f : FIELD)
      fields.rows.push_back({std::to_string(f.CRITERIACOUNT), f.DISPLAY});
  };
  fill_fields();
  int field_list = 0, criteria_list = 0, change = 0, load = 0, save = 0;
  for (int page = 0; page < 5; ++page) {
    Control& tab = sheet.Tab(steps[page][0]);
    tab.String(std::string(steps[page][0]) + "  " + steps[page][1]);
    switch (page) {
      case 0:
        tab.String("This wizard finds the records that match the criteria you give for their");
        tab.String("fields. Press Next to go on.");
        break;
      case 1:
        tab.String("Load a set of criteria saved earlier, or press Next to enter new ones.");
        load = tab.Button("&Load");
        break;
      case 2:
        field_list = tab.List("20R~Count~@n3@|120L~Field~@s60@").From(&fields);
        criteria_list = CriteriaList(tab, criteria);
        change = tab.Button("&Change");
        break;
      case 3:
        tab.String("Save these criteria to use them again, or press Next.");
        save = tab.Button("&Save");
        break;
      default:
        tab.String("Press Finish to search with these criteria.");
        break;
    }
  }
  Control& buttons = window.Row();
  const int back = buttons.Button("< &Back");
  const int next = buttons.Button("&Next >");
  const int finish = buttons.Button("&Finish");
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  int page = std::clamp(WIZARDPAGE == 0 ? 1 : WIZARDPAGE, 1, 5);
  auto show_criteria = [&] {
    criteria.rows.clear();
    const long row = window[field_list].Choice();
    if (row >= 1 && row <= static_cast<long>(FIELD.size()))
      FillCriteria(criteria, FIELD[static_cast<std::size_t>(row - 1)]);
    window[criteria_list].Display();
  };
  auto show_page = [&] {
    sheet.Choose(page);
    window[back].Disable(page == 1);
    window[next].Disable(page == 5);
    if (page == 5)
      window.Select(finish);
    else if (page == 3)
      window.Select(field_list);
    else if (page > 1)
      window.Select(next);
    WIZARDPAGE = page;
  };
  window[field_list].Choose(FIELD.empty() ? 0 : 1);
  show_criteria();
  show_page();
  manager.OnAccepted(back, [&] {
    page = std::max(1, page - 1);
    show_page();
  });
  manager.OnAccepted(next, [&] {
    page = std::min(5, page + 1);
    show_page();
  });
  auto specify = [&] {
    const long row = window[field_list].Choice();
    if (row < 1 || row > static_cast<long>(FIELD.size())) return;
    current_ = row - 1;
    SPECIFYMATCHTYPE();
    fill_fields();
    window[field_list].Display();
    show_criteria();
  };
  manager.OnAccepted(change, specify);
  manager.On(EVENT_Accepted, field_list, specify);
  manager.On(EVENT_Accepted, criteria_list, specify);
  manager.On(EVENT_NewSelection, field_list, show_criteria);
  manager.OnAccepted(load, [&] {
    LOAD();
    fill_fields();
    window[field_list].Display();
    show_criteria();
  });
  manager.OnAccepted(save, [&] { SAVE(); });
  int result = 3;
  manager.OnAccepted(finish, [&] {
    result = 0;
    manager.PostClose();
    return Level_Notify;
  });
  manager.Run();
  return result;
}

}  // namespace vx::SQBE
