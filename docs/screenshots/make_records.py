# Record files for the screenshots: every level open, a few results in level 1's table, two stored names.
import struct
import sys

maps = sys.argv[1]
scores = [0] * 800
names = [b'\0' * 8] * 800
for level in range(22):
    scores[level * 8] = 1
for place, (score, name) in enumerate([(1840, b'ROBIN   '), (1625, b'ALEX    '), (1210, b'SAM     '),
                                       (990, b'KIM     '), (415, b'JO      ')]):
    scores[place] = score
    names[place] = name
open(f'{maps}/Data.bin', 'wb').write(b''.join(struct.pack('<I', s) for s in scores))
open(f'{maps}/Name.bin', 'wb').write(b''.join(names))
open(f'{maps}/Player.bin', 'wb').write(b'ROBIN   ')
open(f'{maps}/Duzozez.bin', 'wb').write(b'ROBIN   ' + b'ALEX' + b'\0' * 4 + b'\0' * 16)
