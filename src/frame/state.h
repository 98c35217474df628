// The module state: the only values that live between calls.  Values marked
// "written only" are written and never read; they are kept because they
// belong to the module state the library is known to keep.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "kalpo.h"

namespace kalpo::frame {

struct DarumaStatus {
  int32_t ack = 0, st1 = 0, st2 = 0;  // written only
  std::string extended_error;         // the extended error text as the library wrote it
  int32_t status_return = 0;          // return of Daruma_FI_RetornoImpressora; written only
  int32_t error_return = 0;           // return of Daruma_FI_RetornaErroExtendido; written only
};

struct ModuleState {
  std::string sRetornoDllG2;   // last value read back from the command driver
  int32_t iHandleDllG2 = 0;    // handle of the serial command-driver instance
  int32_t iVelocidade = 0;     // baud rate of the serial connection; written only
  char cParidade = 0;          // parity letter of the serial connection; written only
  int32_t iRetornoEpson = 0;   // return of the last Epson call
  int32_t iRetornoDaruma = 0;  // return of the last Daruma operation call; written only
  DarumaStatus daruma;

  KALPO_TratadorMensagem handler = nullptr;
  void *handler_context = nullptr;

  // Texts handed out through out arguments: those of the current call and of
  // the call before it, so that a text handed out by one call may be passed
  // back into the next.
  std::deque<std::string> out_texts, previous_out_texts;
};

ModuleState &state();

// Back to the state at load (tests, and the start of a replayed session).
void reset_state();

// Marks the start of a call from the host program.
void begin_export_call();

}  // namespace kalpo::frame
