#include "program/import_export/csv_table_fields.h"

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/table_managers.h"
#include "framework/file_manager.h"
#include "runtime/fixed_string.h"
#include "runtime/storage/record_codec.h"

namespace vx {
namespace {

constexpr CsvTableField kScheduleFields[] = {
    {"SCH:TaskType", "@s20"},
    {"SCH:Category", "@s20"},
    {"SCH:Description", "@s40"},
    {"SCH:Command", "@s255"},
    {"SCH:Path", "@s255"},
    {"SCH:ScheduleType", "@s15"},
    {"SCH:Sunday", "@n3"},
    {"SCH:Monday", "@n3"},
    {"SCH:Tuesday", "@n3"},
    {"SCH:Wednesday", "@n3"},
    {"SCH:Thursday", "@n3"},
    {"SCH:Friday", "@n3"},
    {"SCH:Saturday", "@n3"},
    {"SCH:MonthRepeat", "@s18"},
    {"SCH:Offset", "@n-2b"},
    {"SCH:Every", "@n6"},
    {"SCH:Every1st", "@n3"},
    {"SCH:Every2nd", "@n3"},
    {"SCH:Every3rd", "@n3"},
    {"SCH:Every4th", "@n3"},
    {"SCH:EveryLast", "@n3"},
    {"SCH:LastDayofMonth", "@n3"},
    {"SCH:EveryType", "@s20"},
    {"SCH:Date", "@d17b"},
    {"SCH:Time", "@t7b"},
    {"SCH:LastRunDate", "@d17b"},
    {"SCH:LastRunTime", "@t7b"},
    {"SCH:SkipNextTime", "@n3"},
    {"SCH:Alarm", "@n3"},
    {"SCH:AlarmFile", "@s254"},
    {"SCH:AdvanceWarnDate", "@d17b"},
    {"SCH:AdvanceWarnTime", "@t7b"},
    {"SCH:AdvanceWarned", "@n3"},
    {"SCH:Warn", "@n3"},
    {"SCH:SkipIfMissed", "@n3"},
    {"SCH:SkipIfScriptActive", "@n3"},
    {"SCH:NoHistory", "@n3"},
    {"SCH:UserSkip", "@n3"},
    {"SCH:Disabled", "@n3"},
    {"SCH:Skipped", "@n3"},
    {"SCH:ExpiryDate", "@d17"},
    {"SCH:ExpiryTime", "@t7b"},
    {"SCH:ShiftType", "@s20"},
    {"SCH:ExceptWeekends", "@n3"},
    {"SCH:ExceptWeekdays", "@n3"},
    {"SCH:ExceptHolidays", "@n3"},
    {"SCH:ExceptTime", "@n3"},
    {"SCH:ExceptTimeBegin", "@t3"},
    {"SCH:ExceptTimeEnd", "@t3"},
    {"SCH:Message", "@s4096"},
};

constexpr CsvTableField kContactFields[] = {
    {"C_:Notes", "@s1024"},      {"C_:LastName", "@s30"},        {"C_:FirstName", "@s20"},
    {"C_:AddressLine1", "@s30"}, {"C_:AddressLine2", "@s30"},    {"C_:AddressLine3", "@s30"},
    {"C_:PostalCode", "@s10"},   {"C_:WorkDayPhone", "@s20"},    {"C_:HomeEveningPhone", "@s20"},
    {"C_:Fax", "@s20"},          {"C_:OtherPhone", "@s20"},      {"C_:Email", "@s40"},
    {"C_:WebSite", "@s60"},      {"C_:ContactCategory", "@s20"},
};

constexpr CsvTableField kToDoFields[] = {
    {"TDO:Done", "@n1"},     {"TDO:Priority", "@n2"},         {"TDO:Category", "@s20"},
    {"TDO:ToDo", "@s80"},    {"TDO:CompletionDate", "@d17b"}, {"TDO:CompletionTime", "@t7b"},
    {"TDO:Notes", "@s4096"}, {"TDO:Resolution", "@s1000"},
};

}  // namespace

const CsvTable& ScheduleCsvTable() {
  static const CsvTable table{"Schedule",
                              [] { return ACCESS_SCHEDULE; },
                              [] { return &SCH_KEYCATEGORYDATE; },
                              [] { return &SCH_KEYID; },
                              "ID",
                              kScheduleFields};
  return table;
}

const CsvTable& ContactCsvTable() {
  static const CsvTable table{"Contact",
                              [] { return ACCESS_CONTACT; },
                              [] { return &C__KEYCLIENTID; },
                              [] { return &C__KEYCLIENTID; },
                              "ClientID",
                              kContactFields};
  return table;
}

const CsvTable& ToDoCsvTable() {
  static const CsvTable table{"Todo",
                              [] { return ACCESS_TODO; },
                              [] { return &TDO_KEYCATEGORY; },
                              []() -> const storage::KeyDef* { return nullptr; },
                              nullptr,
                              kToDoFields};
  return table;
}

const storage::FieldDef* CsvFieldDef(const storage::TableDef& def, std::string_view name) {
  const std::size_t colon = name.find(':');
  if (colon == std::string_view::npos ||
      !storage::detail::SameName(name.substr(0, colon), def.prefix))
    return nullptr;
  const int index = def.FieldIndex(name.substr(colon + 1));
  return index < 0 ? nullptr : &def.fields[static_cast<std::size_t>(index)];
}

bool CsvFieldValue(const storage::TableDef& def, const storage::FieldDef& field, std::string& text,
                   std::int64_t& number) {
  const char* record = static_cast<const char*>(def.buffer());
  const bool is_number = !storage::IsText(field.type) && field.type != storage::FieldType::Decimal;
  text = storage::FieldText(field, record);
  if (storage::IsText(field.type)) text = std::string(ClipView(text));
  number = is_number ? storage::FieldInteger(field, record) : 0;
  return is_number;
}

}  // namespace vx
