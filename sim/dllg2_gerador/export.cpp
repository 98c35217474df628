// Gera_AtoCotepe1704: one day's fiscal file from the command driver's
// printer, read without changing it.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include <chrono>
#include <thread>

#include "common/ports.h"
#include "dllg2_gerador/day.h"
#include "dllg2_gerador/registers.h"

namespace gerador {
namespace {

// Answers of the generator.
constexpr int32_t written = 1, unknown_port = -1, unreadable_day = -2, no_answer = -3, not_writable = -4,
                  bad_model = -5;
constexpr std::size_t max_model = 20;

int32_t generate(const char *port, const char *model, const char *file, const char *day_text) {
  if (!port || !common::known_port(port)) return unknown_port;
  const auto day = read_day(day_text ? day_text : "");
  if (!day) return unreadable_day;
  const std::string_view model_text = model ? model : "";
  if (model_text.empty() || model_text.size() > max_model) return bad_model;
  // A full path on drive C, outside the printers' folders.
  const std::string target = ksim::caller_file(file ? file : "");
  if (target.empty()) return not_writable;
  // A query: the printer is read, never changed.
  const ksim::Session session = ksim::Printer::of("dllg2").begin("Gera_AtoCotepe1704", ksim::Call::query);
  if (session.silent() || session.faults().unreadable) return no_answer;
  std::this_thread::sleep_for(std::chrono::milliseconds(session.faults().slow_ms));
  const std::string text = day_file(session, model_text, *day);
  return ksim::write_caller_file(target, text) ? written : not_writable;
}

}  // namespace
}  // namespace gerador

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL Gera_AtoCotepe1704(const char *porta, const char *modelo,
                                                                          const char *arquivo, const char *dia) {
  try {
    return gerador::generate(porta, modelo, arquivo, dia);
  } catch (...) {
    return gerador::no_answer;
  }
}
