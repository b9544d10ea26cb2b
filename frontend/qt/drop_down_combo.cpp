#include "frontend/qt/drop_down_combo.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace vx::qt {
namespace {
// A thread busy elsewhere does not keep the list shut: it opens with what it holds, and rows
// that come later fill it while open.
constexpr int kLongestWaitMs = 500;
}  // namespace

DropDownCombo::DropDownCombo(QWidget* parent, std::function<long()> dropping,
                             std::function<void()> looked_up)
    : QComboBox(parent),
      dropping_(std::move(dropping)),
      looked_up_(std::move(looked_up)),
      give_up_(new QTimer(this)) {
  give_up_->setSingleShot(true);
  give_up_->setInterval(kLongestWaitMs);
  connect(give_up_, &QTimer::timeout, this, [this] { Drop(); });
}

void DropDownCombo::showPopup() {
  // Qt opens the list from every press of the button and from Alt+Down: a lookup button is
  // pressed instead.
  if (lookup_) {
    if (looked_up_) looked_up_();
    return;
  }
  if (waiting_for_ != 0) return;  // asked again while the program fills it
  waiting_for_ = dropping_ ? dropping_() : 0;
  if (waiting_for_ == 0) {
    QComboBox::showPopup();
    return;
  }
  give_up_->start();
}

void DropDownCombo::ThreadWaits(long tag) {
  if (waiting_for_ != 0 && tag >= waiting_for_) Drop();
}

void DropDownCombo::Drop() {
  if (waiting_for_ == 0) return;
  waiting_for_ = 0;
  give_up_->stop();
  // The program may have hidden or disabled the box meanwhile.
  if (isVisible() && isEnabled()) QComboBox::showPopup();
}

void DropDownCombo::SetLookupButton(bool lookup, const QIcon& icon) {
  lookup_ = lookup;
  button_icon_ = icon;
  update();
}

void DropDownCombo::paintEvent(QPaintEvent* event) {
  QComboBox::paintEvent(event);
  if (!lookup_ || button_icon_.isNull()) return;
  QStyleOptionComboBox option;
  initStyleOption(&option);
  const QRect button =
      style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
  // The icon covers the arrow, which would promise a list.
  QPainter painter(this);
  painter.fillRect(button, palette().button());
  button_icon_.paint(&painter, button.adjusted(1, 1, -1, -1));
}

}  // namespace vx::qt
