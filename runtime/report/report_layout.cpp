#include "runtime/report/report_layout.h"

#include <cctype>

namespace vx::report {
namespace {

std::function<std::string()> Reader(Binding value) {
  return [value] { return value.Get(); };
}

bool IsDatePicture(std::string_view picture) {
  if (!picture.empty() && picture.front() == '@') picture.remove_prefix(1);
  return !picture.empty() && std::tolower(static_cast<unsigned char>(picture.front())) == 'd';
}

}  // namespace

BandItem& Band::Add(BandItem::Kind kind, long x, long y, long width, long item_height) {
  BandItem& item = items.emplace_back();
  item.kind = kind;
  item.x = x;
  item.y = y;
  item.width = width;
  item.height = item_height;
  item.font = font_;
  return item;
}

Band& Band::Font(ReportFont font) {
  font_ = std::move(font);
  return *this;
}

Band& Band::Text(std::string_view text, long x, long y, long width, Align align) {
  BandItem& item = Add(BandItem::Kind::Text, x, y, width, 0);
  item.text = std::string(text);
  item.align = align;
  return *this;
}

Band& Band::String(Binding value, std::string_view picture, long x, long y, long width,
                   Align align) {
  return String(Reader(value), picture, x, y, width, align);
}

Band& Band::String(std::function<std::string()> value, std::string_view picture, long x, long y,
                   long width, Align align) {
  BandItem& item = Add(BandItem::Kind::String, x, y, width, 0);
  item.value = std::move(value);
  item.picture = std::string(picture);
  item.align = align;
  return *this;
}

Band& Band::Memo(Binding value, long x, long y, long width) {
  return Memo(Reader(value), x, y, width);
}

Band& Band::Memo(std::function<std::string()> value, long x, long y, long width) {
  Add(BandItem::Kind::Memo, x, y, width, 0).value = std::move(value);
  return *this;
}

Band& Band::Check(std::string_view caption, Binding value, long x, long y) {
  BandItem& item = Add(BandItem::Kind::Check, x, y, 0, 0);
  item.text = std::string(caption);
  item.value = Reader(value);
  return *this;
}

Band& Band::Line(long x1, long y1, long x2, long y2) {
  Add(BandItem::Kind::Line, x1, y1, x2 - x1, y2 - y1);
  return *this;
}

Band& Band::Box(long x, long y, long width, long box_height) {
  Add(BandItem::Kind::Box, x, y, width, box_height);
  return *this;
}

Band& Band::PageNumber(std::string_view picture, long x, long y, long width, Align align) {
  BandItem& item = Add(BandItem::Kind::PageNumber, x, y, width, 0);
  item.picture = std::string(picture);
  item.align = align;
  return *this;
}

void ReportLayout::SetDatePictures(std::string_view picture) {
  auto set = [&](Band& band) {
    for (BandItem& item : band.items) {
      if (item.kind == BandItem::Kind::String && IsDatePicture(item.picture))
        item.picture = std::string(picture);
    }
  };
  for (Band* band : {&page_header, &page_footer, &detail, &closing}) set(*band);
  for (GroupBreak& group : groups) {
    set(group.header);
    set(group.footer);
  }
}

}  // namespace vx::report
