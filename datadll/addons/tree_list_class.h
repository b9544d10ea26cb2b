// A tree list over several sources at once: sections of records linked parent to child, shown
// in one list whose rows carry a level (the depth from 1, negative while contracted).
//
// A section reads its records from a table in a key's order (a file section), from a table
// through a filter with a link that may lead back into the same section (a view section, the
// only kind that may recurse), or from a queue of rows (a queue section); a header or footer
// section puts one fixed row above or below the children of a parent section. Children of a row
// are the records of each linked child section whose link field equals the parent's field.
// Expanding a row loads its children beneath it; contracting removes them and remembers which
// rows below were open, so they open again with it. REFRESHTREE reloads everything, opens the
// rows that were open and, with mode bit 4, finds the chosen row again by its section and
// position (its place among its siblings, after its parent's).
//
// Options (SETOPTION) add the keys that update rows (Insert, Delete, Ctrl+Enter) and those that
// open and close the whole tree (Shift+Down, Shift+Up), let the select action complete the
// window, and keep typed letters from moving the choice. REFRESHTREE's depth opens every row
// above that depth at once. A linked control (a list or field the tree depends on) reloads the
// tree when it changes.
//
// A tree column with colours ("*") or an icon ("I") shows them per row: each section names the
// record field whose value picks the row's icon (ADDICON) and colour set (ADDCOLORSET); a
// section's own TAKEFORMAT may pick them with FORMATICON and FORMATCOLORS instead.
//
// A section that cannot be read (any error but the end of its records) is beyond repair for the
// window: the tree says which file failed, closes the window and abandons the load under way.
//
// A recursive section whose links form a cycle (A's parent is B, B's is A) would open forever:
// a record already on the chain of rows above is not loaded again under it.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/window/control.h"

namespace vx {
class FileManager;
class Window;
class WindowManager;
namespace storage {
struct KeyDef;
}
}  // namespace vx

namespace vx::addons {

class UTTBARTARGET;

enum class SectionType { File = 1, View = 2, Queue = 3, Header = 4, Footer = 5 };

// User events the window's own code posts to have the tree close every row (as "ContractAll")
// or reload itself (as "RefreshTree").
inline constexpr int TreeContractAllEvent = 4064;
inline constexpr int TreeRefreshEvent = 4065;

// One record of a section as field texts by name.
using TreeRecord = std::map<std::string, std::string>;

class TREESECTION {
 public:
  virtual ~TREESECTION() = default;
  // Fills the row's text from its record; depth from 1, and whether children are loaded,
  // present but not loaded, or absent.
  virtual std::string TAKEFORMAT(const TreeRecord& record, int depth, bool loaded, bool not_loaded,
                                 bool none);
  // A record of a file section left out when true.
  virtual bool TAKEFILTER(const TreeRecord&) { return false; }
  void ADDUPDATE(std::function<int(int request)> procedure, bool insert, bool change, bool remove) {
    UPDATE = std::move(procedure);
    ALLOWINSERT = insert;
    ALLOWCHANGE = change;
    ALLOWDELETE = remove;
  }

  // The icon and the colours (normal foreground, background, selected foreground, background)
  // of a row whose PICKFIELD holds `value`; value 0 stands for any value without its own.
  void ADDICON(const std::string& icon, long value) { icons_[value] = icon; }
  void ADDCOLORSET(long value, long fg, long bg, long selected_fg, long selected_bg) {
    colours_[value] = {fg, bg, selected_fg, selected_bg};
  }
  // From TAKEFORMAT: the row being formatted shows this icon, these colours.
  void FORMATICON(const std::string& icon);
  void FORMATCOLORS(long fg, long bg, long selected_fg, long selected_bg);
  // ... or those registered for a value.
  void FORMATICON(long value);
  void FORMATCOLORS(long value);

  std::string DISPLAYFIELD;  // the field shown, when TAKEFORMAT is not overridden
  std::string PICKFIELD;     // the field whose value picks icon and colours by default
  std::string TEXT;          // header and footer rows: their text
  bool EXCLUDECHILDLESS = false, ASSUMECHILDREN = false;
  bool ALLOWINSERT = false, ALLOWCHANGE = false, ALLOWDELETE = false, ALLOWSELECT = false;
  std::function<int(int request)> UPDATE;

