// A popup menu built item by item; items may stand in for buttons of the window ("mimic"):
// choosing one presses its button, and it is greyed or left out with the button.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class Window;

class PopupClass {
 public:
  void Init(Window& window) { window_ = &window; }
  void Kill() { items_.clear(); }

  // Adds an item ("-" is a separator); the name defaults to the text without "&" and blanks.
  // Answers the name.
  std::string AddItem(std::string_view text, std::string_view name = {});
  // Adds an item that presses `control`; its text defaults to the control's text.
  std::string AddItemMimic(std::string_view name, int control, std::string_view text = {});
  void DeleteItem(std::string_view name);
  // Nested menus (a check item's "+" is its check, SetItemCheck): a submenu at a level (1 the top)
  // holds the items added after it one level deeper, up to the next item of its own level or above.
  // An item deeper than the submenus open before it stays in the innermost one.
  std::string AddSubMenu(std::string_view text, std::string_view name, int level = 1);
  std::string AddItemAt(std::string_view text, std::string_view name, int level);
  // An item that, when chosen, posts `event` for `control` to the window.
  std::string AddItemEvent(std::string_view text, std::string_view name, int event, int control,
                           int level = 1);
  // Runs before each showing (an owner prepares its items' texts, checks and greying here).
  std::function<void()> BeforeAsk;

  void SetItemEnable(std::string_view name, bool enabled);
  bool GetItemEnabled(std::string_view name) const;
  void SetItemCheck(std::string_view name, bool checked);
  void SetText(std::string_view name, std::string_view text);
  // The picture shown beside the item ("exit.ico").
  void SetIcon(std::string_view name, std::string_view icon);
  bool HasItem(std::string_view name) const;

  // Shows the menu and answers the chosen item's name, "" when none was chosen. A mimic item
  // posts EVENT_Accepted to its control before answering.
  std::string Ask();
  // The same, opened at (x, y) in dialog units from the top left of `control` (0: the window's
  // inside); y -1 is just below the control.
  std::string AskAt(long x, long y, int control = 0);
  // The menu as text for POPUP: "&Insert|~&Change|-|&Delete[cut.ico]|{&List|Sort on}".
  std::string MenuText() const;
  // MenuText().empty(), without making the text.
  bool MenuTextEmpty() const;

 private:
  struct Item {
    std::string name;
    std::string text;
    std::string icon;
    int control = 0;
    int level = 1;
    bool submenu = false;
    int event = 0;
    int event_control = 0;
    bool enabled = true;
    bool checked = false;
  };
  // Appends an item with its text and name (defaulted as AddItem says) and answers it.
  Item& Push(std::string_view text, std::string_view name);
  const Item* Find(std::string_view name) const;
  Item* Find(std::string_view name);
  std::vector<const Item*> Shown() const;

  Window* window_ = nullptr;
  std::vector<Item> items_;
};

}  // namespace vx
