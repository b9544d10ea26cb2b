// The tables the main frame keeps open on Main's thread for the whole session.
//
// The frame reads categories, clipboard entries, settings and holidays itself, and the tick
// walks the task tables. The categories' tree reaches every file of the task tree (the script
// templates' too), so while the frame stands each data file a task list opens is held by Main:
// the connections a list's thread lets go of are kept for the next list, which then opens its
// tables without connecting to any file, reading a schema or checking a table again.
#pragma once

namespace vx {

// Opens the frame's tables on the calling thread (Main's).
void OpenFrameFiles();
// Closes the relation trees OpenFrameFiles opened; the single tables close with the thread.
void CloseFrameFiles();

}  // namespace vx
