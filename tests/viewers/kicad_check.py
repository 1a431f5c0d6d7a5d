#!/usr/bin/python3
"""Loads an exported KiCad board with KiCad's own pcbnew module and checks it against the board
document it was written from: counts of footprints, pads, tracks, arc tracks, vias, zones and
nets, that the board lies inside its drawing sheet with the host's origin at KiCad's auxiliary
(and grid) origin, where the pads and vias lie, the Default net class, then runs KiCad's zone filler and its
design-rule check with the custom rules file beside the board, and prints what the check found by
category ("drc clearance 1 track_width 3").

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


def positions(points):
    return sorted((round(x / 10), round(y / 10)) for x, y in points)


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
    doc_pads = positions(on_sheet(p["X"], p["Y"]) for p in pads)
    kicad_pads = positions((p.GetPosition().x, p.GetPosition().y) for f in footprints for p in f.Pads())
    if doc_pads != kicad_pads:
        failures.append("pad positions differ")
    doc_vias = positions(on_sheet(o["X"], o["Y"]) for o in doc["objects"]
                         if o.get("ObjectId") == VIA and o.get("Size", 0) > 0)
    kicad_vias = positions((t.GetPosition().x, t.GetPosition().y) for t in tracks if t.GetClass() == "PCB_VIA")
    if doc_vias != kicad_vias:
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
    print(" ".join(f"{k} {v}" for k, v in got.items()) + f" filled {filled} violations {violations}")
    print("drc " + " ".join(f"{k} {v}" for k, v in sorted(categories.items())))
    for failure in failures:
        print("MISMATCH " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
