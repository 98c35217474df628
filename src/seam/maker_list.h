// Every function of the printer makers' libraries that KALPO calls, one line
// each, grouped by library.  This list is the maker seam's single source: the
// native binding, the trace's wrappers, the recording fakes of the tests and
// the answering seams of the benchmarks and fuzz targets all expand it.
//
// Each entry: LIBRARY(return type, name, (parameters), (argument names)).
// Texts are const char * (char * where the maker writes into a buffer),
// integers int32_t, a character by value char.  On Windows every function is
// __stdcall and exported under its undecorated name.
//
// Expanders define the library macros they need before including this file;
// undefined ones expand to nothing.  An expander that treats every library
// alike defines KALPO_MAKER_EACH instead of the eight library macros; one
// that needs each function's library by name defines
// KALPO_MAKER_OF(library, ret, name, params, args), the library named as its
// row of maker_libraries.h (the makers' libraries, their files and their
// answers when off) names it.

#ifdef KALPO_MAKER_OF
#define KALPO_BEMAFI32(ret, name, params, args) KALPO_MAKER_OF(bemafi32, ret, name, params, args)
#define KALPO_CONVECF(ret, name, params, args) KALPO_MAKER_OF(convecf, ret, name, params, args)
#define KALPO_FS345(ret, name, params, args) KALPO_MAKER_OF(fs345_32, ret, name, params, args)
#define KALPO_DARUMA32(ret, name, params, args) KALPO_MAKER_OF(daruma32, ret, name, params, args)
#define KALPO_ECF32M(ret, name, params, args) KALPO_MAKER_OF(ecf32m, ret, name, params, args)
#define KALPO_DLLG2(ret, name, params, args) KALPO_MAKER_OF(dllg2, ret, name, params, args)
#define KALPO_DLLG2_GERADOR(ret, name, params, args) KALPO_MAKER_OF(dllg2_gerador, ret, name, params, args)
#define KALPO_EPSON(ret, name, params, args) KALPO_MAKER_OF(interfaceepson, ret, name, params, args)
#endif

#ifdef KALPO_MAKER_EACH
#define KALPO_BEMAFI32 KALPO_MAKER_EACH
#define KALPO_CONVECF KALPO_MAKER_EACH
#define KALPO_FS345 KALPO_MAKER_EACH
#define KALPO_DARUMA32 KALPO_MAKER_EACH
#define KALPO_ECF32M KALPO_MAKER_EACH
#define KALPO_DLLG2 KALPO_MAKER_EACH
#define KALPO_DLLG2_GERADOR KALPO_MAKER_EACH
#define KALPO_EPSON KALPO_MAKER_EACH
#endif

#ifndef KALPO_BEMAFI32
#define KALPO_BEMAFI32(ret, name, params, args)
#endif
#ifndef KALPO_CONVECF
#define KALPO_CONVECF(ret, name, params, args)
#endif
#ifndef KALPO_FS345
#define KALPO_FS345(ret, name, params, args)
#endif
#ifndef KALPO_DARUMA32
#define KALPO_DARUMA32(ret, name, params, args)
#endif
#ifndef KALPO_ECF32M
#define KALPO_ECF32M(ret, name, params, args)
#endif
#ifndef KALPO_DLLG2
#define KALPO_DLLG2(ret, name, params, args)
#endif
#ifndef KALPO_DLLG2_GERADOR
#define KALPO_DLLG2_GERADOR(ret, name, params, args)
#endif
#ifndef KALPO_EPSON
#define KALPO_EPSON(ret, name, params, args)
#endif

// bemafi32: BEMATECHMP20, BEMATECHMFD
KALPO_BEMAFI32(int32_t, Bematech_FI_AbreCupom, (const char *cpf), (cpf))
KALPO_BEMAFI32(int32_t, Bematech_FI_NumeroCupom, (char *numero), (numero))
KALPO_BEMAFI32(int32_t, Bematech_FI_LinhasEntreCupons, (int32_t linhas), (linhas))
KALPO_BEMAFI32(int32_t, Bematech_FI_AtivaDesativaCorteProximoMFD, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_VendeItemDepartamento,
               (const char *codigo, const char *descricao, const char *aliquota, const char *valor_unitario,
                const char *quantidade, const char *acrescimo, const char *desconto, const char *departamento,
                const char *unidade),
               (codigo, descricao, aliquota, valor_unitario, quantidade, acrescimo, desconto, departamento, unidade))
