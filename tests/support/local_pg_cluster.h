// The PostgreSQL cluster of the tests. Under ctest it is the run's shared cluster, which the
// fixture test pg_cluster_start started (scripts/pg-test-cluster.sh) and whose folder
// $VX_TEST_PG_CLUSTER names; a test program run alone makes one of its own in a fresh folder
// under /tmp at the first test that asks (LocalPgCluster::Get()), and stops and removes it
// when it ends. Either way it listens on 127.0.0.1 on a free port, never runs as root (started
// by root, as CI is, it runs as the system user "nobody"), and clients log in with passwords
// (scram-sha-256) over TCP; the administrator's password travels to initdb in a file, never on
// a command line. Tests running at once share the cluster: each uses databases and roles of
// its own process (Name()).
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <glob.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/storage/server_connection.h"
#include "runtime/storage/server_store.h"
#include "runtime/storage/table_backend.h"

namespace vx::test {

class LocalPgCluster {
 public:
  // The program's cluster, started at the first call; nullptr (said on stderr) when it could
  // not be started. Tests and benchmarks both use it.
  static LocalPgCluster* Get() {
    static LocalPgCluster* cluster = [] {
      auto* c = new LocalPgCluster();
      if (c->Join()) return c;
      if (!c->Start()) {
        delete c;
        return static_cast<LocalPgCluster*>(nullptr);
      }
      std::atexit([] { Get()->Stop(); });
      return c;
    }();
    if (!cluster) std::fprintf(stderr, "the local PostgreSQL cluster could not be started\n");
    running() = cluster;
    return cluster;
  }
  // The program's cluster when Get() has already reached it, else nullptr; it starts none, so
  // that a suite's clean-up does not start a cluster its tests never used.
  static LocalPgCluster* IfStarted() { return running(); }

  // `base` made this process's own, for databases and roles.
  static std::string Name(const std::string& base) {
    return base + "_" + std::to_string(::getpid());
  }

  int port() const { return port_; }
  const std::string& admin_password() const { return admin_password_; }
  const std::filesystem::path& folder() const { return dir_; }

  // Settings for `user` (the administrator when empty) on `database`.
  storage::ServerSettings Settings(const std::string& database, const std::string& user = {},
                                   const std::string& password = {}) const {
    storage::ServerSettings s;
    s.host = "127.0.0.1";
    s.port = std::to_string(port_);
    s.dbname = database;
    s.user = user.empty() ? "vx_admin" : user;
    s.password = user.empty() ? admin_password_ : password;
    s.connect_timeout_seconds = 5;
    return s;
  }

