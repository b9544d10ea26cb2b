// The Qt drawing of a rich edit control: a QTextEdit that shows the model's document (RTF in
// the control's Value, runtime/window/rich_text_rtf.h) and its selection, and gives back what
// the user made of them as the control's input text (runtime/window/rich_edit_input.h).
//
// The document goes between the model and Qt's text document through RichDocument, never
// through Qt's own formats: indents, tab stops and raised or lowered text keep their twips in
// properties of Qt's formats, so a document comes back from the editor as it went in. Positions
// are Qt's, which count characters as the model does for every character of the Basic
// Multilingual Plane.
#pragma once

#include <QTextEdit>
#include <string>

#include "runtime/window/rich_document.h"

namespace vx::qt {

class RichEditView : public QTextEdit {
  Q_OBJECT

 public:
  explicit RichEditView(QWidget* parent);

  // From the model: the document as RTF, and the selection.
  void SetModelDocument(const std::string& rtf);
  void SetModelSelection(long start, long end);
  // What the user made of it, when it differs from what the model holds; empty when not.
  std::string TakeInput();

  static void ToQt(const RichDocument& doc, QTextDocument& out);
  static RichDocument FromQt(const QTextDocument& doc);

 private:
  void ApplySelection();
  std::string Input() const;

  std::string model_rtf_;
  long sel_start_ = 0, sel_end_ = 0;
  std::string last_input_;  // sent, or what the model's document and selection amount to
};

}  // namespace vx::qt
