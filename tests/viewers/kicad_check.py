#!/usr/bin/python3
"""Loads an exported KiCad board with KiCad's own pcbnew module and checks it against the board
document it was written from: counts of footprints, pads, tracks, arc tracks, vias, zones and
nets, that the board lies inside its drawing sheet with the host's origin at KiCad's auxiliary
(and grid) origin, where the pads and vias lie, the Default net class, then runs KiCad's zone filler and its
design-rule check with the custom rules file beside the board, and prints what the check found by
category ("drc clearance 1 track_width 3"). Then every footprint's library footprint, found
through the project's fp-lib-table, is placed as KiCad's "update footprint from library" places
it (at the board footprint's position, turned over to its side, at its angle) and must have the
same pads (number, position, size, shape, drill, layers; no net) and graphic items; only a free
pad's footprint may name no library ("library 6 footprints, 10 placed").

    kicad_check.py DOCUMENT.json BOARD.kicad_pcb

Exit status 0 when everything matches, 1 on a mismatch (listed on stdout), 3 when pcbnew cannot
be imported (the caller skips). KiCad's own assertions go to stderr; the caller fails on them.
"""
import json
import math
import os
import re
import sys

try:
    import pcbnew
except ImportError:
    sys.exit(3)

MM_PER_UNIT = 0.0254 / 10000  # host units are 1/10000 mil
NM_PER_UNIT = MM_PER_UNIT * 1e6

ARC, PAD, VIA, TRACK, FILL, NET, COMPONENT, POLYGON, RULE, SPLIT_PLANE = 1, 2, 3, 4, 6, 8, 9, 10, 16, 22
TOP, BOTTOM, MULTI = 1, 32, 74


def copper(layer):
    return 1 <= layer <= 32 or 39 <= layer <= 54


def carried(layer):
    """Host layers the export has a KiCad layer for (the multi layer only for pads)."""
    return 1 <= layer <= 73


def expected(doc):
    objects = [o for o in doc["objects"] if isinstance(o, dict)]
    by_handle = {o.get("Handle"): o for o in objects}
    kind = lambda o: o.get("ObjectId")

    def owner_component(o):
        for h in o.get("Containers", []):
            c = by_handle.get(h)
            if c is not None and kind(c) == COMPONENT:
                return c
        return None

    def pour(o):
        return any(kind(by_handle.get(h, {})) in (POLYGON, SPLIT_PLANE) and by_handle[h].get("Layer") == o.get("Layer")
                   for h in o.get("Containers", []))

    def pad_size(p):
        side = "Bottom" if p["Layer"] == BOTTOM else "Mid" if 2 <= p["Layer"] <= 31 else "Top"
        return p.get("XSize" + side, 0), p.get("YSize" + side, 0)

    nets = [o for o in objects if kind(o) == NET]
    net_names = {o.get("Name", "") for o in nets}
    pads = [p for p in objects if kind(p) == PAD and 1 <= p.get("Layer", 0) <= MULTI and min(pad_size(p)) > 0]
    free_pads = [p for p in pads if owner_component(p) is None]
    counts = {
        "footprints": sum(1 for o in objects if kind(o) == COMPONENT) + len(free_pads),
        "pads": len(pads),
        "nets": len(nets),
        "vias": sum(1 for o in objects if kind(o) == VIA and o.get("Size", 0) > 0),
        "tracks": sum(1 for o in objects if kind(o) == TRACK and owner_component(o) is None and copper(o["Layer"])
                      and o.get("Width", 0) > 0 and not pour(o)),
        "arcs": 0,
        "zones": 0,
    }
    for a in objects:
        if kind(a) == ARC and owner_component(a) is None and copper(a["Layer"]) and a.get("Radius", 0) > 0 \
                and a.get("Width", 0) > 0 and not pour(a):
            sweep = (a.get("EndAngle", 0) - a.get("StartAngle", 0)) % 360.0
            counts["arcs"] += 2 if sweep == 0 else 1
    extent = []
    for o in objects:
        if kind(o) in (POLYGON, SPLIT_PLANE):
            points = []
            for s in o.get("Segments", [])[:max(0, o.get("PointCount", 0)) + 1]:
                p = (s["X"], s["Y"])
                if not points or points[-1] != p:
                    points.append(p)
            while len(points) > 1 and points[0] == points[-1]:
                points.pop()
            if carried(o.get("Layer", 0)) and len(points) >= 3:
                counts["zones"] += 1
        if kind(o) == FILL and owner_component(o) is None and copper(o["Layer"]) and not pour(o) \
                and o["X"] != o["X2"] and o["Y"] != o["Y2"]:
            counts["zones"] += 1
    for layer in doc["board"].get("layers", []):
        if 39 <= layer.get("Number", 0) <= 54 and layer.get("PlaneNetName") in net_names:
            counts["zones"] += 1
    return counts, pads


