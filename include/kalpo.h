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
 *
 * The printer is named in every call by its model identifier (argument
 * `modelo`), matched exactly and case-sensitively:
 *   BEMATECHMP20, BEMATECHMFD   Bematech (BEMAFI32.DLL)
 *   SWEDA7000                   Sweda (CONVECF.dll)
 *   SIGTRONFS345                Sigtron (fs345_32.dll)
 *   DARUMA32                    Daruma (Daruma32.dll)
 *   DIGIARTE1E                  Digiarte (ecf32m.dll)
 *   ELGINFIT, DATAREGISQUICK    the command driver over USB (DllG2.dll)
 *   DATAREGISSERIAL             the command driver over a serial port
 *   EPSON                       Epson (InterfaceEpson.dll)
 *   ECFZANTRELLO, NOTAFISCAL    no fiscal printer: nothing is sent
 * "Models" below lists those an export sends something for.  For every other
 * identifier, unknown ones included, an export answers its preset without a
 * call: 1 for ECFZANTRELLO and NOTAFISCAL, 0 otherwise, unless it says
 * otherwise.  Arguments named nao_lido are never read: they keep the call
 * shape that point-of-sale programs were built against.
 *
 * Refusals are told to the operator (see KALPO_DefineTratadorMensagens) and
 * give 0; nothing escapes across the C boundary.
 */
#ifndef KALPO_H
#define KALPO_H

/* The library's version, the same as the build's (CMake reads it from here)
 * and as kalpo.dll's version resource (which includes this header).
 * KALPO_Versao answers the text the point-of-sale programs expect instead. */
#define KALPO_VERSION_MAJOR 4
#define KALPO_VERSION_MINOR 0
#define KALPO_VERSION_PATCH 0
#define KALPO_VERSION_STRINGIZE_(x) #x
#define KALPO_VERSION_STRINGIZE(x) KALPO_VERSION_STRINGIZE_(x)
#define KALPO_VERSION_TEXT                     \
  KALPO_VERSION_STRINGIZE(KALPO_VERSION_MAJOR) \
  "." KALPO_VERSION_STRINGIZE(KALPO_VERSION_MINOR) "." KALPO_VERSION_STRINGIZE(KALPO_VERSION_PATCH)

/* The resource compiler reads only the version above. */
#ifndef RC_INVOKED

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
  void(KALPO_CALL *set_text)(void *context, const char *text);
} KALPO_TextControl;

/* Message forms handed to a message handler. */
#define KALPO_MSG_NOTICE 0 /* text and OK; caption null, flags 0 */
#define KALPO_MSG_DIALOG 1 /* typed dialog: flags 0x40 information/OK or 0x24 question/Yes-No */
#define KALPO_MSG_BOX 2    /* captioned box: flags 0x40 information or 0x10 stop, OK */

/* Buttons a handler returns. */
#define KALPO_BTN_OK 1
#define KALPO_BTN_YES 6
#define KALPO_BTN_NO 7

typedef int32_t(KALPO_CALL *KALPO_TratadorMensagem)(void *context, int32_t form, const char *text, const char *caption,
                                                    uint32_t flags);

/* Routes every operator message to handler; null restores the default (message
 * boxes on Windows; elsewhere standard error, confirmations answered No). */
KALPO_API void KALPO_CALL KALPO_DefineTratadorMensagens(KALPO_TratadorMensagem handler, void *context);

/* Frame */

/* *versao: "KALPO_DLL Versão 3.60", the text point-of-sale programs compare
 * (not KALPO_VERSION_TEXT).  Always returns 0. */
KALPO_API int32_t KALPO_CALL KALPO_Versao(const char **versao);

/* *versao: "3.60".  Always returns 0. */
KALPO_API int32_t KALPO_CALL KALPO_Versao_Number(const char **versao);

/* *lista: the supported printers, one "[ MAKER ] Modelo ..." line each,
 * separated by CR.  Always returns 0. */
KALPO_API int32_t KALPO_CALL KALPO_RetListaECFS(const char **lista);

/* Nothing to start: always 1.  Kept for the programs that call it. */
KALPO_API uint8_t KALPO_CALL KALPO_IniciaDriver(void);

