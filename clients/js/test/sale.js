// A whole sale through the client: run by Node (test/sale.mjs) and by a
// page on another origin in headless Chromium.  Returns what the test checks.
export async function wholeSale(client, model, item) {
  const results = [];
  const opened = await client.Abredia({ modelo: model }, { confirm: "yes" });
  results.push(opened.result);
  const steps = [
    ["AbreCupom", { modelo: model, numero_cupom: null, nome: "", endereco: "", documento: "" }],
    ["VendaItem", { modelo: model, codigo: "1001", descricao: item, aliquota: "FF", tipo_quantidade: "F",
                    quantidade: 1, casas_decimais: 2, valor_unitario: 24.9, tipo_desconto: "$" }],
    ["Inicia_Fechamento", { modelo: model, desconto: 0 }],
    ["forma_pagamento", { modelo: model, forma: "Dinheiro", valor: 24.9 }],
    ["fecha_cupom", { modelo: model, mensagem: "Obrigado!" }],
  ];
  for (const [name, args] of steps) results.push((await client[name](args)).result);
  const coupon = await client.NumeroCupom({ modelo: model });
  let refused = null;
  try {
    await client.call("Cancela_Item", { modelo: model, item: "dois" });
  } catch (error) {
    refused = { status: error.status, name: error.name };
  }
  const version = await client.version();
  return { results, coupon: coupon.out.numero_cupom, refused, api: version.api };
}