def sheet(board_path):
    """The board file's drawing sheet and its size in nm (pcbnew's binding does not wrap it)."""
    sizes = {"A4": (297, 210), "A3": (420, 297), "A2": (594, 420), "A1": (841, 594), "A0": (1189, 841)}
    with open(board_path, encoding="utf-8") as f:
        paper = re.search(r'\(paper "(\w+)"( [\d.]+ [\d.]+)?( portrait)?\)', f.read(4096))
    if paper.group(1) == "User":
        width, height = (float(v) for v in paper.group(2).split())
    else:
        width, height = sizes[paper.group(1)]
        if paper.group(3):
            width, height = height, width
    return paper.group(0), width * 1e6, height * 1e6


def same_places(points, others, tolerance=5):
    """Whether the two lists hold the same points one for one, within `tolerance` nanometres (a
    part at an odd angle lands a nanometre or two off, either side of any grid)."""
    points, others = list(points), list(others)
    if len(points) != len(others):
        return False
    cells = {}
    for x, y in others:
        cells.setdefault((round(x / 1000), round(y / 1000)), []).append((x, y))
    for x, y in points:
        near = (cells.get((round(x / 1000) + i, round(y / 1000) + j), []) for i in (-1, 0, 1) for j in (-1, 0, 1))
        match = next(((cell, n) for cell in near for n, (u, v) in enumerate(cell)
                      if abs(u - x) <= tolerance and abs(v - y) <= tolerance), None)
        if match is None:
            return False
        del match[0][match[1]]
    return True


def library_table(board_path):
    """The footprint libraries the project's fp-lib-table names: nickname -> folder."""
    folder = os.path.dirname(os.path.abspath(board_path))
    path = os.path.join(folder, "fp-lib-table")
    if not os.path.exists(path):
        return {}
    with open(path, encoding="utf-8") as f:
        text = f.read()
    quoted = r'"((?:[^"\\]|\\.)*)"'
    unescape = lambda s: re.sub(r"\\(.)", r"\1", s)
    return {unescape(name): unescape(uri).replace("${KIPRJMOD}", folder)
            for name, uri in re.findall(r"\(lib \(name " + quoted + r"\)\(type \"KiCad\"\)\(uri " + quoted + r"\)", text)}


def angle(tenths):
    """A KiCad angle (tenths of a degree) in [0, 3600), 3600 as 0."""
    value = tenths % 3600
    return 0.0 if value > 3599.99 else round(value, 2)


def pad_facts(pad):
    return (pad.GetNumber(), pad.GetPosition().x, pad.GetPosition().y, pad.GetSize().x, pad.GetSize().y,
            pad.GetShape(), pad.GetAttribute(), pad.GetDrillSize().x, pad.GetDrillSize().y,
            angle(pad.GetOrientation()), pad.GetLayerSet().FmtHex(), round(pad.GetRoundRectRadiusRatio(), 4),
            round(pad.GetChamferRectRatio(), 4), pad.GetChamferPositions())


