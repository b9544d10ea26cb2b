#include "framework/browse_class.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <memory>

#include "framework/request_globals.h"
#include "framework/window_manager.h"
#include "runtime/events.h"
#include "runtime/expression/evaluate.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/threads.h"

namespace vx {

void BrowseClass::Init(Control& list, BrowseView& view, WindowManager& manager) {
  list_ = &list;
  view_ = &view;
  manager_ = &manager;
  list.From(this);
  Popup.Init(list.OwnerWindow());
  // Set up before or after the manager's Init: the request is in either place.
  Selecting = manager.Request == SelectRecord || CurrentRequest() == SelectRecord;
  manager.AddItem(*this);
}

int BrowseClass::AddSortOrder(int view_order) {
  view_orders_.push_back(view_order ? view_order : static_cast<int>(view_orders_.size()) + 1);
  if (order_ == 0) order_ = 1;
  return static_cast<int>(view_orders_.size());
}

void BrowseClass::SetFilter(std::function<bool()> filter, const std::string& name, int order) {
  filters_[order ? order : order_][name] = std::move(filter);
}

void BrowseClass::SetLocator(std::function<std::string()> field, int order) {
  locators_[order ? order : order_] = std::move(field);
}

bool BrowseClass::SetFilterExpression(std::string_view expression, const std::string& name,
                                      int order) {
  auto parsed = std::make_shared<Expression>(expression, Bindings);
  filter_error_ = parsed->ok() ? std::string() : parsed->error();
  if (!parsed->ok()) {
    SetFilter([] { return false; }, name, order);
    return false;
  }
  SetFilter([parsed] { return parsed->Evaluate().IsTrue(); }, name, order);
  return true;
}

void BrowseClass::ClearFilter(const std::string& name, int order) {
  filters_[order ? order : order_].erase(name);
}

bool BrowseClass::SetSort(int order, bool force) {
  const bool changed = order != order_;
  order_ = order;
  (void)
      force;  // the list is re-read on every reset: the rows are few and the view may have changed
  ResetFromView();
  return changed;
}

void BrowseClass::SetSortElements(std::vector<SortElement> elements,
                                  std::function<std::string()> locator) {
  sort_elements_ = std::move(elements);
  sort_locator_ = sort_elements_.empty() ? nullptr : std::move(locator);
}

bool BrowseClass::PassesFilters() {
  for (int order : {AllOrders, order_}) {
    auto it = filters_.find(order);
    if (it == filters_.end()) continue;
    for (auto& [name, filter] : it->second) {
      if (filter && !filter()) return false;
    }
  }
  return ValidateRecord();
}

void BrowseClass::ResetFromView() {
  if (!view_) return;
  const long keep = PositionOf(selected_);
  const long keep_row = selected_;
  auto locator_entry = locators_.find(order_);
  const std::function<std::string()>* locator = sort_locator_ ? &sort_locator_
                                                : locator_entry != locators_.end()
                                                    ? &locator_entry->second
                                                    : nullptr;
  const int view_order = order_ >= 1 && order_ <= static_cast<int>(view_orders_.size())
                             ? view_orders_[order_ - 1]
                             : order_;
  // The rows are read aside and take the old ones' place at the end, so that while the read
  // gives other threads a turn the list still answers the rows it had.
  std::vector<std::vector<std::string>> rows;
  std::vector<long> positions;
  std::vector<std::string> locator_texts;
  std::vector<std::vector<ExprValue>> sort_values;
  auto slice_start = std::chrono::steady_clock::now();
  view_->Reset(view_order);
  for (;;) {
    // A long read lets the other runtime threads run now and then (Main's tick must not stall).
    // YIELD only gives the lock up: this thread's events wait until it next waits for events,
    // and its record buffers and walk are its own; a walk re-queries from where it stood if
    // another thread wrote meanwhile. Not inside a transaction of this thread, which may hold
    // its file's write lock that another thread would wait for holding the runtime lock.
    if (std::chrono::steady_clock::now() - slice_start >= kReadSlice && MayYieldWhileRendered()) {
      YIELD();
      slice_start = std::chrono::steady_clock::now();
    }
    if (!view_->Next()) break;
    if (!PassesFilters()) continue;
    Q.clear();
    SetQueueRecord();
    if (!sort_elements_.empty()) {
      std::vector<ExprValue>& values = sort_values.emplace_back();
      for (const SortElement& element : sort_elements_)
        values.push_back(element.value ? element.value() : ExprValue());
    }
    rows.push_back(std::move(Q));
    Q.clear();
    positions.push_back(view_->Position());
    if (locator && *locator) {
      std::string text = (*locator)();
      for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      locator_texts.push_back(std::move(text));
    }
  }
  rows_ = std::move(rows);
  positions_ = std::move(positions);
  locator_texts_ = std::move(locator_texts);
  if (!sort_elements_.empty() || file_sequence_) SortRows(sort_values);
  long row = 0;
  if (keep) {
    auto it = std::find(positions_.begin(), positions_.end(), keep);
    if (it != positions_.end()) row = static_cast<long>(it - positions_.begin()) + 1;
  }
  if (!row && !rows_.empty()) row = std::clamp(keep_row, 1L, static_cast<long>(rows_.size()));
  selected_ = row;
  if (list_) {
    // Within the manager's reset the window is displayed next, which renders the list anyway.
    if (!render_deferred_) list_->From(this);
    list_->Set(Prop::Selected, selected_);
  }
  UpdateBuffer();
  UpdateWindow();
}

bool BrowseClass::MayYieldWhileRendered() const { return !storage::InLogout(); }

// Puts the rows read in the order of the sort elements; equal rows keep the order's sequence.
void BrowseClass::SortRows(const std::vector<std::vector<ExprValue>>& values) {
  std::vector<std::size_t> index(rows_.size());
  for (std::size_t i = 0; i < index.size(); ++i) index[i] = i;
  std::stable_sort(index.begin(), index.end(), [&](std::size_t a, std::size_t b) {
    for (std::size_t e = 0; e < sort_elements_.size(); ++e) {
      const std::partial_ordering order = CompareValues(values[a][e], values[b][e]);
      if (order == std::partial_ordering::equivalent || order == std::partial_ordering::unordered)
        continue;
      return sort_elements_[e].descending ? order == std::partial_ordering::greater
                                          : order == std::partial_ordering::less;
    }
    return file_sequence_ && positions_[a] < positions_[b];
  });
  std::vector<std::vector<std::string>> rows;
  std::vector<long> positions;
  std::vector<std::string> texts;
  for (std::size_t i : index) {
    rows.push_back(std::move(rows_[i]));
    positions.push_back(positions_[i]);
    if (i < locator_texts_.size()) texts.push_back(std::move(locator_texts_[i]));
  }
  rows_ = std::move(rows);
  positions_ = std::move(positions);
  locator_texts_ = std::move(texts);
  locate_descending_ = !sort_elements_.empty() && sort_elements_.front().descending;
}

void BrowseClass::Select(long row) {
  selected_ = rows_.empty() ? 0 : std::clamp(row, 1L, static_cast<long>(rows_.size()));
  if (list_) list_->Set(Prop::Selected, selected_);
  UpdateBuffer();
}

void BrowseClass::UpdateBuffer() {
  if (view_ && selected_ >= 1) view_->Fetch(PositionOf(selected_));
}

void BrowseClass::UpdateWindow() {
  if (!list_) return;
  Window& w = list_->OwnerWindow();
  const bool any = !rows_.empty();
  for (int control : {ChangeControl, DeleteControl, SelectControl}) {
    if (Control* c = control ? w.Find(control) : nullptr) c->Enable(any);
  }
  if (SelectControl) {
    if (Control* c = w.Find(SelectControl)) c->Hide(!Selecting);
  }
}

long BrowseClass::Ask(long request) {
  if (request != InsertRecord) {
    if (rows_.empty()) return RequestCancelled;
    UpdateBuffer();
  } else {
    PrimeRecord(false);
  }
  return AskPrimed(request);
}

long BrowseClass::AskPrimed(long request) {
  const long response = WindowManager::RunUpdate(UpdateProcedure, request);
  if (response == RequestCompleted) {
    // Highlight the record the form saved (the buffer holds it); after a delete the row that
    // took the deleted one's place. The manager's reset re-reads the list (once).
    const long saved = request == DeleteRecord ? 0 : view_->Position();
    if (manager_) {
      manager_->Reset(false);
    } else {
      ResetFromView();
    }
    if (saved) {
      auto it = std::find(positions_.begin(), positions_.end(), saved);
      if (it != positions_.end()) Select(static_cast<long>(it - positions_.begin()) + 1);
    }
  } else {
    UpdateBuffer();
    if (manager_) manager_->Reset(false);
  }
  return response;
}

bool BrowseClass::Locate(int keycode) {
  if (locator_texts_.empty() || keycode > 127 || !std::isalnum(keycode)) return false;
  const char wanted = static_cast<char>(std::toupper(keycode));
  long row = static_cast<long>(locator_texts_.size());  // past every row: the last one
  // Rows in descending order of their locator text look for the first that comes at or before.
  const bool descending = locate_descending_ && !sort_elements_.empty();
  for (std::size_t i = 0; i < locator_texts_.size(); ++i) {
    const std::string& text = locator_texts_[i];
    if (!text.empty() && (descending ? text.front() <= wanted : text.front() >= wanted)) {
      row = static_cast<long>(i) + 1;
      break;
    }
  }
  Select(row);
  return true;
}

bool BrowseClass::TakeKey() {
  if (Locate(KEYCODE())) return true;
  if (KEYCODE() != MouseLeft2 && KEYCODE() != EnterKey) return false;
  if (rows_.empty() || !list_) return false;
  Window& w = list_->OwnerWindow();
  const int press = Selecting && SelectControl ? SelectControl : ChangeControl;
  Control* c = press ? w.Find(press) : nullptr;
  if (!c || !c->Visible() || !c->Enabled()) return false;
  w.Post(EVENT_Accepted, press);
  return true;
}

void BrowseClass::SetAlerts() {
  if (list_) list_->Alert(MouseRight).Alert(EnterKey);
  if (InsertControl) Popup.AddItemMimic("Insert", InsertControl);
  if (ChangeControl) Popup.AddItemMimic("Change", ChangeControl);
  if (DeleteControl) Popup.AddItemMimic("Delete", DeleteControl);
  if (SelectControl) {
    Popup.AddItem("-", "SelectSeparator");
    Popup.AddItemMimic("Select", SelectControl);
  }
}

void BrowseClass::Reset(bool force) {
  render_deferred_ = true;
  struct Restore {
    bool& flag;
    ~Restore() { flag = false; }
  } restore{render_deferred_};
  ResetSort(force);
}

Level BrowseClass::TakeEvent() {
  if (!list_) return Level_Benign;
  const int control = FIELD();
  if (control == 0) return Level_Benign;
  if (control == list_->Number()) {
    switch (EVENT()) {
      case EVENT_NewSelection:
        Select(list_->Choice());
        return Level_Benign;
      case EVENT_Accepted:
        Select(list_->Choice());
        if ((KEYCODE() == MouseLeft2 || KEYCODE() == EnterKey) && TakeKey()) return Level_Notify;
        return Level_Benign;
      case EVENT_AlertKey:
        if (KEYCODE() == MouseRight) {
          Popup.Ask();
          return Level_Benign;
        }
        return TakeKey() ? Level_Notify : Level_Benign;
      default:
        return Level_Benign;
    }
  }
  if (EVENT() != EVENT_Accepted) return Level_Benign;
  if (control == InsertControl) {
    Ask(InsertRecord);
  } else if (control == ChangeControl) {
    Ask(ChangeRecord);
  } else if (control == DeleteControl) {
    Ask(DeleteRecord);
  } else if (control == SelectControl && Selecting) {
    UpdateBuffer();
    manager_->Response = RequestCompleted;
    manager_->PostClose();
  } else {
    return Level_Benign;
  }
  return Level_Notify;
}

}  // namespace vx
