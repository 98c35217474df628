// ecf32m: the texts of its calls' integer return codes.
#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

constexpr CodeText kReturns[] = {
    {-99, "Time out na execução do comando do ECF!"_cp, C::printer_off},
    {-98, "Estouro de Buffer do ECF!"_cp, C::communication},
    {-97, "Ainda não obteve retorno do ECF!"_cp, C::printer_off},
    {-96, "Detectado tampa do ECF aberta!"_cp, C::paper_end},
    {-95, "Erro mecânico no ECF!"_cp, C::printer_error},
    {-94, "Erro irrecuperável no ECF!"_cp, C::printer_error},
    {-92, "Detectado pouco papel no ECF!"_cp, C::paper_low},
    {-91, "Temperatura da Cabeça de Impressão do ECF está alta!"_cp, C::printer_error},
    {-90, "Falha de leitura do Serial do ECF!"_cp, C::communication},
    {-89, "Retorno do ECF desconhecido!"_cp, C::communication},
    {-88, "Falha na alocação de recursos do Windows p/ ECF!"_cp, C::printer_error},
    {-87, "Falha do serial do ECF!"_cp, C::printer_off},
    {-86, "Falha do arquivo CIF.INI!\r\nO mesmo deve se encontrar na pasta c:\\windows"_cp, C::configuration},
    {-85, "Erro de conhecimento de comando por parte do ECF!"_cp, C::invalid_command},
    {-84, "Falha na DLL do ECF!"_cp, C::printer_error},
    {-28, "Necessário realizar redução Z!"_cp, C::reduction_due},
};
static_assert(std::size(kReturns) == 16);

}  // namespace

namespace tables {
std::span<const CodeText> ecf32m_returns() { return kReturns; }
}  // namespace tables

}  // namespace kalpo::makers
