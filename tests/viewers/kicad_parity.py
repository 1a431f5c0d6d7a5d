#!/usr/bin/python3
"""Compares what KiCad draws of an exported board with what this project draws of the imported one.

    kicad_parity.py DOCUMENT.json BOARD.svg BOARD.kicad_pcb [--out DIR [--all]] [--limit PERCENT]

Per copper (signal), silk and edge layer, KiCad's own plot of the layer (pcbnew's PLOT_CONTROLLER,
SVG) and the layer's groups of the project's SVG are rasterised in the same frame and at the same
scale, and the area that one draws and the other does not is measured over the area either draws.
Texts (the fonts differ) and zones (KiCad refills them) are left out of both pictures and compared
apart: each shown text by position, height and angle; each zone by its outline's area, and, once
KiCad's own zone filler has filled it, a zone made from a fill keeps copper. A fill of a component
is no zone: it is drawn in its footprint, and compared with its layer.

Prints one line per layer ("F.Cu 0.031 %") and the text and zone checks. Exit status 0 when every
layer is within the limit (default 0.2 %) and every text and zone matches, 1 otherwise (with
--out, the two rasters, their difference and the two side by side are written there as PNGs for
each failing layer, or for every layer with --all),
3 when pcbnew or cairosvg cannot be imported (the caller skips).
"""
import argparse
import io
import json
import math
import os
import re
import sys
import tempfile
import xml.etree.ElementTree as ET

try:
    import cairosvg
    import numpy
    import pcbnew
    from PIL import Image
except ImportError:
    sys.exit(3)

SVG_NS = "http://www.w3.org/2000/svg"
ET.register_namespace("", SVG_NS)
NM_PER_MIL = 25400
MM_PER_UNIT = 0.0254 / 10000  # host units are 1/10000 mil

ARC, PAD, VIA, TRACK, TEXT, FILL, COMPONENT, POLYGON, SPLIT_PLANE = 1, 2, 3, 4, 5, 6, 9, 10, 22
TOP, BOTTOM, TOP_OVERLAY, BOTTOM_OVERLAY, KEEP_OUT, MULTI = 1, 32, 33, 34, 56, 74
# Drawn in both pictures; the other kinds are compared apart (texts, zones) or drawn by neither.
DRAWN_KINDS = {ARC, PAD, VIA, TRACK}
# pcbnew's class names of texts on the board and in footprints (KiCad 6 has the short ones).
BOARD_TEXT, FOOTPRINT_TEXT = ("PTEXT", "PCB_TEXT"), ("MTEXT", "FP_TEXT")
# Pixels per mil, and the longest side of a raster.
SCALE, LONGEST = 1.0, 4000


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("document")
    parser.add_argument("svg")
    parser.add_argument("board")
    parser.add_argument("--out", help="folder for the PNGs of failing layers")
    parser.add_argument("--limit", type=float, default=0.2, help="largest difference per layer, in percent")
    parser.add_argument("--all", action="store_true", help="write the PNGs of every layer, not only of failing ones")
    return parser.parse_args()


class Frame:
    """The project SVG's frame (mils, Y down) and the raster's size."""

    def __init__(self, svg_root):
        self.x, self.y, self.width, self.height = (float(v) for v in svg_root.get("viewBox").split())
        scale = min(SCALE, LONGEST / max(self.width, self.height))
        self.pixels = (max(1, round(self.width * scale)), max(1, round(self.height * scale)))


def rasterise(svg_text, width, height):
    png = cairosvg.svg2png(bytestring=svg_text.encode(), output_width=width, output_height=height)
    image = Image.open(io.BytesIO(png)).convert("RGBA")
    return numpy.asarray(image)[:, :, 3] > 127


def our_layer(root, frame, host_layers, keep):
    """The project's picture of some host layers: their groups alone, in black, texts and zones left out."""
    svg = ET.Element(f"{{{SVG_NS}}}svg", {
        "version": "1.1", "viewBox": root.get("viewBox"),
        "width": str(frame.pixels[0]), "height": str(frame.pixels[1])})
    style = ET.SubElement(svg, f"{{{SVG_NS}}}style")
    style.text = ".t{fill:none;stroke-linecap:round;stroke-linejoin:round}.s{stroke:none}.layer{fill:#000;stroke:#000}"

    groups = [g for g in root.iter(f"{{{SVG_NS}}}g")
              if "layer" in g.get("class", "").split() and int(g.get("data-layer", 0)) in host_layers]
    # A multi-layer pad whose shape on this side differs is drawn again in the side's group
    # ("data-of"): that drawing stands for it (twice drawn, its anti-aliased edge would grow).
    sided = {e.get("data-of") for g in groups for e in g.iter() if e.get("data-of") is not None}

    def prune(element):
        for child in list(element):
            handle = child.get("data-handle") or child.get("data-of")
            if (handle is not None and not keep(int(handle))) or child.get("data-handle") in sided \
                    or "x" in child.get("class", "").split() or child.tag.endswith(("text", "title")):
                element.remove(child)
            else:
                prune(child)

    for group in groups:
        copy = ET.fromstring(ET.tostring(group))
        prune(copy)
        svg.append(copy)
    return rasterise(ET.tostring(svg, encoding="unicode"), *frame.pixels)


