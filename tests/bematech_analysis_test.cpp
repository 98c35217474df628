#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"

namespace {

using kalpo::test::Call;
using kalpo::test::Fake;
using Lines = std::vector<std::string>;

struct Status {
  int32_t ack = 0, st1 = 0, st2 = 0;
};

void script_status(Fake &fake, Status s) {
  auto fill = [s](Call &c) {
    c.set_int(0, s.ack);
    c.set_int(1, s.st1);
    c.set_int(2, s.st2);
    c.result = 1;
  };
  fake.on("Bematech_FI_RetornoImpressora", fill);
  fake.on("ECF_RetornoImpressoraMFD", [fill](Call &c) {
    fill(c);
    c.set_int(3, 255);
  });
}

const std::string kBema = "Bematech_FI_RetornoImpressora(&0, &0, &0)";
const std::string kSweda = "ECF_RetornoImpressoraMFD(&0, &0, &0, &0)";
const std::string kFree = "BlockInput(FALSE)";
const std::string kNotDone = "dialog: Comando não executado!\\r\\nFavor verificar a ECF!";
const std::string kNak = "notice: Atenção!!!\\r\\nA Impressora retornou NAK.";

std::string attention(const std::string &text) { return "box[Atenção/64]: " + text; }

struct Case {
  const char *name;
  const char *model;
  int32_t code;
  Status status;
  Lines lines;
  bool result;
};

TEST(BematechAnalysis, TranscriptPerCodeAndStatus) {
  // clang-format off
  const Case cases[] = {
      {"clean status", "BEMATECHMP20", 1, {6, 0, 0}, {kBema}, true},
      {"paper end, bit 64 silent", "BEMATECHMFD", 1, {6, 0xC0, 0}, {kBema, kFree, attention("Fim do Papel!")}, true},
      {"ST2 bit 0 fails after its box", "BEMATECHMP20", 1, {6, 0, 0x81},
        {kBema, kFree, attention("Tipo de parâmetros inválido!"), kFree, kNotDone}, false},
      {"NAK", "BEMATECHMP20", 1, {21, 0xFF, 0}, {kBema, kFree, kNak, kFree, kNotDone}, false},
      {"neither ACK nor NAK: ST2 untouched must be 0", "BEMATECHMP20", 1, {0, 0xFF, 0}, {kBema}, true},
      {"neither ACK nor NAK with ST2 set", "BEMATECHMP20", 1, {0, 0, 2}, {kBema, kFree, kNotDone}, false},
      {"Sweda takes four integers", "SWEDA7000", 1, {6, 4, 0},
        {kSweda, kFree, attention("Comando inexistente!")}, true},
      {"Sweda NAK", "SWEDA7000", 1, {21, 0, 0}, {kSweda, kFree, kNak, kFree, kNotDone}, false},
      {"code 0: dialog then its own box", "BEMATECHMP20", 0, {6, 0, 0},
        {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Comunicação !"}, false},
      {"code -3 has an attention box", "SWEDA7000", -3, {6, 0, 0},
        {kFree, kNotDone, kFree, attention("Alíquota não programada !")}, false},
      {"code without a message", "BEMATECHMP20", -27, {6, 0, 0}, {kFree, kNotDone}, false},
      {"another code without a message", "BEMATECHMFD", -10, {6, 0, 0}, {kFree, kNotDone}, false},
      {"positive code other than 1", "BEMATECHMFD", 2, {6, 0, 0}, {kFree, kNotDone}, false},
      {"other model makes no status call", "DARUMA32", 1, {21, 0, 1}, {}, true},
      {"other model, failing code", "EPSON", -1, {6, 0, 0},
        {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Execução na Função. Verifique!"}, false},
  };
  // clang-format on
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    Fake fake;
    script_status(fake, c.status);
    EXPECT_EQ(KALPO_Analisa_iRetorno(c.model, c.code), c.result ? 1 : 0);
    EXPECT_EQ(fake.lines, c.lines);
  }
}

TEST(BematechAnalysis, EveryStatusBitInOrder) {
  struct Bit {
    bool second;
    int32_t value;
    const char *text;  // null: cleared without a message
  };
  const Bit bits[] = {
      {false, 128, "Fim do Papel!"},
      {false, 64, nullptr},
      {false, 32, "Erro no relógio"},
      {false, 16, "Impressora em erro"},
      {false, 8, "Comando não iniciado com <ESC>"},
      {false, 4, "Comando inexistente!"},
      {false, 2, "Cupom aberto!"},
      {false, 1, "Número de parâmetros inválido!"},
      {true, 128, "Tipo de parâmetros inválido!"},
      {true, 64, "Memória fiscal Lotada!"},
      {true, 32, "CMOS não volátil!"},
      {true, 16, "Alíquota não programada!"},
      {true, 8, "Alíquotas lotadas!"},
      {true, 4, "Cancelamento não permitido!"},
      {true, 2, "CGC/IE não programadas!"},
  };
  // One bit at a time: its box alone, and the command stands.
  for (const Bit &b : bits) {
    SCOPED_TRACE(b.value);
    Fake fake;
    script_status(fake, {6, b.second ? 0 : b.value, b.second ? b.value : 0});
    EXPECT_EQ(KALPO_retorna_impressora("BEMATECHMP20"), 1);
    Lines expected{kBema};
    if (b.text) expected.insert(expected.end(), {kFree, attention(b.text)});
    EXPECT_EQ(fake.lines, expected);
  }
  // All bits at once: every box, highest bit of ST1 first, then bit 0 fails.
  Fake fake;
  script_status(fake, {6, 0xFF, 0xFF});
  EXPECT_EQ(KALPO_Analisa_iRetorno("BEMATECHMFD", 1), 0);
  Lines expected{kBema};
  for (const Bit &b : bits) {
    if (b.text) expected.insert(expected.end(), {kFree, attention(b.text)});
  }
  expected.insert(expected.end(), {kFree, kNotDone});
  EXPECT_EQ(fake.lines, expected);
}

TEST(BematechAnalysis, StatusWithoutAnalysisOfTheCode) {
  struct Row {
    const char *model;
    Status status;
    Lines lines;
    bool result;
  };
  const Row rows[] = {
      {"BEMATECHMP20", {21, 0, 0}, {kBema, kFree, kNak}, false},
      {"SWEDA7000", {6, 0, 1}, {kSweda}, false},
      {"SWEDA7000", {6, 0, 0}, {kSweda}, true},
      {"SIGTRONFS345", {21, 0, 1}, {}, true},
      {"bematechmp20", {21, 0, 1}, {}, true},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.model);
    Fake fake;
    script_status(fake, r.status);
    EXPECT_EQ(KALPO_retorna_impressora(r.model), r.result ? 1 : 0);
    EXPECT_EQ(fake.lines, r.lines);
  }
}

TEST(BematechAnalysis, ReturnCodeTable) {
  struct Row {
    int32_t code;
    const char *box;
  };
  const Row sample[] = {
      {-1, "box[Erro/16]: Erro de Execução na Função. Verifique!"},
      {-2, "box[Erro/16]: Parâmetro Inválido !"},
      {-4, "box[Atenção/64]: Arquivo BemaFI32.INI não encontrado. Verifique!"},
      {-5, "box[Erro/16]: Erro ao Abrir a Porta de Comunicação"},
      {-6, "box[Atenção/64]: Impressora Desligada ou Desconectada"},
      {-7, "box[Atenção/64]: Banco Não Cadastrado no Arquivo BemaFI32.ini"},
      {-8, "box[Erro/16]: Erro ao Criar ou Gravar no Arquivo Retorno.txt ou Status.txt"},
      {-18, "box[Atenção/64]: Não foi possível abrir arquivo INTPOS.001 !"},
      {-19, "box[Atenção/64]: Parâmetro diferentes !"},
      {-20, "box[Atenção/64]: Transação cancelada pelo Operador !"},
      {-21, "box[Atenção/64]: A Transação não foi aprovada !"},
      {-22, "box[Atenção/64]: Não foi possível terminal a Impressão !"},
      {-23, "box[Atenção/64]: Não foi possível terminal a Operação !"},
      {-24, "box[Atenção/64]: Forma de pagamento não programada."},
      {-25, "box[Atenção/64]: Totalizador não fiscal não programado."},
      {-26, "box[Atenção/64]: Transação já Efetuada !"},
      {-28, "box[Atenção/64]: Não há Informações para serem Impressas !"},
  };
  for (const Row &r : sample) {
    SCOPED_TRACE(r.code);
    Fake fake;
    EXPECT_EQ(KALPO_Analisa_iRetorno("BEMATECHMP20", r.code), 0);
    EXPECT_EQ(fake.lines, (Lines{kFree, kNotDone, kFree, r.box}));
  }
  // Exactly 19 codes carry a box of their own.
  int boxes = 0;
  for (int32_t code = -100; code <= 100; ++code) {
    Fake fake;
    script_status(fake, {6, 0, 0});
    KALPO_Analisa_iRetorno("BEMATECHMP20", code);
    for (const std::string &line : fake.lines) boxes += line.rfind("box[", 0) == 0;
  }
  EXPECT_EQ(boxes, 19);
}

}  // namespace
