// Bematech and Sweda: the texts of the status bits and of the maker's return
// codes.
#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

// In the order in which they are tested.  Bit 0 of ST2 has no message: what
// is left of ST2 afterwards decides the result.
constexpr StatusBit kStatusBits[] = {
    {StatusByte::St1, 128, "Fim do Papel!"_cp, C::paper_end},
    {StatusByte::St1, 64, {}, C::other},
    {StatusByte::St1, 32, "Erro no relógio"_cp, C::clock},
    {StatusByte::St1, 16, "Impressora em erro"_cp, C::printer_error},
    {StatusByte::St1, 8, "Comando não iniciado com <ESC>"_cp, C::invalid_command},
    {StatusByte::St1, 4, "Comando inexistente!"_cp, C::invalid_command},
    {StatusByte::St1, 2, "Cupom aberto!"_cp, C::coupon_open},
    {StatusByte::St1, 1, "Número de parâmetros inválido!"_cp, C::invalid_parameter},
    {StatusByte::St2, 128, "Tipo de parâmetros inválido!"_cp, C::invalid_parameter},
    {StatusByte::St2, 64, "Memória fiscal Lotada!"_cp, C::fiscal_memory},
    {StatusByte::St2, 32, "CMOS não volátil!"_cp, C::printer_error},
    {StatusByte::St2, 16, "Alíquota não programada!"_cp, C::tax_rate},
    {StatusByte::St2, 8, "Alíquotas lotadas!"_cp, C::tax_rate},
    {StatusByte::St2, 4, "Cancelamento não permitido!"_cp, C::cancel_refused},
    {StatusByte::St2, 2, "CGC/IE não programadas!"_cp, C::printer_setup},
};

// The maker's return codes that carry a message of their own.
constexpr ReturnCode kReturnCodes[] = {
    {0, kErrorCaption, "Erro de Comunicação !"_cp, C::printer_off},
    {-1, kErrorCaption, "Erro de Execução na Função. Verifique!"_cp, C::not_executed},
    {-2, kErrorCaption, "Parâmetro Inválido !"_cp, C::invalid_parameter},
    {-3, kAttentionCaption, "Alíquota não programada !"_cp, C::tax_rate},
    {-4, kAttentionCaption, "Arquivo BemaFI32.INI não encontrado. Verifique!"_cp, C::configuration},
    {-5, kErrorCaption, "Erro ao Abrir a Porta de Comunicação"_cp, C::printer_off},
    {-6, kAttentionCaption, "Impressora Desligada ou Desconectada"_cp, C::printer_off},
    {-7, kAttentionCaption, "Banco Não Cadastrado no Arquivo BemaFI32.ini"_cp, C::configuration},
    {-8, kErrorCaption, "Erro ao Criar ou Gravar no Arquivo Retorno.txt ou Status.txt"_cp, C::configuration},
    {-18, kAttentionCaption, "Não foi possível abrir arquivo INTPOS.001 !"_cp, C::transaction},
    {-19, kAttentionCaption, "Parâmetro diferentes !"_cp, C::transaction},
    {-20, kAttentionCaption, "Transação cancelada pelo Operador !"_cp, C::transaction},
    {-21, kAttentionCaption, "A Transação não foi aprovada !"_cp, C::transaction},
    {-22, kAttentionCaption, "Não foi possível terminal a Impressão !"_cp, C::transaction},
    {-23, kAttentionCaption, "Não foi possível terminal a Operação !"_cp, C::transaction},
    {-24, kAttentionCaption, "Forma de pagamento não programada."_cp, C::payment},
    {-25, kAttentionCaption, "Totalizador não fiscal não programado."_cp, C::printer_setup},
    {-26, kAttentionCaption, "Transação já Efetuada !"_cp, C::transaction},
    {-28, kAttentionCaption, "Não há Informações para serem Impressas !"_cp, C::transaction},
};

}  // namespace

namespace tables {
std::span<const StatusBit> bematech_status_bits() { return kStatusBits; }
std::span<const ReturnCode> bematech_returns() { return kReturnCodes; }
}  // namespace tables

}  // namespace kalpo::makers
