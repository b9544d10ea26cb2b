// One model window drawn as a Qt main window: menus, toolbar and status bar around its controls,
// each container laid out as the model's layout says (form rows, a row, a grid, panes) with Qt
// layouts. It opens no larger than the screen, centred over the window that opened it unless
// the model gives it a place, and reports where the user moves and sizes it. It changes only
// as the window model's messages say, and sends what the user does to the window's thread as
// events.
//
// The window's jobs stand in files of their own: making its widgets (qt_window_widgets.cpp),
// placing them in their containers (window_layout.h), applying the model's properties to them
// (control_props.h), reading the keys the model alerts on (window_keys.h) and its place on the
// screen (window_geometry.h). This class holds the window's state and joins them.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frontend/qt/window_item.h"
#include "frontend/qt/window_layout.h"
#include "runtime/window/front_end.h"
#include "runtime/window/layout.h"

class QAction;
class QKeyEvent;
class QTableView;
class QTimer;

namespace vx::qt {

class QtWindow final : public QMainWindow {
  Q_OBJECT
 public:
  QtWindow(long thread, int id, const std::map<Prop, std::string>& props);
  ~QtWindow() override;

  int Id() const { return id_; }
  long Thread() const { return thread_; }
  bool IsFrame() const;
  // Whether the user has the window: modal on its thread, only the thread's newest takes input.
  void SetTakesInput(bool on);

  void AddControl(const ControlSnapshot& control);
  void SetProp(int control, Prop prop, const std::string& value);
  void SetRows(int control, std::shared_ptr<const std::vector<ListRow>> rows);
  // Every control has been announced: the window appears (unless hidden) once its thread has
  // finished setting it up (Appear), or shortly anyway. `owner` answers, when it appears, the
  // window it opens over.
  void ShowFirst(std::function<QWidget*()> owner);
  // Shows a window waiting to appear now (its thread waits for events or asks a question).
  void Appear();
  // Restored and raised with the keyboard, unless it is the active window already.
  void BringToFront();
  // The window's thread waits for events, having taken every input up to `tag`: a drop list
  // waiting for the program to refill it opens.
  void ThreadWaits(long tag);
  // Puts the picture of a control (0: the whole window) on the clipboard.
  void CopyPicture(int control);
  // Where a popup the program places at (x, y) dialog units from `control` opens on the screen
  // (y -1: below the control); the mouse's place when x and y are -1.
  QPoint PopupPlace(int control, long x, long y) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  using Item = WindowItem;

  void Post(int event, int control, std::string text = {}, long choice = 0, int keycode = 0);
  // Tells the program a drop list or combo is about to drop down; answers the event's tag, 0
  // when nothing was posted.
  long PostDroppingDown(int control);
  // Making the widgets (qt_window_widgets.cpp).
  void MakeWidget(int number, Item& item, const ControlSnapshot& s);
  QWidget* MakeFormWidget(int number, Item& item, const Layout& layout);
  Container& ContainerFor(int parent);
  Container& NewContainer(int number, QWidget* holder, const Layout& layout);
  // Lets every sheet that holds `parent` take the spare height (a growing control was added).
  void GrowSheetsAround(int parent);
  // Geometry (the sums in window_geometry.h).
  void FitAndPlace(QWidget* owner);
  void KeepStatusZonesApart();
  void HoldStatusBarWidth();  // the bar's least width as its layout last found it
  void ApplyGeometry();
  void ReportGeometry();
  // Puts the size grip (when the window has one) in the lower right corner, over the rest.
  void PlaceSizeGrip();
  // The window's own properties; a control's are applied by control_props.h.
  void ApplyWindowProp(Prop prop, const std::string& value);
  void ApplyTopmost(bool on);
  void ApplyIconize(bool on);
  void ReportEditDone(int number);
  // Free areas, drags, cell editors, column selection and tree rows (free_controls.cpp).
  void ApplyFreeProp(int number, Item& item, Prop prop);
  void PlaceFree(int number, Item& item, bool first);
  void PlaceOverCell(Item& item);
  void FollowCellEditors(int list);  // the editors over a list's cells, after its rows changed
  void ApplyColumnSelection(Item& item);
  void WireListExtras(int number, QTableView* view);
  bool FreeEvent(QObject* watched, QEvent* event);
  int ControlOf(const QObject* object) const;
  std::string DialogPlace(const QWidget* area, const QPoint& global) const;
  // The model's number of the control that has the keyboard focus in this window; 0 none.
  int FocusedControl() const;
  Item* ItemOf(QObject* widget);
  // Posts `code` (a key code from window_keys.h, 0 none) when the control alerts it; answers
  // whether it did, so the key goes no further.
  bool AlertKey(Item& item, int code);

  long thread_;
  int id_;
  bool shown_ = false;               // the model has shown it
  bool zones_width_queued_ = false;  // HoldStatusBarWidth is queued after a layout request
  bool appeared_ = false;            // it is on the screen (or was meant to be)
  std::function<QWidget*()> owner_;
  QTimer* appear_timer_ = nullptr;
  QTimer* geometry_timer_ = nullptr;
  QWidget* size_grip_ = nullptr;
  QRect reported_;  // the place last reported to the model (or given by it)  // moves and sizes
                    // reach the model once the user stops
  bool applying_ = false;  // changes come from the model: no events for them
  std::map<Prop, std::string> props_;
  std::map<int, Item> items_;
  std::map<int, Container> containers_;  // 0: the window's own form
  QWidget* last_prompt_ = nullptr;
  struct Drag {
    int source = 0;  // the control pressed, when it may be dragged
    QPoint pressed;
    bool moving = false;
    std::string last;  // the mouse place last reported
  } drag_;
};

}  // namespace vx::qt
