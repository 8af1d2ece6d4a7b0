#include "platform/files/directory_names.h"

#include <sys/stat.h>
#include <time.h>  // clock_gettime

#include <algorithm>  // std::min
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/files/system_calls.h"

namespace platform::files {
namespace {

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Orders names by their bytes with ASCII letters lowered, then by their own
// bytes: the spellings of one name sit together, in byte order.
struct FoldedOrder {
  bool operator()(const std::string& a, const std::string& b) const {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      auto x = static_cast<unsigned char>(ToLowerAscii(a[i]));
      auto y = static_cast<unsigned char>(ToLowerAscii(b[i]));
      if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
  }
};

// The names of one directory as this process last knew them, valid while
// the directory's device, inode and modification time are unchanged.
//
// This assumes that no two programs of this system write one directory at
// once: a change by another process within the same tick of the file
// system's clock, right after a change of our own (whose new time stamp is
// recorded here), may go unseen. A listing whose directory changed too
// recently to rule that out is used once and not kept.
struct Listing {
  dev_t device = 0;
  ino_t inode = 0;
  timespec modified{};
  std::set<std::string, FoldedOrder> names;
};

// Keyed by the host path of the directory as host_path spells it.
std::unordered_map<std::string, Listing>& Listings() {
  static std::unordered_map<std::string, Listing> listings;
  return listings;
}

// All names kept; past the bound every listing is dropped and made again
// when next needed, which keeps memory small whatever the tree.
size_t rememberedNames = 0;
constexpr size_t kMaxRememberedNames = 50000;

// Seconds a directory's time stamp must lie in the past for its listing to
// be kept: some file systems stamp in whole or even seconds, and a later
// change within that tick would not move the stamp.
constexpr time_t kSettledSeconds = 3;

std::string Key(const std::string& directory) { return directory.empty() ? "." : directory; }

bool StatDirectory(const std::string& path, struct stat& st) {
  return Sys().stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Unchanged(const Listing& listing, const struct stat& st) {
  return listing.device == st.st_dev && listing.inode == st.st_ino && listing.modified.tv_sec == st.st_mtim.tv_sec &&
         listing.modified.tv_nsec == st.st_mtim.tv_nsec;
}

void Stamp(Listing& listing, const struct stat& st) {
  listing.device = st.st_dev;
  listing.inode = st.st_ino;
  listing.modified = st.st_mtim;
}

bool Settled(const struct stat& st) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_sec - st.st_mtim.tv_sec >= kSettledSeconds;
}

void Drop(std::unordered_map<std::string, Listing>::iterator it) {
  rememberedNames -= it->second.names.size();
  Listings().erase(it);
}

void Keep(const std::string& key, Listing listing) {
  auto& listings = Listings();
  if (rememberedNames + listing.names.size() > kMaxRememberedNames) {
    listings.clear();
    rememberedNames = 0;
  }
  rememberedNames += listing.names.size();
  listings[key] = std::move(listing);
}

// The exact name if listed, else the first spelling in byte order: an
// all-upper-case probe sorts before every other spelling of the name.
std::string Match(const std::set<std::string, FoldedOrder>& names, const std::string& name) {
  if (names.count(name)) return name;
  std::string probe = name;
  for (char& c : probe) c = ToUpperAscii(c);
  auto it = names.lower_bound(probe);
  if (it == names.end() || it->size() != name.size()) return name;
  for (size_t i = 0; i < name.size(); ++i)
    if (ToLowerAscii((*it)[i]) != ToLowerAscii(name[i])) return name;
  return *it;
}

// Splits a host path into the key of its directory and its last name.
void SplitLast(const std::string& hostPath, std::string& directory, std::string& name) {
  size_t slash = hostPath.rfind('/');
  directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : hostPath.substr(0, slash));
  name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Applies a change of our own to the listing of the directory holding
// `hostPath`, and records the directory's new time stamp.
void NoteChange(const std::string& hostPath, bool added) {
  std::string directory, name;
  SplitLast(hostPath, directory, name);
  auto& listings = Listings();
  auto it = listings.find(directory);
  if (it == listings.end()) return;
  struct stat st;
  if (!StatDirectory(directory, st)) {
    Drop(it);
    return;
  }
  Stamp(it->second, st);
  if (added) {
    if (it->second.names.insert(name).second && ++rememberedNames > kMaxRememberedNames) {
      listings.clear();
      rememberedNames = 0;
    }
  } else {
    rememberedNames -= it->second.names.erase(name);
  }
}

}  // namespace

bool FindName(const std::string& directory, const std::string& name, std::string& actual) {
  actual = name;
  if (name == "." || name == "..") return true;
  std::string key = Key(directory);
  auto& listings = Listings();
  auto it = listings.find(key);
  struct stat st;
  if (!StatDirectory(key, st)) {
    if (it != listings.end()) Drop(it);
    return false;
  }
  if (it != listings.end()) {
    if (Unchanged(it->second, st)) {
      actual = Match(it->second.names, name);
      return true;
    }
    Drop(it);
  }
  std::vector<std::string> entries;
  if (Sys().listDirectory(key.c_str(), entries) != 0) return false;
  Listing listing;
  Stamp(listing, st);
  listing.names.insert(entries.begin(), entries.end());
  actual = Match(listing.names, name);
  if (Settled(st)) Keep(key, std::move(listing));
  return true;
}

void NoteCreated(const std::string& hostPath) { NoteChange(hostPath, true); }

void NoteRemoved(const std::string& hostPath) {
  NoteChange(hostPath, false);
  auto& listings = Listings();
  auto it = listings.find(hostPath);
  if (it != listings.end()) Drop(it);
}

void NoteDirectoryMade(const std::string& hostPath) {
  NoteChange(hostPath, true);
  // A directory we just made is empty: its listing needs no reading.
  struct stat st;
  if (!StatDirectory(hostPath, st)) return;
  Listing listing;
  Stamp(listing, st);
  Keep(hostPath, std::move(listing));
}

}  // namespace platform::files
