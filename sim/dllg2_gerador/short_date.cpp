#include "dllg2_gerador/short_date.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <langinfo.h>
#include <locale.h>
#endif

namespace gerador {
namespace {

constexpr const char *fallback = "d/m/yyyy";

#if defined(_WIN32)

// "dd/MM/yyyy", "M/d/yyyy": runs of d, M and y; quoted text is literal.
std::string from_windows(const std::string &format) {
  std::string pattern;
  for (std::size_t i = 0; i < format.size();) {
    const char c = format[i];
    const std::size_t end = format.find_first_not_of(c, i);
    const std::size_t run = (end == std::string::npos ? format.size() : end) - i;
    if (c == '\'') {
      const std::size_t end = format.find('\'', i + 1);
      pattern += format.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      i = end == std::string::npos ? format.size() : end + 1;
      continue;
    }
    if (c == 'd')
      pattern += run <= 2 ? "d" : "";
    else if (c == 'M')
      pattern += run <= 2 ? "m" : "";
    else if (c == 'y')
      pattern += run >= 4 ? "yyyy" : "yy";
    else
      pattern.append(run, c);
    i += run;
  }
  return pattern;
}

std::string workstation_format() {
  char format[80] = "";
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, sizeof format) <= 0) return {};
  return from_windows(format);
}

#else

// "%d/%m/%Y", "%m/%d/%y", "%D", "%F".
std::string from_posix(const std::string &format) {
  std::string pattern;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      pattern += format[i];
      continue;
    }
    switch (format[++i]) {
      case 'd':
      case 'e': pattern += 'd'; break;
      case 'm': pattern += 'm'; break;
      case 'y': pattern += "yy"; break;
      case 'Y': pattern += "yyyy"; break;
      case 'D': pattern += "m/d/yy"; break;
      case 'F': pattern += "yyyy-m-d"; break;
      default: return {};
    }
  }
  return pattern;
}

std::string workstation_format() {
  const char *name = nullptr;
  for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"})
    if (const char *value = std::getenv(variable); value && *value) {
      name = value;
      break;
    }
  locale_t locale = newlocale(LC_TIME_MASK, name ? name : "C", static_cast<locale_t>(0));
  if (!locale) return {};
  const std::string format = nl_langinfo_l(D_FMT, locale);
  freelocale(locale);
  return from_posix(format);
}

#endif

}  // namespace

std::string short_date_pattern() {
  const std::string pattern = workstation_format();
  return pattern.empty() ? fallback : pattern;
}

}  // namespace gerador
