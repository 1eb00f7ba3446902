#!/usr/bin/python3
"""preview: strings units together roughly as the synthesizer does, to judge
them in context (joins, drops, repeats, levels).

Usage: preview.py UNITDIR OUT.wav word [word ...] [--png OUT.png]

Covers the front-end only as far as unit choice, durations, gains and
segment skipping go (no random jitter, no intonation, no echo); assembly
itself (segment cutting, re-pitch by the voice's pitch count, duration
fitting, gain without saturation) follows the synthesizer.
"""
import argparse
import wave

import numpy as np

MARK = [0, 1, 1, -1, -1, 1, 1, -1, -1, 0]
END = set(' !,.?~')
VOWELS = set('aeiouyáéíóúůý')
DURATION = {'a': 170, 'd': 170, 'e': 170, 'o': 170, 's': 170, 'š': 170, 'f': 110, 'h': 125,
            'v': 125, 'i': 150, 'j': 160, 'l': 100, 'm': 180, 'n': 350, 'r': 140, 'u': 130,
            'w': 85, 'z': 80, 'á': 360, 'é': 375, 'í': 290, 'ó': 290, 'ď': 70, 'ř': 100,
            'ů': 340, 'ú': 340}
HACEK = {'č': 'cv', 'ď': 'dv', 'ť': 'tv', 'š': 'sv', 'ž': 'zv', 'ň': 'nv', 'ř': 'rv'}
LONG = {'á': 'a', 'é': 'e', 'ě': 'e', 'í': 'i', 'ó': 'o', 'ú': 'u', 'ů': 'u', 'w': 'v'}
NO_STRETCH = set('cfrsvzčřšž')
SOFT_DROP = set('cjrsvzčřšž')


def load(unitdir, name):
    name = HACEK.get(name, name)
    try:
        with open('%s/%s.wav' % (unitdir, name.upper()), 'rb') as f:
            return f.read()
    except FileNotFoundError:
        return None


def resample(seg, c):
    """In-place re-pitch by count c (insert or remove every |c|-th sample)."""
    if -1 <= c <= 1:
        return seg
    s = list(seg)
    n = len(s)
    a = 0
    for i in range(n, 0, -1):
        if (n - i + 1) % abs(c):
            continue
        if c >= 2 and 2 < i < n - 1:
            s.insert(i - 1, int(round((s[i - 1] + s[i - 2]) / 2)))
            a += 1
        elif c <= -2:
            if 2 < i < n - 1:
                del s[i - 1]
                s[i - 1] = int(round((s[i - 1] + s[i - 2]) / 2))
            a -= 1
    return s[:n + a]


def entries(word):
    letters = list(word.lower())
    out = []
    for k, ch in enumerate(letters):
        prev = letters[k - 1] if k else ch
        nxt = letters[k + 1] if k + 1 < len(letters) else ' '
        unit = ch
        if ch == 'b' and nxt in 'sš':
            unit = 'p'
        elif ch == 'd' and nxt in 'dkt':
            unit = 't'
        elif ch == 'd' and nxt in 'iěí':
            unit = 'ď'
        elif ch == 'k' and k and nxt in END:
            unit = 'kk'
        elif ch == 'l' and (nxt in END or nxt in 'ikouíóůú'):
            unit = 'lu'
        elif ch == 'n' and nxt in 'iěí':
            unit = 'ň'
        elif ch == 'p' and nxt in END:
            unit = 'pk'
        elif ch == 't' and nxt in 'iěí':
            unit = 'ť'
        elif ch == 'v' and (nxt in END or nxt in '_ksš'):
            unit = 'f'
        elif ch == 'y':
            unit = 'i'
        elif ch == 'ý':
            unit = 'í'
        u = unit[0]
        dur = DURATION.get(u, 150)
        gain = {'a': 0.4 if prev in 'ds' else 0.55, 'á': 0.35 if prev in 'dsz' else 0.45,
                'b': 0.75, 'c': 0.3, 'č': 0.215, 'd': 1.0, 'ď': 0.77 if k else 0.55,
                'e': 0.65, 'é': 0.65, 'ě': 0.65, 'í': 0.4 if prev == 'ř' else 0.5 if prev in 'dhknt' else 0.55, 'f': 1.75, 'g': 0.5, 'h': 0.122,
                'i': 0.4 if prev == 'ř' else 0.5 if prev in 'dhknt' else 0.55,
                'j': 0.55, 'k': 0.25 if unit == 'kk' else 1.0,
                'l': 0.15 if nxt == 'u' else 0.14 if prev == 'i' else 0.2,
                'm': 0.35, 'n': 0.75, 'ň': 0.45, 'o': 0.45, 'ó': 0.45, 'p': 0.5, 'r': 0.4,
                'ř': 0.3, 's': 0.27, 'š': 0.35, 't': 0.7 if nxt in 'lř' else 0.65,
                'u': 0.5, 'ů': 0.35, 'ú': 0.35, 'v': 0.27, 'w': 0.3, 'z': 1.15,
                'ž': 0.5}.get(u, 1.0)
        if k == 0 and nxt not in END and ch not in 'joó':
            gain *= 1.25
        if nxt in END:
            gain *= 1.0 if u in 'lt' else 0.5 if u == 'u' else 0.8
        first = dropped = 0
        if u in 'aá' and prev in 'jnt':
            first = 5
        elif u == 'e' and prev == 'l':
            first = 5
        elif u == 'h' and nxt == 'i':
            first = 12
        elif u in 'ií' and prev in 'dl':
            first = 5
        elif u == 'l' and nxt in END:
            dropped = 7
        elif u == 'm':
            if prev not in ' !,.?u~' and nxt not in ' !,.?':
                first = 5
            if nxt in ' !,.?ouó~ůú':
                dropped = 16
            elif prev not in ' !,.?~':
                dropped = 5
        elif u == 'n':
            first = 10
            if nxt in ' !,.?ou~ů':
                dropped = 8
        elif u == 'o' and prev in 'cdkp':
            first = 3
        elif u in 'uůú' and prev in 'dkln':
            first = 6
        elif u == 'ď' and nxt not in END:
            dropped = 3
        pause = 0
        if k:
            pause = {'k': 100 if prev in 'dhnrst' else 70 if prev in 'ou' else 40,
                     'p': 70, 't': 50, 'ť': 50, 'c': 10, 'č': 10, 'd': 50 if prev == 'k' else 0,
                     'f': 20, 's': 20, 'z': 20, 'm': 40, 'n': 0 if prev in 'aeiáě' else 30,
                     'r': 0 if prev == 'o' else 50, 'ř': 50, 'v': 40 if prev in VOWELS else 20,
                     'l': 0, 'h': 40 if prev in 'aeáéě' else 0}.get(u, 0)
        out.append(dict(unit=LONG.get(unit, unit), u=u, dur=dur, gain=gain, first=first,
                        dropped=dropped, pause=pause))
    return out


