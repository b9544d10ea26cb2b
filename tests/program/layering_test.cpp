// The layers' include rules, checked over the source tree: every include points down a layer
// (or stays in its own), the recurrence core reaches only the runtime and the data dictionary,
// the window kit none of the program's areas, and only a program's entry file may include the
// Qt front end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LayerRule {
  std::string folder;                  // relative to the source root, longest match wins
  std::vector<std::string> may_include;  // include prefixes allowed
};

const std::vector<LayerRule>& Rules() {
  static const std::vector<LayerRule> rules = {
      {"platform/", {"platform/"}},
      {"runtime/", {"runtime/", "platform/"}},
      {"framework/", {"framework/", "runtime/", "platform/"}},
      {"datadll/", {"datadll/", "framework/", "runtime/", "platform/"}},
      {"program/", {"program/", "datadll/", "framework/", "runtime/", "platform/"}},
      {"program/schedule/recurrence/", {"program/schedule/recurrence/", "datadll/dictionary/", "runtime/"}},
      // The window kit lies below the program's areas, which all use it.
      {"program/windows/", {"program/windows/", "datadll/", "framework/", "runtime/", "platform/"}},
      {"frontend/", {"frontend/", "runtime/", "platform/"}},
  };
  return rules;
}

const LayerRule* RuleFor(const std::string& path) {
  const LayerRule* best = nullptr;
  for (const auto& rule : Rules()) {
    if (path.rfind(rule.folder, 0) == 0 && (!best || rule.folder.size() > best->folder.size())) best = &rule;
  }
  return best;
}

// The path of a project include (`#include "layer/..."`) on `line`; empty for any other line.
// Read by hand rather than with std::regex, whose inlined state trips GCC's
// maybe-uninitialized warning at -O1.
std::string ProjectInclude(const std::string& line) {
  std::size_t at = line.find_first_not_of(" \t");
  if (at == std::string::npos || line[at] != '#') return {};
  at = line.find_first_not_of(" \t", at + 1);
  if (at == std::string::npos || line.compare(at, 7, "include") != 0) return {};
  at = line.find_first_not_of(" \t", at + 7);
  if (at == std::string::npos || line[at] != '"') return {};
  const std::size_t end = line.find('"', at + 1);
  if (end == std::string::npos) return {};
  std::string path = line.substr(at + 1, end - at - 1);
  const std::size_t slash = path.find('/');
  if (slash == 0 || slash == std::string::npos) return {};
  for (std::size_t i = 0; i < slash; ++i) {
    if (!((path[i] >= 'a' && path[i] <= 'z') || path[i] == '_')) return {};
  }
  return path;
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
        const std::string include = ProjectInclude(line);
        if (include.empty()) continue;
        ++checked;
        if (!Allowed(*own, path, include)) faults.push_back(path + ":" + std::to_string(number) + " includes " + include);
      }
    }
  }
  EXPECT_GT(checked, 100u);
  for (const auto& fault : faults) ADD_FAILURE() << fault;
}

TEST(Layering, RuleForPicksTheInnermostFolder) {
  EXPECT_EQ(RuleFor("program/schedule/recurrence/moments.cpp")->folder, "program/schedule/recurrence/");
  EXPECT_EQ(RuleFor("program/schedule/calendar.cpp")->folder, "program/");
  EXPECT_TRUE(Allowed(*RuleFor("program/main.cpp"), "program/main.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/shell/x.cpp"), "program/shell/x.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/schedule/recurrence/x.cpp"), "program/schedule/recurrence/x.cpp",
                       "program/windows/format_date.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/windows/x.cpp"), "program/windows/x.cpp", "program/shell/main_frame.h"));
}

TEST(Layering, OnlyProjectIncludesAreRead) {
  EXPECT_EQ(ProjectInclude("#include \"program/windows/list_window.h\""), "program/windows/list_window.h");
  EXPECT_EQ(ProjectInclude("  #  include \"runtime/dates.h\"  // why"), "runtime/dates.h");
  EXPECT_EQ(ProjectInclude("#include <gtest/gtest.h>"), "");
  EXPECT_EQ(ProjectInclude("#include \"local.h\""), "");
  EXPECT_EQ(ProjectInclude("// #include \"program/x.h\""), "");
}

}  // namespace
