// The platform's files outside Windows: flock, fsync, POSIX calls.
#if !defined(_WIN32)
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "core/internal.h"

namespace ksim::files {
namespace {

bool write_fd(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes a new directory entry durable.
void sync_folder_of(const std::string &path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return;
  int fd = ::open(path.substr(0, slash == 0 ? 1 : slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool make_folders(const std::string &path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Lock lock(const std::string &path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return {};
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd);
      return {};
    }
  }
  return Lock{fd};
}

void unlock(Lock &lock) {
  if (!lock.locked()) return;
  ::flock(static_cast<int>(lock.handle), LOCK_UN);
  ::close(static_cast<int>(lock.handle));
  lock.handle = -1;
}

bool stat_file(const std::string &path, std::uint64_t &size, Identity &identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  size = static_cast<std::uint64_t>(st.st_size);
  identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  return true;
}

bool read_from(const std::string &path, std::uint64_t offset, std::string &data) {
  data.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(offset + data.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool read_all(const std::string &path, std::string &data) { return read_from(path, 0, data); }

bool append_durably(const std::string &path, std::string_view data) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  struct stat st {};
  bool created = ::fstat(fd, &st) == 0 && st.st_size == 0;
  bool ok = write_fd(fd, data) && ::fsync(fd) == 0;
  ::close(fd);
  if (ok && created) sync_folder_of(path);
  return ok;
}

bool append(const std::string &path, std::string_view data) {
  int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = write_fd(fd, data);
  ::close(fd);
  return ok;
}

bool truncate(const std::string &path, std::uint64_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool write_all(const std::string &path, std::string_view data) {
  std::string temporary = path + ".new";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = write_fd(fd, data) && ::fsync(fd) == 0;
  ::close(fd);
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

std::vector<std::string> list_folder(const std::string &path) {
  std::vector<std::string> names;
  DIR *dir = ::opendir(path.c_str());
  if (!dir) return names;
  while (dirent *entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::string environment(const char *name) {
  const char *value = std::getenv(name);
  return value ? value : "";
}

std::string home_folder() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  if (passwd *user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return {};
}

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::int64_t wall_clock() {
  std::time_t now = std::time(nullptr);
  std::tm local {};
  ::localtime_r(&now, &local);
  return from_civil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec});
}

}  // namespace ksim::files
#endif