def item_facts(item):
    """A footprint's graphic item (its reference and value are not among them) as numbers."""
    if item.GetClass() == "MGRAPHIC":
        shape = item.GetShape()
        points = [item.GetStart(), item.GetEnd()]
        if shape == pcbnew.SHAPE_T_ARC:
            points += [item.GetCenter(), item.GetArcMid()]
        if shape == pcbnew.SHAPE_T_POLY:
            # The outline in the footprint's frame, and where it lies on the board
            # (as a set: turned over, KiCad's outline runs the other way round).
            outline = item.GetPolyShape().Outline(0)
            points += sorted((outline.CPoint(i) for i in range(outline.PointCount())), key=lambda p: (p.x, p.y))
            box = item.GetBoundingBox()
            points += [box.GetOrigin(), box.GetEnd()]
        return ("shape", shape, item.GetLayer(), item.GetWidth(), tuple((p.x, p.y) for p in points))
    return ("text", item.GetText(), item.GetLayer(), item.GetTextPos().x, item.GetTextPos().y,
            angle(item.GetDrawRotation()), item.IsMirrored(), item.GetTextSize().x, item.GetTextThickness())


def close(a, b):
    """Equal but for a nanometre or two of rounding (lengths) and a hundredth of a tenth of a degree."""
    if isinstance(a, tuple):
        return isinstance(b, tuple) and len(a) == len(b) and all(close(x, y) for x, y in zip(a, b))
    if isinstance(a, float) or isinstance(b, float):
        return abs(a - b) <= 0.02
    if isinstance(a, int) and isinstance(b, int) and not isinstance(a, bool):
        return abs(a - b) <= 2
    return a == b


def coarse(facts):
    """A sort key that equal-but-for-rounding facts share."""
    if isinstance(facts, tuple):
        return tuple(coarse(f) for f in facts)
    if isinstance(facts, (int, float)) and not isinstance(facts, bool):
        return round(facts / 1000)
    return str(facts)


def library_failures(board, board_path):
    """Every footprint's library footprint, placed as KiCad's update places it, against it."""
    libraries = library_table(board_path)
    failures, placed, names = [], 0, set()
    # The library footprints are placed on a board of their own with the same copper layers (a
    # footprint turned over moves to the inner layer counted from the other face); they stay on
    # it, as pcbnew's Python binding loses track of its types once one is removed again.
    scratch = pcbnew.BOARD()
    scratch.SetCopperLayerCount(board.GetCopperLayerCount())
    for footprint in list(board.GetFootprints()):
        fpid = footprint.GetFPID()
        nickname, name = str(fpid.GetLibNickname()), str(fpid.GetLibItemName())
        where = f"{footprint.GetReference()} ({nickname}:{name})"
        if not nickname:
            if not (footprint.GetReference().startswith("Free-") and len(footprint.Pads()) == 1):
                failures.append(f"{where} names no library")
            continue
        if nickname not in libraries:
            failures.append(f"{where}: the project's fp-lib-table has no library {nickname}")
            continue
        library = pcbnew.FootprintLoad(libraries[nickname], name)
        if library is None:
            failures.append(f"{where}: not in {libraries[nickname]}")
            continue
        names.add((nickname, name))
        if any(pad.GetNetname() for pad in library.Pads()):
            failures.append(f"{where}: the library footprint's pads have nets")
        scratch.Add(library)
        library.SetPosition(footprint.GetPosition())
        if library.GetLayer() != footprint.GetLayer():
            library.Flip(library.GetPosition(), False)
        library.SetOrientation(footprint.GetOrientation())
        got = sorted((pad_facts(p) for p in library.Pads()), key=coarse)
        want = sorted((pad_facts(p) for p in footprint.Pads()), key=coarse)
        if not close(tuple(got), tuple(want)):
            failures.append(f"{where}: pads differ from the library's\n  board   {want}\n  library {got}")
        got = sorted((item_facts(i) for i in library.GraphicalItems()), key=coarse)
        want = sorted((item_facts(i) for i in footprint.GraphicalItems()), key=coarse)
        if not close(tuple(got), tuple(want)):
            failures.append(f"{where}: graphic items differ from the library's\n  board   {want}\n  library {got}")
        placed += 1
    return failures, f"library {len(names)} footprints, {placed} placed"


