// KALPO: one interface to every supported fiscal printer.
// Declarations for C# (.NET Framework, .NET, Mono): add this file to the
// project.  KalpoNative holds the exports as they are; Kalpo is a thin layer
// with .NET names, string texts and bool results.
//
// Calling convention: kalpo.dll exports are stdcall, libkalpo.so uses the C
// convention.  The convention is chosen when this file is compiled: StdCall by
// default, Cdecl when the symbol KALPO_CDECL is defined (mcs -define:KALPO_CDECL,
// or <DefineConstants> in the project).  On 64-bit systems the two are the
// same; on 32-bit Linux KALPO_CDECL is required.
//
// Texts travel as Windows-1252 (the Cp1252 class below: no code page provider
// needed).  Out texts are library-owned pointers, valid until the next call:
// the thin layer copies them into strings.  Calls must not overlap, and every
// operator message is modal on the calling thread.
using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;
using System.Text;

/// <summary>Windows-1252 both ways, without relying on a code page provider.</summary>
public static class Cp1252
{
    // Characters of bytes 0x80..0x9F; the five undefined bytes map to the same code point.
    const string High = "\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
                      + "\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";

    /// <summary>The NUL-terminated text at pointer; null for a null pointer.</summary>
    public static string Decode(IntPtr pointer)
    {
        if (pointer == IntPtr.Zero) return null;
        var text = new StringBuilder();
        for (int i = 0; ; ++i)
        {
            byte b = Marshal.ReadByte(pointer, i);
            if (b == 0) return text.ToString();
            text.Append(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : (char)b);
        }
    }

    /// <summary>The text's bytes with a final NUL; refuses what Windows-1252 cannot hold.</summary>
    public static byte[] Encode(string text)
    {
        var bytes = new byte[text.Length + 1];
        for (int i = 0; i < text.Length; ++i)
        {
            char c = text[i];
            int high = High.IndexOf(c);
            if (c == '\0')
                throw new ArgumentException("KALPO texts cannot hold a NUL character (position " + i + ")");
            if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) bytes[i] = (byte)c;
            else if (high >= 0) bytes[i] = (byte)(0x80 + high);
            else
                throw new ArgumentException("Windows-1252 has no character U+" + ((int)c).ToString("X4") +
                                            " (position " + i + " of \"" + text + "\")");
        }
        return bytes;
    }
}

/// <summary>Marshals an in-text: a string as a NUL-terminated Windows-1252 text, null as null.</summary>
public sealed class Cp1252Marshaler : ICustomMarshaler
{
    static readonly Cp1252Marshaler Instance = new Cp1252Marshaler();
    public static ICustomMarshaler GetInstance(string cookie) { return Instance; }

    public IntPtr MarshalManagedToNative(object managed)
    {
        if (managed == null) return IntPtr.Zero;
        byte[] bytes = Cp1252.Encode((string)managed);
        IntPtr native = Marshal.AllocHGlobal(bytes.Length);
        Marshal.Copy(bytes, 0, native, bytes.Length);
        return native;
    }
    public void CleanUpNativeData(IntPtr native) { if (native != IntPtr.Zero) Marshal.FreeHGlobal(native); }
    public object MarshalNativeToManaged(IntPtr native) { return Cp1252.Decode(native); }
    public void CleanUpManagedData(object managed) { }
    public int GetNativeDataSize() { return IntPtr.Size; }
}

/// <summary>The exports of kalpo.h as they are.</summary>
public static class KalpoNative
{
#if KALPO_CDECL
    public const CallingConvention Convention = CallingConvention.Cdecl;
#else
    public const CallingConvention Convention = CallingConvention.StdCall;
#endif
    const string Lib = "kalpo";
    const UnmanagedType Text = UnmanagedType.CustomMarshaler;

    public const int MsgNotice = 0;  // text and OK; caption null, flags 0
    public const int MsgDialog = 1;  // typed dialog: flags 0x40 information/OK or 0x24 question/Yes-No
    public const int MsgBox = 2;     // captioned box: flags 0x40 information or 0x10 stop, OK
    public const int BtnOk = 1;
    public const int BtnYes = 6;
    public const int BtnNo = 7;

    [UnmanagedFunctionPointer(Convention)]
    public delegate int TratadorMensagem(IntPtr context, int form, IntPtr text, IntPtr caption, uint flags);
    [UnmanagedFunctionPointer(Convention)]
    public delegate IntPtr GetText(IntPtr context);
    [UnmanagedFunctionPointer(Convention)]
    public delegate void SetText(IntPtr context, IntPtr text);

    /// <summary>KALPO_TextControl: function pointers from Marshal.GetFunctionPointerForDelegate.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct TextControl
    {
        public IntPtr Context;
        public IntPtr GetText;
        public IntPtr SetText;
    }

