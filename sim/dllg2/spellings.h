// The spellings of tax rates and payment forms the driver accepts in the
// parameters "CodAliquota", "CodMeioPagamento" and "NomeMeioPagamento".
#pragma once

#include <string_view>

#include "core/printer.h"

namespace dllg2 {

template <class T>
struct Lookup {
  const T *found = nullptr;
  int error = 0;  // the error code when not found
};

// "01".."16" or "1".."16" or "T01": a taxed rate by index; "FF"/"F"/"F1"
// substitution, "II"/"I"/"I1" exempt, "NN"/"N"/"N1" non-incidence.
Lookup<ksim::Rate> find_rate(const ksim::Session &session, std::string_view code);

// By code: an index ("1", "01") or a programmed name; by name when no code
// is given.  Both given and naming different forms is refused.
Lookup<ksim::PaymentForm> find_form(const ksim::Session &session, std::string_view code, std::string_view name);

}  // namespace dllg2
