// Default values of a new record, set in the calling thread's buffer before the framework's own
// priming (auto-numbering) runs. Tables not listed here take the framework's priming alone.
#pragma once

namespace vx {

void PrimeSCHEDULE();               // owner, disabled, last change = now
void PrimeSCRIPTING();              // the step belongs to the task in SCH
void PrimeSYNCSCRIPTING();          // likewise for the sync copy
void PrimeSCRIPTTEMPLATEDETAILS();  // the step belongs to the template in VXT
void PrimeVXUSD();                  // disabled
void PrimeHOLIDAYS();               // today, "Annual"
void PrimeMESSAGES();               // "Email"
void PrimeMSGLINK();                // category of the task in SCH
void PrimeSYSHOTKEYS();             // an active "CtrlShift" text hot key of no task

}  // namespace vx
