// The layers' include rules, checked over the source tree: every include points down a layer
// (or stays in its own), the areas of program/ include only the areas below them in their order,
// the recurrence core reaches only the runtime and the data dictionary, the window kit none of
// the program's areas, the script engine no window of the program, and only a program's entry
// file may include the Qt front end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
  std::string folder;                    // relative to the source root, longest match wins
  std::vector<std::string> may_include;  // include prefixes allowed
};

const std::vector<std::string> kBelowProgram = {"datadll/", "framework/", "runtime/", "platform/"};

// program/'s areas, bottom up. An area may include itself and the areas before it, never one
// after it; the layers below program/ are open to all of them but two, held tighter in Rules().
// The window kit comes first: every area uses it, it includes none. A folder of program/ that is
// in no area fails EveryProgramFolderHasItsPlace.
const std::vector<std::string>& AreaOrder() {
  static const std::vector<std::string> order = {
      "program/windows/",        // the window kit every window uses
      "program/recurrence/",     // the recurrence rules (library vx_recurrence)
      "program/tools/",          // the backup and database maintenance programs' work
      "program/common/",         // what several areas use: settings, event log, road services
      "program/script_engine/",  // the script engine (library vx_script_engine)
      "program/organiser/",      // mail, messages' buttons, the clipboard recorder
      "program/due_tasks/",      // the due-task engine: the tick's phases and task runs
      "program/admin/",          // settings, password, housekeeping, users, event log viewer
      "program/schedule/",       // the task form and lists, categories, holidays
      "program/scripts/",        // the script windows: steps, editor, templates, wizard
      "program/hot_keys/",       // the hot-key windows
      "program/reports/",        // the reports: criteria, work file
      "program/import_export/",  // comma-delimited files: the imports and exports
      "program/shell/",          // the frame: Main, its menus, tick and start-up
      "program/",                // main.cpp
  };
  return order;
}

const std::vector<LayerRule>& Rules() {
  static const std::vector<LayerRule> rules = [] {
    std::vector<LayerRule> all = {
        {"platform/", {"platform/"}},
        {"runtime/", {"runtime/", "platform/"}},
        {"framework/", {"framework/", "runtime/", "platform/"}},
        {"datadll/", {"datadll/", "framework/", "runtime/", "platform/"}},
        {"frontend/", {"frontend/", "runtime/", "platform/"}},
    };
    std::vector<std::string> reachable = kBelowProgram;
    for (const auto& area : AreaOrder()) {
      reachable.push_back(area);
      all.push_back({area, reachable});
    }
    // Two areas are held tighter than the order: the recurrence rules reach only the runtime and
    // the data dictionary, and the script engine holds no window (neither the kit nor the tools').
    const std::vector<LayerRule> tighter = {
        {"program/recurrence/", {"program/recurrence/", "datadll/dictionary/", "runtime/"}},
        {"program/script_engine/",
         {"program/script_engine/", "program/common/", "program/recurrence/", "datadll/",
          "framework/", "runtime/", "platform/"}},
    };
    for (const auto& held : tighter) {
      for (auto& rule : all) {
        if (rule.folder == held.folder) rule.may_include = held.may_include;
      }
    }
    return all;
  }();
  return rules;
}

const LayerRule* RuleFor(const std::string& path) {
  const LayerRule* best = nullptr;
  for (const auto& rule : Rules()) {
    if (path.rfind(rule.folder, 0) == 0 && (!best || rule.folder.size() > best->folder.size()))
      best = &rule;
  }
  return best;
}

// The project path of a quoted include ("runtime/dates.h"), or empty when the line is none.
std::string IncludedPath(const std::string& line) {
  const auto hash = line.find_first_not_of(" \t");
  if (hash == std::string::npos || line[hash] != '#') return {};
  const auto word = line.find("include", hash);
  const auto open = line.find('"', hash);
  if (word == std::string::npos || open == std::string::npos || open < word) return {};
  const auto close = line.find('"', open + 1);
  if (close == std::string::npos) return {};
  std::string path = line.substr(open + 1, close - open - 1);
  return path.find('/') == std::string::npos ? std::string() : path;
}

