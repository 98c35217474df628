// node test/sale.mjs: a whole sale in Node against KALPO_URL with KALPO_TOKEN;
// prints what it got as JSON.
import { KalpoClient } from "../src/index.js";
import { wholeSale } from "./sale.js";

const client = new KalpoClient({ baseUrl: process.env.KALPO_URL, token: process.env.KALPO_TOKEN });
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
await new Promise((resolve) => setTimeout(resolve, 300));
controller.abort();
await listening;
console.log(JSON.stringify({ ...sale, events, ids }));
