// Reading a task's command line: the program (or document) it names, its arguments, and the
// helper programs commands call by their short names.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The words of a command line. Blanks separate words; a double quote begins or ends a group in
// which blanks belong to the word, and is itself removed; there is no escape character. A pair
// of quotes with nothing between is an empty word. This undoes the quoting of script arguments
// (a word with a blank, "/" or "\" is written in double quotes).
std::vector<std::string> SplitCommandWords(std::string_view command);

// One reading of a command: the file to start or open, and the rest of the line as its
// parameters (leading blanks removed).
struct CommandSplit {
  std::string file;
  std::string parameters;
  bool operator==(const CommandSplit&) const = default;
};

// The readings of a command, in the order they are to be tried until one starts:
// 1. the whole command as one file (a path with blanks in it); a command that is one quoted
//    group is that group without its quotes;
// 2. split at the first blank that has text after it, or, when the command begins with a double
//    quote, at the closing quote (the file is the text between the quotes);
// 3. split at every blank from the end of the command back to its third character, the longest
//    file first, so that "/opt/my tools/run -x file" is found as "/opt/my tools/run" with
//    "-x file".
// Leading and trailing blanks of the command and of each file are ignored. Readings already
// given, and files that hold a double quote (a quoted group cut apart), are left out.
std::vector<CommandSplit> CommandSplits(std::string_view command);

// The argv that starts a reading: the file (a helper program's name replaced by its path in
// helper_folder), then the words of the parameters.
std::vector<std::string> CommandArgv(const CommandSplit& split,
                                     const std::filesystem::path& helper_folder);

// A helper program as commands call it, and the name of our program that does its work. The
// programs are built from helpers/<program> and installed beside VX.
struct HelperProgram {
  std::string_view called;
  std::string_view program;
};

inline constexpr HelperProgram HELPER_PROGRAMS[] = {
    {"VXMsg", "vx-msg"},          // shows a task's message handed over in a MSGLINK record
    {"KVBBACK", "vx-backup"},     // copies the data files into a dated backup folder
    {"VXFTP", "vx-ftp"},          // FTP upload and download
    {"HTTPGET", "vx-httpget"},    // HTTP download
    {"VX_DBASE", "vx-dbase"},     // database maintenance
    {"KillProc", "vx-killproc"},  // ends a program by its file name
};

// Our program for a command's program word, or empty when the word names no helper. Words are
// matched without regard to case, with or without ".EXE", and only when they name no folder:
// "vxmsg.exe" and "VXMSG" are the message program, "/usr/local/bin/httpget" is not ours.
std::string_view HelperProgramName(std::string_view word);

// The path of that helper in folder; empty when the word names no helper.
std::filesystem::path HelperProgramPath(std::string_view word, const std::filesystem::path& folder);

}  // namespace vx
