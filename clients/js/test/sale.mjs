// node test/sale.mjs: a whole sale in Node against KALPO_URL with KALPO_TOKEN;
// prints what it got as JSON.
import { KalpoClient } from "../src/index.js";
import { wholeSale } from "./sale.js";

// Which calls carried an Idempotency-Key: those that change the printer.
const keyed = {};
const recording = (url, init = {}) => {
  const called = /\/v1\/call\/(\w+)$/.exec(url);
  if (called) keyed[called[1]] = "Idempotency-Key" in (init.headers ?? {});
  return fetch(url, init);
};
const client = new KalpoClient({ baseUrl: process.env.KALPO_URL, token: process.env.KALPO_TOKEN, fetch: recording });
const events = [];
const ids = [];
const controller = new AbortController();
const listening = (async () => {
  for await (const e of client.events({ signal: controller.signal })) {
    if (e.event === "call") events.push(e.data.export), ids.push(Number(e.id));
  }
})();
await new Promise((resolve) => setTimeout(resolve, 200));
const sale = await wholeSale(client, "BEMATECHMP20", "NODE ARROZ");
// A flaky connection: the first attempt gives up while a slow printer holds
// the item; the retry carries the same key and gets the first answer.
const impatient = new KalpoClient({ baseUrl: process.env.KALPO_URL, token: process.env.KALPO_TOKEN, timeoutMs: 400 });
const model = { modelo: "BEMATECHMP20" };
await client.AbreCupom({ ...model, numero_cupom: null, nome: "", endereco: "", documento: "" });
await fetch(process.env.KALPO_URL + "/v1/printers/bemafi32/faults", {
  method: "PUT",
  headers: { Authorization: "Bearer " + process.env.KALPO_TOKEN },
  body: JSON.stringify({ faults: ["once slow 1200"] }),
});
const retried = await impatient.VendaItem({ ...model, codigo: "2002", descricao: "UMA VEZ SO", aliquota: "FF",
  tipo_quantidade: "F", quantidade: 1, casas_decimais: 2, valor_unitario: 5, tipo_desconto: "$" });
await client.Inicia_Fechamento({ ...model, desconto: 0 });
await client.forma_pagamento({ ...model, forma: "Dinheiro", valor: 5 });
await client.fecha_cupom({ ...model, mensagem: "" });
await new Promise((resolve) => setTimeout(resolve, 300));
controller.abort();
await listening;
console.log(JSON.stringify({ ...sale, events, ids, keyed, retried: { result: retried.result, replayed: retried.replayed } }));
