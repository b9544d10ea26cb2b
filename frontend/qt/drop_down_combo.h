// The box that shows a drop list or combo. Before its list drops down the program is told
// (EVENT_DroppingDown, posted by `dropping`), so it can fill the list afresh; the list opens once
// the window's thread has taken that event and waits again (ThreadWaits), by which time the
// new rows have reached the box, or after a short wait for a thread that is busy. The GUI
// thread never waits for the program.
//
// A combo given an icon has a lookup button instead of a list: the icon stands on its button,
// and pressing the button (or Alt+Down) calls `looked_up`, which tells the program
// (EVENT_Rejected), instead of dropping anything down.
#pragma once

#include <QComboBox>
#include <QIcon>
#include <functional>

class QTimer;

namespace vx::qt {

class DropDownCombo final : public QComboBox {
  Q_OBJECT
 public:
  // `dropping` posts EVENT_DroppingDown and answers the event's tag (0: nothing was posted).
  DropDownCombo(QWidget* parent, std::function<long()> dropping,
                std::function<void()> looked_up = {});

  void showPopup() override;
  // The window's thread waits for events, having taken every event up to `tag`.
  void ThreadWaits(long tag);
  // Whether the list waits for the program to take EVENT_DroppingDown.
  bool Dropping() const { return waiting_for_ != 0; }
  // Whether the button is a lookup button, and the icon it shows then.
  void SetLookupButton(bool lookup, const QIcon& icon);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Drop();

  std::function<long()> dropping_;
  std::function<void()> looked_up_;
  bool lookup_ = false;
  QIcon button_icon_;
  long waiting_for_ = 0;
  QTimer* give_up_ = nullptr;
};

}  // namespace vx::qt
