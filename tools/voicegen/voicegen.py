#!/usr/bin/python3
"""voicegen: builds the 34 voice units of KORVEN TTS.

Every unit is rendered by espeak-ng's Czech voice, switched to a flat pitch
through a private voice variant, then cut into pitch periods (voiced sounds)
or period-long noise chunks (voiceless fricatives), levelled, joined with the
segment marks the synthesizer cuts at, and written as a RIFF/WAVE resource.
A few sounds espeak-ng renders weakly (voiced h, v, the voiced fricatives,
the noise of s, sh, f) are rebuilt from its spectra: noise is drawn from a seeded
generator and shaped, so the output is the same byte for byte on every run.

Usage: voicegen.py OUTDIR [--plot DIR]
Needs: espeak-ng and libespeak-ng1 (Debian 12: 1.51), python3-numpy;
python3-matplotlib only for --plot.
"""
import argparse
import ctypes as C
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

import numpy as np

RATE = 22050
MARK = np.array([0, 1, 1, -1, -1, 1, 1, -1, -1, 0], dtype=np.int64)
# The synthesizer takes a unit's PCM from byte 46 on and drops its last 120
# bytes: the 74-byte metadata chunk and 23 samples of audio.  The audio ends
# with 24 zero samples, so only silence is lost and the last segment ends
# on one zero sample.
INFO_BYTES = 74
TAIL_ZEROS = 24
MAX_SAMPLES = 6000

# Segment count of every unit, as the synthesizer's front-end expects them.
SEGMENTS = {
    'A': 21, 'B': 41, 'C': 1, 'CH': 1, 'CV': 1, 'D': 18, 'DV': 11, 'E': 27,
    'F': 19, 'G': 1, 'H': 17, 'I': 30, 'J': 20, 'K': 1, 'KK': 1, 'L': 13,
    'LU': 18, 'M': 36, 'N': 39, 'NV': 1, 'O': 26, 'P': 1, 'PK': 1, 'Q': 1,
    'R': 17, 'RV': 1, 'S': 16, 'SV': 30, 'T': 1, 'TV': 1, 'U': 24, 'V': 17,
    'Z': 36, 'ZV': 13,
}

# Gain the front-end gives a unit in the usual case, and the largest one it
# can give (before the 1.25 boost of a word's first entry).
GAIN = {  # unit: (usual, largest)
    'A': (0.55, 0.55), 'B': (0.75, 0.75), 'C': (0.3, 0.3), 'CH': (0.3, 0.3),
    'CV': (0.215, 0.215), 'D': (1.0, 1.0), 'DV': (0.77, 0.77), 'E': (0.65, 0.65),
    'F': (1.75, 1.75), 'G': (0.5, 0.5), 'H': (0.122, 0.122), 'I': (0.55, 0.55),
    'J': (0.55, 0.55), 'K': (1.0, 1.0), 'KK': (0.2, 0.25), 'L': (0.2, 0.2),
    'LU': (0.15, 0.2), 'M': (0.35, 0.35), 'N': (0.75, 0.75), 'NV': (0.45, 0.45),
    'O': (0.45, 0.45), 'P': (0.5, 0.5), 'PK': (0.4, 0.5), 'Q': (1.0, 1.0),
    'R': (0.4, 0.4), 'RV': (0.3, 0.3), 'S': (0.27, 0.27), 'SV': (0.35, 0.35),
    'T': (0.65, 0.7), 'TV': (1.0, 1.0), 'U': (0.5, 0.6), 'V': (0.27, 0.3),
    'Z': (1.15, 1.15), 'ZV': (0.5, 0.5),
}
VOLUME = 50 / 15          # default volume setting
FIRST_BOOST = 1.25        # gain boost of a word's first entry
SAFE_OUTPUT = 29000       # headroom for the echo taps, which add without saturation

# Peak the unit should reach in the output at its usual gain and the default
# volume: vowels loudest, sonorants about 6 dB below, noise and bursts lower.
LEVEL = {
    'A': 21000, 'E': 19500, 'I': 17000, 'O': 20000, 'U': 14000,
    'M': 11000, 'N': 11000, 'NV': 11000, 'L': 11000, 'LU': 11000,
    'J': 13000, 'R': 14000, 'V': 9000, 'H': 7000,
    'Z': 8500, 'ZV': 9000, 'S': 7500, 'SV': 9000, 'F': 4500, 'CH': 5500,
    'C': 8000, 'CV': 8500, 'RV': 12000,
    'K': 12000, 'KK': 9000, 'Q': 12000, 'P': 9500, 'PK': 8000,
    'T': 12000, 'TV': 11000, 'B': 10000, 'D': 11000, 'DV': 10500, 'G': 10000,
}

