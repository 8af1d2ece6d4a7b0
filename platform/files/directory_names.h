// Remembers the names in host directories, so that a name asked for in
// another ASCII case is matched without listing the directory on every
// lookup. Knows nothing of CP932 or of the matching rules' callers: host_path
// asks it, and file.cpp tells it what this process created or removed.
#pragma once

#include <string>

namespace platform::files {

// The name in host directory `directory` ("" for the current one) that
// `name` stands for: itself when it exists, else the first entry in byte
// order equal to it without regard to ASCII case, else itself. False when
// the directory cannot be listed (`actual` is then `name`).
bool FindName(const std::string& directory, const std::string& name, std::string& actual);

// Tell the remembered names what this process did to a host path, so that
// its own changes keep them valid without another listing.
void NoteCreated(const std::string& hostPath);
void NoteDirectoryMade(const std::string& hostPath);
void NoteRemoved(const std::string& hostPath);

}  // namespace platform::files
