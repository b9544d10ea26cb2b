// Globals the data library shares with the program: settings, file names, report criteria,
// message hand-over and start-up state. All are shared by every thread (guarded by the runtime
// lock) except the three request codes, which are per thread: a form and its caller run on one
// thread, and another thread's request must never leak into them.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/fixed_string.h"

namespace vx {

// Stored names of the tables whose file a caller may change before opening them.
extern std::string GLO_SCHEDULEWORKFILENAME;   // "vxWrkFil"
extern std::string GLO_SYNCSCHEDULEFILENAME;   // "SyncSch.TPS"
extern std::string GLO_SYNCSCRIPTINGFILENAME;  // "SyncScr.TPS"
extern std::string GLO_SYNCTODOFILENAME;       // "SyncTodo.TPS"
extern std::string GLO_EXPORTNAME;             // "Export.txt"
extern String<255> GLO_VXFILENAME;             // "vx97\!s"

// Request handed to a form and its answer, and the record-navigation request of a browse.
extern thread_local std::uint8_t GLOBALREQUEST;
extern thread_local std::uint8_t GLOBALRESPONSE;
extern thread_local std::int32_t VCRREQUEST;

// Text globals.
extern String<40> GLO_USER;
extern String<255> GLO_ALARMFILE;
extern String<20> GLO_CATEGORY;
extern String<6> GLO_DATEFORMAT;
extern String<20> GLO_DATETOUSE;
extern String<40> GLO_DESCRIPTION;
extern String<1024> GLO_MESSAGE;
extern String<20> GLO_PRIMETASKTYPE;
extern String<255> GLO_REPLYPATH;
extern String<10> GLO_AUTOCLIPBOARDMODE;  // "Normal"
extern String<255> EMAIL_HOST;
extern String<20> EMAIL_ORGANIZATION;
extern String<255> EMAIL_SENDER;
extern String<255> EMAIL_SENDERNAME;
extern String<255> NEWS_HOST;
extern String<255> NEWS_ORGANIZATION;
extern String<128> NEWS_PASSWORD;
extern String<255> NEWS_SENDER;
extern String<255> NEWS_SENDERNAME;
extern String<128> NEWS_USER;
extern String<255> GLOBALFILTER;
extern String<125> GLOBALORDER;
extern String<128> ININAME;
extern String<20> MAILPROGRESSTEXT;
extern String<255> ORIGINALPATH;
extern String<32> PRODUCTNAME;
extern String<80> REPORTTITLE;
extern String<255> SAVEPATH;
extern String<9> TMP_DATESELECT;      // "'All'"
extern String<9> TMP_CATEGORYSELECT;  // "'All'"
extern String<20> TMP_CATEGORYSELECTED;
extern String<20> TMP_ORDERSELECT;
extern String<30> USERID;
extern String<40> USERNAME;
extern String<10> VERSIONNUMBER;
extern String<100> ASCIIFILENAME;

// Arguments of the task launcher's shell-open and process-start calls.
extern CString<8> LPOPERATION;  // "open"
extern CString<256> LPFILE;
extern CString<256> LPPARAMETERS;
extern CString<256> LPDIRECTORY;
extern std::int16_t NSHOWCMD;
extern std::int32_t PARENTHANDLE;
extern String<84> GBWaveFile;
extern String<12> GBNSTR;
extern String<80> GBOPN;
extern String<256> GBDocument;
extern CString<256> GBWinCommand;
extern std::int32_t GBExecReturn;
extern std::int32_t GBPowerRUNWait;
extern std::int32_t GBPowerRUNMode;

// Settings read from the settings store.
extern std::int32_t MAXCLIPBOARDENTRIES;  // 50
extern std::uint8_t USEWINMESSAGE;
extern std::uint8_t USEMODALMESSAGE;
extern std::uint8_t USEEXTERNALMESSAGE;
extern std::uint8_t TRANSLATEFILENAMES;
extern std::uint8_t STARTUPTODO;
extern std::uint8_t STARTUPSCHEDULE;
extern std::uint8_t STARTUPMINIMIZED;
extern std::uint8_t STARTUPCONTACTS;
extern std::uint8_t STARTUPCLIPBOARDSAVER;
extern std::uint8_t STARTUPACTIVE;
extern std::int32_t SNOOZEINTERVAL;
extern std::int32_t SKIPIFDAYSPASSED;
extern std::uint8_t SAVESCRIPTS;
extern std::uint8_t REPORTINCLUDEFUTUREOCCURANCES;
extern std::int32_t REPEATALARMINTERVAL;
extern std::uint8_t REMOVEUNCOMPLETED;
extern std::uint8_t NOTRAY;
extern std::uint8_t NEWPROC16;
extern std::uint8_t MULTIUSER;
extern std::uint8_t MONITORCLIPBOARD;
extern std::uint8_t MINIMIZEONCLOSEREQUEST;
extern std::uint8_t MAXIMIZEONRUN;
extern std::int32_t MAXALARMTIME;
extern std::int32_t HISTORYEXPIRES;
extern std::uint8_t HIDETOOLBAR;
extern std::int32_t GLOBALDELAY;
extern std::uint8_t FULLSCHEDULE;
extern std::uint8_t DEBUGMODE;
extern std::uint8_t BURSTSIZE;
extern std::uint8_t GLO_USELOG;
extern std::uint8_t GLO_USEEXTERNALCLIPBOARDMANAGER;
extern std::uint8_t GLO_LOGEXITCODES;
extern std::uint8_t GLO_EXCLUDEHIDDENWINDOWS;
extern std::uint8_t GLO_ACTIVEONLY;
extern std::uint8_t GLO_CMONTOP;
extern std::int32_t GLO_MAXLOGSIZE;

// Program state shared between threads.
extern std::int32_t WIZARDTHREADCOUNT;
extern std::uint8_t THREADCOUNT;
extern std::uint8_t TEMPSCRIPTINGACTIVE;
extern std::uint8_t ADDINGSCRIPTING;
extern std::int32_t FRAMEHANDLE;
extern std::int32_t CHECKEDHISTORY;
extern std::int32_t CHECKEDCLIPBOARD;
extern std::int32_t GLO_SCRIPTWIZARDMODE;
extern std::uint8_t GLO_COPYMODE;
extern std::int32_t WIZARDTHREADNO;
extern std::int32_t BROWSETHREADNO;
extern std::int32_t REPORTPREDICT;
extern std::int32_t MAXIMUMNUMBEROFUSERS;
extern std::int32_t ENABLEFULLSCRIPTING;
extern std::int32_t NTSERVICE;
extern std::int32_t GLO_DATE;
extern std::int32_t GLO_TIME;
extern std::int32_t GLO_STARTUPDATE;
extern std::int32_t GLO_STARTUPTIME;
extern std::int32_t GLO_SCR_ID;
extern std::int32_t GLO_SCH_ID;
extern std::int32_t GLO_SAVEID;
extern std::int32_t GLO_MAINTHREAD;
extern std::int32_t GLO_LASTCHECKDATE;
extern std::int32_t GLO_GROUPMODE;

// Report criteria.
extern std::int32_t TMP_DATEFROM;
extern std::int32_t TMP_DATETO;
extern std::int32_t GLO_DATEFROM;
extern std::int32_t GLO_DATETO;

// Clears the text globals that the library clears when it loads; the file names and the
// globals with an initial value keep theirs.
void ClearTextGlobals();

}  // namespace vx
