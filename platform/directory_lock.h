// A lock on a directory that a program works in and that another program
// may want to remove. The program holds the shared lock on the directory
// itself (flock on the directory, no file of its own) for as long as it
// runs; whoever removes such directories first takes the exclusive lock
// and leaves a directory whose lock it cannot take. Neither side ever
// waits: a lock that cannot be had at once is not had. Removes nothing.
#pragma once

#include <string>

namespace platform {

class DirectoryLock {
 public:
  enum class Kind { kShared, kExclusive };

  // Tries to take the lock on the directory at the host path `directory`.
  DirectoryLock(const std::string& directory, Kind kind);
  ~DirectoryLock();  // lets go of it
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  // False when the directory cannot be opened, when another holds a lock
  // that excludes this one, or when its file system has no such locks.
  bool Held() const { return fd_ >= 0; }

  // Lets a program that this one becomes (exec) hold the lock on, from the
  // first instant, for as long as it runs.
  void KeepAcrossExec();

 private:
  int fd_ = -1;
};

}  // namespace platform
