// Which rows a list shows, reported to the model: the first row in view and how many rows the
// list has room for, sent as EVENT_ListScrolled whenever either changes (a scroll, a resize, a
// change of row height), so the program can print the page of the list the user sees.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QTableView;

namespace vx::qt {

class ListRowsInView final : public QObject {
 public:
  // `post` sends the event's text ("first rows") for the list.
  using PostFn = std::function<void(std::string text)>;
  ListRowsInView(QTableView* view, PostFn post);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Report();

  QTableView* view_;
  QObject* viewport_;
  PostFn post_;
  std::string reported_;
};

}  // namespace vx::qt
