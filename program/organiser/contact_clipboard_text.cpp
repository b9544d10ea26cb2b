#include <string>
#include <string_view>

#include "program/organiser/contact_windows.h"
#include "runtime/text_functions.h"

namespace vx {

std::string ContactClipboardText(const CONTACT_RECORD& c) {
  std::string text;
  const auto line = [&text](std::string_view label, std::string_view field) {
    text += CLIP(std::string(label) + std::string(field));
    text += "\r\n";
  };
  for (std::string_view field :
       {c.LastName.view(), c.FirstName.view(), c.AddressLine1.view(), c.AddressLine2.view(),
        c.AddressLine3.view(), c.PostalCode.view()}) {
    line("", field);
  }
  line("Work Phone: ", c.WorkDayPhone.view());
  line("Home Phone: ", c.HomeEveningPhone.view());
  line("Fax: ", c.Fax.view());
  line("Other Phone: ", c.OtherPhone.view());
  line("Email: ", c.Email.view());
  line("Web Site: ", c.Website.view());
  line("Category: ", c.ContactCategory.view());
  return text;
}

}  // namespace vx
