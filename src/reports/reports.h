// The day reports' and fiscal memory's operations, one entry function each.
// Texts arrive as Windows-1252 std::string (a null pointer as an empty text).
#pragma once

#include <cstdint>
#include <string>

#include "frame/args.h"
#include "frame/model.h"

namespace kalpo::reports {

// The operations speak the frame's vocabulary: models, argument kinds,
// operator messages, configuration and amounts.
using namespace frame;

bool leitura_x(Model model, VarInt contagem);
bool reducao_z(Model model, VarInt contagem);
bool abre_dia(Model model);
bool horario_verao(Model model, const std::string &acao);
void le_data(Model model, OutText data);
bool leitura_mem_fiscal(Model model, const std::string &inicio, const std::string &fim, const std::string &tipo);
bool gera_cotepe(Model model, double dia);
bool impressao_bobina(Model model);

}  // namespace kalpo::reports
