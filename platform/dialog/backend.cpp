#include "platform/dialog/backend.h"

#include <algorithm>
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::exit, std::getenv
#include <cstring>  // std::strcmp
#include <string>
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

// The entry DIALOG_BACKEND names, when it names one and no script is
// named; the program ends with a message when it names none there is.
const BackendEntry* NamedEntry() {
  const char* script = std::getenv("DIALOG_SCRIPT");
  const char* named = std::getenv("DIALOG_BACKEND");
  if ((script != nullptr && *script != '\0') || named == nullptr || *named == '\0') return nullptr;
  std::string known;
  for (const BackendEntry& e : Entries()) {
    if (std::strcmp(e.name, named) == 0) return &e;
    known += known.empty() ? e.name : std::string(", ") + e.name;
  }
  std::fprintf(stderr, "DIALOG_BACKEND=%s names no dialog backend of this program (it has: %s).\n", named,
               known.c_str());
  std::exit(1);
}

Backend& Choose() {
  // A backend that declines once it is made has said why; the platform's
  // own message is for when there was none to make.
  bool declined = false;
  if (!Chosen()) {
    if (const BackendEntry* named = NamedEntry()) {
      const char* why = named->WhyNot != nullptr ? named->WhyNot() : nullptr;
      if (why != nullptr) {
        std::fprintf(stderr, "DIALOG_BACKEND=%s, but %s.\n", named->name, why);
        std::exit(1);
      }
      Chosen() = named->Create().release();
      declined = Chosen() == nullptr;
    } else {
      for (const BackendEntry& e : AvailableEntries()) {
        Chosen() = e.Create().release();
        if (Chosen() != nullptr) break;
        declined = true;
      }
    }
  }
  if (Chosen() == nullptr) {
    if (!declined)
      std::fprintf(stderr,
                   "This program shows dialog windows, but no window system is available "
                   "(no display is set, or its server does not answer or refuses the connection, "
                   "standard input and output are not a terminal, or no backend for them was built in).\n");
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

int ProgramEnd(int status) {
  if (BackendInForce() != nullptr) return BackendInForce()->EndProgram(status);
  if (Chosen() == nullptr) {
    // No window was shown. Only a backend that must see every run is made
    // now; a window system is never started just to end.
    const BackendEntry* named = NamedEntry();
    std::vector<BackendEntry> entries = AvailableEntries();
    bool endsEveryRun = named != nullptr ? named->endsEveryRun : !entries.empty() && entries.front().endsEveryRun;
    if (!endsEveryRun) return status;
    Choose();
  }
  return Chosen()->EndProgram(status);
}

}  // namespace platform::dialog
