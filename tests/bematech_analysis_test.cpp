#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

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

Script status(int32_t ack, int32_t st1, int32_t st2) {
  return [=](Fake &f) { script_status(f, {ack, st1, st2}); };
}

// The row's argument: the return code analysed.
TEST(BematechAnalysis, TranscriptPerCodeAndStatus) {
  const std::vector<Row> rows = {
      {"clean status", "BEMATECHMP20", status(6, 0, 0), 1, {kBema}, {"1"}},
      {"paper end, bit 64 silent",
       "BEMATECHMFD",
       status(6, 0xC0, 0),
       1,
       {kBema, kFree, attention("Fim do Papel!")},
       {"1"}},
      {"ST2 bit 0 fails after its box",
       "BEMATECHMP20",
       status(6, 0, 0x81),
       0,
       {kBema, kFree, attention("Tipo de parâmetros inválido!"), kFree, kNotDone},
       {"1"}},
      {"NAK", "BEMATECHMP20", status(21, 0xFF, 0), 0, {kBema, kFree, kNak, kFree, kNotDone}, {"1"}},
      {"neither ACK nor NAK: ST2 untouched must be 0", "BEMATECHMP20", status(0, 0xFF, 0), 1, {kBema}, {"1"}},
      {"neither ACK nor NAK with ST2 set", "BEMATECHMP20", status(0, 0, 2), 0, {kBema, kFree, kNotDone}, {"1"}},
      {"Sweda takes four integers",
       "SWEDA7000",
       status(6, 4, 0),
       1,
       {kSweda, kFree, attention("Comando inexistente!")},
       {"1"}},
      {"Sweda NAK", "SWEDA7000", status(21, 0, 0), 0, {kSweda, kFree, kNak, kFree, kNotDone}, {"1"}},
      {"code 0: dialog then its own box",
       "BEMATECHMP20",
       status(6, 0, 0),
       0,
       {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Comunicação !"},
       {"0"}},
      {"code -3 has an attention box",
       "SWEDA7000",
       status(6, 0, 0),
       0,
       {kFree, kNotDone, kFree, attention("Alíquota não programada !")},
       {"-3"}},
      {"code without a message", "BEMATECHMP20", status(6, 0, 0), 0, {kFree, kNotDone}, {"-27"}},
      {"another code without a message", "BEMATECHMFD", status(6, 0, 0), 0, {kFree, kNotDone}, {"-10"}},
      {"positive code other than 1", "BEMATECHMFD", status(6, 0, 0), 0, {kFree, kNotDone}, {"2"}},
      {"other model makes no status call", "DARUMA32", status(21, 0, 1), 1, {}, {"1"}},
      {"other model, failing code",
       "EPSON",
       status(6, 0, 0),
       0,
       {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Execução na Função. Verifique!"},
       {"-1"}},
  };
  run(rows, [](const Row &r) { return KALPO_Analisa_iRetorno(r.model, std::stoi(r.arg())); });
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
  const std::vector<Row> rows = {
      {"bematech NAK", "BEMATECHMP20", status(21, 0, 0), 0, {kBema, kFree, kNak}},
      {"sweda ST2 bit 0", "SWEDA7000", status(6, 0, 1), 0, {kSweda}},
      {"sweda clean", "SWEDA7000", status(6, 0, 0), 1, {kSweda}},
      {"sigtron has no status call", "SIGTRONFS345", status(21, 0, 1), 1, {}},
      {"lower-case identifier", "bematechmp20", status(21, 0, 1), 1, {}},
  };
  run(rows, [](const Row &r) { return KALPO_retorna_impressora(r.model); });
}

TEST(BematechAnalysis, ReturnCodeTable) {
  struct Sample {
    int32_t code;
    const char *box;
  };
  const Sample sample[] = {
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
  for (const Sample &r : sample) {
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
