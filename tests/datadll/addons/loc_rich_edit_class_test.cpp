// The rich-text editor over a sample window: saving and loading files and fields, formatting
// from the toolbar, find, printing, and mail merge with values that RTF must escape.
#include "datadll/addons/loc_rich_edit_class.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/dates.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/rich_edit_input.h"
#include "runtime/window/rich_text_rtf.h"
#include "tests/datadll/addons/rich_edit_sample.h"
#include "tests/support/control_place.h"
#include "tests/support/fixed_clock.h"
#include "tests/support/test_driver.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

DriverControl RichEditOf(DriverWindow& w);
DriverControl RulerOf(DriverWindow& w);
std::string ShownText(const DriverControl& editor);

// Runs `body` on the sample window's thread and closes the window after it.
void OnSample(TestDriver& ui, const std::function<void(LOCRICHEDITCLASS&)>& body,
              std::string_view text = {}) {
  ui.Start([&] {
    RunRichEditSample(
        [&](LOCRICHEDITCLASS& editor) {
          body(editor);
          editor.INFO_.MODIFIED = false;  // closing asks nothing
          CurrentWindow()->Post(EVENT_CloseWindow);
        },
        text);
  });
  ui.Finish();
}

class RichEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vx-richedit-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

RichDocument Letter() {
  RichDocument doc = RichDocument::FromText("Dear friend,\n\tthank you {for} the 5 \u20ac.\nYours");
  doc.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = true; });
  doc.Paragraphs()[1].tabs = {720};
  doc.Paragraphs()[2].alignment = RichAlign::Right;
  return doc;
}

TEST_F(RichEditTest, SavedNamesTakeTheirFormatByExtensionAndAnotherExtensionIsRefused) {
  const struct {
    const char* given;
    const char* written;  // empty: refused
    bool rtf;
  } cases[] = {
      {"letter", "letter.rtf", true},
      {"letter.RTF", "letter.RTF", true},
      {"letter.txt", "letter.txt", false},
      {"letter.doc", "", false},
      {"my.folder/letter", "my.folder/letter.rtf", true},  // the dot of a folder is no extension
  };
  fs::create_directories(folder_ / "my.folder");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    TestDriver ui;
    if (!*c.written) ui.AnswerMessage(BUTTON_OK);
    bool saved = false;
    std::string name;
    OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
      editor.SetDocument(Letter());
      saved = editor.SAVEDOC((folder_ / c.given).string());
      name = editor.FILENAME;
    });
    if (!*c.written) {
      EXPECT_FALSE(saved);
      ASSERT_EQ(ui.Messages().size(), 1u);
      EXPECT_EQ(ui.Messages()[0].caption, "Save Error");
      EXPECT_NE(ui.Messages()[0].text.find("\".doc\""), std::string::npos);
      EXPECT_FALSE(fs::exists(folder_ / c.given));
      continue;
    }
    ASSERT_TRUE(saved);
    EXPECT_EQ(name, (folder_ / c.written).string());
    const std::string bytes = ReadAll(folder_ / c.written);
    if (c.rtf) {
      ASSERT_TRUE(ReadRtf(bytes).has_value());
      EXPECT_EQ(*ReadRtf(bytes), Letter());
    } else {
      EXPECT_EQ(bytes, Letter().PlainText());
    }
    EXPECT_EQ(fs::status(folder_ / c.written).permissions() & fs::perms::others_all,
              fs::perms::none);
  }
}

TEST_F(RichEditTest, AnotherRtfReaderGivesTheSavedFilesText) {
  if (std::system("command -v unrtf >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "unrtf is not installed (scripts/install-deps.sh installs it)";
  // unrtf's text output gives a tab as blanks and a line break and \\u characters as "?", so
  // this letter keeps to ASCII without tabs: what it checks is that RTF's own characters,
  // formats, bullets and the tables stay out of the text.
  RichDocument letter =
      RichDocument::FromText("Dear friend,\nthank you {for} the \\5.\nYours -- me");
  letter.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = f.underline = true; });
  letter.ApplyCharFormat(13, 18, [](RichCharFormat& f) {
    f.color = 0xFF;
    f.font = "Courier New";
  });
  letter.Paragraphs()[2].alignment = RichAlign::Right;
  TestDriver ui;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    RichDocument doc = letter;
    doc.ApplyParagraph(0, 0, [](RichParagraph& p) { p.bullet = true; });
    doc.ApplyCharFormat(5, 11, [](RichCharFormat& f) { f.offset = 40; });
    editor.SetDocument(doc);
    ASSERT_TRUE(editor.SAVEDOC((folder_ / "letter.rtf").string()));
  });
  const std::string out = (folder_ / "unrtf.txt").string();
  ASSERT_EQ(std::system(("unrtf --text '" + (folder_ / "letter.rtf").string() + "' > '" + out +
                         "' 2>/dev/null")
                            .c_str()),
            0);
  // unrtf heads its text with a comment block of its own ("###" lines) and ends every
  // paragraph with a line break.
  std::string text;
  std::istringstream lines(ReadAll(out));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("###", 0) == 0) continue;
    text += line + "\n";
  }
  while (!text.empty() && (text.front() == '\n' || text.front() == '-')) text.erase(0, 1);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  EXPECT_EQ(text, letter.PlainText());
}

