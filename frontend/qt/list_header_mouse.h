// The mouse on a list's column header, reported to the model as the list extension expects it:
// presses and releases with where they happened ("row column zone"), the start of a header drag,
// right clicks, a double click on a column border, and a border dragged to a new width. The
// press state belongs to this one header, so two lists never see each other's presses.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QHeaderView;
class QPoint;

namespace vx::qt {

class ListHeaderMouse final : public QObject {
  Q_OBJECT
 public:
  // `post` sends an event for the list: its number, the place text and the key code.
  using PostFn = std::function<void(int event, std::string text, int keycode)>;
  ListHeaderMouse(QHeaderView* header, PostFn post);

  // Where a point of the header's viewport lies: "row column zone" (row 0 on the header, 1
  // below or above it; column from 1, 0 right of the last; zone 1 on a column's right border).
  std::string Place(const QPoint& pos) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QHeaderView* header_;
  QObject* viewport_;
  PostFn post_;
  bool pressed_ = false;
  bool dragging_ = false;
  int resizing_ = 0;  // the column whose border was pressed, from 1
  int press_x_ = 0;
};

}  // namespace vx::qt
