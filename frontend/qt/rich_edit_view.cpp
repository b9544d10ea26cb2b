#include "frontend/qt/rich_edit_view.h"

#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cmath>

#include "runtime/window/rich_edit_input.h"
#include "runtime/window/rich_text_rtf.h"

namespace vx::qt {
namespace {

// Where the model's measures ride along in Qt's formats.
constexpr int kStartIndent = QTextFormat::UserProperty + 1;
constexpr int kRightIndent = QTextFormat::UserProperty + 2;
constexpr int kOffset = QTextFormat::UserProperty + 3;
constexpr int kTabs = QTextFormat::UserProperty + 4;
constexpr int kRaise = QTextFormat::UserProperty + 5;

qreal Pixels(int twips) { return twips / 15.0; }  // at 96 dots an inch

QTextBlockFormat BlockFormat(const RichParagraph& p) {
  QTextBlockFormat f;
  f.setAlignment(p.alignment == RichAlign::Center  ? Qt::AlignHCenter
                 : p.alignment == RichAlign::Right ? Qt::AlignRight
                                                   : Qt::AlignLeft);
  f.setLeftMargin(Pixels(p.start_indent + p.offset));
  f.setTextIndent(Pixels(-p.offset));
  f.setRightMargin(Pixels(p.right_indent));
  QList<QTextOption::Tab> tabs;
  QList<QVariant> twips;
  for (int tab : p.tabs) {
    tabs.append(QTextOption::Tab(Pixels(tab), QTextOption::LeftTab));
    twips.append(tab);
  }
  f.setTabPositions(tabs);
  f.setProperty(kStartIndent, p.start_indent);
  f.setProperty(kRightIndent, p.right_indent);
  f.setProperty(kOffset, p.offset);
  f.setProperty(kTabs, twips);
  return f;
}

QTextCharFormat CharFormat(const RichCharFormat& r) {
  QTextCharFormat f;
  f.setFontFamilies({QString::fromStdString(r.font)});
  f.setFontPointSize(r.size / 20.0);
  f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(r.italic);
  f.setFontUnderline(r.underline);
  f.setFontStrikeOut(r.strikeout);
  f.setForeground(QColor(static_cast<int>(r.color & 0xFF), static_cast<int>((r.color >> 8) & 0xFF),
                         static_cast<int>((r.color >> 16) & 0xFF)));
  f.setVerticalAlignment(r.offset > 0   ? QTextCharFormat::AlignSuperScript
                         : r.offset < 0 ? QTextCharFormat::AlignSubScript
                                        : QTextCharFormat::AlignNormal);
  f.setProperty(kRaise, r.offset);
  return f;
}

RichCharFormat FromCharFormat(const QTextCharFormat& f) {
  RichCharFormat r;
  const QStringList families = f.fontFamilies().toStringList();
  if (!families.isEmpty() && !families.front().isEmpty()) r.font = families.front().toStdString();
  if (f.fontPointSize() > 0) r.size = static_cast<int>(std::lround(f.fontPointSize() * 20));
  r.bold = f.fontWeight() >= QFont::DemiBold;
  r.italic = f.fontItalic();
  r.underline = f.fontUnderline();
  r.strikeout = f.fontStrikeOut();
  if (f.foreground().style() != Qt::NoBrush) {
    const QColor c = f.foreground().color();
    r.color = c.red() | (c.green() << 8) | (static_cast<long>(c.blue()) << 16);
  }
  if (f.hasProperty(kRaise)) {
    r.offset = f.intProperty(kRaise);
  } else if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
    r.offset = 60;
  } else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) {
    r.offset = -60;
  }
  return r;
}

}  // namespace

RichEditView::RichEditView(QWidget* parent) : QTextEdit(parent) {
  // Tab types a tab into the document, as in any word processor.
  setTabChangesFocus(false);
  setAcceptRichText(true);
}

void RichEditView::ToQt(const RichDocument& doc, QTextDocument& out) {
  out.clear();
  QTextCursor cursor(&out);
  QTextList* list = nullptr;
  const auto& paragraphs = doc.Paragraphs();
  for (std::size_t i = 0; i < paragraphs.size(); ++i) {
    const RichParagraph& p = paragraphs[i];
    const QTextCharFormat first =
        CharFormat(p.runs.empty() ? RichCharFormat{} : p.runs.front().format);
    if (i == 0) {
      cursor.setBlockFormat(BlockFormat(p));
      cursor.setBlockCharFormat(first);
    } else {
      cursor.insertBlock(BlockFormat(p), first);
    }
    if (p.bullet) {
      if (list) {
        list->add(cursor.block());
      } else {
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(1);
        list = cursor.createList(bullets);
      }
    } else {
      list = nullptr;
    }
    for (const RichRun& run : p.runs) {
      if (!run.text.empty())
        cursor.insertText(QString::fromStdString(run.text), CharFormat(run.format));
    }
    if (p.Text().empty()) cursor.setCharFormat(first);
  }
}

RichDocument RichEditView::FromQt(const QTextDocument& doc) {
  RichDocument out;
  std::vector<RichParagraph> paragraphs;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    RichParagraph p;
    const QTextBlockFormat f = block.blockFormat();
    const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
    p.alignment = align & Qt::AlignHCenter ? RichAlign::Center
                  : align & Qt::AlignRight ? RichAlign::Right
                                           : RichAlign::Left;
    p.start_indent = f.intProperty(kStartIndent);
    p.right_indent = f.intProperty(kRightIndent);
    p.offset = f.intProperty(kOffset);
    for (const QVariant& tab : f.property(kTabs).toList()) p.tabs.push_back(tab.toInt());
    p.bullet = block.textList() != nullptr;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      QString text = fragment.text();
      text.replace(QChar::LineSeparator, QLatin1Char(' '))
          .remove(QChar::ObjectReplacementCharacter);
      if (!text.isEmpty())
        p.runs.push_back({text.toStdString(), FromCharFormat(fragment.charFormat())});
    }
    if (p.runs.empty()) p.runs.push_back({"", FromCharFormat(block.charFormat())});
    paragraphs.push_back(std::move(p));
  }
  if (!paragraphs.empty()) out.Paragraphs() = std::move(paragraphs);
  out.Normalise();
  return out;
}

void RichEditView::SetModelDocument(const std::string& rtf) {
  if (rtf == model_rtf_) return;
  model_rtf_ = rtf;
  const std::optional<RichDocument> doc = ReadRtf(rtf);
  const QSignalBlocker quiet(this);
  ToQt(doc ? *doc : RichDocument::FromText(rtf), *document());
  ApplySelection();
}

void RichEditView::SetModelSelection(long start, long end) {
  sel_start_ = start;
  sel_end_ = end;
  const QSignalBlocker quiet(this);
  ApplySelection();
}

void RichEditView::ApplySelection() {
  QTextCursor cursor(document());
  const int last = document()->characterCount() - 1;
  cursor.setPosition(std::clamp(static_cast<int>(sel_start_), 0, last));
  cursor.setPosition(std::clamp(static_cast<int>(sel_end_), 0, last), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
  last_input_ = Input();
}

std::string RichEditView::Input() const {
  const QTextCursor cursor = textCursor();
  return WriteRichEditInput({cursor.anchor(), cursor.position(), WriteRtf(FromQt(*document()))});
}

std::string RichEditView::TakeInput() {
  std::string input = Input();
  if (input == last_input_) return {};
  last_input_ = input;
  return input;
}

}  // namespace vx::qt
