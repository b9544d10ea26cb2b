// Several schedulers on one database server, each started by its own user with its own task
// state: ann and bob each have a run state of one task due every minute, and ann runs two
// programs (two machines). Ten minutes of the test clock, ticked every ten seconds in step by
// three processes, run each of ann's and each of bob's occurrences exactly once, and sound its
// alarm once: the machine that loses an occurrence to the other stays silent.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <utility>

#include "datadll/dictionary/dictionary_keys.h"
#include "datadll/dictionary/dictionary_tables.h"
#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/table_managers.h"
#include "datadll/dictionary/user_tables.h"
#include "datadll/dictionary/vx_files.h"
#include "framework/error_class.h"
#include "framework/file_manager.h"
#include "program/due_tasks/due_task_table.h"
#include "program/due_tasks/program_schedule_services.h"
#include "runtime/storage/file.h"
#include "runtime/storage/server_store.h"
#include "support/local_pg_cluster.h"
#include "support/temp_folder.h"
#include "tests/program/due_task_fixture.h"

extern char** environ;

namespace vx {
namespace {

constexpr int kTicks = 61;  // 10:00:00 to 10:10:00, every ten seconds
constexpr std::int32_t kStart = 10 * 360000 + 1;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

class TwoSchedulers : public test::TaskRoadTest {
 protected:
  void SetUp() override {
    TaskRoadTest::SetUp();
    services.steps = nullptr;
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.path());
    USEEXTERNALMESSAGE = USEMODALMESSAGE = MAXIMIZEONRUN = SAVESCRIPTS = 0;
    THREADCOUNT = 0;
    GLO_LASTCHECKDATE = 0;
    BROWSESCHEDULETHREADQUEUE.Free();
  }
  void TearDown() override {
    if (loaded_) Unload();
    storage::InstallTableStore(nullptr);
    MULTIUSER = 0;
    GLO_USER = "";
    std::filesystem::current_path(old_);
    TaskRoadTest::TearDown();
  }

  void Load(const storage::ServerSettings& server) {
    storage::InstallTableStore(storage::MakeServerStore(server));
    VX_Files_Load();
    errors_.Init();
    errors_.SetReporter(&file_boxes_);
    VX_FILES_INIT(&errors_, nullptr);
    loaded_ = true;
    ASSERT_EQ(ACCESS_SCHEDULE->Open(), 0) << FILEERROR();
    ASSERT_EQ(ACCESS_VXUSD->Open(), 0) << FILEERROR();
  }
  void Unload() {
    for (const storage::TableDef* table : DictionaryTables()) {
      storage::File& file = storage::File::For(*table);
      while (file.IsOpen()) file.Close();
    }
    VX_Files_Unload();
    loaded_ = false;
  }

