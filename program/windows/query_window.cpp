#include "program/windows/query_window.h"

#include <array>
#include <cctype>
#include <vector>

#include "program/windows/format_date.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"
#include "runtime/picture.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

using K = QueryValueKind;

constexpr std::array<std::string_view, 12> kOperations = {"Is Equal To",
                                                          "Is NOT Equal To",
                                                          "Is Greater Than",
                                                          "Is Less Than",
                                                          "Is Greater Than or Equal To",
                                                          "Is Less Than or Equal To",
                                                          "Begins With",
                                                          "Contains",
                                                          "Does NOT Begin With",
                                                          "Does NOT Contain",
                                                          "Is Checked",
                                                          "Is NOT Checked"};

constexpr std::array kTextOperations = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
constexpr std::array kComparisons = {1, 2, 3, 4, 5, 6};
constexpr std::array kYesNo = {11, 12};

constexpr std::array<std::string_view, 6> kComparisonSigns = {"=", "<>", ">", "<", ">=", "<="};

// A text inside single quotes, each quote doubled: the expression reads it back as exactly
// that text, whatever it holds.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

std::vector<std::string> SplitBars(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    const std::size_t bar = text.find('|', start);
    parts.emplace_back(
        text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return parts;
}

bool PlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (std::isdigit(c)) {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits;
}

std::string TextCondition(std::string_view field, int operation, std::string_view value,
                          std::string* error) {
  const std::string subject = "UPPER(CLIP(" + std::string(field) + "))";
  const std::string wanted = Quoted(UPPER(value));
  if (operation >= 1 && operation <= 6)
    return subject + std::string(kComparisonSigns[operation - 1]) + wanted;
  if (value.empty()) {
    *error = "Enter a value to complete your expression.";
    return {};
  }
  const std::string found = "INSTRING(" + wanted + "," + subject + ",1,1)";
  switch (operation) {
    case 7:
      return found + "=1";
    case 8:
      return found + ">0";
    case 9:
      return found + "<>1";
    default:
      return found + "=0";
  }
}

}  // namespace

std::vector<QueryField> QueryFieldsFromDescriptor(std::string_view descriptor) {
  static constexpr std::string_view kEntryEnd = "\u00ab";  // «
  static constexpr std::string_view kPartEnd = "\u00a6";   // ¦
  std::vector<QueryField> fields;
  while (!descriptor.empty()) {
    const std::size_t end = descriptor.find(kEntryEnd);
    std::string_view entry = descriptor.substr(0, end);
    descriptor.remove_prefix(end == std::string_view::npos ? descriptor.size()
                                                           : end + kEntryEnd.size());
    std::vector<std::string_view> parts;
    while (true) {
      const std::size_t bar = entry.find(kPartEnd);
      parts.push_back(entry.substr(0, bar));
      if (bar == std::string_view::npos) break;
      entry.remove_prefix(bar + kPartEnd.size());
    }
    if (parts.size() < 7 || parts[0].empty() || parts[2].empty()) continue;
    const std::string picture = UPPER(parts[3]);
    QueryValueKind kind = K::Number;
    if (parts[5] == "1") {
      kind = K::Text;
    } else if (parts[6] == "2") {
      kind = K::YesNo;
    } else if (picture.starts_with("@D")) {
      kind = K::Date;
    } else if (picture.starts_with("@T")) {
      kind = K::Time;
    }
    fields.push_back(QueryField{parts[0], parts[2], kind});
  }
  return fields;
}

std::span<const std::string_view> QueryOperations() { return kOperations; }

std::span<const int> QueryOperationsFor(QueryValueKind kind) {
  switch (kind) {
    case K::YesNo:
      return kYesNo;
    case K::Text:
    case K::Choice:
      return kTextOperations;
    default:
      return kComparisons;
  }
}

std::string QueryCondition(const QueryField& field, int operation, std::string_view value,
                           std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  error->clear();
  bool fits = false;
  for (int allowed : QueryOperationsFor(field.kind)) fits = fits || allowed == operation;
  if (!fits) {
    *error = "Select a query operation to perform on the selected field.";
    return {};
  }
  const std::string name(field.field);
  std::string_view trimmed = ClipView(value);
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  switch (field.kind) {
    case K::YesNo:
      return name + (operation == 11 ? "<>0" : "=0");
    case K::Text:
    case K::Choice:
      return TextCondition(name, operation, trimmed, error);
    default:
      break;
  }
  std::string number;
  if (field.kind == K::Number) {
    if (!PlainNumber(trimmed)) {
      *error = "Enter a value to complete your expression.";
      return {};
    }
    number = std::string(trimmed);
  } else if (trimmed.empty()) {
    number = "0";  // no date, no time
  } else {
    const std::optional<Picture> picture = ParsePicture(
        field.kind == K::Date ? std::string_view(DatePicture()) : std::string_view("@T1"));
    std::int32_t read = 0;
    if (picture) {
      read = field.kind == K::Date ? DeformatDateText(trimmed, *picture)
                                   : DeformatTimeText(trimmed, *picture);
    }
    if (read <= 0) {
      *error = "Enter a value to complete your expression.";
      return {};
    }
    number = std::to_string(read);
  }
  return name + std::string(kComparisonSigns[operation - 1]) + number;
}

