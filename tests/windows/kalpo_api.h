// kalpo.dll's exports bound by name with GetProcAddress, as a point-of-sale
// program binds them; kalpo.h gives the types only.
#pragma once

#include <windows.h>

#include <vector>

#include "kalpo.h"

namespace kalpo::windows_check {

// clang-format off
#define KALPO_EACH_EXPORT(X)                                                                                     \
  X(KALPO_HorarioVerao, 1) X(KALPO_FechaDriver, 2) X(KALPO_IniciaDriver, 3) X(KALPO_GravaRegistro, 4)            \
  X(KALPO_AbreGaveta, 5) X(KALPO_Versao_Number, 6) X(KALPO_Abredia, 7) X(KALPO_Cupom_Aberto, 8)                  \
  X(KALPO_FechaGerencial, 9) X(KALPO_VerificaEstadoECF, 10) X(KALPO_TotalizadorParcial, 11)                      \
  X(KALPO_ResumoAliq, 12) X(KALPO_NumReducao, 13) X(KALPO_NumeroCupom, 14) X(KALPO_DataHoraEcf, 15)              \
  X(KALPO_RetornaGT, 16) X(KALPO_RetListaECFS, 17) X(KALPO_FirmWare, 18) X(KALPO_Versao, 19)                     \
  X(KALPO_LeituraMemFiscal, 20) X(KALPO_Analisa_iRetorno, 21) X(KALPO_AbreRelGerencial, 22)                      \
  X(KALPO_retorna_impressora, 23) X(KALPO_MostraNumSerie, 24) X(KALPO_Analisa_RetSigtronFS345, 25)               \
  X(KALPO_FechaCupomNaovinculado, 26) X(KALPO_usavinculadotermica, 27) X(KALPO_usavinculado, 28)                 \
  X(KALPO_cupom_vinculado, 29) X(KALPO_fecha_cupom, 30) X(KALPO_forma_pagamento, 31)                             \
  X(KALPO_Inicia_Fechamento, 32) X(KALPO_Cancela_Ultimo_Cupom, 33) X(KALPO_Cancela_Item, 34)                     \
  X(KALPO_VendaItem, 35) X(KALPO_AbreCupom, 36) X(KALPO_Reducaoz, 37) X(KALPO_LeData, 38)                        \
  X(KALPO_ImpressaoBobina, 39) X(KALPO_Leiturax, 40) X(KALPO_GeraCotepe, 41) X(KALPO_desc_fechamento, 42)        \
  X(KALPO_DefineTratadorMensagens, 44)
// clang-format on

// Every export, bound by name.
struct Api {
#define KALPO_SLOT(name, ordinal) decltype(&::name) name = nullptr;
  KALPO_EACH_EXPORT(KALPO_SLOT)
#undef KALPO_SLOT
};

template <typename F>
F procedure(HMODULE module, LPCSTR name) {
  return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// Binds every export; the names that did not resolve.
inline std::vector<const char *> bind_exports(HMODULE module, Api &api) {
  std::vector<const char *> missing;
#define KALPO_BIND(name, ordinal)                          \
  api.name = procedure<decltype(api.name)>(module, #name); \
  if (!api.name) missing.push_back(#name);
  KALPO_EACH_EXPORT(KALPO_BIND)
#undef KALPO_BIND
  return missing;
}

}  // namespace kalpo::windows_check
