// Search by example: an application lists the fields a user may search, the user states for
// each one or more criteria (a match type and a value, or two limits for a range), and the class
// turns them into one filter expression for a browse, then finds the first matching record or
// tags every match.
//
//   SQBE::SEARCHCLASS0 search;
//   search.INIT("Customers", &view, &browse, "", true, false, 1, 1, 1, 1, 1, 1, 11);
//   search.ADDFIELD("Name", "Customers", "CUS", "Name", SQBE::TYPE_STRING, "@s30");
//   search.SETFIELD("Customers", "Name");
//   search.ADDCRITERION(SQBE::MATCHTYPE_BEGINSWITH, "O'Br");
//   if (search.WORK() == 10) ...  // the first match is in the record buffer
//
// The filter is an expression for the runtime's evaluator over the names the browse binds
// (PREFIX:NAME). What the user typed only ever stands in it as a quoted text constant, or as a
// number or day number it was read as; a value that a number, date or check field cannot take
// stops the search with a message, and nothing is cut: a filter of any length is built whole.
// The filter always goes to the browse (SUPPORTSQL is kept for the caller and builds no SQL).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/browse_class.h"

namespace vx::SQBE {

// Field types.
inline constexpr int TYPE_STRING = 1, TYPE_NUMBER = 2, TYPE_PICTURE = 3, TYPE_DATE = 4,
                     TYPE_TEXT = 5, TYPE_CHECK = 6, TYPE_OPTION = 7, TYPE_NUMBER2 = 8;

// The search's spinner after `step` records read ("|", "/", "--", "\" in turn), and the
// progress line: the spinner and the matches so far ("/  2 Found").
std::string_view Spinner(long step);
std::string SearchProgressText(long step, long matches);

// Match types (also the number of each one's icon).
inline constexpr int MATCHTYPE_IGNOREFIELD = 0, MATCHTYPE_EQUALS = 1, MATCHTYPE_NOTEQUALS = 2,
                     MATCHTYPE_MORETHAN = 3, MATCHTYPE_LESSTHAN = 4, MATCHTYPE_MOREOREQUAL = 5,
                     MATCHTYPE_LESSOREQUAL = 6, MATCHTYPE_INSIDERANGE = 7,
                     MATCHTYPE_OUTSIDERANGE = 8, MATCHTYPE_BEGINSWITH = 9, MATCHTYPE_ENDSWITH = 10,
                     MATCHTYPE_CONTAINS = 11, MATCHTYPE_NOTCONTAINS = 12, MATCHTYPE_EQMTH = 13,
                     MATCHTYPE_EQDAY = 14, MATCHTYPE_EQYEAR = 15, MATCHTYPE_EQMTHDAY = 16,
                     MATCHTYPE_EQYRMTH = 17;
inline constexpr int kMultipleIcon = 100;  // a field with several criteria

// The radio text and icon of each match type (0 to 17), and whether a field type offers it.
std::string_view MatchTypeText(int match);
std::string_view MatchTypeIcon(int match);
bool Offers(int fieldType, int match);

struct CRITERION {
  int TYPE = 0;
  std::string DISPLAY, VALUE, LIMIT;
};

struct FIELDRECORD {
  int CRITERIACOUNT = 0;
  std::string DISPLAY, FILE, PREFIX, NAME;
  int TYPE = 0;
  std::string PICTURE;
  std::vector<CRITERION> CRITERIA;
};

class SEARCHCLASS0 {
 public:
  virtual ~SEARCHCLASS0() = default;

  // `view` is walked for matches; `viewManager` takes the filter (its Bindings name the
  // fields). Either may be null for a search that only builds filters.
  void INIT(std::string_view source, BrowseView* view, BrowseClass* viewManager,
            std::string_view interface, bool supportSelect, bool supportSql, int defaultString,
            int defaultNumber, int defaultPicture, int defaultDate, int defaultOption,
            int defaultCheck, int defaultText);
  void KILL();

