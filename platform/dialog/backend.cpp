#include "platform/dialog/backend.h"

#include <algorithm>
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::exit
#include <vector>

#include "platform/dialog/program.h"

namespace platform::dialog {
namespace {

std::vector<BackendEntry>& Entries() {
  static std::vector<BackendEntry> entries;
  return entries;
}

// The backend chosen by the platform, made on first use and kept for the
// life of the process. It is never destroyed: a window system's objects
// must not be torn down among the static destructors at exit, after parts
// of its own library are gone.
Backend*& Chosen() {
  static Backend* chosen = nullptr;
  return chosen;
}

bool& UnseenRun() {
  static bool allowed = false;
  return allowed;
}

// The registered backends that can run here, highest priority first.
std::vector<BackendEntry> AvailableEntries() {
  std::vector<BackendEntry> entries;
  for (const BackendEntry& e : Entries())
    if (e.Available != nullptr && e.Create != nullptr && e.Available()) entries.push_back(e);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const BackendEntry& a, const BackendEntry& b) { return a.priority > b.priority; });
  return entries;
}

Backend& Choose() {
  if (!Chosen()) {
    for (const BackendEntry& e : AvailableEntries()) {
      Chosen() = e.Create().release();
      if (Chosen() != nullptr) break;
    }
  }
  if (Chosen() == nullptr) {
    std::fprintf(stderr,
                 "This program shows dialog windows, but no window system is available "
                 "(no display is set, or its server does not answer or refuses the connection, "
                 "or no backend for one was built in).\n");
    std::exit(1);
  }
  return *Chosen();
}

}  // namespace

void RegisterBackend(const BackendEntry& entry) { Entries().push_back(entry); }

void AllowUnseenRun() { UnseenRun() = true; }

bool UnseenRunAllowed() { return UnseenRun(); }

Backend*& BackendInForce() {
  static Backend* backend = nullptr;
  return backend;
}

Backend& CurrentBackend() {
  if (BackendInForce() != nullptr) return *BackendInForce();
  return Choose();
}

bool WindowSystemAvailable() {
  if (BackendInForce() != nullptr) return true;
  std::vector<BackendEntry> entries = AvailableEntries();
  return !entries.empty() && entries.front().showsWindows;
}

int ProgramEnd(int status) {
  if (BackendInForce() != nullptr) return BackendInForce()->EndProgram(status);
  if (Chosen() == nullptr) {
    // No window was shown. Only a backend that must see every run is made
    // now; a window system is never started just to end.
    std::vector<BackendEntry> entries = AvailableEntries();
    if (entries.empty() || !entries.front().endsEveryRun) return status;
    Choose();
  }
  return Chosen()->EndProgram(status);
}

}  // namespace platform::dialog