    [DllImport(Lib, CallingConvention = Convention)]
    public static extern void KALPO_DefineTratadorMensagens(TratadorMensagem handler, IntPtr context);

    // Frame
    [DllImport(Lib, CallingConvention = Convention)]
    public static extern int KALPO_Versao(out IntPtr versao);
    [DllImport(Lib, CallingConvention = Convention)]
    public static extern int KALPO_Versao_Number(out IntPtr versao);
    [DllImport(Lib, CallingConvention = Convention)]
    public static extern int KALPO_RetListaECFS(out IntPtr lista);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_IniciaDriver();
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_FechaDriver([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_GravaRegistro([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string porta);

    // Return analysis
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_retorna_impressora([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Analisa_iRetorno([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, int codigo);
    /// <param name="resposta">the caller's buffer of at least 100 bytes, which is filled</param>
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Analisa_RetSigtronFS345(int codigo, byte[] resposta, int tamanho, ref int contagem);

    // Fiscal coupon
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_AbreCupom([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr numeroCupom,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string nome,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string endereco,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string documento);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_VendaItem([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string codigo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string descricao,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string aliquota,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string tipoQuantidade, double quantidade,
        int casasDecimais, double valorUnitario,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string tipoDesconto, double naoLido);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Inicia_Fechamento([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, double desconto);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_desc_fechamento([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, double desconto);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_forma_pagamento([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string forma, double valor);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_fecha_cupom([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, ref TextControl mensagem);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Cancela_Item([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, int item);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Cancela_Ultimo_Cupom([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        IntPtr naoLido1, IntPtr naoLido2, ref int contagem, out IntPtr numeroCupom, out IntPtr estadoDocumento);

    // Linked vouchers and management reports
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_cupom_vinculado([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string forma,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string numeroCupom, double valor);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_usavinculado([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string texto);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_usavinculadotermica([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, ref TextControl texto);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_FechaCupomNaovinculado([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_AbreRelGerencial([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string texto,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string codigo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_FechaGerencial([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);

    // Day reports and fiscal memory
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Leiturax([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        IntPtr naoLido1, IntPtr naoLido2, ref int contagem);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Reducaoz([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        IntPtr naoLido1, IntPtr naoLido2, IntPtr naoLido3, ref int contagem);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Abredia([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_HorarioVerao([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string acao);
    [DllImport(Lib, CallingConvention = Convention)]
    public static extern void KALPO_LeData([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr data);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_LeituraMemFiscal([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string inicio,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string fim,
        [MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string tipo);
    /// <param name="dia">an OLE Automation date (DateTime.ToOADate)</param>
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_GeraCotepe([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, double dia);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_ImpressaoBobina([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);

    // Queries and device utilities
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_MostraNumSerie([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr numeroSerie);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_FirmWare([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr versao);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_RetornaGT([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr grandeTotal);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_DataHoraEcf([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr data, out IntPtr hora);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_NumeroCupom([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr numeroCupom);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_NumReducao([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr contador);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_ResumoAliq([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_TotalizadorParcial([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo, out IntPtr totais);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_VerificaEstadoECF([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo,
        ref int ack, ref int st1, ref int st2);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_Cupom_Aberto([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
    [DllImport(Lib, CallingConvention = Convention)]
    [return: MarshalAs(UnmanagedType.U1)]
    public static extern bool KALPO_AbreGaveta([MarshalAs(Text, MarshalTypeRef = typeof(Cp1252Marshaler))] string modelo);
}

/// <summary>The caller's text-holding control: override GetText/SetText to bind a UI control.</summary>
public class KalpoTextControl : IDisposable
{
    public string Text;
    IntPtr lastText;
    readonly KalpoNative.GetText get;   // kept alive while the control is
    readonly KalpoNative.SetText set;
    internal KalpoNative.TextControl Native;

    public KalpoTextControl(string text = "")
    {
        Text = text;
        get = context => Kalpo.Guard(() => Hand(GetText()), IntPtr.Zero);
        set = (context, text_) => Kalpo.Guard(() => { SetText(Cp1252.Decode(text_) ?? ""); return 0; }, 0);
        Native.GetText = Marshal.GetFunctionPointerForDelegate(get);
        Native.SetText = Marshal.GetFunctionPointerForDelegate(set);
    }

    public virtual string GetText() { return Text; }
    public virtual void SetText(string text) { Text = text; }

    // The library reads the text during the call; it stays allocated until the next read.
    IntPtr Hand(string text)
    {
        Release();
        byte[] bytes = Cp1252.Encode(text ?? "");
        lastText = Marshal.AllocHGlobal(bytes.Length);
        Marshal.Copy(bytes, 0, lastText, bytes.Length);
        return lastText;
    }

    void Release()
    {
        if (lastText != IntPtr.Zero) Marshal.FreeHGlobal(lastText);
        lastText = IntPtr.Zero;
    }

    public void Dispose() { Release(); GC.KeepAlive(get); GC.KeepAlive(set); }
}

/// <summary>Receives an operator message; returns the button chosen (Kalpo.BtnOk, BtnYes, BtnNo).</summary>
public delegate int KalpoMessageHandler(int form, string text, string caption, uint flags);

/// <summary>KALPO with .NET names: string texts, bool results, out strings (null when not written).</summary>
public static class Kalpo
{
    public const int MsgNotice = KalpoNative.MsgNotice, MsgDialog = KalpoNative.MsgDialog, MsgBox = KalpoNative.MsgBox;
    public const int BtnOk = KalpoNative.BtnOk, BtnYes = KalpoNative.BtnYes, BtnNo = KalpoNative.BtnNo;

#pragma warning disable 414  // only held, so that the collector keeps it while registered
    static KalpoNative.TratadorMensagem nativeHandler;
#pragma warning restore 414
    static Exception pending;

    // Runs a callback from the library: an exception must not cross into C, so
    // it is kept and thrown when the export returns.
    internal static T Guard<T>(Func<T> body, T onError)
    {
        try { return body(); }
        catch (Exception e) { if (pending == null) pending = e; return onError; }
    }

    static T Done<T>(T result)
    {
        Exception e = pending;
        pending = null;
        if (e != null) throw new InvalidOperationException("a KALPO callback failed: " + e.Message, e);
        return result;
    }

    static string Out(IntPtr text) { return Cp1252.Decode(text); }

    /// <summary>Routes every operator message to handler; null restores the library's default.
    /// A handler that throws answers No, and the exception is thrown when the export returns.</summary>
    public static void DefineTratadorMensagens(KalpoMessageHandler handler)
    {
        KalpoNative.TratadorMensagem native = null;
        if (handler != null)
            native = (context, form, text, caption, flags) =>
                Guard(() => handler(form, Out(text), Out(caption), flags), BtnNo);
        KalpoNative.KALPO_DefineTratadorMensagens(native, IntPtr.Zero);
        nativeHandler = native;
    }

    // Frame
    public static string Versao() { IntPtr p; KalpoNative.KALPO_Versao(out p); return Out(p); }
    public static string VersaoNumber() { IntPtr p; KalpoNative.KALPO_Versao_Number(out p); return Out(p); }
    public static string RetListaEcfs() { IntPtr p; KalpoNative.KALPO_RetListaECFS(out p); return Out(p); }
    public static bool IniciaDriver() { return KalpoNative.KALPO_IniciaDriver(); }
    public static bool FechaDriver(string model) { return KalpoNative.KALPO_FechaDriver(model); }
    public static bool GravaRegistro(string porta) { return KalpoNative.KALPO_GravaRegistro(porta); }

    // Return analysis
    public static bool RetornaImpressora(string model) { return Done(KalpoNative.KALPO_retorna_impressora(model)); }
    public static bool AnalisaIRetorno(string model, int codigo) { return Done(KalpoNative.KALPO_Analisa_iRetorno(model, codigo)); }
    public static bool AnalisaRetSigtronFS345(int codigo, out string resposta, ref int contagem)
    {
        var buffer = new byte[256];
        bool ok = KalpoNative.KALPO_Analisa_RetSigtronFS345(codigo, buffer, buffer.Length, ref contagem);
        GCHandle pin = GCHandle.Alloc(buffer, GCHandleType.Pinned);
        try { resposta = Cp1252.Decode(pin.AddrOfPinnedObject()); } finally { pin.Free(); }
        return Done(ok);
    }

    // Fiscal coupon
    public static bool AbreCupom(string model, out string numero, string nome, string endereco, string documento)
    {
        IntPtr p;
        bool ok = KalpoNative.KALPO_AbreCupom(model, out p, nome, endereco, documento);
        numero = Out(p);
        return Done(ok);
    }
    public static bool VendaItem(string model, string codigo, string descricao, string aliquota, string tipoQuantidade,
                                 double quantidade, int casasDecimais, double valorUnitario, string tipoDesconto)
    {
        return Done(KalpoNative.KALPO_VendaItem(model, codigo, descricao, aliquota, tipoQuantidade, quantidade,
                                                casasDecimais, valorUnitario, tipoDesconto, 0));
    }
    public static bool IniciaFechamento(string model, double desconto) { return Done(KalpoNative.KALPO_Inicia_Fechamento(model, desconto)); }
    public static bool DescFechamento(string model, double desconto) { return Done(KalpoNative.KALPO_desc_fechamento(model, desconto)); }
    public static bool FormaPagamento(string model, string forma, double valor) { return Done(KalpoNative.KALPO_forma_pagamento(model, forma, valor)); }
    public static bool FechaCupom(string model, KalpoTextControl mensagem)
    {
        return Done(KalpoNative.KALPO_fecha_cupom(model, ref mensagem.Native));
    }
    public static bool CancelaItem(string model, int item) { return Done(KalpoNative.KALPO_Cancela_Item(model, item)); }
    public static bool CancelaUltimoCupom(string model, ref int contagem, out string numero, out string estadoDocumento)
    {
        IntPtr n, e;
        bool ok = KalpoNative.KALPO_Cancela_Ultimo_Cupom(model, IntPtr.Zero, IntPtr.Zero, ref contagem, out n, out e);
        numero = Out(n);
        estadoDocumento = Out(e);
        return Done(ok);
    }

    // Linked vouchers and management reports
    public static bool CupomVinculado(string model, string forma, string numero, double valor) { return Done(KalpoNative.KALPO_cupom_vinculado(model, forma, numero, valor)); }
    public static bool UsaVinculado(string model, string texto) { return Done(KalpoNative.KALPO_usavinculado(model, texto)); }
    public static bool UsaVinculadoTermica(string model, KalpoTextControl texto)
    {
        return Done(KalpoNative.KALPO_usavinculadotermica(model, ref texto.Native));
    }
    public static bool FechaCupomNaoVinculado(string model) { return Done(KalpoNative.KALPO_FechaCupomNaovinculado(model)); }
    public static bool AbreRelGerencial(string model, string texto, string codigo) { return Done(KalpoNative.KALPO_AbreRelGerencial(model, texto, codigo)); }
    public static bool FechaGerencial(string model) { return Done(KalpoNative.KALPO_FechaGerencial(model)); }

    // Day reports and fiscal memory
    public static bool LeituraX(string model, ref int contagem) { return Done(KalpoNative.KALPO_Leiturax(model, IntPtr.Zero, IntPtr.Zero, ref contagem)); }
    public static bool ReducaoZ(string model, ref int contagem) { return Done(KalpoNative.KALPO_Reducaoz(model, IntPtr.Zero, IntPtr.Zero, IntPtr.Zero, ref contagem)); }
    public static bool AbreDia(string model) { return Done(KalpoNative.KALPO_Abredia(model)); }
    public static bool HorarioVerao(string model, string acao) { return Done(KalpoNative.KALPO_HorarioVerao(model, acao)); }
    public static string LeData(string model) { IntPtr p; KalpoNative.KALPO_LeData(model, out p); return Done(Out(p)); }
    public static bool LeituraMemFiscal(string model, string inicio, string fim, string tipo) { return Done(KalpoNative.KALPO_LeituraMemFiscal(model, inicio, fim, tipo)); }
    public static bool GeraCotepe(string model, DateTime dia) { return Done(KalpoNative.KALPO_GeraCotepe(model, dia.ToOADate())); }
    public static bool ImpressaoBobina(string model) { return Done(KalpoNative.KALPO_ImpressaoBobina(model)); }

    // Queries and device utilities
    delegate bool OutQuery(string model, out IntPtr text);
    static bool Query(OutQuery export, string model, out string text)
    {
        IntPtr p;
        bool ok = export(model, out p);
        text = Out(p);
        return Done(ok);
    }
    public static bool MostraNumSerie(string model, out string numeroSerie) { return Query(KalpoNative.KALPO_MostraNumSerie, model, out numeroSerie); }
    public static bool FirmWare(string model, out string versao) { return Query(KalpoNative.KALPO_FirmWare, model, out versao); }
    public static bool RetornaGT(string model, out string grandeTotal) { return Query(KalpoNative.KALPO_RetornaGT, model, out grandeTotal); }
    public static bool NumeroCupom(string model, out string numero) { return Query(KalpoNative.KALPO_NumeroCupom, model, out numero); }
    public static bool NumReducao(string model, out string contador) { return Query(KalpoNative.KALPO_NumReducao, model, out contador); }
    public static bool TotalizadorParcial(string model, out string totais) { return Query(KalpoNative.KALPO_TotalizadorParcial, model, out totais); }
    public static bool DataHoraEcf(string model, out string data, out string hora)
    {
        IntPtr d, h;
        bool ok = KalpoNative.KALPO_DataHoraEcf(model, out d, out h);
        data = Out(d);
        hora = Out(h);
        return Done(ok);
    }
    public static bool ResumoAliq(string model) { return Done(KalpoNative.KALPO_ResumoAliq(model)); }
    public static bool VerificaEstadoEcf(string model, ref int ack, ref int st1, ref int st2) { return Done(KalpoNative.KALPO_VerificaEstadoECF(model, ref ack, ref st1, ref st2)); }
    public static bool CupomAberto(string model) { return Done(KalpoNative.KALPO_Cupom_Aberto(model)); }
    public static bool AbreGaveta(string model) { return Done(KalpoNative.KALPO_AbreGaveta(model)); }
}