def assemble(unitdir, e, pitch):
    out = [0] * (e['pause'] * 22)
    blob = load(unitdir, e['unit'])
    if blob is None:
        return out
    r = len(blob) - 46
    s = np.frombuffer(blob[46:46 + r - (r % 2)], dtype='<i2').astype(np.int64)
    g = e['gain'] * 50 / 15
    s = np.where(np.abs(s) > 1, np.rint(s * g).astype(np.int64), s)
    s = ((s + 32768) % 65536) - 32768
    r = r - (r % 2) - 120
    w = r // 2
    pcm = [0] + list(s[:w])
    starts, ends = [1], []
    for i in range(1, w - 15 + 1):
        if pcm[i:i + 10] == MARK:
            ends.append(i)
            starts.append(i + 10)
    ends.append(w)
    b = len(starts)
    m = b - e['dropped']
    segs = [resample(pcm[starts[k]:ends[k]], pitch) for k in range(m)]
    lens = [2 * len(x) for x in segs]
    R = 1
    n = e['unit']
    if n[0] != 'ď':
        T = sum(lens)
        D = e['dur'] * 22
        if D > T:
            if len(n) == 1 and n not in NO_STRETCH:
                R = max(1, (D // (T // b)) // (b - 8))
        else:
            x = (T - D) // (T // m)
            if len(n) == 1 and n in SOFT_DROP:
                x = int(round(x * 0.7))
            for p in range(5):
                j = 0 if p == 0 else 1
                for _ in range(m // 2 - 2):
                    j += 2
                    if x > 0 and j <= m and lens[j - 1] > 0:
                        lens[j - 1] = 0
                        x -= 1
                j = 0
                if x > 0:
                    for _ in range(m // 3):
                        j += 3
                        if x > 0 and j <= m and lens[j - 1] > 0:
                            lens[j - 1] = 0
                            x -= 1
                if x == 0:
                    break
    f = e['first'] if 0 < e['first'] <= m else 1
    for k in range(f, m + 1):
        if lens[k - 1] > 0:
            times = R if 4 <= k <= b - 4 - e['dropped'] else 1
            for _ in range(times):
                out.extend(segs[k - 1][:lens[k - 1] // 2])
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('unitdir')
    ap.add_argument('out')
    ap.add_argument('words', nargs='+')
    ap.add_argument('--pitch', type=int, default=-30)
    ap.add_argument('--png')
    a = ap.parse_args()
    pcm = []
    for word in a.words:
        for e in entries(word):
            pcm.extend(assemble(a.unitdir, e, a.pitch))
        pcm.extend([0] * 40 * 22)
    x = np.array(pcm, dtype=np.int64)
    x = ((x + 32768) % 65536) - 32768
    with wave.open(a.out, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(22050)
        w.writeframes(x.astype('<i2').tobytes())
    if a.png:
        import matplotlib
        matplotlib.use('Agg')
        import matplotlib.pyplot as plt
        fig, ax = plt.subplots(2, 1, figsize=(18, 7))
        ax[0].plot(x, lw=0.4)
        ax[0].set_title(' '.join(a.words))
        ax[1].specgram(x.astype(float) + 1e-3, NFFT=256, Fs=22050, noverlap=224, vmin=-20)
        fig.tight_layout()
        fig.savefig(a.png, dpi=55)


if __name__ == '__main__':
    main()
