// The list browse of the program's browse windows: the framework's browse with a View button
// (the highlighted record's form, read-only) and a Copy button (an insert that starts from the
// highlighted record), and Enter and a double click pressing whichever of Select, View and
// Change is the window's default button.
#pragma once

#include <functional>

#include "framework/browse_class.h"
#include "runtime/events.h"

namespace vx {

class ZQBROWSECLASS : public BrowseClass {
 public:
  // The key that asks for the highlighted record's form to view it, alerted on the list.
  static constexpr int kViewKey = CtrlAltEnter;

  // Control numbers of the window's View and Copy buttons; 0 when it has none. Set after Init.
  int ViewControl = 0;
  int CopyControl = 0;

  // The list extension answers true for a double click that is its own (one on a column
  // header); the browse then leaves that click alone. Unset: every double click is the browse's.
  std::function<bool()> DoubleClickClaimed;

  // The base alerts; with a View button also the view keys on the list and the popup item
  // "&View" (named "!View") that presses it.
  void SetAlerts() override;
  // The base greying; View and Copy are usable only while the browse holds records.
  void UpdateWindow() override;
  // View: the screen into the buffers, then the form with the view request. Copy: the screen
  // into the buffers, a new record primed over the highlighted one, then the insert form.
  Level TakeEvent() override;
  // With records shown: Enter or a double click presses the first of Select (while selecting),
  // View and Change that is the window's default button; Shift+Enter or the view key presses
  // View. Anything else, or no such default button, is the base's.
  bool TakeKey() override;

  // Runs the insert form over a copy of the highlighted record and answers its response (the
  // Copy button's road, for callers that start it themselves).
  long ASKCOPY();

 private:
  bool Press(int control);
};

}  // namespace vx
