#!/usr/bin/env python3
"""Writes the expected mirrowen-sim dumps from a second, separate model of the
star field: Python floats are doubles, and f32() is the one rounding at each
store. Run it from this folder; the C++ build is not involved.

    python3 make_dumps.py    # writes cases.txt and one NAME.dump per case
"""
import struct
import sys

def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]

def bits(x):
    return '%08x' % struct.unpack('<I', struct.pack('<f', x))[0]

DEFAULTS = dict(BounceBottom=1, BounceTop=0, BounceSides=0, StarCount=300, StarVel=4, StarSize=7,
                DecayRate=4, PulsateRate=4, Shape=7, Colours=0, Gravity=1, Origins=1, OriginSpeed=1,
                Corona=70, LensFlare=0, ScrWidth=640, ScrHeight=480, Preset=1)

C30 = f32(1 / 30.0)
UNBORN = f32(-9999.0)

class Rand:
    def __init__(self):
        self.state = 1
    def seed(self, s):
        self.state = s & 0xFFFFFFFF
    def __call__(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0x7FFF

SCHEMES = {
    1: [(1, 0.2, 0), (1, 0.7, 0.3), (1, 1, 0.7)],
    3: [(1, 0, 0), (0, 1, 0), (0, 0, 1)],
    4: [(1, 1, 1), (1, 0.2, 0.5), (1, 0, 1)],
    5: [(1, 0.3, 0.1), (0.7, 0.2, 0), (0.4, 0.1, 0)],
}

class Field:
    def __init__(self, s, seed):
        self.s = s
        self.rand = Rand()
        self.corona = 0.0
        w, h = s['ScrWidth'], s['ScrHeight']
        self.ox = [f32(w * 0.5)] * 4
        self.oy = [f32(h * 0.5)] * 4
        fx = [0.125, f32(-0.11111111), f32(0.1), f32(-0.09090909)]
        fy = [0.125, f32(0.11111111), f32(-0.1), f32(-0.09090909)]
        self.ovx = [f32(w * fx[i]) for i in range(4)]
        self.ovy = [f32(h * fy[i]) for i in range(4)]
        self.seed_stars(seed)

    def seed_stars(self, seed):
        s, r = self.s, self.rand
        r.seed(seed)
        self.count = s['StarCount']
        self.stars = []
        k = f32(0.001)
        for _ in range(self.count):
            st = {}
            st['X'] = float(r() % s['ScrWidth'])
            st['Y'] = UNBORN
            c = s['Colours']
            if c in SCHEMES:
                rgb = [f32(v) for v in SCHEMES[c][r() % 3]]
            elif c == 2:
                v = f32((r() % 256) * 0.00390625)
                rgb = [v, v, v]
            else:
                rgb = [f32((r() % 256) * 0.00390625) for _ in range(3)]
            st['Red'], st['Green'], st['Blue'] = rgb
            st['VelX'] = float(r() % 10 - 4)
            st['VelY'] = float(r() % 10 - 5)
            st['Angle'] = float(r() % 360)
            spin = 0
            while spin == 0:
                spin = r() % 10 - 5
            st['Spin'] = float(spin)
            st['Size'] = f32((r() % 1000) * k)
            d = f32(s['DecayRate'] * f32(-0.001))
            st['Decay'] = f32(d + ((r() % 1000) * k - 0.5) * k)
            st['Pulse'] = 1.0
            p = s['PulsateRate']
            if p == 0:
                st['PulseRate'] = 0.0
            else:
                n = r() % 1000 + 200
                st['PulseRate'] = f32(n / float(p * 4000 - 84000))
            self.stars.append(st)

    def move_origins(self, steps):
        for _ in range(max(steps, 0)):
            for i in range(4):
                x = f32(self.ox[i] + self.ovx[i] * C30)
                y = f32(self.oy[i] + self.ovy[i] * C30)
                pull = f32(0.3)
                vx = f32(self.ovx[i] - pull) if x > 320 else f32(self.ovx[i] + pull)
                vy = f32(self.ovy[i] - pull) if y > 240 else f32(self.ovy[i] + pull)
                if not (x >= 50): x, vx = 50.0, 0.0
                if x > 590: x, vx = 590.0, 0.0
                if not (y >= 30): y, vy = 30.0, 0.0
                if y > 450: y, vy = 450.0, 0.0
                self.ox[i], self.oy[i], self.ovx[i], self.ovy[i] = x, y, vx, vy

    def update_stars(self):
        s, r = self.s, self.rand
        origins = s['Origins']
        nxt = r() % origins
        sv = s['StarVel']
        for st in self.stars[:self.count]:
            st['Size'] = f32(st['Size'] + st['Decay'])
            st['Pulse'] = f32(st['Pulse'] + st['PulseRate'])
            if st['Pulse'] < 0:
                st['Pulse'] = 0.0
                st['PulseRate'] = -st['PulseRate']
            if st['Pulse'] > 1:
                st['Pulse'] = 1.0
                st['PulseRate'] = -st['PulseRate']
            if bits(st['Y']) != bits(UNBORN):
                st['Angle'] = f32(st['Angle'] + st['Spin'])
                st['X'] = f32(st['X'] + st['VelX'])
                st['Y'] = f32(st['Y'] + st['VelY'])
                st['VelY'] = f32(st['VelY'] - s['Gravity'] * f32(0.0125))
                if s['BounceBottom'] and not (st['Y'] + st['Size'] > 0):
                    st['VelY'] = f32(-(st['VelY'] * 0.5))
                    st['Y'] = 0.0
                if s['BounceTop'] and st['Y'] >= 480:
                    st['VelY'] = f32(-(st['VelY'] * 0.5))
                    st['Y'] = 480.0
                if s['BounceSides']:
                    if st['X'] + st['Size'] >= 640:
                        st['VelX'] = f32(-(st['VelX'] * 0.5))
                        st['X'] = f32(640 - st['Size'])
                    if not (st['X'] > 0):
                        st['VelX'] = f32(-(st['VelX'] * 0.5))
                        st['X'] = 0.0
            if not (st['X'] >= 0) or st['X'] > 640 or not (st['Size'] > 0):
                st['X'], st['Y'] = self.ox[nxt], self.oy[nxt]
                nxt = 0 if nxt + 1 > origins - 1 else nxt + 1
                if sv < 1:
                    st['VelX'] = st['VelY'] = 0.0
                else:
                    st['VelX'] = f32((r() % (8 * sv) - 4 * sv) * C30)
                    st['VelY'] = f32((r() % (8 * sv) - 4 * sv) * C30)
                st['Size'] = 1.0
                st['Pulse'] = 1.0

    def frame(self):
        self.move_origins(self.s['OriginSpeed'])
        self.update_stars()
        self.corona = f32(self.corona - f32(0.1))

    def dump(self):
        out = ['field %d %d %d' % (self.count, self.s['ScrWidth'], self.s['ScrHeight'])]
        for i in range(4):
            out.append('origin %d %s %s %s %s' % (i, bits(self.ox[i]), bits(self.oy[i]),
                                                   bits(self.ovx[i]), bits(self.ovy[i])))
        names = ['X', 'Y', 'VelX', 'VelY', 'Angle', 'Spin', 'Size', 'Decay', 'Pulse', 'PulseRate',
                 'Red', 'Green', 'Blue']
        for j, st in enumerate(self.stars[:self.count]):
            out.append('star %d %s' % (j, ' '.join(bits(st[n]) for n in names)))
        out.append('corona %s' % bits(self.corona))
        out.append('rand %08x' % self.rand.state)
        return '\n'.join(out) + '\n'

# name: (seed time, frames, stored saver values as mirrowen-sim --set takes
# them; "Gravity" is stored as the record's value + 5)
CASES = {
    'defaults': (1000000000, 3000, {}),
    'bounce_all_fire': (1234567890, 2500, dict(BounceTop=1, BounceSides=1, Colours=1, Gravity=2,
                                                Origins=3, OriginSpeed=4, StarVel=9, StarCount=400)),
    'wide_screen_greyscale': (42, 2000, dict(ScrWidth=1024, ScrHeight=768, Colours=2, DecayRate=20,
                                             PulsateRate=20, Origins=4, OriginSpeed=10, StarVel=30,
                                             BounceBottom=0, Gravity=10)),
    'still_stars_no_pulse': (7, 2000, dict(StarVel=0, Gravity=5, PulsateRate=0, DecayRate=1,
                                           Colours=5, Origins=2, OriginSpeed=7, ScrWidth=1280,
                                           ScrHeight=1024, StarCount=100)),
    'full_field_rising': (4000000000, 1500, dict(StarCount=2000, Colours=4, Gravity=0, BounceTop=1,
                                                 BounceSides=1, BounceBottom=0, ScrWidth=800,
                                                 ScrHeight=600, Origins=4, OriginSpeed=2, StarVel=15,
                                                 DecayRate=9, PulsateRate=11)),
}

def run(seed, frames, changes):
    s = dict(DEFAULTS)
    s.update(changes)
    if 'Gravity' in changes:
        s['Gravity'] = changes['Gravity'] - 5
    f = Field(s, seed)
    for _ in range(frames):
        f.frame()
    return f.dump()

if __name__ == '__main__':
    # cases.txt: one case a line, its name and then the tool's arguments.
    with open('cases.txt', 'w', newline='\n') as listing:
        for name, (seed, frames, changes) in CASES.items():
            with open(name + '.dump', 'w', newline='\n') as out:
                out.write(run(seed, frames, changes))
            args = ['--time', str(seed), '--frames', str(frames)]
            for kv in changes.items():
                args += ['--set', '%s=%d' % kv]
            listing.write(' '.join([name] + args) + '\n')
