// The platform's files on Windows: LockFileEx, FlushFileBuffers, Win32 calls.
// A printer's files are opened as themselves, never through a reparse point
// (a link or junction), and must be files on disk.
#if defined(_WIN32)
#include <windows.h>

#include <cstdlib>

#include "core/internal.h"

namespace ksim::files {
namespace {

thread_local std::string g_error;

bool fail(std::string_view what, DWORD error = ::GetLastError()) {
  char text[512] = {};
  DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                             sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == '.')) text[--n] = '\0';
  g_error = std::string(what) + ": " + (n > 0 ? text : "error " + std::to_string(error));
  return false;
}

bool fail_with(std::string_view what, std::string_view why) {
  g_error = std::string(what) + ": " + std::string(why);
  return false;
}

std::string in(const Folder &folder, const char *name) { return folder.path + "\\" + name; }

const char *kind_of(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "a link, not a file";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "a folder, not a file";
  return "";
}

bool identity_of(HANDLE handle, Identity &identity, DWORD &attributes, std::uint64_t *size = nullptr) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return false;
  identity = {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  attributes = info.dwFileAttributes;
  if (size) *size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

// A file as itself (not what a reparse point names), checked to be a file
// on disk; INVALID_HANDLE_VALUE otherwise.  `name` names it in messages.
HANDLE open_path(const std::string &path, const char *name, DWORD access, DWORD disposition) {
  HANDLE file = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    fail(name, error);
    ::SetLastError(error);  // for the callers that tell an absent file
    return file;
  }
  Identity ignored;
  DWORD attributes = 0;
  if (::GetFileType(file) != FILE_TYPE_DISK || !identity_of(file, ignored, attributes) || *kind_of(attributes)) {
    fail_with(name, *kind_of(attributes) ? kind_of(attributes) : "a device or pipe, not a file");
    ::CloseHandle(file);
    ::SetLastError(ERROR_INVALID_FUNCTION);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

HANDLE open_file(const Folder &folder, const char *name, DWORD access, DWORD disposition) {
  return open_path(in(folder, name), name, access, disposition);
}

bool write_handle(HANDLE file, std::string_view data, const char *name) {
  while (!data.empty()) {
    DWORD written = 0;
    DWORD chunk = data.size() > 0x100000 ? 0x100000 : static_cast<DWORD>(data.size());
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr)) return fail(name);
    if (written == 0) return fail(name, ERROR_DISK_FULL);
    data.remove_prefix(written);
  }
  return true;
}

// Writes `data` into `temporary` (open as `file`, closed here), flushes it
// and moves it over `path`; the temporary is removed when a step fails.
bool replace_with(HANDLE file, const std::string &temporary, const std::string &path, std::string_view data,
                  const char *name, bool durably = true) {
  bool ok = write_handle(file, data, name) && (!durably || ::FlushFileBuffers(file) || fail(name));
  ::CloseHandle(file);
  const DWORD flags = MOVEFILE_REPLACE_EXISTING | (durably ? MOVEFILE_WRITE_THROUGH : 0);
  ok = ok && (::MoveFileExA(temporary.c_str(), path.c_str(), flags) || fail(name));
  if (!ok) ::DeleteFileA(temporary.c_str());
  return ok;
}

}  // namespace

const std::string &last_error() { return g_error; }

bool refuse(std::string_view what, std::string_view why) { return fail_with(what, why); }

bool make_folders(const std::string &path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/' && path[i] != '\\') continue;
    std::string part = path.substr(0, i);
    if (part.size() == 2 && part[1] == ':') continue;
    ::CreateDirectoryA(part.c_str(), nullptr);
  }
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return fail(path);
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) || fail_with(path, "not a folder");
}

