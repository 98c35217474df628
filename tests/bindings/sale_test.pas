{ A whole sale through the Pascal unit, as a Delphi or Free Pascal
  point-of-sale program makes it.  The model comes from KALPO_BINDING_MODEL
  (by default BEMATECHMP20). }
program sale_test;

{$MODE DELPHI}
{$CODEPAGE UTF8}
{$IFDEF MSWINDOWS} {$DEFINE KALPO_STDCALL} {$ENDIF}
{$IFDEF WINDOWS} {$DEFINE KALPO_STDCALL} {$ENDIF}

uses Classes, SysUtils, kalpo;

type
  TMessage = record
    Form: Integer;
    Text: AnsiString;
    HasCaption: Boolean;
    Flags: Cardinal;
  end;

var
  Failures: Integer = 0;
  Messages: array of TMessage;
  ControlReads: Integer = 0;
  Promo: AnsiString = 'Obrigado pela prefer'#$EA'ncia!';

procedure Check(Condition: Boolean; const What: string);
begin
  if not Condition then
  begin
    Inc(Failures);
    WriteLn(StdErr, 'failed: ', What);
  end;
end;

{ Byte for byte: a comparison of strings would convert their code pages. }
function SameBytes(const A, B: RawByteString): Boolean;
begin
  Result := (Length(A) = Length(B)) and ((A = '') or (CompareByte(A[1], B[1], Length(A)) = 0));
end;

{ The program's UTF-8 strings reach the library as Windows-1252 and its texts
  come back whole: each pair is a text and its bytes on the wire. }
procedure CheckConversions;
const
  Texts: array[0..3] of UnicodeString = ('FEIJÃO', 'Ação € “ok”', 'Ž‰', '中😀x');
  Wire: array[0..3] of RawByteString = ('FEIJ'#$C3'O', 'A'#$E7#$E3'o '#$80' '#$93'ok'#$94, #$8E#$89, '??x');
var
  I: Integer;
begin
  for I := Low(Texts) to High(Texts) do
  begin
    Check(SameBytes(KalpoTexto(Texts[I]), Wire[I]), 'KalpoTexto ' + IntToStr(I));
    if I < 3 then
      Check(KalpoDeTexto(PAnsiChar(KalpoTexto(Texts[I]))) = Texts[I], 'KalpoDeTexto ' + IntToStr(I));
  end;
  Check(KalpoDeTexto(nil) = '', 'KalpoDeTexto of nil');
end;

{ The paper of the Bematech virtual printer holds the Windows-1252 bytes. }
function TapeHas(const Bytes: RawByteString): Boolean;
var
  Tape: TStringList;
  Path: string;
begin
  Path := GetEnvironmentVariable('KALPO_SIM_DIR') + '/bemafi32/tape.txt';
  Result := False;
  if not FileExists(Path) then Exit;
  Tape := TStringList.Create;
  try
    Tape.LoadFromFile(Path);
    Result := Pos(Bytes, RawByteString(Tape.Text)) > 0; { both without a code page conversion }
  finally
    Tape.Free;
  end;
end;

function Record_(Context: Pointer; Form: Integer; Text, Caption: PAnsiChar; Flags: Cardinal): Integer;
  {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};
var
  M: TMessage;
begin
  M.Form := Form;
  M.Text := AnsiString(Text);
  M.HasCaption := Caption <> nil;
  M.Flags := Flags;
  SetLength(Messages, Length(Messages) + 1);
  Messages[High(Messages)] := M;
  Result := KALPO_BTN_OK;
end;

function GetPromo(Context: Pointer): PAnsiChar; {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};
begin
  Inc(ControlReads);
  Result := PAnsiChar(Promo);
end;

procedure SetPromo(Context: Pointer; Text: PAnsiChar); {$IFDEF KALPO_STDCALL}stdcall{$ELSE}cdecl{$ENDIF};
begin
  Promo := AnsiString(Text);
end;

var
  Model: AnsiString;
  Printer: Boolean;
  Texto, Numero: PAnsiChar;
  Control: TKalpoTextControl;
  I: Integer;
begin
  Model := AnsiString(GetEnvironmentVariable('KALPO_BINDING_MODEL'));
  if Model = '' then Model := 'BEMATECHMP20';
  Printer := (Model <> 'ECFZANTRELLO') and (Model <> 'NOTAFISCAL');
  CheckConversions;
  KALPO_DefineTratadorMensagens(Record_, nil);

  Texto := nil;
  Check(KALPO_Versao(Texto) = 0, 'KALPO_Versao result');
  Check(AnsiString(Texto) = 'KALPO_DLL Vers'#$E3'o 3.60', 'KALPO_Versao text');

  Numero := nil;
  Check(KALPO_AbreCupom(PAnsiChar(Model), Numero, 'Jos'#$E9' da Silva', 'Rua das Flores, 12', '12345678909'),
    'KALPO_AbreCupom');
  if Printer then
    Check((Numero <> nil) and (Length(AnsiString(Numero)) = 6) and (StrToIntDef(string(Numero), -1) > 0),
      'coupon number: six digits')
  else
    Check(Numero = nil, 'coupon number left untouched');
  Check(KALPO_VendaItem(PAnsiChar(Model), '7891000100103', 'CAFE TORRADO 500G', '01', 'I', 1.5, 2, 2.99, '', 0),
    'KALPO_VendaItem 1');
  Check(KALPO_VendaItem(PAnsiChar(Model), '42', 'PAO DE QUEIJO', '01', 'I', 2, 2, 4.5, '', 0), 'KALPO_VendaItem 2');
  Check(KALPO_VendaItem(PAnsiChar(Model), '43', PAnsiChar(KalpoTexto('FEIJÃO')), '01', 'I', 1, 2, 3.5, '', 0),
    'KALPO_VendaItem 3');
  Check(KALPO_Inicia_Fechamento(PAnsiChar(Model), 0), 'KALPO_Inicia_Fechamento');
  Check(KALPO_forma_pagamento(PAnsiChar(Model), 'Dinheiro', 20), 'KALPO_forma_pagamento');
  Control.Context := nil;
  Control.GetText := GetPromo;
  Control.SetText := SetPromo;
  Check(KALPO_fecha_cupom(PAnsiChar(Model), @Control), 'KALPO_fecha_cupom');
  Check(ControlReads = Ord(Printer), 'closing message read from the control');
  if Pos('BEMATECH', string(Model)) = 1 then
    Check(TapeHas('43 FEIJ'#$C3'O'), 'FEIJÃO on the paper in Windows-1252');
  for I := 0 to High(Messages) do
    WriteLn(StdErr, 'operator message: ', Messages[I].Text);
  Check(Length(Messages) = 0, 'no operator message during the sale');

  { A refusal reaches the handler as a typed dialog. }
  Check(not KALPO_HorarioVerao(PAnsiChar(Model), 'ENTRAR'), 'KALPO_HorarioVerao refused');
  Check(Length(Messages) = 1, 'one operator message');
  if Length(Messages) = 1 then
  begin
    Check(Messages[0].Form = KALPO_MSG_DIALOG, 'message form');
    Check(Messages[0].Flags = $40, 'message flags');
    Check(not Messages[0].HasCaption, 'message caption');
    Check(Messages[0].Text = 'Modelo de Impressora Fiscal n'#$E3'o prepara ainda para o programa!'#13#10 +
      'Por favor, utilize o utilit'#$E1'rio do fabricante!', 'message text');
  end;

  KALPO_DefineTratadorMensagens(nil, nil);
  if Failures > 0 then Halt(1);
  WriteLn('sale on ', Model, ': ok');
end.
