// A rich-text editor built over a placeholder control of a window: the document (runtime/window
// rich_document.h) lives in a rich edit control that the front end draws and edits in place;
// this class formats the selection, drives the toolbar buttons and lists the window registers,
// keeps the four-zone status bar, loads and saves ".RTF" and ".TXT" files or a text field, finds
// and replaces, prints through the page engine and merges the document with registered data.
//
//   Window window("Letter");
//   const int box = window.Text(unused);           // the placeholder: hidden, replaced
//   LOCRICHEDITCLASS editor;
//   editor.INIT(window, box, true);
//   editor.INITBUTTON("Bold", window.Button("&B"));
//   ... while (window.Accept()) if (EVENT() == EVENT_Accepted) editor.TAKEACCEPTED();
//   editor.KILL(true);
//
// Mail merge: a field is a label between "<<" and ">>" in the document. INITMAILFILE registers
// a data source whose labels are bound as expression names; a field's value is that name
// evaluated for the current record, and goes into the document as plain text (the RTF writer
// escapes it), never as RTF. Each record is merged from the template kept aside as a document,
// so there is no limit on the template's size. Merged values are never searched for fields.
//
// The class keeps nothing between windows; one object serves one editor.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "datadll/addons/rich_document_pages.h"
#include "framework/window_resize_class.h"
#include "runtime/expression/bindings.h"
#include "runtime/report/page_image.h"
#include "runtime/window/rich_document.h"
#include "runtime/window/window.h"

namespace vx {

// A data source for mail merge: its name (shown in the merge status), its field labels
// ("PRE:Name"), each bound in `fields` to its value in the current record, how many records it
// has, and how to make record n (from 1) current. Labels match without regard to case.
struct RichMailFile {
  std::string name;
  std::vector<std::string> labels;
  ExpressionBindings fields;
  std::function<long()> records;
  std::function<bool(long)> fetch;
};

class LOCRICHEDITCLASS {
 public:
  struct INFO {
    bool MODIFIED = false, CONTAINTEXT = false, SELECTEDTEXT = false, CANPASTE = false,
         CANUNDO = false;
    bool BOLD = false, ITALIC = false, UNDERLINE = false, STRIKEOUT = false, NUMBERING = false;
    int ALIGNMENT = 1;  // 1 left, 2 centre, 3 right
    std::string FONTNAME;
    int FONTSIZE = 10;  // points
    long FONTCOLOR = 0;
    int FONTOFFSET = 0;                                     // points
    int INDENTLEFT = 0, INDENTRIGHT = 0, INDENTOFFSET = 0;  // points
    long LINENUMBER = 1, CHARNUMBER = 1;
    bool MAILOPEN = false, MAILFILEBOF = true, MAILFILEEOF = true;
    std::vector<int> TABS;  // twips
  };

  LOCRICHEDITCLASS() = default;
  LOCRICHEDITCLASS(const LOCRICHEDITCLASS&) = delete;
  LOCRICHEDITCLASS& operator=(const LOCRICHEDITCLASS&) = delete;

  // Builds the editor over `placeholder` (hidden; its font, colour, read-only and disabled
  // state carry over). With `showToolbar` a ruler above the text shows the tab stops of the
  // caret's paragraph, and a click on it toggles a stop there. A read-only or disabled editor
  // gets no ruler or status bar.
  void INIT(Window& window, int placeholder, bool showToolbar = false, std::string_view text = {});
  // With `ask`: ends a merge view and asks to save a modified document; false when cancelled.
  bool KILL(bool ask = false);

  // Registers a toolbar control under its upper-cased name (table in TAKEACCEPTED).
  void INITBUTTON(std::string_view name, int control);
  // Dispatches the accepted control by its registered name; nothing for another control.
  void TAKEACCEPTED();
  void UPDATEWINDOW();
  // Shows the tab stops of the caret's paragraph (as READINFO read them) on the ruler.
  void UPDATETABSTOPS();
  bool READINFO();
  void UPDATEBUTTONS();

  void NEWDOC();
  // From a file (asked for when `file` is empty), or from a field's text.
  bool LOADDOC(std::string file = {});
  bool LOADDOC(const char* field, std::size_t length);
  // To a file (asked for when `file` is empty; no extension saves as ".rtf"; an extension other
  // than ".RTF" or ".TXT" is refused), or to a field of `length` bytes, which must be longer
  // than the RTF text (the rest is set to NUL).
  bool SAVEDOC(std::string file = {});
  bool SAVEDOC(char* field, std::size_t length);
  // Prints through the page engine within MARGINS: the print dialog, or the default printer.
  bool PRINTDOC(bool showDialog = false);
  // The margins window (in inches): OK keeps what was entered in MARGINS for every later
  // print; Cancel leaves them as they were. False when cancelled.
  bool PAGESETUP();

