// Folder listings kept in memory for the case-insensitive path search of the
// POSIX platform layer.  A listing is answered from memory while its folder's
// status (device, inode, size, modification time) is unchanged, and read again
// as soon as it changes.
#pragma once

#include <string>
#include <string_view>

namespace kalpo::platform {

// One entry of a folder: its name and its type as the listing gives it
// (DT_REG, DT_DIR, ...; DT_UNKNOWN when the file system does not say).
struct FolderEntry {
  std::string name;
  unsigned char type = 0;
};

// What a folder holds under a name: whether folder is a readable folder, and
// its entry spelt as part, else the first whose name matches part without
// regard to ASCII case (nullptr when none).  The folder's status is checked at
// every call; the entry is valid until the next call.
struct FolderLookup {
  bool folder = false;
  const FolderEntry *entry = nullptr;
};
FolderLookup find_in_folder(const std::string &folder, std::string_view part);

// The folder that a folder path as spelt was last found as, or nullptr; a
// finding is kept while that folder exists, whatever else changes around it,
// for it still matches the spelt path without regard to case.
const std::string *found_as(const std::string &spelt);
void remember_found(const std::string &spelt, const std::string &found);
void forget_found(const std::string &spelt);

// Whether the listing kept for folder, however old, lacks an entry spelt as
// part: a hint that the spelt path is missing, never an answer.  False when no
// listing is kept.
bool listed_without(const std::string &folder, std::string_view part);

}  // namespace kalpo::platform