def kicad_layer(svg_path, frame, origin):
    """KiCad's plot of one layer in the project's frame: the host origin lies at `origin` (nm)."""
    text = open(svg_path, encoding="utf-8").read()
    box = f'viewBox="{frame.x * NM_PER_MIL + origin[0]:.0f} {frame.y * NM_PER_MIL + origin[1]:.0f} ' \
          f'{frame.width * NM_PER_MIL:.0f} {frame.height * NM_PER_MIL:.0f}"'
    text = re.sub(r'width="[^"]*" height="[^"]*" viewBox="[^"]*"',
                  f'width="{frame.pixels[0]}" height="{frame.pixels[1]}" {box}', text, count=1)
    return rasterise(text, *frame.pixels)


def write_pngs(folder, name, ours, theirs):
    os.makedirs(folder, exist_ok=True)
    stem = os.path.join(folder, name.replace(".", "_"))
    Image.fromarray(numpy.where(ours, 0, 255).astype(numpy.uint8)).save(stem + "-ours.png")
    Image.fromarray(numpy.where(theirs, 0, 255).astype(numpy.uint8)).save(stem + "-kicad.png")
    diff = numpy.full(ours.shape + (3,), 255, numpy.uint8)
    diff[ours & theirs] = (160, 160, 160)
    diff[ours & ~theirs] = (220, 40, 40)    # only ours draws
    diff[~ours & theirs] = (40, 80, 220)    # only KiCad draws
    Image.fromarray(diff).save(stem + "-difference.png")
    both = numpy.full((ours.shape[0], ours.shape[1] * 2 + 20), 255, numpy.uint8)
    both[:, :ours.shape[1]] = numpy.where(ours, 0, 255)
    both[:, ours.shape[1] + 20:] = numpy.where(theirs, 0, 255)
    Image.fromarray(both).save(stem + "-side-by-side.png")


def host_layers_of(board, layer):
    """The host layers whose drawing KiCad draws on `layer`: copper layers by their user name."""
    if layer == pcbnew.F_Cu:
        return {TOP, MULTI}
    if layer == pcbnew.B_Cu:
        return {BOTTOM, MULTI}
    if layer == pcbnew.F_SilkS:
        return {TOP_OVERLAY}
    if layer == pcbnew.B_SilkS:
        return {BOTTOM_OVERLAY}
    if layer == pcbnew.Edge_Cuts:
        return {KEEP_OUT}
    name = board.GetLayerName(layer)
    match = re.fullmatch(r"MidLayer(\d+)", name)
    return {1 + int(match.group(1)), MULTI} if match else set()


def via_spans(via, host_layer):
    """Whether a via reaches a layer. KiCad stacks the top layer, the mid layers, the planes,
    then the bottom layer; a via whose two ends are one layer goes through, as the export writes it."""
    depth = lambda layer: {TOP: 0, BOTTOM: 100}.get(layer, layer)
    low, high = sorted((depth(via.get("LowLayer", TOP)), depth(via.get("HighLayer", BOTTOM))))
    return low == high or low <= depth(host_layer) <= high


def poured(objects, o):
    """A primitive of a polygon pour on its own layer: KiCad's zone filler makes it again."""
    return any(objects.get(h, {}).get("ObjectId") in (POLYGON, SPLIT_PLANE) and objects[h].get("Layer") == o.get("Layer")
               for h in o.get("Containers", []))


def in_footprint(objects, o):
    """A primitive of a component: written in its footprint, so a fill there is a copper or
    graphic polygon of the footprint that KiCad plots, not a zone."""
    return any(objects.get(h, {}).get("ObjectId") == COMPONENT for h in o.get("Containers", []))