 private:
  friend class ULTRATREECLASS;
  struct Look {
    std::string icon;
    std::array<long, 4> colours{-1, -1, -1, -1};
  };
  std::map<long, std::string> icons_;
  std::map<long, std::array<long, 4>> colours_;
  Look* formatting_ = nullptr;  // the row's look while the tree formats it
};
class FILESECTION : public TREESECTION {};
class VIEWSECTION : public TREESECTION {};
class QUEUESECTION : public TREESECTION {};
class HEADERSECTION : public TREESECTION {};
class FOOTERSECTION : public TREESECTION {};

class ULTRATREECLASS : public ListSource {
 public:
  // The list shows column 1 as a tree ("...T~header~@s...@"): field 1 the text, 2 the level.
  void INIT(Control& list);
  // Sections; ids are 1, 2, 3 ... in the order of adding. `identity` names the fields that
  // tell one record from another (a key's fields).
  int ADDSECTION(FILESECTION& section, FileManager& file, const storage::KeyDef& key);
  int ADDSECTION(VIEWSECTION& section, FileManager& file, const storage::KeyDef& key);
  int ADDSECTION(QUEUESECTION& section, const std::vector<TreeRecord>& queue,
                 std::vector<std::string> identity);
  int ADDHEADER(HEADERSECTION& section, int parent);
  int ADDFOOTER(FOOTERSECTION& section, int parent);
  // The child section's records whose `child_field` equals the parent record's `parent_field`
  // go under it; without fields every record of the child section does. A top section is one
  // that is no section's child.
  void ADDLINK(int child, int parent, std::string child_field = {}, std::string parent_field = {});
  // A view section under its own records: answers false (after "Programming Error! Recursion
  // supported only for views.") for any other kind of section.
  bool ADDRECURSION(int section, std::string child_field, std::string parent_field);

  // Mode bit 1 opens every row, bit 2 closes every row, bit 4 finds the chosen row again; a
  // nonzero depth opens every row shallower than it from now on.
  void REFRESHTREE(int mode = 0, int load_depth = 0);
  void EXPAND(long row, bool all = false);
  void CONTRACT(long row, bool forget = false);
  // For the event the list's window took last: the user's expand and contract, the keys
  // (Ctrl+Down, Ctrl+Up, Ctrl+Right, Ctrl+Left, Shift+Down, Shift+Up, Ctrl+PgDn, Ctrl+PgUp), a
  // double click (a change, unless it was on a row's open/close marker) and the toolbar's
  // buttons, and the user events TreeContractAllEvent and TreeRefreshEvent. Answers 5 for an
  // expand or contract it handled, else 0.
  int TAKEEVENT();
  void SETALERTS();
  // The list's popup (a right click): the update actions the chosen row's section allows, then
  // the tree's own; the chosen entry goes to TAKEPOPUPACTION.
  void ASKPOPUP();
  // Runs a popup entry by name: "Insert", "Change", "Delete", "Select", "ExpandAll",
  // "ContractAll", "ExpandNode", "ContractNode", "RefreshNode", "RefreshTree".
  virtual void TAKEPOPUPACTION(const std::string& name);
  // Insert (1), change (2) or delete (3) through the update procedure of the section concerned
  // (for an insert, the one a new row there joins, see RIGHTS); footers are never updated. A
  // completed delete takes the row out at once. Then a top row, or any row with
  // REFRESHTREEAFTERUPDATE, reloads the whole tree finding the choice again; a deeper one
  // reloads only the row the new record went under (insert) or the changed row's parent.
  void UPDATEROW(int request);
  // The chosen row is the user's pick: with SELECTING and a section that allows it, the window
  // manager's window completes and closes.
  void SELECTROW();
  // The toolbar's record navigation (2004 last, 2005 first, 2006 page down, 2007 page up, 2008
  // down, 2009 up) moves the choice as the key would.
  void TAKEVCRSCROLL(int request);
  // Reloads the rows under one row from their sections and shows them: rows open under it before
  // open again, the choice stays on its record while that is still there (else it goes to the
  // row), and a row that has no children left stands as a leaf.
  void REFRESHNODE(long row);
  // Runs an action of the tree's keys: 1 and 3 change, 2 insert, 4 delete, 5 contract the row
  // (what was open below opens again with it), 6 expand it, 7 contract it and forget what was
  // open below, 8 expand it and everything below, 9 contract all, 10 and 11 move down and up by
  // level, 12 expand all.
  void TAKEACTION(int action);
  // Ctrl+PgDn (down) and Ctrl+PgUp: from a top row one row down or up; from a deeper row to the
  // nearest row below or above it that is deeper still. With no such row the choice stays.
  void MOVEBYLEVEL(bool down);
  // What the chosen row allows: an insert into the section a new row there would join, a change,
  // a delete, a select. Nothing for a footer.
  struct Rights {
    bool insert = false, change = false, remove = false, select = false;
  };
  Rights RIGHTS() const;
  // The tree's buttons on the window's toolbar: the toolbar control standing for each fixed
  // number (2000 insert ... 2116 contract node, see tree_toolbar_target.h). The target takes the
  // toolbar at once when the list is shown.
  void USETOOLBAR(const std::map<int, int>& buttons);
  std::shared_ptr<UTTBARTARGET> TOOLBARITEM;
  // 1 ENABLETREEEXPLODE, 2 ENABLEKEYBOARDUPDATE, 3 ENABLELASTLEVELINSERTS, 4 SELECTING,
  // 5 REFRESHTREEAFTERUPDATE, 6 SELECTAFTERREFRESH, 7 ACCEPTTOOLBAR, 8 DISABLELOCATOR; others
  // do nothing.
  void SETOPTION(int option, bool value);

