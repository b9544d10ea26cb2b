// Cost of expanding bracketed names in a task message, as the due-task road does before showing
// one: plain text, a few names, nesting and an expression; and texts whose values name
// themselves, which run to the step bounds.
#include <benchmark/benchmark.h>

#include <string>

#include "datadll/dictionary/global_queues.h"
#include "platform/active_window.h"
#include "program/common/program_services.h"
#include "program/script_engine/builtin_sources.h"
#include "program/script_engine/script_variables.h"
#include "tests/support/fake_active_window.h"

namespace {

void Prepare() {
  static vx::test::FakeActiveWindow window("Inbox");
  static const vx::ScopedProgramServices services([] {
    vx::ProgramServices s = vx::CurrentProgramServices();
    s.script_front = &window;
    return s;
  }());
  vx::VARQ.Free();
  for (int i = 0; i < 50; ++i)
    vx::SetScriptVariable("value " + std::to_string(i), "VAR" + std::to_string(i));
  vx::SetScriptVariable("7", "N");
  vx::SetScriptVariable("[[LOOP]", "LOOP");  // stored as the text [LOOP]
  vx::SetScriptVariable("][[x[[V]", "V");    // closes the name it is put in and opens it again
  vx::SetScriptVariable(std::string(255, 'x'), "LONG");
}

// Brackets whose inner value is scanned again as part of the outer name, 255 steps each, until
// the bound of the whole text stops them.
std::string ManyRescannedBrackets() {
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "[A[LONG]]";
  return text;
}

void BM_Expand(benchmark::State& state, const char* text) {
  Prepare();
  const std::string message(text);
  for (auto _ : state) benchmark::DoNotOptimize(vx::ExpandVariables(message));
}
BENCHMARK_CAPTURE(BM_Expand, plain, "Take the bins out before the lorry comes at seven.");
BENCHMARK_CAPTURE(BM_Expand, names, "Backup [DATE] at [TIME] of [VAR10], [VAR20] and [VAR49].");
BENCHMARK_CAPTURE(BM_Expand, nested, "Next file: [VAR[N]] then [VAR4[N]]");
BENCHMARK_CAPTURE(BM_Expand, expression, "Age: [= AGE(DATE(4,23,1970),TODAY())]");
BENCHMARK_CAPTURE(BM_Expand, self_naming, "[A[LOOP]] and [x[V]] [W[V]]");

void BM_ExpandToTheWholeBound(benchmark::State& state) {
  Prepare();
  const std::string text = ManyRescannedBrackets();
  for (auto _ : state) benchmark::DoNotOptimize(vx::ExpandVariables(text));
}
BENCHMARK(BM_ExpandToTheWholeBound);

}  // namespace