TEST_F(RichEditTest, AFieldMustBeLongerThanTheRtfText) {
  const std::string rtf = WriteRtf(Letter());
  for (const std::size_t length : {rtf.size() - 1, rtf.size(), rtf.size() + 1, rtf.size() + 40}) {
    SCOPED_TRACE(length);
    const bool fits = length > rtf.size();
    TestDriver ui;
    if (!fits) ui.AnswerMessage(BUTTON_OK);
    std::vector<char> field(length, 'x');
    bool saved = false;
    std::optional<RichDocument> loaded;
    OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
      editor.SetDocument(Letter());
      saved = editor.SAVEDOC(field.data(), field.size());
      if (saved) {
        editor.NEWDOC();
        editor.LOADDOC(field.data(), field.size());
        loaded = editor.Document();
      }
    });
    EXPECT_EQ(saved, fits);
    if (!fits) {
      ASSERT_EQ(ui.Messages().size(), 1u);
      EXPECT_EQ(ui.Messages()[0].caption, "Stream Error");
      continue;
    }
    EXPECT_TRUE(ui.Messages().empty());
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(*loaded, Letter());
  }
}

TEST_F(RichEditTest, AFileThatIsNotRtfLoadsAsItsText) {
  std::ofstream(folder_ / "broken.rtf") << "{\\rtf1 never closed";
  std::ofstream(folder_ / "notes.txt") << "a {b} \\c";
  TestDriver ui;
  std::string broken, notes;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.LOADDOC((folder_ / "broken.rtf").string());
    broken = editor.Document().PlainText();
    editor.LOADDOC((folder_ / "notes.txt").string());
    notes = editor.Document().PlainText();
  });
  EXPECT_EQ(broken, "{\\rtf1 never closed");
  EXPECT_EQ(notes, "a {b} \\c");
}

TEST_F(RichEditTest, TheToolbarFormatsWhatTheUserSelected) {
  TestDriver ui;
  ui.Start([] { RunRichEditSample(); });
  DriverWindow w = ui.WaitWindow("Rich Text Sample");
  int rich = 0;
  for (int n = 1; n < 60 && !rich; ++n) {
    try {
      if (w.ControlNumber(n).Kind() == ControlType::RichEdit) rich = n;
    } catch (const std::exception&) {
    }
  }
  ASSERT_NE(rich, 0);
  DriverControl text = w.ControlNumber(rich);
  const RichDocument typed = RichDocument::FromText("Hello world\nsecond line");
  // The user selects "Hello" and presses B, then puts the caret in "second" and centres it.
  text.Type(WriteRichEditInput({0, 5, WriteRtf(typed)}));
  w.Control("B").Press();
  std::optional<RichDocument> doc = ReadRtf(text.Get(Prop::Value));
  ASSERT_TRUE(doc.has_value());
  EXPECT_TRUE(doc->FormatAt(0).bold);
  EXPECT_FALSE(doc->FormatAt(7).bold);
  text.Type(WriteRichEditInput({14, 14, WriteRtf(*doc)}));
  w.Control("&Align:").Choose("Centre");
  w.Control("x\u00b2").Press();  // the word at the caret goes up 2 points
  doc = ReadRtf(text.Get(Prop::Value));
  EXPECT_EQ(doc->Paragraphs()[1].alignment, RichAlign::Center);
  EXPECT_EQ(doc->FormatAt(13).offset, 40);
  EXPECT_EQ(doc->FormatAt(19).offset, 0) << "only the word at the caret";
  EXPECT_EQ(w.Control("Bullets").Disabled(), false);
  w.Control("Bullets").Press();
  doc = ReadRtf(text.Get(Prop::Value));
  EXPECT_TRUE(doc->Paragraphs()[1].bullet);
  EXPECT_EQ(doc->Paragraphs()[1].offset, 300);
  ui.AnswerMessage(BUTTON_NO);  // closing asks to save the changed document
  w.Close();
  ui.Finish();
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].caption, "Save Document");
}

