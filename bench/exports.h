// Every export, called with ordinary arguments for a given model identifier.
#pragma once

#include <span>

namespace kalpo::bench {

struct ExportCall {
  const char *name;
  bool takes_model;  // false: called once, under the model "-"
  void (*call)(const char *model);
};

std::span<const ExportCall> exports();
std::span<const char *const> models();

}  // namespace kalpo::bench
