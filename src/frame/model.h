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

// Every identifier KALPO knows, the model it names and the maker library
// whose functions drive it (empty for the two that work without a fiscal
// printer): the one table of the library and the kalpo tool.
struct ModelRow {
  std::string_view identifier;
  Model model;
  std::string_view library;
};
inline constexpr ModelRow kModelRows[] = {
    {"ECFZANTRELLO", Model::EcfZantrello, ""},
    {"NOTAFISCAL", Model::NotaFiscal, ""},
    {"BEMATECHMP20", Model::BematechMP20, "bemafi32"},
    {"BEMATECHMFD", Model::BematechMFD, "bemafi32"},
    {"SWEDA7000", Model::Sweda7000, "convecf"},
    {"SIGTRONFS345", Model::SigtronFS345, "fs345_32"},
    {"DARUMA32", Model::Daruma32, "daruma32"},
    {"DIGIARTE1E", Model::Digiarte1E, "ecf32m"},
    {"ELGINFIT", Model::ElginFit, "dllg2"},
    {"DATAREGISQUICK", Model::DataregisQuick, "dllg2"},
    {"DATAREGISSERIAL", Model::DataregisSerial, "dllg2"},
    {"EPSON", Model::Epson, "interfaceepson"},
};

// The model an identifier names: an exact, whole, case-sensitive match.
Model parse_model(std::string_view identifier);

// True for the two identifiers that work without a fiscal printer.
inline bool without_printer(Model m) { return m == Model::EcfZantrello || m == Model::NotaFiscal; }
inline bool is_bematech(Model m) { return m == Model::BematechMP20 || m == Model::BematechMFD; }

// The usual preset: true for ECFZANTRELLO and NOTAFISCAL, false otherwise.
// A switch over Model names every model, those taking this preset too, and
// has no default: a new model then stops the build (-Werror=switch) at every
// operation until it is given its branch.  The return after such a switch is
// for a value no enumerator names, which parse_model never gives.
inline bool usual_preset(Model m) { return without_printer(m); }

}  // namespace kalpo::frame
