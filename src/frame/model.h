// Model identifiers and the presets of the dispatch.
#pragma once

#include <string_view>

namespace kalpo::frame {

enum class Model {
  Unknown,
  EcfZantrello,
  NotaFiscal,
  BematechMP20,
  BematechMFD,
  Sweda7000,
  SigtronFS345,
  Daruma32,
  Digiarte1E,
  ElginFit,
  DataregisQuick,
  DataregisSerial,
  Epson,
};

// The model an identifier names: an exact, whole, case-sensitive match.
Model parse_model(std::string_view identifier);

// True for the two identifiers that work without a fiscal printer.
inline bool without_printer(Model m) { return m == Model::EcfZantrello || m == Model::NotaFiscal; }
inline bool is_bematech(Model m) { return m == Model::BematechMP20 || m == Model::BematechMFD; }

// The usual preset: true for ECFZANTRELLO and NOTAFISCAL, false otherwise.
inline bool usual_preset(Model m) { return without_printer(m); }

}  // namespace kalpo::frame
