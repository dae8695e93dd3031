"""LMMS, Debian's host of 32-bit Windows plug-ins, driven from here: the projects it is given,
and what it hands back (float WAV renders, pictures of its X display, Wine's load trace).

LMMS runs in the emulated machine (scripts/win32-guest), in a folder prepared here: the
plug-ins and inputs, projects/*.mmp to render, shows/*.mmp to open with the editors shown,
and shots.txt for pictures of editors drawn by vsthost. tools/lmms/in-guest.sh does the rest.
"""
import base64
import gzip
import os
import shutil
import struct
import subprocess
import zlib
from dataclasses import dataclass, field
from xml.sax.saxutils import quoteattr

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
# Replaced by the folder the guest runs in: projects name their files by absolute path.
GUEST_DIR = "@DIR@"
# LMMS's song time: 192 ticks to a 4/4 bar, at 120 beats a minute by default.
TICKS_PER_BEAT = 48
TEMPO = 120
# What LMMS prints when an effect of a project did not load; it then keeps a silent stand-in.
LOAD_ERROR = "The following errors occured while loading"
LATE_SERVER = "Remote plugin did not connect"


@dataclass
class Effect:
    """A VST effect in a project's chain, as LMMS saves it."""
    dll: str
    parameters: dict = field(default_factory=dict)  # index -> (name, value)
    chunk: bytes | None = None
    editor_shown: bool = False


def project(sample, frames, rate, effects=()):
    """A song of one sample track that plays SAMPLE (a file in the guest's folder) from the
    start through EFFECTS."""
    beats = frames / rate * TEMPO / 60
    length = max(1, int(beats * TICKS_PER_BEAT))
    chain = "".join(_effect(effect) for effect in effects)
    return f"""<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project version="1.0" creator="LMMS" creatorversion="1.2.2" type="song">
  <head bpm="{TEMPO}" timesig_numerator="4" timesig_denominator="4" mastervol="100" masterpitch="0"/>
  <song>
    <trackcontainer type="song">
      <track type="2" name="Sample track" muted="0" solo="0">
        <sampletrack vol="100" pan="0" fxch="0">
          <fxchain numofeffects="{len(effects)}" enabled="1">{chain}</fxchain>
        </sampletrack>
        <sampletco pos="0" len="{length}" src={quoteattr(GUEST_DIR + "/" + sample)} muted="0"/>
      </track>
    </trackcontainer>
  </song>
</lmms-project>
"""


def _effect(effect):
    controls = {"guivisible": "1" if effect.editor_shown else "0"}
    if effect.parameters:
        controls["numparams"] = str(len(effect.parameters))
        for index, (name, value) in sorted(effect.parameters.items()):
            controls[f"param{index}"] = f"{index}:{name}:{value:f}"
    if effect.chunk is not None:
        controls["chunk"] = base64.b64encode(effect.chunk).decode()
    attributes = "".join(f" {key}={quoteattr(value)}" for key, value in controls.items())
    return f"""
            <effect name="vsteffect" on="1" wet="1" gate="0" autoquit="0" autoquit_numerator="4" autoquit_denominator="4" autoquit_syncmode="0">
              <vsteffectcontrols{attributes}/>
              <key><attribute name="file" value={quoteattr(GUEST_DIR + "/" + effect.dll)}/></key>
            </effect>"""


def write_wav(path, rate, channels):
    """A 32-bit float WAV file of equally long channels."""
    frames = len(channels[0])
    data = bytearray()
    for frame in range(frames):
        for channel in channels:
            data += struct.pack("<f", channel[frame])
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(data), b"WAVE", b"fmt ", 16, 3,
                         len(channels), rate, rate * 4 * len(channels), 4 * len(channels), 32,
                         b"data", len(data))
    with open(path, "wb") as out:
        out.write(header + data)


