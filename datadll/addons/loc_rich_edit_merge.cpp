// The rich-text editor's mail merge: registered data sources, the merge view that shows one
// record merged at a time, and merging every record to the printer.
#include <algorithm>

#include "datadll/addons/loc_rich_edit_class.h"
#include "datadll/addons/rich_document_pages.h"
#include "runtime/expression/evaluate.h"
#include "runtime/report/print_pages.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {
namespace {

constexpr std::string_view kMissingField = "Missing-field";

// The label of `file` that `label` names, without regard to case; empty when none does.
std::string LabelOf(const RichMailFile& file, std::string_view label) {
  const std::string wanted = UPPER(CLIP(label));
  for (const std::string& l : file.labels) {
    if (UPPER(l) == wanted) return l;
  }
  return {};
}

// The first "<<label>>" of a document; empty when there is none.
std::string FirstLabel(const RichDocument& doc) {
  const long open = doc.Find("<<", 0, false, true);
  if (open < 0) return {};
  const long close = doc.Find(">>", open + 2, false, true);
  return close < 0 ? std::string() : doc.TextRange(open + 2, close);
}

// An order as "+PRE:Field, -PRE:Field": its labels (of `file`) and directions; nothing when a
// term names no field of the file.
std::optional<std::vector<std::pair<std::string, bool>>> ReadOrder(const RichMailFile& file,
                                                                   std::string_view order) {
  std::vector<std::pair<std::string, bool>> terms;
  std::size_t pos = 0;
  while (pos <= order.size()) {
    const std::size_t comma = std::min(order.find(',', pos), order.size());
    std::string term = CLIP(order.substr(pos, comma - pos));
    while (!term.empty() && term.front() == ' ') term.erase(0, 1);
    pos = comma + 1;
    if (term.empty()) {
      if (comma == order.size()) break;
      return std::nullopt;
    }
    bool descending = false;
    if (term.front() == '+' || term.front() == '-') {
      descending = term.front() == '-';
      term.erase(0, 1);
    }
    const std::string label = LabelOf(file, term);
    if (label.empty()) return std::nullopt;
    terms.emplace_back(label, descending);
  }
  return terms;
}

}  // namespace

void LOCRICHEDITCLASS::INITMAILFILE(RichMailFile& file) { mail_files_.push_back(&file); }

void LOCRICHEDITCLASS::MAILINSERT(std::string_view label) {
  if (mail_files_.empty() || merge_template_) return;
  long caret = SelStart();
  const std::string marker = "<<" + std::string(CLIP(label)) + ">>";
  Modify([&](RichDocument& doc, long start, long end) { caret = doc.Replace(start, end, marker); });
  Select(caret, caret);
}

void LOCRICHEDITCLASS::MAILFILTER(std::string_view filter, std::string_view order) {
  mail_filter_ = CLIP(filter);
  mail_order_ = CLIP(order);
}

// The records of the merge source that pass the filter, in the order asked for.
bool LOCRICHEDITCLASS::ReadMailRecords() {
  RichMailFile& file = *mail_;
  std::optional<Expression> filter;
  if (!mail_filter_.empty()) {
    filter.emplace(mail_filter_, file.fields);
    if (!filter->ok()) {
      MESSAGE("   Illegal filter expression. Filter is ignored.", "Filter Error",
              MessageIcon::Exclamation);
      mail_filter_.clear();
      filter.reset();
    }
  }
  std::vector<std::pair<std::string, bool>> order;
  if (!mail_order_.empty()) {
    auto terms = ReadOrder(file, mail_order_);
    if (!terms) {
      MESSAGE("   Illegal order expression. Order is ignored.", "Order Error",
              MessageIcon::Exclamation);
      mail_order_.clear();
    } else {
      order = std::move(*terms);
    }
  }
  struct Row {
    long record;
    std::vector<ExprValue> keys;
  };
  std::vector<Row> rows;
  const long count = file.records ? file.records() : 0;
  for (long n = 1; n <= count; ++n) {
    if (!file.fetch || !file.fetch(n)) continue;
    if (filter && !filter->Evaluate().IsTrue()) continue;
    Row row{n, {}};
    for (const auto& [label, descending] : order)
      row.keys.push_back(file.fields.Read(file.fields.Find(label)));
    rows.push_back(std::move(row));
  }
  std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    for (std::size_t k = 0; k < order.size(); ++k) {
      const std::partial_ordering c = CompareValues(a.keys[k], b.keys[k]);
      if (c == std::partial_ordering::less) return !order[k].second;
      if (c == std::partial_ordering::greater) return order[k].second;
    }
    return false;
  });
  mail_records_.clear();
  for (const Row& row : rows) mail_records_.push_back(row.record);
  return true;
}

