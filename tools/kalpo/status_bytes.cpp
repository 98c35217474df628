#include "status_bytes.h"

#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "makers/status_bits.h"

namespace kt {
namespace {

const char *const kStatusCalls[] = {"Bematech_FI_RetornoImpressora", "Bematech_FI_VerificaEstadoImpressora",
                                    "ECF_RetornoImpressoraMFD"};

// The value handed out through an out argument ({"out": 6}), or -1.
int out_value(const nlohmann::json &arg) {
  return arg.is_object() && arg.contains("out") && arg["out"].is_number_integer() ? arg["out"].get<int>() : -1;
}

}  // namespace

std::optional<std::string> status_meaning(const std::string &function, const nlohmann::json &args) {
  bool status_call = false;
  for (const char *name : kStatusCalls) status_call = status_call || function == name;
  if (!status_call || !args.is_array() || args.size() < 3) return std::nullopt;
  const int ack = out_value(args[0]), st1 = out_value(args[1]), st2 = out_value(args[2]);
  if (ack < 0 || st1 < 0 || st2 < 0) return std::nullopt;
  std::string out = ack == 6 ? "ACK" : ack == 21 ? "NAK: refused" : "no acknowledgement";
  // As the library tests them: what is left of ST2 afterwards fails the call.
  int32_t st1_left = st1, st2_left = st2;
  kalpo::makers::take_status_bits(st1_left, st2_left, [&](const kalpo::makers::StatusBit &bit) {
    out += std::string("; ") + (bit.byte == kalpo::makers::StatusByte::St1 ? "ST1 " : "ST2 ") +
           std::to_string(bit.value) + ": " +
           (bit.text.empty() ? std::string("no message") : kalpo::base::cp1252::to_utf8(bit.text));
  });
  if (st2_left != 0) out += "; ST2 " + std::to_string(st2_left) + ": not executed";
  return out;
}

}  // namespace kt
