#include "framework/popup_class.h"

#include <algorithm>

#include "runtime/events.h"
#include "runtime/window/dialogs.h"
#include "runtime/window/window.h"

namespace vx {
namespace {

std::string NameFrom(std::string_view text) {
  std::string name;
  for (char c : text) {
    if (c != '&' && c != ' ' && c != '.') name += c;
  }
  return name;
}

}  // namespace

PopupClass::Item& PopupClass::Push(std::string_view text, std::string_view name) {
  // A browse's popup holds some dozens of items: room for them at once, not a move per doubling.
  if (items_.capacity() == 0) items_.reserve(64);
  Item& item = items_.emplace_back();
  item.text = text;
  if (!name.empty()) {
    item.name = name;
  } else if (text == "-") {
    item.name = "Separator" + std::to_string(items_.size() - 1);
  } else {
    item.name = NameFrom(text);
  }
  return item;
}

std::string PopupClass::AddItem(std::string_view text, std::string_view name) {
  return Push(text, name).name;
}

std::string PopupClass::AddItemMimic(std::string_view name, int control, std::string_view text) {
  Item& item = Push({}, name);
  item.control = control;
  item.text = text;
  if (item.text.empty() && window_) {
    if (Control* c = window_->Find(control)) item.text = c->Get(Prop::Text);
  }
  return item.name;
}

std::string PopupClass::AddSubMenu(std::string_view text, std::string_view name, int level) {
  Item& item = Push(text, name);
  item.level = level < 1 ? 1 : level;
  item.submenu = true;
  return item.name;
}

std::string PopupClass::AddItemAt(std::string_view text, std::string_view name, int level) {
  Item& item = Push(text, name);
  item.level = level < 1 ? 1 : level;
  return item.name;
}

std::string PopupClass::AddItemEvent(std::string_view text, std::string_view name, int event,
                                     int control, int level) {
  Item& item = Push(text, name);
  item.level = level < 1 ? 1 : level;
  item.event = event;
  item.event_control = control;
  return item.name;
}

void PopupClass::DeleteItem(std::string_view name) {
  std::erase_if(items_, [&](const Item& i) { return i.name == name; });
}

const PopupClass::Item* PopupClass::Find(std::string_view name) const {
  for (const Item& i : items_) {
    if (i.name == name) return &i;
  }
  return nullptr;
}

PopupClass::Item* PopupClass::Find(std::string_view name) {
  return const_cast<Item*>(static_cast<const PopupClass*>(this)->Find(name));
}

void PopupClass::SetItemEnable(std::string_view name, bool enabled) {
  if (Item* i = Find(name)) i->enabled = enabled;
}

bool PopupClass::GetItemEnabled(std::string_view name) const {
  const Item* i = Find(name);
  return i && i->enabled;
}

void PopupClass::SetItemCheck(std::string_view name, bool checked) {
  if (Item* i = Find(name)) i->checked = checked;
}

void PopupClass::SetText(std::string_view name, std::string_view text) {
  if (Item* i = Find(name)) i->text = std::string(text);
}

void PopupClass::SetIcon(std::string_view name, std::string_view icon) {
  if (Item* i = Find(name)) i->icon = std::string(icon);
}

bool PopupClass::HasItem(std::string_view name) const { return Find(name) != nullptr; }

// The items offered now: a mimic item goes with its control when that is hidden.
std::vector<const PopupClass::Item*> PopupClass::Shown() const {
  std::vector<const Item*> shown;
  for (const Item& i : items_) {
    if (i.control && window_) {
      const Control* c = window_->Find(i.control);
      if (c && !c->Visible()) continue;
    }
    shown.push_back(&i);
  }
  return shown;
}

bool PopupClass::MenuTextEmpty() const {
  // Two items offered are at least their "|"; one is empty only as an enabled, unchecked plain
  // item without text or icon.
  const Item* only = nullptr;
  for (const Item& i : items_) {
    if (i.control && window_) {
      const Control* c = window_->Find(i.control);
      if (c && !c->Visible()) continue;
    }
    if (only) return false;
    only = &i;
  }
  if (!only) return true;
  if (only->submenu || !only->text.empty() || only->checked || !only->icon.empty()) return false;
  if (!only->enabled) return false;
  if (only->control && window_) {
    const Control* c = window_->Find(only->control);
    if (c && !c->Enabled()) return false;
  }
  return true;
}

std::string PopupClass::MenuText() const {
  std::string text;
  bool first = true;
  int depth = 1;  // the level of the items that go where the text ends now
  for (const Item* i : Shown()) {
    const int level = std::min(i->level, depth);
    for (; depth > level; --depth) text += '}';
    if (!first) text += '|';
    first = false;
    if (i->submenu) {
      text += '{' + i->text;
      depth = level + 1;
      continue;
    }
    if (i->text == "-") {
      text += '-';
      continue;
    }
    bool enabled = i->enabled;
    if (i->control && window_) {
      const Control* c = window_->Find(i->control);
      if (c && !c->Enabled()) enabled = false;
    }
    if (!enabled) text += '~';
    if (i->checked) text += '+';
    text += i->text;
    if (!i->icon.empty()) text += "[" + i->icon + "]";
  }
  for (; depth > 1; --depth) text += '}';
  return text;
}

std::string PopupClass::Ask() { return AskAt(-1, -1); }

std::string PopupClass::AskAt(long x, long y, int control) {
  if (BeforeAsk) BeforeAsk();
  const std::vector<const Item*> shown = Shown();
  const int chosen = POPUP(MenuText(), x, y, control);
  int number = 0;
  for (const Item* i : shown) {
    if (i->text == "-" || i->submenu) continue;
    if (++number != chosen) continue;
    if (i->control && window_) window_->Post(EVENT_Accepted, i->control);
    if (i->event && window_) window_->Post(i->event, i->event_control);
    return i->name;
  }
  return {};
}

}  // namespace vx
