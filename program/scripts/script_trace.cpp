#include "program/scripts/script_trace.h"

#include <utility>

#include "datadll/dictionary/globals.h"

namespace vx {
namespace {

// Installed once at start-up; like the other globals it is used under the runtime lock.
ScriptTraceSink& Sink() {
  static ScriptTraceSink sink;
  return sink;
}

}  // namespace

void SetScriptTraceSink(ScriptTraceSink sink) { Sink() = std::move(sink); }

void ScriptTrace(std::string_view text, std::string_view label) {
  if (DEBUGMODE == 0 || !Sink()) return;
  Sink()(text, label);
}

}  // namespace vx
