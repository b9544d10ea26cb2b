// Script variables (the global queue VARQ) and the bracket syntax that puts their values into
// texts: "Backup of [DATE]" becomes "Backup of 20261210".
//
// A bracketed name is resolved by TranslateVariable: the built-in names (dates, times, the
// focused window's title, "=" expressions) answer first, then the variables set by scripts.
// "[[" and "[]" write a literal "[" and "]". Brackets nest and resolve innermost first, so
// "[FILE[N]]" reads the variable whose name is FILE followed by N's value.
#pragma once

#include <string>
#include <string_view>

#include "runtime/decimal.h"

namespace vx {

// Sets (adds or replaces) the variable Name to Value. Value is expanded first; an expanded value
// beginning with "=" is evaluated as an expression and the result is stored, unless the
// expression cannot be evaluated, in which case the expanded text itself (with its "=") is.
// Names are kept in upper case and cut to 32 characters, values cut to 255.
void SetScriptVariable(std::string_view Value, std::string_view Name);

// The value of one name (at most 255 characters): a built-in name, an "=" expression with a
// non-blank result, or the variable of that name; empty when none answers.
std::string TranslateVariable(std::string_view Name);

// Text with every bracketed name replaced by its value, trailing blanks cut (the scan and its
// bounds: bracket_expansion.h). Works within 16384 bytes; a "[" that is never closed leaves the
// rest of the text as it is; a value is scanned again only while an outer bracket is open,
// never after it; and an expansion that has not settled after 5000 scanning steps in one
// bracket (a value naming itself) or 36384 in the whole text is returned as far as it got.
// Label is not used; it is kept for the callers that pass one.
std::string ExpandVariables(std::string_view Label, std::string_view Text);
std::string ExpandVariables(std::string_view Text);

// The "If Value" test: the value of Name against CompareTo (expanded first when it begins with
// "["). Compared as numbers when either side reads as a nonzero number, or when Name is one of
// the numeric names (FILEEXISTS, FILESIZE, FILEDATE, DATE, FILETIME, TIME) or holds "#";
// otherwise as texts, case counting. Operators: = <> < <= > =>; any other gives false.
bool CompareScriptValue(std::string_view CompareTo, std::string_view Operator,
                        std::string_view Name);

// A variable's text read as a number with two decimals; text that is not a number reads as 0.
Decimal ScriptNumber(std::string_view text);

}  // namespace vx