KALPO_BEMAFI32(int32_t, Bematech_FI_IniciaFechamentoCupom,
               (const char *acrescimo_desconto, const char *tipo, const char *valor), (acrescimo_desconto, tipo, valor))
KALPO_BEMAFI32(int32_t, Bematech_FI_EfetuaFormaPagamento, (const char *forma, const char *valor), (forma, valor))
KALPO_BEMAFI32(int32_t, Bematech_FI_TerminaFechamentoCupom, (const char *mensagem), (mensagem))
KALPO_BEMAFI32(int32_t, Bematech_FI_CancelaItemGenerico, (const char *item), (item))
KALPO_BEMAFI32(int32_t, Bematech_FI_CancelaCupom, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_RetornoImpressora, (int32_t * ack, int32_t *st1, int32_t *st2), (ack, st1, st2))
KALPO_BEMAFI32(int32_t, Bematech_FI_AbreComprovanteNaoFiscalVinculado,
               (const char *forma, const char *valor, const char *coo), (forma, valor, coo))
KALPO_BEMAFI32(int32_t, Bematech_FI_UsaComprovanteNaoFiscalVinculado, (const char *texto), (texto))
KALPO_BEMAFI32(int32_t, Bematech_FI_FechaComprovanteNaoFiscalVinculado, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_RelatorioGerencial, (const char *texto), (texto))
KALPO_BEMAFI32(int32_t, Bematech_FI_FechaRelatorioGerencial, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_LeituraX, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_ReducaoZ, (const char *data, const char *hora), (data, hora))
KALPO_BEMAFI32(int32_t, Bematech_FI_AberturaDoDia, (const char *valor, const char *forma), (valor, forma))
KALPO_BEMAFI32(int32_t, Bematech_FI_LeituraMemoriaFiscalData, (const char *inicio, const char *fim), (inicio, fim))
KALPO_BEMAFI32(int32_t, Bematech_FI_LeituraMemoriaFiscalReducao, (const char *inicio, const char *fim), (inicio, fim))
KALPO_BEMAFI32(int32_t, Bematech_FI_NumeroSerie, (char *numero), (numero))
KALPO_BEMAFI32(int32_t, Bematech_FI_NumeroSerieMFD, (char *numero), (numero))
KALPO_BEMAFI32(int32_t, Bematech_FI_VersaoFirmware, (char *versao), (versao))
KALPO_BEMAFI32(int32_t, Bematech_FI_GrandeTotal, (char *total), (total))
KALPO_BEMAFI32(int32_t, Bematech_FI_DataHoraImpressora, (char *data, char *hora), (data, hora))
KALPO_BEMAFI32(int32_t, Bematech_FI_RelatorioTipo60Mestre, (), ())
KALPO_BEMAFI32(int32_t, Bematech_FI_RetornoAliquotas, (char *aliquotas), (aliquotas))
KALPO_BEMAFI32(int32_t, Bematech_FI_VerificaTotalizadoresParciais, (char *totais), (totais))
KALPO_BEMAFI32(int32_t, Bematech_FI_VerificaEstadoImpressora, (int32_t * ack, int32_t *st1, int32_t *st2),
               (ack, st1, st2))
KALPO_BEMAFI32(int32_t, Bematech_FI_AcionaGaveta, (), ())

// convecf: SWEDA7000
KALPO_CONVECF(int32_t, ECF_FechaPortaSerial, (), ())
KALPO_CONVECF(int32_t, ECF_RetornoImpressoraMFD, (int32_t * ack, int32_t *st1, int32_t *st2, int32_t *st3),
              (ack, st1, st2, st3))
KALPO_CONVECF(int32_t, ECF_AbreCupomMFD, (const char *cpf, const char *nome, const char *endereco),
              (cpf, nome, endereco))
KALPO_CONVECF(int32_t, ECF_NumeroCupom, (char *numero), (numero))
KALPO_CONVECF(int32_t, ECF_VendeItem,
              (const char *codigo, const char *descricao, const char *aliquota, const char *tipo_quantidade,
               const char *quantidade, int32_t casas_decimais, const char *valor_unitario, const char *tipo_desconto,
               const char *desconto),
              (codigo, descricao, aliquota, tipo_quantidade, quantidade, casas_decimais, valor_unitario, tipo_desconto,
               desconto))