TEST_F(RichEditTest, AnEditPastTheSizeLimitIsTakenBack) {
  TestDriver ui;
  ui.Start([] { RunRichEditSample([](LOCRICHEDITCLASS& editor) { editor.LIMITSIZE(10); }); });
  DriverWindow w = ui.WaitWindow("Rich Text Sample");
  DriverControl text = RichEditOf(w);
  text.Type(WriteRichEditInput({5, 5, WriteRtf(RichDocument::FromText("Hello"))}));
  text.Type(WriteRichEditInput({11, 11, WriteRtf(RichDocument::FromText("Hello world"))}));
  EXPECT_EQ(ShownText(text), "Hello") << "eleven characters do not fit in ten";
  text.Type(WriteRichEditInput({7, 7, WriteRtf(RichDocument::FromText("Hello you!"))}));
  EXPECT_EQ(ShownText(text), "Hello you!");
  w.Control("B").Press();  // the word at the caret
  const std::optional<RichDocument> doc = ReadRtf(text.Get(Prop::Value));
  EXPECT_TRUE(doc->FormatAt(7).bold);
  EXPECT_FALSE(doc->FormatAt(2).bold);
  ui.AnswerMessage(BUTTON_NO);
  w.Close();
  ui.Finish();
}

TEST_F(RichEditTest, TabStopsToggleOnTheRulerAndFindWrapsOnlyWhenAsked) {
  TestDriver ui;
  ui.AnswerMessage(BUTTON_NO);   // "not found. Continue from start of file?"
  ui.AnswerMessage(BUTTON_YES);  // the same, asked again
  std::vector<int> tabs_once, tabs_twice;
  bool refused_33rd = false;
  long first = -1, missed = -1, wrapped = -1;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.SetDocument(RichDocument::FromText("one two one"));
    editor.TOGGLETABSTOP(1000);
    tabs_once = editor.Document().Paragraphs()[0].tabs;
    editor.TOGGLETABSTOP(1000);
    tabs_twice = editor.Document().Paragraphs()[0].tabs;
    for (int i = 1; i <= 32; ++i) editor.TOGGLETABSTOP(i * 300);
    editor.TOGGLETABSTOP(10200);
    refused_33rd = editor.Document().Paragraphs()[0].tabs.size() == 32;
    editor.Select(0, 0);
    if (editor.FINDNEXT("one", true, true)) first = editor.SelStart();
    editor.FINDNEXT("one", true, true);
    if (!editor.FINDNEXT("one", true, true)) missed = editor.SelStart();
    if (editor.FINDNEXT("one", true, true)) wrapped = editor.SelStart();
  });
  EXPECT_EQ(tabs_once, std::vector<int>{900});
  EXPECT_TRUE(tabs_twice.empty());
  EXPECT_TRUE(refused_33rd);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(missed, 8) << "the selection stays on the last hit";
  EXPECT_EQ(wrapped, 0);
  ASSERT_EQ(ui.Messages().size(), 2u);
  EXPECT_EQ(ui.Messages()[0].caption, "Search");
  EXPECT_NE(ui.Messages()[0].text.find("\"one\" not found."), std::string::npos);
}

// The ruler shows the stops of the caret's paragraph; a click sets a stop (snapped down to
// 150 twips) in every selected paragraph, and a click on a stop clears it.
TEST_F(RichEditTest, TheRulerShowsTheCaretParagraphsStopsAndAClickTogglesOne) {
  TestDriver ui;
  ui.AnswerMessage(BUTTON_NO);  // closing: the changed document is not saved
  ui.Start([] { RunRichEditSample(); });
  DriverWindow w = ui.WaitWindow("Rich Text Sample");
  DriverControl text = RichEditOf(w);
  DriverControl ruler = RulerOf(w);
  RichDocument doc = RichDocument::FromText("one\ttab\ntwo\nthree");
  doc.Paragraphs()[0].tabs = {720, 2880};
  doc.Paragraphs()[2].tabs = {300};
  text.Type(WriteRichEditInput({1, 1, WriteRtf(doc)}));
  EXPECT_EQ(ruler.Value(), "720|2880");
  text.Type(WriteRichEditInput({14, 14, WriteRtf(doc)}));
  EXPECT_EQ(ruler.Value(), "300");
  text.Type(WriteRichEditInput({9, 9, WriteRtf(doc)}));
  EXPECT_EQ(ruler.Value(), "");

  // From the middle of "two" to "three": both paragraphs take the second paragraph's stops
  // with the new one.
  text.Type(WriteRichEditInput({9, 14, WriteRtf(doc)}));
  ruler.ClickRuler(1510);
  EXPECT_EQ(ruler.Value(), "1500");
  std::optional<RichDocument> now = ReadRtf(text.Get(Prop::Value));
  ASSERT_TRUE(now.has_value());
  EXPECT_EQ(now->Paragraphs()[1].tabs, (std::vector<int>{1500}));
  EXPECT_EQ(now->Paragraphs()[2].tabs, (std::vector<int>{1500}));
  EXPECT_EQ(now->Paragraphs()[0].tabs, (std::vector<int>{720, 2880}));
  ruler.ClickRuler(1640);  // the same 150-twip step
  EXPECT_EQ(ruler.Value(), "");
  ruler.ClickRuler(100);  // before the first step: no stop at 0
  EXPECT_EQ(ruler.Value(), "");
  w.Close();
  ui.Finish();
}

