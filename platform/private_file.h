// New files that belong to their owner alone and are made exactly where they are named.
//
// Temporary and backup files are made in folders other users may be able to write to (a shared
// data folder, a download target's folder). Opening such a name the ordinary way follows a link
// planted at it and truncates whatever file the link points to, with the planter's choice of
// victim. These calls never open a name that is already taken: a file, a folder or a link
// (dangling or not) at the name makes them fail, so no other file is ever followed, opened or
// changed. The files are mode 0600 (less under a stricter umask) from the moment they exist.
#pragma once

#include <filesystem>
#include <functional>

namespace vx::platform {

// Creates `path` for writing (O_CREAT|O_EXCL|O_NOFOLLOW, 0600, close-on-exec). Answers the
// descriptor, or -1 with errno set (EEXIST when anything is at the name already).
int CreatePrivateFile(const std::filesystem::path& path);

// Creates a private file under the first free name of `name_for(0)`, `name_for(1)`, ... (at
// most 100 tries): a taken name is passed over. `made` holds the name of the file made.
// Answers the descriptor, or -1 with errno set when no name was free or the folder refused.
int CreatePrivateFileNamed(const std::function<std::filesystem::path(int attempt)>& name_for,
                           std::filesystem::path& made);

// Makes `folder` (its parent must exist) a folder of its owner's alone: made 0700 when missing;
// one already there must be a real folder (not a link) of the calling user, and is closed to
// others when an earlier version left it open. False, with errno set, when the folder cannot be
// made or is a link, a file or another user's: nothing is then made or changed through it.
bool EnsurePrivateFolder(const std::filesystem::path& folder);

}  // namespace vx::platform
