// Bematech and Sweda: the maker's return code and the printer's status bytes.
// Only code 1 is success; then the status decides.  Every condition the code
// or the status carries is told to the operator.
#include <cstdint>
#include <string_view>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/model.h"
#include "makers/analysis.h"
#include "makers/status_bits.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

struct Caption {
  std::string_view text;
  uint32_t flags;
};

constexpr Caption kError{"Erro"_cp, msg::kStop};
constexpr Caption kAttention{"Atenção"_cp, msg::kInformation};

struct ReturnCode {
  int32_t code;
  Caption caption;
  std::string_view text;
};

// The maker's return codes that carry a message of their own.
constexpr ReturnCode kReturnCodes[] = {
    {0, kError, "Erro de Comunicação !"_cp},
    {-1, kError, "Erro de Execução na Função. Verifique!"_cp},
    {-2, kError, "Parâmetro Inválido !"_cp},
    {-3, kAttention, "Alíquota não programada !"_cp},
    {-4, kAttention, "Arquivo BemaFI32.INI não encontrado. Verifique!"_cp},
    {-5, kError, "Erro ao Abrir a Porta de Comunicação"_cp},
    {-6, kAttention, "Impressora Desligada ou Desconectada"_cp},
    {-7, kAttention, "Banco Não Cadastrado no Arquivo BemaFI32.ini"_cp},
    {-8, kError, "Erro ao Criar ou Gravar no Arquivo Retorno.txt ou Status.txt"_cp},
    {-18, kAttention, "Não foi possível abrir arquivo INTPOS.001 !"_cp},
    {-19, kAttention, "Parâmetro diferentes !"_cp},
    {-20, kAttention, "Transação cancelada pelo Operador !"_cp},
    {-21, kAttention, "A Transação não foi aprovada !"_cp},
    {-22, kAttention, "Não foi possível terminal a Impressão !"_cp},
    {-23, kAttention, "Não foi possível terminal a Operação !"_cp},
    {-24, kAttention, "Forma de pagamento não programada."_cp},
    {-25, kAttention, "Totalizador não fiscal não programado."_cp},
    {-26, kAttention, "Transação já Efetuada !"_cp},
    {-28, kAttention, "Não há Informações para serem Impressas !"_cp},
};

constexpr int32_t kAck = 6;
constexpr int32_t kNak = 21;

struct Status {
  int32_t ack = 0, st1 = 0, st2 = 0;
};

Status bematech_status() {
  Status s;
  seam::api().Bematech_FI_RetornoImpressora(&s.ack, &s.st1, &s.st2);
  return s;
}

// The fourth byte is received and never examined.
Status sweda_status() {
  Status s;
  int32_t st3 = 0;
  seam::api().ECF_RetornoImpressoraMFD(&s.ack, &s.st1, &s.st2, &st3);
  return s;
}

// Models without a status call read as all zero.
Status printer_status(Model model) {
  if (is_bematech(model)) return bematech_status();
  if (model == Model::Sweda7000) return sweda_status();
  return {};
}

// One box per set bit, highest bit of ST1 first; leaves only bit 0 in ST2.
void report_status_bits(Status &status) {
  take_status_bits(status.st1, status.st2, [](const StatusBit &bit) {
    if (bit.text.empty()) return;
    msg::release_input();
    msg::box(bit.text, kAttention.text, kAttention.flags);
  });
}

void report_return_code(int32_t code) {
  for (const ReturnCode &row : kReturnCodes) {
    if (row.code != code) continue;
    msg::release_input();
    msg::box(row.text, row.caption.text, row.caption.flags);
    return;
  }
}

}  // namespace

bool retorna_impressora(Model model) {
  Status status = printer_status(model);
  if (status.ack == kAck) {
    report_status_bits(status);
  } else if (status.ack == kNak) {
    msg::release_input();
    msg::notice("Atenção!!!\r\nA Impressora retornou NAK."_cp);
    return false;
  }
  return status.st2 == 0;
}

bool analisa_iretorno(Model model, int32_t code) {
  const bool ok = code == 1 && retorna_impressora(model);
  if (!ok) {
    msg::release_input();
    msg::info("Comando não executado!\r\nFavor verificar a ECF!"_cp);
  }
  report_return_code(code);
  return ok;
}

}  // namespace kalpo::makers
