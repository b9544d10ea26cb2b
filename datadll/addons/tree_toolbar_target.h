// The tree list's toolbar: buttons of the window's toolbar that stand for fixed numbers, run the
// tree's actions and show what the chosen row allows.
//
// The numbers: 2000 insert, 2001 change, 2002 delete, 2003 select; 2004-2009 record navigation
// (last, first, page down, page up, down, up); 2112 refresh the tree; 2113 expand all and 2114
// contract all, of which only the one that applies next shows; 2115 expand the chosen row and
// everything below it and 2116 contract it forgetting what was open below, of which 2115 shows
// for a closed row (greyed for a row with nothing below) and 2116 for an open one. The two of
// each pair share one place on the toolbar, so each pair's buttons stand side by side there. The
// window's own toolbar controls have numbers of their own: the target is told which control
// stands for each fixed number, and a number without one is left out.
//
// The target takes the toolbar (tips, what shows and what is greyed) when it is made and when the
// window gains the focus, only while the tree's list is shown; when the window loses the focus
// the tree's own buttons 2112-2116 hide. While it holds the toolbar, every new selection and
// every change of the rows shows the chosen row's rights on 2000-2003 and the pairs' state.
#pragma once

#include <map>
#include <string>

namespace vx {
class Control;
class Window;
}  // namespace vx

namespace vx::addons {

class ULTRATREECLASS;

inline constexpr int TreeInsertButton = 2000, TreeChangeButton = 2001, TreeDeleteButton = 2002;
inline constexpr int TreeSelectButton = 2003;
inline constexpr int TreeLastButton = 2004, TreeUpButton = 2009;  // record navigation
inline constexpr int TreeHistoryButton = 2011, TreeHelpButton = 2012;
inline constexpr int TreeRefreshButton = 2112, TreeExpandAllButton = 2113;
inline constexpr int TreeContractAllButton = 2114, TreeExpandNodeButton = 2115;
inline constexpr int TreeContractNodeButton = 2116;

class UTTBARTARGET {
 public:
  // `buttons`: the window's toolbar control standing for each fixed number.
  UTTBARTARGET(ULTRATREECLASS& tree, Control& list, std::map<int, int> buttons);

  // Sets or replaces a button's tip (by its fixed number); shown when the toolbar is taken.
  void SETTIP(int button, std::string tip);
  // Puts the toolbar in the tree's state: every button's tip, 2112 shown, the navigation and
  // help enabled, the history button greyed, the rights and the pairs as the chosen row has them.
  void TAKETOOLBAR();
  // TAKETOOLBAR while the list is shown; answers whether it took the toolbar.
  bool TRYTAKETOOLBAR();
  // For the window's event: runs the action of one of the tree's toolbar buttons (answers true),
  // takes the toolbar when the window gains the focus and lets the tree's buttons go when it
  // loses it.
  bool TAKEEVENT();
  // Greys 2000-2003 but those whose flag is true.
  void DISPLAYBUTTONS(bool insert, bool change, bool remove, bool select);
  // The chosen row's rights and which button of each pair shows, while the toolbar is held.
  void SHOWSTATE();

 private:
  Control* Button(int number) const;  // the toolbar control for a fixed number, if any
  ULTRATREECLASS* tree_;
  Control* list_;
  std::map<int, int> buttons_;
  std::map<int, std::string> tips_;
  bool held_ = false;
};

// Makes the tree's buttons on the window's toolbar in the order they stand (2000-2009, then 2112
// and the two pairs) and answers the control made for each fixed number, for USETOOLBAR.
std::map<int, int> MakeTreeToolbar(Window& window);

}  // namespace vx::addons