bool open_folder(const std::string &path, Folder &folder, bool create) {
  if (create && !make_folders(path)) return false;
  HANDLE handle =
      ::CreateFileA(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return fail(path);
  Identity identity;
  DWORD attributes = 0;
  if (!identity_of(handle, identity, attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    ::CloseHandle(handle);
    return fail_with(path, "not a folder (a link?)");
  }
  // Not kept open: a folder open here could not be deleted to start afresh.
  ::CloseHandle(handle);
  folder = {0, path, identity};
  return true;
}

void close_folder(Folder &folder) { folder.handle = -1; }

bool still_there(const Folder &folder) {
  HANDLE handle = ::CreateFileA(folder.path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  Identity identity;
  DWORD attributes = 0;
  bool same = identity_of(handle, identity, attributes) && identity == folder.identity;
  ::CloseHandle(handle);
  return same;
}

std::string odd_kind(const Folder &folder, const char *name) {
  DWORD attributes = ::GetFileAttributesA(in(folder, name).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? std::string() : kind_of(attributes);
}

Lock lock(const Folder &folder, const char *name) {
  HANDLE file = open_file(folder, name, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return {};
  OVERLAPPED overlapped{};
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &overlapped)) {
    fail(name);
    ::CloseHandle(file);
    return {};
  }
  return Lock{reinterpret_cast<std::intptr_t>(file)};
}

Lock try_lock(const Folder &folder, const char *name, int wait_ms, bool &busy) {
  busy = false;
  HANDLE file = open_file(folder, name, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE && (::GetLastError() == ERROR_FILE_NOT_FOUND)) g_error.clear();
  if (file == INVALID_HANDLE_VALUE) return {};
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(wait_ms);
  for (;;) {
    OVERLAPPED overlapped{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &overlapped))
      return Lock{reinterpret_cast<std::intptr_t>(file)};
    const DWORD error = ::GetLastError();
    if (error != ERROR_LOCK_VIOLATION || ::GetTickCount64() >= deadline) {
      busy = error == ERROR_LOCK_VIOLATION;
      busy ? fail_with(name, "held by a call of another process") : fail(name);
      ::CloseHandle(file);
      return {};
    }
    ::Sleep(5);
  }
}

void unlock(Lock &lock) {
  if (!lock.locked()) return;
  HANDLE file = reinterpret_cast<HANDLE>(lock.handle);
  OVERLAPPED overlapped{};
  ::UnlockFileEx(file, 0, 1, 0, &overlapped);
  ::CloseHandle(file);
  lock.handle = -1;
}

bool stat_file(const Folder &folder, const char *name, std::uint64_t &size, Identity &identity) {
  g_error.clear();
  HANDLE file = open_file(folder, name, 0, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) g_error.clear();
    return false;
  }
  DWORD attributes = 0;
  bool ok = identity_of(file, identity, attributes, &size);
  ::CloseHandle(file);
  return ok || fail(name);
}

bool read_from(const Folder &folder, const char *name, std::uint64_t offset, std::string &data, std::uint64_t limit) {
  data.clear();
  HANDLE file = open_file(folder, name, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  bool ok = ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN);
  char buffer[65536];
  DWORD n = 0;
  while (ok && data.size() < limit) {
    DWORD want = limit - data.size() < sizeof buffer ? static_cast<DWORD>(limit - data.size()) : sizeof buffer;
    if (!(ok = ::ReadFile(file, buffer, want, &n, nullptr)) || n == 0) break;
    data.append(buffer, n);
  }
  if (!ok) fail(name);
  ::CloseHandle(file);
  return ok;
}

bool append(const Folder &folder, const char *name, std::string_view data, bool durably) {
  HANDLE file = open_file(folder, name, GENERIC_WRITE, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER zero{};
  bool ok = (::SetFilePointerEx(file, zero, nullptr, FILE_END) || fail(name)) && write_handle(file, data, name) &&
            (!durably || ::FlushFileBuffers(file) || fail(name));
  ::CloseHandle(file);
  return ok;
}

bool truncate(const Folder &folder, const char *name, std::uint64_t size) {
  HANDLE file = open_file(folder, name, GENERIC_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  bool ok =
      (::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(file) && ::FlushFileBuffers(file)) ||
      fail(name);
  ::CloseHandle(file);
  return ok;
}

bool write_all(const Folder &folder, const char *name, std::string_view data, bool durably) {
  std::string temporary = in(folder, name) + ".new";
  ::DeleteFileA(temporary.c_str());  // left by a process killed while writing it (a link: the link goes)
  HANDLE file = ::CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(temporary);
  return replace_with(file, temporary, in(folder, name), data, name, durably);
}

bool rename(const Folder &folder, const char *from, const char *to) {
  if (::MoveFileExA(in(folder, from).c_str(), in(folder, to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || fail(from, error);
}

std::vector<std::string> list_folder(const std::string &path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return names;
}

std::string path_kind(const std::string &path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "" : "unreadable";
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "a link";
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? "folder" : "a file";
}

std::string environment(const char *name) {
  char buffer[32768];
  DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string home_folder() { return environment("USERPROFILE"); }

void sleep_ms(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

std::int64_t wall_clock() {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  return from_civil({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

}  // namespace ksim::files

namespace ksim {

const std::string &last_file_error() { return files::g_error; }

namespace {
bool absent(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }
}  // namespace

SafeFile::SafeFile(const std::string &path, Whose) : path_(path) {
  HANDLE file = files::open_path(path, path.c_str(), GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE && absent(::GetLastError())) files::g_error.clear();
  if (file != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(file);
}

SafeFile::~SafeFile() {
  if (open()) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::int64_t SafeFile::read(char *into, std::size_t size) {
  DWORD got = 0;
  const DWORD chunk = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
  if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), into, chunk, &got, nullptr)) return files::fail(path_), -1;
  return got;
}

bool append_own_file(const std::string &path, std::string_view data) {
  HANDLE file = files::open_path(path, path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = files::write_handle(file, data, path.c_str()) && (::FlushFileBuffers(file) || files::fail(path));
  ::CloseHandle(file);
  return ok;
}

bool create_own_file(const std::string &path, std::string_view data, bool &exists) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  exists = file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS;
  if (file == INVALID_HANDLE_VALUE) return files::fail(path);
  const bool ok = files::write_handle(file, data, path.c_str()) && (::FlushFileBuffers(file) || files::fail(path));
  ::CloseHandle(file);
  if (!ok) ::DeleteFileA(path.c_str());  // a file half made is not left to be read as whole
  return ok;
}

// A caller's folder is not the printer's: a partial file planted there (a
// link) is refused, not removed.
bool write_caller_file(const std::string &path, std::string_view data) {
  const std::string partial = path + ".part";
  HANDLE file = files::open_path(partial, partial.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, CREATE_ALWAYS);
  return file != INVALID_HANDLE_VALUE && files::replace_with(file, partial, path, data, path.c_str());
}

bool append_log_line(const std::string &path, std::string_view line, std::uint64_t limit) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    HANDLE file = files::open_path(path, path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return false;
    files::Identity ignored;
    DWORD attributes = 0;
    std::uint64_t size = 0;
    const bool full = files::identity_of(file, ignored, attributes, &size) && size > 0 && size + line.size() > limit;
    if (!full) {
      const bool ok = files::write_handle(file, line, path.c_str());
      ::CloseHandle(file);
      return ok;
    }
    ::CloseHandle(file);
    if (!::MoveFileExA(path.c_str(), (path + ".1").c_str(), MOVEFILE_REPLACE_EXISTING)) limit = UINT64_MAX;
  }
  return false;
}

}  // namespace ksim
#endif
