// Compiled by `tsc --noEmit` only: right calls compile, and each wrong one
// is marked as an error that must occur (an unused @ts-expect-error fails).
import { KalpoClient } from "../src/index.js";

export async function sale(client: KalpoClient) {
  await client.AbreCupom({ modelo: "BEMATECHMP20", numero_cupom: null, nome: "", endereco: "", documento: "" });
  const sold = await client.VendaItem({
    modelo: "BEMATECHMP20",
    codigo: "1001",
    descricao: "ARROZ",
    aliquota: "FF",
    tipo_quantidade: "F",
    quantidade: 1,
    casas_decimais: 2,
    valor_unitario: 24.9,
    tipo_desconto: "$",
  });
  const codes: string[] = sold.messages.map((m) => m.code);
  const state = await client.VerificaEstadoECF({ modelo: "BEMATECHMP20" });
  const st1: number | null | undefined = state.out.st1;
  await client.call("NumeroCupom", { modelo: "BEMATECHMP20" }, { idempotencyKey: "k-1" });
  return { codes, st1 };
}

export async function mistakes(client: KalpoClient) {
  // @ts-expect-error: no argument "item" (it is "codigo")
  await client.VendaItem({ modelo: "BEMATECHMP20", item: "1001" });
  // @ts-expect-error: quantidade is a number
  await client.VendaItem({ modelo: "X", codigo: "1", descricao: "A", aliquota: "FF", tipo_quantidade: "F", quantidade: "1", casas_decimais: 2, valor_unitario: 1, tipo_desconto: "$" });
  // @ts-expect-error: item is missing
  await client.Cancela_Item({ modelo: "BEMATECHMP20" });
  // @ts-expect-error: no such export
  await client.VendeTudo({});
  // @ts-expect-error: numero_cupom is written by the call, not given
  await client.NumeroCupom({ modelo: "BEMATECHMP20", numero_cupom: 5 });
}
