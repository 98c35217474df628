// A new printer: the identity of printer.h, three taxed rates, the
// substitution, exempt and non-incidence codes, three payment forms.
#include "core/internal.h"

namespace ksim {

State default_state() {
  State state;
  state.rates = {{"T01", 1, 1800}, {"T02", 2, 1200}, {"T03", 3, 700}, {"FF", 0, 0}, {"II", 0, 0}, {"NN", 0, 0}};
  state.forms = {{1, "Dinheiro"}, {2, "Cartao"}, {3, "Ticket"}};
  return state;
}

const Rate *find_rate(const State &state, std::string_view code) {
  for (const Rate &rate : state.rates)
    if (rate.code == code) return &rate;
  return nullptr;
}

const PaymentForm *find_form(const State &state, int index) {
  for (const PaymentForm &form : state.forms)
    if (form.index == index) return &form;
  return nullptr;
}

void add_to(std::vector<std::pair<std::string, Cents>> &totals, const std::string &key, Cents amount) {
  for (auto &[name, total] : totals)
    if (name == key) {
      total += amount;
      return;
    }
  totals.emplace_back(key, amount);
}

void add_to(std::vector<std::pair<int, Cents>> &totals, int key, Cents amount) {
  for (auto &[index, total] : totals)
    if (index == key) {
      total += amount;
      return;
    }
  totals.emplace_back(key, amount);
}

}  // namespace ksim