def main():
    document_path, board_path = sys.argv[1], sys.argv[2]
    with open(document_path, encoding="utf-8") as f:
        doc = json.load(f)
    want, pads = expected(doc)
    board = pcbnew.LoadBoard(board_path)
    footprints = list(board.GetFootprints())
    tracks = list(board.GetTracks())
    got = {
        "footprints": len(footprints),
        "pads": sum(len(f.Pads()) for f in footprints),
        "tracks": sum(1 for t in tracks if t.GetClass() == "PCB_TRACK"),
        "arcs": sum(1 for t in tracks if t.GetClass() == "PCB_ARC"),
        "vias": sum(1 for t in tracks if t.GetClass() == "PCB_VIA"),
        "zones": len(list(board.Zones())),
        "nets": board.GetNetCount() - 1,  # KiCad's net 0 is "no net"
    }
    failures = [f"{name}: document {want[name]}, KiCad {got[name]}" for name in want if want[name] != got[name]]

    # The board lies on the drawing sheet, the host's origin at KiCad's auxiliary origin; every
    # object and the board's extent inside the sheet.
    aux = board.GetDesignSettings().GetAuxOrigin()
    grid = board.GetDesignSettings().GetGridOrigin()
    if (aux.x, aux.y) != (grid.x, grid.y):
        failures.append(f"grid origin {grid.x} {grid.y} is not the auxiliary origin {aux.x} {aux.y}")
    paper, width, height = sheet(board_path)
    box = board.GetBoundingBox()
    if box.GetX() < 0 or box.GetY() < 0 or box.GetRight() > width or box.GetBottom() > height:
        failures.append(f"the board ({box.GetX()} {box.GetY()} to {box.GetRight()} {box.GetBottom()} nm) "
                        f"leaves the {paper} sheet ({width:.0f} x {height:.0f} nm)")

    def on_sheet(x, y):
        return (x * NM_PER_UNIT + aux.x, -y * NM_PER_UNIT + aux.y)

    # Pads where the document has them: footprint rotation and side undone correctly.
    doc_pads = (on_sheet(p["X"], p["Y"]) for p in pads)
    kicad_pads = ((p.GetPosition().x, p.GetPosition().y) for f in footprints for p in f.Pads())
    if not same_places(doc_pads, kicad_pads):
        failures.append("pad positions differ")
    doc_vias = (on_sheet(o["X"], o["Y"]) for o in doc["objects"] if o.get("ObjectId") == VIA and o.get("Size", 0) > 0)
    kicad_vias = ((t.GetPosition().x, t.GetPosition().y) for t in tracks if t.GetClass() == "PCB_VIA")
    if not same_places(doc_vias, kicad_vias):
        failures.append("via positions differ")

    for rule in doc["objects"]:
        if rule.get("ObjectId") == RULE and rule.get("RuleKind") == 0 and rule.get("Scope1", "") in ("", "All") \
                and rule.get("Scope2", "") in ("", "All") and rule.get("Constraint"):
            gap = rule["Constraint"]["Values"][0] * NM_PER_UNIT
            clearance = board.GetDesignSettings().GetNetClasses().GetDefault().GetClearance()
            if abs(clearance - gap) > 2:
                failures.append(f"Default net class clearance {clearance} nm, rule {gap:.0f} nm")
            break

    filled = pcbnew.ZONE_FILLER(board).Fill(board.Zones())
    report = os.path.abspath(board_path) + ".drc.txt"
    if not pcbnew.WriteDRCReport(board, report, pcbnew.EDA_UNITS_MILLIMETRES, True):
        failures.append("KiCad's design-rule check did not run (custom rules not accepted)")
    categories = {}
    if os.path.exists(report):
        with open(report, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("["):
                    category = line[1:line.index("]")]
                    categories[category] = categories.get(category, 0) + 1
    violations = sum(categories.values())
    # Last: a board made for the library footprints takes the project's settings away from this one.
    library_failed, library_said = library_failures(board, board_path)
    failures += library_failed
    print(" ".join(f"{k} {v}" for k, v in got.items()) + f" filled {filled} violations {violations}")
    print("drc " + " ".join(f"{k} {v}" for k, v in sorted(categories.items())))
    print(library_said)
    for failure in failures:
        print("MISMATCH " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
