#include "frame/model.h"

namespace kalpo::frame {

Model parse_model(std::string_view identifier) {
  for (const ModelRow &row : kModelRows) {
    if (row.identifier == identifier) return row.model;
  }
  return Model::Unknown;
}

}  // namespace kalpo::frame
