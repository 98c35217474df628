/* A point-of-sale program written in C against kalpo.h alone, linked with
 * libkalpo and the virtual printer's maker libraries: the presets and the frame
 * results of every export. */
#include <stdio.h>
#include <string.h>

#include "kalpo.h"
#include "support/presets.h"

static int failures = 0;
static int checks = 0;
static int messages = 0;
static int32_t answer = KALPO_BTN_YES;

#define CHECK(cond)                                                      \
  do {                                                                   \
    ++checks;                                                            \
    if (!(cond)) {                                                       \
      ++failures;                                                        \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond); \
    }                                                                    \
  } while (0)

static int32_t KALPO_CALL count_messages(void *context, int32_t form, const char *text, const char *caption,
                                         uint32_t flags) {
  (void)context;
  (void)form;
  (void)text;
  (void)caption;
  (void)flags;
  ++messages;
  return answer;
}

static const char *KALPO_CALL control_text(void *context) {
  (void)context;
  return "linha 1\r\nlinha 2";
}
static void KALPO_CALL control_set(void *context, const char *text) {
  (void)context;
  (void)text;
}

/* One export's result against its preset in the shared table. */
static void expect_preset(const char *name, const char *model, int printerless, int got) {
  const struct KalpoPreset *preset = kalpo_preset(name);
  int expected = preset ? (printerless ? preset->without_printer : preset->without_branch) : -1;
  ++checks;
  if (got != expected) {
    ++failures;
    fprintf(stderr, "%s with %s: %d, preset %d\n", name, model ? model : "NULL", got, expected);
  }
}

/* Every operation export with one identifier, against its preset. */
#define PRESET(export, args) expect_preset(#export, model, printerless, export args)
static void run_all(const char *model, int printerless) {
  KALPO_TextControl control = {NULL, control_text, control_set};
  const char *out1 = "x", *out2 = "x", *out3 = "x";
  int32_t count = -1, a = -1, b = -1, c = -1;
  PRESET(KALPO_AbreCupom, (model, &out1, "nome", "endereco", "123"));
  PRESET(KALPO_VendaItem, (model, "1", "ITEM", "01", "I", 1.5, 2, 2.99, "", 0.0));
  PRESET(KALPO_Inicia_Fechamento, (model, 0.5));
  PRESET(KALPO_desc_fechamento, (model, 0.5));
  PRESET(KALPO_forma_pagamento, (model, "Dinheiro", 10.0));
  PRESET(KALPO_fecha_cupom, (model, &control));
  PRESET(KALPO_Cancela_Item, (model, 1));
  PRESET(KALPO_Cancela_Ultimo_Cupom, (model, NULL, NULL, &count, &out2, &out3));
  PRESET(KALPO_cupom_vinculado, (model, "Cartao", "000123", 10.0));
  PRESET(KALPO_usavinculado, (model, "texto"));
  PRESET(KALPO_usavinculadotermica, (model, &control));
  PRESET(KALPO_FechaCupomNaovinculado, (model));
  PRESET(KALPO_AbreRelGerencial, (model, "texto", "01"));
  PRESET(KALPO_FechaGerencial, (model));
  PRESET(KALPO_Leiturax, (model, NULL, NULL, &count));
  PRESET(KALPO_Reducaoz, (model, NULL, NULL, NULL, &count));
  PRESET(KALPO_Abredia, (model));
  PRESET(KALPO_HorarioVerao, (model, "ENTRAR"));
  PRESET(KALPO_LeituraMemFiscal, (model, "01/12/2026", "07/12/2026", "D"));
  PRESET(KALPO_GeraCotepe, (model, 46363.0));
  PRESET(KALPO_ImpressaoBobina, (model));
  PRESET(KALPO_MostraNumSerie, (model, &out1));
  PRESET(KALPO_FirmWare, (model, &out1));
  PRESET(KALPO_RetornaGT, (model, &out1));
  PRESET(KALPO_DataHoraEcf, (model, &out1, &out2));
  PRESET(KALPO_NumeroCupom, (model, &out1));
  PRESET(KALPO_NumReducao, (model, &out1));
  PRESET(KALPO_ResumoAliq, (model));
  PRESET(KALPO_TotalizadorParcial, (model, &out1));
  PRESET(KALPO_VerificaEstadoECF, (model, &a, &b, &c));
  PRESET(KALPO_Cupom_Aberto, (model));
  PRESET(KALPO_AbreGaveta, (model));
  KALPO_LeData(model, &out1);
  CHECK(out1 != NULL && strlen(out1) >= 6);
  CHECK(strcmp(out2, "0") == 0 || strcmp(out2, "x") != 0);
  CHECK(count == -1);
}

int main(void) {
  const char *text = NULL;

  KALPO_DefineTratadorMensagens(count_messages, NULL);

  CHECK(KALPO_Versao(&text) == 0 && strcmp(text, "KALPO_DLL Vers\xE3o 3.60") == 0);
  CHECK(KALPO_Versao_Number(&text) == 0 && strcmp(text, "3.60") == 0);
  CHECK(KALPO_RetListaECFS(&text) == 0 && strncmp(text, "[ BEMATECH ] Modelo MP20\r[ SIGTRON ]", 36) == 0);
  CHECK(strcmp(KALPO_VERSION_TEXT, KALPO_BUILD_VERSION) == 0); /* the header's version is the build's */

  /* Presets (tests/support/presets.h). */
  messages = 0;
  run_all("ECFZANTRELLO", 1);
  CHECK(messages == 2); /* the reduction's confirmation, the daylight-saving dialog */
  run_all("NOTAFISCAL", 1);
  run_all("ecfzantrello", 0);
  run_all("", 0);
  run_all(NULL, 0);
  expect_preset("KALPO_IniciaDriver", "-", 1, KALPO_IniciaDriver());
  expect_preset("KALPO_FechaDriver", "SWEDA7000", 1, KALPO_FechaDriver("SWEDA7000"));
  expect_preset("KALPO_GravaRegistro", "-", 1, KALPO_GravaRegistro("COM2"));

  /* A refused confirmation stops the reduction for every identifier. */
  answer = KALPO_BTN_NO;
  CHECK(KALPO_Reducaoz("ECFZANTRELLO", NULL, NULL, NULL, NULL) == 0);

  /* The virtual printer opens a coupon and hands back its number; a second
   * opening is refused with the printer's message. */
  answer = KALPO_BTN_OK;
  text = NULL;
  messages = 0;
  CHECK(KALPO_AbreCupom("BEMATECHMP20", &text, "", "", "") == 1);
  CHECK(text != NULL && strlen(text) == 6);
  CHECK(messages == 0);
  CHECK(KALPO_AbreCupom("BEMATECHMP20", &text, "", "", "") == 0);
  CHECK(messages > 0);
  CHECK(KALPO_Cupom_Aberto("BEMATECHMP20") == 1);
  CHECK(KALPO_Analisa_iRetorno("BEMATECHMP20", -6) == 0);
  CHECK(KALPO_Analisa_iRetorno("DARUMA32", 1) == 1);

  printf("%d passed, %d failed\n", checks - failures, failures);
  return failures ? 1 : 0;
}
