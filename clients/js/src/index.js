// A client for kalpo serve: every KALPO export as a function of the client,
// the token given once, errors as exceptions with the status and the
// operator's messages, retries with an idempotency key, and the event
// stream as an async iterator.  No runtime dependency: fetch and
// TextDecoder, as in browsers and Node 18 and later.

/** A refusal by the service (status 4xx or 5xx) or a failed call (ok false). */
export class KalpoError extends Error {
  constructor(message, { status = 0, messages = [], answer = null } = {}) {
    super(message);
    this.name = "KalpoError";
    this.status = status;
    this.messages = messages;
    this.codes = messages.map((m) => m.code);
    this.answer = answer;
  }
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function randomKey() {
  if (globalThis.crypto?.randomUUID) return globalThis.crypto.randomUUID();
  return Date.now().toString(36) + Math.random().toString(36).slice(2);
}

export class KalpoClient {
  /**
   * @param {object} options
   * @param {string} options.token  the service's token
   * @param {string} [options.baseUrl]  "http://127.0.0.1:8123"
   * @param {number} [options.retries]  attempts after the first, on a lost answer or 409/503
   * @param {number} [options.timeoutMs]  each attempt's deadline
   * @param {boolean} [options.throwOnFailure]  a call whose flag result is 0 throws
   * @param {typeof fetch} [options.fetch]
   */
  constructor({ token, baseUrl = "http://127.0.0.1:8123", retries = 3, timeoutMs = 30000, throwOnFailure = false,
                fetch = globalThis.fetch } = {}) {
    if (!token) throw new TypeError("kalpo: the service's token is needed");
    this.baseUrl = baseUrl.replace(/\/+$/, "");
    this.retries = retries;
    this.timeoutMs = timeoutMs;
    this.throwOnFailure = throwOnFailure;
    this.#token = token;
    this.#fetch = fetch.bind(globalThis);
    // One function per export: client.VendaItem({...}) is client.call("VendaItem", {...}).
    return new Proxy(this, {
      get(target, name) {
        if (typeof name !== "string" || name in target) {
          // Bound to the client itself: its private fields are not the proxy's.
          const value = Reflect.get(target, name);
          return typeof value === "function" ? value.bind(target) : value;
        }
        return (args, options) => target.call(name, args, options);
      },
    });
  }

  #token;
  #fetch;
  #queries = null;  // a promise of the names of the exports that change nothing

  // Whether the export may change the printer.  Unknown until the export
  // table answers, and for an export it does not list: then it may.
  async #changesPrinter(exportName) {
    this.#queries ??= this.#json("GET", "/v1/exports")
      .then((table) => new Set(table.filter((e) => e.changes_printer === false).map((e) => e.name.toLowerCase())))
      .catch(() => {
        this.#queries = null;  // asked again with the next call
        return new Set();
      });
    return !(await this.#queries).has(exportName.toLowerCase());
  }

  #headers(extra = {}) {
    return { Authorization: "Bearer " + this.#token, ...extra };
  }