# Balance by class, in dB on top of LEVEL: word-initial consonants measured
# against the vowel peak (pre-emphasised frame energy, median over the words of
# the word-identification vocabulary) came out 4-13 dB louder than in natural
# Czech speech (c, s, d a little weaker); three quarters of the difference,
# less the 2 dB of the first entry's boost, at most 8 dB down and 3 dB up.
BALANCE = {
    'C': 3.0, 'S': 3.0, 'D': 3.0, 'SV': 2.6, 'CV': 1.5, 'B': -0.5, 'P': -1.6, 'PK': -1.6,
    'R': -1.7, 'H': -2.5, 'K': -3.7, 'Q': -3.7, 'KK': -3.7, 'Z': -4.0, 'L': -4.5, 'LU': -4.5,
    'T': -4.7, 'TV': -4.7, 'G': -5.5, 'M': -5.6, 'V': -6.0, 'F': -6.0, 'RV': -6.1, 'CH': -6.1,
    'J': -7.9, 'N': -8.0, 'NV': -8.0, 'ZV': -8.0
}


def unit_peak(name):
    """Peak a unit should have: its level at the usual gain."""
    usual, _ = GAIN[name]
    return LEVEL[name] * 10 ** (BALANCE.get(name, 0.0) / 20) / (usual * VOLUME)


def unit_limit(name):
    """Largest sample value a unit may hold: the largest gain at the default
    volume must not wrap (samples are scaled without saturation)."""
    _, largest = GAIN[name]
    return min(32000.0, SAFE_OUTPUT / (largest * VOLUME * FIRST_BOOST))


# Every rendering loses its DC offset and rumble.
FLAT_EQ = [(0, -60), (40, -60), (90, 0), (11025, 0)]
# Equaliser of each vowel, (Hz, dB) corners: the difference between the
# average spectrum of the vowel's nucleus in natural Czech speech and in our
# output, smoothed over a quarter octave (at most 6 dB of lift below 300 Hz,
# +-10 dB elsewhere).  espeak-ng's formant vowels put too much energy around
# 2.6-3.5 kHz and too little near the second formant.
VOWEL_EQ = {
    'A': [(0, -60), (40, -60), (90, 0), (100, 6.0), (200, 6.0), (300, 5.2), (400, 3.2),
           (500, 5.7), (600, 6.2), (800, 1.4), (1000, -2.0), (1200, 1.0), (1500, 10), (1800, 10),
           (2200, 2.3), (2600, -6.7), (3000, -8.9), (3500, -5.2), (4000, -3.9), (5000, 1.5), (6000, -0.7),
           (7000, -4.5), (7900, -5.1), (11025, -5.1)],
    'E': [(0, -60), (40, -60), (90, 0), (100, 6.0), (200, 6.0), (300, 6.0), (400, 4.4),
           (500, 2.7), (600, 6.0), (800, 7.3), (1000, 1.5), (1200, -0.1), (1500, 4.0), (1800, 5.6),
           (2200, 3.6), (2600, -2.2), (3000, -4.7), (3500, -4.7), (4000, -3.9), (5000, -2.1), (6000, -5.4),
           (7000, -5.0), (7900, -3.2), (11025, -3.2)],
    'I': [(0, -60), (40, -60), (90, 0), (100, 6.0), (200, 6.0), (300, 6.0), (400, 7.3),
           (500, 9.2), (600, 5.3), (800, -0.7), (1000, -8.1), (1200, -9.7), (1500, -0.8), (1800, 8.0),
           (2200, 6.9), (2600, -0.8), (3000, -4.6), (3500, -3.5), (4000, -2.9), (5000, 1.9), (6000, 4.2),
           (7000, 6.2), (7900, 8.1), (11025, 8.1)],
    'O': [(0, -60), (40, -60), (90, 0), (100, 6.0), (200, 6.0), (300, 6.0), (400, 1.2),
           (500, 0.4), (600, 2.1), (800, -2.6), (1000, 2.8), (1200, 7.6), (1500, 2.3), (1800, 3.9),
           (2200, -2.5), (2600, -7.4), (3000, -1.3), (3500, 1.1), (4000, -1.2), (5000, -2.7), (6000, -4.1),
           (7000, -0.5), (7900, 3.9), (11025, 3.9)],
    'U': [(0, -60), (40, -60), (90, 0), (100, 6.0), (200, 6.0), (300, -0.3), (400, 4.7),
           (500, 10), (600, 5.5), (800, -3.7), (1000, -2.2), (1200, -3.5), (1500, 1.0), (1800, 7.1),
           (2200, 3.9), (2600, -0.9), (3000, -3.3), (3500, -2.0), (4000, -2.2), (5000, 0.7), (6000, 3.7),
           (7000, 4.7), (7900, 2.6), (11025, 2.6)],
}
# Periods of the following vowel kept after the release of p, t, k and t':
# their formant transitions tell the place of articulation.
STOP_ONSET = 2
# Level of a voiced stop's voice bar against its burst.
VOICE_BAR = 0.5


def equalise(x, corners):
    """Zero-phase filter of x whose gain follows the (Hz, dB) corners."""
    corners = corners or FLAT_EQ
    n = len(x)
    f = np.fft.rfftfreq(2 * n, 1 / RATE)
    db = np.interp(f, [c[0] for c in corners], [c[1] for c in corners])
    return np.fft.irfft(np.fft.rfft(x, 2 * n) * 10 ** (db / 20))[:n]


# ---------------------------------------------------------------- espeak-ng

VARIANT = """name kvflat
pitch 180 180
flutter 0
roughness 0
"""


