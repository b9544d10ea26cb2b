#include "program/common/command_line.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "support/temp_folder.h"

namespace vx {
namespace {

using Words = std::vector<std::string>;
using Splits = std::vector<CommandSplit>;

// The quoting of one script argument, as the script loader writes commands: a quoted argument is
// first unquoted; a text with a blank before its last non-blank character, or with a "/" or a
// "\", is written trimmed between double quotes; an empty text as "".
std::string QuoteLikeScripts(std::string text) {
  if (text == "\"\"") {
    text.clear();
  } else if (const auto last = text.find_last_not_of(' ');
             last != std::string::npos && last > 0 && text.front() == '"' && text[last] == '"') {
    text = text.substr(1, last - 1);
  }
  const auto last = text.find_last_not_of(' ');
  if (last == std::string::npos) return "\"\"";
  const bool blank_inside = text.find(' ') < last;
  if (blank_inside || text.find_first_of("/\\") != std::string::npos) {
    const auto first = text.find_first_not_of(' ');
    return "\"" + text.substr(first, last - first + 1) + "\"";
  }
  return text.substr(0, last + 1);
}

std::string JoinLikeScripts(const Words& words) {
  std::string line;
  for (const std::string& word : words) line += (line.empty() ? "" : " ") + QuoteLikeScripts(word);
  return line;
}

TEST(SplitCommandWords, SplitsAtBlanksAndGroupsInQuotes) {
  struct Row {
    const char* command;
    Words words;
  };
  const Row rows[] = {
      {"", {}},
      {"   ", {}},
      {"notepad", {"notepad"}},
      {"  a b   c  ", {"a", "b", "c"}},
      {R"("a b" c)", {"a b", "c"}},
      {R"(a"b c"d)", {"ab cd"}},  // quotes group inside a word and are removed
      {R"("")", {""}},            // an empty argument survives
      {R"(a "" b)", {"a", "", "b"}},
      {R"("unclosed  x)", {"unclosed  x"}},  // an open group runs to the end
      {R"(C:\dir\file.txt /s)", {R"(C:\dir\file.txt)", "/s"}},
      {R"("a\" b)", {R"(a\)", "b"}},            // no escape characters
      {"tab\there x,y", {"tab\there", "x,y"}},  // only blanks separate
  };
  for (const Row& row : rows) EXPECT_EQ(SplitCommandWords(row.command), row.words) << row.command;
}

TEST(SplitCommandWords, UndoesTheScriptQuoting) {
  const Words lines[] = {
      {"VXFTP", "U", "/home/me/my file.txt", "/upload/file.txt", "ftp.example.com", "me", "secret"},
      {"HTTPGET", "https://example.com/a?b=1&c=2", "/tmp/out file", "/AUTO"},
      {"prog", "", "two words", R"(C:\Program Files\x)", "plain", "tab\tinside", "semi;colon"},
  };
  for (const Words& words : lines) {
    const std::string line = JoinLikeScripts(words);
    EXPECT_EQ(SplitCommandWords(line), words) << line;
  }
}

TEST(CommandSplits, TriesTheWholeCommandThenEachSplit) {
  struct Row {
    const char* command;
    Splits splits;
  };
  const Row rows[] = {
      {"", {}},
      {"   ", {}},
      {"  notepad  ", {{"notepad", ""}}},
      {"mailto:someone@example.com", {{"mailto:someone@example.com", ""}}},
      {"notepad readme.txt", {{"notepad readme.txt", ""}, {"notepad", "readme.txt"}}},
      {"a b", {{"a b", ""}, {"a", "b"}}},
      // A program path with a blank: after the first blank, the blanks from the end.
      {"/opt/my tools/run -x file",
       {{"/opt/my tools/run -x file", ""},
        {"/opt/my", "tools/run -x file"},
        {"/opt/my tools/run -x", "file"},
        {"/opt/my tools/run", "-x file"}}},
      {"prog  two  blanks",
       {{"prog  two  blanks", ""}, {"prog", "two  blanks"}, {"prog  two", "blanks"}}},
      // A quoted program is read up to its closing quote only.
      {R"("/opt/my tools/run" -x "a b")", {{"/opt/my tools/run", R"(-x "a b")"}}},
      {R"("/opt/my tools/run")", {{"/opt/my tools/run", ""}}},
      {R"("/opt/unclosed path)", {{"/opt/unclosed path", ""}}},
      {R"(prog "a b" c)", {{"prog", R"("a b" c)"}}},
  };
  for (const Row& row : rows) EXPECT_EQ(CommandSplits(row.command), row.splits) << row.command;
}

TEST(CommandArgv, StartsTheFileWithItsWordsAndFindsHelpers) {
  const std::filesystem::path folder = "/opt/vx";
  struct Row {
    CommandSplit split;
    Words argv;
  };
  const Row rows[] = {
      {{"VXMsg.EXE", "ID=5"}, {"/opt/vx/vx-msg", "ID=5"}},
      {{"KVBBACK.EXE", "VX97.TPS"}, {"/opt/vx/vx-backup", "VX97.TPS"}},
      {{"notepad", R"("a b"  c)"}, {"notepad", "a b", "c"}},
      {{"/opt/my tools/run", ""}, {"/opt/my tools/run"}},
  };
  for (const Row& row : rows) EXPECT_EQ(CommandArgv(row.split, folder), row.argv) << row.split.file;

  // A transfer command as scripts build it comes back as the helper and its five arguments.
  const Words transfer = {"VXFTP", "D",   "/remote/a b.txt", "/home/me/a b.txt", "host",
                          "me",    "pw d"};
  const Splits splits = CommandSplits(JoinLikeScripts(transfer));
  ASSERT_FALSE(splits.empty());  // the whole line holds quotes: the first reading is the split
  Words expected = transfer;
  expected[0] = "/opt/vx/vx-ftp";
  EXPECT_EQ(CommandArgv(splits.front(), folder), expected);
}

// Starts the first reading of the command that starts, as the task launcher does, and gives
// its exit code (-1 when none starts).
long RunFirstReading(const std::string& command) {
  platform::ProcessLauncher& launcher = platform::SystemProcesses();
  for (const CommandSplit& split : CommandSplits(command)) {
    const platform::StartResult started = launcher.Start({CommandArgv(split, "/nonexistent")});
    if (!started) continue;
    launcher.Wait(started.handle, std::chrono::seconds(10));
    const long code = launcher.ExitCode(started.handle).value_or(-1);
    launcher.Release(started.handle);
    return code;
  }
  return -1;
}

TEST(CommandSplits, FindsAProgramWhosePathHoldsBlanks) {
  const test::TempFolder temp("vx command");  // blanks in every path below it
  const std::filesystem::path& folder = temp.path();
  const std::filesystem::path program = folder / "my tool";
  // Exits with the number of its arguments times ten plus the length of the first.
  std::ofstream(program) << "#!/bin/sh\nexit $(( $# * 10 + ${#1} ))\n";
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);

