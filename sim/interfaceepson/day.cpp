// The fiscal day: its opening, the X reading and the Z reduction.
#include <cstdio>
#include <cstring>

#include "interfaceepson/epson.h"

using epson::Reply;
using epson::text;
using ksim::Outcome;
using ksim::Session;

namespace {

// A date (error 2, command 020C) or time (3, 020D) that cannot be read.
Reply field_error(int error, int field) {
  Reply reply = Reply::refuse(error == 2 ? epson::code::date_field : epson::code::time_field);
  reply.field_error = error;
  reply.field = field;
  return reply;
}

// The reduction may set the printer's clock ("ddmmyyyy", "hhmmss"): both
// empty keep it.
std::optional<Reply> set_clock(Session &session, std::string_view date, std::string_view time) {
  if (date.empty() && time.empty()) return std::nullopt;
  auto day = common::date_time(date, "ddmmyyyy");
  auto hour = common::date_time(time, "hhnnss");
  if (!day) return field_error(2, 1);
  if (!hour) return field_error(3, 2);
  ksim::DateTime wanted{day->year, day->month, day->day, hour->hour, hour->minute, hour->second};
  Outcome set = session.set_clock_offset(session.state().clock_offset + ksim::from_civil(wanted) - session.now());
  return set == Outcome::ok ? std::nullopt : std::optional<Reply>(set);
}

// The answer of the reduction: its CRZ (4 digits) and COO (6 digits), as
// much as fits the caller's text (its length as prepared, 20 at most).
void answer(char *resposta, const ksim::State &state) {
  if (!resposta) return;
  char digits[32];
  std::snprintf(digits, sizeof digits, "%04u%06u", unsigned(state.crz % 10000), unsigned(state.coo % 1000000));
  std::size_t room = strnlen(resposta, 20), size = std::strlen(digits);
  std::memcpy(resposta, digits, size < room ? size : room);
}

Reply reduction(Session &session, const char *data, const char *hora, std::int32_t opcao, char *resposta) {
  if (opcao < 0 || opcao > 2) return Outcome::invalid_argument;
  if (auto refused = set_clock(session, text(data), text(hora))) return *refused;
  Outcome done = session.z_reduction();
  if (done == Outcome::ok) answer(resposta, session.state());
  return done;
}

Reply open_day(Session &session) {
  if (!session.state().day.empty() && session.state().open == ksim::Document::none &&
      session.state().day == ksim::date_text(session.now()))
    return Reply::refuse(epson::code::day_open);
  Outcome opened = session.open_day();
  return opened == Outcome::day_closed ? Reply::refuse(epson::code::day_opening_refused) : Reply(opened);
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_RelatorioFiscal_LeituraX() {
  return epson::command("EPSON_RelatorioFiscal_LeituraX", [](Session &s) -> Reply { return s.x_reading(); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_RelatorioFiscal_RZ(const char *data, const char *hora,
                                                                          std::int32_t opcao, char *resposta) {
  return epson::command("EPSON_RelatorioFiscal_RZ",
                        [&](Session &s) { return reduction(s, data, hora, opcao, resposta); });
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_RelatorioFiscal_Abrir_Dia() {
  return epson::command("EPSON_RelatorioFiscal_Abrir_Dia", [](Session &s) { return open_day(s); });
}

}  // extern "C"
