// The rich edit control as the Qt renderer shows it: the document the model holds comes out of
// Qt's text document as it went in, and what the user types there reaches the model, which the
// toolbar then formats.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QTextBlock>
#include <QTextCursor>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "frontend/qt/rich_edit_view.h"
#include "frontend/qt/ruler_view.h"
#include "runtime/window/rich_text_rtf.h"
#include "tests/datadll/addons/rich_edit_sample.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

RichDocument Sample() {
  RichDocument doc = RichDocument::FromText(
      "Rich Text Sample\nBold, italic, underlined and red words.\n\tTabbed to a stop, "
      "E=mc2 and H2O.\nA bulleted line\nAnother one\nRight aligned, indented");
  doc.ApplyCharFormat(0, 16, [](RichCharFormat& f) {
    f.size = 320;
    f.bold = true;
  });
  doc.ApplyCharFormat(17, 21, [](RichCharFormat& f) { f.bold = true; });
  doc.ApplyCharFormat(23, 29, [](RichCharFormat& f) { f.italic = true; });
  doc.ApplyCharFormat(31, 41, [](RichCharFormat& f) { f.underline = true; });
  doc.ApplyCharFormat(46, 49, [](RichCharFormat& f) { f.color = 0x0000FF; });
  const long mc2 = doc.Find("mc2", 0, false, true), h2o = doc.Find("H2O", 0, false, true);
  doc.ApplyCharFormat(mc2 + 2, mc2 + 3, [](RichCharFormat& f) { f.offset = 60; });
  doc.ApplyCharFormat(h2o + 1, h2o + 2, [](RichCharFormat& f) { f.offset = -60; });
  doc.Paragraphs()[0].alignment = RichAlign::Center;
  doc.Paragraphs()[2].tabs = {1440};
  for (int p : {3, 4}) {
    doc.Paragraphs()[p].bullet = true;
    doc.Paragraphs()[p].offset = 300;
  }
  doc.Paragraphs()[5].alignment = RichAlign::Right;
  doc.Paragraphs()[5].right_indent = 720;
  doc.Normalise();
  return doc;
}

