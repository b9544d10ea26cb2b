#include "program/common/program_services.h"

#include <utility>

namespace vx {
namespace {

ProgramServices& Installed() {
  static ProgramServices services;
  return services;
}

}  // namespace

const ProgramServices& CurrentProgramServices() { return Installed(); }

ScopedProgramServices::ScopedProgramServices(ProgramServices services)
    : previous_(std::exchange(Installed(), std::move(services))) {}

ScopedProgramServices::~ScopedProgramServices() { Installed() = std::move(previous_); }

}  // namespace vx
