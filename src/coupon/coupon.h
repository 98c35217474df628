// The fiscal coupon's operations, one entry function each.  Texts arrive as
// Windows-1252 std::string (a null pointer as an empty text).
#pragma once

#include <cstdint>
#include <string>

#include "frame/args.h"
#include "frame/model.h"

namespace kalpo::coupon {

// The operations speak the frame's vocabulary: models, argument kinds,
// operator messages, configuration and amounts.
using namespace frame;

bool abre_cupom(Model model, OutText numero, const std::string &nome, const std::string &endereco,
                const std::string &documento);
bool venda_item(Model model, const std::string &codigo, const std::string &descricao, const std::string &aliquota,
                const std::string &tipo_quantidade, double quantidade, int32_t casas_decimais, double valor_unitario,
                const std::string &tipo_desconto);
bool inicia_fechamento(Model model, double desconto);
bool desc_fechamento(Model model, double desconto);
bool forma_pagamento(Model model, const std::string &forma, double valor);
bool fecha_cupom(Model model, const TextControl &mensagem);
bool cancela_item(Model model, int32_t item);
bool cancela_ultimo_cupom(Model model, VarInt contagem, OutText numero, OutText estado);

}  // namespace kalpo::coupon
