#!/usr/bin/python3
"""Writes the door check's short sounds (resources/ingressi/*.wav): 16-bit mono 22050 Hz,
each a pattern of tones of its own so a volunteer tells them apart without looking."""
import math
import os
import struct
import wave

FREQ = 22050
cartella = os.path.join(os.path.dirname(__file__), '..', 'resources', 'ingressi')

# (frequency Hz or 0 for a pause, seconds, square wave) per piece.
SUONI = {
    'valida': [(880, 0.09, False), (0, 0.02, False), (1320, 0.14, False)],
    'scaduta': [(520, 0.35, False)],
    'annullata': [(392, 0.12, False), (0, 0.06, False), (392, 0.12, False)],
    'sconosciuta': [(660, 0.12, False), (440, 0.2, False)],
    'contraffatta': [(196, 0.45, True)],
}

for nome, pezzi in SUONI.items():
    campioni = []
    for f, durata, quadra in pezzi:
        n = int(FREQ * durata)
        for i in range(n):
            # 5 ms fades at both ends of each tone, so no click.
            inviluppo = min(1.0, i / (0.005 * FREQ), (n - i) / (0.005 * FREQ))
            s = math.sin(2 * math.pi * f * i / FREQ) if f else 0.0
            if quadra:
                s = 0.6 if s >= 0 else -0.6
            campioni.append(int(12000 * inviluppo * s))
    with wave.open(os.path.join(cartella, nome + '.wav'), 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(FREQ)
        w.writeframes(b''.join(struct.pack('<h', c) for c in campioni))
