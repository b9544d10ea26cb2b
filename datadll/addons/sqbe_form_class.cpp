#include "datadll/addons/sqbe_form_class.h"

#include "runtime/events.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx::SQBE {

void FORMCLASS0::INIT(std::string_view source, BrowseView* view, BrowseClass* viewManager,
                      std::string_view interface, bool supportSelect, bool supportSql,
                      int defaultString, int defaultNumber, int defaultPicture, int defaultDate,
                      int defaultOption, int defaultCheck, int defaultText) {
  SEARCHCLASS0::INIT(source, view, viewManager, interface, supportSelect, supportSql, defaultString,
                     defaultNumber, defaultPicture, defaultDate, defaultOption, defaultCheck,
                     defaultText);
  CONTROL.clear();
  CONTROLINDEX = 0;
}

void FORMCLASS0::KILL() {
  CONTROL.clear();
  SEARCHCLASS0::KILL();
}

void FORMCLASS0::ADDFIELD(std::string_view display, std::string_view file, std::string_view prefix,
                          std::string_view name, int type, std::string_view picture, int control) {
  SEARCHCLASS0::ADDFIELD(display, file, prefix, name, type, picture);
  if (control != 0) CONTROL.push_back({control, CLIP(file), CLIP(name), 0});
}

int FORMCLASS0::NEXTCONTROL() {
  if (CONTROLINDEX < 1 || CONTROLINDEX > static_cast<long>(CONTROL.size())) {
    CONTROLINDEX = 0;
    return 5;
  }
  const CONTROLRECORD& c = CONTROL[static_cast<std::size_t>(CONTROLINDEX - 1)];
  ++CONTROLINDEX;
  SETFIELD(c.FILE, c.FIELD);
  return 0;
}

FORMCLASS0::CONTROLRECORD* FORMCLASS0::ControlOf(int control) {
  for (CONTROLRECORD& c : CONTROL)
    if (c.FEQ == control) return &c;
  return nullptr;
}

FORMCLASS0::CONTROLRECORD* FORMCLASS0::ControlOfButton(int button) {
  for (CONTROLRECORD& c : CONTROL)
    if (c.FLAG != 0 && c.FLAG == button) return &c;
  return nullptr;
}

void FORMCLASS0::Action(std::string_view text) {
  if (ACTIONMESSAGE) {
    *ACTIONMESSAGE = text;
    if (WINDOW) WINDOW->Display();
  } else if (WINDOW) {
    WINDOW->Title(text);
  }
}

void FORMCLASS0::PREPAREQBEWINDOW() {
  if (!WINDOW) return;
  CURRENTCONTROL = 0;
  for (const auto& c : WINDOW->Controls()) {
    const int n = c->Number();
    const bool left_out = n < static_cast<int>(NONQBES.size()) && NONQBES[n] != 0 &&
                          NONQBES[n] != '0' && NONQBES[n] != ' ';
    if (left_out) c->Hide();
    c->Required(false);  // a search leaves most entries empty
    if (c->Type() == ControlType::Entry || c->Type() == ControlType::Text ||
        c->Type() == ControlType::Spin || c->Type() == ControlType::Combo)
      c->Value("");
  }
  if (WORKCONTROL) (*WINDOW)[WORKCONTROL].Unhide().Enable().Default();
  if (OKCONTROL) (*WINDOW)[OKCONTROL].Hide();
  for (CONTROLRECORD& c : CONTROL) {
    Control& entry = (*WINDOW)[c.FEQ];
    std::string picture = entry.Get(Prop::Picture);
    if (!picture.empty() && (picture.back() == 'B' || picture.back() == 'b')) picture.pop_back();
    entry.Set(Prop::Picture, picture);
    entry.Alert(MouseRight);  // the entry's match type
    // Its match-type button, made once however often the form turns into a search form.
    if (c.FLAG == 0 || !WINDOW->Find(c.FLAG)) c.FLAG = entry.Button("").Alert(MouseRight);
    (*WINDOW)[c.FLAG].Unhide();
  }
  UPDATEQBEWINDOW();
  Action("Enter Search Criteria");
  if (WINMGR) WINMGR->Response = RequestCancelled;
}

void FORMCLASS0::UPDATEQBEWINDOW() {
  if (!WINDOW) return;
  for (const CONTROLRECORD& c : CONTROL) {
    if (SETFIELD(c.FILE, c.FIELD) != 0) continue;
    const FIELDRECORD& f = *Current();
    Control& entry = (*WINDOW)[c.FEQ];
    entry.Value(f.CRITERIA.empty() ? std::string() : f.CRITERIA.front().VALUE);
    const int icon = f.CRITERIA.empty()      ? MATCHTYPE_IGNOREFIELD
                     : f.CRITERIA.size() > 1 ? kMultipleIcon
                                             : f.CRITERIA.front().TYPE;
    std::string tip;
    for (char ch :
         icon == kMultipleIcon ? std::string_view("Several criteria") : MatchTypeText(icon))
      if (ch != '&') tip += ch;
    entry.Tip(tip);
    if (Control* button = c.FLAG ? WINDOW->Find(c.FLAG) : nullptr)
      button->Icon(MatchTypeIcon(icon)).Tip(tip);
  }
  if (CURRENTCONTROL)
    WINDOW->Select(CURRENTCONTROL);
  else if (!CONTROL.empty())
    WINDOW->Select(CONTROL.front().FEQ);
}

