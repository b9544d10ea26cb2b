#include "runtime/window/tray_icon.h"

#include <atomic>
#include <memory>

#include "runtime/threads.h"
#include "runtime/window/front_end.h"

namespace vx {
namespace {
std::atomic<int> g_last_tray_id{0};
}  // namespace

bool TrayIcon::Add(std::string_view icon, std::string_view tip, int left_click, int right_click,
                   int left_double, int right_double) {
  if (!id_) id_ = ++g_last_tray_id;
  thread_ = THREAD();
  icon_ = std::string(icon);
  tip_ = std::string(tip);
  events_[0] = left_click;
  events_[1] = right_click;
  events_[2] = left_double;
  events_[3] = right_double;
  shown_ = true;
  Publish();
  return CurrentFrontEnd() != nullptr;
}

void TrayIcon::Remove() {
  if (!shown_) return;
  shown_ = false;
  Publish();
}

void TrayIcon::SetIcon(std::string_view icon) {
  if (icon_ == icon) return;
  icon_ = std::string(icon);
  if (shown_) Publish();
}

void TrayIcon::SetTip(std::string_view tip) {
  if (tip_ == tip) return;
  tip_ = std::string(tip);
  if (shown_) Publish();
}

// The whole state goes out each time: Icon, Tip, Hide, and the four click events as the
// value "left right left-double right-double".
void TrayIcon::Publish() {
  ModelMessage m;
  m.kind = ModelMessage::Kind::TrayChanged;
  m.thread = thread_;
  m.control = id_;
  auto snapshot = std::make_shared<ControlSnapshot>();
  snapshot->control = id_;
  snapshot->props[Prop::Icon] = icon_;
  snapshot->props[Prop::Tip] = tip_;
  snapshot->props[Prop::Hide] = shown_ ? "0" : "1";
  m.value = std::to_string(events_[0]) + " " + std::to_string(events_[1]) + " " +
            std::to_string(events_[2]) + " " + std::to_string(events_[3]);
  m.snapshot = std::move(snapshot);
  Announce(m);
}

}  // namespace vx
