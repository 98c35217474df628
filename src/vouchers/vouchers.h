// The linked vouchers' and management reports' operations, one entry
// function each.  Texts arrive as Windows-1252 std::string (a null pointer as
// an empty text).
#pragma once

#include <cstdint>
#include <string>

#include "frame/args.h"
#include "frame/model.h"

namespace kalpo::vouchers {

// The operations speak the frame's vocabulary: models, argument kinds,
// operator messages, configuration and amounts.
using namespace frame;

bool cupom_vinculado(Model model, const std::string &forma, const std::string &numero_cupom, double valor);
bool usa_vinculado(Model model, const std::string &texto);
bool usa_vinculado_termica(Model model, const TextControl &texto);
bool fecha_cupom_nao_vinculado(Model model);
bool abre_rel_gerencial(Model model, const std::string &texto, const std::string &codigo);
bool fecha_gerencial(Model model);

}  // namespace kalpo::vouchers
