// How a sheet's row of tabs behaves when the tabs do not all fit (the model's Prop::ScrollTabs):
// "1" keeps them in one row that scrolls with the arrow buttons at its end, the sheet no wider
// than its pages need; "0" shows every tab whole, the sheet at least as wide as all of them;
// none leaves it to the style.
#pragma once

#include <string>

class QTabWidget;

namespace vx::qt {

void ApplyScrollTabs(QTabWidget* tabs, const std::string& value);

}  // namespace vx::qt