  void FINDTEXT();
  void REPLACETEXT();
  // The search behind both: from the end of the selection, selecting the hit; false on a miss.
  bool FINDNEXT(std::string_view what, bool wholeWord, bool matchCase);

  void FONT();
  void COLOR();
  void TOGGLEFONTSTYLE(long style);  // 700 bold, 4096 italic, 8192 underline, 16384 strikeout
  void TOGGLEALIGNMENT(int alignment);
  void TOGGLENUMBERING(int offsetPoints);
  void INDENT(int kind, int points);  // 1 start, 2 right, 3 offset
  void SUBSUPERSCRIPT(int points);
  // A click on the ruler, `twips` from its left end: adds or removes a tab stop there.
  void TOGGLETABSTOP(int twips);

  void UNDO();
  void CUT();
  void COPY();   // the selection as text, and beside it as RTF with its formats
  void PASTE();  // formatted when the clipboard holds formatted text, else its plain text
  // 0 or less: the whole text; above 0: from the selection's start to the end; omitted: from
  // the start of the text to the selection's end.
  void SELECTTEXT(std::optional<long> position = std::nullopt);
  void SETFOCUS();
  void SHOWWINDOW(bool show);
  // Every registered button drawn flat (or raised again), and the merge window's buttons too.
  void FLATBUTTONS(bool flat);
  // Sizing the free area the editor stands in by `resizer`: every registered button that shows
  // a picture, and every other registered toolbar control, keeps its place and size; the text
  // keeps its place and takes up the area's change of size; the ruler keeps its place and height
  // and takes up the change of width, so it stays as wide as the text below it.
  void FIXBUTTONS(WINDOWRESIZECLASS& resizer);
  // At most `bytes` characters of text (0: no limit): an edit that goes past it is taken back.
  void LIMITSIZE(long bytes);
  // Today's date or the time, in one of 12 forms chosen from a list, in place of the selection.
  void INSERTDATETIME();
  static std::vector<std::string> DateTimeChoices();

  // Mail merge.
  void INITMAILFILE(RichMailFile& file);
  // The merge window: insert a field, merge to screen or printer, move between records,
  // filter and order, print the merged record. Closing it ends the merge view.
  void MAILMERGE();
  void MAILINSERT();                        // the field picker, then as below
  void MAILINSERT(std::string_view label);  // "<<label>>" at the selection
  void MAILFILTER();                        // the filter and order window
  void MAILFILTER(std::string_view filter, std::string_view order);
  bool MAILSCREEN(bool on);
  // Moves 1 first, 2 previous, 3 next, 4 last (0 stays) and merges that record into the
  // document: 1 when every field was filled, 0 when a "<<" has no ">>" (the rest of that record
  // stays as it is) or there is no record. `name` receives the first field's label.
  int MAILLOCATE(int move, std::string* name = nullptr);
  bool MAILPRINTER();
  long MailRecord() const { return mail_counter_; }
  long MailCount() const { return static_cast<long>(mail_records_.size()); }

  // The document and selection as the control holds them now; setting them shows them.
  RichDocument Document() const;
  void SetDocument(const RichDocument& doc, bool modified = true);
  long SelStart() const;
  long SelEnd() const;
  void Select(long start, long end);

  INFO INFO_;
  std::string FILENAME = "(Untitled)";
  RichPageMargins MARGINS;  // kept between prints, as the page setup left them

 private:
  Control& Editor() const;
  void Modify(const std::function<void(RichDocument&, long, long)>& change);
  void FormatSelection(const std::function<void(RichCharFormat&)>& change);
  bool SaveQuestion();
  void TakeEdit();  // the user's edit in the control: a step to undo, or taken back
  bool LoadText(const std::string& text, bool rtf);
  std::string ListChoice(int control) const;
  bool ReadMailRecords();
  std::vector<report::PageImage> MergedPages();

  Window* window_ = nullptr;
  int editor_ = 0;
  int placeholder_ = 0;
  int ruler_ = 0;  // 0 without a ruler
  bool read_only_ = false;
  bool status_ = false;
  long limit_ = 0;
  std::string accepted_;                // the document as last taken, to go back to past the limit
  std::map<std::string, int> buttons_;  // upper-case name -> control
  std::vector<std::string> undo_;       // RTF of earlier states, the newest last
  RichCharFormat default_format_;
  // Mail merge.
  std::vector<RichMailFile*> mail_files_;
  RichMailFile* mail_ = nullptr;
  std::string mail_filter_, mail_order_;
  std::optional<RichDocument> merge_template_;
  bool merge_modified_ = false;
  std::string merge_name_;
  std::vector<long> mail_records_;
  long mail_counter_ = 0;
  std::size_t last_mail_file_ = 0;  // the field picker's file last chosen
  long last_date_time_ = 1;         // the date and time list's choice last made
  bool flat_buttons_ = false;
  // Find and replace.
  std::string find_text_, replace_text_;
  bool whole_word_ = false, match_case_ = false;
};

}  // namespace vx
