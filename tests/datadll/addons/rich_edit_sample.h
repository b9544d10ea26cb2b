// A sample window of the rich-text editor for the tests: a toolbar of the editor's buttons and
// lists above a placeholder the editor replaces, run until closed. `setup` runs on the window's
// thread once the editor is built (a test registers merge data or loads a document there).
#pragma once

#include <functional>
#include <string>

#include "datadll/addons/loc_rich_edit_class.h"
#include "framework/window_resize_class.h"
#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx::test {

inline void RunRichEditSample(const std::function<void(LOCRICHEDITCLASS&)>& setup = {},
                              std::string_view text = {},
                              std::string_view title = "Rich Text Sample") {
  Window window(title);
  window.Set(Prop::Width, 560L).Set(Prop::Height, 340L);
  LOCRICHEDITCLASS editor;
  // Two rows of tools, so that the window need not be wider than the text it edits: the
  // document's, then the selection's.
  Control& document_bar = window.Row();
  Control& selection_bar = window.Row();
  struct Tool {
    const char* name;
    const char* text;
    const char* tip;
  };
  const Tool tools[] = {{"New", "New", "New document"},
                        {"Open", "Open...", "Open a document"},
                        {"Save", "Save...", "Save"},
                        {"PageSetup", "Page Setup...", "Page margins"},
                        {"Print", "Print...", "Print"},
                        {"Find", "Find...", "Find"},
                        {"Replace", "Replace...", "Replace"},
                        {"Cut", "Cut", "Cut"},
                        {"Copy", "Copy", "Copy"},
                        {"Paste", "Paste", "Paste"},
                        {"Bold", "B", "Bold"},
                        {"Italic", "I", "Italic"},
                        {"Underline", "U", "Underline"},
                        {"Bullet", "Bullets", "Bullets"},
                        {"Superscript", "x\u00b2", "Superscript"},
                        {"Subscript", "x\u2082", "Subscript"}};
  std::vector<std::pair<const char*, int>> buttons;
  for (const Tool& t : tools) {
    Control& bar = buttons.size() < 7 ? document_bar : selection_bar;  // New to Replace first
    buttons.emplace_back(t.name, bar.Button(t.text).Tip(t.tip));
  }
  Control& lists = window.Row();
  std::string face, size, align;
  lists.Prompt("&Font:");
  const int fonts = lists.DropList(face);
  lists.Prompt("&Size:");
  const int sizes = lists.DropList(size);
  lists.Prompt("&Align:");
  const int alignment = lists.DropList(align, "Left|Centre|Right");
  std::string unused;
  const int box = window.Text(unused);
  window.Open();
  editor.INIT(window, box, true, text);
  for (const auto& [name, control] : buttons) editor.INITBUTTON(name, control);
  editor.INITBUTTON("ListFonts", fonts);
  editor.INITBUTTON("ListFontSize", sizes);
  editor.INITBUTTON("Alignment", alignment);
  if (setup) setup(editor);
  editor.UPDATEWINDOW();
  while (window.Accept()) {
    // One event a turn: after a button that opened a window of its own, EVENT() tells that
    // window's last event (its closing), which is not this window's.
    if (EVENT() == EVENT_Accepted)
      editor.TAKEACCEPTED();
    else if (EVENT() == EVENT_CloseWindow && !editor.KILL(true))
      window.Cycle();
  }
}

// An editor in a free area that grows with its window (WINDOWRESIZECLASS): picture buttons for
// cut and paste, a "Find..." button of text alone and the editor below them, all registered
// with FIXBUTTONS, so the buttons keep their place and size and the editor takes up the growth.
inline void RunFreeRichEditSample() {
  Window window("Free Editor");
  Control& area = window.Free();
  area.Place(0, 0, 300, 200);
  const int cut = area.Button("").Icon("cut.ico").Tip("Cut").Place(2, 2, 16, 14);
  const int paste = area.Button("").Icon("clip.ico").Tip("Paste").Place(20, 2, 16, 14);
  const int find = area.Button("Find...").Place(40, 2, 50, 14);
  std::string unused;
  const int box = area.Text(unused).Place(2, 20, 296, 178);
  window.Open();
  LOCRICHEDITCLASS editor;
  editor.INIT(window, box, true);
  editor.INITBUTTON("Cut", cut);
  editor.INITBUTTON("Paste", paste);
  editor.INITBUTTON("Find", find);
  WINDOWRESIZECLASS resizer;
  resizer.Init(window, area);
  editor.FIXBUTTONS(resizer);
  while (window.Accept()) {
    resizer.TakeEvent();
    if (EVENT() == EVENT_Accepted) editor.TAKEACCEPTED();
  }
  editor.KILL();
}

}  // namespace vx::test