  async #request(method, path, { body, headers = {}, signal } = {}) {
    const controller = new AbortController();
    const timer = setTimeout(() => controller.abort(), this.timeoutMs);
    const abort = () => controller.abort();
    signal?.addEventListener("abort", abort);
    try {
      return await this.#fetch(this.baseUrl + path, {
        method,
        headers: this.#headers(body === undefined ? headers : { "Content-Type": "application/json", ...headers }),
        body: body === undefined ? undefined : JSON.stringify(body),
        signal: controller.signal,
      });
    } finally {
      clearTimeout(timer);
      signal?.removeEventListener("abort", abort);
    }
  }

  async #json(method, path, options) {
    const response = await this.#request(method, path, options);
    const text = await response.text();
    let body = null;
    try {
      body = JSON.parse(text);
    } catch {
      body = { error: text };
    }
    if (!response.ok) {
      throw new KalpoError(body?.error ?? response.statusText, { status: response.status, answer: body });
    }
    return body;
  }

  /**
   * Calls an export ("VendaItem" or "KALPO_VendaItem") with its arguments by
   * name.  A call that changes the printer carries an Idempotency-Key, the
   * same on every attempt, so that a retry after a lost answer never makes the
   * call twice; a query (NumeroCupom, VerificaEstadoECF, the reads) is simply
   * asked again.  Which exports change the printer the service's export table
   * says, asked once; a key given here is always sent.
   */
  async call(name, args = {}, { confirm, idempotencyKey, signal } = {}) {
    const exportName = name.startsWith("KALPO_") ? name : "KALPO_" + name;
    const body = confirm === undefined ? { args } : { args, confirm };
    const key = idempotencyKey ?? ((await this.#changesPrinter(exportName)) ? randomKey() : undefined);
    const headers = key === undefined ? {} : { "Idempotency-Key": key };
    let lastError;
    for (let attempt = 0; attempt <= this.retries; ++attempt) {
      if (attempt > 0) await sleep(Math.min(2000, 100 * 2 ** attempt));
      let response;
      try {
        response = await this.#request("POST", "/v1/call/" + exportName, {
          body,
          headers,
          signal,
        });
      } catch (error) {
        if (signal?.aborted) throw error;
        lastError = error;  // the answer was lost: the same key again
        continue;
      }
      const answer = await response.json().catch(() => ({ error: response.statusText }));
      if (response.status === 409 || response.status === 503) {
        lastError = new KalpoError(answer.error, { status: response.status, answer });
        continue;
      }
      if (!response.ok) throw new KalpoError(answer.error, { status: response.status, answer });
      if (this.throwOnFailure && answer.ok === false) {
        const shown = answer.messages.map((m) => m.text).join("; ");
        throw new KalpoError(exportName + " failed" + (shown ? ": " + shown : ""), {
          status: response.status,
          messages: answer.messages,
          answer,
        });
      }
      return answer;
    }
    throw lastError instanceof KalpoError
      ? lastError
      : new KalpoError("kalpo serve did not answer: " + (lastError?.message ?? "no answer"), { answer: null });
  }

  exports() {
    return this.#json("GET", "/v1/exports");
  }

  version() {
    return this.#json("GET", "/v1/version");
  }

  health() {
    return this.#json("GET", "/v1/health");
  }

  openapi() {
    return this.#json("GET", "/v1/openapi.json");
  }

  /**
   * The event stream: yields {event, id, data} as they come, until `signal`
   * aborts.  The token goes in a header, as EventSource cannot send one.  A
   * stream that breaks is opened again with Last-Event-ID, so that nothing
   * is missed while the service's backlog holds it (a `reset` event says
   * when it no longer does).
   */
  async *events({ signal, reconnects = 5 } = {}) {
    let lastId = null;
    for (let attempt = 0; attempt <= reconnects && !signal?.aborted; ++attempt) {
      if (attempt > 0) await sleep(Math.min(2000, 100 * 2 ** attempt));
      const controller = new AbortController();
      const abort = () => controller.abort();
      signal?.addEventListener("abort", abort);
      try {
        const headers = { Accept: "text/event-stream" };
        if (lastId !== null) headers["Last-Event-ID"] = lastId;
        let response;
        try {
          response = await this.#fetch(this.baseUrl + "/v1/events", {
            headers: this.#headers(headers),
            signal: controller.signal,
          });
        } catch (error) {
          if (controller.signal.aborted) return;
          continue;
        }
        if (response.status === 503) continue;
        if (!response.ok) throw new KalpoError("the event stream was refused", { status: response.status });
        for await (const block of eventBlocks(response.body, controller.signal)) {
          const parsed = parseEvent(block);
          if (!parsed) continue;
          if (parsed.id !== null) lastId = parsed.id;
          attempt = 0;
          yield parsed;
        }
      } finally {
        signal?.removeEventListener("abort", abort);
        controller.abort();
      }
    }
  }
}

// The blocks of a server-sent event stream, each up to its blank line.
async function* eventBlocks(body, signal) {
  const reader = body.getReader();
  const decoder = new TextDecoder();
  let buffer = "";
  for (;;) {
    let chunk;
    try {
      chunk = await reader.read();
    } catch (error) {
      if (signal.aborted) return;
      return;  // the stream broke: the caller opens it again
    }
    if (chunk.done) return;
    buffer += decoder.decode(chunk.value, { stream: true }).replace(/\r\n?/g, "\n");
    for (let end = buffer.indexOf("\n\n"); end >= 0; end = buffer.indexOf("\n\n")) {
      yield buffer.slice(0, end);
      buffer = buffer.slice(end + 2);
    }
  }
}

// {event, id, data} of one block; null for a comment that keeps the stream open.
function parseEvent(block) {
  let event = "message";
  let id = null;
  const data = [];
  for (const line of block.split("\n")) {
    if (line.startsWith("event:")) event = line.slice(6).trim();
    else if (line.startsWith("id:")) id = line.slice(3).trim();
    else if (line.startsWith("data:")) data.push(line.slice(5).replace(/^ /, ""));
  }
  if (data.length === 0) return null;
  const text = data.join("\n");
  try {
    return { event, id, data: JSON.parse(text) };
  } catch {
    return { event, id, data: text };
  }
}
