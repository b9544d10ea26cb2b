// The formatted text of clipboard data as RTF for the model (runtime/window/dialogs.h
// CLIPBOARDRTF): RTF as another program put it there, or HTML (what browsers and most Qt and
// GTK programs offer) read by Qt and written as RTF through the model's rich document, so a
// paste into a rich-text editor keeps fonts, sizes, colours, styles and paragraph settings.
// Empty when the data holds neither.
//
// ClipboardData is what the program puts on the clipboard: the plain text, and beside it, when
// there is formatted text, its RTF under "text/rtf", the type rich-text editors of the desktop
// look for; so a copy from one rich-text editor pastes with its formats into another.
#pragma once

#include <string>

class QMimeData;

namespace vx::qt {

std::string ClipboardRtf(const QMimeData* data);
// A new QMimeData for QClipboard::setMimeData, which takes it over.
QMimeData* ClipboardData(const std::string& text, const std::string& rtf);

}  // namespace vx::qt
