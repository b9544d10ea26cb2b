#include "datadll/xplore/xplore_columns.h"

#include <cstdint>

namespace vx {
namespace {

void PutText(std::string& out, std::string_view text) {
  if (text.size() > 255) text = text.substr(0, 255);
  out += static_cast<char>(text.size());
  out += text;
}

void PutNumber(std::string& out, long value, int bytes) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// Reads from a packed descriptor; once anything is missing every later read fails too.
class Reader {
 public:
  explicit Reader(std::string_view data) : data_(data) {}
  bool ok() const { return ok_; }
  bool AtEnd() const { return pos_ >= data_.size(); }

  std::string Text() {
    if (!Need(1)) return {};
    const std::size_t n = static_cast<unsigned char>(data_[pos_++]);
    if (!Need(n)) return {};
    std::string text(data_.substr(pos_, n));
    pos_ += n;
    return text;
  }
  long Number(int bytes) {
    if (!Need(static_cast<std::size_t>(bytes))) return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
      value |= static_cast<std::uint32_t>(static_cast<unsigned char>(data_[pos_++])) << (8 * i);
    if (bytes == 2) return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
  }
  int Byte() { return static_cast<int>(Number(1) & 0xFF); }
  char Char() {
    if (!Need(1)) return ' ';
    return data_[pos_++];
  }

 private:
  bool Need(std::size_t n) {
    if (ok_ && pos_ + n <= data_.size()) return true;
    ok_ = false;
    return false;
  }
  std::string_view data_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

}  // namespace

std::string PackColumnDescriptor(const std::vector<XploreColumn>& columns) {
  std::string out;
  for (const XploreColumn& c : columns) {
    PutText(out, c.FIELD);
    PutNumber(out, c.WIDTHDLU, 2);
    PutText(out, c.HEADER);
    PutText(out, c.PICTURE);
    PutText(out, c.DESCRIPTION);
    out += c.JUST;
    for (bool flag : {c.DISPLAY, c.COLORS, c.ICONX, c.VIEWFIELD})
      out += static_cast<char>(flag ? 1 : 0);
    PutNumber(out, c.TABCONTROL, 4);
    for (bool flag : {c.TOTALOK, c.GRAPHOK, c.SORTFIELD}) out += static_cast<char>(flag ? 1 : 0);
    out += c.LOCATORTYPE;
  }
  return out;
}

std::vector<XploreColumn> ParseColumnDescriptor(std::string_view packed, int count) {
  std::vector<XploreColumn> columns;
  Reader r(packed);
  for (int i = 0; i < count; ++i) {
    XploreColumn c;
    c.FIELD = r.Text();
    c.WIDTHDLU = static_cast<int>(r.Number(2));
    c.HEADER = r.Text();
    c.PICTURE = r.Text();
    c.DESCRIPTION = r.Text();
    c.JUST = r.Char();
    c.DISPLAY = r.Byte() != 0;
    c.COLORS = r.Byte() != 0;
    c.ICONX = r.Byte() != 0;
    c.VIEWFIELD = r.Byte() != 0;
    c.TABCONTROL = r.Number(4);
    c.TOTALOK = r.Byte() != 0;
    c.GRAPHOK = r.Byte() != 0;
    c.SORTFIELD = r.Byte() != 0;
    c.LOCATORTYPE = r.Char();
    if (!r.ok()) break;
    columns.push_back(std::move(c));
  }
  return columns;
}

std::string PackSubOrderDescriptor(const std::vector<XploreColumnOrder>& orders) {
  std::string out;
  for (const XploreColumnOrder& o : orders) {
    PutText(out, o.column.substr(0, 25));
    PutNumber(out, static_cast<long>(o.fields.size()), 2);
    for (const XploreSubOrder& f : o.fields) {
      PutText(out, f.FIELDNAME);
      out += static_cast<char>(f.ASCDESC ? 1 : 0);
      PutText(out, f.PICTURE);
    }
  }
  return out;
}

std::vector<XploreColumnOrder> ParseSubOrderDescriptor(std::string_view packed, int count) {
  std::vector<XploreColumnOrder> orders;
  Reader r(packed);
  for (int i = 0; i < count; ++i) {
    XploreColumnOrder o;
    o.column = r.Text();
    const long n = r.Number(2);
    for (long k = 0; k < n && r.ok(); ++k) {
      XploreSubOrder f;
      f.SEQ = static_cast<int>(k) + 1;
      f.FIELDNAME = r.Text();
      f.ASCDESC = r.Byte();
      f.PICTURE = r.Text();
      if (r.ok()) o.fields.push_back(std::move(f));
    }
    if (!r.ok()) break;
    orders.push_back(std::move(o));
  }
  return orders;
}

std::string PackAppendDescriptor(bool apply_all, const std::vector<XploreSubOrder>& fields) {
  std::string out;
  out += static_cast<char>(apply_all ? 1 : 0);
  PutNumber(out, static_cast<long>(fields.size()), 2);
  for (const XploreSubOrder& f : fields) {
    PutText(out, f.FIELDNAME);
    out += static_cast<char>(f.ASCDESC ? 1 : 0);
    PutText(out, f.PICTURE);
  }
  return out;
}

bool ParseAppendDescriptor(std::string_view packed, bool& apply_all,
                           std::vector<XploreSubOrder>& fields) {
  fields.clear();
  apply_all = false;
  if (packed.empty()) return true;
  Reader r(packed);
  apply_all = r.Byte() != 0;
  const long n = r.Number(2);
  for (long k = 0; k < n && r.ok(); ++k) {
    XploreSubOrder f;
    f.SEQ = static_cast<int>(k) + 1;
    f.FIELDNAME = r.Text();
    f.ASCDESC = r.Byte();
    f.PICTURE = r.Text();
    if (r.ok()) fields.push_back(std::move(f));
  }
  return r.ok();
}

}  // namespace vx
