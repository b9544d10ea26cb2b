// What a Qt window keeps of one control of its model: the control's type and parent, the Qt
// objects that draw it (a widget, or an action for a menu entry or toolbar button, a menu, the
// button group of an option, the sheet of a tab, the table model of a list), and the properties
// the model last gave it. Making the widgets fills it in; applying properties and reading keys
// work on it.
#pragma once

#include <map>
#include <string>

#include "runtime/window/front_end.h"

class QAction;
class QButtonGroup;
class QMenu;
class QTabWidget;
class QWidget;

namespace vx::qt {

class ListTableModel;

struct WindowItem {
  ControlType type = ControlType::Window;
  int parent = 0;
  QWidget* widget = nullptr;
  QAction* action = nullptr;      // menu entries and toolbar buttons
  QMenu* menu = nullptr;          // menus
  QButtonGroup* group = nullptr;  // options
  QTabWidget* tabs = nullptr;     // a tab's sheet
  ListTableModel* model = nullptr;
  int index = 0;   // a tab's page or a radio's place in its option, from 0
  int radios = 0;  // an option's radios so far
  std::map<Prop, std::string> props;
};

}  // namespace vx::qt
