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

// The entry of folder spelt as part, else the first whose name matches part
// without regard to ASCII case; nullptr when there is none or folder is not a
// readable folder.  The folder's status is checked at every call.  The entry
// is valid until the next call.
const FolderEntry *find_in_folder(const std::string &folder, std::string_view part);

// Whether the listing kept for folder, however old, lacks an entry spelt as
// part: a hint that the spelt path is missing, never an answer.  False when no
// listing is kept.
bool listed_without(const std::string &folder, std::string_view part);

}  // namespace kalpo::platform
