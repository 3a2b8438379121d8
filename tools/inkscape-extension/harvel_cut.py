"""Extensions > Export > Cut with Harvel: shows the blade's real cut of the open drawing in a
layer (Preview), or sends the drawing to the cutter with cutsend (Cut)."""
import sys
import tempfile

import inkex

from harvel_drawing import CutDrawing, NothingToCut, TextNotConverted
from harvel_preview import measure, replace_layer
from harvel_tools import ToolFailed, find_tool, length_mm, send, serial_ports


class CutWithHarvel(inkex.EffectExtension):
    """The dialog's choices arrive as --mode, --port, --offset, --overcut, --selection_only."""

    def add_arguments(self, pars):
        pars.add_argument("--mode", choices=("preview", "cut"), default="preview")
        pars.add_argument("--port", default="")
        pars.add_argument("--offset", type=float, default=0.25)
        pars.add_argument("--overcut", type=float, default=1.0)
        pars.add_argument("--selection_only", type=inkex.Boolean, default=False)

    def effect(self):
        try:
            drawing = CutDrawing(self.document,
                                 self.options.ids if self.options.selection_only else None)
            with tempfile.TemporaryDirectory(prefix="harvel-") as folder:
                if self.options.mode == "preview":
                    return self._preview(drawing, folder)
                return self._cut(drawing, folder)
        except TextNotConverted as refused:
            raise inkex.AbortExtension(
                f"Nothing was cut: {refused.count} text object"
                f"{'s are' if refused.count != 1 else ' is'} still text, which would be left "
                "out of the cut. Select the text and use Path > Object to Path, then try "
                "again.") from refused
        except NothingToCut as empty:
            what = "selection" if self.options.selection_only else "drawing"
            raise inkex.AbortExtension(f"Nothing to cut: the {what} holds no path.") from empty
        except FileNotFoundError as missing:
            raise inkex.AbortExtension(str(missing)) from missing
        except ToolFailed as failed:
            sys.exit(failed.status)

    def _preview(self, drawing, folder):
        fields, paths = measure(drawing, self.options.offset, self.options.overcut, folder)
        replace_layer(self.svg, drawing, fields, paths)
        return True

    def _cut(self, drawing, folder):
        cutsend = find_tool("cutsend")
        port = self.options.port.strip()
        if not port:
            # Never a guess: a lone port listed may well be a built-in one with no cutter on it.
            raise inkex.AbortExtension("Name the cutter's serial port in the dialog; "
                                       "cutsend --list finds:\n" + serial_ports(cutsend))
        hpgl = f"{folder}/drawing.hpgl"
        with open(hpgl, "w", encoding="ascii") as out:
            out.write(drawing.hpgl)
        status = send([cutsend, "--hpgl", "--offset", length_mm(self.options.offset),
                       "--overcut", length_mm(self.options.overcut), "--port", port, hpgl])
        if status != 0:
            raise ToolFailed(status if status > 0 else 128 - status)
        return False  # the document is left as it was


if __name__ == "__main__":
    CutWithHarvel().run()
