#!/usr/bin/env python3
"""Helpers of scripts/avsync.sh: the recorder check's tone and flash, and the
reading of a recording.

  avsync.py probe COUNT              tones on the default sound server, the X
                                     root window white as each one plays
  avsync.py tones RUN                offsets of the probe's flashes
  avsync.py flashes RUN REF          offsets of the demo's first ten flashes;
                                     REF holds qn-capture's music.wav and frames.csv

RUN holds what avsync.sh records: bright.txt (each video frame's wall-clock
time and mean brightness), sound.raw (the sink's monitor, 16-bit stereo at
44.1 kHz) and ffmpeg.log (the wall-clock stamp of every sound packet).
Offsets are on screen minus heard, in milliseconds, one line per event.
"""
import ctypes
import re
import struct
import sys
import time

RATE = 44100
FRAME = 4  # 16-bit stereo


def probe(count):
    pa = ctypes.CDLL("libpulse-simple.so.0")
    x11 = ctypes.CDLL("libX11.so.6")

    class SampleFormat(ctypes.Structure):
        _fields_ = [("format", ctypes.c_int), ("rate", ctypes.c_uint32), ("channels", ctypes.c_uint8)]

    pa.pa_simple_new.restype = ctypes.c_void_p
    pa.pa_simple_new.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p,
                                 ctypes.c_char_p, ctypes.POINTER(SampleFormat), ctypes.c_void_p,
                                 ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    pa.pa_simple_write.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t,
                                   ctypes.POINTER(ctypes.c_int)]
    pa.pa_simple_get_latency.restype = ctypes.c_uint64
    pa.pa_simple_get_latency.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    pa.pa_simple_drain.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
    pa.pa_simple_free.argtypes = [ctypes.c_void_p]
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XSetWindowBackground.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong]
    x11.XClearWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("avsync: no X display")
    root = x11.XDefaultRootWindow(display)

    def paint(colour):
        x11.XSetWindowBackground(display, root, colour)
        x11.XClearWindow(display, root)
        x11.XSync(display, 0)

    class Attr(ctypes.Structure):
        _fields_ = [(name, ctypes.c_uint32) for name in
                    ("maxlength", "tlength", "prebuf", "minreq", "fragsize")]

    error = ctypes.c_int(0)
    sample_format = SampleFormat(3, RATE, 2)  # PA_SAMPLE_S16LE
    # The queue the demo's SDL output asks for (512 frames), playing from its
    # first frame on: the null sink renders ahead by what its streams ask
    # for and its monitor passes each block on at once, so the check sees
    # the same lead of the recording as the default path's runs.
    attr = Attr(0xFFFFFFFF, FRAME * 512, FRAME, 0xFFFFFFFF, 0xFFFFFFFF)
    stream = pa.pa_simple_new(None, b"avsync", 1, None, b"probe", ctypes.byref(sample_format), None,
                              ctypes.byref(attr), ctypes.byref(error))
    if not stream:
        sys.exit("avsync: no sound server")
    silence = bytes(FRAME * RATE * 3 // 10)
    tone = b"".join(struct.pack("<hh", v, v) for v in
                    (int(20000 * ((i // 22) % 2 * 2 - 1)) for i in range(RATE // 50)))
    written = 0
    paint(0)
    # A second of silence first: the stream's timing settles.
    for _ in range(3):
        pa.pa_simple_write(stream, silence, len(silence), ctypes.byref(error))
        written += len(silence) // FRAME
    for _ in range(count):
        pa.pa_simple_write(stream, silence, len(silence), ctypes.byref(error))
        written += len(silence) // FRAME
        start = written
        pa.pa_simple_write(stream, tone, len(tone), ctypes.byref(error))
        written += len(tone) // FRAME
        # The tone plays once everything before it has: written minus the
        # stream's latency reaches the tone's first frame.
        give_up = time.monotonic() + 3
        while (written - pa.pa_simple_get_latency(stream, ctypes.byref(error)) * RATE / 1e6 < start
               and time.monotonic() < give_up):
            pass
        paint(0xFFFFFF)
        time.sleep(0.15)
        paint(0)
    pa.pa_simple_write(stream, silence, len(silence), ctypes.byref(error))
    pa.pa_simple_drain(stream, ctypes.byref(error))
    pa.pa_simple_free(stream)


def sound_clock(run):
    """The wall-clock time of a recorded sound frame, as a function of its
    index: a straight line fitted to the recorder's stamp of every packet.
    The null sink's clock is not quite the wall clock's (by up to 0.05%,
    tens of ms over a run), so the count of frames alone drifts."""
    points, index = [], 0
    with open(f"{run}/ffmpeg.log") as f:
        for m in re.finditer(r"Parsed_ashowinfo.* n:\d+ pts:(\d+) .*? nb_samples:(\d+)", f.read()):
            points.append((index, int(m.group(1)) / RATE))  # the filter's time base: one frame
            index += int(m.group(2))
    if len(points) < 2:
        sys.exit(f"avsync: no sound stamps in {run}/ffmpeg.log")
    n = len(points)
    mx = sum(p[0] for p in points) / n
    my = sum(p[1] for p in points) / n
    slope = (sum((p[0] - mx) * (p[1] - my) for p in points) /
             sum((p[0] - mx) ** 2 for p in points))
    return lambda frame: my + (frame - mx) * slope


def read_run(run):
    frames = []
    when = None
    with open(f"{run}/bright.txt") as f:
        for line in f:
            m = re.search(r"pts:([0-9]+)", line)
            if m:
                when = int(m.group(1)) / 1e6  # x11grab's time base: microseconds
            m = re.search(r"YAVG=([0-9.]+)", line)
            if m and when is not None:
                frames.append((when, float(m.group(1))))
    with open(f"{run}/sound.raw", "rb") as f:
        sound = f.read()
    return frames, sound_clock(run), sound


def onset_on_screen(frames, lo, hi):
    """The first frame of the biggest brightening between lo and hi."""
    jumps = [(frames[i][1] - frames[i - 1][1], i) for i in range(1, len(frames))
             if lo <= frames[i][0] <= hi]
    if not jumps:
        return None
    biggest = max(jumps)[0]
    if biggest < 10:
        return None
    for jump, i in jumps:
        if jump >= biggest / 2:
            return frames[i][0]
    return None


def tones(run):
    frames, clock, sound = read_run(run)
    samples = struct.unpack(f"<{len(sound) // 2}h", sound[: len(sound) // 2 * 2])
    at = 0
    offsets = []
    while True:
        # Next tone: the first loud sample, then past the tone.
        i = next((k for k in range(at, len(samples), 2) if abs(samples[k]) > 8000), None)
        if i is None:
            break
        heard = clock(i // 2)
        shown = onset_on_screen(frames, heard - 0.1, heard + 0.1)
        if shown is not None:
            offsets.append((shown - heard) * 1000)
        at = i + RATE // 5  # past the tone
    return offsets


def flash_frames(ref):
    """qn-capture's first ten flashes (at least a second apart): frame numbers."""
    found, last = [], -100
    with open(f"{ref}/frames.csv") as f:
        rows = [line.strip().split(",") for line in f][1:]
    previous = 0
    for r in rows:
        frame, lift = int(r[0]), int(r[5])
        if lift == 255 and previous != 255 and frame - last >= 50:
            found.append(frame)
            last = frame
        previous = lift
        if len(found) == 10:
            break
    return found


def row_start(frame, row_frames):
    """The sound frame the flash's row starts at: the one multiple of the row
    length mixed in the frame before (on the virtual clock each 20 ms frame
    mixes 882 sound frames), or the frame's end where the tempo is not plain."""
    lo, hi = (frame - 1) * 882, frame * 882
    k = -(-lo // row_frames) * row_frames
    return k if k < hi else hi


def flashes(run, ref):
    frames, clock, sound = read_run(run)
    with open(f"{ref}/music.wav", "rb") as f:
        wav = f.read()[44:]
    xm = open(f"{ref}/music.xm", "rb").read()
    speed, bpm = struct.unpack("<HH", xm[0x4C:0x50])
    row_frames = speed * (RATE * 125 // (bpm * 50))
    offsets = []
    for frame in flash_frames(ref):
        beat = row_start(frame, row_frames)
        # Follow the song: 20 ms of it near the beat, found bit for bit in
        # the recording (a stretch that a lost buffer cut is passed over).
        heard = None
        for shift in (0, -441, 441, -882, 882, -1764, 1764, -3528, 3528):
            lo = beat + shift
            needle = wav[lo * FRAME: (lo + RATE // 50) * FRAME]
            if lo < 0 or not needle.strip(b"\0"):
                continue
            at = sound.find(needle)
            while at >= 0 and at % FRAME:
                at = sound.find(needle, at + 1)
            if at >= 0:
                heard = clock(at // FRAME - shift)
                break
        if heard is None:
            offsets.append(None)
            continue
        shown = onset_on_screen(frames, heard - 0.4, heard + 0.4)
        offsets.append(None if shown is None else (shown - heard) * 1000)
    return offsets


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "probe":
        probe(int(sys.argv[2]))
        return
    if len(sys.argv) == 3 and sys.argv[1] == "tones":
        result = tones(sys.argv[2])
    elif len(sys.argv) == 4 and sys.argv[1] == "flashes":
        result = flashes(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
    for value in result:
        print("-" if value is None else f"{value:.1f}")


main()
