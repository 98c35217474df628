"""kalpo.exe serve under Wine, called from Linux on loopback: the exports
listed and one sale, whose coupon is then on the paper."""
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
finally:
    service.stop()
print("kalpo.exe serve: the exports listed and a sale made from Linux")
sys.exit(0)
