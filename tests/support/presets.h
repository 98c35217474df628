/* The presets of every export that answers a flag: its result for the two
 * identifiers without a printer (ECFZANTRELLO, NOTAFISCAL) and for an
 * identifier that no branch takes.  One table for the C++ tests, the C
 * interface check and the Windows check; each calls the exports with
 * arguments of its own and looks the expected results up here.
 *
 *   X(export, without printer, without branch) */
#ifndef KALPO_TEST_PRESETS_H
#define KALPO_TEST_PRESETS_H

/* clang-format off */
#define KALPO_PRESETS(X)                 \
  X(KALPO_AbreCupom, 1, 0)               \
  X(KALPO_VendaItem, 1, 0)               \
  X(KALPO_Inicia_Fechamento, 1, 0)       \
  X(KALPO_desc_fechamento, 0, 0)         \
  X(KALPO_forma_pagamento, 1, 0)         \
  X(KALPO_fecha_cupom, 1, 0)             \
  X(KALPO_Cancela_Item, 1, 0)            \
  X(KALPO_Cancela_Ultimo_Cupom, 1, 0)    \
  X(KALPO_cupom_vinculado, 1, 0)         \
  X(KALPO_usavinculado, 1, 0)            \
  X(KALPO_usavinculadotermica, 0, 0)     \
  X(KALPO_FechaCupomNaovinculado, 1, 0)  \
  X(KALPO_AbreRelGerencial, 1, 0)        \
  X(KALPO_FechaGerencial, 1, 0)          \
  X(KALPO_Leiturax, 1, 0)                \
  X(KALPO_Reducaoz, 1, 0)                \
  X(KALPO_Abredia, 1, 0)                 \
  X(KALPO_HorarioVerao, 0, 0)            \
  X(KALPO_LeituraMemFiscal, 1, 0)        \
  X(KALPO_GeraCotepe, 1, 0)              \
  X(KALPO_ImpressaoBobina, 1, 1)         \
  X(KALPO_MostraNumSerie, 0, 0)          \
  X(KALPO_FirmWare, 1, 0)                \
  X(KALPO_RetornaGT, 1, 0)               \
  X(KALPO_DataHoraEcf, 1, 0)             \
  X(KALPO_NumeroCupom, 1, 0)             \
  X(KALPO_NumReducao, 1, 0)              \
  X(KALPO_ResumoAliq, 1, 0)              \
  X(KALPO_TotalizadorParcial, 1, 0)      \
  X(KALPO_VerificaEstadoECF, 1, 0)       \
  X(KALPO_Cupom_Aberto, 0, 1)            \
  X(KALPO_AbreGaveta, 1, 1)              \
  X(KALPO_retorna_impressora, 1, 1)      \
  X(KALPO_Analisa_iRetorno, 1, 1)        \
  X(KALPO_IniciaDriver, 1, 1)            \
  X(KALPO_FechaDriver, 1, 1)             \
  X(KALPO_GravaRegistro, 1, 1)
/* clang-format on */

/* The table as data: name, result without a printer, result without a branch. */
struct KalpoPreset {
  const char *name;
  int without_printer;
  int without_branch;
};

#define KALPO_PRESET_ROW(name, printerless, other) {#name, printerless, other},
static const struct KalpoPreset kalpo_presets[] = {KALPO_PRESETS(KALPO_PRESET_ROW)};
#undef KALPO_PRESET_ROW

/* The row of an export, or a null pointer. */
static inline const struct KalpoPreset *kalpo_preset(const char *name) {
  unsigned i;
  for (i = 0; i < sizeof kalpo_presets / sizeof kalpo_presets[0]; ++i) {
    const char *a = kalpo_presets[i].name, *b = name;
    while (*a && *a == *b) ++a, ++b;
    if (*a == *b) return &kalpo_presets[i];
  }
  return 0;
}

#endif