KALPO_CONVECF(int32_t, ECF_IniciaFechamentoCupom, (const char *acrescimo_desconto, const char *tipo, const char *valor),
              (acrescimo_desconto, tipo, valor))
KALPO_CONVECF(int32_t, ECF_EfetuaFormaPagamento, (const char *forma, const char *valor), (forma, valor))
KALPO_CONVECF(int32_t, ECF_TerminaFechamentoCupom, (const char *mensagem), (mensagem))
KALPO_CONVECF(int32_t, ECF_CancelaItemGenerico, (const char *item), (item))
KALPO_CONVECF(int32_t, ECF_CancelaCupom, (), ())
KALPO_CONVECF(int32_t, ECF_AbreComprovanteNaoFiscalVinculado, (const char *forma, const char *valor, const char *coo),
              (forma, valor, coo))
KALPO_CONVECF(int32_t, ECF_UsaComprovanteNaoFiscalVinculado, (const char *texto), (texto))
KALPO_CONVECF(int32_t, ECF_FechaComprovanteNaoFiscalVinculado, (), ())
KALPO_CONVECF(int32_t, ECF_LeituraX, (), ())
KALPO_CONVECF(int32_t, ECF_ReducaoZ, (const char *data, const char *hora), (data, hora))
KALPO_CONVECF(int32_t, ECF_NumeroSerie, (char *numero), (numero))
KALPO_CONVECF(int32_t, ECF_VersaoFirmware, (char *versao), (versao))

// fs345_32: SIGTRONFS345
KALPO_FS345(int32_t, DAR_AbreSerial, (const char *porta), (porta))
KALPO_FS345(int32_t, DAR_Erro, (), ())
KALPO_FS345(int32_t, DAR_Resposta, (char *resposta, int32_t tamanho), (resposta, tamanho))
KALPO_FS345(int32_t, DAR_AbreCupomFiscal, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_DescPreUn3dF53,
            (const char *aliquota, const char *codigo, int32_t tipo_desconto, const char *desconto, const char *preco,
             const char *quantidade, const char *unidade, const char *descricao, int32_t modo),
            (aliquota, codigo, tipo_desconto, desconto, preco, quantidade, unidade, descricao, modo))
KALPO_FS345(int32_t, DAR_Totaliza, (int32_t tipo, const char *valor, int32_t modo), (tipo, valor, modo))
KALPO_FS345(int32_t, DAR_DescFormPag, (char forma, const char *valor, const char *texto, int32_t modo),
            (forma, valor, texto, modo))
KALPO_FS345(int32_t, DAR_FechaCupom, (const char *mensagem, int32_t modo), (mensagem, modo))
KALPO_FS345(int32_t, DAR_CancelaItem, (const char *item, int32_t modo), (item, modo))
KALPO_FS345(int32_t, DAR_LeEstadoDoc, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_CancelaDoc, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_AbreCNFV, (char forma, char forma2, const char *coo, const char *valor, int32_t modo),
            (forma, forma2, coo, valor, modo))
KALPO_FS345(int32_t, DAR_LinhaX, (const char *texto, int32_t modo), (texto, modo))
KALPO_FS345(int32_t, DAR_FechaX, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_AbreX, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_LeituraX, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_ReducaoZ, (const char *data_hora, int32_t modo), (data_hora, modo))
KALPO_FS345(int32_t, DAR_LeIdent, (int32_t modo), (modo))
KALPO_FS345(int32_t, DAR_AbreGaveta, (), ())

