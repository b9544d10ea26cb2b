// The search-by-example wizard and a form the security class opened for viewing only, as the
// Qt renderer shows them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QTabWidget>
#include <QTableView>
#include <cstdlib>

#include "datadll/addons/sqbe_form_class.h"
#include "datadll/addons/sqbe_search_class.h"
#include "datadll/addons/ssec_security_class.h"
#include "framework/window_manager.h"
#include "tests/frontend/qt_test_support.h"

namespace vx {
namespace {

QPushButton* ButtonOf(QWidget* window, const QString& text) {
  for (auto* b : window->findChildren<QPushButton*>())
    if (b->text() == text && b->isVisible()) return b;
  return nullptr;
}

void Shoot(QWidget* window, const char* suffix) {
  if (const char* file = std::getenv("VX_SCREENSHOT"))
    test::OnGui([&] { window->grab().save(QString(file) + suffix); });
}

TEST(AddonWindowsQt, TheWizardOpensOnItsPageWithTheFieldsAndTheMatchTypesOfOne) {
  REQUIRE_QT_DISPLAY();
  SQBE::SEARCHCLASS0 search;
  search.INIT("People", nullptr, nullptr, "", false, false, 1, 1, 1, 1, 1, 1, 11);
  search.ADDFIELD("Name", "People", "PEO", "Name", SQBE::TYPE_STRING, "@s30");
  search.ADDFIELD("Age", "People", "PEO", "Age", SQBE::TYPE_NUMBER, "@n3");
  search.ADDFIELD("Born", "People", "PEO", "Born", SQBE::TYPE_DATE, "@d2");
  search.SETFIELD("People", "Name");
  search.ADDCRITERION(SQBE::MATCHTYPE_BEGINSWITH, "O'Br");
  search.ADDCRITERION(SQBE::MATCHTYPE_CONTAINS, "Anne");
  search.WIZARDPAGE = 3;
  int rows = 0, page = 0, radios = 0, pictured = 0;
  bool listed_picture = false;
  std::string checked;  // the radio of the selected criterion's match type
  const int status = test::RunAsUser(
      [&] { search.RUNWIZARD(); },
      [&] {
        qt::QtWindow* w = test::WaitShown("OrvelQBE Wizard");
        ASSERT_NE(w, nullptr);
        test::OnGui([&] {
          page = w->findChild<QTabWidget*>()->currentIndex() + 1;
          rows = w->findChild<QTableView*>()->model()->rowCount();
        });
        Shoot(w, "");
        // The Name field (the last by name) and its criteria.
        test::OnGui([&] {
          auto* list = w->findChild<QTableView*>();
          list->selectRow(2);
          ButtonOf(w, "&Change")->click();
        });
        qt::QtWindow* m = test::WaitShown("Specify Match Type");
        ASSERT_NE(m, nullptr);
        test::OnGui([&] {
          for (auto* r : m->findChildren<QAbstractButton*>()) {
            radios += r->isVisible() && r->isCheckable();
            pictured += r->isVisible() && r->isCheckable() && !r->icon().isNull();
            if (r->isChecked()) checked = r->text().toStdString();
          }
          // The criteria list shows each match type's picture.
          auto* criteria = m->findChild<QTableView*>()->model();
          listed_picture =
              !criteria->data(criteria->index(0, 0), Qt::DecorationRole).value<QIcon>().isNull();
        });
        Shoot(m, ".match.png");
        test::OnGui([&] { ButtonOf(m, "Cancel")->click(); });
        test::WaitFor([&] {
          bool open = true;
          test::OnGui([&] { open = test::ShownWindow("Specify Match Type"); });
          return !open;
        });
        test::OnGui([&] { ButtonOf(w, "Cancel")->click(); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(page, 3);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(radios, 13) << "a text field offers 13 match types";
  EXPECT_EQ(pictured, 13) << "each beside its picture";
  EXPECT_TRUE(listed_picture);
  EXPECT_EQ(checked, "&Begins with");
  EXPECT_EQ(search.FIELD[2].CRITERIACOUNT, 2) << "cancelled: the criteria as they were";
}

TEST(AddonWindowsQt, AFormOpenedForViewingOnlyTakesNoEdits) {
  REQUIRE_QT_DISPLAY();
  SSEC::SECURITYCLASS security;
  *security.VIEWRECORD = true;
  bool read_only = false, ok_disabled = false, close_enabled = false;
  const int status = test::RunAsUser(
      [&] {
        Window form("View Customer");
        std::string name = "O'Brien", city = "Cork";
        form.Prompt("&Name:");
        form.Entry(name, "@s30");
        form.Prompt("&City:");
        form.Entry(city, "@s30");
        Control& buttons = form.Row();
        buttons.Button("&OK");
        const int close = buttons.Button("Cl&ose");
        form.Open();
        bool view_only = false;
        security.PREPAREVIEWWINDOW(view_only, close);
        WindowManager manager(form);
        manager.CancelControl = close;
        manager.Run();
      },
      [&] {
        qt::QtWindow* w = test::WaitShown("View Customer");
        ASSERT_NE(w, nullptr);
        test::WaitFor([&] {
          test::OnGui([&] {
            auto edits = w->findChildren<QLineEdit*>();
            read_only = !edits.isEmpty() && edits.front()->isReadOnly();
            ok_disabled = ButtonOf(w, "&OK") && !ButtonOf(w, "&OK")->isEnabled();
            close_enabled = ButtonOf(w, "Cl&ose") && ButtonOf(w, "Cl&ose")->isEnabled();
          });
          return read_only && ok_disabled;
        });
        Shoot(w, "");
        test::OnGui([&] { ButtonOf(w, "Cl&ose")->click(); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(read_only);
  EXPECT_TRUE(ok_disabled);
  EXPECT_TRUE(close_enabled);
}

TEST(AddonWindowsQt, AnUpdateFormServesAsTheSearchForm) {
  REQUIRE_QT_DISPLAY();
  SQBE::FORMCLASS0 search;
  bool ok_hidden = false, match_opened = false;
  int buttons_beside = 0;
  QString tip;
  const int status = test::RunAsUser(
      [&] {
        Window form("Update Person");
        std::string name;
        long age = 0;
        form.Prompt("&Name:");
        const int name_entry = form.Entry(name, "@s30");
        form.Prompt("&Age:");
        const int age_entry = form.Entry(age, "@n3B");
        Control& buttons = form.Row();
        const int help = buttons.Button("&Help");
        const int work = buttons.Button("&Search");
        const int ok = buttons.Button("&OK");
        const int cancel = buttons.Button("Cancel");
        WindowManager manager(form);
        manager.OriginalRequest = SQBE::kSearchRequest;
        search.INIT("People", nullptr, nullptr, "", false, false, 9, 5, 1, 1, 1, 1, 11);
        search.WINDOW = &form;
        search.WINMGR = &manager;
        search.HELPCONTROL = help;
        search.WORKCONTROL = work;
        search.OKCONTROL = ok;
        search.CANCELCONTROL = cancel;
        search.ADDFIELD("Name", "People", "PEO", "Name", SQBE::TYPE_STRING, "@s30", name_entry);
        search.ADDFIELD("Age", "People", "PEO", "Age", SQBE::TYPE_NUMBER, "@n3B", age_entry);
        search.SETFIELD("People", "Name");
        search.ADDCRITERION(SQBE::MATCHTYPE_BEGINSWITH, "O'Br");
        form.Open();
        search.PREPAREQBEWINDOW();
        while (form.Accept()) {
          if (search.TAKEEVENT(true) == 5) continue;
          if (EVENT() == EVENT_Accepted && ACCEPTED() == cancel) form.Post(EVENT_CloseWindow);
        }
      },
      [&] {
        qt::QtWindow* w = test::WaitShown("Enter Search Criteria");
        ASSERT_NE(w, nullptr);
        test::WaitFor([&] {
          test::OnGui([&] {
            ok_hidden = !ButtonOf(w, "&OK");
            auto edits = w->findChildren<QLineEdit*>();
            for (auto* e : edits)
              if (e->text() == "O'Br") tip = e->toolTip();
          });
          return ok_hidden && !tip.isEmpty();
        });
        // Each entry has its match-type button just before it, on its line, with a picture.
        QPushButton* name_button = nullptr;
        test::OnGui([&] {
          for (auto* edit : w->findChildren<QLineEdit*>()) {
            const QRect e(edit->mapTo(w, QPoint(0, 0)), edit->size());
            for (auto* b : w->findChildren<QPushButton*>()) {
              const QRect r(b->mapTo(w, QPoint(0, 0)), b->size());
              const bool before = r.right() < e.left() && e.left() - r.right() < 12 &&
                                  r.center().y() > e.top() && r.center().y() < e.bottom();
              if (!before || !b->isVisible() || b->icon().isNull()) continue;
              ++buttons_beside;
              if (edit->text() == "O'Br") name_button = b;
            }
          }
        });
        Shoot(w, "");
        // The Name entry's button opens its match types.
        if (name_button) test::OnGui([&] { name_button->click(); });
        qt::QtWindow* match = name_button ? test::WaitShown("Specify Match Type") : nullptr;
        match_opened = match != nullptr;
        if (match) test::OnGui([&] { ButtonOf(match, "Cancel")->click(); });
        test::WaitFor([&] {
          bool gone = false;
          test::OnGui([&] { gone = !test::ShownWindow("Specify Match Type"); });
          return gone;
        });
        test::OnGui([&] { ButtonOf(w, "Cancel")->click(); });
      });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(ok_hidden);
  EXPECT_EQ(tip.toStdString(), "Begins with");
  EXPECT_EQ(buttons_beside, 2) << "one match-type button before each entry";
  EXPECT_TRUE(match_opened);
}

// A search that finds nothing in a view without end runs under its progress window until the
// user presses its Cancel.
TEST(AddonWindowsQt, ASearchRunsUnderItsProgressWindowUntilCancelled) {
  REQUIRE_QT_DISPLAY();
  class Endless final : public BrowseView {
   public:
    void Reset(int) override {}
    bool Next() override { return true; }
    long Position() const override { return 1; }
    bool Fetch(long) override { return true; }
  } endless;
  BrowseClass browse;
  long member = 0;
  browse.Bindings.BindInteger("PEO:Member", &member);
  SQBE::SEARCHCLASS0 search;
  search.INIT("Endless", &endless, &browse, "", false, false, 1, 1, 1, 1, 1, 1, 11);
  search.ADDFIELD("Member", "People", "PEO", "Member", SQBE::TYPE_CHECK, "");
  search.SETFIELD("People", "Member");
  search.ADDCRITERION(SQBE::MATCHTYPE_EQUALS, "1");
  int result = -1;
  QString line;
  auto user = [&] {
    qt::QtWindow* w = test::WaitShown("Searching for Matching Records");
    ASSERT_NE(w, nullptr);
    test::WaitFor([&] {
      test::OnGui([&] {
        for (auto* label : w->findChildren<QLabel*>())
          if (label->text().endsWith("Found")) line = label->text();
      });
      return !line.isEmpty();
    });
    Shoot(w, ".progress.png");
    test::OnGui([&] { ButtonOf(w, "Cancel")->click(); });
  };
  const int status = test::RunAsUser([&] { result = search.WORK(); }, user);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(result, 2);
  EXPECT_TRUE(line.endsWith("  0 Found")) << line.toStdString();
}

}  // namespace
}  // namespace vx
