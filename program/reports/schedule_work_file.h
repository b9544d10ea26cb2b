// The work file of one report run: a SCHEDULEWORKFILE of its own, in a folder of its own made
// for the run inside the user's private reports folder (0700, below the per-user cache folder).
//
// The folder is named by the process (its id and start time) and a random part, so two reports
// at once, in one program or in two, never share a file, and no other user can plant or read
// one. The object names the file in GLO_SCHEDULEWORKFILENAME and opens it on the calling thread
// at once, with no other thread running in between, and holds that open for its life: every
// later open of SCHEDULEWORKFILE on this thread is counted on it, so another report's name does
// not reach this one. When the object goes (completed, cancelled, an error, an exception) the
// table is closed on this thread and the folder removed with everything in it. A crash leaves
// the folder behind: SweepScheduleWorkFiles, at start-up, removes those of processes that have
// ended.
#pragma once

#include <filesystem>

namespace vx {

class ScheduleWorkFile {
 public:
  // Makes the folder and opens the table; a failure is said in a box (or by the file manager)
  // and leaves the object not Ready.
  ScheduleWorkFile();
  ~ScheduleWorkFile();
  ScheduleWorkFile(const ScheduleWorkFile&) = delete;
  ScheduleWorkFile& operator=(const ScheduleWorkFile&) = delete;

  bool Ready() const { return opened_; }
  // The run's own folder (empty when none could be made).
  const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  bool opened_ = false;
};

// The folder the runs' folders are made in; empty when it cannot be made private.
std::filesystem::path ScheduleWorkFilesFolder();

// Removes the run folders of processes no longer running (a crash, a kill), leaving those of
// every program still running. Called once at start-up.
void SweepScheduleWorkFiles();

}  // namespace vx
