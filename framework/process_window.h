// The progress window of a pass over records: its title, "Processing Records", a progress bar
// and "N% Completed", following the records as they are done.
//
// The pass runs on the calling thread; the window belongs to that thread too. Every so often
// (and once before the first record, so that it shows) the window takes the events that came
// meanwhile and lets other runtime threads run, so a long pass neither freezes its window nor
// holds up the others. It opens where the user last left it and remembers its place in
// ".\POSITION.INI" under the procedure's name when it closes. Unless made cancellable the pass
// has no Cancel: the close box is ignored until it ends. A cancellable one has a "Cancel"
// button, which Esc and the close box press too; the pass sees it when Advance answers false.
// Off a runtime thread (a tool or a test calling a routine directly) nothing is shown and the
// calls do nothing.
//
// A pass whose length is not known in advance (a search that reads until it finds) opens
// uncounted: the bar only shows that work goes on, and the line below it says what the pass
// reports (Report) instead of a percentage.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class Window;
class Control;

class ProcessWindow {
 public:
  ProcessWindow(std::string_view procedure, std::string_view title);
  ~ProcessWindow();
  ProcessWindow(const ProcessWindow&) = delete;
  ProcessWindow& operator=(const ProcessWindow&) = delete;

  // Before Open: the line above the bar ("Processing Records" unless set), and a Cancel button.
  void Caption(std::string_view text) { caption_ = text; }
  void Cancellable() { cancellable_ = true; }

  // Opens the window for a pass over `records` records and lets it show.
  void Open(std::size_t records);
  // Opens it for a pass of unknown length.
  void OpenUncounted();
  // The line below the bar, shown at once (an uncounted pass: "3 Found").
  void Report(std::string_view text);
  // One record done. False once the user has cancelled the pass.
  bool Advance();
  // The pass has done `done` of the `records` it was opened for (any unit that grows: a file's
  // bytes read so far). False once the user has cancelled the pass.
  bool AdvanceTo(std::size_t done);
  bool Cancelled() const { return cancelled_; }
  // Shows the pass complete, takes the events still waiting, saves the place and closes.
  void Close();

 private:
  void ShowPercent(long percent);
  void TakeEvents();
  void SavePlaceAndClose();

  std::string procedure_;
  std::string title_;
  std::string caption_ = "Processing Records";
  bool cancellable_ = false;
  bool cancelled_ = false;
  bool uncounted_ = false;
  int cancel_ = 0;
  std::unique_ptr<Window> window_;
  Control* percent_ = nullptr;
  Control* bar_ = nullptr;
  std::size_t records_ = 0;
  std::size_t done_ = 0;
  long shown_percent_ = -1;
  std::chrono::steady_clock::time_point last_events_{};
};

}  // namespace vx
