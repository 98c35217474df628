/* A point-of-sale program written in C against kalpo.h alone, linked with
 * libkalpo and the stand-in makers' libraries: the presets and the frame
 * results of every export. */
#include <stdio.h>
#include <string.h>

#include "kalpo.h"

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

/* Every operation export with one identifier; returns the results packed as
 * a string of '0'/'1' so that presets compare at a glance. */
static void run_all(const char *model, char *results) {
  KALPO_TextControl control = {NULL, control_text, control_set};
  const char *out1 = "x", *out2 = "x", *out3 = "x";
  int32_t count = -1, a = -1, b = -1, c = -1;
  int i = 0;
  results[i++] = '0' + KALPO_AbreCupom(model, &out1, "nome", "endereco", "123");
  results[i++] = '0' + KALPO_VendaItem(model, "1", "ITEM", "01", "I", 1.5, 2, 2.99, "", 0.0);
  results[i++] = '0' + KALPO_Inicia_Fechamento(model, 0.5);
  results[i++] = '0' + KALPO_desc_fechamento(model, 0.5);
  results[i++] = '0' + KALPO_forma_pagamento(model, "Dinheiro", 10.0);
  results[i++] = '0' + KALPO_fecha_cupom(model, &control);
  results[i++] = '0' + KALPO_Cancela_Item(model, 1);
  results[i++] = '0' + KALPO_Cancela_Ultimo_Cupom(model, NULL, NULL, &count, &out2, &out3);
  results[i++] = '0' + KALPO_cupom_vinculado(model, "Cartao", "000123", 10.0);
  results[i++] = '0' + KALPO_usavinculado(model, "texto");
  results[i++] = '0' + KALPO_usavinculadotermica(model, &control);
  results[i++] = '0' + KALPO_FechaCupomNaovinculado(model);
  results[i++] = '0' + KALPO_AbreRelGerencial(model, "texto", "01");
  results[i++] = '0' + KALPO_FechaGerencial(model);
  results[i++] = '0' + KALPO_Leiturax(model, NULL, NULL, &count);
  results[i++] = '0' + KALPO_Reducaoz(model, NULL, NULL, NULL, &count);
  results[i++] = '0' + KALPO_Abredia(model);
  results[i++] = '0' + KALPO_HorarioVerao(model, "ENTRAR");
  results[i++] = '0' + KALPO_LeituraMemFiscal(model, "01/12/2026", "07/12/2026", "D");
  results[i++] = '0' + KALPO_GeraCotepe(model, 46363.0);
  results[i++] = '0' + KALPO_ImpressaoBobina(model);
  results[i++] = '0' + KALPO_MostraNumSerie(model, &out1);
  results[i++] = '0' + KALPO_FirmWare(model, &out1);
  results[i++] = '0' + KALPO_RetornaGT(model, &out1);
  results[i++] = '0' + KALPO_DataHoraEcf(model, &out1, &out2);
  results[i++] = '0' + KALPO_NumeroCupom(model, &out1);
  results[i++] = '0' + KALPO_NumReducao(model, &out1);
  results[i++] = '0' + KALPO_ResumoAliq(model);
  results[i++] = '0' + KALPO_TotalizadorParcial(model, &out1);
  results[i++] = '0' + KALPO_VerificaEstadoECF(model, &a, &b, &c);
  results[i++] = '0' + KALPO_Cupom_Aberto(model);
  results[i++] = '0' + KALPO_AbreGaveta(model);
  results[i] = '\0';
  KALPO_LeData(model, &out1);
  CHECK(out1 != NULL && strlen(out1) >= 6);
  CHECK(strcmp(out2, "0") == 0 || strcmp(out2, "x") != 0);
  CHECK(count == -1);
}

int main(void) {
  const char *text = NULL;
  char results[64];

  KALPO_DefineTratadorMensagens(count_messages, NULL);

  CHECK(KALPO_Versao(&text) == 0 && strcmp(text, "KALPO_DLL Vers\xE3o 3.60") == 0);
  CHECK(KALPO_Versao_Number(&text) == 0 && strcmp(text, "3.60") == 0);
  CHECK(KALPO_RetListaECFS(&text) == 0 && strncmp(text, "[ BEMATECH ] Modelo MP20\r[ SIGTRON ]", 36) == 0);
  CHECK(strcmp(KALPO_VERSION_TEXT, KALPO_BUILD_VERSION) == 0); /* the header's version is the build's */
  CHECK(KALPO_IniciaDriver() == 1);
  CHECK(KALPO_FechaDriver("SWEDA7000") == 1);
  CHECK(KALPO_GravaRegistro("COM2") == 1);

  /* Presets, in the order of run_all. */
  const char *without_printer = "11101111110111111011101111111101";
  const char *unknown = "00000000000000000000100000000011";

  messages = 0;
  run_all("ECFZANTRELLO", results);
  CHECK(strcmp(results, without_printer) == 0);
  CHECK(messages == 2); /* the reduction's confirmation, the daylight-saving dialog */
  run_all("NOTAFISCAL", results);
  CHECK(strcmp(results, without_printer) == 0);
  run_all("ecfzantrello", results);
  CHECK(strcmp(results, unknown) == 0);
  run_all("", results);
  CHECK(strcmp(results, unknown) == 0);
  run_all(NULL, results);
  CHECK(strcmp(results, unknown) == 0);

  /* A refused confirmation stops the reduction for every identifier. */
  answer = KALPO_BTN_NO;
  CHECK(KALPO_Reducaoz("ECFZANTRELLO", NULL, NULL, NULL, NULL) == 0);

  /* The stand-in makers' libraries answer as a disconnected printer. */
  answer = KALPO_BTN_OK;
  CHECK(KALPO_AbreCupom("BEMATECHMP20", &text, "", "", "") == 0);
  CHECK(KALPO_Analisa_iRetorno("BEMATECHMP20", -6) == 0);
  CHECK(KALPO_Analisa_iRetorno("DARUMA32", 1) == 1);

  printf("%d passed, %d failed\n", checks - failures, failures);
  return failures ? 1 : 0;
}
