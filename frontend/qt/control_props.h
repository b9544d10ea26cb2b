// Applying the model's properties to a control's Qt objects: its text, value, selection, whether
// it is hidden or disabled, its tip, icon, shortcut, font and colours, a list's columns and row
// height, a spin's range, a sheet shown as a wizard; and the rows of a list, drop list or combo.
// Each property lands on whatever draws the control (a tab's page in its sheet, a menu entry's
// action, the widget). The property is kept in the item whatever it does on screen, so later
// properties read it (a font change refits a list to its format). Nothing here posts an event:
// the caller applies model changes with the window's events held back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "frontend/qt/window_item.h"

class QTabWidget;
class QWidget;

namespace vx::qt {

// Applies `prop` of a control; `window` is the window that holds it.
void ApplyControlProp(WindowItem& item, const QWidget* window, Prop prop, const std::string& value);

// Shows `rows` in a list, drop list or combo, keeping its selection (and a combo's typed text).
void ApplyRows(WindowItem& item, std::shared_ptr<const std::vector<ListRow>> rows);

// A sheet shows its tab headers unless it pages as a wizard, or its only tab has no caption
// (a frame drawn round a list): an empty header there would look like a missing label.
void FitTabBar(QTabWidget* tabs);

}  // namespace vx::qt
