// Pieces of the POSIX platform layer that its tests reach directly.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kalpo::platform {

// The drive-C folder: $KALPO_DRIVE_C when set, else .kalpo/drive_c in the home
// folder named by $HOME or else by the user database; none without either
// (never a folder that other users could write to).
std::optional<std::filesystem::path> choose_drive_c_root(const char *drive_c, const char *home, const char *user_home);

// The file a Windows path maps to, or "" without a drive-C folder.
std::string posix_path(std::string_view windows_path);

}  // namespace kalpo::platform
