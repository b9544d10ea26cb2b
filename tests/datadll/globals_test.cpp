// The shared globals start with their documented values, the request codes are per thread, and
// the shared queues hold entries for every thread.
#include "datadll/dictionary/globals.h"

#include <gtest/gtest.h>

#include <thread>

#include "datadll/dictionary/global_queues.h"

namespace vx {
namespace {

TEST(Globals, InitialValues) {
  EXPECT_EQ(GLO_SCHEDULEWORKFILENAME, "vxWrkFil");
  EXPECT_EQ(GLO_SYNCSCHEDULEFILENAME, "SyncSch.TPS");
  EXPECT_EQ(GLO_SYNCSCRIPTINGFILENAME, "SyncScr.TPS");
  EXPECT_EQ(GLO_SYNCTODOFILENAME, "SyncTodo.TPS");
  EXPECT_EQ(GLO_EXPORTNAME, "Export.txt");
  EXPECT_EQ(GLO_VXFILENAME.str(), "vx97\\!s");
  EXPECT_EQ(TMP_DATESELECT.str(), "'All'");
  EXPECT_EQ(TMP_CATEGORYSELECT.str(), "'All'");
  EXPECT_EQ(MAXCLIPBOARDENTRIES, 50);
  EXPECT_EQ(LPOPERATION.str(), "open");
  EXPECT_EQ(GLO_AUTOCLIPBOARDMODE.str(), "Normal");
  EXPECT_TRUE(GLO_USER.blank());
  EXPECT_TRUE(GLO_MESSAGE.blank());
  EXPECT_EQ(GLO_MESSAGE.size(), 1024u);
  EXPECT_EQ(STARTUPACTIVE, 0);
  EXPECT_EQ(HISTORYEXPIRES, 0);
}

TEST(Globals, ClearingTextGlobalsKeepsInitialValues) {
  GLO_USER = "alice";
  EMAIL_HOST = "mail.example.org";
  VERSIONNUMBER = "2.0";
  ClearTextGlobals();
  EXPECT_TRUE(GLO_USER.blank());
  EXPECT_TRUE(EMAIL_HOST.blank());
  EXPECT_TRUE(VERSIONNUMBER.blank());
  EXPECT_EQ(TMP_DATESELECT.str(), "'All'");
  EXPECT_EQ(GLO_AUTOCLIPBOARDMODE.str(), "Normal");
  EXPECT_EQ(GLO_VXFILENAME.str(), "vx97\\!s");
}

TEST(Globals, RequestCodesArePerThreadAndStartAtZero) {
  GLOBALREQUEST = 2;
  GLOBALRESPONSE = 1;
  VCRREQUEST = 7;
  int seen[3] = {-1, -1, -1};
  std::thread([&] {
    seen[0] = GLOBALREQUEST;
    seen[1] = GLOBALRESPONSE;
    seen[2] = VCRREQUEST;
    GLOBALREQUEST = 4;
  }).join();
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(seen[1], 0);
  EXPECT_EQ(seen[2], 0);
  EXPECT_EQ(GLOBALREQUEST, 2);
  GLOBALREQUEST = 0;
  GLOBALRESPONSE = 0;
  VCRREQUEST = 0;
}

TEST(GlobalQueues, SharedBetweenThreadsAndFreedTogether) {
  std::thread([] {
    VAR.NAME = "COUNT";
    VAR.STRINGVALUE = "12";
    VAR.VALUE = Decimal::FromUnits(1200, 2);
    VARQ.Add();
    BROWSESCHEDULETHREADQUEUE.buffer.BROWSESCHEDULETHREAD = 3;
    BROWSESCHEDULETHREADQUEUE.Add();
    TQ.PROMPT = "NAME";
    TOKENQUEUE.Add();
    ACTIVEQUEUE.buffer.PRGNAME = "editor";
    ACTIVEQUEUE.Add();
  }).join();
  ASSERT_EQ(VARQ.Records(), 1);
  ASSERT_EQ(VARQ.Get(1), 0);
  EXPECT_EQ(VAR.STRINGVALUE.str(), "12");
  EXPECT_EQ(VAR.VALUE.ToString(), "12.00");
  EXPECT_EQ(&VAR, &VARQ.buffer);
  EXPECT_EQ(&TQ, &TOKENQUEUE.buffer);
  EXPECT_EQ(BROWSESCHEDULETHREADQUEUE.Records(), 1);
  FreeGlobalQueues();
  EXPECT_EQ(VARQ.Records(), 0);
  EXPECT_EQ(TOKENQUEUE.Records(), 0);
  EXPECT_EQ(ACTIVEQUEUE.Records(), 0);
  EXPECT_EQ(BROWSESCHEDULETHREADQUEUE.Records(), 0);
}

TEST(GlobalQueues, AVariableStartsWithTwoDecimalPlaces) {
  EXPECT_EQ(VARQ_RECORD{}.VALUE.places(), 2);
}

}  // namespace
}  // namespace vx