  EXPECT_EQ(RunFirstReading(program.string()), 0);                  // the whole command
  EXPECT_EQ(RunFirstReading(program.string() + " abc"), 13);        // split at the last blank
  EXPECT_EQ(RunFirstReading(program.string() + " a \"b c\""), 21);  // ... then into words
  EXPECT_EQ(RunFirstReading("\"" + program.string() + "\" \"x y\""), 13);
  EXPECT_EQ(RunFirstReading((folder / "missing").string() + " x"), -1);
}

TEST(HelperProgramName, MatchesTheCalledNamesOnly) {
  struct Row {
    const char* word;
    const char* program;
  };
  const Row rows[] = {
      {"VXMsg.EXE", "vx-msg"},
      {"vxmsg", "vx-msg"},
      {"VXMSG.exe", "vx-msg"},
      {"KVBBACK.EXE", "vx-backup"},
      {"VXFTP", "vx-ftp"},
      {"HttpGet", "vx-httpget"},
      {"VX_DBASE.EXE", "vx-dbase"},
      {"KILLPROC.EXE", "vx-killproc"},
      {"killproc", "vx-killproc"},
      {"/usr/local/bin/httpget", ""},
      {R"(C:\VX\VXMsg.EXE)", ""},
      {"VXMsg.EXE.bak", ""},
      {"VXMsgX", ""},
      {".exe", ""},
      {"", ""},
      {"notepad", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(HelperProgramName(row.word), row.program) << row.word;
  EXPECT_EQ(HelperProgramPath("vxftp.exe", "/opt/vx"), std::filesystem::path("/opt/vx/vx-ftp"));
  EXPECT_EQ(HelperProgramPath("vxftp2", "/opt/vx"), std::filesystem::path());
}

}  // namespace
}  // namespace vx