TEST(RichEditQt, TheEditorShowsTheModelsDocumentAndSendsTheUsersEditsBack) {
  REQUIRE_QT_DISPLAY();
  const RichDocument sample = Sample();
  std::optional<RichDocument> shown, after_bold;
  int editor_height = 0;  // percent of the window's
  std::string asked;
  const int status = test::RunAsUser(
      [&] { test::RunRichEditSample({}, WriteRtf(sample)); },
      [&] {
        qt::QtWindow* window = test::WaitShown("Rich Text Sample");
        ASSERT_NE(window, nullptr);
        qt::RichEditView* view = nullptr;
        test::WaitFor([&] {
          test::OnGui([&] {
            view = window->findChild<qt::RichEditView*>();
            if (view) shown = qt::RichEditView::FromQt(*view->document());
          });
          return shown && shown->PlainText() == sample.PlainText();
        });
        ASSERT_NE(view, nullptr);
        // The user types a word at the start, selects it and presses B.
        test::OnGui([&] {
          view->setFocus();
          QTextCursor cursor(view->document());
          cursor.insertText(QStringLiteral("New "));
          cursor.setPosition(0);
          cursor.setPosition(3, QTextCursor::KeepAnchor);
          view->setTextCursor(cursor);
          for (auto* button : window->findChildren<QPushButton*>())
            if (button->text() == "B") button->click();
        });
        test::WaitFor([&] {
          test::OnGui([&] { after_bold = qt::RichEditView::FromQt(*view->document()); });
          return after_bold && after_bold->FormatAt(0).bold != sample.FormatAt(0).bold;
        });
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { window->grab().save(file); });
        // The editor takes the height the hidden placeholder leaves.
        test::OnGui([&] { editor_height = view->height() * 100 / window->height(); });
        // Closing asks whether to save the changed document: No.
        test::OnGui([&] { window->close(); });
        QMessageBox* box = nullptr;
        test::WaitFor([&] {
          test::OnGui([&] { box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
          return box != nullptr;
        });
        ASSERT_NE(box, nullptr);
        test::OnGui([&] {
          asked = box->windowTitle().toStdString();
          box->button(QMessageBox::No)->click();
        });
      });
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(*shown, sample) << WriteRtf(*shown);
  ASSERT_TRUE(after_bold.has_value());
  EXPECT_EQ(after_bold->PlainText().substr(0, 8), "New Rich");
  EXPECT_FALSE(after_bold->FormatAt(0).bold) << "the title was bold: B took it off the word";
  EXPECT_GT(editor_height, 50);
  EXPECT_EQ(asked, "Save Document");
}

// The ruler above the editor marks the stops of the caret's paragraph; a click on it sets a
// stop there in the model, which the ruler then marks.
TEST(RichEditQt, AClickOnTheRulerSetsATabStopThatTheRulerThenMarks) {  // and flat buttons
  REQUIRE_QT_DISPLAY();
  RichDocument doc = RichDocument::FromText("one\ttwo");
  doc.Paragraphs()[0].tabs = {720};
  std::vector<long> shown_first, shown_after;
  bool flat = false;
  std::optional<RichDocument> after;
  const int status = test::RunAsUser(
      [&] {
        test::RunRichEditSample([](LOCRICHEDITCLASS& editor) { editor.FLATBUTTONS(true); },
                                WriteRtf(doc));
      },
      [&] {
        qt::QtWindow* window = test::WaitShown("Rich Text Sample");
        ASSERT_NE(window, nullptr);
        test::WaitFor([&] {
          test::OnGui([&] {
            for (auto* button : window->findChildren<QPushButton*>())
              if (button->text() == "B") flat = button->isFlat();
          });
          return flat;
        });
        qt::RulerView* ruler = nullptr;
        test::WaitFor([&] {
          test::OnGui([&] {
            ruler = window->findChild<qt::RulerView*>();
            if (ruler) shown_first = ruler->Stops();
          });
          return ruler && !shown_first.empty();
        });
        ASSERT_NE(ruler, nullptr);
        test::OnGui([&] {
          // Just past 3000 twips: the model snaps the stop down to a 150-twip step.
          const QPointF at(ruler->XOf(3000) + 2, ruler->height() / 2);
          QMouseEvent press(QEvent::MouseButtonPress, at, ruler->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
          QCoreApplication::sendEvent(ruler, &press);
        });
        test::WaitFor([&] {
          test::OnGui([&] { shown_after = ruler->Stops(); });
          return shown_after.size() == 2;
        });
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { window->grab().save(QString(file) + ".ruler.png"); });
        test::OnGui([&] {
          after = qt::RichEditView::FromQt(*window->findChild<qt::RichEditView*>()->document());
          window->close();
        });
        QMessageBox* box = nullptr;
        test::WaitFor([&] {
          test::OnGui([&] { box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
          return box != nullptr;
        });
        if (box) test::OnGui([&] { box->button(QMessageBox::No)->click(); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(flat) << "the toolbar's buttons drawn flat";
  EXPECT_EQ(shown_first, std::vector<long>{720});
  EXPECT_EQ(shown_after, (std::vector<long>{720, 3000}));
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->Paragraphs()[0].tabs, (std::vector<int>{720, 3000}));
}

// The command's standard output ("" when it cannot be run).
std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

QPushButton* ButtonOf(QWidget* window, const QString& text) {
  for (auto* button : window->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  return nullptr;
}

// Copy offers the desktop plain text and RTF (another program reads both from the X
// clipboard), and Paste in a second editor takes the RTF with its formats.
TEST(RichEditQt, CopyOffersRtfBesideTheTextAndASecondEditorPastesIt) {
  REQUIRE_QT_DISPLAY();
  RichDocument source = RichDocument::FromText("Title line\nred words");
  source.ApplyCharFormat(0, 5, [](RichCharFormat& f) { f.bold = true; });
  source.ApplyCharFormat(11, 14, [](RichCharFormat& f) { f.color = 0x0000FF; });
  const bool have_xclip = std::system("command -v xclip >/dev/null 2>&1") == 0;
  std::string targets, offered_rtf;
  std::optional<RichDocument> pasted;
  const int status = test::RunAsUser(
      [&] {
        START([] { test::RunRichEditSample({}, "[]", "Second Editor"); });
        test::RunRichEditSample([&](LOCRICHEDITCLASS& editor) {
          editor.SetDocument(source, false);
          editor.Select(2, 14);  // "tle line\nred"
        });
      },
      [&] {
        qt::QtWindow* first = test::WaitShown("Rich Text Sample");
        qt::QtWindow* second = test::WaitShown("Second Editor");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        bool offered = false;
        test::WaitFor([&] {
          test::OnGui([&] {
            if (QPushButton* copy = ButtonOf(first, "Copy"); copy && copy->isEnabled())
              copy->click();
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            offered = data && data->hasFormat("text/rtf") && data->text() == "tle line\nred";
          });
          return offered;
        });
        ASSERT_TRUE(offered);
        if (have_xclip) {
          targets = Output("xclip -selection clipboard -t TARGETS -o");
          offered_rtf = Output("xclip -selection clipboard -t text/rtf -o");
        }
        // The caret between the brackets of the second editor; pressing B sends it to the
        // model, whose Paste then sees the clipboard.
        qt::RichEditView* view = nullptr;
        test::OnGui([&] {
          view = second->findChild<qt::RichEditView*>();
          view->setFocus();
          QTextCursor cursor(view->document());
          cursor.setPosition(1);
          view->setTextCursor(cursor);
          ButtonOf(second, "B")->click();
        });
        test::WaitFor([&] {
          test::OnGui([&] {
            if (QPushButton* paste = ButtonOf(second, "Paste"); paste && paste->isEnabled())
              paste->click();
            pasted = qt::RichEditView::FromQt(*view->document());
          });
          return pasted && pasted->PlainText() == "[tle line\nred]";
        });
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { second->grab().save(QString(file) + ".paste.png"); });
      });
  EXPECT_EQ(status, 0);
  ASSERT_TRUE(pasted.has_value());
  EXPECT_EQ(pasted->PlainText(), "[tle line\nred]");
  EXPECT_TRUE(pasted->FormatAt(1).bold);
  EXPECT_FALSE(pasted->FormatAt(5).bold);
  EXPECT_EQ(pasted->FormatAt(10).color, 0x0000FF);
  if (!have_xclip) GTEST_SKIP() << "xclip is not installed: the X clipboard was not read";
  EXPECT_NE(targets.find("text/rtf"), std::string::npos) << targets;
  EXPECT_NE(targets.find("UTF8_STRING"), std::string::npos) << targets;
  const std::optional<RichDocument> read = ReadRtf(offered_rtf);
  ASSERT_TRUE(read.has_value()) << offered_rtf;
  EXPECT_EQ(read->PlainText(), "tle line\nred");
  EXPECT_TRUE(read->FormatAt(0).bold);
}

// A free area of editor and buttons that the user makes larger: the picture buttons keep their
// place and size on the screen, the editor and the button of text alone grow with it.
TEST(RichEditQt, PictureButtonsStayWhereTheyAreWhenTheUserEnlargesTheWindow) {
  REQUIRE_QT_DISPLAY();
  std::vector<QRect> pictures_before, pictures_after;
  QRect find_before, find_after;
  QSize editor_before, editor_after;
  auto measure = [](QWidget* window, std::vector<QRect>& pictures, QRect& find, QSize& editor) {
    pictures.clear();
    for (auto* button : window->findChildren<QPushButton*>()) {
      if (button->text().isEmpty() && !button->icon().isNull())
        pictures.push_back(button->geometry());
      if (button->text() == "Find...") find = button->geometry();
    }
    editor = window->findChild<qt::RichEditView*>()->size();
  };
  const int status = test::RunAsUser(
      [] { test::RunFreeRichEditSample(); },
      [&] {
        qt::QtWindow* window = test::WaitShown("Free Editor");
        ASSERT_NE(window, nullptr);
        test::WaitFor([&] {
          test::OnGui([&] { measure(window, pictures_before, find_before, editor_before); });
          return pictures_before.size() == 2 && editor_before.width() > 0;
        });
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { window->grab().save(QString(file) + ".free.png"); });
        test::OnGui([&] { window->resize(window->width() * 2, window->height() * 3 / 2); });
        test::WaitFor([&] {
          test::OnGui([&] { measure(window, pictures_after, find_after, editor_after); });
          return editor_after.width() > editor_before.width() * 3 / 2 &&
                 editor_after.height() > editor_before.height() * 5 / 4;
        });
        if (const char* file = std::getenv("VX_SCREENSHOT"))
          test::OnGui([&] { window->grab().save(QString(file) + ".free-larger.png"); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_GT(editor_after.width(), editor_before.width() * 3 / 2)
      << "the editor grows with the area";
  EXPECT_GT(editor_after.height(), editor_before.height() * 5 / 4) << "in both directions";
  EXPECT_EQ(pictures_after, pictures_before) << "the picture buttons stay as they were";
  EXPECT_EQ(find_after, find_before) << "and so does a button of text alone";
}

}  // namespace
}  // namespace vx
