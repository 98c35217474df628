"""What the benchmarks of kalpo serve share: the build folder and the number
of calls from the command line, the service's test harness, and the cheap
query they time (KALPO_NumeroCupom on BEMATECHMP20) straight into libkalpo."""
import ctypes
import os
import sys

MODEL = "BEMATECHMP20"
HERE = os.path.dirname(os.path.abspath(__file__))


def arguments(default_calls):
    """(build folder, calls) from the command line; the harness set to the build's kalpo."""
    build = os.path.abspath(sys.argv[1])
    calls = int(sys.argv[2]) if len(sys.argv) > 2 else default_calls
    os.environ["KALPO_TOOL"] = os.path.join(build, "bin", "kalpo")
    sys.path.insert(0, os.path.join(HERE, "..", "tests", "serve"))
    return build, calls


def direct(build):
    """The query as a function calling libkalpo (ctypes), on the printers of
    KALPO_SIM_DIR as set now."""
    library = ctypes.CDLL(os.path.join(build, "lib", "libkalpo.so"))
    library.KALPO_NumeroCupom.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_char_p)]
    library.KALPO_NumeroCupom.restype = ctypes.c_uint8
    number = ctypes.c_char_p()
    return lambda: library.KALPO_NumeroCupom(MODEL.encode(), ctypes.byref(number))