class EspeakEvent(C.Structure):
    _fields_ = [('type', C.c_int), ('unique_identifier', C.c_uint),
                ('text_position', C.c_int), ('length', C.c_int),
                ('audio_position', C.c_int), ('sample', C.c_int),
                ('user_data', C.c_void_p), ('id', C.c_char * 8)]


SynthCallback = C.CFUNCTYPE(C.c_int, C.POINTER(C.c_short), C.c_int, C.POINTER(EspeakEvent))
AUDIO_OUTPUT_SYNCHRONOUS = 2
INITIALIZE_PHONEME_EVENTS = 1
POS_CHARACTER = 1
PHONEMES = 0x100
EVENT_PHONEME = 7
RATE_PARAM = 1


def espeak_data_dir():
    out = subprocess.run(['espeak-ng', '--version'], capture_output=True, text=True).stdout
    m = re.search(r'Data at:\s*(\S+)', out)
    if not m:
        sys.exit('voicegen: cannot find the espeak-ng data folder')
    return m.group(1), out.split('Data at')[0].strip()


class Espeak:
    """Czech espeak-ng with a flat-pitch private variant; renders phoneme
    strings to samples and reports where each phoneme starts."""

    def __init__(self):
        data, self.version = espeak_data_dir()
        self.tmp = tempfile.mkdtemp(prefix='voicegen-')
        root = os.path.join(self.tmp, 'espeak-ng-data')
        os.makedirs(os.path.join(root, 'voices', '!v'))
        for entry in sorted(os.listdir(data)):
            if entry != 'voices':
                os.symlink(os.path.join(data, entry), os.path.join(root, entry))
        for entry in sorted(os.listdir(os.path.join(data, 'voices'))):
            if entry != '!v':
                os.symlink(os.path.join(data, 'voices', entry), os.path.join(root, 'voices', entry))
        with open(os.path.join(root, 'voices', '!v', 'kvflat'), 'w') as f:
            f.write(VARIANT)
        self.lib = C.CDLL('libespeak-ng.so.1')
        rate = self.lib.espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, self.tmp.encode(),
                                          INITIALIZE_PHONEME_EVENTS)
        if rate != RATE:
            sys.exit('voicegen: espeak-ng did not start (%d)' % rate)
        if self.lib.espeak_SetVoiceByName(b'cs+kvflat') != 0:
            sys.exit('voicegen: no Czech voice in espeak-ng')
        self.eq = None
        self.callback = SynthCallback(self._collect)
        self.lib.espeak_SetSynthCallback(self.callback)

    def close(self):
        self.lib.espeak_Terminate()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _collect(self, wav, n, events):
        if n > 0:
            self.chunks.append(np.ctypeslib.as_array(wav, shape=(n,)).copy())
        i = 0
        while events[i].type != 0:
            e = events[i]
            if e.type == EVENT_PHONEME:
                name = bytes(e.id).split(b'\0')[0].decode()
                self.events.append((e.audio_position * RATE // 1000, name))
            i += 1
        return 0

    def render(self, phonemes, rate=80):
        """Samples (float) and [(start, phoneme)] of a phoneme string, through
        the equaliser of the unit being built (none: DC removed only)."""
        self.lib.espeak_SetParameter(RATE_PARAM, rate, 0)
        self.chunks, self.events = [], []
        text = ('[[' + phonemes + ']]').encode() + b'\0'
        self.lib.espeak_Synth(text, len(text), 0, POS_CHARACTER, 0, PHONEMES, None, None)
        self.lib.espeak_Synchronize()
        x = np.concatenate(self.chunks).astype(np.float64)
        return equalise(x, self.eq), list(self.events)

    def span(self, phonemes, index, rate=80):
        """Samples and the [start, end) of the index-th phoneme event."""
        x, ev = self.render(phonemes, rate)
        return x, ev[index][0], ev[index + 1][0], ev


# ---------------------------------------------------------------- analysis

def smooth_energy(x, width=15):
    k = np.ones(width) / width
    return np.convolve(x * x, k, mode='same')


def find_period(x, a, b):
    """Pitch period (samples) of the voiced stretch x[a:b]."""
    y = x[a:b] - np.mean(x[a:b])
    n = len(y)
    spectrum = np.fft.rfft(y, 2 * n)
    ac = np.fft.irfft(np.abs(spectrum) ** 2)[:n]
    lo, hi = 90, 200
    return lo + int(np.argmax(ac[lo:hi]))


def rising_zero(x, near, reach=14):
    """Positive-going zero crossing nearest to sample 'near' (the first sample
    at or above zero after a negative one)."""
    best = None
    for d in range(reach + 1):
        for i in (near - d, near + d):
            if 1 <= i < len(x) and x[i - 1] < 0 <= x[i]:
                best = i
                break
        if best is not None:
            return best
    return near


def zero_cuts(x, a, b, period):
    """Cut points at positive-going zero crossings one period apart: for
    near-sinusoidal sounds (a voice bar), whose energy dips twice a period."""
    c = rising_zero(x, a, reach=period // 2)
    cuts = [c]
    while cuts[-1] + period + 20 <= b:
        cuts.append(rising_zero(x, cuts[-1] + period, reach=20))
    return cuts


def period_cuts(x, a, b, period):
    """Cut points in x[a:b], one per pitch period, each at a positive-going
    zero crossing in the quiet end of the period (just before the glottal
    pulse), tracked from period to period so every cut falls at the same
    phase."""
    e = smooth_energy(x)
    m = a + int(np.argmin(e[a:a + period]))
    marks = [m]
    while True:
        lo, hi = m + period - 8, m + period + 9
        if hi > b:
            break
        m = lo + int(np.argmin(e[lo:hi]))
        marks.append(m)
    cuts = [rising_zero(x, m) for m in marks]
    return sorted(set(cuts))


def periods_of(x, a, b, period):
    c = period_cuts(x, a, b, period)
    return [x[c[k]:c[k + 1]].copy() for k in range(len(c) - 1)]


def rms(y):
    return float(np.sqrt(np.mean(y * y))) if len(y) else 0.0


def steady(periods, count, keep=0.85):
    """count consecutive periods from the loudest steady stretch; when there
    are too few, walk back and forth over the stretch (each period is a whole
    cycle, so reversing the order of periods keeps every join smooth)."""
    r = np.array([rms(p) for p in periods])
    good = np.nonzero(r >= keep * r.max())[0]
    lo, hi = good[0], good[-1] + 1
    if hi - lo >= count:
        mid = (lo + hi - count) // 2
        return [p.copy() for p in periods[mid:mid + count]]
    order = list(range(lo, hi))
    walk = order + order[-2:0:-1] if hi - lo > 2 else order
    return [periods[walk[k % len(walk)]].copy() for k in range(count)]


def level(periods, target=None):
    """Scale every period to the same RMS, the gain moving smoothly from one
    period to the next."""
    r = np.array([rms(p) for p in periods])
    target = target if target is not None else float(np.median(r))
    g = target / np.maximum(r, 1e-9)
    out = []
    for k, p in enumerate(periods):
        g0 = g[k - 1] if k else g[k]
        ramp = np.linspace((g0 + g[k]) / 2, g[k], len(p))
        out.append(p * ramp)
    return out


def ramp(y, start, end):
    return y * np.linspace(start, end, len(y))


def fade_in(y, n):
    y = y.copy()
    n = min(n, len(y))
    y[:n] *= 0.5 - 0.5 * np.cos(np.linspace(0, np.pi, n))
    return y


def fade_out(y, n):
    y = y.copy()
    n = min(n, len(y))
    y[len(y) - n:] *= 0.5 + 0.5 * np.cos(np.linspace(0, np.pi, n))
    return y


def spectrum_of(y, nfft=512):
    """Average magnitude spectrum (Welch) of a stretch of noise."""
    win = np.hanning(nfft)
    frames = [y[i:i + nfft] * win for i in range(0, len(y) - nfft, nfft // 4)]
    mag = np.mean([np.abs(np.fft.rfft(f)) for f in frames], axis=0)
    k = np.ones(5) / 5
    return np.convolve(mag, k, mode='same')


def shaped_noise(spectrum, n, seed):
    """n samples of fresh noise with the given magnitude spectrum."""
    rng = np.random.default_rng(seed)
    w = rng.standard_normal(n + 1024)
    wf = np.fft.rfft(w)
    grid = np.linspace(0, 1, len(spectrum))
    shape = np.interp(np.linspace(0, 1, len(wf)), grid, spectrum)
    y = np.fft.irfft(wf * shape, len(w))[512:512 + n]
    return y / rms(y)


def lowpass(y, cutoff, width=200.0):
    """Zero-phase low-pass by FFT with a raised-cosine edge."""
    n = len(y)
    f = np.fft.rfftfreq(2 * n, 1 / RATE)
    h = np.clip((cutoff + width / 2 - f) / width, 0, 1)
    h = 0.5 - 0.5 * np.cos(np.pi * h)
    return np.fft.irfft(np.fft.rfft(y, 2 * n) * h)[:n]


def noise_chunks(y, count, period):
    """Split y into count chunks of about one period each, cut at
    positive-going zero crossings."""
    cuts = [0]
    for k in range(1, count):
        near = k * period
        cands = [i for i in range(near - 15, near + 16) if y[i - 1] < 0 <= y[i]]
        cuts.append(min(cands, key=lambda i: abs(y[i]) + abs(y[i - 1])) if cands else near)
    cuts.append(count * period)
    return [y[cuts[k]:cuts[k + 1]].copy() for k in range(count)]


def burst_at(x, a, b, threshold):
    """First sample in x[a:b] whose magnitude exceeds threshold."""
    idx = np.nonzero(np.abs(x[a:b]) > threshold)[0]
    return a + int(idx[0]) if len(idx) else a


def voicing_onset(x, a, b, period):
    """Start of the first period in x[a:b] loud enough to be the vowel."""
    e = smooth_energy(x, period)
    top = e[a:b].max()
    idx = np.nonzero(e[a:b] > 0.25 * top)[0]
    return a + int(idx[0]) if len(idx) else b


# ---------------------------------------------------------------- writing

def pack(segments, peak, limit, ref=None):
    """Scale the segments so that the reference segments (all by default)
    reach the given peak and no sample exceeds limit, round them, keep them
    clear of the mark pattern and join them with marks."""
    ref = range(len(segments)) if ref is None else ref
    top = max(float(np.max(np.abs(segments[k]))) for k in ref)
    whole = max(float(np.max(np.abs(s))) for s in segments)
    peak = min(peak, limit * top / whole)
    parts = [np.array([0], dtype=np.int64)]
    for k, s in enumerate(segments):
        q = np.rint(s * (peak / top)).astype(np.int64)
        # Values of magnitude one only ever occur inside a mark.
        q[q == 1] = 2
        q[q == -1] = -2
        if k:
            parts.append(MARK)
        parts.append(q)
    parts.append(np.zeros(TAIL_ZEROS, dtype=np.int64))
    return np.concatenate(parts)


def info_chunk(name, source):
    """LIST/INFO chunk of exactly INFO_BYTES naming the unit and its source."""
    def sub(tag, text, size):
        raw = text.encode('ascii')[:size - 1]
        return tag + struct.pack('<I', size) + raw + b'\0' * (size - len(raw))
    body = b'INFO' + sub(b'INAM', 'KORVEN unit ' + name, 18) + sub(b'ISRC', source, 28)
    chunk = b'LIST' + struct.pack('<I', len(body)) + body
    assert len(chunk) == INFO_BYTES
    return chunk


def wav_bytes(name, samples, source):
    data = samples.astype('<i2').tobytes()
    tail = info_chunk(name, source)
    fmt = struct.pack('<4sIHHIIHH', b'fmt ', 16, 1, 1, RATE, RATE * 2, 2, 16)
    body = b'WAVE' + fmt + b'data' + struct.pack('<I', len(data)) + data + tail
    return b'RIFF' + struct.pack('<I', len(body)) + body


def engine_segments(blob):
    """Count segments exactly as the synthesizer does."""
    r = len(blob) - 46
    if r % 2:
        r -= 1
    r -= 120
    w = r // 2
    s = np.frombuffer(blob[46:46 + 2 * w], dtype='<i2').astype(np.int64)
    b = 1
    for i in range(1, w - 15 + 1):
        if np.array_equal(s[i - 1:i + 9], MARK):
            b += 1
    return b


# ---------------------------------------------------------------- units

class Builder:
    def __init__(self, es):
        self.es = es
        x, a, b, _ = es.span('a:', 0)
        self.period = find_period(x, a + 600, b - 600)

    # -- helpers over rendered speech

    def voiced(self, phonemes, index, rate=80, trim=0.15, until=None):
        """Pitch periods of one phoneme, from trim of its length on, up to
        trim before its end (or up to the fraction until)."""
        x, a, b, _ = self.es.span(phonemes, index, rate)
        n = b - a
        end = b - int(trim * n) if until is None else a + int(until * n)
        return periods_of(x, a + int(trim * n), end, self.period)

    def vowel(self, ph, count):
        p = steady(self.voiced(ph, 0, trim=0.1), count)
        p = level(p)
        p[0] = fade_in(p[0], len(p[0]) // 2)
        p[-1] = ramp(p[-1], 1.0, 0.85)
        return p

    def sonorant(self, phonemes, index, count, fade=1, trim=0.15, until=None):
        p = level(steady(self.voiced(phonemes, index, trim=trim, until=until), count, keep=0.7))
        for k in range(fade):
            p[k] = ramp(p[k], (k + 0.3) / fade, (k + 1) / fade)
        return p

    def release(self, phonemes, index, count):
        """The first periods of a vowel that follows a consonant (formant
        transitions out of the consonant)."""
        x, ev = self.es.render(phonemes, 80)
        a = ev[index][0]
        b = ev[index + 1][0]
        on = voicing_onset(x, a - 200, b, self.period)
        return periods_of(x, on, on + (count + 2) * self.period, self.period)[:count]

    def fricative_noise(self, phonemes, index, count, seed, rate=80):
        """count period-long chunks of fresh noise with the spectrum of the
        espeak-ng fricative (its own noise loops every ~50 ms)."""
        x, a, b, _ = self.es.span(phonemes, index, rate)
        n = b - a
        spectrum = spectrum_of(x[a + n // 5:b - n // 5])
        f = np.linspace(0, RATE / 2, len(spectrum))
        spectrum = spectrum * np.clip((f - 200) / 400, 0, 1)
        y = shaped_noise(spectrum, (count + 1) * self.period, seed)
        return noise_chunks(y, count, self.period)

    def voiced_fricative(self, phonemes, index, count, seed, split=900.0, noise_share=1.0,
                         noise_from=None):
        """Voicing from espeak-ng's rendering below 'split' Hz, and fresh
        shaped noise above it, its loudness pulsing with the voice.  With
        noise_from, the noise has the spectrum of that phoneme string's
        second phoneme instead and noise_share sets its RMS against the
        voice's."""
        x, a, b, _ = self.es.span(phonemes, index)
        n = b - a
        mid = x[a + n // 5:b - n // 5]
        voice = steady(periods_of(lowpass(x, split), a + n // 5, b - n // 5, self.period),
                       count, keep=0.7)
        voice = level(voice)
        high = mid - lowpass(mid, split)
        spectrum = spectrum_of(high)
        total = sum(len(p) for p in voice)
        noise = shaped_noise(spectrum, total, seed) * rms(high) / max(rms(mid), 1e-9)
        if noise_from:
            y, c, d, _ = self.es.span(noise_from, 1)
            k = d - c
            spectrum = spectrum_of(y[c + k // 5:d - k // 5])
            noise = shaped_noise(spectrum, total, seed)
        out, pos = [], 0
        vr = rms(np.concatenate(voice))
        for p in voice:
            ph = np.arange(len(p)) / len(p)
            pulse = 0.1 + 0.9 * np.sin(np.pi * ph) ** 2
            pulse /= np.sqrt(np.mean(pulse ** 2))  # the pulsing keeps the noise's energy
            seg = p + noise_share * vr * noise[pos:pos + len(p)] * pulse
            pos += len(p)
            out.append(seg)
        return out

    def stop(self, phonemes, index, lead, length, final=False, fade=160, onset=0):
        """Burst and release of a stop: lead samples of silence, then the
        burst, then up to length samples of release, cut where the voicing
        of the following vowel starts (or, for a word-final stop, where the
        release has died away)."""
        x, ev = self.es.render(phonemes, 175)
        a = ev[index][0]
        e = smooth_energy(x, 101)
        quiet = a - 600 + int(np.argmin(e[a - 600:a + 30]))
        top = np.max(np.abs(x[quiet:quiet + 1500]))
        burst = burst_at(x, quiet, len(x), 0.08 * top)
        end = burst + length
        if final:
            loud = np.nonzero(e[burst:end] > 0.003 * e[burst:end].max())[0]
            end = burst + int(loud[-1]) + 1
        else:
            low = smooth_energy(lowpass(x, 500), self.period)
            after = low[burst + 60:]
            voiced = burst + 60 + int(np.argmax(after > 0.1 * after.max()))
            end = min(end, voiced)
            if onset:
                # the first periods of the vowel carry the formant
                # transitions out of the stop: its place of articulation
                end = voiced + onset * self.period
                fade = self.period
        y = x[burst:end].copy()
        if onset and not final:
            # no louder than the burst, which sets the unit's level
            k = voiced - burst
            top = np.max(np.abs(y[:k]))
            y[k:] *= min(1.0, 0.8 * top / max(np.max(np.abs(y[k:])), 1e-9))
        y = fade_out(y, min(fade, len(y) // 2))
        return np.concatenate([np.zeros(lead), fade_in(x[burst - 12:burst], 12), y])

    # -- the units

    def build(self, name):
        self.es.eq = VOWEL_EQ.get(name)
        P = self.period
        es = self.es
        n = SEGMENTS[name]
        if name in ('A', 'E', 'I', 'O', 'U'):
            ph = {'A': 'a:', 'E': 'e:', 'I': 'i:', 'O': 'o:', 'U': 'u:'}[name]
            return self.vowel(ph, n), 'espeak-ng cs vowel %s' % ph

        if name == 'M':
            # onset, murmur, and at the end the opening into a vowel
            body = self.sonorant('@m@', 1, n - 2, fade=3)
            rel = level(self.release('@me', 2, 2), rms(body[5]) * 1.4)
            return body + rel, 'espeak-ng cs m in @m@ and me', range(n - 2)
        if name == 'N':
            body = self.sonorant('@n@', 1, n - 2, fade=3)
            rel = level(self.release('@ne', 2, 2), rms(body[12]) * 1.4)
            return body + rel, 'espeak-ng cs n in @n@ and ne', range(n - 2)
        if name == 'J':
            # espeak-ng's j glides toward the next vowel: its palatal first half
            return self.sonorant('eje', 1, n, fade=2, trim=0.2, until=0.55), 'espeak-ng cs j in eje'
        if name == 'L':
            return self.sonorant('ala', 1, n, fade=2), 'espeak-ng cs l in ala'
        if name == 'LU':
            return self.sonorant('olo', 1, n, fade=2), 'espeak-ng cs l in olo'
        if name == 'V':
            # espeak-ng's v is voicing alone: a little labiodental noise (the
            # spectrum of its f) is added, 14 dB below the voice
            segs = self.voiced_fricative('@v@', 1, n, seed=22, split=5000.0, noise_share=0.2,
                                         noise_from='@f@')
            segs[0] = ramp(segs[0], 0.3, 0.65)
            segs[1] = ramp(segs[1], 0.65, 1.0)
            return segs, 'espeak-ng cs v in @v@, f noise'
        if name == 'R':
            return self.trill(n), 'espeak-ng cs r in ara, taps'
        if name == 'H':
            return self.murmured_h(n), 'espeak-ng cs h and @, breathy'
        if name == 'Z':
            # espeak-ng's z hisses weakly: twice its noise
            segs = self.voiced_fricative('@z@', 1, n, seed=26, noise_share=2.0)
            segs[0] = fade_in(segs[0], len(segs[0]))
            return segs, 'espeak-ng cs z, shaped noise'
        if name == 'ZV':
            segs = self.voiced_fricative('@Z@', 1, n, seed=27, noise_share=1.4)
            segs[0] = fade_in(segs[0], len(segs[0]))
            return segs, 'espeak-ng cs zh, shaped noise'
        if name in ('S', 'SV', 'F'):
            ph = {'S': 's', 'SV': 'S', 'F': 'f'}[name]
            segs = self.fricative_noise('@%s@' % ph, 1, n, seed=zlib.crc32(name.encode()))
            segs[0] = fade_in(segs[0], len(segs[0]))
            segs[-1] = fade_out(segs[-1], len(segs[-1]))
            return segs, 'espeak-ng cs %s spectrum, shaped noise' % ph

        if name in ('K', 'Q'):
            return [self.stop('@ka:', 1, 60, 520, onset=STOP_ONSET)], 'espeak-ng cs k in @ka:'
        if name == 'KK':
            return [self.stop('@ak', 2, 60, 900, final=True, fade=500)], 'espeak-ng cs k in @ak'
        if name == 'P':
            return [self.stop('@pa:', 1, 60, 420, onset=STOP_ONSET)], 'espeak-ng cs p in @pa:'
        if name == 'PK':
            return [self.stop('@ap', 2, 60, 700, final=True, fade=300)], 'espeak-ng cs p in @ap'
        if name == 'T':
            return [self.stop('@ta:', 1, 60, 420, onset=STOP_ONSET)], 'espeak-ng cs t in @ta:'
        if name == 'TV':
            return [self.stop('@ci:', 1, 60, 560, onset=STOP_ONSET)], 'espeak-ng cs tj in @ci:'
        if name == 'C':
            return [self.stop('@tsa', 1, 60, 1900, fade=500)], 'espeak-ng cs ts in @tsa'
        if name == 'CV':
            return [self.stop('@tSa', 1, 60, 1900, fade=500)], 'espeak-ng cs tsh in @tSa'
        if name == 'CH':
            x, a, b, _ = es.span('@x@', 1, 175)
            y = fade_out(fade_in(x[a + 100:b], 300), 500)
            return [y], 'espeak-ng cs x in @x@'
        if name == 'RV':
            x, a, b, _ = es.span('aR^a', 1, 120)
            c = period_cuts(x, a, b, P)
            y = fade_out(fade_in(x[c[1]:c[-1]], 2 * P), 2 * P)
            return [y], 'espeak-ng cs rzh in aR^a'
        if name == 'NV':
            body = self.sonorant('an^a', 1, 10, fade=2)
            rel = self.release('an^a', 2, 3)
            rel = level(rel, rms(body[-1]) * 1.3)
            return [np.concatenate(body + rel)], 'espeak-ng cs nj in an^a'

        if name in ('B', 'D', 'DV', 'G'):
            ph = {'B': 'b', 'D': 'd', 'DV': 'J', 'G': 'g'}[name]
            vowel = 'i' if name == 'DV' else '@'
            return self.voiced_stop(name, ph, vowel), 'espeak-ng cs %s in @%s%s' % (ph, ph, vowel)
        raise KeyError(name)

    def trill(self, count):
        """Czech r: r-coloured periods interrupted by two short tongue taps
        (each tap one two-period segment whose loudness dips and whose high
        frequencies close off).  The taps sit on odd segments that survive
        the usual shortening."""
        body = level(steady(self.voiced('ara', 1, trim=0.1), count + 2, keep=0.6))
        taps = (4, 10)
        out, k = [], 0
        for seg in range(count):
            if seg in taps:
                y = np.concatenate([body[k], body[k + 1]])
                k += 2
                t = np.linspace(0, 1, len(y))
                dip = 1 - 0.8 * np.exp(-((t - 0.5) / 0.22) ** 2)
                closed = lowpass(y, 700)
                mix = np.exp(-((t - 0.5) / 0.25) ** 2)
                out.append((y * (1 - mix) + closed * mix) * dip)
            else:
                out.append(body[k])
                k += 1
        out[0] = ramp(out[0], 0.4, 1.0)
        return out

    def murmured_h(self, count):
        """Czech h is voiced and breathy: a neutral vowel, its upper
        harmonics taken away, under aspiration noise with the spectrum of
        espeak-ng's h, pulsing with the voice."""
        voice = level(steady(self.voiced('@:', 0, trim=0.2), count, keep=0.8))
        lens = [len(p) for p in voice]
        low = lowpass(np.concatenate(voice), 900, 600)
        x, a, b, _ = self.es.span('@h@', 1)
        n = b - a
        spectrum = spectrum_of(x[a + n // 5:b - n // 5])
        f = np.linspace(0, RATE / 2, len(spectrum))
        spectrum = spectrum * np.clip((f - 150) / 300, 0, 1)
        noise = shaped_noise(spectrum, len(low), 17) * rms(low)
        out, pos = [], 0
        for m in lens:
            ph = np.arange(m) / m
            pulse = 0.1 + 0.9 * np.sin(np.pi * ph) ** 2
            out.append(0.8 * low[pos:pos + m] + 0.9 * noise[pos:pos + m] * pulse)
            pos += m
        out[0] = fade_in(out[0], len(out[0]))
        out[-1] = ramp(out[-1], 1.0, 0.6)
        return out

    def closure(self, x, ev):
        """Start of the closure (end of the schwa) and the burst of a voiced
        stop rendered as @ + stop + vowel."""
        P = self.period
        a = ev[1][0]
        e = smooth_energy(x, 41)
        close = a + int(np.argmax(e[a:] < 0.02 * e[:a].max()))
        hf_e = smooth_energy(x - lowpass(x, 3000), 9)
        look = hf_e[close + 2 * P:]
        burst = close + 2 * P + int(np.argmax(look > 0.03 * look.max()))
        return close, burst

    def voiced_stop(self, name, ph, vowel):
        """Voice bar periods (from a slow rendering, whose closure is long and
        steady), then the burst with its release as one segment and the first
        period(s) of the following vowel (from a rendering at normal rate,
        whose release is short)."""
        P = self.period
        text = '@%s%s' % (ph, vowel)
        x, ev = self.es.render(text, 80)
        close, burst = self.closure(x, ev)
        cuts = zero_cuts(x, close + P, burst - P, P)
        bar = [x[cuts[k]:cuts[k + 1]].copy() for k in range(len(cuts) - 1)]

        x, ev = self.es.render(text, 175)
        close, burst = self.closure(x, ev)
        cuts = [c for c in zero_cuts(x, close + P // 2, burst + P, P) if c < burst - 6]
        onset = voicing_onset(x, burst + 40, len(x), P)
        after_cuts = period_cuts(x, onset, onset + 6 * P, P)
        cands = [i for i in range(after_cuts[0] - 15, after_cuts[0] + 16) if x[i - 1] < 0 <= x[i]]
        if cands:
            after_cuts[0] = min(cands, key=lambda i: abs(x[i]) + abs(x[i - 1]))
        longest = {'B': 260, 'D': 300, 'DV': 420, 'G': 300}[name]
        rel = x[cuts[-1]:after_cuts[0]].copy()
        if len(rel) > burst - cuts[-1] + longest:
            # a long frication before the vowel: keep its start, fade it out
            rel = fade_out(x[cuts[-1]:burst + longest].copy(), 120)
        after = [x[after_cuts[k]:after_cuts[k + 1]].copy() for k in range(len(after_cuts) - 1)]
        n = SEGMENTS[name]
        tail = {'B': 1, 'D': 1, 'DV': 3, 'G': 0}[name]
        bar = level(steady(bar, 4 if name == 'G' else n - 1 - tail, keep=0.8))
        top = max(np.max(np.abs(p)) for p in bar)
        bar = [p * (VOICE_BAR * np.max(np.abs(rel)) / top) for p in bar]
        bar[0] = fade_in(bar[0], len(bar[0]))
        if name == 'G':
            return [np.concatenate(bar + [rel] + after[:1])]
        return bar + [rel] + after[:tail]


def build_all(outdir, plotdir=None, only=None):
    es = Espeak()
    try:
        b = Builder(es)
        os.makedirs(outdir, exist_ok=True)
        for name in SEGMENTS:
            if only and name not in only:
                continue
            built = b.build(name)
            segs, source = built[0], built[1]
            ref = built[2] if len(built) > 2 else None
            assert len(segs) == SEGMENTS[name], (name, len(segs))
            samples = pack(segs, unit_peak(name), unit_limit(name), ref)
            blob = wav_bytes(name, samples, es.version.replace("eSpeak NG text-to-speech: ", "espeak-ng ") + " cs, voicegen")
            got = engine_segments(blob)
            if got != SEGMENTS[name]:
                sys.exit('voicegen: %s has %d segments, wants %d' % (name, got, SEGMENTS[name]))
            if len(samples) > MAX_SAMPLES:
                sys.exit('voicegen: %s is %d samples long' % (name, len(samples)))
            with open(os.path.join(outdir, name + '.wav'), 'wb') as f:
                f.write(blob)
            print('%-3s %2d segments %5d samples peak %5d  %s' % (
                name, got, len(samples), int(np.max(np.abs(samples))), source))
            if plotdir:
                plot_unit(plotdir, name, samples)
    finally:
        es.close()


def plot_unit(plotdir, name, samples):
    import matplotlib
    matplotlib.use('Agg')
    import matplotlib.pyplot as plt
    os.makedirs(plotdir, exist_ok=True)
    s = samples.astype(np.float64)
    fig, ax = plt.subplots(2, 1, figsize=(16, 6))
    ax[0].plot(s, lw=0.4)
    w = len(s) - TAIL_ZEROS + 1
    for i in range(1, w - 15):
        if s[i] == 0 and s[i + 1] == 1 and np.array_equal(samples[i:i + 10], MARK):
            ax[0].axvline(i, color='r', lw=0.5)
    ax[0].set_title(name)
    ax[1].specgram(s + 1e-3, NFFT=256, Fs=RATE, noverlap=224)
    fig.tight_layout()
    fig.savefig(os.path.join(plotdir, name + '.png'), dpi=55)
    plt.close(fig)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('outdir')
    ap.add_argument('--plot', metavar='DIR', help='also draw each unit into DIR')
    ap.add_argument('--only', nargs='*', help='build only these units')
    args = ap.parse_args()
    build_all(args.outdir, args.plot, args.only)


if __name__ == '__main__':
    main()