  void ADDFIELD(std::string_view display, std::string_view file, std::string_view prefix,
                std::string_view name, int type, std::string_view picture);
  int SETFIELD(std::string_view file, std::string_view name);  // 0 found, 5 not
  void RESETFIELD() { FIELDINDEX = 1; }
  int NEXTFIELD();
  void ADDCRITERION(int matchType, std::string_view value = {}, std::string_view limit = {});
  void CLEANALLCRITERIA();
  void EMPTYALLCRITERIA();
  bool CHECKCRITERIONENTERED() const;
  // The criterion's display text, as stored with it.
  std::string DisplayOf(const FIELDRECORD& field, const CRITERION& criterion) const;

  // The filter of every criterion, or nothing when a value does not fit its field (`error`
  // then names the field and the value).
  std::optional<std::string> BUILDFILTER(std::string* error = nullptr);
  // Builds the filter and hands it to the view manager; false (after a message) when it cannot
  // be built or read.
  bool OPENVIEW();
  // Runs a search: 10 a match is in the buffer, 11 every match was tagged or untagged, 2
  // nothing found or cancelled.
  int WORK(bool findNext = false);
  // The wizard: 0 finished, 3 cancelled.
  int RUNWIZARD();
  // The Specify Match Type window for the current field: its icon number, -1 cancelled.
  int SPECIFYMATCHTYPE();
  // The value window for one criterion: true when OK was pressed.
  bool ENTERVALUE(CRITERION& criterion, int fieldType);

  // Hooks for the application.
  virtual int LOAD(long = 0) { return 1; }
  virtual int SAVE(long = 0) { return 1; }
  virtual std::string FSTTAG() { return {}; }
  virtual void NEWTAG() {}
  virtual void SETTAG() {}
  virtual void CLRTAG() {}
  virtual bool CHECKHIDDENCRITERIA() { return false; }
  virtual void SUMMARIZECRITERIA() {}

  std::string SOURCE, INTERFACE;
  BrowseView* VIEW = nullptr;
  BrowseClass* VIEWMGR = nullptr;
  std::vector<FIELDRECORD> FIELD;  // kept ordered by FILE, then NAME
  long FIELDINDEX = 0;
  bool SUPPORTSELECT = false, SUPPORTSQL = false;
  int DEFAULTMATCH_STRING = 0, DEFAULTMATCH_NUMBER = 0, DEFAULTMATCH_PICTURE = 0,
      DEFAULTMATCH_DATE = 0, DEFAULTMATCH_OPTION = 0, DEFAULTMATCH_CHECK = 0, DEFAULTMATCH_TEXT = 0;
  int WIZARDPAGE = 1;
  std::string FILTER;  // the filter last handed to the view manager

 protected:
  FIELDRECORD* Current();
  int DefaultMatch(int type) const;
  void Normalise(const FIELDRECORD& field, CRITERION& criterion) const;
  // The next match into the buffer; false at the end of the view. `read`, when given, is told of
  // every record read and stops the walk by answering false.
  bool FindMatch(const std::function<bool()>& read = {});
  // The next match with the "Searching for Matching Records" window open meanwhile (Edit and
  // Find Next): a spinner that turns as records are read, the matches so far and Cancel.
  // 1 found, 0 none left, -1 cancelled.
  int FindMatchShown();
  // The Begin Search window: 1 Edit, 2 Select, 3 Unselect, 0 Cancel.
  int BeginSearch();
  // Where Begin Search puts "&Edit": 0 not offered, 1 first (the default), 2 after the others.
  virtual int EditLayout() const { return 1; }
  // Tags (2) or untags (3) every match, a batch on each tick of the "Searching for Matching
  // Records" window so that the program's other work goes on: 11 done, 2 none or cancelled.
  int TagMatches(int action);

  long current_ = -1;  // the field SETFIELD or NEXTFIELD positioned on
  long matches_ = 0;
  long read_ = 0;  // records read since the view was opened: the spinner's step
};

}  // namespace vx::SQBE