// Flat buttons: every registered button, never a list, and the merge window's buttons too.
TEST_F(RichEditTest, FlatButtonsAreTheRegisteredButtonsAndTheMergeWindows) {
  TestDriver ui;
  ui.Start([] {
    RunRichEditSample([](LOCRICHEDITCLASS& editor) {
      editor.FLATBUTTONS(true);
      editor.MAILMERGE();
    });
  });
  DriverWindow merge = ui.WaitWindow("Mail Merge");
  EXPECT_EQ(merge.Control("View").Get(Prop::Flat), "1");
  merge.Close();
  DriverWindow w = ui.WaitWindow("Rich Text Sample");
  EXPECT_EQ(w.Control("B").Get(Prop::Flat), "1");
  EXPECT_EQ(w.Control("Page Setup...").Get(Prop::Flat), "1");
  EXPECT_EQ(w.Control("&Font:").Get(Prop::Flat), "") << "a list is no button";
  w.Close();
  ui.Finish();
}

// A read-only editor has no ruler: there is nothing to set stops in.
TEST_F(RichEditTest, AReadOnlyEditorHasNoRuler) {
  TestDriver ui;
  ui.Start([] {
    Window window("Read Only");
    std::string unused;
    const int box = window.Text(unused);
    window[box].ReadOnly();
    window.Open();
    LOCRICHEDITCLASS editor;
    editor.INIT(window, box, true, "text");
    while (window.Accept()) {
    }
  });
  DriverWindow w = ui.WaitWindow("Read Only");
  EXPECT_THROW(RulerOf(w), std::logic_error);
  EXPECT_NO_THROW(RichEditOf(w));
  w.Close();
  ui.Finish();
}

TEST_F(RichEditTest, PrintingHandsTheDocumentsLinesToThePageEngine) {
  TestDriver ui;
  bool printed = false, empty_printed = true;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.SetDocument(Letter());
    printed = editor.PRINTDOC(false);
    editor.SetDocument(RichDocument{});
    empty_printed = editor.PRINTDOC(false);
  });
  EXPECT_TRUE(printed);
  EXPECT_FALSE(empty_printed);
  ASSERT_EQ(ui.Prints().size(), 1u);
  std::string all;
  for (const std::string& t : ui.Prints()[0].pages->pages.at(0).Texts()) all += t + " ";
  for (const char* word : {"Dear", "friend,", "thank", "{for}", "Yours"})
    EXPECT_NE(all.find(word), std::string::npos) << word << " in " << all;
}

// Paste keeps the formats of formatted text on the clipboard; plain text takes the format of
// what it follows, and RTF our reader cannot take pastes as the plain text beside it.
TEST_F(RichEditTest, PasteKeepsTheFormatsOfFormattedClipboardText) {
  RichDocument piece = RichDocument::FromText("red\nnext");
  piece.ApplyCharFormat(0, 3, [](RichCharFormat& f) {
    f.color = 0x0000FF;
    f.italic = true;
  });
  piece.Paragraphs()[0].alignment = RichAlign::Center;
  const struct {
    const char* name;
    std::string rtf;
    const char* text;
    bool italic;
    RichAlign first_alignment;
  } cases[] = {
      {"formatted", WriteRtf(piece), "Hred\nnextello", true, RichAlign::Center},
      {"plain", "", "Hred\nnextello", false, RichAlign::Left},
      {"not RTF", "no RTF here", "Hred\nnextello", false, RichAlign::Left},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDriver ui;
    RichDocument after;
    bool can_paste = false;
    OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
      ClipboardChanged("red\nnext", c.rtf);
      editor.SetDocument(RichDocument::FromText("Hello"), false);
      editor.Select(1, 1);
      editor.READINFO();
      can_paste = editor.INFO_.CANPASTE;
      editor.PASTE();
      after = editor.Document();
      ClipboardChanged("");
    });
    EXPECT_TRUE(can_paste);
    EXPECT_EQ(after.PlainText(), c.text);
    EXPECT_EQ(after.FormatAt(1).italic, c.italic);
    EXPECT_EQ(after.FormatAt(1).color, c.italic ? 0x0000FF : 0);
    EXPECT_FALSE(after.FormatAt(9).italic) << "the editor's own text stays as it was";
    EXPECT_EQ(after.Paragraphs()[0].alignment, c.first_alignment);
  }
}

