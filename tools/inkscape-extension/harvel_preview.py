"""The "Harvel preview" layer: the knife's path and the blade's real cut, as the virtual
cutter measures them from the converted stream, laid over the drawing."""
import os

import inkex
from inkex.transforms import Transform

from harvel_drawing import PREVIEW_LAYER_ID, PREVIEW_LAYER_LABEL, is_preview_layer
from harvel_tools import find_tool, length_mm, run_quietly

_UNITS_PER_MM = 40
# The engine turns HPGL's y-up drawing downwards and places it 1 mm (40 units) from its
# corner, which Inkscape's encoder puts at the origin.
_ENGINE_MARGIN_UNITS = 40
# The cutter-sim picture's paths to show, with the look each gets here (widths in mm).
_SHOWN = (("axis", "Knife path", "#3366cc", 0.04, "0.3,0.2"),
          ("blade", "Blade cut", "#d40000", 0.06, None))


def measure(drawing, offset_mm, overcut_mm, folder):
    """Converts the drawing as it would be sent and has cutter-sim follow the blade.

    Returns cutter-sim's summary as a dict and the paths of its picture, by class."""
    cutconv, cuttersim = find_tool("cutconv"), find_tool("cutter-sim")
    hpgl = os.path.join(folder, "drawing.hpgl")
    job, plain, picture = (os.path.join(folder, n) for n in ("job.th0", "plain.th0", "cut.svg"))
    with open(hpgl, "w", encoding="ascii") as out:
        out.write(drawing.hpgl)
    run_quietly([cutconv, "--hpgl", "--port", "--offset", length_mm(offset_mm),
                 "--overcut", length_mm(overcut_mm), hpgl, job])
    run_quietly([cutconv, "--hpgl", "--port", hpgl, plain])
    summary = run_quietly([cuttersim, "--blade", f"{offset_mm:g}", "--drawing", plain,
                           "--svg", picture, job])
    fields = dict(f.split("=", 1) for f in summary.split() if "=" in f)
    paths = {p.get("class"): p.get("d") for p in inkex.load_svg(picture).getroot().iter()
             if p.get("class") and p.get("d")}
    return fields, paths


def replace_layer(svg, drawing, fields, paths):
    """Puts a locked preview layer where the last one was (or on top), in the drawing's units."""
    miss = fields.get("corner_miss_mm", "none")
    corners = f"corner miss {miss} mm" if miss != "none" else "no sharp corner"
    label = f"{PREVIEW_LAYER_LABEL}: {corners}, blade cut {fields.get('blade_mm', '?')} mm"
    layer = inkex.Layer.new(label, id=PREVIEW_LAYER_ID)
    layer.set("sodipodi:insensitive", "true")
    old = [e for e in svg if is_preview_layer(e)]
    if old:
        old[0].addprevious(layer)
        for e in old:
            svg.remove(e)
    else:
        svg.append(layer)
    cutter_from_plotter = Transform(
        [[1, 0, _ENGINE_MARGIN_UNITS], [0, -1, drawing.top_units + _ENGINE_MARGIN_UNITS]])
    document_from_cutter = -(cutter_from_plotter @ drawing.plotter_from_document) @ Transform(
        scale=_UNITS_PER_MM)
    user_units_per_mm = svg.viewport_to_unit("1mm")
    for name, title, colour, width_mm, dashes in _SHOWN:
        if name not in paths:
            continue
        path = inkex.PathElement.new(inkex.Path(paths[name]).transform(document_from_cutter))
        path.label = title
        style = {"fill": "none", "stroke": colour, "stroke-linejoin": "round",
                 "stroke-width": f"{width_mm * user_units_per_mm:g}"}
        if dashes:
            style["stroke-dasharray"] = ",".join(
                f"{float(d) * user_units_per_mm:g}" for d in dashes.split(","))
        path.style = inkex.Style(style)
        layer.append(path)
    return label