  // Runs `sql` as the administrator on `database`; the server's message when it fails.
  std::string Admin(const std::string& sql, const std::string& database = "postgres") const {
    PGconn* conn = Connect(database);
    std::string error;
    if (PQstatus(conn) != CONNECTION_OK) {
      error = PQerrorMessage(conn);
    } else {
      PGresult* r = PQexec(conn, sql.c_str());
      const ExecStatusType st = PQresultStatus(r);
      if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) error = PQresultErrorMessage(r);
      PQclear(r);
    }
    PQfinish(conn);
    return error;
  }
  // The first column of the first row of `sql`'s answer ("" when none).
  std::string Scalar(const std::string& sql, const std::string& database) const {
    PGconn* conn = Connect(database);
    PGresult* r = PQexec(conn, sql.c_str());
    std::string out = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0)
                                                                               : std::string();
    PQclear(r);
    PQfinish(conn);
    return out;
  }
  // A fresh empty database (dropped first when there).
  bool FreshDatabase(const std::string& name) const {
    Admin("DROP DATABASE IF EXISTS \"" + name + "\" WITH (FORCE)");
    const std::string error = Admin("CREATE DATABASE \"" + name + "\"");
    if (!error.empty()) std::fprintf(stderr, "%s", error.c_str());
    return error.empty();
  }

  // Installs `database` as the process's table store on an empty schema, so that each test
  // starts with no tables: the database is made afresh at the first call for it (and again after
  // DropDatabase), its schema emptied at every call. "" when done, else what failed.
  std::string InstallFreshSchema(const std::string& database) {
    if (made_.insert(database).second && !FreshDatabase(database)) {
      made_.erase(database);
      return "the database " + database + " could not be made";
    }
    const std::string error =
        Admin("DROP SCHEMA IF EXISTS public CASCADE; CREATE SCHEMA public", database);
    if (error.empty()) storage::InstallTableStore(storage::MakeServerStore(Settings(database)));
    return error;
  }
  // Drops a database InstallFreshSchema made, so that a shared cluster does not fill up.
  void DropDatabase(const std::string& database) {
    if (made_.erase(database) > 0)
      Admin("DROP DATABASE IF EXISTS \"" + database + "\" WITH (FORCE)");
  }

 private:
  static LocalPgCluster*& running() {
    static LocalPgCluster* cluster = nullptr;
    return cluster;
  }

  PGconn* Connect(const std::string& database) const {
    const storage::ServerSettings s = Settings(database);
    const char* keys[] = {"host", "port", "dbname", "user", "password", nullptr};
    const char* values[] = {s.host.c_str(), s.port.c_str(),     s.dbname.c_str(),
                            s.user.c_str(), s.password.c_str(), nullptr};
    PGconn* conn = PQconnectdbParams(keys, values, 0);
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    return conn;
  }

  static std::string BinFolder() {
    glob_t found{};
    std::string out;
    if (glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0 && found.gl_pathc > 0)
      out = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path();
    globfree(&found);
    return out;
  }

  static int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
      port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
  }

  // Runs a server program as the cluster's owner, its output into the folder's log.
  bool Run(const std::vector<std::string>& argv) const {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const int log = ::open((dir_ / "setup.log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
      if (log >= 0) {
        ::dup2(log, 1);
        ::dup2(log, 2);
      }
      if (::getuid() == 0 && (::setgid(gid_) != 0 || ::setuid(uid_) != 0)) ::_exit(126);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execv(args[0], args.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  // The ctest run's cluster, when there is one.
  bool Join() {
    const char* folder = std::getenv("VX_TEST_PG_CLUSTER");
    if (!folder || !*folder) return false;
    std::ifstream info(std::filesystem::path(folder) / "info");
    std::string line;
    while (std::getline(info, line)) {
      if (line.rfind("port=", 0) == 0) port_ = std::atoi(line.c_str() + 5);
      if (line.rfind("password=", 0) == 0) admin_password_ = line.substr(9);
    }
    return port_ != 0 && !admin_password_.empty();
  }

  bool Start() {
    const std::string bin = BinFolder();
    if (bin.empty()) return false;
    char pattern[] = "/tmp/vx-pg-XXXXXX";
    if (!mkdtemp(pattern)) return false;
    dir_ = pattern;
    uid_ = ::getuid();
    gid_ = ::getgid();
    if (uid_ == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (!nobody) return false;
      uid_ = nobody->pw_uid;
      gid_ = nobody->pw_gid;
      if (::chown(dir_.c_str(), uid_, gid_) != 0) return false;
    }
    admin_password_ = "vx-admin-" + std::to_string(::getpid());
    const std::filesystem::path pwfile = dir_ / "pw";
    std::ofstream(pwfile) << admin_password_ << "\n";
    ::chmod(pwfile.c_str(), 0600);
    if (uid_ != ::getuid() && ::chown(pwfile.c_str(), uid_, gid_) != 0) return false;
    if (!Run({bin + "/initdb", "-D", (dir_ / "data").string(), "-U", "vx_admin",
              "--pwfile=" + pwfile.string(), "--auth-host=scram-sha-256", "--auth-local=trust",
              "-E", "UTF8", "--locale=C", "-N"}))
      return false;
    std::filesystem::remove(pwfile);
    for (int attempt = 0; attempt < 5 && !started_; ++attempt) {
      port_ = FreePort();
      started_ = Run({bin + "/pg_ctl", "-D", (dir_ / "data").string(), "-l",
                      (dir_ / "server.log").string(), "-w", "-t", "30", "-o",
                      "-c listen_addresses=127.0.0.1 -p " + std::to_string(port_) + " -k " +
                          dir_.string() + " -c fsync=off -c max_connections=200",
                      "start"});
    }
    bin_ = bin;
    return started_;
  }

  void Stop() {
    if (started_)
      Run({bin_ + "/pg_ctl", "-D", (dir_ / "data").string(), "-m", "immediate", "-w", "stop"});
    started_ = false;
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::filesystem::path dir_;
  std::string bin_;
  std::string admin_password_;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
  int port_ = 0;
  bool started_ = false;
  std::set<std::string> made_;  // the databases InstallFreshSchema made and has not dropped
};

}  // namespace vx::test
