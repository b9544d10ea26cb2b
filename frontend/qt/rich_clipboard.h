// The formatted text of clipboard data as RTF for the model (runtime/window/dialogs.h
// CLIPBOARDRTF): RTF as another program put it there, or HTML (what browsers and most Qt and
// GTK programs offer) read by Qt and written as RTF through the model's rich document, so a
// paste into a rich-text editor keeps fonts, sizes, colours, styles and paragraph settings.
// Empty when the data holds neither.
#pragma once

#include <string>

class QMimeData;

namespace vx::qt {

std::string ClipboardRtf(const QMimeData* data);

}  // namespace vx::qt
