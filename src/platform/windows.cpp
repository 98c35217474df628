// The platform layer on Windows: the workstation's own services.  Texts are
// Windows-1252 throughout, so every call uses the ANSI ("A") functions.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "kalpo.h"
#include "platform/platform.h"
#include "platform/windows.h"

namespace kalpo::platform {
namespace {

// The default handed to the profile functions: no INI value can hold it, so
// receiving it back means that the file, section or key is missing.
constexpr char kMissing[] = "\x01\x02kalpo-missing\x02\x01";

std::string zstring(std::string_view s) { return std::string(s); }

std::string locale_info(LCTYPE item, const char *fallback) {
  char buffer[96] = {};
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, static_cast<int>(sizeof buffer));
  if (n <= 1) return fallback;
  return std::string(buffer, static_cast<std::size_t>(n - 1));
}

// A user or system environment variable as the registry keeps it.
// RRF_RT_REG_SZ takes an expandable value too, expanded ("%TEMP%\k.jsonl"):
// asking for RRF_RT_REG_EXPAND_SZ without RRF_NOEXPAND is refused outright.
std::string registry_variable(HKEY root, const char *key, std::string_view name) {
  char value[1024];
  DWORD size = sizeof value;
  if (RegGetValueA(root, key, std::string(name).c_str(), RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return {};
  return value;
}

// The caption of a typed dialog, given by its kind (the icon bits).
const char *dialog_caption(uint32_t flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return "Error";
    case MB_ICONQUESTION: return "Confirm";
    case MB_ICONWARNING: return "Warning";
    default: return "Information";
  }
}

}  // namespace

std::string application_title() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, n < MAX_PATH ? n : MAX_PATH);
  if (auto slash = name.find_last_of("\\/"); slash != std::string::npos) name.erase(0, slash + 1);
  if (auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

MessageBoxRequest message_box_for(int32_t form, const char *caption, uint32_t flags,
                                  std::string_view application_title) {
  switch (form) {
    case KALPO_MSG_DIALOG: return {dialog_caption(flags), flags};  // the kind gives icon and caption
    case KALPO_MSG_BOX: return {caption ? caption : "", flags};
    default: return {std::string(application_title), MB_OK};  // a notice
  }
}

namespace {

bool is_directory(const std::string &path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WindowsPlatform final : public Platform {
 public:
  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override {
    std::string f = zstring(file), s = zstring(section), k = zstring(key);
    std::vector<char> buffer(256);
    for (;;) {
      DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), kMissing, buffer.data(),
                                         static_cast<DWORD>(buffer.size()), f.c_str());
      // A value that filled the buffer may have been cut: read it again with
      // more room.
      if (n + 1 >= buffer.size() && buffer.size() < (1u << 20)) {
        buffer.resize(buffer.size() * 4);
        continue;
      }
      std::string value(buffer.data(), n);
      if (value == kMissing) return std::string(fallback);
      return value;
    }
  }

  DateTime now() override {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
  }

  // The user's settings as they are now, kept until the next asking.
  const Regional &regional() override {
    regional_.decimal = locale_info(LOCALE_SDECIMAL, ".");
    regional_.thousands = locale_info(LOCALE_STHOUSAND, "");
    regional_.short_date = locale_info(LOCALE_SSHORTDATE, "dd/MM/yyyy");
    return regional_;
  }

  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override {
    std::string body(text);
    MessageBoxRequest box = message_box_for(form, caption, flags, form == KALPO_MSG_NOTICE ? application_title() : "");
    // Modal on the caller's thread: owned by its active window, or blocking
    // all of the thread's windows when it has none.
    HWND owner = GetActiveWindow();
    UINT style = box.style | (owner ? 0 : MB_TASKMODAL);
    int answer = MessageBoxA(owner, body.c_str(), box.caption.c_str(), style);
    if (answer > 0) return answer;
    // The box could not be shown: a question counts as answered No.
    return (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  }

  void release_input_block() override { BlockInput(FALSE); }

  bool file_exists(std::string_view path) override {
    DWORD attributes = GetFileAttributesA(zstring(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool remove_file(std::string_view path) override { return DeleteFileA(zstring(path).c_str()) != 0; }

  bool read_file(std::string_view path, std::string &contents) override {
    HANDLE file = CreateFileA(zstring(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string data;
    char chunk[8192];
    bool ok = true;
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
        ok = false;
        break;
      }
      if (got == 0) break;
      data.append(chunk, got);
    }
    CloseHandle(file);
    if (ok) contents = std::move(data);
    return ok;
  }

  bool create_directories(std::string_view path) override {
    std::string p = zstring(path);
    while (p.size() > 1 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    if (p.empty()) return false;
    if (is_directory(p)) return true;
    // Each folder along the path, from the first one below the root.
    std::size_t start = p.size() >= 2 && p[1] == ':' ? 3 : 0;
    if (p.rfind("\\\\", 0) == 0) {  // \\server\share: the share is the root
      start = p.find_first_of("\\/", 2);
      start = start == std::string::npos ? p.size() : p.find_first_of("\\/", start + 1);
      if (start == std::string::npos) start = p.size();
    }
    for (std::size_t i = start; i <= p.size(); ++i) {
      if (i < p.size() && p[i] != '\\' && p[i] != '/') continue;
      std::string folder = p.substr(0, i);
      if (folder.empty() || is_directory(folder)) continue;
      if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return is_directory(p);
  }

  int64_t file_size(std::string_view path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(zstring(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
  }

  std::string setting(std::string_view name) override {
    std::string value = Platform::setting(name);
    if (value.empty()) value = registry_variable(HKEY_CURRENT_USER, "Environment", name);
    if (value.empty())
      value = registry_variable(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                                name);
    return value;
  }

  void sleep_ms(uint32_t ms) override { Sleep(ms); }

  uint64_t ticks_ms() override { return GetTickCount64(); }

 private:
  Regional regional_;
};

}  // namespace

Platform &real() {
  static WindowsPlatform platform;
  return platform;
}

}  // namespace kalpo::platform
