// The list extension as a browse window declares it: the root class (sorting by header, the
// saved layout) with the list popup, column operations, export, graph and the attribute windows.
#pragma once

#include "datadll/xplore/xplore_root_class.h"

namespace vx {

class XPLORECLASS : public XPLOREROOTCLASS {};

}  // namespace vx
