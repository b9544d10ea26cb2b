// The copy between a task's step and a template's, checked against the tables' field lists, so a
// field added to the step layout and left out of the copy fails here.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "datadll/dictionary/field_def_builder.h"
#include "datadll/dictionary/scripting_table.h"

namespace vx {
namespace {

// The fields CopyStepContent leaves alone besides the owner.
const std::set<std::string> kNotContent = {"Sequence",       "NextTaskID",     "NetworkUser",
                                           "LastChangeDate", "LastChangeTime", "OriginalID"};

const storage::FieldDef* FieldNamed(const storage::TableDef& def, const std::string& name) {
  for (const storage::FieldDef& field : def.fields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

// Whether field `name` holds the same bytes in the two records.
template <class A, class B>
bool SameField(const std::string& name, const A& a, const storage::TableDef& a_def, const B& b,
               const storage::TableDef& b_def) {
  const storage::FieldDef* fa = FieldNamed(a_def, name);
  const storage::FieldDef* fb = FieldNamed(b_def, name);
  if (!fa || !fb || fa->size != fb->size) return false;
  return std::memcmp(reinterpret_cast<const char*>(&a) + fa->offset,
                     reinterpret_cast<const char*>(&b) + fb->offset,
                     dictionary::StoredBytes(*fa)) == 0;
}

// Copies a record whose every byte is set into an empty one, then checks each field of the
// source table: the owner and (for the content copy) the bookkeeping fields stay empty, the rest
// arrive.
template <class From, class To>
void CheckCopy(const storage::TableDef& from_def, const storage::TableDef& to_def,
               bool content_only) {
  From from;
  std::memset(static_cast<void*>(&from), 0x5A, sizeof from);
  To to;
  const To empty;
  if (content_only) {
    CopyStepContent(from, to);
  } else {
    CopyStepFields(from, to);
  }
  for (const storage::FieldDef& field : from_def.fields) {
    if (field.name == "ID" || field.name == "WIZ_ID") continue;  // checked below
    const bool left = content_only && kNotContent.count(field.name) > 0;
    if (left) {
      EXPECT_TRUE(SameField(field.name, to, to_def, empty, to_def))
          << field.name << " is not the step's content";
    } else {
      EXPECT_TRUE(SameField(field.name, to, to_def, from, from_def))
          << field.name << " was not copied";
    }
  }
  if constexpr (requires { to.ID; }) {
    EXPECT_EQ(to.ID, 0) << "the owner is not copied";
  } else {
    EXPECT_EQ(to.WIZ_ID, 0) << "the owner is not copied";
  }
}

TEST(StepCopy, EveryFieldButTheOwnerGoesBothWays) {
  CheckCopy<SCRIPTTEMPLATEDETAILS_RECORD, SCRIPTING_RECORD>(SCRIPTTEMPLATEDETAILS_TABLE(),
                                                            SCRIPTING_TABLE(), false);
  CheckCopy<SCRIPTING_RECORD, SCRIPTTEMPLATEDETAILS_RECORD>(SCRIPTING_TABLE(),
                                                            SCRIPTTEMPLATEDETAILS_TABLE(), false);
}

TEST(StepCopy, TheContentLeavesTheNumberAndTheChangeStampsAlone) {
  CheckCopy<SCRIPTTEMPLATEDETAILS_RECORD, SCRIPTING_RECORD>(SCRIPTTEMPLATEDETAILS_TABLE(),
                                                            SCRIPTING_TABLE(), true);
  CheckCopy<SCRIPTING_RECORD, SCRIPTTEMPLATEDETAILS_RECORD>(SCRIPTING_TABLE(),
                                                            SCRIPTTEMPLATEDETAILS_TABLE(), true);
}

}  // namespace
}  // namespace vx
