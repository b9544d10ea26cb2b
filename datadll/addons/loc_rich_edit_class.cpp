#include "datadll/addons/loc_rich_edit_class.h"

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "datadll/addons/rich_document_pages.h"
#include "datadll/addons/rich_font_window.h"
#include "platform/private_file.h"
#include "runtime/report/print_pages.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/rich_document_range.h"
#include "runtime/window/rich_text_rtf.h"

namespace vx {
namespace {

constexpr long kBold = 700, kItalic = 4096, kUnderline = 8192, kStrikeout = 16384;
constexpr const char* kFontSizes = "8|9|10|11|12|14|16|18|20|22|24|26|28|36|48|72";
constexpr long kRulerHeight = 14;  // dialog units: the ruler over an editor in a free area

std::string Upper(std::string_view text) { return std::string(UPPER(CLIP(text))); }

// The extension of a file name ("" without one), from the last "." of its last part.
std::string Extension(const std::string& file) {
  const std::string name = std::filesystem::path(file).filename().string();
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

// Writes `bytes` as `file`: into a private file beside it, renamed over it only once complete,
// so a failed save leaves the old file as it was.
bool WriteWhole(const std::string& file, const std::string& bytes, std::string& why) {
  const std::filesystem::path target(file);
  std::filesystem::path made;
  const int fd = platform::CreatePrivateFileNamed(
      [&](int attempt) {
        return target.parent_path() /
               ("." + target.filename().string() + ".part" + std::to_string(attempt));
      },
      made);
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const bool written = done == bytes.size() && ::fsync(fd) == 0;
  const int saved = errno;
  ::close(fd);
  std::error_code ec;
  if (!written) {
    why = std::strerror(saved);
    std::filesystem::remove(made, ec);
    return false;
  }
  std::filesystem::rename(made, target, ec);
  if (ec) {
    why = ec.message();
    std::filesystem::remove(made, ec);
    return false;
  }
  return true;
}

// The word round `pos`, for formatting with nothing selected.
void WordAt(const RichDocument& doc, long pos, long& start, long& end) {
  const std::string text = doc.PlainText();
  auto letter = [&](long i) {
    if (i < 0 || i >= doc.Length()) return false;
    const std::size_t at = Utf8Offset(text, i);
    const unsigned char c = static_cast<unsigned char>(text[at]);
    return c >= 0x80 || std::isalnum(c) || c == '_';
  };
  start = end = pos;
  while (letter(start - 1)) --start;
  while (letter(end)) ++end;
}

// Shows `text` in a drop list: its item when it has one, else the text alone.
void ShowItem(Control& list, const std::string& text) {
  const std::string items = "|" + list.Get(Prop::From) + "|";
  long choice = 0, n = 0;
  for (std::size_t pos = 1; pos < items.size(); ++n) {
    const std::size_t bar = items.find('|', pos);
    if (items.compare(pos, bar - pos, text) == 0) choice = n + 1;
    pos = bar + 1;
  }
  list.Set(Prop::Selected, choice).Set(Prop::Value, text);
}

}  // namespace

Control& LOCRICHEDITCLASS::Editor() const { return (*window_)[editor_]; }

void LOCRICHEDITCLASS::INIT(Window& window, int placeholder, bool showToolbar,
                            std::string_view text) {
  window_ = &window;
  placeholder_ = placeholder;
  Control& box = window[placeholder];
  default_format_ = RichCharFormat{};
  if (const std::string font = box.Get(Prop::FontName); !font.empty())
    default_format_.font = font.substr(0, 32);
  if (box.GetNumber(Prop::FontSize) > 0)
    default_format_.size = static_cast<int>(box.GetNumber(Prop::FontSize) * 20);
  default_format_.color = box.Get(Prop::FontColor).empty() ? 0 : box.GetNumber(Prop::FontColor);
  const long style = box.GetNumber(Prop::FontStyle);
  default_format_.bold = (style & 0xFFF) >= kBold;
  default_format_.italic = style & kItalic;
  default_format_.underline = style & kUnderline;
  default_format_.strikeout = style & kStrikeout;
  read_only_ = box.Is(Prop::ReadOnly) || box.Is(Prop::Disable);
  box.Hide();
  ControlMaker& parent = box.Parent() ? static_cast<ControlMaker&>(window[box.Parent()]) : window;
  ruler_ = showToolbar && !read_only_ ? parent.Ruler().Number() : 0;
  Control& editor = parent.RichEdit();
  editor_ = editor.Number();
  // In a free area the editor stands where the placeholder stood, below the ruler if any.
  const std::string layout =
      box.Parent() ? window[box.Parent()].Get(Prop::Layout) : window.Get(Prop::Layout);
  if (Layout::Parse(layout).arrangement == Arrangement::Free) {
    const long x = box.GetNumber(Prop::X), y = box.GetNumber(Prop::Y);
    const long width = box.GetNumber(Prop::Width), height = box.GetNumber(Prop::Height);
    const long ruler = ruler_ ? std::min(kRulerHeight, height / 2) : 0;
    if (ruler_) window[ruler_].Place(x, y, width, ruler);
    editor.Place(x, y + ruler, width, height - ruler);
  }
  if (box.Is(Prop::ReadOnly)) editor.ReadOnly();
  if (box.Is(Prop::Disable)) editor.Disable();
  const std::optional<RichDocument> initial = ReadRtf(text);
  SetDocument(initial ? *initial : RichDocument::FromText(text, default_format_), false);
  undo_.clear();
  // A read-only editor has no toolbar or status bar: there is nothing to do with either.
  status_ = !read_only_;
  if (status_) {
    window.Status(1);
    window.Status(2).Set(Prop::Width, 80);
    window.Status(3).Set(Prop::Width, 80);
    window.Status(4).Set(Prop::Width, 40);
  }
  FILENAME = "(Untitled)";
  UPDATEWINDOW();
}

bool LOCRICHEDITCLASS::KILL(bool ask) {
  if (!window_) return true;
  if (ask) {
    MAILSCREEN(false);
    if (!SaveQuestion()) return false;
  }
  buttons_.clear();
  undo_.clear();
  mail_files_.clear();
  window_ = nullptr;
  editor_ = 0;
  ruler_ = 0;
  return true;
}

void LOCRICHEDITCLASS::INITBUTTON(std::string_view name, int control) {
  if (!window_) return;
  const std::string key = Upper(name).substr(0, 20);
  buttons_[key] = control;
  Control& c = (*window_)[control];
  if (key == "LISTFONTS") {
    std::vector<std::string> faces = {
        "Arial",           "Courier New",     "DejaVu Sans",      "DejaVu Serif",
        "Liberation Mono", "Liberation Sans", "Liberation Serif", "Times New Roman"};
    if (std::find(faces.begin(), faces.end(), default_format_.font) == faces.end())
      faces.insert(faces.begin(), default_format_.font);
    std::string from;
    for (const std::string& f : faces) from += (from.empty() ? "" : "|") + f;
    c.From(from);
  } else if (key == "LISTFONTSIZE") {
    c.From(kFontSizes);
  } else if (key == "INDENT") {
    c.Choose(1);
  }
}

std::string LOCRICHEDITCLASS::ListChoice(int control) const {
  const Control& c = (*window_)[control];
  return std::string(CLIP(c.Get(Prop::Value)));
}

void LOCRICHEDITCLASS::TAKEACCEPTED() {
  if (!window_) return;
  const int accepted = ACCEPTED();
  if (ruler_ && accepted == ruler_) {
    TOGGLETABSTOP(static_cast<int>((*window_)[ruler_].Choice()));
    UPDATEWINDOW();
    SETFOCUS();
    return;
  }
  if (buttons_.empty()) return;
  if (accepted == editor_) {
    TakeEdit();
    UPDATEWINDOW();
    return;
  }
  std::string name;
  for (const auto& [key, control] : buttons_) {
    if (control == accepted) name = key;
  }
  if (name.empty()) return;
  const Control& c = (*window_)[accepted];
  if (name == "NEW")
    NEWDOC();
  else if (name == "OPEN")
    LOADDOC();
  else if (name == "SAVE")
    SAVEDOC();
  else if (name == "PAGESETUP")
    PAGESETUP();
  else if (name == "PRINT")
    PRINTDOC(true);
  else if (name == "FIND")
    FINDTEXT();
  else if (name == "REPLACE")
    REPLACETEXT();
  else if (name == "COPY")
    COPY();
  else if (name == "CUT")
    CUT();
  else if (name == "PASTE")
    PASTE();
  else if (name == "UNDO")
    UNDO();
  else if (name == "SELECTALL")
    SELECTTEXT(0);
  else if (name == "LISTFONTS") {
    const std::string face = ListChoice(accepted);
    if (!face.empty()) FormatSelection([&](RichCharFormat& f) { f.font = face; });
  } else if (name == "LISTFONTSIZE") {
    const long points = TextToNumber(ListChoice(accepted));
    if (points > 0)
      FormatSelection([&](RichCharFormat& f) { f.size = static_cast<int>(points * 20); });
  } else if (name == "BOLD")
    TOGGLEFONTSTYLE(kBold);
  else if (name == "ITALIC")
    TOGGLEFONTSTYLE(kItalic);
  else if (name == "UNDERLINE")
    TOGGLEFONTSTYLE(kUnderline);
  else if (name == "STRIKEOUT")
    TOGGLEFONTSTYLE(kStrikeout);
  else if (name == "FONT")
    FONT();
  else if (name == "COLOR")
    COLOR();
  else if (name == "ALIGNMENT")
    TOGGLEALIGNMENT(static_cast<int>(c.Choice()));
  else if (name == "BULLET")
    TOGGLENUMBERING(15);
  else if (name == "INDENTDECREASE" || name == "INDENTINCREASE") {
    const auto it = buttons_.find("INDENT");
    const int kind = it == buttons_.end() ? 1 : static_cast<int>((*window_)[it->second].Choice());
    INDENT(kind < 1 ? 1 : kind, name == "INDENTDECREASE" ? -5 : 5);
  } else if (name == "SUPERSCRIPT")
    SUBSUPERSCRIPT(2);
  else if (name == "SUBSCRIPT")
    SUBSUPERSCRIPT(-2);
  else if (name == "MAILVIEW")
    MAILSCREEN(!merge_template_);
  else if (name == "MAILFIRST")
    MAILLOCATE(1);
  else if (name == "MAILPREVIOUS")
    MAILLOCATE(2);
  else if (name == "MAILNEXT")
    MAILLOCATE(3);
  else if (name == "MAILLAST")
    MAILLOCATE(4);
  else if (name == "MAILPRINT")
    MAILPRINTER();
  UPDATEWINDOW();
  SETFOCUS();
}

// --- the document and its selection ----------------------------------------------------------

RichDocument LOCRICHEDITCLASS::Document() const {
  if (!window_) return {};
  std::optional<RichDocument> doc = ReadRtf(Editor().Get(Prop::Value));
  return doc ? *doc : RichDocument{};
}

void LOCRICHEDITCLASS::SetDocument(const RichDocument& doc, bool modified) {
  if (!window_) return;
  const std::string before = Editor().Get(Prop::Value);
  const std::string after = WriteRtf(doc);
  if (modified && before != after) {
    undo_.push_back(before);
    if (undo_.size() > 100) undo_.erase(undo_.begin());
  }
  Editor().Value(after);
  accepted_ = after;
  if (modified) INFO_.MODIFIED = INFO_.MODIFIED || before != after;
  const long length = doc.Length();
  if (SelStart() > length || SelEnd() > length) Select(length, length);
}

long LOCRICHEDITCLASS::SelStart() const {
  return window_ ? std::min(Editor().GetNumber(Prop::SelStart), Editor().GetNumber(Prop::SelEnd))
                 : 0;
}
long LOCRICHEDITCLASS::SelEnd() const {
  return window_ ? std::max(Editor().GetNumber(Prop::SelStart), Editor().GetNumber(Prop::SelEnd))
                 : 0;
}
void LOCRICHEDITCLASS::Select(long start, long end) {
  if (!window_) return;
  Editor().Set(Prop::SelStart, start).Set(Prop::SelEnd, end);
}

void LOCRICHEDITCLASS::Modify(const std::function<void(RichDocument&, long, long)>& change) {
  if (!window_ || read_only_) return;
  RichDocument doc = Document();
  change(doc, SelStart(), SelEnd());
  SetDocument(doc);
}

// The selection, or with nothing selected the word at the caret.
void LOCRICHEDITCLASS::FormatSelection(const std::function<void(RichCharFormat&)>& change) {
  Modify([&](RichDocument& doc, long start, long end) {
    if (start == end) WordAt(doc, start, start, end);
    doc.ApplyCharFormat(start, end, change);
  });
}

bool LOCRICHEDITCLASS::READINFO() {
  if (!window_) return false;
  const RichDocument doc = Document();
  const long start = SelStart(), end = SelEnd();
  const RichCharFormat f = doc.FormatAt(start);
  const RichParagraph& p = doc.Paragraphs()[static_cast<std::size_t>(doc.ParagraphIndexAt(start))];
  INFO_.CONTAINTEXT = !doc.Empty();
  INFO_.SELECTEDTEXT = start != end;
  INFO_.CANPASTE = !CLIPBOARD().empty() || !CLIPBOARDRTF().empty();
  INFO_.CANUNDO = !undo_.empty();
  INFO_.BOLD = f.bold;
  INFO_.ITALIC = f.italic;
  INFO_.UNDERLINE = f.underline;
  INFO_.STRIKEOUT = f.strikeout;
  INFO_.FONTNAME = f.font;
  INFO_.FONTSIZE = f.size / 20;
  INFO_.FONTCOLOR = f.color;
  INFO_.FONTOFFSET = f.offset / 20;
  INFO_.NUMBERING = p.bullet;
  INFO_.ALIGNMENT = static_cast<int>(p.alignment);
  INFO_.INDENTLEFT = p.start_indent / 20;
  INFO_.INDENTRIGHT = p.right_indent / 20;
  INFO_.INDENTOFFSET = p.offset / 20;
  INFO_.TABS = p.tabs;
  const int line = doc.ParagraphIndexAt(end);
  INFO_.LINENUMBER = line + 1;
  INFO_.CHARNUMBER = end - doc.ParagraphStart(line) + 1;
  INFO_.MAILOPEN = merge_template_.has_value();
  INFO_.MAILFILEBOF = mail_counter_ <= 1;
  INFO_.MAILFILEEOF = mail_counter_ >= MailCount();
  return window_->GetNumber(Prop::Focus) == editor_;
}

void LOCRICHEDITCLASS::UPDATEWINDOW() {
  if (!window_) return;
  // A user's edit since the last look is a step that UNDO can take back.
  READINFO();
  UPDATETABSTOPS();
  UPDATEBUTTONS();
}

void LOCRICHEDITCLASS::UPDATETABSTOPS() {
  if (!window_ || !ruler_) return;
  std::string stops;
  for (int t : INFO_.TABS) stops += (stops.empty() ? "" : "|") + std::to_string(t);
  Control& ruler = (*window_)[ruler_];
  if (ruler.Get(Prop::Value) != stops) ruler.Value(stops);
}

void LOCRICHEDITCLASS::UPDATEBUTTONS() {
  if (!window_) return;
  if (status_) {
    char indents[64];
    std::snprintf(indents, sizeof indents, "<= %+05d (%+05d) -- %+05d =>", INFO_.INDENTLEFT,
                  INFO_.INDENTOFFSET, INFO_.INDENTRIGHT);
    if (!merge_template_) window_->Status(1, FILENAME);
    window_->Status(2, "Line: " + std::to_string(INFO_.LINENUMBER) +
                           "   Col: " + std::to_string(INFO_.CHARNUMBER));
    window_->Status(3, indents);
    window_->Status(4, INFO_.MODIFIED ? "Modified" : "");
  }
  auto button = [&](const char* name) -> Control* {
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : window_->Find(it->second);
  };
  for (const char* name : {"NEW", "SAVE", "PRINT", "FIND", "REPLACE", "SELECTALL"})
    if (Control* c = button(name)) c->Disable(!INFO_.CONTAINTEXT);
  for (const char* name : {"COPY", "CUT"})
    if (Control* c = button(name)) c->Disable(!INFO_.SELECTEDTEXT);
  if (Control* c = button("PASTE")) c->Disable(!INFO_.CANPASTE);
  if (Control* c = button("UNDO")) c->Disable(!INFO_.CANUNDO);
  const std::pair<const char*, bool> states[] = {
      {"BOLD", INFO_.BOLD},           {"ITALIC", INFO_.ITALIC},    {"UNDERLINE", INFO_.UNDERLINE},
      {"STRIKEOUT", INFO_.STRIKEOUT}, {"BULLET", INFO_.NUMBERING}, {"MAILVIEW", INFO_.MAILOPEN}};
  for (const auto& [name, on] : states) {
    if (Control* c = button(name); c && c->Type() == ControlType::Check) c->Set(Prop::Value, on);
  }
  if (Control* c = button("ALIGNMENT")) c->Choose(INFO_.ALIGNMENT);
  if (Control* c = button("LISTFONTS")) ShowItem(*c, INFO_.FONTNAME);
  if (Control* c = button("LISTFONTSIZE")) ShowItem(*c, std::to_string(INFO_.FONTSIZE));
  for (const char* name : {"MAILINSERT", "MAILPRINT", "MAILFILTER"})
    if (Control* c = button(name)) c->Disable(INFO_.MAILOPEN);
  const bool few = MailCount() <= 1 || !INFO_.MAILOPEN;
  for (const char* name : {"MAILFIRST", "MAILPREVIOUS"})
    if (Control* c = button(name)) c->Disable(few || INFO_.MAILFILEBOF);
  for (const char* name : {"MAILNEXT", "MAILLAST"})
    if (Control* c = button(name)) c->Disable(few || INFO_.MAILFILEEOF);
}

// --- documents and files ----------------------------------------------------------------------

bool LOCRICHEDITCLASS::SaveQuestion() {
  if (merge_template_) return true;
  while (INFO_.MODIFIED) {
    const unsigned answer = MESSAGE("   Do you want to save modified document.", "Save Document",
                                    MessageIcon::Question, BUTTON_YES | BUTTON_NO | BUTTON_CANCEL);
    if (answer == BUTTON_CANCEL) return false;
    if (answer == BUTTON_NO) return true;
    SAVEDOC();
  }
  return true;
}

void LOCRICHEDITCLASS::NEWDOC() {
  if (!window_ || !SaveQuestion()) return;
  RichDocument doc;
  doc.Paragraphs().front().runs.front().format = default_format_;
  SetDocument(doc, false);
  Select(0, 0);
  undo_.clear();
  INFO_.MODIFIED = false;
  FILENAME = "(Untitled)";
  UPDATEWINDOW();
}

bool LOCRICHEDITCLASS::LoadText(const std::string& text, bool rtf) {
  std::optional<RichDocument> doc;
  if (rtf) doc = ReadRtf(text);
  // Text that does not read as RTF is shown as the text it is.
  if (!doc) doc = RichDocument::FromText(text, default_format_);
  SetDocument(*doc, false);
  Select(0, 0);
  undo_.clear();
  INFO_.MODIFIED = false;
  return true;
}

bool LOCRICHEDITCLASS::LOADDOC(std::string file) {
  if (!window_) return false;
  MAILSCREEN(false);
  if (!SaveQuestion()) return false;
  if (file.empty() &&
      !FILEDIALOG("Open Document", file,
                  "Rich Text Format (*.rtf)|*.RTF|Textdocuments (*.txt)|*.TXT|All Files (*.*)|*.*"))
    return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    MESSAGE("   Error reading file: " + std::string(std::strerror(errno)), "Read Error",
            MessageIcon::Exclamation);
    return false;
  }
  std::ostringstream bytes;
  bytes << in.rdbuf();
  LoadText(bytes.str(), Upper(Extension(file)) == ".RTF");
  FILENAME = file;
  UPDATEWINDOW();
  return true;
}

bool LOCRICHEDITCLASS::LOADDOC(const char* field, std::size_t length) {
  if (!window_) return false;
  if (!SaveQuestion()) return false;
  std::string_view text(field, strnlen(field, length));
  LoadText(std::string(CLIP(text)), true);
  UPDATEWINDOW();
  return true;
}

bool LOCRICHEDITCLASS::SAVEDOC(std::string file) {
  if (!window_) return false;
  if (file.empty() &&
      !FILEDIALOG("Save Document", file,
                  "Rich Text Format (*.rtf)|*.RTF|Tekstdocuments (*.txt)|*.TXT", FILE_Save))
    return false;
  std::string ext = Extension(file);
  if (ext.empty()) {
    file += ".rtf";
    ext = ".rtf";
  }
  const std::string kind = Upper(ext);
  if (kind != ".RTF" && kind != ".TXT") {
    MESSAGE("   Unknown file extension: \"" + ext + "\"\n   Extension must be *.RTF or *.TXT",
            "Save Error", MessageIcon::Exclamation);
    return false;
  }
  const RichDocument doc = Document();
  const std::string bytes = kind == ".RTF" ? WriteRtf(doc) : doc.PlainText();
  std::string why;
  if (!WriteWhole(file, bytes, why)) {
    MESSAGE("   Error saving file: " + why, "Save Error", MessageIcon::Exclamation);
    return false;
  }
  FILENAME = file;
  if (!merge_template_) INFO_.MODIFIED = false;
  UPDATEWINDOW();
  return true;
}

bool LOCRICHEDITCLASS::SAVEDOC(char* field, std::size_t length) {
  if (!window_) return false;
  const std::string rtf = WriteRtf(Document());
  // The field holds the text and the NUL that ends it.
  if (rtf.size() >= length) {
    MESSAGE("   The field variable is to small to hold the document.", "Stream Error",
            MessageIcon::Exclamation);
    return false;
  }
  std::memcpy(field, rtf.data(), rtf.size());
  std::memset(field + rtf.size(), 0, length - rtf.size());
  FILENAME.clear();
  if (!merge_template_) INFO_.MODIFIED = false;
  UPDATEWINDOW();
  return true;
}

bool LOCRICHEDITCLASS::PRINTDOC(bool showDialog) {
  (void)showDialog;  // the front end's print dialog always shows: it chooses printer or PDF
  if (!window_) return false;
  const RichDocument doc = Document();
  if (doc.Empty()) return false;
  report::PageImageQueue pages;
  pages.title = FILENAME;
  pages.pages = RichDocumentPages(doc, MARGINS);
  return report::PrintPages(pages);
}

// --- formatting -------------------------------------------------------------------------------

void LOCRICHEDITCLASS::TOGGLEFONTSTYLE(long style) {
  if (!window_) return;
  const RichCharFormat now = Document().FormatAt(SelStart());
  FormatSelection([&](RichCharFormat& f) {
    if (style == kBold) f.bold = !now.bold;
    if (style == kItalic) f.italic = !now.italic;
    if (style == kUnderline) f.underline = !now.underline;
    if (style == kStrikeout) f.strikeout = !now.strikeout;
  });
}

void LOCRICHEDITCLASS::TOGGLEALIGNMENT(int alignment) {
  if (alignment < 1 || alignment > 3) return;
  Modify([&](RichDocument& doc, long start, long end) {
    doc.ApplyParagraph(start, end,
                       [&](RichParagraph& p) { p.alignment = static_cast<RichAlign>(alignment); });
  });
}

void LOCRICHEDITCLASS::TOGGLENUMBERING(int offsetPoints) {
  Modify([&](RichDocument& doc, long start, long end) {
    const bool on = !doc.Paragraphs()[static_cast<std::size_t>(doc.ParagraphIndexAt(start))].bullet;
    doc.ApplyParagraph(start, end, [&](RichParagraph& p) {
      p.bullet = on;
      p.offset = on ? offsetPoints * 20 : 0;
    });
  });
}

void LOCRICHEDITCLASS::INDENT(int kind, int points) {
  Modify([&](RichDocument& doc, long start, long end) {
    doc.ApplyParagraph(start, end, [&](RichParagraph& p) {
      if (kind == 1) p.start_indent += points * 20;
      if (kind == 2) p.right_indent -= points * 20;
      if (kind == 3) p.offset += points * 20;
    });
  });
}

void LOCRICHEDITCLASS::SUBSUPERSCRIPT(int points) {
  FormatSelection([&](RichCharFormat& f) { f.offset += points * 20; });
}

void LOCRICHEDITCLASS::TOGGLETABSTOP(int twips) {
  Modify([&](RichDocument& doc, long start, long end) {
    std::vector<int> tabs =
        doc.Paragraphs()[static_cast<std::size_t>(doc.ParagraphIndexAt(start))].tabs;
    if (!ToggleTabStop(tabs, twips)) return;
    doc.ApplyParagraph(start, end, [&](RichParagraph& p) { p.tabs = tabs; });
  });
}

void LOCRICHEDITCLASS::FONT() {
  if (!window_) return;
  RichCharFormat chosen = Document().FormatAt(SelStart());
  if (!ChooseRichFont("Font", chosen, true)) return;
  FormatSelection([&](RichCharFormat& f) {
    const int offset = f.offset;
    f = chosen;
    f.offset = offset;
  });
}

void LOCRICHEDITCLASS::COLOR() {
  if (!window_) return;
  RichCharFormat chosen = Document().FormatAt(SelStart());
  if (!ChooseRichFont("Colour", chosen, false)) return;
  FormatSelection([&](RichCharFormat& f) { f.color = chosen.color; });
}

// --- editing ----------------------------------------------------------------------------------

void LOCRICHEDITCLASS::UNDO() {
  if (!window_ || undo_.empty()) return;
  Editor().Value(undo_.back());
  accepted_ = undo_.back();
  undo_.pop_back();
  INFO_.MODIFIED = true;
}

void LOCRICHEDITCLASS::COPY() {
  if (!window_ || SelStart() == SelEnd()) return;
  // The text, and beside it the same text formatted, which a rich-text paste takes instead.
  const RichDocument doc = Document();
  SETCLIPBOARD(doc.TextRange(SelStart(), SelEnd()),
               WriteRtf(RichDocumentRange(doc, SelStart(), SelEnd())));
}

void LOCRICHEDITCLASS::CUT() {
  if (!window_ || SelStart() == SelEnd()) return;
  COPY();
  long caret = SelStart();
  Modify([&](RichDocument& doc, long start, long end) { caret = doc.Replace(start, end, ""); });
  Select(caret, caret);
}

void LOCRICHEDITCLASS::PASTE() {
  if (!window_) return;
  // Formatted text keeps its formats; text alone takes the format of what it follows.
  const std::string rtf = CLIPBOARDRTF();
  const std::optional<RichDocument> rich = rtf.empty() ? std::nullopt : ReadRtf(rtf);
  const std::string text = CLIPBOARD();
  if ((!rich || rich->Empty()) && text.empty()) return;
  long caret = SelStart();
  Modify([&](RichDocument& doc, long start, long end) {
    caret = rich && !rich->Empty() ? doc.Insert(start, end, *rich) : doc.Replace(start, end, text);
  });
  Select(caret, caret);
}

void LOCRICHEDITCLASS::SELECTTEXT(std::optional<long> position) {
  if (!window_) return;
  const long length = Document().Length();
  if (!position) {
    Select(0, SelEnd());
  } else if (*position <= 0) {
    Select(0, length);
  } else {
    Select(SelStart(), length);
  }
}

void LOCRICHEDITCLASS::SETFOCUS() {
  if (window_) window_->Select(editor_);
}

void LOCRICHEDITCLASS::SHOWWINDOW(bool show) {
  if (window_) Editor().Hide(!show);
}

void LOCRICHEDITCLASS::FLATBUTTONS(bool flat) {
  flat_buttons_ = flat;
  if (!window_) return;
  for (const auto& [name, control] : buttons_) {
    if (Control* c = window_->Find(control); c && c->Type() == ControlType::Button)
      c->Set(Prop::Flat, flat);
  }
}

void LOCRICHEDITCLASS::FIXBUTTONS(WINDOWRESIZECLASS& resizer) {
  if (!window_) return;
  // The toolbar stays as the window's designer laid it out: a text button or a list would
  // otherwise stretch with the area as a picture button would, and gain nothing by it.
  for (const auto& [name, control] : buttons_)
    resizer.SetStrategy(control, WINDOWRESIZECLASS::FixTopLeft);
  resizer.SetStrategy(editor_, WINDOWRESIZECLASS::Stretch);
  if (ruler_) resizer.SetStrategy(ruler_, WINDOWRESIZECLASS::StretchWidth);
}

void LOCRICHEDITCLASS::LIMITSIZE(long bytes) { limit_ = std::max(0L, bytes); }

void LOCRICHEDITCLASS::TakeEdit() {
  if (!window_) return;
  const std::string now = Editor().Get(Prop::Value);
  if (limit_ > 0 && Document().Length() > limit_) {
    Editor().Value(accepted_);  // the text would not fit: the edit is taken back
    const long length = Document().Length();
    Select(length, length);
    return;
  }
  if (now != accepted_) {
    undo_.push_back(accepted_);
    INFO_.MODIFIED = true;
  }
  accepted_ = now;
}

}  // namespace vx
