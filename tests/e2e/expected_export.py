"""What the text export of an analysis against the sample site must hold, computed from the site's
data files alone (not from the program's code), and the comparison with a written file.

The rules mirrored here are the program's documented behaviour: at most ten rows per fund, a row
without a title gives nothing but uses up its pass, a percentage cell without "%" takes the next row's
percentage, the merge folds by name in analysis order summing ratios as 32-bit floats, and the cells are
code, name, price, ratio, count with six significant digits.
"""
import decimal
import pathlib
import struct


def f32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]


def read_number(text):
    """The leading decimal number of a text, as strtod reads the forms the sample data uses."""
    text = text.strip()
    end = 0
    while end < len(text) and (text[end].isdigit() or text[end] in ".+-eE"):
        end += 1
    while end > 0:
        try:
            return float(text[:end])
        except ValueError:
            end -= 1
    return 0.0


def float_to_text(value):
    if value == 0:
        return "0"
    exact = decimal.Decimal(value)
    magnitude = abs(exact)
    exponent = magnitude.adjusted()
    quantum = decimal.Decimal(1).scaleb(exponent - 5)
    rounded = magnitude.quantize(quantum, rounding=decimal.ROUND_HALF_UP)
    text = "%.6g" % float(rounded)
    return "-" + text if value < 0 else text


def _rows(path):
    for line in pathlib.Path(path).read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            yield line.split("\t")


def load(data):
    stocks = {}
    for market, code, name, price, *_ in _rows(data / "stocks.tsv"):
        stocks[f"{market}.{code}"] = (code, name, price)
    funds = {}
    for code, _name, _style, kind, *_ in _rows(data / "funds.tsv"):
        funds[code] = {"kind": kind, "holdings": []}
    for fields in _rows(data / "holdings.tsv"):
        fund, secid, cell = fields[0], fields[1], fields[2]
        funds[fund]["holdings"].append((secid, cell, "no-title" not in fields[3:]))
    return stocks, funds


def fund_records(fund, stocks):
    """The records one fund's page yields: (code, name, ratio, price)."""
    if fund["kind"] in ("no-table", "date-first"):
        return []
    holdings = fund["holdings"]
    records = []
    for index, (secid, cell, has_title) in enumerate(holdings[:10]):
        if not has_title:
            continue
        # A cell without "%" runs on to the next "%</td>", the following row's percentage cell.
        percent = cell
        follow = index
        while "%" not in percent and follow + 1 < len(holdings):
            follow += 1
            percent = holdings[follow][1]
        ratio = f32(read_number(percent.split("%")[0])) if "%" in percent else 0.0
        code, name, price = stocks[secid]
        records.append((code, name, ratio, f32(read_number(price)) if price != "-" else 0.0))
    return records


def expected_lines(data, codes):
    stocks, funds = load(pathlib.Path(data))
    seen = []
    for code in codes:
        if code not in seen:
            seen.append(code)
    merged = {}
    order = []
    for code in seen:
        if len(code.encode("gbk")) != 6 or code not in funds:
            continue
        for stock_code, name, ratio, price in fund_records(funds[code], stocks):
            if name not in merged:
                merged[name] = [stock_code, ratio, 1, price]
                order.append(name)
            else:
                entry = merged[name]
                entry[1] = f32(entry[1] + ratio)
                entry[2] += 1
    lines = []
    for name in order:
        stock_code, ratio, count, price = merged[name]
        cells = [stock_code, name, float_to_text(price), float_to_text(ratio), str(count)]
        lines.append((count, "".join(cell + "\t" for cell in cells).encode("gbk")))
    return lines


def compare(written, data, codes):
    """Problems found in a written export; empty when it holds exactly what it must."""
    problems = []
    expected = expected_lines(data, codes)
    if not expected:
        return ["the chosen codes give no rows; the test would prove nothing"]
    if written.endswith(b"\r\n"):
        problems.append("the file ends with a line break")
    lines = written.split(b"\r\n")
    counts = []
    for line in lines:
        try:
            counts.append(int(line.rstrip(b"\t").split(b"\t")[-1]))
        except ValueError:
            problems.append(f"a line without a count: {line!r}")
            return problems
    if counts != sorted(counts, reverse=True):
        problems.append(f"counts not in non-increasing order: {counts}")
    for count in sorted(set(counts) | {c for c, _ in expected}, reverse=True):
        got = sorted(line for line, c in zip(lines, counts) if c == count)
        want = sorted(line for c, line in expected if c == count)
        if got != want:
            missing = [w.decode("gbk") for w in want if w not in got]
            extra = [g.decode("gbk", "replace") for g in got if g not in want]
            problems.append(f"rows with count {count} differ; missing {missing}, unexpected {extra}")
    return problems
