"""kalpo.exe serve under Wine, called from Linux on loopback: the exports
listed and one sale, whose coupon is then on the paper; idle sockets do not
keep a call out, a cookie authenticates nothing, a ticket opens the event
stream, a body nested too deep and a short token are refused; the OpenAPI
document and the metrics answered; a printer that is off is reported down by
the printer watch."""
import socket
import sys
import time

from service import Service, declared_exports, sell

service = Service("--printer", "BEMATECHMP20", "--watch-interval", "0.5")
try:
    status, _, exports = service.request("GET", "/v1/exports")
    assert status == 200 and {e["name"] for e in exports} == declared_exports(), (status, exports)
    service.request("POST", "/v1/call/Abredia", {"args": ["BEMATECHMP20"]})
    assert sell(service, "BEMATECHMP20", "VENDA PELO WINE") == [1] * 5
    page = service.tape("bemafi32", 1)[0]
    assert "CUPOM FISCAL" in page["text"] and "VENDA PELO WINE" in page["text"], page
    deep = '{"args": ' + "[" * 12000 + "]" * 12000 + "}"
    status, _, refused = service.request("POST", "/v1/call/Abredia", deep)
    assert status == 400 and "deeper than 32" in refused["error"], (status, refused)
    status, _, document = service.request("GET", "/v1/openapi.json")
    assert status == 200 and "/v1/call/KALPO_VendaItem" in document["paths"], status
    status, _, metrics = service.request("GET", "/metrics")
    assert status == 200 and 'kalpo_calls_total{export="KALPO_VendaItem",model="BEMATECHMP20",result="ok"} 1' in metrics, \
        metrics
    idle = [socket.create_connection(("127.0.0.1", service.port)) for _ in range(200)]
    try:
        assert service.request("GET", "/v1/exports")[0] == 200
    finally:
        for s in idle:
            s.close()
    cookie = {"Cookie": "kalpo_token_%d=%s" % (service.port, service.token)}
    assert service.request("GET", "/v1/exports", headers=cookie, token=False)[0] == 401
    ticket = service.request("POST", "/v1/events/ticket")[2]["ticket"]
    with socket.create_connection(("127.0.0.1", service.port), timeout=10) as stream:
        stream.sendall(b"GET /v1/events?ticket=%s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n"
                       % (ticket.encode(), service.port))
        assert b"200 OK" in stream.recv(4096)
    service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": ["off"]})
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        printer = service.request("GET", "/v1/health", token=False)[2]["printers"]["BEMATECHMP20"]
        if printer["status"] == "down":
            break
        time.sleep(0.2)
    assert printer["status"] == "down" and printer["answering"] is False, printer
    metrics = service.request("GET", "/metrics")[2]
    assert 'kalpo_printer_up{model="BEMATECHMP20",library="bemafi32"} 0' in metrics, metrics
finally:
    service.stop()
try:
    Service(token="short")
    raise AssertionError("a 5-character token was taken")
except RuntimeError as refused:
    assert "fewer than 128 bits" in str(refused), refused
print("kalpo.exe serve: the exports listed, a sale made from Linux, the OpenAPI document, the metrics, an off printer down")
sys.exit(0)
