// Script files: a task's steps as lines of a comma-delimited file (the EXPORT table), one line
// per step holding the action and up to six texts, written by export and read by import.
#pragma once

#include <optional>
#include <string>

#include "program/script_engine/script_steps.h"
#include "runtime/message_box.h"

namespace vx {

// The file line of a step, or none for an action that script files do not hold.
std::optional<EXPORT_RECORD> ScriptFileLine(const SCRIPTING_RECORD& step);

// How import takes one file line.
enum class ScriptFileLineKind { Step, Skip, Unknown };

// Reads a file line into step's action and fields (id and sequence untouched) and normalises
// its wording. Skip: a blank type; Unknown: a type that names no action (a comment too).
ScriptFileLineKind ReadScriptFileLine(const EXPORT_RECORD& line, SCRIPTING_RECORD& step);

// Writes the steps of task SCH.ID to file_name, replacing the file, in the progress window
// "Exporting Script Items" (its place kept under "ExportScript"). A failed line shows
// "Error exporting script item " with the error and the other lines are still written.
void ExportScriptSteps(const std::string& file_name, ScriptSteps& steps, ScriptFile& file,
                       MessageReporter& messages);

// Adds the steps of file_name to task SCH.ID after its own, numbered on from its highest step
// (from 0 for a task without steps) in file order, in the progress window "Importing Script Items"
// (its place kept under "ImportScript"). Comment lines are skipped; a line of another unknown type
// shows "Unrecognized script action: " and is skipped; a failed add shows "Error adding script item
// "; the other lines are still read.
void ImportScriptSteps(const std::string& file_name, ScriptSteps& steps, ScriptFile& file,
                       MessageReporter& messages);

}  // namespace vx