/* SWEDA7000: closes its serial port.  Always 1, whatever the close did. */
KALPO_API uint8_t KALPO_CALL KALPO_FechaDriver(const char *modelo);

/* Hands porta to Daruma32.dll's registry setting, for any model.  Always 1. */
KALPO_API uint8_t KALPO_CALL KALPO_GravaRegistro(const char *porta);

/* Return analysis */

/* Models: Bematech, SWEDA7000.  Reads the status bytes and tells the operator
 * every condition set in them.  1 when the second status byte is clear; 0 on
 * a NAK.  Deliberately 1 for every other identifier (their status reads as
 * all zero). */
KALPO_API uint8_t KALPO_CALL KALPO_retorna_impressora(const char *modelo);

/* Models: Bematech, SWEDA7000.  Judges a return code of the maker's library:
 * 1 only for code 1 with a clear status (KALPO_retorna_impressora); else
 * "Comando não executado!" and the code's own message, and 0. */
KALPO_API uint8_t KALPO_CALL KALPO_Analisa_iRetorno(const char *modelo, int32_t codigo);

/* Judges a return of fs345_32.dll: reads the printer's answer (at most
 * tamanho + 1 characters) into resposta, a buffer of at least 100 bytes, and
 * its length into *contagem; 1 when neither the return (-1) nor the answer
 * carries an error number, otherwise one notice naming it and 0. */
KALPO_API uint8_t KALPO_CALL KALPO_Analisa_RetSigtronFS345(int32_t codigo, char *resposta, int32_t tamanho,
                                                           int32_t *contagem);

/* Fiscal coupon */

/* Models: all.  Opens a fiscal coupon; nome and endereco reach SWEDA7000, the
 * command driver and EPSON, documento (the customer's tax number) every model
 * that takes it.  *numero_cupom: the new coupon's number, written on success
 * (not by EPSON); the command driver answers 1 once the coupon is open even
 * when the number cannot be read. */
KALPO_API uint8_t KALPO_CALL KALPO_AbreCupom(const char *modelo, const char **numero_cupom, const char *nome,
                                             const char *endereco, const char *documento);

/* Models: all.  Sells one item: code, description, tax code, quantity with
 * casas_decimais decimals and unit price, unit "UN", no item discount.
 * tipo_quantidade and tipo_desconto ("P": percent) reach SWEDA7000 only.
 * DIGIARTE1E takes codes of digits only, up to 13 digits (EAN-13 included);
 * any other code is refused with a notice. */
KALPO_API uint8_t KALPO_CALL KALPO_VendaItem(const char *modelo, const char *codigo, const char *descricao,
                                             const char *aliquota, const char *tipo_quantidade, double quantidade,
                                             int32_t casas_decimais, double valor_unitario, const char *tipo_desconto,
                                             double nao_lido);

/* Models: Bematech, SWEDA7000, SIGTRONFS345, DARUMA32, DIGIARTE1E.  Starts the
 * closing with a discount of desconto money units on the subtotal.
 * Deliberately 1 without a call for the command driver (its discount is
 * KALPO_desc_fechamento) and EPSON (no discount). */
KALPO_API uint8_t KALPO_CALL KALPO_Inicia_Fechamento(const char *modelo, double desconto);

/* Models: the command driver.  The discount on the subtotal, sent as a
 * negative surcharge.  Deliberately 0 for every other identifier, the
 * printerless ones included. */
KALPO_API uint8_t KALPO_CALL KALPO_desc_fechamento(const char *modelo, double desconto);

/* Models: all.  One payment of valor in form forma (SIGTRONFS345 takes the
 * form's first character and refuses an empty one). */
KALPO_API uint8_t KALPO_CALL KALPO_forma_pagamento(const char *modelo, const char *forma, double valor);

/* Models: all.  Closes the coupon with the control's text as the promotional
 * message.  SIGTRONFS345 prints the configured MENSAGEM instead; the command
 * driver appends MENSAGEM, removes accents and a few marks, and writes the
 * result back into the control when the control takes text. */
KALPO_API uint8_t KALPO_CALL KALPO_fecha_cupom(const char *modelo, KALPO_TextControl *mensagem);

/* Models: Bematech, SWEDA7000, SIGTRONFS345, the command driver, EPSON.
 * Cancels item number item of the open coupon. */
KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Item(const char *modelo, int32_t item);

/* Models: all.  Cancels the last coupon.  *numero_cupom is first set to "0"
 * and *estado_documento to "N"; then *numero_cupom receives the cancelled
 * coupon's number where the model reports it, and on SIGTRONFS345
 * *estado_documento becomes "S" unless a document was open (and *contagem
 * receives the answer's length).  Bematech also removes c:\canc.txt. */
KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Ultimo_Cupom(const char *modelo, const void *nao_lido1,
                                                        const void *nao_lido2, int32_t *contagem,
                                                        const char **numero_cupom, const char **estado_documento);

/* Linked vouchers and management reports */

/* Models: Bematech, SWEDA7000, SIGTRONFS345, DARUMA32, the command driver.
 * Opens a voucher linked to payment form forma of coupon numero_cupom for
 * valor (not sent to DARUMA32). */
KALPO_API uint8_t KALPO_CALL KALPO_cupom_vinculado(const char *modelo, const char *forma, const char *numero_cupom,
                                                   double valor);

/* Models: Bematech, SWEDA7000, SIGTRONFS345, DARUMA32.  Prints texto on the
 * open voucher.  Deliberately 1 without a call for the command driver, which
 * prints voucher text through KALPO_usavinculadotermica. */
KALPO_API uint8_t KALPO_CALL KALPO_usavinculado(const char *modelo, const char *texto);

/* Models: BEMATECHMFD, DARUMA32 (line by line; the last line decides), the
 * command driver.  Prints the control's whole text on the open voucher.
 * Deliberately 0 for every other identifier, the printerless ones included. */
KALPO_API uint8_t KALPO_CALL KALPO_usavinculadotermica(const char *modelo, KALPO_TextControl *texto);

/* Models: Bematech, SWEDA7000, SIGTRONFS345, DARUMA32, the command driver.
 * Closes the open linked voucher. */
KALPO_API uint8_t KALPO_CALL KALPO_FechaCupomNaovinculado(const char *modelo);

/* Models: Bematech (prints texto), SIGTRONFS345, DARUMA32, the command driver
 * (report code codigo).  Opens a management report. */
KALPO_API uint8_t KALPO_CALL KALPO_AbreRelGerencial(const char *modelo, const char *texto, const char *codigo);

/* Models: Bematech, SIGTRONFS345, DARUMA32.  Closes the management report.
 * Deliberately 1 without a call for the command driver. */
KALPO_API uint8_t KALPO_CALL KALPO_FechaGerencial(const char *modelo);

/* Day reports and fiscal memory */

/* Models: all.  Prints the X reading.  SIGTRONFS345 first shows its port
 * setting, writes the answer's length into *contagem and, deliberately,
 * judges by the error analysis alone: an empty answer is a success.  The
 * command driver over USB cuts the paper whatever the outcome. */
KALPO_API uint8_t KALPO_CALL KALPO_Leiturax(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            int32_t *contagem);

/* Models: all.  Asks the operator to confirm, then prints the Z reduction;
 * No gives "Emissão de Redução Abortada!" and 0 for every model.  SIGTRONFS345
 * writes the answer's length into *contagem and, deliberately, judges by the
 * error analysis alone; the command driver over USB tells any failure by its
 * error code's text and cuts the paper whatever the outcome. */
KALPO_API uint8_t KALPO_CALL KALPO_Reducaoz(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            const void *nao_lido3, int32_t *contagem);

/* Models: Bematech, EPSON.  Opens the fiscal day. */
KALPO_API uint8_t KALPO_CALL KALPO_Abredia(const char *modelo);

/* Models: DATAREGISSERIAL.  Enters daylight saving time when acao is exactly
 * "ENTRAR", otherwise leaves it.  Every other identifier is told to use the
 * maker's utility, and gets 0. */
KALPO_API uint8_t KALPO_CALL KALPO_HorarioVerao(const char *modelo, const char *acao);

/* *data: the date.  DATAREGISSERIAL and ELGINFIT read the printer's date;
 * every other identifier gets the workstation's date in its short date
 * format.  Returns nothing. */
KALPO_API void KALPO_CALL KALPO_LeData(const char *modelo, const char **data);

