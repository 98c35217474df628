// The operations behind the exports, one entry function each.  Texts arrive
// as Windows-1252 std::string (a null pointer as an empty text).
#pragma once

#include <cstdint>
#include <string>

#include "frame/args.h"
#include "frame/model.h"

namespace kalpo::ops {

// Fiscal coupon
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

// Linked vouchers and management reports
bool cupom_vinculado(Model model, const std::string &forma, const std::string &numero_cupom, double valor);
bool usa_vinculado(Model model, const std::string &texto);
bool usa_vinculado_termica(Model model, const TextControl &texto);
bool fecha_cupom_nao_vinculado(Model model);
bool abre_rel_gerencial(Model model, const std::string &texto, const std::string &codigo);
bool fecha_gerencial(Model model);

// Day reports and fiscal memory
bool leitura_x(Model model, VarInt contagem);
bool reducao_z(Model model, VarInt contagem);
bool abre_dia(Model model);
bool horario_verao(Model model, const std::string &acao);
void le_data(Model model, OutText data);
bool leitura_mem_fiscal(Model model, const std::string &inicio, const std::string &fim, const std::string &tipo);
bool gera_cotepe(Model model, double dia);
bool impressao_bobina(Model model);

// Queries and device utilities
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

}  // namespace kalpo::ops
