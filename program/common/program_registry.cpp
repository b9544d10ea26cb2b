#include "program/common/program_registry.h"

namespace vx {

ZQREGISTRYCLASS& ProgramRegistry() {
  static ZQREGISTRYCLASS registry;
  return registry;
}

}  // namespace vx