def read_wav(path):
    """(rate, channels) of a 16-bit PCM or 32-bit float WAV file; ValueError says what is wrong
    with any other."""
    with open(path, "rb") as source:
        data = source.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(f"{path}: not a WAV file")
    at, form, samples = 12, None, None
    while at + 8 <= len(data):
        name, size = struct.unpack_from("<4sI", data, at)
        body = data[at + 8:at + 8 + size]
        if name == b"fmt ":
            if len(body) < 16:
                raise ValueError(f"{path}: a format chunk of {len(body)} bytes, short of 16")
            tag, count, rate, _, _, bits = struct.unpack_from("<HHIIHH", body)
            if tag == 0xFFFE:
                if len(body) < 26:
                    raise ValueError(f"{path}: an extensible format chunk of {len(body)} bytes, short of 26")
                tag = struct.unpack_from("<H", body, 24)[0]
            form = (tag, count, rate, bits)
        elif name == b"data":
            samples = body
        at += 8 + size + (size & 1)
    if form is None or samples is None:
        raise ValueError(f"{path}: no format or no data")
    tag, count, rate, bits = form
    if count == 0:
        raise ValueError(f"{path}: no channels")
    if rate == 0:
        raise ValueError(f"{path}: a sample rate of 0")
    if (tag, bits) == (3, 32):
        values = struct.unpack(f"<{len(samples) // 4}f", samples[:len(samples) // 4 * 4])
    elif (tag, bits) == (1, 16):
        values = [v / 32768 for v in struct.unpack(f"<{len(samples) // 2}h", samples[:len(samples) // 2 * 2])]
    else:
        raise ValueError(f"{path}: format {tag} with {bits} bits is not read here")
    return rate, [list(values[channel::count]) for channel in range(count)]


class Picture:
    """Pixels as rows of blue, green, red bytes, the order of a BMP file's."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def pixel(self, x, y):
        b, g, r = self.rows[y][3 * x:3 * x + 3]
        return r, g, b

    def crop(self, left, top, right, bottom):
        return Picture(right - left, bottom - top,
                       [row[3 * left:3 * right] for row in self.rows[top:bottom]])

    def find(self, part, ignore=()):
        """Top-left corners where PART shows in this picture, every pixel equal except inside
        the areas IGNORE (left, top, right, bottom in PART's coordinates)."""
        probe = next((y for y in range(part.height)
                      if not any(top <= y < bottom for _, top, _, bottom in ignore)
                      and len(set(part.rows[y][i:i + 3] for i in range(0, 3 * part.width, 3))) > 1),
                     None)
        if probe is None:
            raise ValueError("the part has no row to look for")
        screen = b"".join(self.rows)
        stride = 3 * self.width
        found, at = [], screen.find(part.rows[probe])
        while at >= 0:
            y, offset = divmod(at, stride)
            x, rest = divmod(offset, 3)
            top = y - probe
            if rest == 0 and x + part.width <= self.width and 0 <= top <= self.height - part.height:
                if self.crop(x, top, x + part.width, top + part.height).differs(part, ignore) == 0:
                    found.append((x, top))
            at = screen.find(part.rows[probe], at + 1)
        return found

    def differs(self, other, ignore=()):
        """How many pixels differ from OTHER's, of equal size, outside IGNORE."""
        count = 0
        for y in range(self.height):
            mine, theirs = self.rows[y], other.rows[y]
            if mine == theirs:
                continue
            for x in range(self.width):
                if mine[3 * x:3 * x + 3] != theirs[3 * x:3 * x + 3] and not any(
                        left <= x < right and top <= y < bottom for left, top, right, bottom in ignore):
                    count += 1
        return count

    def write_png(self, path):
        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        lines = bytearray()
        for row in self.rows:
            rgb = bytearray(row)
            rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
            lines += b"\0" + rgb
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n"
                      + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0))
                      + chunk(b"IDAT", zlib.compress(bytes(lines), 6)) + chunk(b"IEND", b""))


def read_bmp(path):
    with open(path, "rb") as source:
        data = source.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError(f"{path}: {bits} bits a pixel, not 24")
    row_size = (3 * width + 3) & ~3
    rows = [data[offset + y * row_size:offset + y * row_size + 3 * width] for y in range(abs(height))]
    return Picture(width, abs(height), rows if height < 0 else rows[::-1])


def read_xwd(path):
    """A screen as Xvfb keeps it in its frame buffer file: an X window dump of 32-bit pixels,
    gzipped where the name ends in .gz."""
    with (gzip.open if path.endswith(".gz") else open)(path, "rb") as source:
        data = source.read()
    fields = struct.unpack_from(">25I", data)
    header_size, version, form, depth, width, height = fields[:6]
    byte_order, bits, line, colours = fields[7], fields[11], fields[12], fields[19]
    if version != 7 or form != 2 or bits != 32 or byte_order != 0:
        raise ValueError(f"{path}: not a 32-bit little-endian X window dump")
    at = header_size + 12 * colours
    rows = []
    for y in range(height):
        raw = data[at + y * line:at + y * line + 4 * width]
        row = bytearray(3 * width)
        row[0::3], row[1::3], row[2::3] = raw[0::4], raw[1::4], raw[2::4]
        rows.append(bytes(row))
    return Picture(width, height, rows)


def run_in_guest(folder, timeout):
    """Runs in-guest.sh in the emulated machine on a copy of FOLDER; what it wrote comes back
    into FOLDER. Returns the guest's exit status."""
    shutil.copy(os.path.join(ROOT, "tools", "lmms", "in-guest.sh"), folder)
    command = [os.path.join(ROOT, "scripts", "win32-guest"), "exec", "--timeout", str(timeout),
               folder, "in-guest.sh"]
    return subprocess.run(command, check=False).returncode


@dataclass
class Render:
    """What one rendered project left: its audio, LMMS's output, Wine's trace of loads."""
    name: str
    status: int | None
    log: str
    audio: tuple | None

    def loaded(self, dll):
        """Whether DLL was loaded into the server as a library (not whether it became a plug-in)."""
        needle = os.path.basename(dll).lower()
        return any("loaddll" in line and needle in line.lower() and "Loaded" in line
                   for line in self.log.splitlines())

    def fault(self, dlls):
        """Why the render does not show DLLS at work, or None."""
        if self.status is None:
            return "no render: the guest stopped first"
        if self.status == 124:
            return "LMMS did not finish within its time"
        # LMMS's own time-out for its server's start, which then also reports the load failed:
        # on a loaded machine that is the machine, whatever the DLL.
        if LATE_SERVER in self.log:
            return "LMMS's plug-in server did not connect within LMMS's time, in every try"
        if LOAD_ERROR in self.log:
            traced = "; ".join(f"Wine's load trace shows {os.path.basename(dll)} "
                               f"{'loaded' if self.loaded(dll) else 'never loaded'}" for dll in dlls)
            return "LMMS could not load an effect: " + _after(self.log, LOAD_ERROR) + (f" ({traced})" if traced else "")
        # LMMS's progress bar shares lines with what the server prints.
        for marker in ("wine: Unhandled", "remote plugin died"):
            if marker in self.log:
                return "the plug-in server failed: " + self.log[self.log.index(marker):].splitlines()[0].strip()
        if self.status != 0:
            return f"LMMS exited with status {self.status}"
        for dll in dlls:
            if not self.loaded(dll):
                return f"{os.path.basename(dll)} was never loaded"
        if self.audio is None:
            return "LMMS wrote no audio"
        return None


def _after(text, marker):
    rest = text[text.index(marker) + len(marker):].lstrip(": \n").splitlines()
    return " ".join(line.strip() for line in rest[:3])


def read_render(folder, name):
    out = os.path.join(folder, "out", "render")
    status = None
    if os.path.exists(os.path.join(out, name + ".rc")):
        status = int(open(os.path.join(out, name + ".rc")).read().split()[0])
    log_path = os.path.join(out, name + ".log")
    log = open(log_path, errors="replace").read() if os.path.exists(log_path) else ""
    wav = os.path.join(out, name + ".wav")
    audio = read_wav(wav) if os.path.exists(wav) and os.path.getsize(wav) > 44 else None
    return Render(name, status, log, audio)


def float32(value):
    return struct.unpack("<f", struct.pack("<f", value))[0]