def strip_texts_and_zones(board):
    """Leaves texts and zones out of KiCad's plot. Nothing is removed from the board: KiCad 6's
    Python binding loses its type table when a zone is removed. An unfilled zone plots nothing,
    and board texts go to a layer that is not plotted."""
    for zone in board.Zones():
        zone.UnFill()
    for item in board.GetDrawings():
        if item.GetClass() in BOARD_TEXT or "DIMENSION" in item.GetClass().upper():
            item.SetLayer(pcbnew.Cmts_User)
    for footprint in board.GetFootprints():
        footprint.Reference().SetVisible(False)
        footprint.Value().SetVisible(False)
        for item in footprint.GraphicalItems():
            if item.GetClass() in FOOTPRINT_TEXT:
                item.SetVisible(False)


def compare_layers(args, doc, svg_root, board_path, origin):
    frame = Frame(svg_root)
    objects = {o["Handle"]: o for o in doc["objects"] if isinstance(o, dict) and "Handle" in o}
    board = pcbnew.LoadBoard(board_path)
    strip_texts_and_zones(board)

    layers = [pcbnew.F_Cu, pcbnew.B_Cu, pcbnew.F_SilkS, pcbnew.B_SilkS, pcbnew.Edge_Cuts]
    layers += [l for l in range(pcbnew.In1_Cu, pcbnew.B_Cu) if board.IsLayerEnabled(l)]
    failed = []
    with tempfile.TemporaryDirectory() as folder:
        controller = pcbnew.PLOT_CONTROLLER(board)
        options = controller.GetPlotOptions()
        options.SetOutputDirectory(folder)
        options.SetPlotFrameRef(False)
        options.SetAutoScale(False)
        options.SetScale(1)
        options.SetMirror(False)
        options.SetUseAuxOrigin(False)
        options.SetPlotInvisibleText(False)
        options.SetDrillMarksType(pcbnew.PCB_PLOT_PARAMS.NO_DRILL_SHAPE)
        for layer in layers:
            host = host_layers_of(board, layer)
            if not host:
                continue  # planes: their copper is a zone, compared apart
            name = board.GetLayerName(layer) if layer >= pcbnew.In1_Cu and layer < pcbnew.B_Cu else pcbnew.LayerName(layer)
            host_layer = min(host - {MULTI}) if host - {MULTI} else MULTI

            def keep(handle):
                o = objects.get(handle)
                if o is None or poured(objects, o):
                    return False
                if o.get("ObjectId") not in DRAWN_KINDS and not (o.get("ObjectId") == FILL and in_footprint(objects, o)):
                    return False
                return o.get("ObjectId") != VIA or via_spans(o, host_layer)

            controller.SetLayer(layer)
            controller.OpenPlotfile(f"layer{layer}", pcbnew.PLOT_FORMAT_SVG, name)
            controller.PlotLayer()
            controller.ClosePlot()
            theirs = kicad_layer(controller.GetPlotFileName(), frame, origin)
            ours = our_layer(svg_root, frame, host, keep)
            either = numpy.count_nonzero(ours | theirs)
            differ = numpy.count_nonzero(ours ^ theirs)
            percent = 100.0 * differ / either if either else 0.0
            print(f"{name} {percent:.3f} % of {either} pixels")
            if percent > args.limit:
                failed.append(name)
            if args.out and (percent > args.limit or args.all):
                write_pngs(args.out, name, ours, theirs)
    return failed


def kicad_texts(board):
    """(position, height, angle on the board in degrees) of each shown text."""
    texts = [(t, 0.0) for t in board.GetDrawings() if t.GetClass() in BOARD_TEXT]
    for footprint in board.GetFootprints():
        # A footprint's text keeps its angle relative to the footprint.
        items = [footprint.Reference(), footprint.Value()]
        items += [i for i in footprint.GraphicalItems() if i.GetClass() in FOOTPRINT_TEXT]
        texts += [(t, footprint.GetOrientation()) for t in items]
    return [(t.GetPosition(), t.GetTextHeight(), (t.GetTextAngle() + turn) / 10.0) for t, turn in texts if t.IsVisible()]


