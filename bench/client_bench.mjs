// node bench/client_bench.mjs URL TOKEN CALLS: KALPO_NumeroCupom through the
// JavaScript client and through fetch alone, one kept-alive connection each;
// prints {"client": {...}, "fetch": {...}} with calls a second, median and
// 99th-percentile latency in milliseconds.
import { KalpoClient } from "../clients/js/src/index.js";

const [url, token, count] = [process.argv[2], process.argv[3], Number(process.argv[4] ?? 3000)];
const args = { modelo: "BEMATECHMP20" };
const client = new KalpoClient({ baseUrl: url, token });
const raw = () =>
  fetch(url + "/v1/call/KALPO_NumeroCupom", {
    method: "POST",
    headers: { Authorization: "Bearer " + token, "Content-Type": "application/json" },
    body: JSON.stringify({ args }),
  }).then((r) => r.json());

async function measure(call) {
  for (let i = 0; i < 200; ++i) await call();  // the connection open, the code warm
  const times = [];
  const started = performance.now();
  for (let i = 0; i < count; ++i) {
    const before = performance.now();
    const answer = await call();
    times.push(performance.now() - before);
    if (answer.result !== 1) throw new Error("NumeroCupom failed: " + JSON.stringify(answer));
  }
  const elapsed = (performance.now() - started) / 1000;
  times.sort((a, b) => a - b);
  return {
    per_second: Math.round(count / elapsed),
    median_ms: times[Math.floor(count / 2)],
    p99_ms: times[Math.floor(count * 0.99)],
  };
}

console.log(JSON.stringify({ client: await measure(() => client.NumeroCupom(args)), fetch: await measure(raw) }));
