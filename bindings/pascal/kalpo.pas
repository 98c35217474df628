{ KALPO: one interface to every supported fiscal printer.
  Declarations for Delphi and Free Pascal: add this unit to the project and
  call the functions.  kalpo.dll (stdcall) on Windows, libkalpo.so (cdecl)
  elsewhere.

  Texts are NUL-terminated Windows-1252 (PAnsiChar); nil is an empty text.
  Out texts (var PAnsiChar) receive a pointer to a text owned by the library,
  valid until the next call into it: copy it (string(Texto)) to keep it.
  Programs whose strings are not Windows-1252 (Free Pascal with UTF-8
  sources, Delphi 2009 and later) convert them with KalpoTexto, and the
  library's texts back with KalpoDeTexto.
  Result flags are ByteBool: True for success.
  Calls must not overlap, and every operator message is modal on the calling
  thread. }
unit kalpo;

{$IFDEF FPC}
  {$MODE DELPHI}
  {$PACKRECORDS C}
{$ENDIF}
{$IFDEF MSWINDOWS} {$DEFINE KALPO_STDCALL} {$ENDIF}
{$IFDEF WINDOWS} {$DEFINE KALPO_STDCALL} {$ENDIF}
{ Compilers with UnicodeString and code-page-aware strings. }
{$IFDEF FPC} {$DEFINE KALPO_UNICODE} {$ENDIF}
{$IFDEF UNICODE} {$DEFINE KALPO_UNICODE} {$ENDIF}

interface

const
{$IFDEF KALPO_STDCALL}
  KalpoLib = 'kalpo.dll';
{$ELSE}
  KalpoLib = 'libkalpo.so';
{$ENDIF}

  { Message forms handed to a message handler. }
  KALPO_MSG_NOTICE = 0; { text and OK; caption nil, flags 0 }
  KALPO_MSG_DIALOG = 1; { typed dialog: flags $40 information/OK or $24 question/Yes-No }
  KALPO_MSG_BOX = 2;    { captioned box: flags $40 information or $10 stop, OK }

  { Buttons a handler returns. }
  KALPO_BTN_OK = 1;
  KALPO_BTN_YES = 6;
  KALPO_BTN_NO = 7;

type
  { A text-holding control of the caller's user interface.  Its lines are its
    text split at CR LF, lone CR or lone LF; a final line break adds no line. }
  TKalpoGetText = function(Context: Pointer): PAnsiChar;
    {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};
  TKalpoSetText = procedure(Context: Pointer; Text: PAnsiChar);
    {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};

  PKalpoTextControl = ^TKalpoTextControl;
  TKalpoTextControl = record
    Context: Pointer;
    GetText: TKalpoGetText;
    SetText: TKalpoSetText;
  end;

  { Receives every operator message; returns the button chosen. }
  TKalpoTratadorMensagem = function(Context: Pointer; Form: Integer; Text, Caption: PAnsiChar;
    Flags: Cardinal): Integer; {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};

{ Routes every operator message to Handler; nil restores the default (message
  boxes on Windows; elsewhere standard error, confirmations answered No). }