bool Allowed(const LayerRule& rule, const std::string& path, const std::string& include) {
  // A program's entry file starts the Qt front end; nothing else in the program may see it.
  if (fs::path(path).filename() == "main.cpp" && include.rfind("frontend/", 0) == 0) return true;
  for (const auto& prefix : rule.may_include) {
    if (include.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST(Layering, EveryIncludePointsDownALayer) {
  const char* root_env = std::getenv("VX_SOURCE_DIR");
  ASSERT_NE(root_env, nullptr) << "the tests are run with VX_SOURCE_DIR set";
  const fs::path root(root_env);
  std::vector<std::string> faults;
  std::size_t checked = 0;
  for (const auto& rule : Rules()) {
    if (rule.folder.find('/') != rule.folder.size() - 1) continue;  // walk top-level folders once
    for (const auto& entry : fs::recursive_directory_iterator(root / rule.folder)) {
      const auto ext = entry.path().extension();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      const std::string path = fs::relative(entry.path(), root).generic_string();
      const LayerRule* own = RuleFor(path);
      std::ifstream in(entry.path());
      std::string line;
      int number = 0;
      while (std::getline(in, line)) {
        ++number;
        const std::string include = IncludedPath(line);
        if (include.empty()) continue;
        ++checked;
        if (!Allowed(*own, path, include))
          faults.push_back(path + ":" + std::to_string(number) + " includes " + include);
      }
    }
  }
  EXPECT_GT(checked, 100u);
  for (const auto& fault : faults) ADD_FAILURE() << fault;
}

TEST(Layering, EveryProgramFolderHasItsPlace) {
  const char* root_env = std::getenv("VX_SOURCE_DIR");
  ASSERT_NE(root_env, nullptr) << "the tests are run with VX_SOURCE_DIR set";
  const fs::path root(root_env);
  for (const auto& entry : fs::recursive_directory_iterator(root / "program")) {
    if (!entry.is_directory()) continue;
    const std::string folder = fs::relative(entry.path(), root).generic_string() + "/";
    EXPECT_NE(RuleFor(folder + "x.cpp")->folder, "program/")
        << folder << " is in no area of AreaOrder()";
  }
}

TEST(Layering, RuleForPicksTheInnermostFolder) {
  EXPECT_EQ(IncludedPath("#include \"runtime/dates.h\""), "runtime/dates.h");
  EXPECT_EQ(IncludedPath("  #  include \"program/x/y.h\"  // why"), "program/x/y.h");
  EXPECT_EQ(IncludedPath("#include <gtest/gtest.h>"), "");
  EXPECT_EQ(IncludedPath("#include \"local.h\""), "");
  EXPECT_EQ(IncludedPath("x = \"runtime/dates.h\"; // #include"), "");
  EXPECT_EQ(RuleFor("program/recurrence/moments.cpp")->folder, "program/recurrence/");
  EXPECT_EQ(RuleFor("program/schedule/update_schedule.cpp")->folder, "program/schedule/");
  EXPECT_EQ(RuleFor("program/script_engine/script_queue.cpp")->folder, "program/script_engine/");
  EXPECT_EQ(RuleFor("program/main.cpp")->folder, "program/");
  EXPECT_TRUE(
      Allowed(*RuleFor("program/main.cpp"), "program/main.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(
      Allowed(*RuleFor("program/shell/x.cpp"), "program/shell/x.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/recurrence/x.cpp"), "program/recurrence/x.cpp",
                       "program/windows/format_date.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/windows/x.cpp"), "program/windows/x.cpp",
                       "program/shell/main_frame.h"));
}

TEST(Layering, AnAreaIncludesOnlyTheAreasBelowIt) {
  const auto allowed = [](const std::string& path, const std::string& include) {
    return Allowed(*RuleFor(path), path, include);
  };
  EXPECT_TRUE(allowed("program/shell/main_frame.cpp", "program/due_tasks/due_task.h"));
  EXPECT_TRUE(allowed("program/due_tasks/due_task.cpp", "program/script_engine/script_queue.h"));
  EXPECT_TRUE(allowed("program/scripts/script_wizard.cpp", "program/schedule/exceptions_window.h"));
  EXPECT_TRUE(allowed("program/main.cpp", "program/shell/program_body.h"));
  // A task list reaches the script windows by their registered names, not their headers.
  EXPECT_FALSE(
      allowed("program/schedule/task_list_window.cpp", "program/scripts/edit_script_as_text.h"));
  // Starting a program is common; running a task (its script queued) is the due-task engine's.
  EXPECT_FALSE(allowed("program/common/start_program.cpp", "program/script_engine/start_script.h"));
  EXPECT_FALSE(
      allowed("program/script_engine/script_executor.cpp", "program/due_tasks/due_task.h"));
  EXPECT_FALSE(allowed("program/due_tasks/due_task.cpp", "program/shell/main_frame.h"));
  // The engine holds no window.
  EXPECT_FALSE(allowed("program/script_engine/script_queue.cpp", "program/windows/format_date.h"));
  EXPECT_TRUE(allowed("program/script_engine/script_executor.cpp", "program/common/task_log.h"));
}

}  // namespace
