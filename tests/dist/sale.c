/* A coupon sold as a point-of-sale program built against an installed KALPO
 * sells it; the exit status is 0 when every call succeeded.  Built with
 * pkg-config, with find_package, with MinGW against the Windows zip, and
 * (SALE_WITHOUT_CRT) with an MSVC-compatible linker against kalpo.lib. */
#include "kalpo.h"

static int sell(const char *model, const char **numero) {
  return KALPO_AbreCupom(model, numero, "Maria", "Rua A, 1", "") &&
         KALPO_VendaItem(model, "42", "FEIJ\xC3O", "01", "I", 2, 2, 4.5, "", 0) && KALPO_Inicia_Fechamento(model, 0) &&
         KALPO_forma_pagamento(model, "Dinheiro", 10) && KALPO_fecha_cupom(model, 0);
}

#ifdef SALE_WITHOUT_CRT
/* No C runtime to link: the entry point itself, and the marker of floating
 * point use that the runtime would define. */
int _fltused;

int start(void) {
  const char *numero = 0;
  return sell("BEMATECHMP20", &numero) ? 0 : 1;
}
#else
#include <stdio.h>

int main(int argc, char **argv) {
  const char *model = argc > 1 ? argv[1] : "BEMATECHMP20";
  const char *numero = 0;
  const int sold = sell(model, &numero);
  printf("coupon %s on %s: %s\n", numero ? numero : "-", model, sold ? "sold" : "refused");
  return sold ? 0 : 1;
}
#endif
