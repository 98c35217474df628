// The platform's files on Windows: LockFileEx, FlushFileBuffers, Win32 calls.
#if defined(_WIN32)
#include <windows.h>

#include <cstdlib>

#include "core/internal.h"

namespace ksim::files {
namespace {

HANDLE open_file(const std::string &path, DWORD access, DWORD disposition) {
  return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool write_handle(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    DWORD written = 0;
    DWORD chunk = data.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(data.size());
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

bool append_with(const std::string &path, std::string_view data, bool durable) {
  HANDLE file = open_file(path, GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER zero {};
  bool ok = ::SetFilePointerEx(file, zero, nullptr, FILE_END) && write_handle(file, data) &&
            (!durable || ::FlushFileBuffers(file));
  ::CloseHandle(file);
  return ok;
}

}  // namespace

bool make_folders(const std::string &path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    std::string part = path.substr(0, i);
    if (part.size() == 2 && part[1] == ':') continue;
    ::CreateDirectoryA(part.c_str(), nullptr);
  }
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Lock lock(const std::string &path) {
  HANDLE file = open_file(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return {};
  OVERLAPPED overlapped {};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped)) {
    ::CloseHandle(file);
    return {};
  }
  return Lock{reinterpret_cast<std::intptr_t>(file)};
}

void unlock(Lock &lock) {
  if (!lock.locked()) return;
  HANDLE file = reinterpret_cast<HANDLE>(lock.handle);
  OVERLAPPED overlapped {};
  ::UnlockFileEx(file, 0, 1, 0, &overlapped);
  ::CloseHandle(file);
  lock.handle = -1;
}

bool stat_file(const std::string &path, std::uint64_t &size, Identity &identity) {
  HANDLE file = open_file(path, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info {};
  bool ok = ::GetFileInformationByHandle(file, &info);
  ::CloseHandle(file);
  if (!ok) return false;
  size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identity = {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return true;
}

bool read_from(const std::string &path, std::uint64_t offset, std::string &data) {
  data.clear();
  HANDLE file = open_file(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  LARGE_INTEGER position {};
  position.QuadPart = static_cast<LONGLONG>(offset);
  bool ok = ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
  char buffer[65536];
  DWORD n = 0;
  while (ok && (ok = ::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) && n > 0) data.append(buffer, n);
  ::CloseHandle(file);
  return ok;
}

bool read_all(const std::string &path, std::string &data) { return read_from(path, 0, data); }

bool append_durably(const std::string &path, std::string_view data) { return append_with(path, data, true); }

bool append(const std::string &path, std::string_view data) { return append_with(path, data, false); }

bool truncate(const std::string &path, std::uint64_t size) {
  HANDLE file = open_file(path, GENERIC_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position {};
  position.QuadPart = static_cast<LONGLONG>(size);
  bool ok = ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) &&
            ::FlushFileBuffers(file);
  ::CloseHandle(file);
  return ok;
}

bool write_all(const std::string &path, std::string_view data) {
  std::string temporary = path + ".new";
  HANDLE file = open_file(temporary, GENERIC_WRITE, CREATE_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = write_handle(file, data) && ::FlushFileBuffers(file);
  ::CloseHandle(file);
  ok = ok && ::MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) ::DeleteFileA(temporary.c_str());
  return ok;
}

std::vector<std::string> list_folder(const std::string &path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found {};
  HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

std::string environment(const char *name) {
  char buffer[32768];
  DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string home_folder() { return environment("USERPROFILE"); }

void sleep_ms(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

std::int64_t wall_clock() {
  SYSTEMTIME local {};
  ::GetLocalTime(&local);
  return from_civil({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

}  // namespace ksim::files
#endif
