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
// The attention boxes of status bits, in turn.
Lines boxes(std::initializer_list<const char *> texts) {
  Lines out;
  for (const char *t : texts) out.insert(out.end(), {kFree, attention(t)});
  return out;
}
// A refused code with a box of its own.
Row code_box(const std::string &code, const std::string &box) {
  return {"code " + code, "BEMATECHMP20", nothing, 0, {kFree, kNotDone, kFree, box}, {code}};
}
// One status bit alone: its box, if any, and the command stands.
Row status_bit(const std::string &name, int32_t st1, int32_t st2, const char *text) {
  return {name, "BEMATECHMP20", status(6, st1, st2), 1, text ? Lines{kBema, kFree, attention(text)} : Lines{kBema}};
}

// The row's argument: the return code analysed.
TEST(BematechAnalysis, TranscriptPerCodeAndStatus) {
  // clang-format off
  const std::vector<Row> rows = {
      {"clean status", "BEMATECHMP20", status(6, 0, 0), 1, {kBema}, {"1"}},
      {"paper end, bit 64 silent", "BEMATECHMFD", status(6, 0xC0, 0), 1, {kBema, kFree, attention("Fim do Papel!")},
       {"1"}},
      {"ST2 bit 0 fails after its box", "BEMATECHMP20", status(6, 0, 0x81), 0,
       {kBema, kFree, attention("Tipo de parâmetros inválido!"), kFree, kNotDone}, {"1"}},
      {"NAK", "BEMATECHMP20", status(21, 0xFF, 0), 0, {kBema, kFree, kNak, kFree, kNotDone}, {"1"}},
      {"neither ACK nor NAK: ST2 untouched must be 0", "BEMATECHMP20", status(0, 0xFF, 0), 1, {kBema}, {"1"}},
      {"neither ACK nor NAK with ST2 set", "BEMATECHMP20", status(0, 0, 2), 0, {kBema, kFree, kNotDone}, {"1"}},
      {"Sweda takes four integers", "SWEDA7000", status(6, 4, 0), 1,
       {kSweda, kFree, attention("Comando inexistente!")}, {"1"}},
      {"Sweda NAK", "SWEDA7000", status(21, 0, 0), 0, {kSweda, kFree, kNak, kFree, kNotDone}, {"1"}},
      {"code 0: dialog then its own box", "BEMATECHMP20", status(6, 0, 0), 0,
       {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Comunicação !"}, {"0"}},
      {"code -3 has an attention box", "SWEDA7000", status(6, 0, 0), 0,
       {kFree, kNotDone, kFree, attention("Alíquota não programada !")}, {"-3"}},
      {"code without a message", "BEMATECHMP20", status(6, 0, 0), 0, {kFree, kNotDone}, {"-27"}},
      {"another code without a message", "BEMATECHMFD", status(6, 0, 0), 0, {kFree, kNotDone}, {"-10"}},
      {"positive code other than 1", "BEMATECHMFD", status(6, 0, 0), 0, {kFree, kNotDone}, {"2"}},
      {"other model makes no status call", "DARUMA32", status(21, 0, 1), 1, {}, {"1"}},
      {"other model, failing code", "EPSON", status(6, 0, 0), 0,
       {kFree, kNotDone, kFree, "box[Erro/16]: Erro de Execução na Função. Verifique!"}, {"-1"}},
      {"every status bit: every box, highest bit of ST1 first, then bit 0 fails",
       "BEMATECHMFD",
       status(6, 0xFF, 0xFF),
       0,
       cat(kBema,
           boxes({"Fim do Papel!", "Erro no relógio", "Impressora em erro", "Comando não iniciado com <ESC>",
                  "Comando inexistente!", "Cupom aberto!", "Número de parâmetros inválido!",
                  "Tipo de parâmetros inválido!", "Memória fiscal Lotada!", "CMOS não volátil!",
                  "Alíquota não programada!", "Alíquotas lotadas!", "Cancelamento não permitido!",
                  "CGC/IE não programadas!"}),
           kFree, kNotDone),
       {"1"}},
      code_box("-2", "box[Erro/16]: Parâmetro Inválido !"),
      code_box("-4", "box[Atenção/64]: Arquivo BemaFI32.INI não encontrado. Verifique!"),
      code_box("-5", "box[Erro/16]: Erro ao Abrir a Porta de Comunicação"),
      code_box("-6", "box[Atenção/64]: Impressora Desligada ou Desconectada"),
      code_box("-7", "box[Atenção/64]: Banco Não Cadastrado no Arquivo BemaFI32.ini"),
      code_box("-8", "box[Erro/16]: Erro ao Criar ou Gravar no Arquivo Retorno.txt ou Status.txt"),
      code_box("-18", "box[Atenção/64]: Não foi possível abrir arquivo INTPOS.001 !"),
      code_box("-19", "box[Atenção/64]: Parâmetro diferentes !"),
      code_box("-20", "box[Atenção/64]: Transação cancelada pelo Operador !"),
      code_box("-21", "box[Atenção/64]: A Transação não foi aprovada !"),
      code_box("-22", "box[Atenção/64]: Não foi possível terminal a Impressão !"),
      code_box("-23", "box[Atenção/64]: Não foi possível terminal a Operação !"),
      code_box("-24", "box[Atenção/64]: Forma de pagamento não programada."),
      code_box("-25", "box[Atenção/64]: Totalizador não fiscal não programado."),
      code_box("-26", "box[Atenção/64]: Transação já Efetuada !"),
      code_box("-28", "box[Atenção/64]: Não há Informações para serem Impressas !"),
  };
  // clang-format on
  run(rows, [](const Row &r) { return KALPO_Analisa_iRetorno(r.model, std::stoi(r.arg())); });
}

TEST(BematechAnalysis, StatusWithoutAnalysisOfTheCode) {
  // clang-format off
  const std::vector<Row> rows = {
      {"bematech NAK", "BEMATECHMP20", status(21, 0, 0), 0, {kBema, kFree, kNak}},
      {"sweda ST2 bit 0", "SWEDA7000", status(6, 0, 1), 0, {kSweda}},
      {"sweda clean", "SWEDA7000", status(6, 0, 0), 1, {kSweda}},
      {"sigtron has no status call", "SIGTRONFS345", status(21, 0, 1), 1, {}},
      {"lower-case identifier", "bematechmp20", status(21, 0, 1), 1, {}},
      status_bit("ST1 128", 128, 0, "Fim do Papel!"),
      status_bit("ST1 64 cleared silently", 64, 0, nullptr),
      status_bit("ST1 32", 32, 0, "Erro no relógio"),
      status_bit("ST1 16", 16, 0, "Impressora em erro"),
      status_bit("ST1 8", 8, 0, "Comando não iniciado com <ESC>"),
      status_bit("ST1 4", 4, 0, "Comando inexistente!"),
      status_bit("ST1 2", 2, 0, "Cupom aberto!"),
      status_bit("ST1 1", 1, 0, "Número de parâmetros inválido!"),
      status_bit("ST2 128", 0, 128, "Tipo de parâmetros inválido!"),
      status_bit("ST2 64", 0, 64, "Memória fiscal Lotada!"),
      status_bit("ST2 32", 0, 32, "CMOS não volátil!"),
      status_bit("ST2 16", 0, 16, "Alíquota não programada!"),
      status_bit("ST2 8", 0, 8, "Alíquotas lotadas!"),
      status_bit("ST2 4", 0, 4, "Cancelamento não permitido!"),
      status_bit("ST2 2", 0, 2, "CGC/IE não programadas!"),
  };
  // clang-format on
  run(rows, [](const Row &r) { return KALPO_retorna_impressora(r.model); });
}

TEST(BematechAnalysis, NineteenCodesHaveABox) {
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
