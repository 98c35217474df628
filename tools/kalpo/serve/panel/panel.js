// The printer panel: the virtual printers' paper as it prints, their state
// and faults, the last calls, and a form for any call.  Everything comes
// from this service; texts are set as text, never as markup.  The token is
// kept in this page alone (taken from #token=... or the form) and sent as
// Authorization: no cookie holds it.
"use strict";

const FAULTS = [
  ["paper_end", "Paper end"], ["paper_near_end", "Paper near end"], ["off", "Switched off"],
  ["unreadable", "Unreadable answers"], ["driver_start", "Driver does not start"],
  ["refuse", "Refuse, code", "1"], ["slow", "Slow, ms", "500"],
];
const SHOWN_PAGES = 30;
const SHOWN_CALLS = 50;

const view = { printers: [], library: null, exports: [], token: "" };

function element(tag, props = {}, ...children) {
  const node = document.createElement(tag);
  Object.assign(node, props);
  for (const child of children) node.append(child);
  return node;
}

async function api(method, path, body) {
  const headers = { Authorization: `Bearer ${view.token}` };
  if (body !== undefined) headers["Content-Type"] = "application/json";
  const response = await fetch(path, {
    method, headers, credentials: "omit", body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json().catch(() => ({}));
  if (response.status === 401) throw Object.assign(new Error("no token"), { status: 401 });
  if (!response.ok) throw new Error(answer.error || response.statusText);
  return answer;
}

function money(value) {
  return value === undefined ? "—" : value.toLocaleString("pt-BR", { minimumFractionDigits: 2 });
}

function selected() {
  return view.printers.find((p) => p.library === view.library);
}

function drawPrinters() {
  const nav = document.getElementById("printers");
  nav.replaceChildren(...view.printers.map((p) => {
    const button = element("button", { type: "button", className: p.library === view.library ? "selected" : "" },
      p.library, element("small", { textContent: p.models.join(", ") }));
    button.dataset.library = p.library;
    button.addEventListener("click", () => choose(p.library));
    return button;
  }));
}

function drawState() {
  const p = selected();
  const rows = !p ? [] : !p.exists ? [["Printer", "not made yet (its first call makes it)"]] : [
    ["COO", p.coo], ["CCF", p.ccf], ["CRZ", p.crz], ["Grand total", money(p.grand_total)],
    ["Day", (p.fiscal_day ? p.fiscal_day + ", " : "") + p.day.replaceAll("_", " ")],
    ["Document open", p.open_document], ["Day's net", money(p.day_totals && p.day_totals.net)],
  ];
  if (p && p.error) rows.push(["Cannot be read", p.error]);
  const list = element("dl");
  for (const [name, value] of rows) list.append(element("dt", { textContent: name }), element("dd", { textContent: String(value) }));
  list.dataset.library = p ? p.library : "";
  document.getElementById("state").replaceChildren(element("h2", { textContent: "State" }), list);
}

// Drawn again only when the faults changed: a value being typed stays.
function drawFaults() {
  const p = selected();
  const card = document.getElementById("faults");
  const drawn = p ? p.library + JSON.stringify(p.faults) : "";
  if (card.dataset.drawn === drawn) return;
  card.dataset.drawn = drawn;
  if (!p) return card.replaceChildren();
  const set = new Map(p.faults.map((f) => [f.name, f]));
  card.replaceChildren(element("h2", { textContent: "Faults" }), ...FAULTS.map(([name, label, value]) => {
    const toggle = element("input", { type: "checkbox", checked: set.has(name) });
    toggle.dataset.fault = name;
    const row = element("label", { className: "row switch" }, toggle, label);
    let given = null;
    if (value !== undefined) {
      given = element("input", { type: "text", value: set.has(name) ? set.get(name).value : value });
      given.setAttribute("aria-label", label);
      row.append(given);
    }
    toggle.addEventListener("change", () => changeFault(name, toggle.checked, given ? given.value.trim() : ""));
    return row;
  }));
}

async function changeFault(name, on, value) {
  const p = selected();
  const faults = p.faults.filter((f) => f.name !== name);
  if (on) faults.push({ name, value, once: false });
  try {
    p.faults = (await api("PUT", `/v1/printers/${p.library}/faults`, { faults })).faults;
  } catch (error) {
    alert(error.message);
  }
  drawFaults();
}

function pageNode(page, fresh) {
  const node = element("div", { className: "page" + (fresh ? " new" : ""), textContent: page.text });
  node.dataset.coo = page.coo;
  node.dataset.title = page.title;
  return node;
}

function addPages(pages, fresh) {
  const tape = document.getElementById("tape");
  for (const page of pages) tape.append(pageNode(page, fresh), element("div", { className: "cut" }));
  while (tape.children.length > 2 * SHOWN_PAGES) tape.firstChild.remove();
  const paper = document.getElementById("paper");
  paper.scrollTop = paper.scrollHeight;
}

async function drawTape() {
  const library = view.library;
  const { pages } = await api("GET", `/v1/printers/${library}/tape?last=${SHOWN_PAGES}`);
  if (library !== view.library) return;
  document.getElementById("tape").replaceChildren();
  addPages(pages, false);
}

async function refreshPrinters() {
  view.printers = (await api("GET", "/v1/printers")).printers;
  if (!view.library && view.printers.length) view.library = view.printers[0].library;
  drawPrinters();
  drawState();
  drawFaults();
}

async function choose(library) {
  view.library = library;
  drawPrinters();
  drawState();
  drawFaults();
  await drawTape();
}

function addCall(call) {
  const ok = call.result !== 0;
  const item = element("li", { className: ok ? "done" : "failed" },
    element("b", { textContent: `${call.export.replace(/^KALPO_/, "")} → ${call.result ?? "(no result)"}` }),
    ` ${call.ms} ms`);
  for (const m of call.messages) item.append(element("span", { className: "message", textContent: `[${m.form}] ${m.text}` }));
  const list = document.getElementById("calls");
  list.prepend(item);
  while (list.children.length > SHOWN_CALLS) list.lastChild.remove();
}

function drawExportForm() {
  const select = document.getElementById("export");
  select.replaceChildren(...view.exports.filter((e) => e.callable).map((e) =>
    element("option", { value: e.name, textContent: e.name.replace(/^KALPO_/, "") })));
  select.addEventListener("change", drawArguments);
  drawArguments();
}

function drawArguments() {
  const chosen = view.exports.find((e) => e.name === document.getElementById("export").value);
  const model = (selected() || { models: [""] }).models[0];
  document.getElementById("args").replaceChildren(...chosen.params.filter((p) => p.in && p.kind !== "unread").map((p) => {
    const input = element("input", { name: p.name, value: p.name === "modelo" ? model : "" });
    input.dataset.kind = p.kind;
    return element("label", { textContent: `${p.name} (${p.kind})` }, input);
  }));
}

async function makeCall(event) {
  event.preventDefault();
  const args = {};
  for (const input of document.querySelectorAll("#args input")) {
    if (input.value === "") continue;
    const number = ["integer", "var integer", "real"].includes(input.dataset.kind);
    args[input.name] = number ? Number(input.value.replace(",", ".")) : input.value;
  }
  const name = document.getElementById("export").value;
  const confirm = document.getElementById("confirm").checked ? "yes" : "no";
  const answer = document.getElementById("answer");
  try {
    answer.textContent = JSON.stringify(await api("POST", `/v1/call/${name}`, { args, confirm }), null, 1);
  } catch (error) {
    answer.textContent = error.message;
  }
}

// The live feed: a ticket opens the stream, and the browser's own
// reconnection (with Last-Event-ID) reopens it after a break, a restart of
// the service included.  Only when the browser gives up (the ticket lapsed,
// the token changed) is a new ticket taken, resuming after the last event seen.
let lastEventId = null;
async function listen() {
  const live = document.getElementById("live");
  let ticket;
  try {
    ticket = (await api("POST", "/v1/events/ticket")).ticket;
  } catch (error) {
    live.className = "off";
    live.textContent = "offline";
    setTimeout(listen, 2000);
    return;
  }
  const resume = lastEventId === null ? "" : `&last_event_id=${encodeURIComponent(lastEventId)}`;
  const events = new EventSource(`/v1/events?ticket=${encodeURIComponent(ticket)}${resume}`);
  let pending = null;
  const seen = (e) => { if (e.lastEventId) lastEventId = e.lastEventId; };
  events.addEventListener("open", () => { live.className = "on"; live.textContent = "live"; });
  events.addEventListener("error", () => {
    live.className = "off";
    live.textContent = "offline";
    if (events.readyState !== EventSource.CLOSED) return;  // the browser tries again by itself
    setTimeout(listen, 1000);
  });
  events.addEventListener("reset", (e) => { seen(e); refreshPrinters().then(drawTape).catch(() => {}); });
  events.addEventListener("page", (e) => {
    seen(e);
    const page = JSON.parse(e.data);
    if (page.library === view.library) addPages([page], true);
  });
  events.addEventListener("call", (e) => {
    seen(e);
    addCall(JSON.parse(e.data));
    clearTimeout(pending);
    pending = setTimeout(() => refreshPrinters().catch(() => {}), 100);
  });
}

// The token from the address's fragment, then taken out of the address
// (and so out of the history); else from the form.
function takeToken() {
  const given = new URLSearchParams(location.hash.slice(1)).get("token");
  if (given) {
    view.token = given;
    history.replaceState(null, "", location.pathname);
  }
  return view.token !== "";
}

function askToken() {
  document.getElementById("no-token").hidden = false;
  const form = document.getElementById("no-token");
  form.addEventListener("submit", (event) => {
    event.preventDefault();
    view.token = document.getElementById("token").value.trim();
    document.getElementById("no-token").hidden = true;
    start();
  }, { once: true });
}

async function start() {
  if (!takeToken()) return askToken();
  try {
    await refreshPrinters();
  } catch (error) {
    if (error.status === 401) {
      view.token = "";
      askToken();
    }
    return;
  }
  document.getElementById("panel").hidden = false;
  view.exports = await api("GET", "/v1/exports");
  drawExportForm();
  document.getElementById("call").addEventListener("submit", makeCall);
  listen();
  await drawTape();
}

start();
