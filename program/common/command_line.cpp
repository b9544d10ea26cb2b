#include "program/common/command_line.h"

#include <strings.h>

#include <algorithm>

namespace vx {
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view WithoutLeadingBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Adds a reading unless its file is empty, cut through a quoted group, or already there.
void AddSplit(std::vector<CommandSplit>& splits, std::string_view file,
              std::string_view parameters) {
  file = Trimmed(file);
  if (file.empty() || file.find('"') != std::string_view::npos) return;
  CommandSplit split{std::string(file), std::string(WithoutLeadingBlanks(parameters))};
  if (std::find(splits.begin(), splits.end(), split) == splits.end())
    splits.push_back(std::move(split));
}

}  // namespace

std::vector<std::string> SplitCommandWords(std::string_view command) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;  // a word has begun (a quote begins one even when it stays empty)
  bool quoted = false;
  for (const char c : command) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (c == ' ' && !quoted) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

std::vector<CommandSplit> CommandSplits(std::string_view command) {
  command = Trimmed(command);
  std::vector<CommandSplit> splits;
  if (command.empty()) return splits;

  // 1. The whole command.
  if (command.size() >= 2 && command.front() == '"' && command.find('"', 1) == command.size() - 1) {
    AddSplit(splits, command.substr(1, command.size() - 2), {});
  } else {
    AddSplit(splits, command, {});
  }

  // 2. The first word: up to the closing quote, or up to the first blank.
  if (command.front() == '"') {
    const auto close = command.find('"', 1);
    if (close == std::string_view::npos) {
      AddSplit(splits, command.substr(1), {});
    } else {
      AddSplit(splits, command.substr(1, close - 1), command.substr(close + 1));
    }
  } else if (const auto blank = command.find(' '); blank != std::string_view::npos) {
    AddSplit(splits, command.substr(0, blank), command.substr(blank + 1));
  }

  // 3. Every blank from the end back to the third character (1-based), the longest file first.
  for (std::size_t at = command.size() - 1; at-- > 2;) {
    if (command[at] == ' ') AddSplit(splits, command.substr(0, at), command.substr(at + 1));
  }
  return splits;
}

std::vector<std::string> CommandArgv(const CommandSplit& split,
                                     const std::filesystem::path& helper_folder) {
  std::vector<std::string> argv;
  const std::filesystem::path helper = HelperProgramPath(split.file, helper_folder);
  argv.push_back(helper.empty() ? split.file : helper.string());
  for (std::string& word : SplitCommandWords(split.parameters)) argv.push_back(std::move(word));
  return argv;
}

std::string_view HelperProgramName(std::string_view word) {
  if (word.find_first_of("/\\") != std::string_view::npos) return {};
  if (word.size() > 4 && EqualNoCase(word.substr(word.size() - 4), ".exe")) word.remove_suffix(4);
  for (const HelperProgram& helper : HELPER_PROGRAMS) {
    if (EqualNoCase(word, helper.called)) return helper.program;
  }
  return {};
}

std::filesystem::path HelperProgramPath(std::string_view word,
                                        const std::filesystem::path& folder) {
  const std::string_view program = HelperProgramName(word);
  if (program.empty()) return {};
  return folder / program;
}

}  // namespace vx
