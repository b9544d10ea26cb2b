// The address book: the contacts list and form, the contact categories (their picker, their form
// and the window that lists each category beside its contacts), and the text a contact is copied
// to the clipboard as.
#pragma once

#include <string>

#include "datadll/dictionary/contact_tables.h"

namespace vx {

// "Contacts": every contact in seven orders (last name, first name, work/day phone,
// home/evening phone, fax, e-mail, and the contacts of one category picked on the "Category"
// tab), with the clipboard copy and "Email..." (a new message to the highlighted contact through
// the message form "UpdateMessages"). One such window per program unless started to select; a
// picker leaves the chosen contact in the CONTACT buffer.
void BrowseContacts();
// "Update the Contact File": the contact in the CONTACT buffer, by the thread's request.
void UpdateContacts();

// "Select a Category": the contact categories in name order; "&Select" leaves the chosen one in
// the CONTACTCATEGORIES buffer with the response RequestCompleted.
void SelectContactCategories();
// "Update Contact Category": the category in the CONTACTCATEGORIES buffer, by the thread's
// request. A category that contacts use can be neither renamed nor deleted (its relation
// refuses and says why).
void UpdateContactCategories();
// "Contact Categories": the categories beside the contacts of the highlighted one, each list
// with its own buttons. One such window per program.
void BrowseContactCategories2Pane();

// The contact as the clipboard gets it: last name, first name, the three address lines and the
// postal code, then the labelled lines "Work Phone: ", "Home Phone: ", "Fax: ", "Other Phone: ",
// "Email: ", "Web Site: " and "Category: " with their fields; every line without trailing blanks
// (an empty field leaves its label alone) and ended by CR LF.
std::string ContactClipboardText(const CONTACT_RECORD& contact);

}  // namespace vx