bool LOCRICHEDITCLASS::MAILSCREEN(bool on) {
  if (!window_) return false;
  if (!on) {
    if (!merge_template_) return true;
    SetDocument(*merge_template_, false);
    INFO_.MODIFIED = merge_modified_;
    FILENAME = merge_name_;
    merge_template_.reset();
    mail_ = nullptr;
    mail_records_.clear();
    mail_counter_ = 0;
    Editor().ReadOnly(read_only_);
    UPDATEWINDOW();
    return true;
  }
  if (merge_template_) return true;
  const RichDocument doc = Document();
  const std::string label = FirstLabel(doc);
  mail_ = nullptr;
  for (RichMailFile* file : mail_files_) {
    if (!label.empty() && !LabelOf(*file, label).empty()) {
      mail_ = file;
      break;
    }
  }
  if (!mail_) return false;  // no registered file has the first field: the view stays off
  ReadMailRecords();
  merge_template_ = doc;
  merge_modified_ = INFO_.MODIFIED;
  merge_name_ = FILENAME;
  // The merged record is for reading: edits belong in the template.
  Editor().ReadOnly(true);
  MAILLOCATE(1);
  UPDATEWINDOW();
  return true;
}

int LOCRICHEDITCLASS::MAILLOCATE(int move, std::string* name) {
  if (!window_ || !merge_template_ || !mail_) return 0;
  const long count = MailCount();
  if (count == 0) {
    FILENAME = "No records to process.";
    if (status_) window_->Status(1, FILENAME);
    return 0;
  }
  switch (move) {
    case 1:
      mail_counter_ = 1;
      break;
    case 2:
      mail_counter_ = std::max(1L, mail_counter_ - 1);
      break;
    case 3:
      mail_counter_ = std::min(count, mail_counter_ + 1);
      break;
    case 4:
      mail_counter_ = count;
      break;
    default:
      break;
  }
  mail_counter_ = std::clamp(mail_counter_, 1L, count);
  if (!mail_->fetch(mail_records_[static_cast<std::size_t>(mail_counter_ - 1)])) {
    FILENAME = "No records to process.";
    return 0;
  }
  RichDocument doc = *merge_template_;
  if (move == 0) {
    if (name) *name = FirstLabel(doc);
    return 1;
  }
  if (status_) {
    window_->Status(1, "Record number " + std::to_string(mail_counter_) + " of " +
                           std::to_string(count) + " record(s) in " + mail_->name);
  }
  int result = 1;
  bool first = true;
  for (long pos = 0;;) {
    const long open = doc.Find("<<", pos, false, true);
    if (open < 0) break;
    const long close = doc.Find(">>", open + 2, false, true);
    if (close < 0) {
      result = 0;  // an unclosed field: the rest of this record stays as it is
      break;
    }
    const std::string label = doc.TextRange(open + 2, close);
    if (first && name) *name = label;
    first = false;
    std::string value(kMissingField);
    if (const std::string known = LabelOf(*mail_, label); !known.empty()) {
      const ExpressionResult r = EvaluateExpression(known, mail_->fields);
      if (r) value = CLIP(r.text());
    }
    // The search goes on after the value, which is text of the record and never a field.
    pos = doc.Replace(open, close + 2, value);
  }
  SetDocument(doc, false);
  return result;
}

bool LOCRICHEDITCLASS::MAILPRINTER() {
  if (!window_ || !MAILSCREEN(true)) return false;
  report::PageImageQueue pages;
  pages.title = "Mail Merge";
  for (long n = 1; n <= MailCount(); ++n) {
    MAILLOCATE(n == 1 ? 1 : 3);
    for (report::PageImage& page : RichDocumentPages(Document())) pages.pages.push_back(page);
  }
  MAILSCREEN(false);
  return !pages.empty() && report::PrintPages(pages);
}

}  // namespace vx
