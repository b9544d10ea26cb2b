// One model window drawn as a Qt main window: menus, toolbar and status bar around a form laid
// out automatically (prompts beside their fields, buttons in rows, lists, texts and sheets
// stretching). It changes only as the window model's messages say, and sends what the user
// does to the window's thread as events.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/window/front_end.h"

class QAction;
class QButtonGroup;
class QGridLayout;
class QHBoxLayout;
class QKeyEvent;
class QMenu;
class QTabWidget;

namespace vx::qt {

class ListTableModel;

class QtWindow final : public QMainWindow {
  Q_OBJECT
 public:
  QtWindow(long thread, int id, const std::map<Prop, std::string>& props);
  ~QtWindow() override;

  int Id() const { return id_; }
  long Thread() const { return thread_; }
  // Whether the user has the window: modal on its thread, only the thread's newest takes input.
  void SetTakesInput(bool on);

  void AddControl(const ControlSnapshot& control);
  void SetProp(int control, Prop prop, const std::string& value);
  void SetRows(int control, std::shared_ptr<const std::vector<ListRow>> rows);
  // Every control has been announced: the window appears (unless hidden).
  void ShowFirst();
  // Restored and raised with the keyboard, unless it is the active window already.
  void BringToFront();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
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
    QGridLayout* grid = nullptr;
    int row = 0;
    bool prompt_open = false;        // the last row holds a prompt waiting for its field
    QHBoxLayout* buttons = nullptr;  // the row that consecutive buttons share
  };

  void Post(int event, int control, std::string text = {}, long choice = 0, int keycode = 0);
  void MakeWidget(int number, Item& item, const ControlSnapshot& s);
  QWidget* MakeFormWidget(int number, Item& item);
  Container& ContainerFor(int parent);
  Container& NewContainer(int number, QWidget* holder);
  void Place(Container& container, ControlType type, QWidget* widget);
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

  long thread_;
  int id_;
  bool shown_ = false;
  bool applying_ = false;  // changes come from the model: no events for them
  std::map<Prop, std::string> props_;
  std::map<int, Item> items_;
  std::map<int, Container> containers_;  // 0: the window's own form
  QWidget* last_prompt_ = nullptr;
};

}  // namespace vx::qt
