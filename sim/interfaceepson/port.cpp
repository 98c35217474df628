// The serial connection and the printer's state text.
#include <cstdio>
#include <cstring>

#include "interfaceepson/epson.h"

using epson::Link;
using ksim::Session;

namespace {

constexpr std::int32_t printer_speed = 38400;

// Printer status word: the paper ran out in the last command (bit 3); paper
// near its end (bit 0, a warning that stops nothing).
int printer_word(const Link &link, const ksim::Faults &faults) {
  return (link.paper_end ? 0x0008 : 0) | (faults.paper_near_end ? 0x0001 : 0);
}

// Fiscal status word: fiscal mode (bits 15 and 14); the fiscal day open
// (bit 7), open since an earlier date and waiting for its reduction (bit 8),
// or not open (bit 9); the document in progress (bits 1-0: 1 coupon,
// 2 voucher, 3 report).
int fiscal_word(const Session &session) {
  const ksim::State &state = session.state();
  int day = state.day.empty() ? 0x0200 : state.day == ksim::date_text(session.now()) ? 0x0080 : 0x0100;
  int document = state.open == ksim::Document::coupon    ? 1
                 : state.open == ksim::Document::voucher ? 2
                 : state.open == ksim::Document::report  ? 3
                                                         : 0;
  return 0xC000 | day | document;
}

void state_text(char *buffer, Link &link) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d%04X%04X%04X%04X", link.field_error % 100, link.field % 100,
                link.port_code & 0xFFFF, link.printer_word & 0xFFFF, link.fiscal_word & 0xFFFF, link.command & 0xFFFF);
  if (link.unreadable) std::memset(text, 'X', 20);
  std::memcpy(buffer, text, 20);
  buffer[20] = '\0';
  link.unreadable = false;
}

// The state as the printer gives it now.
std::int32_t read_state(char *buffer, Link &link) {
  Session session = epson::printer().begin("EPSON_Obter_Estado_Impressora", ksim::Call::query);
  epson::apply_faults(session.faults());
  if (session.silent()) return 0x0001;
  link.printer_word = printer_word(link, session.faults());
  link.fiscal_word = fiscal_word(session);
  state_text(buffer, link);
  return 0;
}

std::int32_t open_port(std::int32_t speed, std::int32_t number) {
  Link &link = epson::link();
  if (speed != printer_speed) return link.port_code = epson::port::bad_speed;
  if (number < 1 || number > 99) return link.port_code = epson::port::bad_number;
  if (link.open && link.port_number != number) return link.port_code = epson::port::already_open;
  Session session = epson::printer().begin("EPSON_Serial_Abrir_Porta", ksim::Call::start);
  epson::apply_faults(session.faults());
  if (session.faults().driver_start_refused) return link.port_code = epson::port::in_use;
  link.open = true;
  link.port_number = number;
  link.port_code = epson::port::ok;
  link.command = epson::code::ok;
  link.field_error = link.field = 0;
  link.paper_end = false;
  if (session.silent()) return 0x0001;
  return 0;
}

}  // namespace

extern "C" {

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Serial_Abrir_Porta(std::int32_t velocidade, std::int32_t porta) {
  try {
    return open_port(velocidade, porta);
  } catch (...) {
    return 0x0001;
  }
}

KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Serial_Fechar_Porta() {
  try {
    Link &link = epson::link();
    if (!link.open) return epson::port::closed;
    link.open = false;
    return 0;
  } catch (...) {
    return 0x0001;
  }
}

// The state text: 20 characters and a terminating zero.  While the port is
// closed only the outcome of a failed opening can be told (with the status
// words last read).
KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EPSON_Obter_Estado_Impressora(char *estado) {
  try {
    Link &link = epson::link();
    if (!estado || (!link.open && link.port_code == epson::port::ok)) return epson::port::closed;
    if (link.open) return read_state(estado, link);
    state_text(estado, link);
    return 0;
  } catch (...) {
    return 0x0001;
  }
}

}  // extern "C"
