#include "frontend/qt/drop_down_combo.h"

#include <QTimer>

namespace vx::qt {
namespace {
// A thread busy elsewhere does not keep the list shut: it opens with what it holds, and rows
// that come later fill it while open.
constexpr int kLongestWaitMs = 500;
}  // namespace

DropDownCombo::DropDownCombo(QWidget* parent, std::function<long()> dropping)
    : QComboBox(parent), dropping_(std::move(dropping)), give_up_(new QTimer(this)) {
  give_up_->setSingleShot(true);
  give_up_->setInterval(kLongestWaitMs);
  connect(give_up_, &QTimer::timeout, this, [this] { Drop(); });
}

void DropDownCombo::showPopup() {
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

}  // namespace vx::qt
