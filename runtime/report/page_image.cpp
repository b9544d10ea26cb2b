#include "runtime/report/page_image.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace vx::report {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (true) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

bool Number(std::string_view text, long& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

bool Real(std::string_view text, double& out) {
  // from_chars for doubles is not in every library this builds with; the text is our own.
  std::string copy(text);
  char* end = nullptr;
  out = std::strtod(copy.c_str(), &end);
  return !copy.empty() && end == copy.c_str() + copy.size();
}

}  // namespace

std::vector<std::string> PageImage::Texts() const {
  std::vector<const PageItem*> texts;
  for (const PageItem& item : items) {
    if (item.kind == PageItem::Kind::Text && !item.text.empty()) texts.push_back(&item);
  }
  std::stable_sort(texts.begin(), texts.end(), [](const PageItem* a, const PageItem* b) {
    return a->y != b->y ? a->y < b->y : a->x < b->x;
  });
  std::vector<std::string> out;
  for (const PageItem* item : texts) out.push_back(item->text);
  return out;
}

std::vector<std::size_t> SheetOrder(std::size_t pages, int copies, bool collate) {
  const std::size_t sets = static_cast<std::size_t>(std::max(copies, 1));
  std::vector<std::size_t> order;
  order.reserve(pages * sets);
  if (collate) {
    for (std::size_t copy = 0; copy < sets; ++copy) {
      for (std::size_t page = 0; page < pages; ++page) order.push_back(page);
    }
  } else {
    for (std::size_t page = 0; page < pages; ++page) order.insert(order.end(), sets, page);
  }
  return order;
}

std::string PageImageText(const PageImage& page) {
  std::string out = "page\t" + std::to_string(page.width) + "\t" + std::to_string(page.height);
  char size[32];
  for (const PageItem& item : page.items) {
    std::snprintf(size, sizeof size, "%g", item.font.size);
    out += "\n";
    out += std::to_string(static_cast<int>(item.kind)) + "\t" + std::to_string(item.x) + "\t" +
           std::to_string(item.y) + "\t" + std::to_string(item.width) + "\t" +
           std::to_string(item.height) + "\t" + std::to_string(static_cast<int>(item.align)) +
           "\t" + (item.checked ? "1" : "0") + "\t" + Escaped(item.font.face) + "\t" + size + "\t" +
           (item.font.bold ? "b" : "") + (item.font.italic ? "i" : "") +
           (item.font.underline ? "u" : "") + "\t" + Escaped(item.text);
  }
  return out;
}

std::optional<PageImage> ReadPageImageText(std::string_view text) {
  const std::vector<std::string_view> lines = Split(text, '\n');
  const std::vector<std::string_view> head = Split(lines[0], '\t');
  PageImage page;
  if (head.size() != 3 || head[0] != "page" || !Number(head[1], page.width) ||
      !Number(head[2], page.height))
    return std::nullopt;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string_view> f = Split(lines[i], '\t');
    if (f.size() != 11) return std::nullopt;
    PageItem item;
    long kind = 0, align = 0;
    if (!Number(f[0], kind) || kind < 0 || kind > 3 || !Number(f[1], item.x) ||
        !Number(f[2], item.y) || !Number(f[3], item.width) || !Number(f[4], item.height) ||
        !Number(f[5], align) || align < 0 || align > 2 || !Real(f[8], item.font.size))
      return std::nullopt;
    item.kind = static_cast<PageItem::Kind>(kind);
    item.align = static_cast<Align>(align);
    item.checked = f[6] == "1";
    item.font.face = Unescaped(f[7]);
    item.font.bold = f[9].find('b') != std::string_view::npos;
    item.font.italic = f[9].find('i') != std::string_view::npos;
    item.font.underline = f[9].find('u') != std::string_view::npos;
    item.text = Unescaped(f[10]);
    page.items.push_back(std::move(item));
  }
  return page;
}

}  // namespace vx::report
