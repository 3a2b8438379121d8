"""The part of an Inkscape document that is to be cut, as HPGL for `cutsend --hpgl`.

The HPGL is made on a copy by Inkscape's own HPGL encoder with its plot features
(tool offset, overcut, precut) off, so that the knife offset and overcut are
applied once, by the cutter's sender, and the file equals Inkscape's HPGL export
with those features off.
"""
import inkex
from lxml import etree
from inkex.transforms import Transform

import hpgl_encoder

PREVIEW_LAYER_ID = "harvel-preview"
PREVIEW_LAYER_LABEL = "Harvel preview"

# Inkscape's HPGL export with its plot features off; 1016 dpi is 40 plotter units per mm.
_PLOT_SETTINGS = dict(resolutionX=1016.0, resolutionY=1016.0, pen=1, force=0, speed=0,
                      orientation="0", mirrorX=False, mirrorY=False, center=False,
                      overcut=0.0, precut=False, flat=1.2, autoAlign=True, toolOffset=0.0)


class NothingToCut(Exception):
    """The drawing, or the selection, holds no path to cut."""


class TextNotConverted(Exception):
    """Text objects that would be left out of the cut without a word."""

    def __init__(self, count):
        super().__init__(count)
        self.count = count


def is_preview_layer(element):
    return element.get("id") == PREVIEW_LAYER_ID or (
        isinstance(element, inkex.Layer) and (element.label or "").startswith(PREVIEW_LAYER_LABEL))


class _EncoderInput:
    """What Inkscape's encoder reads of an extension: its options and its document."""

    def __init__(self, svg):
        self.options = type("PlotSettings", (), dict(_PLOT_SETTINGS))()
        self.svg = svg


class CutDrawing:
    """The HPGL of a document's visible shapes, and the way from plotter units back to it."""

    def __init__(self, document, selected_ids=None):
        """document: an lxml tree of the SVG (left unchanged); selected_ids: cut only these."""
        copy = inkex.load_svg(etree.tostring(document))
        svg = copy.getroot()
        _remove_unwanted(svg, selected_ids)
        texts = _count_texts(svg)
        if texts:
            raise TextNotConverted(texts)
        encoder = hpgl_encoder.hpglEncoder(_EncoderInput(svg))
        try:
            self.hpgl = "IN" + encoder.getHpgl() + ";SP0;PU0,0;IN; "
        except hpgl_encoder.NoPathError as error:
            raise NothingToCut() from error
        # The encoder's own mapping of user units to plotter units, where the drawing's
        # lowest corner became the origin.
        self.plotter_from_document = Transform(
            [[encoder.scaleX * encoder.viewBoxTransformX, 0.0, -float(encoder.divergenceX)],
             [0.0, -encoder.scaleY * encoder.viewBoxTransformY, -float(encoder.divergenceY)]])
        # The highest point written: the encoder's extremes are whole units.
        self.top_units = encoder.sizeY - encoder.divergenceY


def _remove_unwanted(svg, selected_ids):
    """Takes out what must not be cut: the preview layer, bitmaps, and with a selection the rest."""
    for element in list(svg.iter()):
        if not isinstance(element.tag, str):
            continue
        if is_preview_layer(element) or isinstance(element, inkex.Image):
            element.getparent().remove(element)
    if selected_ids is None:
        return
    chosen = [svg.getElementById(i) for i in selected_ids]
    chosen = [e for e in chosen if e is not None]
    if not chosen:
        raise NothingToCut()
    keep = set(chosen)
    on_the_way = {ancestor for e in chosen for ancestor in e.ancestors()}
    _keep_only(svg, keep, on_the_way)


def _keep_only(group, keep, on_the_way):
    for child in list(group):
        if not isinstance(child, inkex.ShapeElement) or child in keep:
            continue
        if child in on_the_way:
            _keep_only(child, keep, on_the_way)
        else:
            group.remove(child)


def _count_texts(group):
    """Counts the text the encoder would meet and drop: visible text, flowed text, and
    clones of either, walked the way the encoder walks the document."""
    count = 0
    for child in group:
        if not isinstance(child, inkex.ShapeElement) or not child.is_visible():
            continue
        if isinstance(child, (inkex.TextElement, inkex.FlowRoot)):
            count += 1
        elif isinstance(child, inkex.Group):
            count += _count_texts(child)
        elif isinstance(child, inkex.Use):
            count += _count_cloned_texts(child.href)
    return count


def _count_cloned_texts(original):
    if original is None:
        return 0
    if isinstance(original, (inkex.TextElement, inkex.FlowRoot)):
        return 1
    return sum(1 for e in original.iter()
               if isinstance(e, (inkex.TextElement, inkex.FlowRoot)))
