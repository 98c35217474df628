// The client's types, derived from the service's OpenAPI document
// (src/api.d.ts, made by openapi-typescript): an export called with an
// argument it does not have, or of the wrong type, fails to compile.
import type { components, paths } from "./api.js";

type CallPath = Extract<keyof paths, `/v1/call/KALPO_${string}`>;
type ShortName<P> = P extends `/v1/call/KALPO_${infer N}` ? N : never;
type Post<P extends CallPath> = paths[P]["post"];
type Body<P extends CallPath> = NonNullable<Post<P>["requestBody"]>["content"]["application/json"];

/** The arguments of an export, by name. */
export type ExportArgs<P extends CallPath> = NonNullable<Body<P>["args"]>;
/** What a call of the export answers. */
export type ExportAnswer<P extends CallPath> = Post<P>["responses"][200]["content"]["application/json"];
export type Message = components["schemas"]["Message"];
export type MessageCode = components["schemas"]["MessageCode"];
export type Version = components["schemas"]["Version"];
export type Health = components["schemas"]["Health"];

export interface CallOptions {
  /** The operator's answer to a confirmation the call asks. */
  confirm?: "yes" | "no";
  /** The same for every attempt.  By default a new one for each call that changes the printer, none for a query. */
  idempotencyKey?: string;
  signal?: AbortSignal;
}

export type KalpoExports = {
  [P in CallPath as ShortName<P>]: (args: ExportArgs<P>, options?: CallOptions) => Promise<ExportAnswer<P>>;
};

export interface ClientOptions {
  token: string;
  baseUrl?: string;
  retries?: number;
  timeoutMs?: number;
  throwOnFailure?: boolean;
  fetch?: typeof fetch;
}

export declare class KalpoError extends Error {
  status: number;
  messages: Message[];
  codes: MessageCode[];
  answer: unknown;
}

export interface KalpoEvent {
  event: string;
  id: string | null;
  data: any;
}

declare class KalpoClientBase {
  constructor(options: ClientOptions);
  readonly baseUrl: string;
  call<N extends ShortName<CallPath>>(
    name: N,
    args: ExportArgs<`/v1/call/KALPO_${N}` & CallPath>,
    options?: CallOptions,
  ): Promise<ExportAnswer<`/v1/call/KALPO_${N}` & CallPath>>;
  exports(): Promise<unknown[]>;
  version(): Promise<Version>;
  health(): Promise<Health>;
  openapi(): Promise<Record<string, unknown>>;
  events(options?: { signal?: AbortSignal; reconnects?: number }): AsyncGenerator<KalpoEvent, void, undefined>;
}

export type KalpoClient = KalpoClientBase & KalpoExports;
export declare const KalpoClient: new (options: ClientOptions) => KalpoClient;
