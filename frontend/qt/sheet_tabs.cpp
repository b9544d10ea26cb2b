#include "frontend/qt/sheet_tabs.h"

#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "frontend/qt/prop_text.h"

namespace vx::qt {

void ApplyScrollTabs(QTabWidget* tabs, const std::string& value) {
  if (!tabs) return;
  QTabBar* bar = tabs->tabBar();
  // A tab bar that scrolls asks the sheet for little width of its own, so a sheet of many tabs
  // does not stretch its window; texts stay whole, as the tab popup lists them.
  const bool scrolls =
      value.empty() ? !bar->style()->styleHint(QStyle::SH_TabBar_PreferNoArrows, nullptr, bar)
                    : On(value);
  bar->setUsesScrollButtons(scrolls);
  if (!value.empty()) tabs->setElideMode(Qt::ElideNone);
  tabs->updateGeometry();
}

}  // namespace vx::qt
