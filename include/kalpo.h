/*
 * KALPO: one interface to every supported fiscal printer.
 *
 * Texts are NUL-terminated Windows-1252; a null text pointer is an empty text.
 * Out texts (const char **) receive a pointer to a text owned by the library,
 * valid until the next call into the library (constant texts: while loaded).
 * A null out pointer is tolerated: nothing is written through it.
 * Result flags are 1 (success) or 0 (failure).
 *
 * Calls must not overlap: the library has no locks, and every operator
 * message is modal on the calling thread.
 */
#ifndef KALPO_H
#define KALPO_H

#include <stdint.h>

#if defined(_WIN32)
#define KALPO_CALL __stdcall
#if defined(KALPO_BUILDING)
#define KALPO_API __declspec(dllexport)
#else
#define KALPO_API __declspec(dllimport)
#endif
#else
#define KALPO_CALL
#if defined(KALPO_BUILDING)
#define KALPO_API __attribute__((visibility("default")))
#else
#define KALPO_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A text-holding control of the caller's user interface.  Its lines are its
 * text split at CR LF, lone CR or lone LF; a final line break adds no line. */
typedef struct KALPO_TextControl {
    void *context;
    const char *(KALPO_CALL *get_text)(void *context);
    void (KALPO_CALL *set_text)(void *context, const char *text);
} KALPO_TextControl;

/* Message forms handed to a message handler. */
#define KALPO_MSG_NOTICE 0  /* text and OK; caption null, flags 0 */
#define KALPO_MSG_DIALOG 1  /* typed dialog: flags 0x40 information/OK or 0x24 question/Yes-No */
#define KALPO_MSG_BOX 2     /* captioned box: flags 0x40 information or 0x10 stop, OK */

/* Buttons a handler returns. */
#define KALPO_BTN_OK 1
#define KALPO_BTN_YES 6
#define KALPO_BTN_NO 7

typedef int32_t (KALPO_CALL *KALPO_TratadorMensagem)(void *context, int32_t form, const char *text,
                                                     const char *caption, uint32_t flags);

/* Routes every operator message to handler; null restores the default (message
 * boxes on Windows; elsewhere standard error, confirmations answered No). */
KALPO_API void KALPO_CALL KALPO_DefineTratadorMensagens(KALPO_TratadorMensagem handler, void *context);

/* Frame */
KALPO_API int32_t KALPO_CALL KALPO_Versao(const char **versao);
KALPO_API int32_t KALPO_CALL KALPO_Versao_Number(const char **versao);
KALPO_API int32_t KALPO_CALL KALPO_RetListaECFS(const char **lista);
KALPO_API uint8_t KALPO_CALL KALPO_IniciaDriver(void);
KALPO_API uint8_t KALPO_CALL KALPO_FechaDriver(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_GravaRegistro(const char *porta);

/* Return analysis */
KALPO_API uint8_t KALPO_CALL KALPO_retorna_impressora(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_Analisa_iRetorno(const char *modelo, int32_t codigo);
/* resposta: the caller's buffer of at least 100 bytes, which is filled. */
KALPO_API uint8_t KALPO_CALL KALPO_Analisa_RetSigtronFS345(int32_t codigo, char *resposta, int32_t tamanho,
                                                           int32_t *contagem);

/* Fiscal coupon */
KALPO_API uint8_t KALPO_CALL KALPO_AbreCupom(const char *modelo, const char **numero_cupom, const char *nome,
                                             const char *endereco, const char *documento);
KALPO_API uint8_t KALPO_CALL KALPO_VendaItem(const char *modelo, const char *codigo, const char *descricao,
                                             const char *aliquota, const char *tipo_quantidade, double quantidade,
                                             int32_t casas_decimais, double valor_unitario,
                                             const char *tipo_desconto, double nao_lido);
KALPO_API uint8_t KALPO_CALL KALPO_Inicia_Fechamento(const char *modelo, double desconto);
KALPO_API uint8_t KALPO_CALL KALPO_desc_fechamento(const char *modelo, double desconto);
KALPO_API uint8_t KALPO_CALL KALPO_forma_pagamento(const char *modelo, const char *forma, double valor);
KALPO_API uint8_t KALPO_CALL KALPO_fecha_cupom(const char *modelo, KALPO_TextControl *mensagem);
KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Item(const char *modelo, int32_t item);
KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Ultimo_Cupom(const char *modelo, const void *nao_lido1,
                                                        const void *nao_lido2, int32_t *contagem,
                                                        const char **numero_cupom, const char **estado_documento);

/* Linked vouchers and management reports */
KALPO_API uint8_t KALPO_CALL KALPO_cupom_vinculado(const char *modelo, const char *forma, const char *numero_cupom,
                                                   double valor);
KALPO_API uint8_t KALPO_CALL KALPO_usavinculado(const char *modelo, const char *texto);
KALPO_API uint8_t KALPO_CALL KALPO_usavinculadotermica(const char *modelo, KALPO_TextControl *texto);
KALPO_API uint8_t KALPO_CALL KALPO_FechaCupomNaovinculado(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_AbreRelGerencial(const char *modelo, const char *texto, const char *codigo);
KALPO_API uint8_t KALPO_CALL KALPO_FechaGerencial(const char *modelo);

/* Day reports and fiscal memory */
KALPO_API uint8_t KALPO_CALL KALPO_Leiturax(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            int32_t *contagem);
KALPO_API uint8_t KALPO_CALL KALPO_Reducaoz(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            const void *nao_lido3, int32_t *contagem);
KALPO_API uint8_t KALPO_CALL KALPO_Abredia(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_HorarioVerao(const char *modelo, const char *acao);
KALPO_API void KALPO_CALL KALPO_LeData(const char *modelo, const char **data);
KALPO_API uint8_t KALPO_CALL KALPO_LeituraMemFiscal(const char *modelo, const char *inicio, const char *fim,
                                                    const char *tipo);
/* dia: days since 30 December 1899; the fraction is the time of day. */
KALPO_API uint8_t KALPO_CALL KALPO_GeraCotepe(const char *modelo, double dia);
KALPO_API uint8_t KALPO_CALL KALPO_ImpressaoBobina(const char *modelo);

/* Queries and device utilities */
KALPO_API uint8_t KALPO_CALL KALPO_MostraNumSerie(const char *modelo, const char **numero_serie);
KALPO_API uint8_t KALPO_CALL KALPO_FirmWare(const char *modelo, const char **versao);
KALPO_API uint8_t KALPO_CALL KALPO_RetornaGT(const char *modelo, const char **grande_total);
KALPO_API uint8_t KALPO_CALL KALPO_DataHoraEcf(const char *modelo, const char **data, const char **hora);
KALPO_API uint8_t KALPO_CALL KALPO_NumeroCupom(const char *modelo, const char **numero_cupom);
KALPO_API uint8_t KALPO_CALL KALPO_NumReducao(const char *modelo, const char **contador);
KALPO_API uint8_t KALPO_CALL KALPO_ResumoAliq(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_TotalizadorParcial(const char *modelo, const char **totais);
KALPO_API uint8_t KALPO_CALL KALPO_VerificaEstadoECF(const char *modelo, int32_t *ack, int32_t *st1, int32_t *st2);
KALPO_API uint8_t KALPO_CALL KALPO_Cupom_Aberto(const char *modelo);
KALPO_API uint8_t KALPO_CALL KALPO_AbreGaveta(const char *modelo);

#ifdef __cplusplus
}
#endif

#endif /* KALPO_H */
