// A notification-area icon of the model: picture and tip shown by the front end, whose clicks
// come back as events posted to the thread that owns the icon.
#pragma once

#include <string>
#include <string_view>

namespace vx {

class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Shows the icon; clicks are posted to the calling thread as these events (0: not posted).
  // Answers whether a front end is there to show it (headless, the icon is kept but unseen).
  bool Add(std::string_view icon, std::string_view tip, int left_click, int right_click,
           int left_double, int right_double);
  void Remove();
  void SetIcon(std::string_view icon);
  void SetTip(std::string_view tip);

  int Id() const { return id_; }
  bool Shown() const { return shown_; }
  std::string Icon() const { return icon_; }
  std::string Tip() const { return tip_; }

 private:
  void Publish();
  int id_ = 0;
  long thread_ = 0;
  bool shown_ = false;
  std::string icon_, tip_;
  int events_[4] = {0, 0, 0, 0};
};

}  // namespace vx
