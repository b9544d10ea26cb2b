// What a stat tells of a file or folder for a memo that answers in its place: which one it is
// and when it last changed (`FileStamp`), and whether that change lies far enough behind a
// moment that any later change must show in the times (`StampSettled`).
//
// A memo keeps what it read together with the stamp of what it read, and answers while a fresh
// stat shows the same stamp. That holds only when the read came safely after the last change:
// the file system stamps a change with the kernel's coarse clock, which moves in ticks, and may
// round the stamp down further (whole seconds on some, two on some, hundredths on others), so a
// change made within the same step as the read could leave the times as they were.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>

namespace vx {

std::int64_t Nanoseconds(const timespec& t);

struct FileStamp {
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  std::int64_t modified = 0;  // ns
  std::int64_t changed = 0;   // ns (the inode's change time)

  static FileStamp Of(const struct stat& st);
  bool operator==(const FileStamp&) const = default;
};

// Whether `st`'s last change (its modification and change times) lies far enough before `now`
// that every later change is stamped with other times: two ticks of the coarse clock, plus
// twice the rounding the stamps themselves show. A time ahead of `now` never does.
bool StampSettled(const struct stat& st, const timespec& now);

}  // namespace vx
