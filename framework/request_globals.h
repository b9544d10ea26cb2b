// The request handed to a form or list on its thread, and its answer: the framework reads and
// writes them through a channel that the data library points at its per-thread globals
// (GLOBALREQUEST, GLOBALRESPONSE); until it does, the framework keeps a per-thread pair of
// its own.
#pragma once

#include <cstdint>

namespace vx {

// Requests. 4 makes a list select a record and a form show one read-only.
inline constexpr long InsertRecord = 1;
inline constexpr long ChangeRecord = 2;
inline constexpr long DeleteRecord = 3;
inline constexpr long SelectRecord = 4;
inline constexpr long ViewRecord = 4;

// Answers.
inline constexpr long RequestCompleted = 1;
inline constexpr long RequestCancelled = 2;

struct RequestChannel {
  std::uint8_t& (*request)();   // the calling thread's request
  std::uint8_t& (*response)();  // and its answer
};
void SetRequestChannel(RequestChannel channel);

long CurrentRequest();
void SetCurrentRequest(long request);
long CurrentResponse();
void SetCurrentResponse(long response);

}  // namespace vx
