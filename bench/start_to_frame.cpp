// The built VX started on a data folder of many tasks: the time from starting the process until
// its frame stands on the screen, and the process's resident memory once it has settled into
// its idle tick. Each figure is reported beside the aim it is held to (start_goal_ms,
// rss_goal_MB). Argument: tasks in the table.
//
// Runs on the display in $DISPLAY (bench/desktop_session.sh makes one with a window manager and
// a tray host) and starts the VX beside this program, or the one $VX_PROGRAM names.
//
// `bench_start_to_frame --task-folder FOLDER TASKS` only makes FOLDER a data folder holding
// TASKS tasks, for bench/idle_cpu.sh.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "bench/task_folder.h"
#include "datadll/dictionary/schedule_table.h"
#include "runtime/dates.h"
#include "tests/desktop/x_windows.h"

namespace {

using namespace vx;

namespace fs = std::filesystem;

constexpr double kStartGoalMs = 100;
constexpr double kRssGoalMb = 40;
// How long the program runs after its frame stands before its memory is read: a few ticks, the
// first task check among them.
constexpr auto kSettle = std::chrono::seconds(6);

std::string Program() {
  if (const char* named = std::getenv("VX_PROGRAM"); named && *named) return named;
  return (fs::read_symlink("/proc/self/exe").parent_path() / "VX").string();
}

// Makes `folder` a data folder of `tasks` tasks from today on, as the program keeps them.
void MakeTaskFolder(const fs::path& folder, int tasks) {
  fs::create_directories(folder);
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path target = fs::absolute(folder) / "VX97.TPS";
  bench::TaskFolder made(tasks, TODAY());
  ACCESS_SCHEDULE->Close();
  fs::copy_file(fs::path(made.path) / "VX97.TPS", target, fs::copy_options::overwrite_existing);
  ACCESS_SCHEDULE->Open();
}

// The resident memory of a process in megabytes (VmRSS).
double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

struct Started {
  pid_t pid = 0;
  double seconds_to_frame = 0;
};

// Starts VX on `folder` and waits for its frame (a shown window of the process titled
// "Varnodex"), checking every millisecond.
Started StartVx(Display* display, const std::string& folder) {
  Started started;
  const auto begin = std::chrono::steady_clock::now();
  started.pid = test::StartWithoutSessionBus(Program(), {"Data=" + folder});
  if (started.pid == 0) throw std::runtime_error("cannot start " + Program());
  const auto until = begin + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < until) {
    const ::Window frame =
        test::FindWindowTitled(display, DefaultRootWindow(display), "Varnodex", true);
    if (frame && test::WindowProcess(display, frame) == started.pid) {
      started.seconds_to_frame =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
      return started;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  int status = 0;
  test::EndWithin(started.pid, std::chrono::seconds(5), status);
  throw std::runtime_error("the frame did not appear within 30 s");
}

void BM_StartToFrame(benchmark::State& state) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    state.SkipWithError("no X display");
    return;
  }
  char pattern[] = "/tmp/vx-bench-start-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  MakeTaskFolder(folder, static_cast<int>(state.range(0)));
  int status = 0;
  // The first start stores the new database's settings; the measured ones find them.
  test::EndWithin(StartVx(display, folder).pid, std::chrono::seconds(20), status);
  double rss_total = 0;
  for (auto _ : state) {
    const Started started = StartVx(display, folder);
    state.SetIterationTime(started.seconds_to_frame);
    state.PauseTiming();
    std::this_thread::sleep_for(kSettle);
    rss_total += ResidentMb(started.pid);
    test::EndWithin(started.pid, std::chrono::seconds(20), status);
    state.ResumeTiming();
  }
  state.counters["rss_MB"] = rss_total / static_cast<double>(state.iterations());
  state.counters["rss_goal_MB"] = kRssGoalMb;
  state.counters["start_goal_ms"] = kStartGoalMs;
  XCloseDisplay(display);
  std::error_code ec;
  fs::remove_all(folder, ec);
}
BENCHMARK(BM_StartToFrame)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--task-folder") {
    MakeTaskFolder(argv[2], std::atoi(argv[3]));
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