std::string JoinQuery(std::string_view query, std::string_view condition, bool with_or) {
  if (ClipView(query).empty()) return std::string(condition);
  return "(" + std::string(ClipView(query)) + (with_or ? ") OR (" : ") AND (") +
         std::string(condition) + ")";
}

bool QueryWizard(std::span<const QueryField> fields, std::string& filter,
                 std::string_view procedure) {
  if (fields.empty()) return false;
  std::vector<std::string> steps;  // the query after each condition added, to take one back
  std::string query = filter;
  String<100> field_label(fields[0].label);
  String<40> operation_text;
  String<255> value;

  std::string field_items;
  for (const QueryField& f : fields)
    field_items += (field_items.empty() ? "" : "|") + std::string(f.label);

  Window window("Query Wizard");
  window.Prompt("Current Query");
  Control& current = window.Text(query).Set(Prop::ReadOnly, 1L);
  window.String("Add conditions by pressing the AND or OR buttons.");
  window.Prompt("Fields to Evaluate");
  Control& field_list = window.DropList(field_label, field_items);
  window.Prompt("Query Operations");
  Control& operation_list = window.DropList(operation_text);
  window.Prompt("Constant &Value");
  Control& value_entry = window.Combo(value, "@s255");
  Control& buttons = window.Row();
  Control& and_button = buttons.Button("&AND").Tip("Add a New AND Query Element");
  Control& or_button = buttons.Button("O&R").Tip("Add a New OR Query Element");
  Control& back_button = buttons.Button("< &Back").Tip("Go Back to the Previous Page");
  Control& clear_button = buttons.Button("&Delete").Tip("Delete Query Element");
  Control& finish = window.Button("&Finish").Tip("Finish the Wizard and Run Query").Default();
  Control& cancel = window.Button("Cancel").Tip("Cancel Changes and Exit Wizard");

  auto chosen_field = [&]() -> const QueryField& {
    for (const QueryField& f : fields) {
      if (f.label == field_label.clipped()) return f;
    }
    return fields[0];
  };
  // The operations and values that fit the chosen field.
  auto show_field = [&] {
    const QueryField& f = chosen_field();
    std::string items;
    for (int op : QueryOperationsFor(f.kind)) {
      items +=
          (items.empty() ? "" : "|") + std::string(kOperations[static_cast<std::size_t>(op - 1)]);
    }
    operation_list.From(items);
    operation_text = kOperations[static_cast<std::size_t>(QueryOperationsFor(f.kind)[0] - 1)];
    operation_list.Display();
    value_entry.From(f.choices);
    value = "";
    value_entry.Display();
    value_entry.Disable(f.kind == K::YesNo);
  };
  auto operation_number = [&] {
    for (std::size_t i = 0; i < kOperations.size(); ++i) {
      if (kOperations[i] == operation_text.clipped()) return static_cast<int>(i) + 1;
    }
    return 0;
  };
  auto show_query = [&] {
    current.Display();
    back_button.Enable(!steps.empty());
    clear_button.Enable(!query.empty());
  };

  SmallDialog manager(window, finish, cancel);
  const WindowProcedureScope scope(procedure, manager);
  manager.OnAccepted(field_list, show_field);
  auto add = [&](bool with_or) {
    manager.Update();
    const QueryField& f = chosen_field();
    std::string error;
    std::string value_text = value.str();
    if (f.kind == K::Choice) {
      // A choice shown under another name tests the stored text.
      const std::vector<std::string> parts = SplitBars(f.choices);
      for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == value_text && parts[i + 1].starts_with('#'))
          value_text = parts[i + 1].substr(1);
      }
    }
    const std::string condition = QueryCondition(f, operation_number(), value_text, &error);
    if (condition.empty()) {
      MESSAGE(
          "The query you have designed is invalid.\nPlease review your query and correct the "
          "problem.\n\n" +
              error,
          "Invalid Query", MessageIcon::Exclamation);
      window.Select(value_entry);
      return;
    }
    steps.push_back(query);
    query = JoinQuery(query, condition, with_or);
    show_query();
  };
  manager.OnAccepted(and_button, [&] { add(false); });
  manager.OnAccepted(or_button, [&] { add(true); });
  manager.OnAccepted(back_button, [&] {
    if (steps.empty()) return;
    query = steps.back();
    steps.pop_back();
    show_query();
  });
  manager.OnAccepted(clear_button, [&] {
    if (!query.empty()) steps.push_back(query);
    query.clear();
    show_query();
  });
  manager.On(EVENT_OpenWindow, [&] {
    show_field();
    show_query();
  });
  manager.OnOk([&] {
    filter = query;
    return true;
  });
  return manager.Run() == RequestCompleted;
}

}  // namespace vx