void FORMCLASS0::SETPREVIEWWINDOW() {
  PREVIEW = true;
  if (HELPCONTROL) {
    OLDHELPTEXT = (*WINDOW)[HELPCONTROL].TextValue();
    (*WINDOW)[HELPCONTROL].SetText("&Edit This");
  }
  if (WORKCONTROL) {
    OLDWORKTEXT = (*WINDOW)[WORKCONTROL].TextValue();
    (*WINDOW)[WORKCONTROL].SetText("&Find Next");
  }
  Action("Edit This Record?");
  for (const CONTROLRECORD& c : CONTROL) (*WINDOW)[c.FEQ].ReadOnly();
}

void FORMCLASS0::SETQBEWINDOW() {
  PREVIEW = false;
  if (HELPCONTROL) (*WINDOW)[HELPCONTROL].SetText(OLDHELPTEXT);
  if (WORKCONTROL) (*WINDOW)[WORKCONTROL].SetText(OLDWORKTEXT);
  for (const CONTROLRECORD& c : CONTROL) (*WINDOW)[c.FEQ].ReadOnly(false);
  Action("Enter Search Criteria");
  UPDATEQBEWINDOW();
}

void FORMCLASS0::PREPAREUPDATEWINDOW(bool hide) {
  for (int control : {HELPCONTROL, WORKCONTROL}) {
    if (!control) continue;
    if (hide)
      (*WINDOW)[control].Hide();
    else
      (*WINDOW)[control].Disable();
  }
  for (const CONTROLRECORD& c : CONTROL)
    if (Control* button = c.FLAG ? WINDOW->Find(c.FLAG) : nullptr) button->Hide();
  if (OKCONTROL) (*WINDOW)[OKCONTROL].Unhide().Default();
  if (WINMGR && WINMGR->Request == 2 && WINDOWX && WINDOWY && (*WINDOWX || *WINDOWY))
    WINDOW->Set(Prop::X, *WINDOWX).Set(Prop::Y, *WINDOWY);
  if (WINDOWX) *WINDOWX = 0;
  if (WINDOWY) *WINDOWY = 0;
}

void FORMCLASS0::SpecifyFor(int control) {
  const CONTROLRECORD* c = ControlOf(control);
  if (!c || SETFIELD(c->FILE, c->FIELD) != 0) return;
  SPECIFYMATCHTYPE();
  UPDATEQBEWINDOW();
}

int FORMCLASS0::TAKEEVENT(bool force) {
  if (!WINDOW || !WINMGR || WINMGR->OriginalRequest != kSearchRequest) return 0;
  // Without `force` every event of the search form counts as the search's.
  const int handled = 5, passed = force ? 0 : 5;
  const int event = EVENT(), field = vx::FIELD();
  if (event == EVENT_Selected) {
    if (ControlOf(field)) CURRENTCONTROL = field;
    return passed;
  }
  // The match-type button of an entry, or a right click on either.
  const CONTROLRECORD* by_button = ControlOfButton(field);
  const CONTROLRECORD* by_entry = ControlOf(field);
  if ((event == EVENT_AlertKey && KEYCODE() == MouseRight && (by_entry || by_button)) ||
      (event == EVENT_Accepted && by_button)) {
    CURRENTCONTROL = by_button ? by_button->FEQ : field;
    SpecifyFor(CURRENTCONTROL);
    return handled;
  }
  if (event != EVENT_Accepted) return passed;
  if (CONTROLRECORD* c = ControlOf(field)) {
    if (PREVIEW) return handled;
    if (SETFIELD(c->FILE, c->FIELD) != 0) return handled;
    FIELDRECORD& f = *Current();
    const std::string text = CLIP((*WINDOW)[field].Get(Prop::Value));
    if (!f.CRITERIA.empty()) {
      f.CRITERIA.front().VALUE = text;
      Normalise(f, f.CRITERIA.front());
    } else if (const int match = DefaultMatch(f.TYPE); match != 0) {
      const bool ranged = match == MATCHTYPE_INSIDERANGE || match == MATCHTYPE_OUTSIDERANGE;
      ADDCRITERION(match, text, ranged ? text : std::string());
    } else {
      (*WINDOW)[field].Value("");
    }
    CURRENTCONTROL = field;
    UPDATEQBEWINDOW();
    return handled;
  }
  if (field == HELPCONTROL && HELPCONTROL) {
    if (PREVIEW) {
      // Edit This: the record found is read again and opened for change where the form was.
      if (VIEW) VIEW->Fetch(VIEW->Position());
      if (WINDOWX) *WINDOWX = WINDOW->GetNumber(Prop::X);
      if (WINDOWY) *WINDOWY = WINDOW->GetNumber(Prop::Y);
      WINMGR->Response = 10;
      WINDOW->Post(EVENT_CloseWindow);
    } else if (CURRENTCONTROL) {
      SpecifyFor(CURRENTCONTROL);
    } else {
      MESSAGE(
          "You must select a field before pressing this button.\n\nAlternatively, you could "
          "press the right mouse button when the mouse cursor is positioned over the field.",
          "Select Field First", MessageIcon::Exclamation);
    }
    return handled;
  }
  if (field == WORKCONTROL && WORKCONTROL) {
    if (PREVIEW) {
      if (WORK(true) != 10) SETQBEWINDOW();
      return handled;
    }
    const int result = WORK();
    if (result == 11) {
      WINMGR->Response = 11;
      WINDOW->Post(EVENT_CloseWindow);
    } else if (result == 10) {
      SETPREVIEWWINDOW();
    }
    return handled;
  }
  if (field == CANCELCONTROL && CANCELCONTROL && PREVIEW) {
    SETQBEWINDOW();
    return handled;
  }
  return passed;
}

}  // namespace vx::SQBE