def compare_texts(doc, board, origin):
    """Each shown text of a carried layer has a KiCad text at its place, of its height and angle."""
    problems = []
    theirs = kicad_texts(board)
    objects = [o for o in doc["objects"] if isinstance(o, dict)]
    # A component shows or hides its designator and comment.
    hidden = {o.get("NameText") for o in objects if o.get("ObjectId") == COMPONENT and not o.get("NameShown")}
    hidden |= {o.get("CommentText") for o in objects if o.get("ObjectId") == COMPONENT and not o.get("CommentShown")}
    for o in objects:
        if o.get("ObjectId") != TEXT or o.get("Handle") in hidden or not o.get("Text", ""):
            continue
        if not (1 <= o.get("Layer", 0) <= 73):
            continue
        x = o["X"] * MM_PER_UNIT * 1e6 + origin[0]
        y = -o["Y"] * MM_PER_UNIT * 1e6 + origin[1]
        near = [t for t in theirs if math.hypot(t[0].x - x, t[0].y - y) < 2 * NM_PER_MIL]
        if not near:
            problems.append(f"text {o['Handle']} {o.get('Text')!r}: no KiCad text at its place")
            continue
        height = o.get("Height", 0) * MM_PER_UNIT * 1e6
        angle = o.get("Rotation", 0.0) % 360
        if not any(abs(t[1] - height) <= max(1000, height * 0.01) and abs((t[2] - angle + 180) % 360 - 180) < 0.01
                   for t in near):
            problems.append(f"text {o['Handle']} {o.get('Text')!r}: height or angle differs")
    return problems


def compare_zones(doc, board):
    """Zone outlines keep the area of the fills they were made from, and KiCad's filler leaves
    each of them copper (a fill is solid copper whatever touches it)."""
    problems = []
    filler = pcbnew.ZONE_FILLER(board)
    filler.Fill(board.Zones())
    zones = list(board.Zones())
    for footprint in board.GetFootprints():
        zones += list(footprint.Zones())
    outline_area = sum(z.Outline().Area() for z in zones)
    filled = sum(1 for z in zones if z.GetFilledPolysList(z.GetLayer()).Area() > 0)
    print(f"zones {len(zones)} outline {outline_area / 1e12:.4f} mm2 filled {filled}")
    # KiCad fills only inside the board's outline (or, when the edge drawings close no outline,
    # inside their bounding box): copper the host has beyond it is no fault of the export.
    board_area = pcbnew.SHAPE_POLY_SET()
    board.GetBoardPolygonOutlines(board_area)

    def on_board(zone):
        inside = pcbnew.SHAPE_POLY_SET(zone.Outline())
        inside.BooleanIntersection(board_area, pcbnew.SHAPE_POLY_SET.PM_FAST)
        return inside.Area() > 0

    # Copper of other nets within a zone's clearance: KiCad keeps them apart, where on the host
    # the fill lies on them as a short. A board that shorts a fill (a generated one does) may
    # see its zone emptied.
    others = list(board.GetTracks()) + [pad for footprint in board.GetFootprints() for pad in footprint.Pads()]

    def crowded(zone):
        around = zone.GetBoundingBox()
        around.Inflate(zone.GetLocalClearance())
        return any(item.IsOnLayer(zone.GetLayer()) and item.GetNetCode() != zone.GetNetCode()
                   and around.Intersects(item.GetBoundingBox()) for item in others)

    objects = {o["Handle"]: o for o in doc["objects"] if isinstance(o, dict) and "Handle" in o}
    for fill in objects.values():
        if fill.get("ObjectId") != FILL or not (1 <= fill.get("Layer", 0) <= 32) or poured(objects, fill):
            continue
        if in_footprint(objects, fill):
            continue  # drawn in its footprint, compared with the layer
        area = abs(fill["X2"] - fill["X"]) * abs(fill["Y2"] - fill["Y"]) * (MM_PER_UNIT * 1e6) ** 2
        match = [z for z in zones if abs(z.Outline().Area() - area) <= max(1e6, area * 0.001)]
        if not match:
            problems.append(f"fill {fill['Handle']}: no zone of its area ({area / 1e12:.4f} mm2)")
        elif not any(z.GetFilledPolysList(z.GetLayer()).Area() > 0 or not on_board(z) or crowded(z) for z in match):
            problems.append(f"fill {fill['Handle']}: KiCad's filler leaves its zone empty")
    return problems


def main():
    args = parse_arguments()
    doc = json.load(open(args.document, encoding="utf-8"))
    svg_root = ET.parse(args.svg).getroot()
    board = pcbnew.LoadBoard(args.board)
    aux = board.GetDesignSettings().GetAuxOrigin()
    origin = (aux.x, aux.y)
    failed = compare_layers(args, doc, svg_root, args.board, origin)
    problems = compare_texts(doc, board, origin) + compare_zones(doc, board)
    for problem in problems:
        print(problem)
    if failed:
        print("over the limit: " + ", ".join(failed))
    return 1 if failed or problems else 0


if __name__ == "__main__":
    sys.exit(main())
