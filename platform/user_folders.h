// Where per-user files live on this machine.
#pragma once

#include <filesystem>

namespace vx::platform {

// The fixed per-user folder for settings files named without a folder
// ($XDG_CONFIG_HOME/varnodex, else ~/.config/varnodex). Created on first use.
std::filesystem::path UserConfigFolder();

// The default data folder of the program ($XDG_DATA_HOME/varnodex, else ~/.local/share/varnodex).
std::filesystem::path DefaultDataFolder();

// The per-user folder for scratch files the program makes and removes itself
// ($XDG_CACHE_HOME/varnodex, else ~/.cache/varnodex), its owner's alone (0700). Created on
// first use.
std::filesystem::path UserCacheFolder();

}  // namespace vx::platform
