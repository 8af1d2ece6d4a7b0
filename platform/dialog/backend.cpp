#include "platform/dialog/backend.h"

#include <dlfcn.h>  // dlopen, dlsym, dlerror

#include <algorithm>
#include <cstdlib>  // std::getenv
#include <cstring>  // std::strcmp
#include <string>
#include <vector>

#include "platform/dialog/program.h"

namespace platform::dialog {
namespace {

// The outcome of the choice of backend: the backend, or none with the
// program's exit status and the lines (each ended by a newline) that say
// why, for the program to write when it ends (EndWithoutDialogs).
struct BackendChoice {
  Backend* backend = nullptr;
  int status = 0;
  std::string message;
};

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
    if (e.available != nullptr && (e.create != nullptr || e.module != nullptr)) entries.push_back(e);
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
    Unloaded().push_back(std::string("The ") + entry.name +
                         " backend's module could not be loaded: " + (why != nullptr ? why : entry.module));
    return nullptr;
  }
  return std::unique_ptr<Backend>(reinterpret_cast<Backend* (*)()>(create)());
}

// The entry DIALOG_BACKEND names, when it names one and no script is
// named. When it names none there is: nullptr, and `refusal` says so.
const BackendEntry* NamedEntry(BackendChoice& refusal) {
  const char* script = std::getenv("DIALOG_SCRIPT");
  const char* named = std::getenv("DIALOG_BACKEND");
  if ((script != nullptr && *script != '\0') || named == nullptr || *named == '\0') return nullptr;
  std::string known;
  for (const BackendEntry& e : Entries()) {
    if (std::strcmp(e.name, named) == 0) return &e;
    known += known.empty() ? e.name : std::string(", ") + e.name;
  }
  refusal.status = 1;
  refusal.message =
      std::string("DIALOG_BACKEND=") + named + " names no dialog backend of this program (it has: " + known + ").\n";
  return nullptr;
}

// Why a module that was wanted could not be loaded, a line each.
std::string UnloadedLines() {
  std::string lines;
  for (const std::string& reason : Unloaded()) lines += reason + "\n";
  return lines;
}

// The backend DIALOG_BACKEND names, or a line saying why it cannot run
// here.
BackendChoice MakeNamed(const BackendEntry& named) {
  const char* why = named.whyNot != nullptr ? named.whyNot() : nullptr;
  if (why != nullptr) return {nullptr, 1, std::string("DIALOG_BACKEND=") + named.name + ", but " + why + ".\n"};
  Backend* made = (named.module != nullptr ? LoadModule(named) : named.create()).release();
  if (made == nullptr) return {nullptr, 1, UnloadedLines()};
  return {made, 0, ""};
}

BackendChoice Choose() {
  if (Chosen() != nullptr) return {Chosen(), 0, ""};
  BackendChoice refusal;
  if (const BackendEntry* named = NamedEntry(refusal)) {
    BackendChoice choice = MakeNamed(*named);
    Chosen() = choice.backend;
    return choice;
  }
  if (refusal.status != 0) return refusal;
  // A backend that declines once it is made (a terminal that cannot show
  // the dialogs) has said why in a line of its own: that line is the
  // program's message then.
  bool declined = false;
  for (const BackendEntry& e : ByPriority()) {
    if (!e.available()) continue;
    Chosen() = (e.module != nullptr ? LoadModule(e) : e.create()).release();
    if (Chosen() != nullptr) return {Chosen(), 0, ""};
    declined = declined || e.module == nullptr;
  }
  if (declined) return {nullptr, 1, ""};
  return {nullptr, 1,
          "This program shows dialog windows, but no window system is available "
          "(no display is set, or its server does not answer or refuses the connection, "
          "standard input and output are not a terminal, or no backend for them was built in).\n" +
              UnloadedLines()};
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
  BackendChoice choice = Choose();
  if (choice.backend == nullptr) EndWithoutDialogs(choice.status, choice.message);
  return *choice.backend;
}

bool WindowSystemAvailable() {
  if (BackendInForce() != nullptr) return true;
  BackendChoice refusal;
  if (const BackendEntry* named = NamedEntry(refusal))
    return named->showsWindows && (named->whyNot == nullptr || named->whyNot() == nullptr);
  if (refusal.status != 0) EndWithoutDialogs(refusal.status, refusal.message);
  for (const BackendEntry& e : ByPriority())
    if (e.available()) return e.showsWindows;
  return false;
}

int ProgramEnd(int status) {
  if (BackendInForce() != nullptr) return BackendInForce()->EndProgram(status);
  if (Chosen() == nullptr) {
    // No window was shown. Only a backend that must see every run is made
    // now, when it is the first whose check passes; a window system is
    // never started (nor its module loaded) just to end.
    BackendChoice refusal;
    if (const BackendEntry* named = NamedEntry(refusal)) {
      if (!named->endsEveryRun) return status;
      return CurrentBackend().EndProgram(status);
    }
    if (refusal.status != 0) EndWithoutDialogs(refusal.status, refusal.message);
    std::vector<BackendEntry> entries = ByPriority();
    auto e = entries.begin();
    for (; e != entries.end(); ++e) {
      if (std::none_of(e, entries.end(), [](const BackendEntry& b) { return b.endsEveryRun; })) return status;
      if (e->available()) break;
    }
    if (e == entries.end() || !e->endsEveryRun) return status;
    CurrentBackend();
  }
  return Chosen()->EndProgram(status);
}

}  // namespace platform::dialog
