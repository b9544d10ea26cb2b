// The rich-text editor's find and replace windows.
#include "datadll/addons/loc_rich_edit_class.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx {

bool LOCRICHEDITCLASS::FINDNEXT(std::string_view what, bool wholeWord, bool matchCase) {
  if (!window_ || what.empty()) return false;
  const RichDocument doc = Document();
  long hit = doc.Find(what, SelEnd(), wholeWord, matchCase);
  if (hit < 0) {
    const unsigned answer =
        MESSAGE("   \"" + std::string(what) + "\" not found.\n   Continue from start of file?",
                "Search", MessageIcon::Question, BUTTON_YES | BUTTON_NO);
    if (answer != BUTTON_YES) return false;
    Select(0, 0);
    hit = doc.Find(what, 0, wholeWord, matchCase);
    if (hit < 0) return false;
  }
  Select(hit, hit + Utf8Length(what));
  return true;
}

namespace {

// One window for both: Replace adds the replacement and its two buttons.
void FindWindow(LOCRICHEDITCLASS& editor, bool replace, std::string& what, std::string& with,
                bool& whole, bool& match_case) {
  Window window(replace ? "Replace Text" : "Find Text");
  window.Prompt("Find &text:");
  window.Entry(what, "@s80");
  if (replace) {
    window.Prompt("R&eplace with:");
    window.Entry(with, "@s80");
  }
  window.Check(" &Whole words only", whole);
  window.Check(" &Case sensitive search", match_case);
  Control& buttons = window.Row();
  const int next = buttons.Button("&Find Next").Default();
  const int one = replace ? buttons.Button("&Replace").Disable().Number() : 0;
  const int all = replace ? buttons.Button("Replace &all").Disable().Number() : 0;
  const int cancel = buttons.Button("Cancel");
  window.SetCancelButton(cancel);
  WindowManager manager(window);
  manager.CancelControl = cancel;
  auto find = [&] {
    manager.Update();
    const bool hit = editor.FINDNEXT(CLIP(what), whole, match_case);
    if (replace) {
      window[one].Disable(!hit);
      window[all].Disable(!hit);
    }
    return hit;
  };
  auto replace_one = [&] {
    RichDocument doc = editor.Document();
    const long start = editor.SelStart();
    const long end = doc.Replace(start, editor.SelEnd(), with);
    editor.SetDocument(doc);
    editor.Select(end, end);
  };
  manager.OnAccepted(next, [&] { find(); });
  if (replace) {
    manager.OnAccepted(one, [&] {
      manager.Update();
      replace_one();
      find();
    });
    manager.OnAccepted(all, [&] {
      manager.Update();
      // Replaces until the search finds nothing more after the last replacement.
      for (int guard = 0; guard < 100000; ++guard) {
        replace_one();
        const RichDocument doc = editor.Document();
        const long hit = doc.Find(CLIP(what), editor.SelEnd(), whole, match_case);
        if (hit < 0) break;
        editor.Select(hit, hit + Utf8Length(CLIP(what)));
      }
      window[one].Disable();
      window[all].Disable();
    });
  }
  manager.Run();
}

}  // namespace

void LOCRICHEDITCLASS::FINDTEXT() {
  if (!window_ || Document().Empty()) return;
  FindWindow(*this, false, find_text_, replace_text_, whole_word_, match_case_);
  UPDATEWINDOW();
}

void LOCRICHEDITCLASS::REPLACETEXT() {
  if (!window_ || Document().Empty()) return;
  FindWindow(*this, true, find_text_, replace_text_, whole_word_, match_case_);
  UPDATEWINDOW();
}

}  // namespace vx
