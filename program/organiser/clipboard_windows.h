// The clipboard manager: the list of the texts the capture stored, their form, and the clipboard
// categories (their list beside the entries of each, their form and their picker).
#pragma once

#include <span>

#include "program/windows/query_window.h"

namespace vx {

// "Clipboard Manager": the stored texts by date, content, category or only those kept, with
// "&Copy to Clipboard", "&View", "&Toggle Save", "&Query"/"&Reset" (the query window over
// ClipboardQueryFields, applied on every tab) and "&Run" (clipboard_run.h). A double click on a
// row's keep icon toggles it, anywhere else copies the text. Deleting a kept entry asks first.
// The list re-reads when it comes to the front and every 101 seconds, so new captures appear.
// One such window per program.
void BrowseClipboard();
// "Clipboard Record": the entry in the CLIPBOARD buffer, by the thread's request. A new entry
// starts with the clipboard's text and the moment; OK keys the entry on its text as the capture
// does, so an entry whose text another one holds already is refused.
void UpdateClipboard();

// The fields a clipboard query may test.
std::span<const QueryField> ClipboardQueryFields();

// "Clipboard Categories": the categories beside the entries of the highlighted one, each list
// with its own buttons. A rename is carried into the entries; a category that entries use
// cannot be deleted (the relation refuses and says why). One such window per program.
void BrowseClipboardCategories();
// "Update Category": the category in the CLIPBOARDCATEGORIES buffer, by the thread's request.
void UpdateClipboardCategories();
// "Select a Category": the categories in name order; "&Select" leaves the chosen one in the
// CLIPBOARDCATEGORIES buffer with the response RequestCompleted.
void SelectClipboardCategory();

}  // namespace vx
