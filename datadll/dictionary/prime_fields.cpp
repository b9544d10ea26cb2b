#include "datadll/dictionary/prime_fields.h"

#include "datadll/dictionary/globals.h"
#include "datadll/dictionary/holidays_table.h"
#include "datadll/dictionary/hotkeys_table.h"
#include "datadll/dictionary/message_tables.h"
#include "datadll/dictionary/schedule_table.h"
#include "datadll/dictionary/scripting_table.h"
#include "datadll/dictionary/user_tables.h"
#include "runtime/dates.h"

namespace vx {

void PrimeSCHEDULE() {
  SCH.User = GLO_USER.view();
  SCH.Disabled = 1;
  SCH.LastChangeDate = TODAY();
  SCH.LastChangeTime = CLOCK();
}

void PrimeSCRIPTING() { SCR.ID = SCH.ID; }

void PrimeSYNCSCRIPTING() { SSCR.ID = SCH.ID; }

void PrimeSCRIPTTEMPLATEDETAILS() { VXD.WIZ_ID = VXT.WIZ_ID; }

void PrimeVXUSD() { US.DISABLED = 1; }

void PrimeHOLIDAYS() {
  HOL.HolidayDate = TODAY();
  HOL.HolidayType = "Annual";
}

void PrimeMESSAGES() { M_.MailType = "Email"; }

void PrimeMSGLINK() { ML.Category = SCH.Category.view(); }

void PrimeSYSHOTKEYS() {
  // A new hot key types a text and so belongs to no task: the task in SCH (whatever the thread
  // last read) is not taken over. The hot-key form links a task when the action says so.
  HOT.ID = 0;
  HOT.HotKey = "CtrlShift";
  HOT.Active = 1;
  HOT.Action = "Text";
  HOT.TextType = "Type";
}

}  // namespace vx
