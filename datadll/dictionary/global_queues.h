// The four queues the data library shares with the program: script variables (VARQ), programs
// the task launcher started (ACTIVEQUEUE), template tokens (TOKENQUEUE) and the threads of the
// open task browses (BROWSESCHEDULETHREADQUEUE). Each queue's record buffer is shared like the
// queue; VAR and TQ name the buffers of VARQ and TOKENQUEUE by their field prefix.
#pragma once

#include <cstdint>

#include "runtime/decimal.h"
#include "runtime/fixed_string.h"
#include "runtime/queue.h"

namespace vx {

struct ACTIVEQUEUE_RECORD {
  String<255> PRGNAME;
  std::uint32_t PRGHANDLE = 0;
};

struct TOKENQUEUE_RECORD {
  String<10> KEY;
  String<45> PROMPT;
  String<255> VALUE;
};

struct VARQ_RECORD {
  String<32> NAME;  // upper case
  String<255> STRINGVALUE;
  Decimal VALUE = Decimal::FromUnits(0, 2);
};

struct BROWSESCHEDULETHREADQUEUE_RECORD {
  std::int32_t BROWSESCHEDULETHREAD = 0;
};

extern Queue<ACTIVEQUEUE_RECORD> ACTIVEQUEUE;
extern Queue<TOKENQUEUE_RECORD> TOKENQUEUE;
extern Queue<VARQ_RECORD> VARQ;
extern Queue<BROWSESCHEDULETHREADQUEUE_RECORD> BROWSESCHEDULETHREADQUEUE;

extern TOKENQUEUE_RECORD& TQ;
extern VARQ_RECORD& VAR;

// Frees the entries of all four queues (at unload).
void FreeGlobalQueues();

}  // namespace vx
