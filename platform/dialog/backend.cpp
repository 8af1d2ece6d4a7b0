#include "platform/dialog/backend.h"

#include <dlfcn.h>  // dlopen, dlsym, dlerror

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

// Why a module that was wanted could not be loaded, one line each: said
// only when no backend at all can run.
std::vector<std::string>& Unloaded() {
  static std::vector<std::string> reasons;
  return reasons;
}

// The registered backends, highest priority first (among equals, the first
// registered).
std::vector<BackendEntry> ByPriority() {
  std::vector<BackendEntry> entries;
  for (const BackendEntry& e : Entries())
    if (e.Available != nullptr && (e.Create != nullptr || e.module != nullptr)) entries.push_back(e);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const BackendEntry& a, const BackendEntry& b) { return a.priority > b.priority; });
  return entries;
}

// The backend of a module: found through the program's run path (the
// module directory beside the program, README.md), loaded with every symbol
// bound at once, so that a module missing a library or a symbol fails here
// and not in the middle of a run. The module stays loaded for the life of
// the process, as the chosen backend does.
std::unique_ptr<Backend> LoadModule(const BackendEntry& entry) {
  void* module = dlopen(entry.module, RTLD_NOW | RTLD_LOCAL);
  void* create = module != nullptr ? dlsym(module, "CreateDialogBackend") : nullptr;
  if (create == nullptr) {
    const char* why = dlerror();
    Unloaded().push_back(std::string("The ") + entry.name + " backend's module could not be loaded: " +
                         (why != nullptr ? why : entry.module));
    return nullptr;
  }
  return std::unique_ptr<Backend>(reinterpret_cast<Backend* (*)()>(create)());
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

// The backend DIALOG_BACKEND names; the program ends with a line saying
// why when it cannot run here.
Backend* MakeNamed(const BackendEntry& named) {
  const char* why = named.WhyNot != nullptr ? named.WhyNot() : nullptr;
  if (why != nullptr) {
    std::fprintf(stderr, "DIALOG_BACKEND=%s, but %s.\n", named.name, why);
    std::exit(1);
  }
  Backend* made = (named.module != nullptr ? LoadModule(named) : named.Create()).release();
  if (made == nullptr) {
    for (const std::string& reason : Unloaded()) std::fprintf(stderr, "%s\n", reason.c_str());
    std::exit(1);
  }
  return made;
}

Backend& Choose() {
  // A backend that declines once it is made (a terminal that cannot show
  // the dialogs) has said why in a line of its own: that line is the
  // program's message then.
  bool declined = false;
  if (!Chosen()) {
    if (const BackendEntry* named = NamedEntry()) Chosen() = MakeNamed(*named);
    for (const BackendEntry& e : ByPriority()) {
      if (Chosen() != nullptr) break;
      if (!e.Available()) continue;
      Chosen() = (e.module != nullptr ? LoadModule(e) : e.Create()).release();
      declined = declined || (Chosen() == nullptr && e.module == nullptr);
    }
  }
  if (Chosen() == nullptr && declined) std::exit(1);
  if (Chosen() == nullptr) {
    std::fprintf(stderr,
                 "This program shows dialog windows, but no window system is available "
                 "(no display is set, or its server does not answer or refuses the connection, "
                 "standard input and output are not a terminal, or no backend for them was built in).\n");
    for (const std::string& reason : Unloaded()) std::fprintf(stderr, "%s\n", reason.c_str());
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
  if (const BackendEntry* named = NamedEntry())
    return named->showsWindows && (named->WhyNot == nullptr || named->WhyNot() == nullptr);
  for (const BackendEntry& e : ByPriority())
    if (e.Available()) return e.showsWindows;
  return false;
}

int ProgramEnd(int status) {
  if (BackendInForce() != nullptr) return BackendInForce()->EndProgram(status);
  if (Chosen() == nullptr) {
    // No window was shown. Only a backend that must see every run is made
    // now, when it is the first whose check passes; a window system is
    // never started (nor its module loaded) just to end.
    if (const BackendEntry* named = NamedEntry()) {
      if (!named->endsEveryRun) return status;
      return Choose().EndProgram(status);
    }
    std::vector<BackendEntry> entries = ByPriority();
    auto e = entries.begin();
    for (; e != entries.end(); ++e) {
      if (std::none_of(e, entries.end(), [](const BackendEntry& b) { return b.endsEveryRun; })) return status;
      if (e->Available()) break;
    }
    if (e == entries.end() || !e->endsEveryRun) return status;
    Choose();
  }
  return Chosen()->EndProgram(status);
}

}  // namespace platform::dialog
