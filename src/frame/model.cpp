#include "frame/model.h"

#include <array>
#include <utility>

namespace kalpo::frame {
namespace {
constexpr std::array<std::pair<std::string_view, Model>, 12> kModels{{
    {"ECFZANTRELLO", Model::EcfZantrello},
    {"NOTAFISCAL", Model::NotaFiscal},
    {"BEMATECHMP20", Model::BematechMP20},
    {"BEMATECHMFD", Model::BematechMFD},
    {"SWEDA7000", Model::Sweda7000},
    {"SIGTRONFS345", Model::SigtronFS345},
    {"DARUMA32", Model::Daruma32},
    {"DIGIARTE1E", Model::Digiarte1E},
    {"ELGINFIT", Model::ElginFit},
    {"DATAREGISQUICK", Model::DataregisQuick},
    {"DATAREGISSERIAL", Model::DataregisSerial},
    {"EPSON", Model::Epson},
}};
}  // namespace

Model parse_model(std::string_view identifier) {
  for (const auto &[name, model] : kModels) {
    if (name == identifier) return model;
  }
  return Model::Unknown;
}

}  // namespace kalpo::frame
