// A view that reads each record again by its position as it steps to it, so that a list shows
// what is stored now even when the view's read was made before another thread's write: a record
// gone by then is skipped (its buffer cleared) instead of shown stale.
#pragma once

#include <functional>

#include "framework/browse_class.h"

namespace vx::MH {

class VIEWMANAGER : public BrowseView {
 public:
  // `clear` empties the record buffer of the view's primary file.
  VIEWMANAGER(BrowseView& view, std::function<void()> clear)
      : view_(view), clear_(std::move(clear)) {}

  // Opens the view once (until KILL) and puts it before its first record.
  void OPEN(int order);
  void KILL() { BLOCKOPEN = false; }
  // The next record: 0 read, 5 read but gone when read again (skipped, the buffer cleared), 33
  // at the end.
  int NEXT(bool reget);

  // BrowseView, for a browse over it: Next passes the records that are gone.
  void Reset(int order) override { view_.Reset(order); }
  bool Next() override;
  long Position() const override { return view_.Position(); }
  bool Fetch(long position) override { return view_.Fetch(position); }

  bool BLOCKOPEN = false;

 private:
  BrowseView& view_;
  std::function<void()> clear_;
};

}  // namespace vx::MH