/* Models: Bematech, DIGIARTE1E.  Prints the fiscal memory between inicio and
 * fim: dates (dd/mm/yyyy) when tipo is "D", reduction numbers when "N". */
KALPO_API uint8_t KALPO_CALL KALPO_LeituraMemFiscal(const char *modelo, const char *inicio, const char *fim,
                                                    const char *tipo);

/* Models: DATAREGISSERIAL.  Writes the day's fiscal file into
 * C:\Zantrello\NFP\ (dia: days since 30 December 1899; the fraction is the
 * time of day); 1 when the file is there and not empty.  Deliberately 0 for
 * BEMATECHMFD. */
KALPO_API uint8_t KALPO_CALL KALPO_GeraCotepe(const char *modelo, double dia);

/* Models: DATAREGISSERIAL and ELGINFIT, both through the serial connection.
 * Sets the spacing between documents.  Deliberately 1 for every other
 * identifier, unknown ones included. */
KALPO_API uint8_t KALPO_CALL KALPO_ImpressaoBobina(const char *modelo);

/* Queries and device utilities */

/* Models: Bematech (BEMATECHMFD also shows the answer as received),
 * SWEDA7000, SIGTRONFS345, DARUMA32, DIGIARTE1E, the command driver.
 * *numero_serie: the serial number (Bematech and SWEDA7000: only on success).
 * Deliberately 0 for every other identifier, the printerless ones included. */
KALPO_API uint8_t KALPO_CALL KALPO_MostraNumSerie(const char *modelo, const char **numero_serie);

/* Models: Bematech, SWEDA7000, SIGTRONFS345, DARUMA32, DIGIARTE1E, the
 * command driver.  *versao: the firmware version, written whatever the
 * judgment on most models; the command driver writes it on success only. */
KALPO_API uint8_t KALPO_CALL KALPO_FirmWare(const char *modelo, const char **versao);

/* Models: Bematech.  *grande_total: the grand total, written whatever the
 * judgment. */
KALPO_API uint8_t KALPO_CALL KALPO_RetornaGT(const char *modelo, const char **grande_total);

/* Models: Bematech.  *data and *hora: the printer's date (ddmmyy) and time
 * (hhmmss), written whatever the judgment. */
KALPO_API uint8_t KALPO_CALL KALPO_DataHoraEcf(const char *modelo, const char **data, const char **hora);

/* Models: Bematech.  *numero_cupom: the current coupon number, written
 * whatever the judgment. */
KALPO_API uint8_t KALPO_CALL KALPO_NumeroCupom(const char *modelo, const char **numero_cupom);

/* Models: Bematech.  Has the printer write its report file C:\RETORNO.TXT and
 * hands out its Z-reduction counter in *contador; without the file a notice
 * and 0. */
KALPO_API uint8_t KALPO_CALL KALPO_NumReducao(const char *modelo, const char **contador);

/* Models: Bematech.  Asks for the tax-rate table; only the judgment comes
 * back. */
KALPO_API uint8_t KALPO_CALL KALPO_ResumoAliq(const char *modelo);

/* Models: Bematech.  *totais: the partial totalizers, written whatever the
 * judgment. */
KALPO_API uint8_t KALPO_CALL KALPO_TotalizadorParcial(const char *modelo, const char **totais);

/* Models: Bematech.  The maker's library writes the status bytes straight
 * into *ack, *st1 and *st2; the return is then judged. */
KALPO_API uint8_t KALPO_CALL KALPO_VerificaEstadoECF(const char *modelo, int32_t *ack, int32_t *st1, int32_t *st2);

/* Models: Bematech: 1 when the printer acknowledges with the coupon-open
 * bit set (nothing is shown).  Deliberately 1 for every other identifier but
 * ECFZANTRELLO and NOTAFISCAL (0): a printer that cannot be asked counts as
 * having a coupon open. */
KALPO_API uint8_t KALPO_CALL KALPO_Cupom_Aberto(const char *modelo);

/* Models: Bematech, SIGTRONFS345, DARUMA32, the command driver.  Opens the
 * cash drawer.  Deliberately 1 for every other identifier. */
KALPO_API uint8_t KALPO_CALL KALPO_AbreGaveta(const char *modelo);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif /* KALPO_H */
