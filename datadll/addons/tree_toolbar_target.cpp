#include "datadll/addons/tree_toolbar_target.h"

#include <cstdlib>
#include <utility>

#include "datadll/addons/tree_list_class.h"
#include "runtime/events.h"
#include "runtime/window/window.h"

namespace vx::addons {
namespace {

struct StandardButton {
  int number;
  const char* text;
  const char* tip;
};
constexpr StandardButton kButtons[] = {
    {TreeInsertButton, "Insert", "Insert a new record"},
    {TreeChangeButton, "Change", "Change the selected record"},
    {TreeDeleteButton, "Delete", "Delete the selected record"},
    {TreeSelectButton, "Select", "Select this record"},
    {2004, "Last", "Go to the last row"},
    {2005, "First", "Go to the first row"},
    {2006, "PgDn", "Go a page down"},
    {2007, "PgUp", "Go a page up"},
    {2008, "Down", "Go to the next row"},
    {TreeUpButton, "Up", "Go to the row before"},
    {TreeRefreshButton, "Refresh", "Reload the tree"},
    {TreeExpandAllButton, "Expand All", "Expand every row"},
    {TreeContractAllButton, "Contract All", "Contract every row"},
    {TreeExpandNodeButton, "Expand", "Expand this row and every row below it"},
    {TreeContractNodeButton, "Contract", "Contract this row"},
};

}  // namespace

UTTBARTARGET::UTTBARTARGET(ULTRATREECLASS& tree, Control& list, std::map<int, int> buttons)
    : tree_(&tree), list_(&list), buttons_(std::move(buttons)) {
  for (const StandardButton& b : kButtons) tips_[b.number] = b.tip;
}

void UTTBARTARGET::SETTIP(int button, std::string tip) { tips_[button] = std::move(tip); }

Control* UTTBARTARGET::Button(int number) const {
  const auto it = buttons_.find(number);
  return it == buttons_.end() ? nullptr : list_->OwnerWindow().Find(it->second);
}

void UTTBARTARGET::TAKETOOLBAR() {
  held_ = true;
  for (const auto& [number, tip] : tips_) {
    if (Control* b = Button(number)) b->Tip(tip);
  }
  if (Control* refresh = Button(TreeRefreshButton)) refresh->Unhide().Enable();
  for (int number = TreeLastButton; number <= TreeUpButton; ++number) {
    if (Control* b = Button(number)) b->Enable();
  }
  if (Control* help = Button(TreeHelpButton)) help->Enable();
  if (Control* history = Button(TreeHistoryButton)) history->Disable();
  SHOWSTATE();
}

bool UTTBARTARGET::TRYTAKETOOLBAR() {
  if (!list_->Visible()) return false;
  TAKETOOLBAR();
  return true;
}

void UTTBARTARGET::DISPLAYBUTTONS(bool insert, bool change, bool remove, bool select) {
  const std::pair<int, bool> rights[] = {{TreeInsertButton, insert},
                                         {TreeChangeButton, change},
                                         {TreeDeleteButton, remove},
                                         {TreeSelectButton, select}};
  for (const auto& [number, on] : rights) {
    if (Control* b = Button(number)) b->Enable(on);
  }
}

void UTTBARTARGET::SHOWSTATE() {
  if (!held_) return;
  const ULTRATREECLASS::Rights rights = tree_->RIGHTS();
  DISPLAYBUTTONS(rights.insert, rights.change, rights.remove, rights.select);
  // Of each pair only the button that applies next shows, in the pair's one place.
  if (Control* expand = Button(TreeExpandAllButton)) expand->Hide(tree_->EXPLODE);
  if (Control* contract = Button(TreeContractAllButton)) contract->Hide(!tree_->EXPLODE);
  const auto& rows = tree_->ROWS();
  const long row = tree_->CURRENTCHOICE;
  const bool chosen = row >= 1 && row <= static_cast<long>(rows.size());
  const bool closed = chosen && rows[row - 1].level < 0;
  const bool open = chosen && !closed && row < static_cast<long>(rows.size()) &&
                    std::labs(rows[row].level) > std::labs(rows[row - 1].level);
  if (Control* expand = Button(TreeExpandNodeButton)) expand->Hide(open).Enable(closed);
  if (Control* contract = Button(TreeContractNodeButton)) contract->Hide(!open);
}

bool UTTBARTARGET::TAKEEVENT() {
  if (EVENT() == EVENT_GainFocus) {
    TRYTAKETOOLBAR();
    return false;
  }
  if (EVENT() == EVENT_LoseFocus) {
    for (int number = TreeRefreshButton; number <= TreeContractNodeButton; ++number) {
      if (Control* b = Button(number)) b->Hide();
    }
    held_ = false;
    return false;
  }
  if (EVENT() != EVENT_Accepted || !held_) return false;
  int pressed = 0;
  for (const auto& [number, control] : buttons_) {
    if (control == ACCEPTED()) pressed = number;
  }
  switch (pressed) {
    case TreeInsertButton:
    case TreeChangeButton:
    case TreeDeleteButton:
      tree_->UPDATEROW(pressed - TreeInsertButton + 1);
      break;
    case TreeSelectButton:
      tree_->SELECTROW();
      break;
    case TreeRefreshButton:
      tree_->TAKEPOPUPACTION("RefreshTree");
      break;
    case TreeExpandAllButton:
      tree_->TAKEPOPUPACTION("ExpandAll");
      break;
    case TreeContractAllButton:
      tree_->TAKEPOPUPACTION("ContractAll");
      break;
    case TreeExpandNodeButton:
      tree_->TAKEACTION(8);
      break;
    case TreeContractNodeButton:
      tree_->TAKEACTION(7);
      break;
    default:
      if (pressed < TreeLastButton || pressed > TreeUpButton) return false;
      tree_->TAKEVCRSCROLL(pressed);
      break;
  }
  SHOWSTATE();
  return true;
}

std::map<int, int> MakeTreeToolbar(Window& window) {
  std::map<int, int> made;
  Control& bar = window.Toolbar();
  for (const StandardButton& b : kButtons) made[b.number] = bar.Button(b.text).Number();
  return made;
}

}  // namespace vx::addons
