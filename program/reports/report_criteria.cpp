#include "program/reports/report_criteria.h"

#include <array>
#include <utility>

#include "datadll/dictionary/globals.h"
#include "runtime/text_functions.h"

namespace vx {
namespace {

constexpr std::string_view kDateKey = "Sch:KeyDate";
constexpr std::string_view kCategoryFilter = "Sch:Category=Glo:Category";
constexpr std::string_view kDateFilter = "Sch:Date>=GLO:DateFrom AND Sch:Date<=GLO:DateTo";

// The radios' values compare on nine characters, the width of the dialog's globals.
bool IsSelected(const String<9>& choice) { return UPPER(choice.clipped()) == "SELECTED"; }

}  // namespace

std::string_view ReportOrderKey(std::string_view order_choice) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kOrders{{
      {"Date", "Sch:KeyDate"},
      {"Category", "Sch:KeyCategory"},
      {"Description", "Sch:KeyTaskName"},
      {"Task Type", "Sch:KeyTaskType"},
      {"Adv. Warn", "Sch:KeyAdvanced"},
      {"Category/Date", "Sch:KeyCategoryDate"},
  }};
  const std::string choice(CLIP(order_choice));
  for (const auto& [radio, key] : kOrders) {
    if (UPPER(radio) == UPPER(choice)) return key;
  }
  return kDateKey;
}

void ApplyReportCriteria() {
  std::string filter;
  if (IsSelected(TMP_CATEGORYSELECT)) {
    filter = kCategoryFilter;
    GLO_CATEGORY = TMP_CATEGORYSELECTED;
  }
  if (IsSelected(TMP_DATESELECT)) {
    filter += (filter.empty() ? "" : " AND ") + std::string(kDateFilter);
    GLO_DATEFROM = TMP_DATEFROM;
    GLO_DATETO = TMP_DATETO;
  } else {
    // Later runs are listed up to the end of a range; without one there is nothing to stop at.
    REPORTINCLUDEFUTUREOCCURANCES = 0;
  }
  GLOBALFILTER = filter;
  GLOBALORDER = ReportOrderKey(TMP_ORDERSELECT.clipped());
}

void ClearReportCriteria() {
  GLOBALFILTER = "";
  GLOBALORDER = "";
}

bool ReportCriteriaCancelled() { return GLOBALFILTER.blank() && GLOBALORDER.blank(); }

const storage::KeyDef& ReportOrderKeyOf(const storage::TableDef& table) {
  auto named = [&](std::string_view order) -> const storage::KeyDef* {
    std::string name = UPPER(CLIP(order));
    if (name.rfind("SCH:", 0) == 0) name.erase(0, 4);
    for (const storage::KeyDef& key : table.keys) {
      if (UPPER(key.name) == name) return &key;
    }
    return nullptr;
  };
  if (const storage::KeyDef* key = named(GLOBALORDER.clipped())) return *key;
  return *named(kDateKey);
}

std::string WorkFileReportFilter() {
  std::string filter = UPPER(GLOBALFILTER.clipped());
  for (std::size_t at = filter.find("SCH:"); at != std::string::npos;
       at = filter.find("SCH:", at + 4)) {
    filter[at + 2] = 'W';
  }
  return filter;
}

}  // namespace vx
