// The query window every list can offer: conditions over the fields a list describes, each made
// from a field, an operation and a value the user chose, joined with AND and OR into one filter
// expression that the list's browse evaluates for every record ("UPPER(CLIP(SCH:Category))=
// 'WORK' AND SCH:Alarm<>0"). The user's text only ever stands inside a quoted text of the
// expression, or as a number, date or time it was read as; it is never read as part of the
// expression itself, and the filter is run by the expression evaluator, never handed to storage.
//
// A list describes its fields with a table of QueryField, written out or read from a descriptor
// text (QueryFieldsFromDescriptor).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class QueryValueKind { Text, Number, Date, Time, YesNo, Choice };

struct QueryField {
  std::string_view label;  // as the query window lists it
  std::string_view field;  // the bound name the condition tests ("SCH:Description")
  QueryValueKind kind;
  // Choice fields: the choices offered, "|" between them; a choice written "shown|#stored"
  // shows one text and tests the stored one ("Every...|#Custom").
  std::string_view choices = {};
};

// The fields of a descriptor text: one entry per field, each ended by "«", its parts separated
// by "¦": the label, a flag, the field's bound name, its picture, its length, its type (1 text,
// 2 number), a second type code (2: a yes/no switch), two unused parts and a description. A
// number whose picture is a date ("@d") or time ("@t") picture is read as one. Entries without a
// label or field name are left out. The fields' texts point into `descriptor`, which must
// outlive them (a string constant).
std::vector<QueryField> QueryFieldsFromDescriptor(std::string_view descriptor);

// The operations, numbered as the window lists them: 1 "Is Equal To", 2 "Is NOT Equal To",
// 3 "Is Greater Than", 4 "Is Less Than", 5 "Is Greater Than or Equal To", 6 "Is Less Than or
// Equal To", 7 "Begins With", 8 "Contains", 9 "Does NOT Begin With", 10 "Does NOT Contain",
// 11 "Is Checked", 12 "Is NOT Checked".
std::span<const std::string_view> QueryOperations();
// The operations that fit a field's kind (numbers as above): yes/no fields are checked or not,
// texts and choices take all but those two, numbers, dates and times only the comparisons.
std::span<const int> QueryOperationsFor(QueryValueKind kind);

// One condition of `field`, or "" when the value does not fit the field or the operation (then
// `error` says why): texts compare without regard to case and trailing blanks; dates are read
// in the user's date picture, times as "h:mm" with an optional AM or PM.
std::string QueryCondition(const QueryField& field, int operation, std::string_view value,
                           std::string* error);

// Joins a condition to a query: "(query) AND (condition)" or with OR; an empty query gives the
// condition alone.
std::string JoinQuery(std::string_view query, std::string_view condition, bool with_or);

// The query window ("Query Wizard") over `fields`: shows `filter`, lets the user add AND and OR
// conditions, remove the last one or start afresh, and answers true when the user finished with
// "&Finish" (the new filter is then in `filter`), false when cancelled (`filter` unchanged).
// `procedure` names the window for its place and the error object.
bool QueryWizard(std::span<const QueryField> fields, std::string& filter,
                 std::string_view procedure = "QueryWizard");

}  // namespace vx