// daruma32: DARUMA32
KALPO_DARUMA32(int32_t, Daruma_Registry_Porta, (const char *porta), (porta))
KALPO_DARUMA32(int32_t, Daruma_FI_RetornoImpressora, (int32_t * ack, int32_t *st1, int32_t *st2), (ack, st1, st2))
KALPO_DARUMA32(int32_t, Daruma_FI_RetornaErroExtendido, (char *erro), (erro))
KALPO_DARUMA32(int32_t, Daruma_FI_AbreCupom, (const char *cpf), (cpf))
KALPO_DARUMA32(int32_t, Daruma_FI_NumeroCupom, (char *numero), (numero))
KALPO_DARUMA32(int32_t, Daruma_FI_VendeItem,
               (const char *codigo, const char *descricao, const char *aliquota, const char *tipo_quantidade,
                const char *quantidade, int32_t casas_decimais, const char *valor_unitario, const char *tipo_desconto,
                const char *desconto),
               (codigo, descricao, aliquota, tipo_quantidade, quantidade, casas_decimais, valor_unitario, tipo_desconto,
                desconto))
KALPO_DARUMA32(int32_t, Daruma_FI_IniciaFechamentoCupom,
               (const char *acrescimo_desconto, const char *tipo, const char *valor), (acrescimo_desconto, tipo, valor))
KALPO_DARUMA32(int32_t, Daruma_FI_EfetuaFormaPagamento, (const char *forma, const char *valor), (forma, valor))
KALPO_DARUMA32(int32_t, Daruma_FI_TerminaFechamentoCupom, (const char *mensagem), (mensagem))
KALPO_DARUMA32(int32_t, Daruma_FI_CancelaCupom, (), ())
KALPO_DARUMA32(int32_t, Daruma_FI_AbreComprovanteNaoFiscalVinculado,
               (const char *forma, const char *valor, const char *coo), (forma, valor, coo))
KALPO_DARUMA32(int32_t, Daruma_FI_EnviarTextoCNF, (const char *texto), (texto))
KALPO_DARUMA32(int32_t, Daruma_TEF_FechaRelatorio, (), ())
KALPO_DARUMA32(int32_t, Daruma_FI_AbreRelatorioGerencial, (), ())
KALPO_DARUMA32(int32_t, Daruma_FI_LeituraX, (), ())
KALPO_DARUMA32(int32_t, Daruma_FI_ReducaoZ, (const char *data, const char *hora), (data, hora))
KALPO_DARUMA32(int32_t, Daruma_FI_NumeroSerie, (char *numero), (numero))
KALPO_DARUMA32(int32_t, Daruma_FI_VersaoFirmware, (char *versao), (versao))
KALPO_DARUMA32(int32_t, Daruma_FI_AcionaGaveta, (), ())

// ecf32m: DIGIARTE1E.  ObtemRetorno fills a length-prefixed text of
// 256 bytes (one length byte, up to 255 characters).
KALPO_ECF32M(int32_t, OpenCif, (), ())
KALPO_ECF32M(int32_t, CloseCif, (), ())
KALPO_ECF32M(int32_t, ObtemRetorno, (char *retorno), (retorno))
KALPO_ECF32M(int32_t, EcfPar, (const char *codigo), (codigo))
KALPO_ECF32M(int32_t, AbreCupomFiscal, (), ())
KALPO_ECF32M(int32_t, VendaItem,
             (int32_t tipo_quantidade, const char *quantidade, const char *preco, const char *aliquota,
              int32_t tipo_desconto, const char *desconto, const char *unidade, const char *codigo, int32_t tipo_codigo,
              const char *descricao, const char *complemento),
             (tipo_quantidade, quantidade, preco, aliquota, tipo_desconto, desconto, unidade, codigo, tipo_codigo,
              descricao, complemento))
KALPO_ECF32M(int32_t, TotalizarCupom, (int32_t operacao, int32_t tipo, const char *valor, const char *texto),
             (operacao, tipo, valor, texto))
KALPO_ECF32M(int32_t, Pagamento, (const char *forma, const char *valor, int32_t modo), (forma, valor, modo))
KALPO_ECF32M(int32_t, FechaCupomFiscal, (const char *cabecalho, const char *mensagem), (cabecalho, mensagem))
KALPO_ECF32M(int32_t, CancelaCupomFiscal, (), ())
KALPO_ECF32M(int32_t, LeituraX, (int32_t modo), (modo))
KALPO_ECF32M(int32_t, ReducaoZ, (int32_t modo), (modo))
KALPO_ECF32M(int32_t, LeMemFiscalData, (const char *inicio, const char *fim, const char *modo), (inicio, fim, modo))
KALPO_ECF32M(int32_t, LeMemFiscalReducao, (const char *inicio, const char *fim, const char *modo), (inicio, fim, modo))

