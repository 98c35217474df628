// The ten printer models and the maker library whose virtual printer serves
// each; the model identifiers KALPO knows.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kt {

struct Model {
  std::string id;       // "BEMATECHMP20"
  std::string library;  // "bemafi32"
};

const std::vector<Model> &models();
const Model *find_model(const std::string &id);
// The maker libraries with a printer of their own.
const std::vector<std::string> &printer_libraries();
// A model identifier or library name as a library name; UsageError otherwise.
std::string library_for(const std::string &given);
// Every printer model, comma-separated.
std::string model_list();

// When `given` is not a model identifier KALPO knows (its twelve, exactly as
// written), the closest of them.
std::optional<std::string> closest_model(const std::string &given);
// The characters of a text closest_model compares, the first ones.
inline constexpr std::size_t kClosestCompared = 32;

}  // namespace kt
