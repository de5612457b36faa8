#!/usr/bin/env python3
"""Cross-check of korvane-energy-cli against a second, deliberately plain implementation of the same model.

The reference below evaluates every working hour from scratch, in the published order of operations, with
Python floats (IEEE doubles, the same libm). Random parameter sets are run through both; the percent and the
error number must agree exactly, the saved fraction to 1e-12.

usage: engine_crosscheck.py PATH_TO_CLI [CASES] [SEED]
"""
import json
import math
import random
import subprocess
import sys

PI = 3.14159265358979
DAYS_BEFORE = [0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334]
DAYS_IN = [31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31]
SIDE_X = [1.4, 1.6, 1.8, 2.0, 2.2, 2.4, 2.6, 2.8, 3.0, 3.4, 3.8, 4.2, 4.6, 5.0]
SIDE = {
    30: ([0.0213, 0.0164, 0.0134, 0.0114, 0.01, 0.0088, 0.0079, 0.0073, 0.0067, 0.0057, 0.005, 0.0043, 0.0038, 0.0034],
         [0.0264, 0.0209, 0.0172, 0.0147, 0.0128, 0.0114, 0.0102, 0.0093, 0.0085, 0.0073, 0.0063, 0.0055, 0.0049, 0.0044]),
    60: ([0.0423, 0.0328, 0.026, 0.0218, 0.0188, 0.0164, 0.0146, 0.0131, 0.0121, 0.0101, 0.0087, 0.0075, 0.0065, 0.0059],
         [0.0503, 0.0403, 0.0331, 0.0282, 0.0247, 0.0218, 0.0196, 0.0178, 0.0163, 0.0138, 0.0119, 0.0102, 0.009, 0.0081]),
    90: ([0.0637, 0.0484, 0.0395, 0.0335, 0.0287, 0.0251, 0.0223, 0.0201, 0.0183, 0.0154, 0.0134, 0.0117, 0.0104, 0.0094],
         [0.0773, 0.0582, 0.0465, 0.039, 0.0339, 0.0299, 0.0267, 0.0242, 0.0222, 0.0187, 0.016, 0.0139, 0.0124, 0.0112]),
}
FLAT = ([1.5, 2, 4, 10, 100], [0.42649, 0.49701, 0.6466, 0.75682, 0.8325])
SAW = ([1, 2, 4, 10, 100], [0.13169, 0.18527, 0.23883, 0.28348, 0.31888])
TOO_LOW = "The active height of the window is too small in relation to the depth of the room"


class Raised(Exception):
    def __init__(self, number, description=""):
        super().__init__(number)
        self.number = number
        self.description = description


def fin(x):
    if math.isnan(x) or math.isinf(x):
        raise Raised(6)
    return x


def div(a, b):
    if b == 0:
        raise Raised(6 if a == 0 else 11)
    return fin(a / b)


def i16(v):
    if not -32768 <= v <= 32767:
        raise Raised(6)
    return v


def interp(x1, y1, x2, y2, x):
    return fin(y2 + fin(div(y1 - y2, x1 - x2) * fin(x - x2)))


class Model:
    def __init__(self):
        self.message = ""

    def band(self, table, D, h, cls):
        q = div(D, h)
        Y = table[0] if cls == 1 else table[1]
        X = SIDE_X
        if q < X[0]:
            v = fin(2 * interp(X[0], Y[0], X[1], Y[1], q))
            self.message = TOO_LOW
            return v
        if q >= X[13]:
            v = fin(2 * interp(X[12], Y[12], X[13], Y[13], q))
            self.message = TOO_LOW
            return v
        for i in range(13):
            if X[i] <= q < X[i + 1]:
                return fin(2 * interp(X[i], Y[i], X[i + 1], Y[i + 1], q))
        raise AssertionError("unreachable")

    def side(self, W, D, h, band):
        if band not in SIDE:
            self.message = "Windowpart not correct"
            return 0.0
        t = SIDE[band]
        if W >= 10:
            return self.band(t, D, h, 2)
        if W <= 7:
            return self.band(t, D, h, 1)
        r7 = self.band(t, D, h, 1)
        r10 = self.band(t, D, h, 2)
        return interp(7, r7, 10, r10, W)

    def roof(self, table, scale, k):
        A, B = table
        for i in range(4):
            if A[i] <= k <= A[i + 1]:
                return interp(A[i], fin(scale * B[i]), A[i + 1], fin(scale * B[i + 1]), k)
        raise AssertionError("unreachable")

    def flat(self, W, D, H, A, d):
        nx = math.floor(div(W, d))
        nx = 1.0 if nx < 1 else float(nx)
        ny = i16(math.floor(div(D, d)))
        ny = max(ny, 1)
        F = fin(W * D)
        g = div(fin(fin(nx * A) * ny), F)
        k = div(W, fin(H - 0.8))
        if k < 1.5:
            self.message = "Out of Data Space"
            return 0.0
        if k >= 100:
            return fin(g * 0.8325)
        return self.roof(FLAT, g, k)

    def saw(self, W, H, hg, d, slope):
        if slope not in (60, 90):
            self.message = "Window Angle unknown"
            return 0.0
        r = div(hg, d)
        k = div(W, fin(H - 0.8))
        if k < 1:
            self.message = "Data out of space"
            return 0.0
        if k >= 100:
            return fin(r * 0.31888)
        return self.roof(SAW, r, k)


