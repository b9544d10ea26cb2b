// The framework's list browse: reads records through a view into the rows of a list control,
// keeps the highlighted record in the record buffer, and opens the update form for the Insert,
// Change, Delete and View requests on the list's own thread.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "framework/popup_class.h"
#include "framework/window_component.h"
#include "runtime/expression/bindings.h"
#include "runtime/expression/value.h"
#include "runtime/window/control.h"

namespace vx {

class WindowManager;

// What a browse reads: the records of one order of a table (or of a queue), one at a time,
// each loaded into the record buffer that the browse's procedure reads. Between two Next calls
// of a long read other runtime threads may have run (and changed what the view walks): a view
// keeps no pointer into shared memory across them (a stored walk re-queries by itself).
class BrowseView {
 public:
  virtual ~BrowseView() = default;
  virtual void Reset(int order) = 0;      // before the first record of the order (from 1)
  virtual bool Next() = 0;                // next record into the buffer; false at the end
  virtual long Position() const = 0;      // identity of the record in the buffer
  virtual bool Fetch(long position) = 0;  // that record into the buffer again
};

class BrowseClass : public WindowComponent, public ListSource {
 public:
  void Init(Control& list, BrowseView& view, WindowManager& manager);

  // Sort orders, numbered from 1 in the order added; `view_order` is what the view is reset
  // with (default: the same number).
  int AddSortOrder(int view_order = 0);
  // Named filters of an order (0: the current one, AllOrders: whatever order is current); a
  // record must pass all of them.
  static constexpr int AllOrders = -1;
  void SetFilter(std::function<bool()> filter, const std::string& name = "", int order = 0);
  // A named filter given as an expression over the names in Bindings, read once here and
  // evaluated for every record ("(SCH:Disabled=0)"). An expression that cannot be read lets no
  // record pass: a list that shows everything would hide that its filter was lost. Answers
  // whether it was read; FilterError says why not.
  bool SetFilterExpression(std::string_view expression, const std::string& name = "",
                           int order = 0);
  const std::string& FilterError() const { return filter_error_; }
  void ClearFilter(const std::string& name = "", int order = 0);
  // The names filter expressions may use: a procedure binds its tables' fields here (a file
  // manager's BindFields) before it sets an expression filter.
  ExpressionBindings Bindings;
  int CurrentOrder() const { return order_; }
  // A step locator for an order (0: the current one): a letter or digit typed on the list
  // highlights the first row whose locator text, read from the record buffer, starts with that
  // character or a later one (letter case ignored).
  void SetLocator(std::function<std::string()> field, int order = 0);
  // A sort laid over the current order's sequence (the list extension's column sort): the rows
  // the order reads are put in the order of these elements, each a value of the record just
  // read (its row fields in Q) with a direction; rows with equal values keep the order's own
  // sequence. While it holds, the locator reads `locator` (rows in that column's order).
  // Empty elements: the order's own sequence again. Takes effect at the next reset.
  struct SortElement {
    std::function<ExprValue()> value;
    bool descending = false;
  };
  void SetSortElements(std::vector<SortElement> elements,
                       std::function<std::string()> locator = {});
  bool ColumnSorted() const { return !sort_elements_.empty(); }
  // The rows in the order the records were stored (their positions) in place of the order's
  // own sequence; a column sort still comes first. Takes effect at the next reset.
  void SetFileSequence(bool on) { file_sequence_ = on; }
  bool FileSequence() const { return file_sequence_; }
  // Makes an order current and re-reads; answers whether the order changed.
  bool SetSort(int order, bool force = false);
  // Chooses the order for the window's state (a procedure overrides it to follow its tabs).
  virtual void ResetSort(bool force) { SetSort(order_ ? order_ : 1, force); }

  // Steps a procedure overrides: whether the record in the buffer belongs in the list, and the
  // row fields shown for it (in Q, in the order of the list format's field numbers).
  virtual bool ValidateRecord() { return true; }
  virtual void SetQueueRecord() {}
  std::vector<std::string> Q;

  // Controls and the form. Request 4 makes the browse a picker: the Select button (or a double
  // click) completes the window with the highlighted record in the buffer.
  int InsertControl = 0;
  int ChangeControl = 0;
  int DeleteControl = 0;
  int SelectControl = 0;
  bool Selecting = false;
  std::function<void()> UpdateProcedure;
  PopupClass Popup;

  // Runs the update form with a request (an insert over a freshly primed buffer); a completed
  // request re-reads the list and highlights the record the form left in the buffer. Answers
  // the form's response.
  virtual long Ask(long request);
  // Prepares the buffer for an insert (a procedure primes its fields here).
  virtual void PrimeRecord(bool /*keep_buffer*/) {}
  // Re-reads every row, keeping the highlighted record. A read longer than kReadSlice gives
  // the other runtime threads a turn (YIELD) every kReadSlice between two records.
  virtual void ResetFromView();
  static constexpr std::chrono::milliseconds kReadSlice{50};
  virtual void UpdateBuffer();  // the highlighted record into the buffer
  virtual void UpdateWindow();  // greys Change, Delete and Select without rows
  // A key on the list (KEYCODE(): an alerted key, Enter, or MouseLeft2 for a double click): a
  // letter or digit steps the locator; Enter or a double click presses Select, else Change.
  // Answers whether the key was handled.
  virtual bool TakeKey();

  long Selected() const { return selected_; }  // highlighted row, from 1; 0 none
  void Select(long row);
  std::size_t Records() const override { return rows_.size(); }
  std::vector<std::string> Fields(std::size_t row) const override { return rows_[row]; }
  const std::vector<std::string>* KeptFields(std::size_t row) const override { return &rows_[row]; }
  // The rows change only on the browse's own thread; not within a transaction of that thread
  // (see ResetFromView).
  bool MayYieldWhileRendered() const override;
  long PositionOf(long row) const {
    return row >= 1 && row <= static_cast<long>(positions_.size()) ? positions_[row - 1] : 0;
  }

  // WindowComponent
  Level TakeEvent() override;
  void Reset(bool force) override;
  void Update() override { UpdateBuffer(); }
  void SetAlerts() override;
  void Kill() override { Popup.Kill(); }

 protected:
  Control* ListControl() const { return list_; }
  WindowManager* Manager() const { return manager_; }
  // Runs the update form over the buffer as it stands (an insert primed by the caller).
  long AskPrimed(long request);

 private:
  bool PassesFilters();
  void SortRows(const std::vector<std::vector<ExprValue>>& values);
  bool Locate(int keycode);

  Control* list_ = nullptr;
  BrowseView* view_ = nullptr;
  WindowManager* manager_ = nullptr;
  std::vector<int> view_orders_;
  std::map<int, std::map<std::string, std::function<bool()>>> filters_;
  int order_ = 0;
  std::vector<std::vector<std::string>> rows_;
  std::vector<long> positions_;
  std::vector<std::string> locator_texts_;  // per row, upper case
  std::map<int, std::function<std::string()>> locators_;
  long selected_ = 0;
  std::string filter_error_;
  std::vector<SortElement> sort_elements_;
  std::function<std::string()> sort_locator_;
  bool locate_descending_ = false;
  bool file_sequence_ = false;
  bool render_deferred_ = false;  // within Reset: the manager displays the window after it
};

}  // namespace vx