procedure KALPO_DefineTratadorMensagens(Handler: TKalpoTratadorMensagem; Context: Pointer);
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Frame }
function KALPO_Versao(var Versao: PAnsiChar): Integer;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Versao_Number(var Versao: PAnsiChar): Integer;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_RetListaECFS(var Lista: PAnsiChar): Integer;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_IniciaDriver: ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_FechaDriver(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_GravaRegistro(Porta: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Return analysis }
function KALPO_retorna_impressora(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Analisa_iRetorno(Modelo: PAnsiChar; Codigo: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
{ Resposta: the caller's buffer of at least 100 bytes, which is filled. }
function KALPO_Analisa_RetSigtronFS345(Codigo: Integer; Resposta: PAnsiChar; Tamanho: Integer;
  var Contagem: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Fiscal coupon }
function KALPO_AbreCupom(Modelo: PAnsiChar; var NumeroCupom: PAnsiChar; Nome, Endereco,
  Documento: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_VendaItem(Modelo, Codigo, Descricao, Aliquota, TipoQuantidade: PAnsiChar;
  Quantidade: Double; CasasDecimais: Integer; ValorUnitario: Double; TipoDesconto: PAnsiChar;
  NaoLido: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Inicia_Fechamento(Modelo: PAnsiChar; Desconto: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_desc_fechamento(Modelo: PAnsiChar; Desconto: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_forma_pagamento(Modelo, Forma: PAnsiChar; Valor: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_fecha_cupom(Modelo: PAnsiChar; Mensagem: PKalpoTextControl): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Cancela_Item(Modelo: PAnsiChar; Item: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Cancela_Ultimo_Cupom(Modelo: PAnsiChar; NaoLido1, NaoLido2: Pointer; var Contagem: Integer;
  var NumeroCupom, EstadoDocumento: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Linked vouchers and management reports }
function KALPO_cupom_vinculado(Modelo, Forma, NumeroCupom: PAnsiChar; Valor: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_usavinculado(Modelo, Texto: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_usavinculadotermica(Modelo: PAnsiChar; Texto: PKalpoTextControl): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_FechaCupomNaovinculado(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_AbreRelGerencial(Modelo, Texto, Codigo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_FechaGerencial(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Day reports and fiscal memory }
function KALPO_Leiturax(Modelo: PAnsiChar; NaoLido1, NaoLido2: Pointer; var Contagem: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Reducaoz(Modelo: PAnsiChar; NaoLido1, NaoLido2, NaoLido3: Pointer;
  var Contagem: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Abredia(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_HorarioVerao(Modelo, Acao: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
procedure KALPO_LeData(Modelo: PAnsiChar; var Data: PAnsiChar);
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_LeituraMemFiscal(Modelo, Inicio, Fim, Tipo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
{ Dia: a TDateTime (days since 30 December 1899; the fraction is the time). }
function KALPO_GeraCotepe(Modelo: PAnsiChar; Dia: Double): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_ImpressaoBobina(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{ Queries and device utilities }
function KALPO_MostraNumSerie(Modelo: PAnsiChar; var NumeroSerie: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_FirmWare(Modelo: PAnsiChar; var Versao: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_RetornaGT(Modelo: PAnsiChar; var GrandeTotal: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_DataHoraEcf(Modelo: PAnsiChar; var Data, Hora: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_NumeroCupom(Modelo: PAnsiChar; var NumeroCupom: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_NumReducao(Modelo: PAnsiChar; var Contador: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_ResumoAliq(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_TotalizadorParcial(Modelo: PAnsiChar; var Totais: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_VerificaEstadoECF(Modelo: PAnsiChar; var Ack, St1, St2: Integer): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_Cupom_Aberto(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;
function KALPO_AbreGaveta(Modelo: PAnsiChar): ByteBool;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF}; external KalpoLib;

{$IFDEF KALPO_UNICODE}
(* Texts for the library: the program's string as Windows-1252 bytes, to pass
  as PAnsiChar(KalpoTexto(...)) in the same statement.  With Free Pascal the
  source must say it is UTF-8 ({$codepage utf8} or -FcUTF8), so that
    KALPO_VendaItem(Modelo, '42', PAnsiChar(KalpoTexto('FEIJÃO')), '01', 'I', 1, 2, 9.9, '', 0)
  prints FEIJÃO.  A character Windows-1252 has no place for becomes '?'. *)
function KalpoTexto(const Texto: UnicodeString): AnsiString;
{ A text of the library (an out text, an operator message) as a string. }
function KalpoDeTexto(Texto: PAnsiChar): UnicodeString;
{$ENDIF}

implementation

{$IFDEF KALPO_UNICODE}
{ On Unix the C library's conversions turn the program's UTF-8 strings into
  UnicodeString. }
{$IFDEF UNIX} uses cwstring; {$ENDIF}

const
  { The characters of Windows-1252's bytes $80 to $9F; the five bytes it leaves
    undefined stand for the same code point, both ways. }
  Cp1252High: array[$80..$9F] of Word = (
    $20AC, $0081, $201A, $0192, $201E, $2026, $2020, $2021, $02C6, $2030, $0160, $2039, $0152, $008D, $017D, $008F,
    $0090, $2018, $2019, $201C, $201D, $2022, $2013, $2014, $02DC, $2122, $0161, $203A, $0153, $009D, $017E, $0178);

function Cp1252Byte(C: Word): Integer;
var
  B: Integer;
begin
  if (C < $80) or ((C >= $A0) and (C <= $FF)) then
    Exit(C);
  for B := Low(Cp1252High) to High(Cp1252High) do
    if Cp1252High[B] = C then
      Exit(B);
  Result := Ord('?');
end;

function KalpoTexto(const Texto: UnicodeString): AnsiString;
var
  I, N: Integer;
  C: Word;
begin
  SetLength(Result, Length(Texto));
  N := 0;
  I := 1;
  while I <= Length(Texto) do
  begin
    C := Ord(Texto[I]);
    Inc(N);
    Result[N] := AnsiChar(Cp1252Byte(C));
    { A character beyond the 16-bit plane is one '?', not two. }
    if (C >= $D800) and (C <= $DBFF) and (I < Length(Texto)) then
      Inc(I);
    Inc(I);
  end;
  SetLength(Result, N);
  SetCodePage(RawByteString(Result), 1252, False);
end;

function KalpoDeTexto(Texto: PAnsiChar): UnicodeString;
var
  I: Integer;
  B: Byte;
begin
  Result := '';
  if Texto = nil then
    Exit;
  I := 0;
  while Texto[I] <> #0 do
    Inc(I);
  SetLength(Result, I);
  for I := 1 to Length(Result) do
  begin
    B := Ord(Texto[I - 1]);
    if (B >= $80) and (B <= $9F) then
      Result[I] := WideChar(Cp1252High[B])
    else
      Result[I] := WideChar(B);
  end;
end;
{$ENDIF}

end.
