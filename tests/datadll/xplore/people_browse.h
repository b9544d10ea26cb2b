// A small browse of people with the list extension attached, for the extension's tests: its
// rows come from a vector, its layout goes to an INI file in the test's own folder.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "datadll/utility/zq_browse_class.h"
#include "datadll/xplore/xplore_class.h"
#include "framework/window_manager.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/ini_file.h"
#include "runtime/window/window.h"
#include "support/temp_folder.h"
#include "support/test_driver.h"
#include "tests/fakes/fake_shell_opener.h"

namespace vx::test {

struct Person {
  long id = 0;
  std::string name;
  long born = 0;
  std::string city;
};
inline Person PER;

class PeopleView final : public BrowseView {
 public:
  explicit PeopleView(std::vector<Person>& people) : people_(people) {}
  void Reset(int) override { next_ = 0; }
  bool Next() override {
    if (next_ >= people_.size()) return false;
    PER = people_[next_++];
    return true;
  }
  long Position() const override { return PER.id; }
  bool Fetch(long position) override {
    for (const Person& p : people_) {
      if (p.id == position) {
        PER = p;
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<Person>& people_;
  std::size_t next_ = 0;
};

struct PeopleBrowse final : ZQBROWSECLASS {
  void SetQueueRecord() override {
    Q = {PER.name, std::to_string(PER.born), PER.city, std::to_string(PER.id)};
  }
};

inline constexpr const char* kFormat = "80L(2)M|~Name~@s20@50L(2)M|~Born~@d6@60L(2)M~City~@s20@";

struct Setup {
  std::string ini;
  std::string format = kFormat;
  std::string visual = "Underline";
  bool second_list = false;
  long mask = 1048576;
  test::FakeShellOpener* opener = nullptr;
  bool shell_execute = true;                    // an export is opened afterwards
  std::function<void(XPLORECLASS&)> configure;  // after the extension is attached
  // The labels of the browse queue's fields (the city column has none, so it cannot be
  // ordered on).
  std::vector<std::string> fields = {"PER:Name", "PER:Born", "", "PER:ID"};
};
inline Setup g_setup;
inline std::vector<Person> g_people;

inline void BrowsePeople() {
  Window window("People");
  Control& list = window.List(g_setup.format);
  Control* other = g_setup.second_list ? &window.List(kFormat) : nullptr;
  const int close = window.Button("Cl&ose");
  PeopleBrowse browse, other_browse;
  PeopleView view(g_people), other_view(g_people);
  WindowManager manager(window);
  manager.CancelControl = close;
  browse.Init(list, view, manager);
  browse.AddSortOrder();
  XPLORECLASS xplore, other_xplore;
  xplore.MASK = g_setup.mask;
  xplore.Opener = g_setup.opener;
  xplore.SHELLEXECUTE = g_setup.shell_execute;
  xplore.INIT(manager, browse, list, "BrowsePeople", "?List", g_setup.fields, g_setup.visual,
              g_setup.ini);
  if (g_setup.configure) g_setup.configure(xplore);
  if (other) {
    other_browse.Init(*other, other_view, manager);
    other_browse.AddSortOrder();
    other_xplore.INIT(manager, other_browse, *other, "BrowsePeople", "?Other",
                      {"PER:Name", "PER:Born", "", "PER:ID"}, g_setup.visual, g_setup.ini);
  }
  manager.Run();
}

inline std::vector<std::string> Column(const DriverControl& list, int column) {
  std::vector<std::string> out;
  for (std::size_t r = 1; r <= list.Rows(); ++r)
    out.push_back(list.Cell(static_cast<long>(r), column));
  return out;
}

class XploreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_setup = {};
    g_setup.ini = (folder_ / "POSITION.INI").string();
    g_people = {{1, "walter", DATE(3, 1, 1990), "Oslo"},
                {2, "Anna", DATE(7, 4, 1985), "Bergen"},
                {3, "Bert", DATE(1, 15, 2001), "Alta"}};
  }
  DriverWindow Open() {
    ui_.Start(BrowsePeople);
    return ui_.WaitWindow("People");
  }
  void CloseAll(DriverWindow& w) {
    w.Close();
    ui_.Finish();
  }
  void TearDown() override { std::filesystem::current_path(cwd_); }
  // Exports are written to the current folder: the test's own.
  void InFolder() { std::filesystem::current_path(folder_.path()); }
  std::string Ini(std::string_view key) const {
    return IniFile(g_setup.ini).Get("BrowsePeople", key);
  }

  std::filesystem::path cwd_ = std::filesystem::current_path();
  test::TempFolder folder_{"vx_xplore"};
  TestDriver ui_;
};

}  // namespace vx::test
