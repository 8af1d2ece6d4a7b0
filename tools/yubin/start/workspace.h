// The user's workspaces, below $XDG_DATA_HOME/yubin/ (by default
// ~/.local/share/yubin/):
//
//   workspace-1/   a complete workspace: where the search application runs
//   workspace-2/   the next one, made beside the others
//   current        a link naming the complete workspace in use ("workspace-2")
//   .lock          held by a start while it looks and prepares
//
// A search application running in a workspace holds the shared lock of its
// directory (platform/directory_lock.h); a workspace whose lock a start
// cannot take is left where it is, and a later start removes it.
//
// A workspace counts as complete once its stamp (".prepared", which holds
// the time of the data it was prepared from) is written, the last file of
// a preparation. A new workspace is made beside the one in use and
// "current" is renamed over only when the new one is complete, so the
// workspace in use never holds half a preparation, and a failure leaves it
// as it was. Does not fill a workspace: that is preparation.h.
#pragma once

#include <optional>
#include <string>

namespace yubin::start {

class Workspaces {
 public:
  // `root` is the host path of the directory above the workspaces.
  explicit Workspaces(std::string root) : root_(std::move(root)) {}

  // $XDG_DATA_HOME/yubin when XDG_DATA_HOME is an absolute path, else
  // $HOME/.local/share/yubin. Nothing, with `error`, without a home.
  static std::optional<std::string> DefaultRoot(std::string& error);

  const std::string& Root() const { return root_; }

  // Makes the root when missing (0700, as its parents) and takes its lock,
  // waiting while another start holds it. The lock is let go when the
  // process ends or starts another program. False, with `error`, when it
  // cannot be taken.
  bool Lock(std::string& error);

  // The host path of the complete workspace "current" names, or empty.
  std::string Current() const;

  // The time (seconds since the epoch) of the data a complete workspace was
  // prepared from, or -1 when it has no readable stamp.
  static long long DataTime(const std::string& workspace);

  // Whether a complete workspace holds data as new as `dataTime`. A stamp
  // later than `now` (a clock set wrong when it was written) counts only
  // for the very data time it names: it would otherwise outrank every later
  // update.
  static bool HoldsDataOf(const std::string& workspace, long long dataTime, long long now);

  // Makes a new, empty workspace beside the others and gives its host path.
  // Incomplete ones left by earlier starts are removed first. Empty, with
  // `error`, when the directory cannot be made.
  std::string MakeNew(std::string& error);

  // Writes the stamp that makes `workspace` complete.
  static bool MarkComplete(const std::string& workspace, long long dataTime, std::string& error);

  // Makes the complete `workspace` the current one, in one rename. The one
  // it replaces is kept (a search application may still run there); those
  // before it are removed, but for one a search application runs in.
  bool SwitchTo(const std::string& workspace, std::string& error);

  // Removes a workspace, unless a program runs in it.
  static void Discard(const std::string& workspace);

 private:
  std::string root_;
};

}  // namespace yubin::start
