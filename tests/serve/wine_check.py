"""kalpo.exe serve under Wine, called from Linux on loopback: the exports
listed and one sale, whose coupon is then on the paper; the OpenAPI document
and the metrics answered."""
import sys

from service import Service, sell

service = Service()
try:
    status, _, exports = service.request("GET", "/v1/exports")
    assert status == 200 and len(exports) == 43, (status, exports)
    service.request("POST", "/v1/call/Abredia", {"args": ["BEMATECHMP20"]})
    assert sell(service, "BEMATECHMP20", "VENDA PELO WINE") == [1] * 5
    page = service.tape("bemafi32", 1)[0]
    assert "CUPOM FISCAL" in page["text"] and "VENDA PELO WINE" in page["text"], page
    status, _, document = service.request("GET", "/v1/openapi.json")
    assert status == 200 and "/v1/call/KALPO_VendaItem" in document["paths"], status
    status, _, metrics = service.request("GET", "/metrics")
    assert status == 200 and 'kalpo_calls_total{export="KALPO_VendaItem",model="BEMATECHMP20",result="ok"} 1' in metrics, \
        metrics
finally:
    service.stop()
print("kalpo.exe serve: the exports listed, a sale made from Linux, the OpenAPI document and the metrics")
sys.exit(0)