  test::TempFolder folder_{"vx schedulers"};
  std::filesystem::path old_;
  ErrorClass errors_;
  test::RecordingReporter file_boxes_;
  ProgramScheduleServices schedule_;
  ScopedScheduleServices scoped_schedule_{schedule_};
  bool loaded_ = false;
};

// Waits until all three schedulers have reached `step` (each adds its row, then looks).
void Barrier(const std::string& me, int step) {
  const std::string port = Env("VX_SCHEDULERS_PORT");
  const std::string info = "host=127.0.0.1 port=" + port +
                           " dbname=" + Env("VX_SCHEDULERS_DATABASE") +
                           " user=vx_admin password=" + Env("VX_SCHEDULERS_PASSWORD");
  static PGconn* conn = PQconnectdb(info.c_str());
  PQclear(PQexec(
      conn, ("INSERT INTO barrier VALUES (" + std::to_string(step) + ", '" + me + "')").c_str()));
  for (int i = 0; i < 20000; ++i) {
    PGresult* r =
        PQexec(conn, ("SELECT count(*) FROM barrier WHERE step = " + std::to_string(step)).c_str());
    const bool all =
        PQresultStatus(r) == PGRES_TUPLES_OK && std::string(PQgetvalue(r, 0, 0)) == "3";
    PQclear(r);
    if (all) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// One scheduler, started by the test below as a process of its own.
TEST_F(TwoSchedulers, DISABLED_OneScheduler) {
  storage::ServerSettings server;
  server.host = "127.0.0.1";
  server.port = Env("VX_SCHEDULERS_PORT");
  server.dbname = Env("VX_SCHEDULERS_DATABASE");
  server.user = "vx_admin";
  server.password = Env("VX_SCHEDULERS_PASSWORD");
  const std::string me = Env("VX_SCHEDULERS_NAME");
  Load(server);
  MULTIUSER = 1;  // after the data library's start, which sets its globals
  GLO_USER = Env("VX_SCHEDULERS_USER");
  DueTaskTableFiles table;
  test::RecordingFrame frame;
  DueTaskState state;
  for (int tick = 0; tick < kTicks; ++tick) {
    Barrier(me, tick);
    clock.Set(kDay, kStart + tick * 1000);
    CheckNextTask(state, table, frame);
  }
  std::ofstream(Env("VX_SCHEDULERS_OUT"))
      << processes.requests.size() << " " << sound.beeps << "\n";
  EXPECT_TRUE(file_boxes_.shown.empty()) << file_boxes_.Texts().front();
  EXPECT_TRUE(frame.notices.empty()) << frame.notices.front().text;
}

TEST_F(TwoSchedulers, EachUsersOccurrenceRunsOnceWhateverRunsIt) {
  test::LocalPgCluster* cluster = test::LocalPgCluster::Get();
  ASSERT_NE(cluster, nullptr);
  const std::string kDatabase = test::LocalPgCluster::Name("vx_schedulers");
  ASSERT_TRUE(cluster->FreshDatabase(kDatabase));
  ASSERT_EQ(cluster->Admin("CREATE TABLE barrier (step int, who text)", kDatabase), "");
  Load(cluster->Settings(kDatabase));
  SCH = test::EveryTask(1, "Minutes", kDay, kStart + 6000);
  SCH.ID = 1;
  SCH.TaskType = "Run Program";
  SCH.Description = "Every minute";
  SCH.Command = "tick";
  SCH.Alarm = 1;
  SCH.AlarmFile = "BEEP";
  ASSERT_EQ(ACCESS_SCHEDULE->Insert(), 0);
  for (const char* user : {"ann", "bob"}) {
    US = VXUSD_RECORD{};
    US.USER = user;
    US.ID = 1;
    US.DATE = kDay;
    US.TIME = kStart + 6000;
    ASSERT_EQ(ACCESS_VXUSD->Insert(), 0);
  }
  Unload();
  storage::InstallTableStore(nullptr);

  struct Scheduler {
    std::string name, user;
    pid_t pid = 0;
  };
  Scheduler schedulers[] = {{"ann-1", "ann"}, {"ann-2", "ann"}, {"bob-1", "bob"}};
  for (Scheduler& s : schedulers) {
    const std::string filter = "--gtest_filter=TwoSchedulers.DISABLED_OneScheduler";
    const std::string out = (folder_.path() / (s.name + ".runs")).string();
    std::vector<std::string> env = {"VX_SCHEDULERS_PORT=" + std::to_string(cluster->port()),
                                    "VX_SCHEDULERS_PASSWORD=" + cluster->admin_password(),
                                    "VX_SCHEDULERS_NAME=" + s.name,
                                    "VX_SCHEDULERS_USER=" + s.user,
                                    "VX_SCHEDULERS_OUT=" + out,
                                    "VX_SCHEDULERS_DATABASE=" + kDatabase};
    for (char** e = environ; *e; ++e) env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", disabled = "--gtest_also_run_disabled_tests";
    std::string filter_arg = filter;
    char* argv[] = {self.data(), filter_arg.data(), disabled.data(), nullptr};
    ASSERT_EQ(posix_spawn(&s.pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()), 0);
  }
  // A scheduler that hangs fails the test rather than holding it up.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (Scheduler& s : schedulers) {
    int status = 0;
    while (waitpid(s.pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(s.pid, SIGKILL);
        waitpid(s.pid, &status, 0);
        ADD_FAILURE() << s.name << " did not end";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << s.name << " failed";
  }
  // What each scheduler counted: the programs it started and the alarms it sounded.
  const auto counts = [&](const std::string& name) {
    std::pair<int, int> n{-1, -1};
    std::ifstream(folder_.path() / (name + ".runs")) >> n.first >> n.second;
    return n;
  };
  const auto [ann1_runs, ann1_alarms] = counts("ann-1");
  const auto [ann2_runs, ann2_alarms] = counts("ann-2");
  const auto [bob_runs, bob_alarms] = counts("bob-1");
  EXPECT_EQ(ann1_runs + ann2_runs, 10) << ann1_runs << " + " << ann2_runs;
  EXPECT_EQ(ann1_alarms + ann2_alarms, 10) << ann1_alarms << " + " << ann2_alarms;
  EXPECT_EQ(bob_runs, 10);
  EXPECT_EQ(bob_alarms, 10);
  // Each user's state moved on to the next minute after the last; the team's task is as it was.
  EXPECT_EQ(
      cluster->Scalar("SELECT string_agg(\"USER\" || ' ' || \"TIME\", ',' ORDER BY \"USER\") "
                      "FROM \"VX97!USERSCHEDULEDETAILS\"",
                      kDatabase),
      "ann " + std::to_string(kStart + 11 * 6000) + ",bob " + std::to_string(kStart + 11 * 6000));
  EXPECT_EQ(cluster->Admin("DROP DATABASE \"" + kDatabase + "\" WITH (FORCE)"), "");
}

}  // namespace
}  // namespace vx
