// The transfer debug file keeps the conversation but no part of a log-in, whatever the
// mechanism spreads it over, and is readable by its owner only.
#include "platform/transfer_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_folder.h"

namespace vx::platform {
namespace {

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TransferLogTest, NoLineOfALogInIsWrittenForAnyMechanism) {
  test::TempFolder folder("vx transfer log");
  const auto path = folder / "inmail.log";
  {
    std::ofstream(path) << "earlier\n";
    ::chmod(path.c_str(), 0644);
    TransferLog log(path);
    log.Received("220 ready\r\n");
    // SMTP AUTH LOGIN: user and password travel on lines of their own after the command.
    log.Sent("AUTH LOGIN\r\n");
    log.Received("334 VXNlcm5hbWU6\r\n");
    log.Sent("dXNlci1uYW1l\r\n");
    log.Received("334 UGFzc3dvcmQ6\r\n");
    log.Sent("cGFzcy13b3Jk\r\n");
    log.Received("235 2.7.0 Authentication successful\r\n");
    log.Sent("MAIL FROM:<a@b.test>\r\n");
    // SMTP AUTH PLAIN with the credentials on the command line itself.
    log.Sent("auth plain AHVzZXIAcGFzcw==\r\n");
    log.Received("535 5.7.8 Authentication credentials invalid\r\n");
    // NNTP AUTHINFO.
    log.Sent("AUTHINFO USER reader");
    log.Received("381 password required");
    log.Sent("AUTHINFO PASS news-word");
    log.Received("281 welcome");
    log.Sent("POST");
  }
  const std::string text = Read(path);
  for (const char* secret :
       {"dXNlci1uYW1l", "cGFzcy13b3Jk", "AHVzZXIAcGFzcw", "reader", "news-word"}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret << "\n" << text;
  }
  for (const char* kept : {"earlier\n", "< 220 ready\n", "< 235 2.7.0", "> MAIL FROM:<a@b.test>\n",
                           "< 535 5.7.8", "< 281 welcome\n", "> POST\n"}) {
    EXPECT_NE(text.find(kept), std::string::npos) << kept << "\n" << text;
  }
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600) << "an existing log is narrowed too";
}

}  // namespace
}  // namespace vx::platform