def rad(a):
    return fin(a * PI) / 180


def artificial(lon, lat, g, f, En, N, h):
    x = N / 365
    J = 2 * x * PI
    decl = rad(0.33281 - 22.984 * math.cos(J) - 0.3499 * math.cos(2 * J) - 0.1398 * math.cos(3 * J)
               + 3.7872 * math.sin(J) + 0.03205 * math.sin(2 * J) + 0.07185 * math.sin(3 * J))
    E = (0.0072 * math.cos(J) - 0.0528 * math.cos(2 * J) - 0.0012 * math.cos(3 * J)
         - 0.1229 * math.sin(J) - 0.1565 * math.sin(2 * J) - 0.0041 * math.sin(3 * J))
    d = float(i16(h - g))
    T = fin(fin(fin(lon * 4) / 60 + d) - E)
    w = rad(fin((12 - T) * 15))
    phi = rad(lat)
    s = fin(math.cos(phi) * math.cos(decl) * math.cos(w) + math.sin(phi) * math.sin(decl))
    s = min(s, 1.0)
    s = max(s, 0.0)
    gamma = PI / 2 if s == 1 else math.atan(s / math.sqrt(1 - s * s))
    Eh = 300 + 21000 * math.sin(gamma)
    D = fin(En - fin(Eh * f))
    return D if D > 0 else 0.0


def period_saving(lon, lat, g, b, e, f, En, period):
    nH = i16(e - b)
    if period == 0:
        first, days = 1, 365
    else:
        first = i16(DAYS_BEFORE[period - 1] + 1) if 1 <= period <= 12 else 0
        days = DAYS_IN[period - 1] if 1 <= period <= 12 else 0
    total = 0.0
    for N in range(first, i16(i16(first + days) - 1) + 1):
        day = 0.0
        for h in range(b, i16(e - 1) + 1):
            day = fin(day + artificial(lon, lat, g, f, En, N, h))
        total = fin(total + day)
    if period == 0:
        norm = fin(fin(nH * 365.0) * En)
    else:
        prod = i16(days * nH) * En
        if not -2**31 <= prod < 2**31:
            raise Raised(6)
        norm = float(prod)
    return fin(1 - div(total, norm))


def reference(p):
    model = Model()
    t = p["window-type"]
    if t == 1:
        m = model.side(p["width"], p["depth"], p["window-height"], p["band"])
    elif t == 2:
        m = model.flat(p["width"], p["depth"], p["room-height"], p["window-area"], p["window-distance"])
    elif t == 3:
        m = model.saw(p["width"], p["room-height"], p["window-height"], p["window-distance"], p["slope"])
    else:
        return None, None, -2147220991
    f = div(fin(p["transmittance"] * m), 100)
    s = period_saving(p["longitude"], p["latitude"], p["gmt"], p["begin"], p["end"], f, p["illuminance"],
                      p["period"])
    r = fin(s * 100)
    pct = i16(int(math.floor(abs(r) + 0.5)) * (1 if r >= 0 else -1))
    pct = min(max(pct, 0), 100)
    return pct, s, (-2147220982 if model.message else None)


# Only what the window's fields and lists can hold: the calculator refuses the rest before the engine sees it.
def draw(rng):
    t = rng.choice([1, 1, 2, 3])
    begin = rng.randint(0, 12)
    return {
        "window-type": t, "begin": begin, "end": rng.randint(max(6, begin + 1), 24), "period": rng.randint(0, 12),
        "depth": round(rng.uniform(1, 15), 2), "width": round(rng.uniform(1, 40), 2),
        "illuminance": rng.choice([300, 500, 750, 1000, rng.randint(1, 3000)]),
        "longitude": round(rng.uniform(-180, 180), 1), "latitude": round(rng.uniform(-70, 70), 2),
        "gmt": rng.randint(-11, 13), "transmittance": rng.randint(0, 100), "band": rng.choice([30, 60, 90]),
        "window-height": round(rng.uniform(0.3, 4), 2), "room-height": round(rng.uniform(1.5, 12), 2),
        "window-area": round(rng.uniform(0.2, 6), 2), "window-distance": round(rng.uniform(0.5, 12), 2),
        "slope": rng.choice([60, 90]),
    }


def main():
    cli = sys.argv[1]
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261206)
    failures = 0
    for i in range(cases):
        p = draw(rng)
        try:
            pct, s, err = reference(p)
        except Raised as e:
            pct, s, err = None, None, e.number
        args = [cli, "--json"] + [a for k, v in p.items() for a in ("--" + k, repr(v))]
        got = json.loads(subprocess.run(args, capture_output=True, text=True, check=False).stdout)
        got_err = got["error"]["number"] if got["error"] else None
        ok = got["percent"] == pct and got_err == err
        ok = ok and ((s is None and got["fraction"] is None) or
                     (s is not None and got["fraction"] is not None and abs(got["fraction"] - s) <= 1e-12))
        if not ok:
            failures += 1
            print(f"case {i}: {p}\n  reference: {pct} {s} {err}\n  cli:       {got}")
    print(f"{cases - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
