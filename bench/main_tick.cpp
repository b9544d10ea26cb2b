// Main's timer tick with 100,000 tasks in the table: clipboard capture on an unchanged
// clipboard, the phase of the turn (the due-task check and the clock check where they are
// built), the script status and the tray icon. The figure includes handing the timer event to
// Main's thread. Aim: well under a millisecond per tick, since one runs every second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/file_manager.h"
#include "program/shell/install_program_services.h"
#include "program/shell/main_frame.h"
#include "program/shell/program_registry.h"
#include "bench/task_folder.h"
#include "runtime/dates.h"
#include "runtime/events.h"
#include "runtime/storage/sqlite_session.h"
#include "runtime/threads.h"

namespace {

using namespace vx;

constexpr int kTasks = 100000;
constexpr std::int32_t kToday = 80000;


void BM_MainTick100k(benchmark::State& state) {
  bench::TaskFolder folder(kTasks, kToday);
  FixedClock clock(kToday, 12 * 360000 + 1);
  ScopedClock scoped_clock(clock);
  ProgramRegistry().INIT(1);
  InstallProgramServices();

  bool ticked = false;
  MainServices services;
  services.manual_timer = true;
  services.steps.after_tick = [&] { ticked = true; };
  SetMainServices(&services);

  RunProgram([&] {
    const long main_thread = START(Main);
    while (GLO_MAINTHREAD == 0) YIELD();
    MONITORCLIPBOARD = 1;
    STARTUPACTIVE = 1;
    for (auto _ : state) {
      ticked = false;
      POST(EVENT_Timer, 0, main_thread);
      while (!ticked) YIELD();
    }
    MINIMIZEONCLOSEREQUEST = 0;
  });
  SetMainServices(nullptr);
  ProgramRegistry().KILL();
}
// A fixed count, so that the table is filled once; four ticks make one turn of the phases.
BENCHMARK(BM_MainTick100k)->Unit(benchmark::kMicrosecond)->Iterations(4000);

}  // namespace

