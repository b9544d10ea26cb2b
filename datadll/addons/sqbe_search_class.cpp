#include "datadll/addons/sqbe_search_class.h"

#include <algorithm>
#include <cctype>

#include "runtime/dates.h"
#include "runtime/expression/evaluate.h"
#include "runtime/pictures.h"
#include "runtime/text_functions.h"
#include "runtime/window/dialogs.h"

namespace vx::SQBE {
namespace {

constexpr std::string_view kTexts[] = {"&Ignore this field",
                                       "&Equals",
                                       "&Does not equal",
                                       "&More than",
                                       "&Less than",
                                       "More &than or equal",
                                       "Less t&han or equal",
                                       "Inside &range",
                                       "&Outside range",
                                       "&Begins with",
                                       "E&nds with",
                                       "&Contains",
                                       "Doe&s not contain",
                                       "I&n this month of each year",
                                       "On this d&ay of each month",
                                       "In this &year",
                                       "On thi&s month + day",
                                       "I&n this year + month"};
constexpr std::string_view kIcons[] = {
    "~SQBE_IG.ICO", "~SQBE_EQ.ICO",  "~SQBE_NEQ.ICO", "~SQBE_GT.ICO", "~SQBE_LT.ICO",
    "~SQBE_GE.ICO", "~SQBE_LE.ICO",  "~SQBE_IR.ICO",  "~SQBE_OR.ICO", "~SQBE_BW.ICO",
    "~SQBE_EW.ICO", "~SQBE_CO.ICO",  "~SQBE_NCO.ICO", "~SQBE_EM.ICO", "~SQBE_ED.ICO",
    "~SQBE_EY.ICO", "~SQBE_EMD.ICO", "~SQBE_EYM.ICO"};

std::string_view WithoutAccelerator(std::string_view text, std::string& out) {
  out.clear();
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

bool TextForm(int type) { return type == TYPE_STRING || type == TYPE_TEXT || type == TYPE_OPTION; }

// A text constant of the expression language: the text between single quotes, each quote in it
// doubled, so nothing in it is ever read as part of the expression.
std::string Quoted(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

bool NameCharacter(char c, bool first) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
         (!first && std::isdigit(static_cast<unsigned char>(c)));
}

// PREFIX:NAME, when both are names (the application's, but they go into the expression as they
// are, so they are checked like everything else that does).
std::optional<std::string> FieldReference(const FIELDRECORD& f) {
  auto name = [](std::string_view n) {
    if (n.empty()) return false;
    for (std::size_t i = 0; i < n.size(); ++i)
      if (!NameCharacter(n[i], i == 0)) return false;
    return true;
  };
  if (!name(f.NAME) || (!f.PREFIX.empty() && !name(f.PREFIX))) return std::nullopt;
  return f.PREFIX.empty() ? f.NAME : f.PREFIX + ":" + f.NAME;
}

std::string Trimmed(std::string_view text) {
  std::string out = CLIP(text);
  while (!out.empty() && out.front() == ' ') out.erase(0, 1);
  return out;
}

// A decimal number as the user wrote it ("-12", "3.50", "+7"), or nothing.
std::optional<std::string> Number(std::string_view text) {
  std::string t = Trimmed(text);
  if (t.empty()) return std::nullopt;
  std::size_t i = 0;
  if (t[0] == '-' || t[0] == '+') ++i;
  bool digits = false, point = false;
  for (std::size_t k = i; k < t.size(); ++k) {
    if (std::isdigit(static_cast<unsigned char>(t[k]))) {
      digits = true;
    } else if (t[k] == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  if (t[0] == '+') t.erase(0, 1);
  return t;
}

// A date as a day number: the number itself, or a date in the field's picture.
std::optional<long> DayNumber(std::string_view text, const std::string& picture) {
  if (auto n = Number(text); n && n->find('.') == std::string::npos && (*n)[0] != '-')
    return std::stol(*n);
  const std::string day = DEFORMAT(Trimmed(text), picture.empty() ? "@d6" : picture);
  const auto n = Number(day);
  if (!n || *n == "0") return std::nullopt;
  return std::stol(*n);
}

}  // namespace

std::string_view MatchTypeText(int match) {
  return match >= 0 && match <= 17 ? kTexts[match] : std::string_view();
}
std::string_view MatchTypeIcon(int match) {
  if (match == kMultipleIcon) return "~SQBE_MV.ICO";
  return match >= 0 && match <= 17 ? kIcons[match] : std::string_view();
}

bool Offers(int type, int match) {
  if (match < 0 || match > 17) return false;
  if (match <= 2) return true;
  const bool ordered = type == TYPE_STRING || type == TYPE_NUMBER || type == TYPE_PICTURE ||
                       type == TYPE_DATE || type == TYPE_NUMBER2;
  if (match <= 8) return ordered;
  if (match <= 10) return type == TYPE_STRING || type == TYPE_PICTURE || type == TYPE_TEXT;
  if (match <= 12) return type == TYPE_STRING || type == TYPE_TEXT;
  return type == TYPE_DATE;
}

void SEARCHCLASS0::INIT(std::string_view source, BrowseView* view, BrowseClass* viewManager,
                        std::string_view interface, bool supportSelect, bool supportSql,
                        int defaultString, int defaultNumber, int defaultPicture, int defaultDate,
                        int defaultOption, int defaultCheck, int defaultText) {
  SOURCE = source;
  VIEW = view;
  VIEWMGR = viewManager;
  INTERFACE = interface;
  SUPPORTSELECT = supportSelect;
  SUPPORTSQL = supportSql;
  DEFAULTMATCH_STRING = defaultString;
  DEFAULTMATCH_NUMBER = defaultNumber;
  DEFAULTMATCH_PICTURE = defaultPicture;
  DEFAULTMATCH_DATE = defaultDate;
  DEFAULTMATCH_OPTION = defaultOption;
  DEFAULTMATCH_CHECK = defaultCheck;
  DEFAULTMATCH_TEXT = defaultText;
  FIELD.clear();
  FIELDINDEX = 0;
  WIZARDPAGE = 1;
  current_ = -1;
}

void SEARCHCLASS0::KILL() {
  FIELD.clear();
  current_ = -1;
}

void SEARCHCLASS0::ADDFIELD(std::string_view display, std::string_view file,
                            std::string_view prefix, std::string_view name, int type,
                            std::string_view picture) {
  FIELDRECORD f;
  f.DISPLAY = display;
  f.FILE = CLIP(file);
  f.PREFIX = CLIP(prefix);
  f.NAME = CLIP(name);
  f.TYPE = type;
  f.PICTURE = CLIP(picture);
  // A trailing B (blank when zero) is a display matter; a search value of 0 must show.
  if (!f.PICTURE.empty() && (f.PICTURE.back() == 'B' || f.PICTURE.back() == 'b'))
    f.PICTURE.pop_back();
  auto at = std::upper_bound(FIELD.begin(), FIELD.end(), f, [](const auto& a, const auto& b) {
    return std::tie(a.FILE, a.NAME) < std::tie(b.FILE, b.NAME);
  });
  current_ = at - FIELD.begin();
  FIELD.insert(at, std::move(f));
}

int SEARCHCLASS0::SETFIELD(std::string_view file, std::string_view name) {
  for (std::size_t i = 0; i < FIELD.size(); ++i) {
    if (FIELD[i].FILE == CLIP(file) && FIELD[i].NAME == CLIP(name)) {
      current_ = static_cast<long>(i);
      return 0;
    }
  }
  return 5;
}

int SEARCHCLASS0::NEXTFIELD() {
  if (FIELDINDEX < 1 || FIELDINDEX > static_cast<long>(FIELD.size())) {
    FIELDINDEX = 0;
    return 5;
  }
  current_ = FIELDINDEX - 1;
  ++FIELDINDEX;
  return 0;
}

FIELDRECORD* SEARCHCLASS0::Current() {
  return current_ >= 0 && current_ < static_cast<long>(FIELD.size()) ? &FIELD[current_] : nullptr;
}

int SEARCHCLASS0::DefaultMatch(int type) const {
  switch (type) {
    case TYPE_STRING:
      return DEFAULTMATCH_STRING;
    case TYPE_NUMBER:
    case TYPE_NUMBER2:
      return DEFAULTMATCH_NUMBER;
    case TYPE_PICTURE:
      return DEFAULTMATCH_PICTURE;
    case TYPE_DATE:
      return DEFAULTMATCH_DATE;
    case TYPE_TEXT:
      return DEFAULTMATCH_TEXT;
    case TYPE_CHECK:
      return DEFAULTMATCH_CHECK;
    case TYPE_OPTION:
      return DEFAULTMATCH_OPTION;
    default:
      return 0;
  }
}

void SEARCHCLASS0::Normalise(const FIELDRECORD& field, CRITERION& c) const {
  if (!TextForm(field.TYPE) && c.TYPE != 0 && c.VALUE.empty()) c.VALUE = "0";
  if (field.TYPE == TYPE_NUMBER2 && c.LIMIT.empty()) c.LIMIT = "0";
  c.DISPLAY = DisplayOf(field, c);
}

std::string SEARCHCLASS0::DisplayOf(const FIELDRECORD& field, const CRITERION& c) const {
  if (c.TYPE == 0) return {};
  const bool text = TextForm(field.TYPE);
  auto side = [&](const std::string& v) {
    if (text) return v.empty() ? std::string("[blank]") : v;
    return Trimmed(FORMAT(v, field.PICTURE));
  };
  if (c.TYPE == MATCHTYPE_INSIDERANGE || c.TYPE == MATCHTYPE_OUTSIDERANGE)
    return side(c.VALUE) + " ... " + side(c.LIMIT);
  return side(c.VALUE);
}

void SEARCHCLASS0::ADDCRITERION(int matchType, std::string_view value, std::string_view limit) {
  FIELDRECORD* f = Current();
  if (!f) return;
  CRITERION c;
  c.TYPE = matchType;
  c.VALUE = CLIP(value);
  c.LIMIT = CLIP(limit);
  Normalise(*f, c);
  f->CRITERIA.push_back(std::move(c));
  f->CRITERIACOUNT = static_cast<int>(f->CRITERIA.size());
}

void SEARCHCLASS0::CLEANALLCRITERIA() {
  for (FIELDRECORD& f : FIELD) {
    std::erase_if(f.CRITERIA, [](const CRITERION& c) { return c.TYPE == 0; });
    f.CRITERIACOUNT = static_cast<int>(f.CRITERIA.size());
  }
}

void SEARCHCLASS0::EMPTYALLCRITERIA() {
  for (FIELDRECORD& f : FIELD) {
    f.CRITERIA.clear();
    f.CRITERIACOUNT = 0;
  }
}

bool SEARCHCLASS0::CHECKCRITERIONENTERED() const {
  for (const FIELDRECORD& f : FIELD)
    for (const CRITERION& c : f.CRITERIA)
      if (c.TYPE != 0) return true;
  return false;
}

std::optional<std::string> SEARCHCLASS0::BUILDFILTER(std::string* error) {
  SUMMARIZECRITERIA();
  auto fail = [&](const FIELDRECORD& f, const std::string& why) -> std::optional<std::string> {
    if (error) *error = (f.DISPLAY.empty() ? f.NAME : f.DISPLAY) + ": " + why;
    return std::nullopt;
  };
  std::string filter;
  for (const FIELDRECORD& f : FIELD) {
    std::vector<std::string> terms;
    const std::optional<std::string> ref = FieldReference(f);
    for (const CRITERION& c : f.CRITERIA) {
      if (c.TYPE == 0) continue;
      if (!ref) return fail(f, "the field has no name an expression can use");
      if (!Offers(f.TYPE, c.TYPE)) {
        std::string plain;
        return fail(f, "\"" + std::string(WithoutAccelerator(MatchTypeText(c.TYPE), plain)) +
                           "\" does not apply to this field");
      }
      const std::string& F = *ref;
      const bool text =
          TextForm(f.TYPE) || (f.TYPE == TYPE_PICTURE &&
                               (c.TYPE == MATCHTYPE_BEGINSWITH || c.TYPE == MATCHTYPE_ENDSWITH));
      static const char* kOps[] = {"", " = ", " <> ", " > ", " < ", " >= ", " <= "};
      std::string term;
      if (text) {
        const std::string field = "UPPER(CLIP(" + F + "))";
        const std::string v = "UPPER(" + Quoted(c.VALUE) + ")";
        const std::string l = "UPPER(" + Quoted(c.LIMIT) + ")";
        const std::string n = std::to_string(c.VALUE.size());
        switch (c.TYPE) {
          case 7:
            term = "(" + field + " >= " + v + " AND " + field + " <= " + l + ")";
            break;
          case 8:
            term = "~(" + field + " >= " + v + " AND " + field + " <= " + l + ")";
            break;
          case 9:
            term = "SUB(" + field + ",1," + n + ") = " + v;
            break;
          case 10:
            term = "RIGHT(" + field + "," + n + ") = " + v;
            break;
          case 11:
            term = "INSTRING(" + v + "," + field + ",1)";
            break;
          case 12:
            term = "~INSTRING(" + v + "," + field + ",1)";
            break;
          default:
            term = field + kOps[c.TYPE] + v;
            break;
        }
      } else if (f.TYPE == TYPE_DATE) {
        const auto v = DayNumber(c.VALUE, f.PICTURE);
        if (!v) return fail(f, "\"" + c.VALUE + "\" is not a date");
        std::optional<long> l;
        if (c.TYPE == 7 || c.TYPE == 8) {
          l = DayNumber(c.LIMIT, f.PICTURE);
          if (!l) return fail(f, "\"" + c.LIMIT + "\" is not a date");
        }
        const auto d = static_cast<std::int32_t>(*v);
        const std::string y = std::to_string(YEAR(d)), m = std::to_string(MONTH(d)),
                          day = std::to_string(DAY(d)), V = std::to_string(*v);
        switch (c.TYPE) {
          case 7:
            term = "(" + F + " >= " + V + " AND " + F + " <= " + std::to_string(*l) + ")";
            break;
          case 8:
            term = "~(" + F + " >= " + V + " AND " + F + " <= " + std::to_string(*l) + ")";
            break;
          case 13:
            term = "MONTH(" + F + ") = " + m;
            break;
          case 14:
            term = "DAY(" + F + ") = " + day;
            break;
          case 15:
            term = "YEAR(" + F + ") = " + y;
            break;
          case 16:
            term = "(MONTH(" + F + ") = " + m + " AND DAY(" + F + ") = " + day + ")";
            break;
          case 17:
            term = "(YEAR(" + F + ") = " + y + " AND MONTH(" + F + ") = " + m + ")";
            break;
          default:
            term = F + kOps[c.TYPE] + V;
            break;
        }
      } else {
        // Numbers, check boxes and pictures take numbers; a picture field's value that is no
        // number is compared as the text it is.
        std::optional<std::string> v = Number(c.VALUE), l = Number(c.LIMIT);
        const bool ranged = c.TYPE == 7 || c.TYPE == 8;
        if (f.TYPE == TYPE_PICTURE && (!v || (ranged && !l))) {
          v = Quoted(c.VALUE);
          l = Quoted(c.LIMIT);
        }
        if (!v) return fail(f, "\"" + c.VALUE + "\" is not a number");
        if (ranged && !l) return fail(f, "\"" + c.LIMIT + "\" is not a number");
        if (c.TYPE == 7)
          term = "(" + F + " >= " + *v + " AND " + F + " <= " + *l + ")";
        else if (c.TYPE == 8)
          term = "~(" + F + " >= " + *v + " AND " + F + " <= " + *l + ")";
        else
          term = F + kOps[c.TYPE] + *v;
      }
      terms.push_back(std::move(term));
    }
    if (terms.empty()) continue;
    if (!filter.empty()) filter += " AND ";
    if (terms.size() > 1) filter += "(";
    for (std::size_t i = 0; i < terms.size(); ++i) filter += (i ? " OR " : "") + terms[i];
    if (terms.size() > 1) filter += ")";
  }
  return filter;
}

bool SEARCHCLASS0::OPENVIEW() {
  std::string error;
  const std::optional<std::string> filter = BUILDFILTER(&error);
  if (!filter) {
    MESSAGE(error, "Search", MessageIcon::Exclamation);
    return false;
  }
  FILTER = *filter;
  if (VIEWMGR) {
    // A filter the evaluator cannot take (one past its limits) is said, never cut short.
    if (!VIEWMGR->SetFilterExpression(FILTER, "QBE", BrowseClass::AllOrders)) {
      MESSAGE("The search cannot be run: " + VIEWMGR->FilterError(), "Search",
              MessageIcon::Exclamation);
      VIEWMGR->ClearFilter("QBE", BrowseClass::AllOrders);
      return false;
    }
  }
  if (VIEW) VIEW->Reset(VIEWMGR && VIEWMGR->CurrentOrder() ? VIEWMGR->CurrentOrder() : 1);
  matches_ = 0;
  read_ = 0;
  return true;
}

bool SEARCHCLASS0::FindMatch(const std::function<bool()>& read) {
  if (!VIEW || !VIEWMGR) return false;
  const Expression filter(FILTER, VIEWMGR->Bindings);
  if (!filter.ok()) return false;
  while (VIEW->Next()) {
    ++read_;
    if (read && !read()) return false;
    if ((FILTER.empty() || filter.Evaluate().IsTrue()) && !CHECKHIDDENCRITERIA()) {
      ++matches_;
      return true;
    }
  }
  return false;
}

int SEARCHCLASS0::WORK(bool findNext) {
  if (findNext) {
    const int found = FindMatchShown();
    if (found == 1) return 10;
    if (found == 0) {
      MESSAGE("There are no more matching records!", {}, MessageIcon::Exclamation);
      WIZARDPAGE = 3;
    }
    return 2;
  }
  if (!CHECKCRITERIONENTERED()) {
    MESSAGE("You must specify at least one search field!", {}, MessageIcon::Exclamation);
    WIZARDPAGE = 3;
    return 2;
  }
  const int action = SUPPORTSELECT ? BeginSearch() : 1;
  if (action == 0) {
    WIZARDPAGE = 5;
    return 2;
  }
  if (action == 2 && !FSTTAG().empty() &&
      MESSAGE("Clear old selections first?", {}, MessageIcon::Question, BUTTON_YES | BUTTON_NO) ==
          BUTTON_YES)
    NEWTAG();
  if (action != 1) return TagMatches(action);
  if (!OPENVIEW()) return 2;
  const int found = FindMatchShown();
  if (found < 0) return 2;  // cancelled: the user knows
  if (found == 0) {
    MESSAGE("There are no matching records!", {}, MessageIcon::Exclamation);
    WIZARDPAGE = 3;
    return 2;
  }
  return 10;
}

}  // namespace vx::SQBE
