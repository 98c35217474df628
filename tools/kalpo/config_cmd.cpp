// config: the file KALPO reads its settings from, c:\zantrello\configs\kalpo.ini
// (under the drive-C root outside Windows), section "ECF".
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "base/ini.h"
#include "commands.h"
#include "core/printer.h"
#include "exports.h"
#include "output.h"

namespace kt {
namespace {

using kalpo::base::cp1252::from_utf8;
using kalpo::base::cp1252::to_utf8;

constexpr const char *kFile = "c:\\zantrello\\configs\\kalpo.ini";

struct Key {
  const char *name;
  const char *fallback;
  const char *meaning;
};

const Key kKeys[] = {
    {"PORTACOM", "COM1", "printer port (SIGTRONFS345 falls back to \"COM1:9600,n,8,1\")"},
    {"VELOCIDADE", "115200", "baud rate of the DATAREGISSERIAL connection"},
    {"PARIDADE", "n", "parity of the DATAREGISSERIAL connection: n, e or o"},
    {"DESATIVAFACA", "N", "\"S\" switches the paper handling on"},
    {"MENSAGEM", "", "promotional message of the coupon closing"},
};

// A value as KALPO reads an integer key: blanks around it, an optional sign,
// decimal digits, 32 bits.
bool reads_as_integer(std::string_view value) {
  const std::size_t first = value.find_first_not_of(" \t");
  if (first == std::string_view::npos) return false;
  value = value.substr(first, value.find_last_not_of(" \t") - first + 1);
  if (value.starts_with('+')) value.remove_prefix(1);
  const bool negative = value.starts_with('-');
  if (negative) value.remove_prefix(1);
  if (value.empty() || value.size() > 10 || value.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  const long long magnitude = std::stoll(std::string(value));
  return magnitude <= (negative ? 2147483648LL : 2147483647LL);
}

// Refuses what KALPO cannot read; says how KALPO takes a value it reads in
// its own way (empty when as written).
std::string reading_of(const std::string &key, const std::string &value) {
  if (value.find_first_of("\r\n") != std::string::npos)
    throw UsageError("config set " + key + ": a value is one line, with no line break");
  if (key == "VELOCIDADE" && !reads_as_integer(value))
    throw UsageError("config set VELOCIDADE: '" + value +
                     "' is not a whole number of 32 bits; KALPO would read the default 115200 instead");
  std::string lowered = value;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
  if (key == "PARIDADE" && lowered != "n" && lowered != "e" && lowered != "o")
    return "KALPO takes any parity but n, e or o as e (even)";
  if (key == "DESATIVAFACA" && value != "S" && value != "N")
    return "the paper handling stays off: only S switches it on";
  return {};
}

std::string config_path() {
  const std::string path = ksim::windows_path(kFile);
  if (path.empty()) throw std::runtime_error("no drive C folder: set KALPO_DRIVE_C or HOME");
  return path;
}

}  // namespace

int cmd_config_show(const Global &g) {
  const std::string path = config_path();
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  const std::string text = contents.str();
  nlohmann::json out = {{"file", path}, {"keys", nlohmann::json::object()}};
  if (!g.json) std::cout << path << (in ? "" : " (absent: every key falls back to its default)") << "\n[ECF]\n";
  for (const Key &key : kKeys) {
    std::string read;
    const std::optional<std::string> value =
        kalpo::base::ini::lookup(text, "ECF", key.name, read) ? std::optional(read) : std::nullopt;
    const std::string shown = to_utf8(value.value_or(key.fallback));
    out["keys"][key.name] = {{"value", shown}, {"default", !value.has_value()}};
    if (!g.json)
      std::cout << key.name << '=' << shown << (value ? "" : "    (default)") << "    ; " << key.meaning << '\n';
  }
  if (g.json) print_json(out);
  return kExitDone;
}

int cmd_config_set(const Global &g, const std::string &key, const std::string &given) {
  const std::string value = as_utf8(given);
  std::string upper = key;
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  const bool known = std::any_of(std::begin(kKeys), std::end(kKeys), [&](const Key &k) { return upper == k.name; });
  if (!known)
    throw UsageError("config set: '" + key +
                     "' is not a key KALPO reads (PORTACOM, VELOCIDADE, "
                     "PARIDADE, DESATIVAFACA, MENSAGEM)");
  const std::string remark = reading_of(upper, value);
  const std::string path = config_path();
  std::string contents;
  if (std::ifstream in(path, std::ios::binary); in) {
    std::stringstream s;
    s << in.rdbuf();
    contents = s.str();
  }
  const std::optional<std::string> written = kalpo::base::ini::set(contents, "ECF", upper, from_utf8(value));
  if (!written) throw UsageError("config set: a value is one line: KALPO reads no line break in it");
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << *written;
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
  if (g.json)
    print_json({{"file", path}, {"key", upper}, {"value", value}, {"remark", remark}});
  else
    std::cout << upper << '=' << value << " written to " << path << (remark.empty() ? "" : "; " + remark) << '\n';
  return kExitDone;
}

}  // namespace kt