// Copy in one editor and Paste in another: the selection arrives with its character formats
// and the settings of the paragraphs whose breaks it holds, and the plain text goes beside it.
TEST_F(RichEditTest, CopyBetweenTwoEditorsKeepsTheFormats) {
  RichDocument source = RichDocument::FromText("Title line\nred words here\nlast");
  source.ApplyCharFormat(0, 5, [](RichCharFormat& f) { f.bold = true; });
  source.ApplyCharFormat(11, 14, [](RichCharFormat& f) {
    f.color = 0x0000FF;
    f.font = "Courier New";
    f.size = 320;
  });
  source.Paragraphs()[0].alignment = RichAlign::Center;
  source.Paragraphs()[1].start_indent = 720;
  ClipboardChanged("");
  TestDriver ui;
  ui.Start([&] {
    START([] { RunRichEditSample({}, {}, "Second Editor"); });
    RunRichEditSample([&](LOCRICHEDITCLASS& editor) {
      editor.SetDocument(source, false);
      editor.Select(2, 14);  // "tle line\nred"
    });
  });
  DriverWindow first = ui.WaitWindow("Rich Text Sample");
  DriverWindow second = ui.WaitWindow("Second Editor");
  first.Control("Copy").Press();
  EXPECT_EQ(ui.LastClipboardWrite(), "tle line\nred");
  const std::optional<RichDocument> offered = ReadRtf(ui.LastClipboardRtfWrite());
  ASSERT_TRUE(offered.has_value()) << "formatted text goes beside the plain text";
  EXPECT_EQ(offered->PlainText(), "tle line\nred");

  DriverControl target = RichEditOf(second);
  target.Type(WriteRichEditInput({1, 1, WriteRtf(RichDocument::FromText("[]"))}));
  second.Control("Paste").Press();
  const std::optional<RichDocument> pasted = ReadRtf(target.Get(Prop::Value));
  ASSERT_TRUE(pasted.has_value());
  EXPECT_EQ(pasted->PlainText(), "[tle line\nred]");
  EXPECT_TRUE(pasted->FormatAt(1).bold) << "bold \"tle\"";
  EXPECT_FALSE(pasted->FormatAt(5).bold);
  const RichCharFormat red = pasted->FormatAt(10);
  EXPECT_EQ(red.color, 0x0000FF);
  EXPECT_EQ(red.font, "Courier New");
  EXPECT_EQ(red.size, 320);
  EXPECT_EQ(pasted->FormatAt(13).color, 0) << "the editor's own \"]\" keeps its format";
  ASSERT_EQ(pasted->Paragraphs().size(), 2u);
  EXPECT_EQ(pasted->Paragraphs()[0].alignment, RichAlign::Center)
      << "the paragraph the copied break ended keeps its settings";
  // The second first: the first's thread runs the program, whose end closes the other down.
  ui.AnswerMessage(BUTTON_NO);  // the pasted document is not saved
  second.Close();
  first.Close();
  ui.Finish();
  ClipboardChanged("");
}

// An editor in a free area that grows with its window: the registered toolbar controls, with a
// picture or with text alone, keep their place and size; the editor keeps its place and takes
// up the window's growth; the ruler over it keeps its place and height and stays as wide.
TEST_F(RichEditTest, FixButtonsKeepsTheToolbarAndStretchesTheEditorBelowItsRuler) {
  TestDriver ui;
  ui.Start([] { RunFreeRichEditSample(); });
  DriverWindow w = ui.WaitWindow("Free Editor");
  const DriverControl editor = RichEditOf(w), ruler = RulerOf(w);
  EXPECT_EQ(PlaceOf(ruler), (std::array<long, 4>{2, 20, 296, 14}))
      << "the ruler stands where the placeholder was";
  EXPECT_EQ(PlaceOf(editor), (std::array<long, 4>{2, 34, 296, 164})) << "the editor below it";
  w.ControlNumber(1).SizeArea(600, 300);
  EXPECT_EQ(PlaceOf(w.ControlNumber(2)), (std::array<long, 4>{2, 2, 16, 14}));
  EXPECT_EQ(PlaceOf(w.ControlNumber(3)), (std::array<long, 4>{20, 2, 16, 14}));
  EXPECT_EQ(PlaceOf(w.Control("Find...")), (std::array<long, 4>{40, 2, 50, 14}))
      << "a button without a picture stays as well";
  EXPECT_EQ(PlaceOf(ruler), (std::array<long, 4>{2, 20, 596, 14})) << "the ruler keeps its height";
  EXPECT_EQ(PlaceOf(editor), (std::array<long, 4>{2, 34, 596, 264}));
  w.ControlNumber(1).SizeArea(250, 150);  // smaller than at the start
  EXPECT_EQ(PlaceOf(ruler), (std::array<long, 4>{2, 20, 246, 14}));
  EXPECT_EQ(PlaceOf(editor), (std::array<long, 4>{2, 34, 246, 114}));
  w.Close();
  ui.Finish();
}

