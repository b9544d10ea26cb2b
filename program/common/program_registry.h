// The program's registry object, alive for the whole process: start-up initialises it, the
// settings code reads the desktop's mail-account defaults through it.
#pragma once

#include "datadll/utility/zq_registry_class.h"

namespace vx {

ZQREGISTRYCLASS& ProgramRegistry();

}  // namespace vx
