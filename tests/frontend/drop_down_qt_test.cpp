// A drop list on the test display that its program fills afresh each time it is about to drop
// down: the list the user sees open is the refilled one.
#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QStringList>

#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "frontend/qt/qt_window.h"
#include "runtime/events.h"
#include "runtime/fixed_string.h"
#include "runtime/threads.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"
#include "tests/frontend/x11_test_input.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using namespace vx::test;

struct DropSeen {
  std::mutex mutex;
  std::vector<int> events;  // the combo's events, in order
  std::string combo_text;   // the combo's variable when its list dropped down
  int drops = 0;
  template <class F>
  auto Read(F f) {
    std::lock_guard l(mutex);
    return f();
  }
};

// Each drop-down refills the list, slowly, as a program listing the open windows would.
void RefillProgram(DropSeen& seen) {
  String<20> unit = "old";
  String<20> name;
  Window w("Drop Down");
  auto& units = w.DropList(unit, "old");
  auto& names = w.Combo(name, "@s20", "first");
  while (w.Accept()) {
    if (FIELD() != units && FIELD() != names) continue;
    if (FIELD() == names) {
      std::lock_guard l(seen.mutex);
      seen.events.push_back(EVENT());
    }
    if (EVENT() != EVENT_DroppingDown) continue;
    SleepFor(100ms);
    int drops = 0;
    {
      std::lock_guard l(seen.mutex);
      drops = ++seen.drops;
      if (FIELD() == names) seen.combo_text = name.str();
    }
    const std::string n = std::to_string(drops);
    Control& list = FIELD() == units ? units : names;
    list.From("fresh " + n + "|second " + n + "|third " + n);
  }
}

// Records the combo's items each time its popup shows.
class PopupWatch final : public QObject {
 public:
  explicit PopupWatch(QComboBox* combo) : combo_(combo) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      QStringList items;
      for (int i = 0; i < combo_->count(); ++i) items << combo_->itemText(i);
      shown.push_back(items.join('|'));
    }
    return QObject::eventFilter(watched, event);
  }
  std::vector<QString> shown;  // GUI thread only

 private:
  QComboBox* combo_;
};

TEST(QtDropDown, TheListOpensRefilledByTheProgram) {
  REQUIRE_QT_DISPLAY();
  DropSeen seen;
  const int status =
      RunAsUser([&] { RefillProgram(seen); },
                [&] {
                  qt::QtWindow* window = WaitShown("Drop Down");
                  ASSERT_NE(window, nullptr);
                  QComboBox* units = nullptr;
                  QComboBox* names = nullptr;
                  PopupWatch* units_watch = nullptr;
                  PopupWatch* names_watch = nullptr;
                  OnGui([&] {
                    units = window->findChild<QComboBox*>("control-1");
                    names = window->findChild<QComboBox*>("control-2");
                    if (!units || !names) return;
                    units_watch = new PopupWatch(units);
                    units_watch->setParent(units);
                    units->view()->window()->installEventFilter(units_watch);
                    names_watch = new PopupWatch(names);
                    names_watch->setParent(names);
                    names->view()->window()->installEventFilter(names_watch);
                  });
                  ASSERT_TRUE(units && names);

                  // A real click on the drop list. Tests in other processes use the same display
                  // now and then, so a click that went astray is repeated.
                  auto popup_shown = [&](QComboBox* combo) {
                    bool shown = false;
                    OnGui([&] { shown = combo->view()->isVisible(); });
                    return shown;
                  };
                  for (int attempt = 0; attempt < 5 && !popup_shown(units); ++attempt) {
                    QPoint centre;
                    OnGui([&] {
                      window->raise();
                      window->activateWindow();
                      centre = units->mapToGlobal(units->rect().center());
                    });
                    FakeClick(centre.x(), centre.y(), 1);
                    WaitFor([&] { return popup_shown(units); }, 2s);
                  }
                  ASSERT_TRUE(popup_shown(units)) << "the drop list opens";
                  std::vector<QString> shown;
                  OnGui([&] { shown = units_watch->shown; });
                  ASSERT_FALSE(shown.empty());
                  EXPECT_EQ(shown.front().toStdString(), "fresh 1|second 1|third 1")
                      << "opens with the program's new rows";
                  OnGui([&] { units->hidePopup(); });

                  // Text typed into the combo reaches the program before the refill, and stays
                  // shown.
                  OnGui([&] {
                    names->setFocus();
                    names->lineEdit()->setText("Zed");
                    names->showPopup();  // as Alt+Down or F4 opens it
                  });
                  EXPECT_TRUE(WaitFor([&] { return popup_shown(names); }));
                  QString edit_text;
                  OnGui([&] {
                    shown = names_watch->shown;
                    edit_text = names->currentText();
                    names->hidePopup();
                  });
                  ASSERT_FALSE(shown.empty());
                  EXPECT_EQ(shown.front().toStdString(), "fresh 2|second 2|third 2");
                  EXPECT_EQ(edit_text.toStdString(), "Zed");
                  seen.Read([&] {
                    EXPECT_EQ((std::vector<int>{EVENT_Accepted, EVENT_DroppingDown}), seen.events);
                    EXPECT_EQ(seen.combo_text, "Zed");
                  });

                  OnGui([&] { window->close(); });
                });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