  // ListSource: the rows as "text", "level".
  std::size_t Records() const override { return rows_.size(); }
  std::vector<std::string> Fields(std::size_t row) const override;

  struct Row {
    int section = 0;
    long level = 0;
    std::string position;  // "1.3.2": the row's place among its siblings after its parent's
    std::string identity;  // the record's identity within its section
    std::string path;      // the sections and identities of the row and the rows above it
    TreeRecord record;
    std::string text;
    std::string icon;                             // the icon's name; empty none
    std::array<long, 4> colours{-1, -1, -1, -1};  // -1: the list's own
  };
  const std::vector<Row>& ROWS() const { return rows_; }
  long CURRENTCHOICE = 0;
  bool SELECTAFTERREFRESH = true;
  bool ENABLETREEEXPLODE = false, ENABLEKEYBOARDUPDATE = false, ENABLELASTLEVELINSERTS = false;
  bool SELECTING = false, REFRESHTREEAFTERUPDATE = false, ACCEPTTOOLBAR = false;
  bool DISABLELOCATOR = false;
  long LOADDEPTH = 0;
  bool EXPLODE = false;  // the last whole refresh opened every row, until one closes them all
  int LINKEDCONTROL = 0;
  // Buttons of the window that run the tree's actions (0: none).
  int INSERTCONTROL = 0, CHANGECONTROL = 0, DELETECONTROL = 0, SELECTCONTROL = 0;
  int EXPLODENODECONTROL = 0, COLLAPSENODECONTROL = 0, EXPLODETREECONTROL = 0;
  int COLLAPSETREECONTROL = 0;
  WindowManager* WM = nullptr;  // the window the select action completes

 private:
  struct Section {
    SectionType type;
    TREESECTION* object;
    FileManager* file = nullptr;
    const storage::KeyDef* key = nullptr;
    const std::vector<TreeRecord>* queue = nullptr;
    std::vector<std::string> identity;
    int header = 0, footer = 0;
    bool is_child = false;
    struct Link {
      int child;
      std::string child_field, parent_field;
    };
    std::vector<Link> children;
  };
  int Add(SectionType type, TREESECTION& object);
  std::vector<TreeRecord> Read(const Section& s) const;
  void LoadFailed(const Section& s, int code) const;
  Control& ProgressOverList();  // shown over the list while rows reopen
  std::string IdentityOf(const Section& s, const TreeRecord& r) const;
  // The rows under `parent` (0: the top): records of linked sections, with header and footer.
  std::vector<Row> ChildrenOf(long parent) const;
  bool OnChain(long row, int section, const std::string& identity) const;
  void Format(Row& row, bool loaded, bool not_loaded);
  void Show();
  long Depth(long row) const { return std::labs(rows_[row - 1].level); }
  long ParentRow(long row) const;  // 0 for a top row
  long LastBelow(long row) const;  // the last row of the rows under `row` (itself when none)
  // The section a new record inserted at `row` joins and the row it goes under (0: the top);
  // section 0 when no insert fits there.
  std::pair<int, long> InsertPlace(long row) const;
  // A new record of the section's file for an insert under `under` (0: the top): a cleared
  // buffer whose link fields hold the parent record's values.
  void PrimeInsert(int section, long under) const;
  int TakeListEvent();

  Control* list_ = nullptr;
  std::vector<Section> sections_;
  std::vector<Row> rows_;
  std::set<std::string> expanded_;  // the paths of the rows that are open
  mutable bool failed_ = false;     // a load failed: what is under way stops
  int progress_ = 0;                // the progress bar's control, made when first needed
  std::vector<std::string> icons_;  // the list's icons, in the order first shown
};

}  // namespace vx::addons
