#!/usr/bin/env python3
"""kalpo serve under attack from the same workstation (not a test).

  bench/serve_attack.py KALPO_TOOL [CALLS] [IDLE]

With 20 event streams that never read and then 500 idle unauthenticated
sockets open, CALLS (1,000) authenticated calls are made one after another, each a
KALPO_VendaItem with a 60 KB description (so that every `call` event is
large): how many were answered 200, their median and worst latency, and the
service's resident memory before the attackers came, while they stayed, and
after they left.  Only loopback is used; every loop is bounded."""
import http.client
import json
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time

tool = os.path.abspath(sys.argv[1])
calls = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
IDLE = int(sys.argv[3]) if len(sys.argv) > 3 else 500
STREAMS, TOKEN = 20, "bench-token-0123456789abcdef"
MODEL = "BEMATECHMP20"


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def settle(pid, seconds=2.0):
    """The resident memory once it has stopped falling (at most `seconds`)."""
    last = resident_kib(pid)
    deadline = time.time() + seconds
    while time.time() < deadline:
        time.sleep(0.25)
        now = resident_kib(pid)
        if now >= last:
            return now
        last = now
    return last


def main():
    folder = tempfile.TemporaryDirectory(prefix="kalpo-attack-")
    env = dict(os.environ, KALPO_SERVE_TOKEN=TOKEN, HOME=folder.name, KALPO_SIM_DIR=os.path.join(folder.name, "sim"),
               KALPO_DRIVE_C=os.path.join(folder.name, "c"))
    env.pop("KALPO_SERVE_LIMITS", None)
    service = subprocess.Popen([tool, "serve", "--port", "0"], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    try:
        port = int(service.stdout.readline().rstrip().rstrip("/").rsplit(":", 1)[1])
        headers = {"Host": "127.0.0.1:%d" % port, "Authorization": "Bearer " + TOKEN,
                   "Content-Type": "application/json"}

        def call(connection, export, args):
            connection.request("POST", "/v1/call/" + export, json.dumps({"args": args}), headers)
            response = connection.getresponse()
            response.read()
            return response.status

        warm = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
        call(warm, "Abredia", [MODEL])
        call(warm, "AbreCupom", [MODEL, None, "", "", ""])
        warm.close()
        before = settle(service.pid)

        streams = []
        for _ in range(STREAMS):
            s = socket.socket()
            s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            s.settimeout(5)
            s.connect(("127.0.0.1", port))
            s.sendall(("GET /v1/events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nAuthorization: Bearer %s\r\n\r\n"
                       % (port, TOKEN)).encode())
            streams.append(s)

        idle = []
        for _ in range(IDLE):
            try:
                idle.append(socket.create_connection(("127.0.0.1", port), timeout=5))
            except OSError:
                break
        sale = [MODEL, "1001", "X" * 60000, "FF", "F", 1, 2, 1.0, "$"]
        latencies, answered, refused, failed = [], 0, 0, 0
        peak = before
        for i in range(calls):
            started = time.perf_counter()
            try:
                connection = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
                status = call(connection, "VendaItem", sale)
                connection.close()
            except OSError:
                status = 0
            latencies.append((time.perf_counter() - started) * 1000)
            answered += status == 200
            refused += status == 503
            failed += status not in (200, 503)
            if i % 100 == 0:
                peak = max(peak, resident_kib(service.pid))
        peak = max(peak, resident_kib(service.pid))
        for s in idle + streams:
            s.close()
        after = settle(service.pid, 5.0)
        print("kalpo serve under attack: %d idle sockets (%d opened), %d streams that never read, %d calls"
              % (IDLE, len(idle), STREAMS, calls))
        print("  answered 200: %d, 503: %d, failed: %d" % (answered, refused, failed))
        print("  latency: median %.2f ms, worst %.2f ms" % (statistics.median(latencies), max(latencies)))
        print("  resident memory: before %.1f MiB, peak %.1f MiB, after %.1f MiB (after - before: %+.1f MiB)"
              % (before / 1024, peak / 1024, after / 1024, (after - before) / 1024))
    finally:
        service.terminate()
        try:
            service.wait(timeout=10)
        except subprocess.TimeoutExpired:
            service.kill()
            service.wait()
        service.stdout.close()
        folder.cleanup()


main()
