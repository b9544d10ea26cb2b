#include "frontend/qt/rich_clipboard.h"

#include <QMimeData>
#include <QStringList>
#include <QTextDocument>

#include "frontend/qt/rich_edit_view.h"
#include "runtime/window/rich_text_rtf.h"

namespace vx::qt {

std::string ClipboardRtf(const QMimeData* data) {
  if (!data) return {};
  // The names programs put RTF under on X11 and Wayland.
  for (const char* type : {"text/rtf", "application/rtf", "text/richtext"}) {
    if (!data->hasFormat(type)) continue;
    const QByteArray bytes = data->data(type);
    const std::string rtf(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    // Only what our reader takes is passed on: anything else would paste as nothing.
    if (ReadRtf(rtf)) return rtf;
  }
  if (data->hasHtml()) {
    QTextDocument document;
    document.setHtml(data->html());
    RichDocument doc = RichEditView::FromQt(document);
    if (!doc.Empty()) return WriteRtf(doc);
  }
  return {};
}

QMimeData* ClipboardData(const std::string& text, const std::string& rtf) {
  auto* data = new QMimeData;
  data->setText(QString::fromStdString(text));
  if (!rtf.empty()) data->setData(QStringLiteral("text/rtf"), QByteArray::fromStdString(rtf));
  return data;
}

}  // namespace vx::qt
