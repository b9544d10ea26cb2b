// One model window drawn as a Qt main window: menus, toolbar and status bar around its controls,
// each container laid out as the model's layout says (form rows, a row, a grid, panes) with Qt
// layouts. It opens no larger than the screen, centred over the window that opened it unless
// the model gives it a place, and reports where the user moves and sizes it. It changes only
// as the window model's messages say, and sends what the user does to the window's thread as
// events.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window/front_end.h"
#include "runtime/window/layout.h"

class QAction;
class QBoxLayout;
class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QKeyEvent;
class QMenu;
class QSpacerItem;
class QTabWidget;
class QTimer;

namespace vx::qt {

class ListTableModel;

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

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Item {
    ControlType type = ControlType::Window;
    int parent = 0;
    QWidget* widget = nullptr;
    QAction* action = nullptr;   // menu entries and toolbar buttons
    QMenu* menu = nullptr;       // menus
    QButtonGroup* group = nullptr;  // options
    QTabWidget* tabs = nullptr;     // a tab's sheet
    ListTableModel* model = nullptr;
    int index = 0;                  // a tab's page or a radio's place in its option, from 0
    int radios = 0;                 // an option's radios so far
    std::map<Prop, std::string> props;
  };
  struct Container {
    Layout layout;
    QGridLayout* grid = nullptr;  // form rows and grids
    QBoxLayout* box = nullptr;    // rows and panes
    std::map<int, QHBoxLayout*> button_rows;  // form rows: the buttons of a row, right-aligned
    int next_row = 0;             // a control the model did not place goes below the others
    // Form rows and grids without a growing control keep their rows together at the top: the
    // spare height goes to a filler below the last row.
    QSpacerItem* filler = nullptr;
    bool rows_grow = false;
    // A group or option box is as high as its rows (no filler), so it does not take spare height
    // from the page around it unless it holds a growing control.
    bool fills = true;
    // A row keeps its controls together: buttons to the right, other controls to the left,
    // unless one of them (an entry, a list) takes the spare width.
    QSpacerItem* lead = nullptr;
    QSpacerItem* trail = nullptr;
    bool row_grows = false;
    bool row_only_buttons = true;
  };

  void Post(int event, int control, std::string text = {}, long choice = 0, int keycode = 0);
  // Tells the program a drop list or combo is about to drop down; answers the event's tag, 0
  // when nothing was posted.
  long PostDroppingDown(int control);
  void MakeWidget(int number, Item& item, const ControlSnapshot& s);
  QWidget* MakeFormWidget(int number, Item& item, const Layout& layout);
  Container& ContainerFor(int parent);
  Container& NewContainer(int number, QWidget* holder, const Layout& layout);
  void Place(Container& container, ControlType type, QWidget* widget, LayoutCell cell);
  // Lets every sheet that holds `parent` take the spare height (a growing control was added).
  void GrowSheetsAround(int parent);
  void PlaceInGrid(Container& container, ControlType type, QWidget* widget, LayoutCell cell);
  void PlaceInBox(Container& container, ControlType type, QWidget* widget);
  void FitAndPlace(QWidget* owner);
  void ApplyGeometry();
  void ReportGeometry();
  void ApplyWindowProp(Prop prop, const std::string& value);
  void ApplyProp(int number, Item& item, Prop prop, const std::string& value);
  void ApplyText(Item& item, const QString& text);
  void ApplyValue(Item& item, const std::string& value);
  void ApplySelected(Item& item, long choice);
  void ApplyHidden(Item& item, bool hidden);
  void ApplyTopmost(bool on);
  void ApplyIconize(bool on);
  void ReportEditDone(int number);
  // The model's number of the control that has the keyboard focus in this window; 0 none.
  int FocusedControl() const;
  Item* ItemOf(QObject* widget);
  bool ListKey(Item& item, const QKeyEvent& key);
  bool FieldKey(Item& item, const QKeyEvent& key);

  long thread_;
  int id_;
  bool shown_ = false;      // the model has shown it
  bool appeared_ = false;   // it is on the screen (or was meant to be)
  std::function<QWidget*()> owner_;
  QTimer* appear_timer_ = nullptr;
  QTimer* geometry_timer_ = nullptr;
  QRect reported_;  // the place last reported to the model (or given by it)  // moves and sizes reach the model once the user stops
  bool applying_ = false;  // changes come from the model: no events for them
  std::map<Prop, std::string> props_;
  std::map<int, Item> items_;
  std::map<int, Container> containers_;  // 0: the window's own form
  QWidget* last_prompt_ = nullptr;
};

}  // namespace vx::qt