// The page setup's margins place the printed text and stay for later prints; Cancel, a value
// that is no margin and margins that leave no room change nothing.
TEST_F(RichEditTest, PageSetupMarginsPlaceThePrintedTextAndPersist) {
  TestDriver ui;
  ui.AnswerMessage(BUTTON_OK);  // "The margins leave no room for the text."
  ui.Start([] {
    RunRichEditSample([](LOCRICHEDITCLASS& editor) {
      editor.SetDocument(RichDocument::FromText("Margins\nmatter"), false);
    });
  });
  DriverWindow w = ui.WaitWindow("Rich Text Sample");
  auto printed_left_top = [&] {
    w.Control("Print...").Press();
    const auto& page = ui.Prints().back().pages->pages.at(0);
    long left = 1L << 30, top = 1L << 30;
    for (const report::PageItem& item : page.items) {
      left = std::min(left, item.x);
      top = std::min(top, item.y);
    }
    return std::pair(left, top);
  };
  const auto [left_before, top_before] = printed_left_top();
  EXPECT_EQ(left_before, 1000);

  w.Control("Page Setup...").Press();
  DriverWindow setup = ui.WaitWindow("Page Setup");
  EXPECT_EQ(setup.Control("&Left:").Value(), "1.00");
  setup.Control("&Left:").Type("2.25");
  setup.Control("&Top:").Type("abc");
  setup.Control("&OK").Press();  // refused: not a margin
  EXPECT_TRUE(ui.HasWindow("Page Setup"));
  setup.Control("&Top:").Type("7");
  setup.Control("&Bottom:").Type("4");
  setup.Control("&OK").Press();  // refused: no room left
  EXPECT_TRUE(ui.HasWindow("Page Setup"));
  setup.Control("&Bottom:").Type("1");
  setup.Control("&Top:").Type("1.5");
  setup.Control("&OK").Press();
  EXPECT_FALSE(ui.HasWindow("Page Setup"));
  const auto [left_after, top_after] = printed_left_top();
  EXPECT_EQ(left_after, 2250);
  EXPECT_EQ(top_after - top_before, 500);

  // Cancel keeps what was set, and the window shows it.
  w.Control("Page Setup...").Press();
  DriverWindow again = ui.WaitWindow("Page Setup");
  EXPECT_EQ(again.Control("&Left:").Value(), "2.25");
  again.Control("&Left:").Type("3");
  again.Control("Cancel").Press();
  EXPECT_EQ(printed_left_top().first, 2250);
  w.Close();
  ui.Finish();
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].caption, "Page Setup");
}

// --- mail merge ------------------------------------------------------------------------------

struct Customer {
  std::string name, city;
};

struct Customers {
  std::vector<Customer> rows;
  Customer current;
  RichMailFile file;
  Customers() {
    file.name = "Customers";
    file.labels = {"CUS:Name", "CUS:City"};
    file.fields.Bind("CUS:Name", [this] { return ExprValue::Text(current.name); });
    file.fields.Bind("CUS:City", [this] { return ExprValue::Text(current.city); });
    file.records = [this] { return static_cast<long>(rows.size()); };
    file.fetch = [this](long n) {
      if (n < 1 || n > static_cast<long>(rows.size())) return false;
      current = rows[static_cast<std::size_t>(n - 1)];
      return true;
    };
  }
};

TEST_F(RichEditTest, MergedValuesFillEveryFieldAndLeaveTheRtfValid) {
  Customers customers;
  customers.rows = {{"O'Brien {x} \\par \\b \u00e9\u20ac", "K\u00f6ln"},
                    {"Smith <<CUS:City>>", "Paris"}};
  const std::string letter = "Dear <<cus:name>> of <<CUS:CITY>>, <<CUS:Nope>> <<Cus:City>>";
  const struct {
    int move;
    long record;
    const char* text;
  } steps[] = {
      {1, 1, "Dear O'Brien {x} \\par \\b \u00e9\u20ac of K\u00f6ln, Missing-field K\u00f6ln"},
      // A value holding a field's marks is text of the record, never merged again.
      {3, 2, "Dear Smith <<CUS:City>> of Paris, Missing-field Paris"},
      {3, 2, "Dear Smith <<CUS:City>> of Paris, Missing-field Paris"},  // next at the last
      {2, 1, "Dear O'Brien {x} \\par \\b \u00e9\u20ac of K\u00f6ln, Missing-field K\u00f6ln"},
      {2, 1, "Dear O'Brien {x} \\par \\b \u00e9\u20ac of K\u00f6ln, Missing-field K\u00f6ln"},
      {4, 2, "Dear Smith <<CUS:City>> of Paris, Missing-field Paris"},
  };
  TestDriver ui;
  std::vector<std::pair<long, std::string>> seen;
  std::vector<int> results;
  std::string after;
  bool modified_after = true, bold_kept = false;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.INITMAILFILE(customers.file);
    RichDocument doc = RichDocument::FromText(letter);
    doc.ApplyCharFormat(0, 4, [](RichCharFormat& f) { f.bold = true; });
    editor.SetDocument(doc, false);
    editor.INFO_.MODIFIED = false;
    ASSERT_TRUE(editor.MAILSCREEN(true));
    for (const auto& step : steps) {
      results.push_back(editor.MAILLOCATE(step.move));
      const std::string rtf = WriteRtf(editor.Document());
      const std::optional<RichDocument> read = ReadRtf(rtf);
      seen.emplace_back(editor.MailRecord(), read ? read->PlainText() : "invalid RTF");
      bold_kept = editor.Document().FormatAt(0).bold;
    }
    editor.MAILSCREEN(false);
    after = editor.Document().PlainText();
    modified_after = editor.INFO_.MODIFIED;
  });
  ASSERT_EQ(seen.size(), std::size(steps));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(results[i], 1);
    EXPECT_EQ(seen[i].first, steps[i].record);
    EXPECT_EQ(seen[i].second, steps[i].text);
  }
  EXPECT_TRUE(bold_kept);
  EXPECT_EQ(after, letter) << "the view off gives the template back";
  EXPECT_FALSE(modified_after);
}

