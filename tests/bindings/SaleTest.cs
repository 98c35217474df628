// A whole sale through Kalpo.cs, as a C# point-of-sale program makes it.  The
// model comes from KALPO_BINDING_MODEL (by default BEMATECHMP20).
using System;
using System.Collections.Generic;

static class SaleTest
{
    static int failures;

    static void Check(bool condition, string what)
    {
        if (condition) return;
        ++failures;
        Console.Error.WriteLine("failed: " + what);
    }

    class Promo : KalpoTextControl
    {
        public int Reads;
        public Promo() : base("Obrigado pela preferência!") { }
        public override string GetText() { ++Reads; return base.GetText(); }
    }

    static int Main()
    {
        string model = Environment.GetEnvironmentVariable("KALPO_BINDING_MODEL");
        if (string.IsNullOrEmpty(model)) model = "BEMATECHMP20";
        bool printer = model != "ECFZANTRELLO" && model != "NOTAFISCAL";
        var messages = new List<Tuple<int, string, string, uint>>();
        Kalpo.DefineTratadorMensagens((form, text, caption, flags) =>
        {
            messages.Add(Tuple.Create(form, text, caption, flags));
            return Kalpo.BtnOk;
        });

        Check(Kalpo.Versao() == "KALPO_DLL Versão 3.60", "Versao text");

        string numero;
        Check(Kalpo.AbreCupom(model, out numero, "José da Silva", "Rua das Flores, 12", "12345678909"), "AbreCupom");
        int parsed;
        if (printer)
            Check(numero != null && numero.Length == 6 && int.TryParse(numero, out parsed) && parsed > 0,
                  "coupon number: six digits, got " + (numero ?? "none"));
        else
            Check(numero == null, "coupon number left untouched");
        Check(Kalpo.VendaItem(model, "7891000100103", "CAFE TORRADO 500G", "01", "I", 1.5, 2, 2.99, ""), "VendaItem 1");
        Check(Kalpo.VendaItem(model, "42", "PAO DE QUEIJO", "01", "I", 2, 2, 4.5, ""), "VendaItem 2");
        Check(Kalpo.IniciaFechamento(model, 0), "IniciaFechamento");
        Check(Kalpo.FormaPagamento(model, "Dinheiro", 20), "FormaPagamento");
        using (var promo = new Promo())
        {
            Check(Kalpo.FechaCupom(model, promo), "FechaCupom");
            Check(promo.Reads == (printer ? 1 : 0), "closing message read from the control");
        }
        foreach (var m in messages) Console.Error.WriteLine("operator message: " + m.Item2);
        Check(messages.Count == 0, "no operator message during the sale");

        // A refusal reaches the handler as a typed dialog.
        Check(!Kalpo.HorarioVerao(model, "ENTRAR"), "HorarioVerao refused");
        Check(messages.Count == 1, "one operator message");
        if (messages.Count == 1)
        {
            Check(messages[0].Item1 == Kalpo.MsgDialog && messages[0].Item4 == 0x40 && messages[0].Item3 == null,
                  "message form, flags and caption");
            Check(messages[0].Item2 == "Modelo de Impressora Fiscal não prepara ainda para o programa!\r\n" +
                                       "Por favor, utilize o utilitário do fabricante!", "message text");
        }

        // An exception in the handler answers No and comes back from the export.
        Kalpo.DefineTratadorMensagens((form, text, caption, flags) => { throw new InvalidOperationException("boom"); });
        try
        {
            Kalpo.HorarioVerao(model, "ENTRAR");
            Check(false, "handler exception rethrown");
        }
        catch (InvalidOperationException e)
        {
            Check(e.InnerException != null && e.InnerException.Message == "boom", "handler exception kept");
        }
        // A text Windows-1252 cannot hold is refused before the call.
        try
        {
            Kalpo.UsaVinculado(model, "caf\u00e9 \u4e2d");
            Check(false, "text outside Windows-1252 refused");
        }
        catch (ArgumentException) { }

        Kalpo.DefineTratadorMensagens(null);
        if (failures > 0) return 1;
        Console.WriteLine("sale on " + model + ": ok");
        return 0;
    }
}
