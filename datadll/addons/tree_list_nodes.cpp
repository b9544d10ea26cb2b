// The tree list's work on one row: reloading the rows under it, moving by level, the rights of
// the chosen row and the actions its keys and toolbar buttons run.
#include <algorithm>
#include <cstdlib>

#include "datadll/addons/tree_list_class.h"
#include "datadll/addons/tree_toolbar_target.h"
#include "framework/file_manager.h"
#include "runtime/events.h"
#include "runtime/storage/record_codec.h"
#include "runtime/window/window.h"

namespace vx::addons {

long ULTRATREECLASS::ParentRow(long row) const {
  const long depth = Depth(row);
  if (depth <= 1) return 0;
  long up = row - 1;
  while (up >= 1 && Depth(up) >= depth) --up;
  return up;
}

long ULTRATREECLASS::LastBelow(long row) const {
  const long depth = Depth(row);
  long end = row;
  while (end < static_cast<long>(rows_.size()) && Depth(end + 1) > depth) ++end;
  return end;
}

void ULTRATREECLASS::REFRESHNODE(long row) {
  if (row < 1 || row > static_cast<long>(rows_.size())) return;
  const SectionType type = sections_[rows_[row - 1].section - 1].type;
  if (type == SectionType::Header || type == SectionType::Footer) return;
  const long end = LastBelow(row);
  // The choice is found again by its chain of records when it lies under the row, and moves
  // with the rows after it otherwise.
  std::string chosen;
  if (CURRENTCHOICE > row && CURRENTCHOICE <= end) chosen = rows_[CURRENTCHOICE - 1].path;
  const long after = CURRENTCHOICE > end ? static_cast<long>(rows_.size()) - CURRENTCHOICE : -1;
  // The rows below go without being forgotten as open, so those that come back open again.
  rows_.erase(rows_.begin() + row, rows_.begin() + end);
  const long depth = Depth(row);
  rows_[row - 1].level = -depth;
  failed_ = false;
  EXPAND(row);
  if (failed_) {
    rows_.clear();
    CURRENTCHOICE = 0;
    Show();
    return;
  }
  if (LastBelow(row) == row) {
    rows_[row - 1].level = depth;  // nothing under it now
    expanded_.erase(rows_[row - 1].path);
    Format(rows_[row - 1], false, false);
  }
  if (after >= 0) {
    CURRENTCHOICE = static_cast<long>(rows_.size()) - after;
  } else if (!chosen.empty()) {
    CURRENTCHOICE = row;
    for (long i = row + 1; i <= LastBelow(row); ++i) {
      if (rows_[i - 1].path == chosen) CURRENTCHOICE = i;
    }
  }
  Show();
}

void ULTRATREECLASS::MOVEBYLEVEL(bool down) {
  const long rows = static_cast<long>(rows_.size());
  if (CURRENTCHOICE < 1 || CURRENTCHOICE > rows) return;
  const long depth = Depth(CURRENTCHOICE);
  long to = CURRENTCHOICE;
  if (depth == 1) {
    to = std::clamp(CURRENTCHOICE + (down ? 1 : -1), 1L, rows);
  } else {
    for (long i = CURRENTCHOICE + (down ? 1 : -1); i >= 1 && i <= rows; i += down ? 1 : -1) {
      if (Depth(i) > depth) {
        to = i;
        break;
      }
    }
  }
  if (to == CURRENTCHOICE) return;
  CURRENTCHOICE = to;
  Show();
  if (list_) list_->OwnerWindow().Post(EVENT_NewSelection, list_->Number());
}

std::pair<int, long> ULTRATREECLASS::InsertPlace(long row) const {
  if (row < 1 || row > static_cast<long>(rows_.size())) return {0, 0};
  const int id = rows_[row - 1].section;
  const Section& s = sections_[id - 1];
  switch (s.type) {
    case SectionType::Footer:
      return {0, 0};
    case SectionType::Header:
      // Into the section the header stands above, beside the rows under the header's parent.
      for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].header == id) return {static_cast<int>(i) + 1, ParentRow(row)};
      }
      return {0, 0};
    default:
      break;
  }
  const bool recursive = std::any_of(s.children.begin(), s.children.end(),
                                     [&](const Section::Link& l) { return l.child == id; });
  if (recursive) return {id, row};
  if (!s.children.empty()) return {s.children.front().child, row};
  if (ENABLELASTLEVELINSERTS) return {id, ParentRow(row)};
  return {0, 0};
}

void ULTRATREECLASS::PrimeInsert(int section, long under) const {
  FileManager* file = sections_[section - 1].file;
  if (!file) return;  // a queue section's procedure fills its own row
  file->PrimeRecord();
  if (under < 1 || under > static_cast<long>(rows_.size())) return;
  const Row& parent = rows_[under - 1];
  char* buffer = static_cast<char*>(file->def().buffer());
  for (const Section::Link& link : sections_[parent.section - 1].children) {
    if (link.child != section || link.child_field.empty()) continue;
    const auto value = parent.record.find(link.parent_field);
    if (value == parent.record.end()) continue;
    for (const storage::FieldDef& field : file->def().fields) {
      if (field.name == link.child_field) storage::SetFieldText(field, buffer, value->second);
    }
  }
}

ULTRATREECLASS::Rights ULTRATREECLASS::RIGHTS() const {
  Rights rights;
  if (CURRENTCHOICE < 1 || CURRENTCHOICE > static_cast<long>(rows_.size())) return rights;
  const Section& s = sections_[rows_[CURRENTCHOICE - 1].section - 1];
  if (s.type == SectionType::Footer) return rights;
  const int into = InsertPlace(CURRENTCHOICE).first;
  rights.insert = into != 0 && sections_[into - 1].object->ALLOWINSERT;
  if (s.type == SectionType::Header) return rights;
  rights.change = s.object->ALLOWCHANGE;
  rights.remove = s.object->ALLOWDELETE;
  rights.select = s.object->ALLOWSELECT;
  return rights;
}

void ULTRATREECLASS::TAKEACTION(int action) {
  switch (action) {
    case 1:
    case 3:
      UPDATEROW(2);
      return;
    case 2:
      UPDATEROW(1);
      return;
    case 4:
      UPDATEROW(3);
      return;
    case 5:
      CONTRACT(CURRENTCHOICE);
      break;
    case 6:
      EXPAND(CURRENTCHOICE);
      break;
    case 7:
      CONTRACT(CURRENTCHOICE, true);
      break;
    case 8:
      EXPAND(CURRENTCHOICE, true);
      break;
    case 9:
      REFRESHTREE(2);
      break;
    case 10:
    case 11:
      MOVEBYLEVEL(action == 10);
      return;
    case 12:
      REFRESHTREE(1);
      break;
    default:
      return;
  }
  Show();
}

void ULTRATREECLASS::USETOOLBAR(const std::map<int, int>& buttons) {
  if (!list_) return;
  TOOLBARITEM = std::make_shared<UTTBARTARGET>(*this, *list_, buttons);
  TOOLBARITEM->TRYTAKETOOLBAR();
}

}  // namespace vx::addons
