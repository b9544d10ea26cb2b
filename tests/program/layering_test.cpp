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
        if (!Allowed(*own, path, include)) faults.push_back(path + ":" + std::to_string(number) + " includes " + include);
      }
    }
  }
  EXPECT_GT(checked, 100u);
  for (const auto& fault : faults) ADD_FAILURE() << fault;
}

TEST(Layering, RuleForPicksTheInnermostFolder) {
  EXPECT_EQ(IncludedPath("#include \"runtime/dates.h\""), "runtime/dates.h");
  EXPECT_EQ(IncludedPath("  #  include \"program/x/y.h\"  // why"), "program/x/y.h");
  EXPECT_EQ(IncludedPath("#include <gtest/gtest.h>"), "");
  EXPECT_EQ(IncludedPath("#include \"local.h\""), "");
  EXPECT_EQ(IncludedPath("x = \"runtime/dates.h\"; // #include"), "");
  EXPECT_EQ(RuleFor("program/schedule/recurrence/moments.cpp")->folder, "program/schedule/recurrence/");
  EXPECT_EQ(RuleFor("program/schedule/calendar.cpp")->folder, "program/");
  EXPECT_TRUE(Allowed(*RuleFor("program/main.cpp"), "program/main.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/shell/x.cpp"), "program/shell/x.cpp", "frontend/qt/run_with_qt.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/schedule/recurrence/x.cpp"), "program/schedule/recurrence/x.cpp",
                       "program/windows/format_date.h"));
  EXPECT_FALSE(Allowed(*RuleFor("program/windows/x.cpp"), "program/windows/x.cpp", "program/shell/main_frame.h"));
}

}  // namespace
