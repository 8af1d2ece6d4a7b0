#include "platform/dialog/backend.h"

#include <algorithm>
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::exit
#include <vector>

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

Backend& Choose() {
  if (!Chosen()) {
    std::vector<BackendEntry> entries = Entries();
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BackendEntry& a, const BackendEntry& b) { return a.priority > b.priority; });
    for (const BackendEntry& e : entries) {
      if (e.Available != nullptr && e.Create != nullptr && e.Available()) {
        Chosen() = e.Create().release();
        if (Chosen() != nullptr) break;
      }
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

Backend*& BackendInForce() {
  static Backend* backend = nullptr;
  return backend;
}

Backend& CurrentBackend() {
  if (BackendInForce() != nullptr) return *BackendInForce();
  return Choose();
}

}  // namespace platform::dialog
