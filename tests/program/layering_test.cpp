// The layers' include rules, checked over the source tree: every include points down a layer
// (or stays in its own), the recurrence core reaches only the runtime and the data dictionary,
// and only a program's entry file may include the Qt front end.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
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

bool Allowed(const LayerRule& rule, const std::string& path, const std::string& include) {
  // A program's entry file starts the Qt front end; nothing else in the program may see it.
  if (fs::path(path).filename() == "main.cpp" && include.rfind("frontend/", 0) == 0) return true;
  for (const auto& prefix : rule.may_include) {
    if (include.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// The path of a line `#include "layer/..."`; empty for any other line. (A hand-written match:
// GCC 12 warns inside std::regex at -O1, and warnings are errors.)
std::string IncludedPath(std::string_view line) {
  auto skip_blanks = [&] { while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1); };
  skip_blanks();
  if (line.empty() || line.front() != '#') return {};
  line.remove_prefix(1);
  skip_blanks();
  if (line.substr(0, 7) != "include") return {};
  line.remove_prefix(7);
  skip_blanks();
  if (line.empty() || line.front() != '"') return {};
  line.remove_prefix(1);
  const std::size_t close = line.find('"');
  if (close == std::string_view::npos) return {};
  const std::string_view path = line.substr(0, close);
  const std::size_t slash = path.find('/');
  if (slash == 0 || slash == std::string_view::npos || slash + 1 == path.size()) return {};
  for (char c : path.substr(0, slash)) {
    if (!((c >= 'a' && c <= 'z') || c == '_')) return {};
  }
  return std::string(path);
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
        const std::string included = IncludedPath(line);
        if (included.empty()) continue;
        ++checked;
        if (!Allowed(*own, path, included)) faults.push_back(path + ":" + std::to_string(number) + " includes " + included);
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
}

}  // namespace
