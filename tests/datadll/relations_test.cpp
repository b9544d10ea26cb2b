// Every one-to-many relation of the dictionary carries a parent's delete and change of its
// linking field into the child records by its own modes: cascade, restrict or leave alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/record_clear.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "runtime/storage/file.h"
#include "test_support.h"

namespace vx {
namespace {

using storage::File;
using storage::TableDef;
using test::FieldText;
using test::FillRecord;
using test::SetFieldText;

enum class Mode { None, Restrict, Cascade };

struct RelationCase {
  RelationManager** parent;
  FileManager** parent_access;
  FileManager** child_access;
  const char* parent_field;
  const char* child_field;
  Mode on_update;
  Mode on_delete;
};

const RelationCase kRelations[] = {
    {&RELATE_SCHEDULE, &ACCESS_SCHEDULE, &ACCESS_VXSCD, "ID", "ID", Mode::Cascade, Mode::Cascade},
    {&RELATE_SCHEDULE, &ACCESS_SCHEDULE, &ACCESS_VXUSD, "ID", "ID", Mode::Cascade, Mode::Cascade},
    {&RELATE_SCHEDULE, &ACCESS_SCHEDULE, &ACCESS_SCRIPTING, "ID", "ID", Mode::None, Mode::Cascade},
    {&RELATE_SYSHOTKEYS, &ACCESS_SYSHOTKEYS, &ACCESS_SCHEDULE, "ID", "ID", Mode::None, Mode::None},
    {&RELATE_CATEGORIES, &ACCESS_CATEGORIES, &ACCESS_TODO, "Category", "Category", Mode::None,
     Mode::None},
    {&RELATE_CATEGORIES, &ACCESS_CATEGORIES, &ACCESS_SCHEDULE, "Category", "Category",
     Mode::Restrict, Mode::Restrict},
    {&RELATE_CLIPBOARDCATEGORIES, &ACCESS_CLIPBOARDCATEGORIES, &ACCESS_CLIPBOARD, "Category",
     "Category", Mode::Cascade, Mode::Restrict},
    {&RELATE_USERS, &ACCESS_USERS, &ACCESS_VXUSD, "USER", "USER", Mode::Cascade, Mode::Cascade},
    {&RELATE_USERS, &ACCESS_USERS, &ACCESS_CONTACT, "USER", "User", Mode::None, Mode::None},
    {&RELATE_CONTACTCATEGORIES, &ACCESS_CONTACTCATEGORIES, &ACCESS_CONTACT, "ContactCategory",
     "ContactCategory", Mode::Restrict, Mode::Restrict},
    {&RELATE_CONTACT, &ACCESS_CONTACT, &ACCESS_VXSCD, "ClientID", "CLIENTID", Mode::Cascade,
     Mode::Cascade},
    {&RELATE_SCRIPTTEMPLATES, &ACCESS_SCRIPTTEMPLATES, &ACCESS_SCRIPTTEMPLATEDETAILS, "WIZ_ID",
     "WIZ_ID", Mode::None, Mode::Cascade},
    {&RELATE_SCRIPTTEMPLATEDETAILS, &ACCESS_SCRIPTTEMPLATEDETAILS, &ACCESS_MESSAGES, "EmailID",
     "EmailID", Mode::None, Mode::None},
    {&RELATE_MESSAGES, &ACCESS_MESSAGES, &ACCESS_SCRIPTING, "EmailID", "EmailID", Mode::Restrict,
     Mode::Restrict},
};

using Relations = test::DataLibraryTest;

// The link fields of the child records in file order.
std::vector<std::string> ChildLinks(FileManager& child, const char* field) {
  std::vector<std::string> links;
  child.file().Set();
  while (child.file().Next() == 0) links.push_back(FieldText(child.def(), field));
  return links;
}

// Runs `check` for every relation with one parent and one linked child (both link fields 7)
// and one unrelated child (9) stored in a fresh folder, the parent current and its tree open.
template <class Check>
void ForEachRelation(Check check) {
  for (const RelationCase& c : kRelations) {
    FileManager& parent = **c.parent_access;
    FileManager& child = **c.child_access;
    SCOPED_TRACE(parent.def().label + " -> " + child.def().label);
    test::InFreshFolder folder;
    ASSERT_EQ((*c.parent)->Open(), 0);
    ASSERT_EQ(child.Open(), 0);
    FillRecord(child.def(), 2);
    SetFieldText(child.def(), c.child_field, "7");
    ASSERT_EQ(child.file().Add(), 0);
    FillRecord(child.def(), 3);
    SetFieldText(child.def(), c.child_field, "9");
    ASSERT_EQ(child.file().Add(), 0);
    FillRecord(parent.def(), 1);
    SetFieldText(parent.def(), c.parent_field, "7");
    ASSERT_EQ(parent.file().Add(), 0);
    check(c, parent, child);
    child.Close();
    (*c.parent)->Close();
  }
}

TEST_F(Relations, DeleteOfAParentFollowsTheRelationsMode) {
  ForEachRelation([&](const RelationCase& c, FileManager& parent, FileManager& child) {
    const int code = (*c.parent)->Delete(false);
    switch (c.on_delete) {
      case Mode::Cascade:
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ChildLinks(child, c.child_field), std::vector<std::string>{"9"});
        EXPECT_EQ(parent.file().Records(), 0);
        break;
      case Mode::Restrict:
        EXPECT_EQ(code, RelationManager::kRestricted);
        EXPECT_EQ(ChildLinks(child, c.child_field), (std::vector<std::string>{"7", "9"}));
        EXPECT_EQ(parent.file().Records(), 1);
        ASSERT_FALSE(reporter_.shown.empty());
        EXPECT_EQ(reporter_.shown.back().caption, "Referential Integrity Delete Error");
        break;
      case Mode::None:
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ChildLinks(child, c.child_field), (std::vector<std::string>{"7", "9"}));
        EXPECT_EQ(parent.file().Records(), 0);
        break;
    }
  });
}

TEST_F(Relations, ChangeOfAParentsLinkFollowsTheRelationsMode) {
  ForEachRelation([&](const RelationCase& c, FileManager& parent, FileManager& child) {
    SetFieldText(parent.def(), c.parent_field, "8");
    const int code = (*c.parent)->Update();
    const std::vector<std::string> child_links = ChildLinks(child, c.child_field);
    ASSERT_EQ(parent.file().Set(), 0);
    ASSERT_EQ(parent.file().Next(), 0);
    const std::string parent_link = FieldText(parent.def(), c.parent_field);
    switch (c.on_update) {
      case Mode::Cascade:
        EXPECT_EQ(code, 0);
        EXPECT_EQ(parent_link, "8");
        EXPECT_EQ(child_links, (std::vector<std::string>{"8", "9"}));
        break;
      case Mode::Restrict:
        EXPECT_EQ(code, RelationManager::kRestricted);
        EXPECT_EQ(parent_link, "7");
        EXPECT_EQ(child_links, (std::vector<std::string>{"7", "9"}));
        ASSERT_FALSE(reporter_.shown.empty());
        EXPECT_EQ(reporter_.shown.back().caption, "Referential Integrity Update Error");
        break;
      case Mode::None:
        EXPECT_EQ(code, 0);
        EXPECT_EQ(parent_link, "8");
        EXPECT_EQ(child_links, (std::vector<std::string>{"7", "9"}));
        break;
    }
  });
}

}  // namespace
}  // namespace vx
