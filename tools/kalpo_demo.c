/* A point-of-sale program in miniature: loads KALPO, shows what the library
 * is, and runs a whole sale on a few printer models, printing every operator
 * message that comes back.  On the virtual printer every model sells; with a
 * maker's own library and no printer attached the printer models refuse, and
 * the operator is told why. */
#include <stdio.h>
#include <string.h>

#include "kalpo.h"

/* Windows-1252 to UTF-8 for the terminal (the Latin-1 range is enough for
 * the library's Portuguese texts). */
static void print_cp1252(const char *text) {
  for (const unsigned char *p = (const unsigned char *)text; *p; ++p) {
    if (*p == '\r' || *p == '\n') {
      if (*p == '\r' && p[1] == '\n') ++p;
      fputs("\n        ", stdout);
    } else if (*p < 0x80) {
      putchar(*p);
    } else {
      putchar(0xC0 | (*p >> 6));
      putchar(0x80 | (*p & 0x3F));
    }
  }
}

static int32_t KALPO_CALL operator_screen(void *context, int32_t form, const char *text, const char *caption,
                                          uint32_t flags) {
  (void)context;
  static const char *forms[] = {"aviso", "diálogo", "caixa"};
  printf("      [%s", forms[form < 0 || form > 2 ? 0 : form]);
  if (caption) {
    printf(" \"");
    print_cp1252(caption);
    printf("\"");
  }
  printf("] ");
  print_cp1252(text);
  putchar('\n');
  /* The operator confirms what is asked. */
  return flags == 0x24 ? KALPO_BTN_YES : KALPO_BTN_OK;
}

static const char *promo_text = "Obrigado pela preferência!";
static const char *KALPO_CALL get_promo(void *context) {
  (void)context;
  return promo_text;
}
static void KALPO_CALL set_promo(void *context, const char *text) {
  (void)context;
  (void)text;
}

static void step(const char *what, int ok) { printf("    %-28s %s\n", what, ok ? "ok" : "recusado"); }

static void sale(const char *model) {
  const char *coupon = "(nenhum)";
  KALPO_TextControl promo = {NULL, get_promo, set_promo};
  printf("\n  Venda em %s\n", model);
  if (!KALPO_AbreCupom(model, &coupon, "Maria da Silva", "Rua das Flores, 12", "12345678909")) {
    step("abrir cupom", 0);
    return;
  }
  step("abrir cupom", 1);
  printf("    cupom nº %s\n", coupon);
  step("vender 1,5 x 2,99",
       KALPO_VendaItem(model, "7891000100103", "CAFE TORRADO 500G", "01", "I", 1.5, 2, 2.99, "", 0.0));
  step("vender 2 x 4,50", KALPO_VendaItem(model, "42", "PAO DE QUEIJO", "01", "I", 2.0, 2, 4.5, "", 0.0));
  step("iniciar fechamento", KALPO_Inicia_Fechamento(model, 0.5));
  step("desconto no subtotal", KALPO_desc_fechamento(model, 0.5));
  step("pagar em dinheiro 20,00", KALPO_forma_pagamento(model, "Dinheiro", 20.0));
  step("fechar cupom", KALPO_fecha_cupom(model, &promo));
}

int main(void) {
  const char *text = NULL;
  KALPO_DefineTratadorMensagens(operator_screen, NULL);

  KALPO_Versao(&text);
  printf("Biblioteca: ");
  print_cp1252(text);
  KALPO_Versao_Number(&text);
  printf(" (versão %s)\n\nImpressoras atendidas:\n", text);
  KALPO_RetListaECFS(&text);
  printf("  ");
  for (const char *p = text; *p; ++p) {
    if (*p == '\r')
      printf("\n  ");
    else
      putchar(*p);
  }
  printf("\n");

  sale("ECFZANTRELLO");
  sale("BEMATECHMP20");
  sale("DARUMA32");
  sale("ELGINFIT");
  sale("EPSON");

  printf("\n  Leitura X em ECFZANTRELLO: %s\n", KALPO_Leiturax("ECFZANTRELLO", NULL, NULL, NULL) ? "ok" : "recusada");
  KALPO_LeData("ECFZANTRELLO", &text);
  printf("  Data da estação: %s\n", text);
  KALPO_FechaDriver("SWEDA7000");
  return 0;
}