TEST_F(RichEditTest, AnUnclosedFieldStopsThatRecordsMerge) {
  Customers customers;
  customers.rows = {{"Ann", "Rome"}};
  TestDriver ui;
  int result = -1;
  std::string text;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.INITMAILFILE(customers.file);
    editor.SetDocument(RichDocument::FromText("Hi <<CUS:Name>>, <<CUS:City and <<CUS:Name>>"));
    editor.MAILSCREEN(true);
    result = editor.MAILLOCATE(0 + 1);
    text = editor.Document().PlainText();
    editor.MAILSCREEN(false);
  });
  EXPECT_EQ(result, 1) << "\"<<CUS:City and <<CUS:Name>>\" reads as one label";
  EXPECT_EQ(text, "Hi Ann, Missing-field");
  TestDriver ui2;
  OnSample(ui2, [&](LOCRICHEDITCLASS& editor) {
    editor.INITMAILFILE(customers.file);
    editor.SetDocument(RichDocument::FromText("Hi <<CUS:Name>>, from <<CUS:City"));
    editor.MAILSCREEN(true);
    result = editor.MAILLOCATE(1);
    text = editor.Document().PlainText();
    editor.MAILSCREEN(false);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(text, "Hi Ann, from <<CUS:City");
}

TEST_F(RichEditTest, TheMergeFilterAndOrderChooseTheRecordsAndBadOnesAreSaid) {
  Customers customers;
  customers.rows = {{"Ann", "Rome"}, {"Bob", "Paris"}, {"Cy", "Paris"}};
  const struct {
    const char* filter;
    const char* order;
    std::vector<std::string> names;
    const char* error;  // caption of the box, empty for none
  } cases[] = {
      {"", "", {"Ann", "Bob", "Cy"}, ""},
      {"CUS:City = 'Paris'", "", {"Bob", "Cy"}, ""},
      {"", "-CUS:Name", {"Cy", "Bob", "Ann"}, ""},
      {"UPPER(CUS:City) <> 'ROME'", "+cus:city, -CUS:Name", {"Cy", "Bob"}, ""},
      {"CUS:City = ", "", {"Ann", "Bob", "Cy"}, "Filter Error"},
      {"", "CUS:Nope", {"Ann", "Bob", "Cy"}, "Order Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.filter) + " / " + c.order);
    TestDriver ui;
    if (*c.error) ui.AnswerMessage(BUTTON_OK);
    std::vector<std::string> names;
    OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
      editor.INITMAILFILE(customers.file);
      editor.SetDocument(RichDocument::FromText("<<CUS:Name>>"));
      editor.MAILFILTER(c.filter, c.order);
      ASSERT_TRUE(editor.MAILSCREEN(true));
      for (long n = 1; n <= editor.MailCount(); ++n) {
        editor.MAILLOCATE(n == 1 ? 1 : 3);
        names.push_back(editor.Document().PlainText());
      }
      editor.MAILSCREEN(false);
    });
    EXPECT_EQ(names, c.names);
    if (*c.error) {
      ASSERT_EQ(ui.Messages().size(), 1u);
      EXPECT_EQ(ui.Messages()[0].caption, c.error);
    } else {
      EXPECT_TRUE(ui.Messages().empty());
    }
  }
}

TEST_F(RichEditTest, MergingToThePrinterPrintsEveryRecordInOneJob) {
  Customers customers;
  customers.rows = {{"Ann", "Rome"}, {"Bob", "Paris"}};
  TestDriver ui;
  bool printed = false, no_source = true;
  OnSample(ui, [&](LOCRICHEDITCLASS& editor) {
    editor.SetDocument(RichDocument::FromText("To <<CUS:Name>>"));
    no_source = editor.MAILSCREEN(true);  // nothing registered: the view stays off
    editor.INITMAILFILE(customers.file);
    printed = editor.MAILPRINTER();
  });
  EXPECT_FALSE(no_source);
  EXPECT_TRUE(printed);
  ASSERT_EQ(ui.Prints().size(), 1u);
  const auto& pages = ui.Prints()[0].pages->pages;
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].Texts(), (std::vector<std::string>{"To", "Ann"}));
  EXPECT_EQ(pages[1].Texts(), (std::vector<std::string>{"To", "Bob"}));
}

