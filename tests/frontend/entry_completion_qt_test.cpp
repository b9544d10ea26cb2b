// Entry completion as the Qt renderer carries it: each key typed into an immediate entry reaches
// the program with the text and caret, and the completed tail comes back selected, so the next
// key types over it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <string>

#include "datadll/utility/entry_completion_class.h"
#include "runtime/queue.h"
#include "runtime/window/queue_list.h"
#include "runtime/window/window.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

using namespace test;

struct Fruit {
  String<20> Name;
};

TEST(QtEntryCompletion, TypedKeysCompleteAndTheTailIsSelected) {
  REQUIRE_QT_DISPLAY();
  const int status = RunAsUser(
      [] {
        Queue<Fruit> fruits;
        for (const char* n : {"Apple", "Abbey", "Cherry"}) {
          fruits.buffer.Name = n;
          fruits.Add();
        }
        QueueList<Fruit> rows(fruits, [](const Fruit& f) { return ListFields{f.Name.str()}; });
        String<20> chosen;
        Window w("Fruit Completion");
        w.Prompt("&Fruit:");
        const int entry = w.Entry(chosen, "@s20");
        ENTRYCOMPLETIONCLASS completion;
        completion.INIT(w, chosen, entry, rows, 0);
        while (w.Accept()) completion.TAKEEVENT();
      },
      [] {
        qt::QtWindow* window = WaitShown("Fruit Completion");
        ASSERT_NE(window, nullptr);
        QLineEdit* edit = nullptr;
        OnGui([&] {
          edit = window->findChild<QLineEdit*>();
          if (edit != nullptr) edit->setFocus();
        });
        ASSERT_NE(edit, nullptr);
        const auto type = [&](Qt::Key key, const QString& text) {
          OnGui([&] {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(edit, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QApplication::sendEvent(edit, &release);
          });
        };
        const auto shows = [&](const QString& text, const QString& selected) {
          return WaitFor(
              [&] {
                bool same = false;
                OnGui([&] { same = edit->text() == text && edit->selectedText() == selected; });
                return same;
              },
              5s);
        };
        type(Qt::Key_A, "a");
        EXPECT_TRUE(shows("Apple", "pple"));
        type(Qt::Key_B, "b");
        EXPECT_TRUE(shows("Abbey", "bey"));
        type(Qt::Key_Backspace, "");
        EXPECT_TRUE(shows("Ab", ""));
      });
  EXPECT_EQ(status, 0);
}

}  // namespace
}  // namespace vx
