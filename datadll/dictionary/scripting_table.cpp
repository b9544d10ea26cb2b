#include "datadll/dictionary/scripting_table.h"

#include <cstddef>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/globals.h"

namespace vx {

thread_local SCRIPTING_RECORD SCR;
thread_local SYNCSCRIPTING_RECORD SSCR;
thread_local SCRIPTTEMPLATEDETAILS_RECORD VXD;
thread_local SCRIPTTEMPLATES_RECORD VXT;

namespace {

using dictionary::MakeKey;
using dictionary::MakeTable;
using dictionary::Optional;
using storage::KeyKind;

// The step fields in record order (the one list in the header); a template step is owned by
// WIZ_ID instead of a task ID.
template <class Rec>
std::vector<storage::FieldDef> StepFields() {
  std::vector<storage::FieldDef> f;
  if constexpr (requires(Rec r) { r.WIZ_ID; }) {
    f.push_back(VX_FIELD(Rec, WIZ_ID));
  } else {
    f.push_back(VX_FIELD(Rec, ID));
  }
#define VX_SCRIPT_STEP_FIELD(type, name, part) f.push_back(VX_FIELD(Rec, name));
  VX_SCRIPT_STEP_FIELDS(VX_SCRIPT_STEP_FIELD)
#undef VX_SCRIPT_STEP_FIELD
  return f;
}

storage::TableDef BuildScripting() {
  auto t = MakeTable<SCRIPTING_RECORD>("SCRIPTING", "SCR", "VX97\\!Script", true);
  t.fields = StepFields<SCRIPTING_RECORD>();
  t.keys = {
      MakeKey("KeyID", "Sequence", KeyKind::Primary, {{"ID"}, {"Sequence"}}, true),
      MakeKey("KeyEmail", "Email", KeyKind::Duplicates, {{"EmailID"}}),
  };
  t.buffer = [] { return static_cast<void*>(&SCR); };
  return t;
}

storage::TableDef BuildSyncScripting() {
  auto t = MakeTable<SYNCSCRIPTING_RECORD>("SYNCSCRIPTING", "SSCR", "", true);
  t.stored_name_ref = &GLO_SYNCSCRIPTINGFILENAME;
  t.fields = StepFields<SYNCSCRIPTING_RECORD>();
  t.keys = {
      MakeKey("KeyID", "Sequence", KeyKind::Primary, {{"ID"}, {"Sequence"}}, true),
  };
  t.buffer = [] { return static_cast<void*>(&SSCR); };
  return t;
}

storage::TableDef BuildScriptTemplateDetails() {
  auto t = MakeTable<SCRIPTTEMPLATEDETAILS_RECORD>("SCRIPTTEMPLATEDETAILS", "VXD",
                                                   "VXTpl\\!ScriptTemplateDetails", true);
  t.fields = StepFields<SCRIPTTEMPLATEDETAILS_RECORD>();
  t.keys = {
      MakeKey("K_WIZ_ID", "Sequence", KeyKind::Primary, {{"WIZ_ID"}, {"Sequence"}}, true),
  };
  t.buffer = [] { return static_cast<void*>(&VXD); };
  return t;
}

storage::TableDef BuildScriptTemplates() {
  auto t =
      MakeTable<SCRIPTTEMPLATES_RECORD>("SCRIPTTEMPLATES", "VXT", "VXTpl\\!ScriptTemplates", true);
  t.fields = {VX_FIELD(SCRIPTTEMPLATES_RECORD, WIZ_ID),
              VX_FIELD(SCRIPTTEMPLATES_RECORD, Description),
              VX_FIELD(SCRIPTTEMPLATES_RECORD, DOSFilename)};
  t.keys = {
      MakeKey("K_WIZ_ID", "Script Wizard ID", KeyKind::Primary, {{"WIZ_ID"}}, true),
      // Optional: a new template's numbered placeholder record has no title yet, and two of
      // them must not collide on the blank title.
      Optional(MakeKey("K_DESCRIPTION", "Description", KeyKind::Unique, {{"Description"}})),
      MakeKey("K_DOSFILENAME", "Import/Export Filename", KeyKind::Duplicates, {{"DOSFilename"}}),
  };
  t.buffer = [] { return static_cast<void*>(&VXT); };
  return t;
}

}  // namespace

const storage::TableDef& SCRIPTING_TABLE() {
  static const storage::TableDef def = BuildScripting();
  return def;
}

const storage::TableDef& SYNCSCRIPTING_TABLE() {
  static const storage::TableDef def = BuildSyncScripting();
  return def;
}

const storage::TableDef& SCRIPTTEMPLATEDETAILS_TABLE() {
  static const storage::TableDef def = BuildScriptTemplateDetails();
  return def;
}

const storage::TableDef& SCRIPTTEMPLATES_TABLE() {
  static const storage::TableDef def = BuildScriptTemplates();
  return def;
}

}  // namespace vx
