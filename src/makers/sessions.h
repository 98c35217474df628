// Each maker family's session helpers: how its printer is opened, how a call
// is judged (<family>_judge: the call's return handed to the family's
// analysis) and closed, and its paper handling under "DESATIVAFACA".  Each
// family's helpers live in makers/<family>_session.cpp beside its analysis.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <array>
#include <cstddef>
#include <tuple>

#include "frame/answer_buffer.h"
#include "frame/args.h"
#include "frame/model.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"

namespace kalpo::makers {

// ---- BEMATECHMP20, BEMATECHMFD (bemafi32) and SWEDA7000 (convecf) ----

// One answer of a query: the width of its blank buffer, and where its text
// goes.
struct QueryAnswer {
  std::size_t width;
  OutText out;
};

// Calls a query with one blank buffer per answer, judges its return with the
// Bematech analysis and hands every answer back whatever the judgment.
template <typename Call, typename... Answers>
bool bematech_query(Model model, Call call, Answers... answers) {
  std::array<AnswerBuffer, sizeof...(Answers)> buffers{AnswerBuffer(answers.width)...};
  int32_t ret = std::apply([&](auto &...buffer) { return call(buffer.data()...); }, buffers);
  bool ok = analisa_iretorno(model, ret);
  std::size_t i = 0;
  (answers.out.set(buffers[i++].text()), ...);
  return ok;
}

// ---- EPSON (interfaceepson) ----

// The port number in a "PORTACOM" value: the run of digits after "COM"
// (COM1 gives 1, COM10 gives 10, COM2:19200,e,8,1 gives 2); none without one.
std::optional<int32_t> epson_port_number(std::string_view portacom);

// Opens the port at 38400 and checks the state.  False when the port setting
// is unusable (a notice names it) or the state check refuses the opening (the
// port is then not closed).
bool epson_open();
void epson_close();
// Stores a call's return in iRetornoEpson and checks the state after it.
bool epson_judge(const char *function_name, int32_t ret);

// Open, one call, judgment, close: the usual shape of an EPSON branch.
template <typename Call>
bool epson_session(const char *function_name, Call &&call) {
  if (!epson_open()) return false;
  bool ok = epson_judge(function_name, std::forward<Call>(call)());
  epson_close();
  return ok;
}

// ---- SIGTRONFS345 (fs345_32) ----

// Reads "PORTACOM" (whole text, default "COM1:9600,n,8,1"), opens that port
// with DAR_AbreSerial and returns the text; the port is never closed by the
// library.
std::string sigtron_open_configured_port();
// Opens the port named by a "PORTACOM" text already read.
void sigtron_open_port(const std::string &port);

struct SigtronAnswer {
  bool no_error = false;  // the analysis found no error
  int32_t count = 0;      // the answer's length
  std::string text;       // the answer, up to its first NUL, at most 100 characters
  // No error, and the printer answered something.
  bool executed() const { return no_error && count != 0; }
};
// Hands a call's return to the Sigtron analysis with a 100-byte buffer of its
// own and the size 99; count, when given, is the caller's answer count.
SigtronAnswer sigtron_judge(int32_t ret, int32_t *count = nullptr);
// As sigtron_judge, then the dialog "Comando não executado!" unless the
// answer shows the command executed.
SigtronAnswer sigtron_judge_executed(int32_t ret, int32_t *count = nullptr);

// ---- DARUMA32 (daruma32) ----

// Stores an operation call's return in iRetornoDaruma and judges the
// printer's extended error after it.
bool daruma_judge(int32_t ret);

// ---- DIGIARTE1E (ecf32m) ----

// OpenCif judged by the ecf32m analysis.
bool digiarte_open();
void digiarte_close();
// Fetches the return text the printer sent after a command; true when it
// holds "COMANDO OK", otherwise its minus code is explained to the operator.
bool digiarte_judge_answer();
bool digiarte_judge_answer(std::string &text);

// OpenCif, body, CloseCif; false without CloseCif when OpenCif is refused.
template <typename Body>
bool digiarte_session(Body &&body) {
  if (!digiarte_open()) return false;
  bool ok = std::forward<Body>(body)();
  digiarte_close();
  return ok;
}

// ---- Command driver (dllg2) ----

// The driver's port name in a "PORTACOM" value: "COM" with its whole run of
// digits (COM10 stays COM10, COM2:19200,... gives COM2); otherwise the first
// four characters.
std::string dllg2_port_name(std::string_view portacom);

// Clears sRetornoDllG2, starts the USB driver (a refusal told with "erro: ")
// and reads a text register on handle 0 into out.
bool usb_read_text_register(const char *register_name, OutText out);

// How a refused USB opening is told to the operator.
enum class UsbRefusal {
  ErrorText,   // the handle's command-driver error text
  ErroPrefix,  // "erro: " followed by the handle
};
// Starts the driver on the configured port and names the log file.  A
// negative handle is reported and gives false; commands then name handle 0.
bool usb_open(UsbRefusal refusal = UsbRefusal::ErrorText);

// What the serial opening reads and sets.
enum class SerialSetup {
  Full,       // port, speed, parity, time-out of 10
  NoTimeout,  // port, speed, parity
  PortOnly,   // port alone, no time-out
};
// Reads the serial settings that setup names (speed and parity into the
// module state) and returns the driver's port name; starts nothing.
std::string serial_settings(SerialSetup setup);
// Starts the serial driver instance into iHandleDllG2 (not tested), names
// the log file and returns the handle.
int32_t serial_open(SerialSetup setup);

// A whole serial session: opens the driver (with its time-out), sends one
// command judged the usual way, and ends the driver.
bool serial_command_and_end(const char *command, std::initializer_list<dllg2::Param> params = {});

// ---- Paper handling under "DESATIVAFACA" = "S" ----

// Bematech: 15 lines between documents, then the cut of the next document.
void bematech_paper_handling();
// ELGINFIT only: "CortaPapel;TipoCorte=1" on iHandleDllG2.
void elgin_paper_cut(Model model);

}  // namespace kalpo::makers
