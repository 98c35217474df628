// The queries and device utilities, one entry function each.  Texts arrive
// as Windows-1252 std::string (a null pointer as an empty text).
#pragma once

#include <cstdint>
#include <string>

#include "frame/args.h"
#include "frame/model.h"

namespace kalpo::queries {

// The operations speak the frame's vocabulary: models, argument kinds,
// operator messages, configuration and amounts.
using namespace frame;

bool mostra_num_serie(Model model, OutText numero);
bool firmware(Model model, OutText versao);
bool retorna_gt(Model model, OutText total);
bool data_hora_ecf(Model model, OutText data, OutText hora);
bool numero_cupom(Model model, OutText numero);
bool num_reducao(Model model, OutText contador);
bool resumo_aliq(Model model);
bool totalizador_parcial(Model model, OutText totais);
bool verifica_estado_ecf(Model model, VarInt ack, VarInt st1, VarInt st2);
bool cupom_aberto(Model model);
bool abre_gaveta(Model model);

}  // namespace kalpo::queries
