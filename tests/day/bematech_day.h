// The whole fiscal day on the printers that answer in the Bematech
// conventions (BEMATECHMP20, BEMATECHMFD through BEMAFI32; SWEDA7000 through
// CONVECF), through the real exports of libkalpo.  Every figure expected
// below is worked out by hand from the day's sales:
//
//   sale 1  2 x 10,00 (01) + 1,5 x 2,99 = 4,49 (02, cancelled)  pays 20,00 Dinheiro
//   sale 2  3 x 5,00 (FF), discount 1,50                       pays 13,50 Dinheiro
//   sale 3  1 x 8,00 (03), cancelled after its close           pays 10,00 Dinheiro
//   sale 4  1 x 30,00 (II) + 0,5 x 7,00 = 3,50 (03)            pays 20,00 Cartao + 20,00 Dinheiro, change 6,50
//
//   grand total 20,00 + 4,49 + 15,00 + 8,00 + 30,00 + 3,50 = 80,99
//   cancellations 4,49 + 8,00 = 12,49; discounts 1,50
#pragma once

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace kalpo::day {

// Windows-1252 texts of the operator's messages.
inline const std::string kNotExecuted = "Comando n\xE3o executado!\r\nFavor verificar a ECF!";
inline const std::string kAttention = "Aten\xE7\xE3o";

inline Message dialog(std::string text) { return {KALPO_MSG_DIALOG, std::move(text), "", 0x40}; }
inline Message box(std::string text, std::string caption, std::uint32_t flags) {
  return {KALPO_MSG_BOX, std::move(text), std::move(caption), flags};
}
inline Message notice(std::string text) { return {KALPO_MSG_NOTICE, std::move(text), "", 0}; }

inline bool operator==(const Message &a, const Message &b) {
  return a.form == b.form && a.text == b.text && a.caption == b.caption && a.flags == b.flags;
}
inline void PrintTo(const Message &m, std::ostream *out) {
  *out << "{" << m.form << ", \"" << m.text << "\", \"" << m.caption << "\", " << m.flags << "}";
}

// A fault injected once before the closing of sale 2, and the messages the
// refused closing shows.
struct FaultRun {
  const char *name, *value;
  std::vector<Message> shown;
};

inline void PrintTo(const FaultRun &fault, std::ostream *out) { *out << fault.name << " " << fault.value; }

// A test name for a fault run: "refuse_status_0_5".
inline std::string fault_name(const FaultRun &fault) {
  std::string name = std::string(fault.name) + (*fault.value ? "_" : "") + fault.value;
  for (char &c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
}

inline std::vector<FaultRun> fault_runs() {
  Message generic = dialog(kNotExecuted);
  return {
      {"paper_end", "", {box("Fim do Papel!", kAttention, 0x40), generic}},
      {"off", "", {generic, box("Impressora Desligada ou Desconectada", kAttention, 0x40)}},
      {"refuse", "-3", {generic, box("Al\xEDquota n\xE3o programada !", kAttention, 0x40)}},
      {"refuse", "status:0,5", {box("Cancelamento n\xE3o permitido!", kAttention, 0x40), generic}},
      {"slow", "2500", {generic, box("Erro de Comunica\xE7\xE3o !", "Erro", 0x10)}},
      {"unreadable", "", {generic, box("Erro de Comunica\xE7\xE3o !", "Erro", 0x10)}},
      {"driver_start", "", {generic, box("Erro ao Abrir a Porta de Comunica\xE7\xE3o", "Erro", 0x10)}},
  };
}

// One model's day.  `before_close_of_sale_2` runs just before the closing of
// sale 2 (where the fault runs inject their fault and check its refusal).
class BematechDay : public DayTest {
 protected:
  void run_day(const std::string &model, const std::function<void()> &before_close_of_sale_2 = {});
  // The day with the fault: the closing of sale 2 is refused with the
  // fault's messages and changes nothing; tried again, it goes through.
  void run_day_with(const std::string &model, const FaultRun &fault);

  bool bematech() const { return model_ != "SWEDA7000"; }
  std::string lib() const { return library_of(model_); }
  std::string open_coupon();
  void sell(const char *code, const char *description, const char *rate, double quantity, double price);
  void pay(const char *form, double amount);
  void close();
  void sale_1(), sale_2(const std::function<void()> &before_close), sale_3_cancelled(), sale_4();
  void voucher(), report(), queries(), reduction();
  void check_tape();
  void check_counters(std::uint32_t coo, ksim::Cents grand_total);

  std::string model_;
  std::vector<Message> expected_messages_;
};

}  // namespace kalpo::day
