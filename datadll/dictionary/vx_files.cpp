#include "datadll/dictionary/vx_files.h"

namespace vx {
namespace {
bool gLoaded = false;
}

void VX_Files_Load() { gLoaded = true; }
void VX_Files_Unload() { gLoaded = false; }
bool VX_Files_Loaded() { return gLoaded; }

}  // namespace vx
