#include "runtime/report/report_writer.h"

#include <algorithm>

#include "runtime/pictures.h"

namespace vx::report {
namespace {

std::string Trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

bool Ticked(const std::string& value) {
  const std::string v = Trimmed(value);
  return !v.empty() && v != "0";
}

}  // namespace

ReportWriter::ReportWriter(const ReportLayout& layout, const TextMeasure& measure)
    : layout_(layout), measure_(measure) {}

ReportWriter::Laid ReportWriter::Lay(const Band& band) const {
  Laid laid;
  laid.height = band.height;
  for (const BandItem& item : band.items) {
    PageItem out;
    out.x = layout_.left + item.x;
    out.y = item.y;
    out.width = item.width;
    out.height = item.height;
    out.font = item.font;
    out.align = item.align;
    const long line = LineHeight(item.font);
    switch (item.kind) {
      case BandItem::Kind::Text:
      case BandItem::Kind::String:
      case BandItem::Kind::PageNumber: {
        if (item.kind == BandItem::Kind::Text) {
          out.text = item.text;
        } else if (item.kind == BandItem::Kind::String) {
          const std::string value = item.value ? item.value() : std::string();
          out.text = Trimmed(item.picture.empty() ? value : FORMAT(value, item.picture));
        } else {
          const int page = PageNumber();
          out.text = item.picture.starts_with('@') ? Trimmed(FORMAT(page, item.picture))
                                                   : std::to_string(page);
        }
        if (out.width == 0) out.width = measure_.Width(item.font, out.text);
        out.height = line;
        break;
      }
      case BandItem::Kind::Memo: {
        Laid::MemoLines memo;
        memo.model = out;
        memo.model.height = line;
        memo.lines =
            WrapText(item.value ? item.value() : std::string(), item.width, item.font, measure_);
        laid.height = std::max(laid.height, item.y + line * static_cast<long>(memo.lines.size()));
        laid.memos.push_back(std::move(memo));
        continue;
      }
      case BandItem::Kind::Check: {
        out.kind = PageItem::Kind::Check;
        out.text = item.text;
        out.checked = Ticked(item.value ? item.value() : std::string());
        out.height = line * 4 / 5;
        out.width = out.height + line / 3 + measure_.Width(item.font, item.text);
        laid.height = std::max(laid.height, item.y + line);
        break;
      }
      case BandItem::Kind::Line:
        out.kind = PageItem::Kind::Line;
        break;
      case BandItem::Kind::Box:
        out.kind = PageItem::Kind::Box;
        break;
    }
    laid.height = std::max(laid.height, out.y + std::max(out.height, 0L));
    laid.fixed.push_back(std::move(out));
  }
  return laid;
}

void ReportWriter::PlaceAt(const Band& band, long top) {
  const Laid laid = Lay(band);
  for (PageItem item : laid.fixed) {
    item.y += top;
    page_->items.push_back(std::move(item));
  }
  for (const Laid::MemoLines& memo : laid.memos) {
    long y = top + memo.model.y;
    for (const std::string& line : memo.lines) {
      PageItem item = memo.model;
      item.y = y;
      item.text = line;
      page_->items.push_back(std::move(item));
      y += memo.model.height;
    }
  }
}

void ReportWriter::StartPage() {
  page_.emplace();
  page_->width = layout_.paper_width;
  page_->height = layout_.paper_height;
  y_ = layout_.top;
  PlaceAt(layout_.page_header, y_);
  y_ += Lay(layout_.page_header).height;
  body_top_ = y_;
  body_bottom_ = layout_.paper_height - layout_.bottom - Lay(layout_.page_footer).height;
}

void ReportWriter::FinishPage() {
  PlaceAt(layout_.page_footer, body_bottom_);
  pages_.push_back(std::move(*page_));
  page_.reset();
}

void ReportWriter::Place(const Band& band) {
  if (break_before_next_ && PageHoldsBands()) FinishPage();
  break_before_next_ = false;
  if (!page_) StartPage();
  Laid laid = Lay(band);
  if (y_ + laid.height > body_bottom_ && PageHoldsBands()) {
    // A band that does not fit starts a page, unless its memo can begin here: it needs room for
    // its first line.
    long first_part = laid.height;
    for (const Laid::MemoLines& memo : laid.memos) {
      if (!memo.lines.empty()) first_part = std::min(first_part, memo.model.y + memo.model.height);
    }
    if (laid.memos.empty() || y_ + first_part > body_bottom_) {
      FinishPage();
      StartPage();
    }
  }
  if (y_ + laid.height <= body_bottom_ || laid.memos.empty()) {
    PlaceAt(band, y_);
    y_ += laid.height;
    return;
  }
  // The memo goes on over the pages: each page takes the lines that fit below its top.
  for (PageItem item : laid.fixed) {
    item.y += y_;
    page_->items.push_back(std::move(item));
  }
  std::vector<std::size_t> next(laid.memos.size(), 0);
  bool first = true;
  while (true) {
    const long top = y_;
    long lowest = 0;
    if (first) {
      for (const PageItem& item : laid.fixed) lowest = std::max(lowest, item.y + item.height);
    }
    bool remaining = false;
    for (std::size_t m = 0; m < laid.memos.size(); ++m) {
      const Laid::MemoLines& memo = laid.memos[m];
      const long offset = first ? memo.model.y : 0;
      const long step = memo.model.height;
      long placed = 0;
      while (next[m] < memo.lines.size()) {
        const long y = top + offset + placed * step;
        // A page too short for even one line still takes one, so the run always ends.
        if (y + step > body_bottom_ && !(placed == 0 && top == body_top_)) break;
        PageItem item = memo.model;
        item.y = y;
        item.text = memo.lines[next[m]++];
        page_->items.push_back(std::move(item));
        ++placed;
      }
      lowest = std::max(lowest, offset + placed * step);
      remaining = remaining || next[m] < memo.lines.size();
    }
    if (!remaining) {
      y_ = std::min(top + lowest, body_bottom_);
      return;
    }
    FinishPage();
    StartPage();
    first = false;
  }
}

void ReportWriter::Print(const Band& band) {
  if (band.empty()) return;
  Place(band);
}

void ReportWriter::NewPage() { break_before_next_ = true; }

void ReportWriter::PrintDetail() {
  ++records_;
  const std::vector<GroupBreak>& groups = layout_.groups;
  std::vector<std::string> keys;
  keys.reserve(groups.size());
  for (const GroupBreak& group : groups) keys.push_back(group.key ? group.key() : std::string());
  const bool first = keys_.empty() && !groups.empty() && records_ == 1;
  std::size_t from = 0;
  if (!first) {
    while (from < keys.size() && from < keys_.size() && keys[from] == keys_[from]) ++from;
    for (std::size_t i = groups.size(); i-- > from;) Print(groups[i].footer);
  }
  for (std::size_t i = from; i < groups.size(); ++i) {
    if (groups[i].new_page && !first) NewPage();
    Print(groups[i].header);
  }
  keys_ = std::move(keys);
  Print(layout_.detail);
}

PageImageQueue ReportWriter::End() {
  if (records_ > 0) {
    for (std::size_t i = layout_.groups.size(); i-- > 0;) Print(layout_.groups[i].footer);
  }
  Print(layout_.closing);
  if (page_) FinishPage();
  PageImageQueue queue;
  queue.title = layout_.title;
  queue.pages = std::move(pages_);
  pages_.clear();
  keys_.clear();
  records_ = 0;
  break_before_next_ = false;
  return queue;
}

}  // namespace vx::report
