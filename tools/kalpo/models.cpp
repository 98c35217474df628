#include "models.h"

#include <algorithm>
#include <cctype>

#include "exports.h"
#include "frame/model.h"

namespace kt {
namespace {

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

// The models with a printer, from the library's own table.
const std::vector<Model> &models() {
  static const std::vector<Model> table = [] {
    std::vector<Model> out;
    for (const kalpo::frame::ModelRow &row : kalpo::frame::kModelRows)
      if (!row.library.empty()) out.push_back({std::string(row.identifier), std::string(row.library)});
    return out;
  }();
  return table;
}

const Model *find_model(const std::string &id) {
  for (const Model &m : models())
    if (m.id == id) return &m;
  return nullptr;
}

const std::vector<std::string> &printer_libraries() {
  static const std::vector<std::string> libraries = [] {
    std::vector<std::string> out;
    for (const Model &m : models())
      if (std::find(out.begin(), out.end(), m.library) == out.end()) out.push_back(m.library);
    return out;
  }();
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
  // Only the first characters are compared: past them no identifier is any
  // nearer, and the work stays linear in what is compared.
  if (given.size() > kClosestCompared) return closest_model(given.substr(0, kClosestCompared));
  std::vector<std::string> known;
  for (const Model &m : models()) known.push_back(m.id);
  for (const kalpo::frame::ModelRow &row : kalpo::frame::kModelRows)
    if (row.library.empty()) known.emplace_back(row.identifier);
  if (std::find(known.begin(), known.end(), given) != known.end()) return std::nullopt;
  return *std::min_element(known.begin(), known.end(), [&](const std::string &a, const std::string &b) {
    return distance(given, a) < distance(given, b);
  });
}

}  // namespace kt
