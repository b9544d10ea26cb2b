#include "program/schedule/select_date_range.h"

#include "program/common/calendar.h"
#include "program/windows/format_date.h"
#include "program/windows/small_dialog.h"
#include "program/windows/window_procedure_scope.h"

namespace vx {

void Function_SelectDateRange(std::int32_t& startDate, std::int32_t& endDate) {
  constexpr std::string_view kProcedure = "Function:SelectDateRange";
  std::int32_t start = startDate;
  std::int32_t end = endDate;
  std::uint8_t start_only = 0;

  Window window("Enter Date Range");
  const std::string picture = DatePicture();
  window.Prompt("Start Date:");
  Control& start_row = window.Row();  // each calendar button beside the date it fills
  Control& start_entry = start_row.Entry(start, picture);
  Control& start_pick = start_row.Button("...").Icon("~calendar.ico").Tip("Select Start Date");
  window.Prompt("End Date:");
  Control& end_row = window.Row();
  Control& end_entry = end_row.Entry(end, picture);
  Control& end_pick = end_row.Button("...").Icon("~calendar.ico").Tip("Select End Date");
  Control& only = window.Check("Use Start Date Only", start_only);
  Control& ok = window.Button("&OK").Default();
  Control& cancel = window.Button("Cancel");
  window.SetCancelButton(cancel);

  SmallDialog manager(window, ok, cancel);
  const WindowProcedureScope scope(kProcedure, manager);
  manager.OnAccepted(start_pick, [&] {
    start = Calendar(start, "None", "Select Start Date");
    start_entry.Display();
  });
  manager.OnAccepted(end_pick, [&] {
    end = Calendar(end, "None", "Select End Date");
    end_entry.Display();
  });
  manager.OnAccepted(only, [&] {
    end_entry.Disable(start_only != 0);
    end_pick.Disable(start_only != 0);
  });
  manager.OnOk([&] {
    if (start_only) end = start;
    startDate = start;
    endDate = end;
    return true;
  });
  manager.Run();
}

}  // namespace vx
