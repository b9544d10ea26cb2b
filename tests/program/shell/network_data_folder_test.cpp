// A data folder whose database files lie on a network file system is told of; local ones and
// folders whose tables are on a server are not.
#include "program/shell/network_data_folder.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(NetworkDataFolder, NetworkFileSystemsAreKnownByTheirMagic) {
  struct Case {
    long magic;
    bool network;
  };
  const Case cases[] = {
      {0x6969, true},                         // NFS
      {0x517B, true},                         // SMB
      {static_cast<long>(0xFF534D42), true},  // CIFS, as a negative 32-bit f_type too
      {static_cast<int>(0xFF534D42), true},   //
      {static_cast<long>(0xFE534D42), true},  // SMB2
      {0x01021997, true},                     // 9P
      {0xEF53, false},                        // ext4
      {0x58465342, false},                    // XFS
      {0x9123683E, false},                    // Btrfs
      {0x01021994, false},                    // tmpfs
      {0x65735546, false},                    // FUSE: local as often as not
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsNetworkFileSystem(c.magic), c.network) << std::hex << c.magic;
  EXPECT_FALSE(OnNetworkFileSystem("/tmp"));
}

}  // namespace
}  // namespace vx
