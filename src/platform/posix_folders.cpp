// Folder listings kept in memory.  A listing read while its folder could still
// change within the same tick of the folder's modification time is not
// trusted: it is read again at its next use, until the modification time lies
// more than a tick behind the moment of reading.
#include "platform/posix_folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/ascii.h"

namespace kalpo::platform {
namespace {

// A bound on the folders remembered; the least recently used goes first.
constexpr std::size_t kMostFolders = 32;

struct Listing {
  dev_t device{};
  ino_t inode{};
  off_t size{};
  timespec modified{};
  bool settled = false;  // read more than a tick after the last modification
  std::vector<FolderEntry> entries;
  uint64_t used = 0;
};

bool same_status(const Listing &listing, const struct stat &info) {
  return listing.device == info.st_dev && listing.inode == info.st_ino && listing.size == info.st_size &&
         listing.modified.tv_sec == info.st_mtim.tv_sec && listing.modified.tv_nsec == info.st_mtim.tv_nsec;
}

// A file system that keeps whole seconds keeps no nanoseconds (FAT keeps even
// seconds); the others stamp with a clock that may lag by a scheduler tick.
int64_t tick_ns(const timespec &modified) { return modified.tv_nsec == 0 ? 2'000'000'000 : 100'000'000; }

int64_t ns(const timespec &t) { return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

// Whether a listing read at now can be trusted until the status changes: any
// later change stamps a modification time past the one seen.
bool settled(const timespec &modified, const timespec &now) { return ns(now) - ns(modified) > tick_ns(modified); }

bool read_listing(const std::string &folder, std::vector<FolderEntry> &entries) {
  DIR *dir = ::opendir(folder.c_str());
  if (!dir) return false;
  entries.clear();
  while (const dirent *entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") entries.push_back({std::string(name), entry->d_type});
  }
  ::closedir(dir);
  return true;
}

class Listings {
 public:
  FolderLookup find(const std::string &folder, std::string_view part) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return forget(folder);
    auto it = folders_.find(folder);
    if (it == folders_.end()) {
      it = folders_.emplace(folder, Listing{}).first;
      if (folders_.size() > kMostFolders) drop_least_used(folder);
    }
    Listing &listing = it->second;
    if (!listing.settled || !same_status(listing, info)) {
      timespec now{};
      ::clock_gettime(CLOCK_REALTIME, &now);
      if (!read_listing(folder, listing.entries)) return forget(folder);
      listing.device = info.st_dev;
      listing.inode = info.st_ino;
      listing.size = info.st_size;
      listing.modified = info.st_mtim;
      listing.settled = settled(info.st_mtim, now);
    }
    listing.used = ++clock_;
    FolderLookup lookup{true, nullptr};
    for (const FolderEntry &entry : listing.entries) {
      if (entry.name == part) return {true, &entry};
      if (!lookup.entry && base::ascii::iequals(entry.name, part)) lookup.entry = &entry;
    }
    return lookup;
  }

  bool lacks(const std::string &folder, std::string_view part) const {
    auto it = folders_.find(folder);
    if (it == folders_.end()) return false;
    for (const FolderEntry &entry : it->second.entries) {
      if (entry.name == part) return false;
    }
    return true;
  }

 private:
  FolderLookup forget(const std::string &folder) {
    folders_.erase(folder);
    return {};
  }

  // Drops the least recently used listing other than keep's.
  void drop_least_used(const std::string &keep) {
    auto oldest = folders_.end();
    for (auto it = folders_.begin(); it != folders_.end(); ++it) {
      if (it->first != keep && (oldest == folders_.end() || it->second.used < oldest->second.used)) oldest = it;
    }
    if (oldest != folders_.end()) folders_.erase(oldest);
  }

  std::unordered_map<std::string, Listing> folders_;
  uint64_t clock_ = 0;
};

Listings &listings() {
  static Listings kept;
  return kept;
}

// Folder paths as spelt and the folders they were found as.
std::unordered_map<std::string, std::string> &findings() {
  static std::unordered_map<std::string, std::string> kept;
  return kept;
}

}  // namespace

FolderLookup find_in_folder(const std::string &folder, std::string_view part) { return listings().find(folder, part); }

const std::string *found_as(const std::string &spelt) {
  auto it = findings().find(spelt);
  return it == findings().end() ? nullptr : &it->second;
}

void remember_found(const std::string &spelt, const std::string &found) {
  if (findings().size() >= kMostFolders) findings().clear();
  findings()[spelt] = found;
}

void forget_found(const std::string &spelt) { findings().erase(spelt); }

bool listed_without(const std::string &folder, std::string_view part) { return listings().lacks(folder, part); }

}  // namespace kalpo::platform
