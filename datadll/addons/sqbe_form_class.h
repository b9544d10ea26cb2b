// An update form used as the search form of a search by example: its entries take the values
// to search for, the match type of an entry is chosen with the small button just before it
// (its picture shows the entry's match type), a right click on either, or the help button
// while the entry is current; the work button searches, and a record found is shown in the
// same form until the user edits it, finds the next or goes back to the criteria.
//
//   SQBE::FORMCLASS0 search;
//   search.INIT(...);  search.WINDOW = &form;  search.WINMGR = &manager;
//   search.HELPCONTROL = help;  search.WORKCONTROL = work;  search.OKCONTROL = ok;
//   search.CANCELCONTROL = cancel;
//   search.ADDFIELD("Name", "People", "PEO", "Name", SQBE::TYPE_STRING, "@s30", name_entry);
//   manager.OriginalRequest = SQBE::kSearchRequest;
//   search.PREPAREQBEWINDOW();
//   ... every event: if (search.TAKEEVENT(true) == 5) continue;
//
// The match-type button is made inside its entry (CONTROLRECORD::FLAG holds its number), which
// the front end draws in the entry's own cell, just before it: the form's layout stays as built.
#pragma once

#include "datadll/addons/sqbe_search_class.h"
#include "framework/window_manager.h"

namespace vx::SQBE {

inline constexpr long kSearchRequest = 8;  // the request that opens a form for searching

class FORMCLASS0 : public SEARCHCLASS0 {
 public:
  struct CONTROLRECORD {
    int FEQ = 0;
    std::string FILE, FIELD;
    int FLAG = 0;
  };

  void INIT(std::string_view source, BrowseView* view, BrowseClass* viewManager,
            std::string_view interface, bool supportSelect, bool supportSql, int defaultString,
            int defaultNumber, int defaultPicture, int defaultDate, int defaultOption,
            int defaultCheck, int defaultText);
  void KILL();
  void ADDFIELD(std::string_view display, std::string_view file, std::string_view prefix,
                std::string_view name, int type, std::string_view picture, int control);
  void RESETCONTROL() { CONTROLINDEX = 1; }
  int NEXTCONTROL();

  void PREPAREQBEWINDOW();
  void PREPAREUPDATEWINDOW(bool hide);
  void SETQBEWINDOW();
  void SETPREVIEWWINDOW();
  void UPDATEQBEWINDOW();
  // 5 when the event was the search form's (the form then does nothing more with it).
  int TAKEEVENT(bool force = true);

  Window* WINDOW = nullptr;
  WindowManager* WINMGR = nullptr;
  int SUPPORTEDIT = 1;
  std::string* ACTIONMESSAGE = nullptr;  // the form's action text; the title when unbound
  std::string NONQBES;                   // byte n nonzero: control n takes no part
  int HELPCONTROL = 0, WORKCONTROL = 0, OKCONTROL = 0, CANCELCONTROL = 0;
  bool MOVEWORKCONTROL = false;
  long* WINDOWX = nullptr;
  long* WINDOWY = nullptr;
  std::vector<CONTROLRECORD> CONTROL;
  long CONTROLINDEX = 0;
  int CURRENTCONTROL = 0;
  std::string OLDHELPTEXT, OLDWORKTEXT;
  bool PREVIEW = false;

 private:
  int EditLayout() const override { return SUPPORTEDIT; }
  CONTROLRECORD* ControlOf(int control);
  CONTROLRECORD* ControlOfButton(int button);
  void Action(std::string_view text);
  void SpecifyFor(int control);
};

}  // namespace vx::SQBE
