#include "models.h"

#include <algorithm>
#include <cctype>

#include "exports.h"

namespace kt {
namespace {

// The identifiers of the point-of-sale program working without a fiscal printer.
const char *const kWithoutPrinter[] = {"ECFZANTRELLO", "NOTAFISCAL"};

std::string joined(const std::vector<std::string> &names) {
  std::string out;
  for (const std::string &name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Edits (insert, delete, replace) from one text to the other, letter case aside.
std::size_t distance(const std::string &a, const std::string &b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (upper(a[i - 1]) == upper(b[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

const std::vector<Model> &models() {
  static const std::vector<Model> table = {
      {"BEMATECHMP20", "bemafi32"}, {"BEMATECHMFD", "bemafi32"}, {"SWEDA7000", "convecf"}, {"SIGTRONFS345", "fs345_32"},
      {"DARUMA32", "daruma32"},     {"DIGIARTE1E", "ecf32m"},    {"ELGINFIT", "dllg2"},    {"DATAREGISQUICK", "dllg2"},
      {"DATAREGISSERIAL", "dllg2"}, {"EPSON", "interfaceepson"},
  };
  return table;
}

const Model *find_model(const std::string &id) {
  for (const Model &m : models())
    if (m.id == id) return &m;
  return nullptr;
}

const std::vector<std::string> &printer_libraries() {
  static const std::vector<std::string> libraries = {"bemafi32", "convecf", "fs345_32",      "daruma32",
                                                     "ecf32m",   "dllg2",   "interfaceepson"};
  return libraries;
}

std::string model_list() {
  std::vector<std::string> ids;
  for (const Model &m : models()) ids.push_back(m.id);
  return joined(ids);
}

std::string library_for(const std::string &given) {
  if (const Model *m = find_model(given)) return m->library;
  for (const std::string &library : printer_libraries())
    if (library == given) return library;
  throw UsageError("--model: '" + given + "' is neither a printer model (" + model_list() + ") nor a maker library (" +
                   joined(printer_libraries()) + ")");
}

std::optional<std::string> closest_model(const std::string &given) {
  std::vector<std::string> known;
  for (const Model &m : models()) known.push_back(m.id);
  known.insert(known.end(), std::begin(kWithoutPrinter), std::end(kWithoutPrinter));
  if (std::find(known.begin(), known.end(), given) != known.end()) return std::nullopt;
  return *std::min_element(known.begin(), known.end(), [&](const std::string &a, const std::string &b) {
    return distance(given, a) < distance(given, b);
  });
}

}  // namespace kt