// dllg2: ELGINFIT, DATAREGISQUICK, DATAREGISSERIAL (the command driver)
KALPO_DLLG2(int32_t, DLLG2_IniciaDriver, (const char *porta), (porta))
KALPO_DLLG2(int32_t, DLLG2_SetaArquivoLog, (const char *arquivo), (arquivo))
KALPO_DLLG2(int32_t, DLLG2_DefineTimeout, (int32_t handle, int32_t segundos), (handle, segundos))
KALPO_DLLG2(int32_t, DLLG2_LimpaParams, (int32_t handle), (handle))
KALPO_DLLG2(int32_t, DLLG2_AdicionaParam, (int32_t handle, const char *nome, const char *valor, int32_t tipo),
            (handle, nome, valor, tipo))
KALPO_DLLG2(int32_t, DLLG2_ExecutaComando, (int32_t handle, const char *comando), (handle, comando))
KALPO_DLLG2(int32_t, DLLG2_ObtemCodErro, (int32_t handle), (handle))
KALPO_DLLG2(int32_t, DLLG2_Retorno,
            (int32_t handle, int32_t indice, const char *nome, int32_t tipo, char *buffer, int32_t tamanho),
            (handle, indice, nome, tipo, buffer, tamanho))
KALPO_DLLG2(const char *, DLLG2_ObtemRetornos, (int32_t handle, const char *filtro, int32_t opcoes),
            (handle, filtro, opcoes))
KALPO_DLLG2(int32_t, DLLG2_EncerraDriver, (int32_t handle), (handle))

// dllg2_gerador: the fiscal-file generator
KALPO_DLLG2_GERADOR(int32_t, Gera_AtoCotepe1704,
                    (const char *porta, const char *modelo, const char *arquivo, const char *dia),
                    (porta, modelo, arquivo, dia))

// interfaceepson: EPSON
KALPO_EPSON(int32_t, EPSON_Serial_Abrir_Porta, (int32_t velocidade, int32_t porta), (velocidade, porta))
KALPO_EPSON(int32_t, EPSON_Serial_Fechar_Porta, (), ())
KALPO_EPSON(int32_t, EPSON_Obter_Estado_Impressora, (char *estado), (estado))
KALPO_EPSON(int32_t, EPSON_Fiscal_Abrir_Cupom,
            (const char *cpf, const char *nome, const char *endereco, const char *reservado, int32_t modo),
            (cpf, nome, endereco, reservado, modo))
KALPO_EPSON(int32_t, EPSON_Fiscal_Vender_Item,
            (const char *codigo, const char *descricao, const char *quantidade, int32_t casas_quantidade,
             const char *unidade, const char *preco, int32_t casas_preco, const char *aliquota, int32_t linhas),
            (codigo, descricao, quantidade, casas_quantidade, unidade, preco, casas_preco, aliquota, linhas))
KALPO_EPSON(int32_t, EPSON_Fiscal_Pagamento,
            (const char *forma, const char *valor, int32_t casas, const char *descricao1, const char *descricao2),
            (forma, valor, casas, descricao1, descricao2))
KALPO_EPSON(int32_t, EPSON_Fiscal_Fechar_Cupom, (int32_t cortar, int32_t adicional), (cortar, adicional))
KALPO_EPSON(int32_t, EPSON_Fiscal_Cancelar_Item, (const char *item), (item))
KALPO_EPSON(int32_t, EPSON_Fiscal_Cancelar_Cupom, (), ())
KALPO_EPSON(int32_t, EPSON_RelatorioFiscal_LeituraX, (), ())
KALPO_EPSON(int32_t, EPSON_RelatorioFiscal_RZ, (const char *data, const char *hora, int32_t opcao, char *resposta),
            (data, hora, opcao, resposta))
KALPO_EPSON(int32_t, EPSON_RelatorioFiscal_Abrir_Dia, (), ())

#undef KALPO_BEMAFI32
#undef KALPO_CONVECF
#undef KALPO_FS345
#undef KALPO_DARUMA32
#undef KALPO_ECF32M
#undef KALPO_DLLG2
#undef KALPO_DLLG2_GERADOR
#undef KALPO_EPSON
#undef KALPO_MAKER_EACH
#undef KALPO_MAKER_OF