// The first control of a kind in a window; throws when there is none.
DriverControl FirstOfKind(DriverWindow& w, ControlType kind) {
  for (int n = 1; n < 80; ++n) {
    try {
      if (w.ControlNumber(n).Kind() == kind) return w.ControlNumber(n);
    } catch (const std::exception&) {
    }
  }
  throw std::logic_error("no control of kind " + std::to_string(static_cast<int>(kind)));
}

// The sample window's rich edit control, and its ruler.
DriverControl RichEditOf(DriverWindow& w) { return FirstOfKind(w, ControlType::RichEdit); }
DriverControl RulerOf(DriverWindow& w) { return FirstOfKind(w, ControlType::Ruler); }

std::string ShownText(const DriverControl& editor) {
  const std::optional<RichDocument> doc = ReadRtf(editor.Get(Prop::Value));
  return doc ? doc->PlainText() : "invalid RTF";
}

TEST_F(RichEditTest, TheMergeWindowInsertsFieldsAndStepsThroughTheRecords) {
  Customers customers;
  customers.rows = {{"Ann", "Rome"}, {"Bob", "Paris"}};
  TestDriver ui;
  ui.Start([&] {
    RunRichEditSample([&](LOCRICHEDITCLASS& editor) {
      editor.INITMAILFILE(customers.file);
      editor.SetDocument(RichDocument::FromText("Dear <<CUS:Name>> in "), false);
      editor.Select(21, 21);
      editor.MAILMERGE();
      editor.INFO_.MODIFIED = false;
      CurrentWindow()->Post(EVENT_CloseWindow);
    });
  });
  DriverWindow sample = ui.WaitWindow("Rich Text Sample");
  DriverControl text = RichEditOf(sample);
  DriverWindow merge = ui.WaitWindow("Mail Merge");
  EXPECT_TRUE(merge.Control(">").Disabled()) << "no merge view yet";
  merge.Control("Insert").Press();
  DriverWindow picker = ui.WaitWindow("Insert Mail Field");
  EXPECT_EQ(picker.Control("&Fields:").Rows(), 2u);
  picker.Control("&Fields:").ActivateRow(2);
  EXPECT_EQ(ShownText(text), "Dear <<CUS:Name>> in <<CUS:City>>");
  merge.Control("View").Press();
  EXPECT_EQ(ShownText(text), "Dear Ann in Rome");
  EXPECT_TRUE(merge.Control("Insert").Disabled());
  EXPECT_TRUE(merge.Control("<").Disabled()) << "at the first record";
  merge.Control(">").Press();
  EXPECT_EQ(ShownText(text), "Dear Bob in Paris");
  EXPECT_TRUE(merge.Control(">|").Disabled()) << "at the last record";
  merge.Close();
  ui.Finish();
  EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(RichEditTest, TheDateAndTimeListPutsTheChosenTextInPlaceOfTheSelection) {
  FixedClock clock(DATE(3, 7, 2026), 14 * 360000 + 5 * 6000 + 1);
  ScopedClock use(clock);
  const std::vector<std::string> choices = LOCRICHEDITCLASS::DateTimeChoices();
  ASSERT_EQ(choices.size(), 12u);
  EXPECT_EQ(choices[2], "03/07/26");
  EXPECT_EQ(choices[3], "03/07/2026");
  EXPECT_EQ(choices[4], "March 07, 2026");
  EXPECT_EQ(choices[5], "07 March 2026");
  EXPECT_EQ(choices[8], "14:05");
  EXPECT_EQ(choices[9], "02:05PM");
  TestDriver ui;
  std::string text;
  ui.Start([&] {
    RunRichEditSample([&](LOCRICHEDITCLASS& editor) {
      editor.SetDocument(RichDocument::FromText("Date: XX."), false);
      editor.Select(6, 8);
      editor.INSERTDATETIME();
      text = editor.Document().PlainText();
      editor.INFO_.MODIFIED = false;
      CurrentWindow()->Post(EVENT_CloseWindow);
    });
  });
  ui.WaitWindow("Insert Date and Time").ControlNumber(1).ActivateRow(4);
  ui.Finish();
  EXPECT_EQ(text, "Date: 03/07/2026.");
}

TEST(RichEditClass, AnEditorNotBuiltOrKilledIgnoresEveryCall) {
  LOCRICHEDITCLASS editor;
  editor.UPDATEWINDOW();
  editor.TAKEACCEPTED();
  editor.TOGGLEFONTSTYLE(700);
  EXPECT_FALSE(editor.SAVEDOC(std::string("x.rtf")));
  EXPECT_EQ(editor.MAILLOCATE(1), 0);
  EXPECT_TRUE(editor.KILL(true));
  EXPECT_TRUE(editor.Document().Empty());
}

}  // namespace
}  // namespace vx::test
