#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Run from anywhere: python3 fuzz/make-corpus.py. The files are small and deterministic;
rerunning replaces them. The byte layouts are described at the top of each fuzzer's source.
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Game fuzzer opcodes.
PRESS, MOVE, MOVE_BY, MOVE_RAW, RELEASE, COMMAND, BUTTON, PAINT = range(8)
PRESS_AREA, MOVE_AREA, GESTURE, MOVE_OFF = 8, 9, 10, 11
# Indices into the fuzzer's command table.
CMD_SHUFFLE, CMD_HELP, CMD_CHANGE_SKIN, CMD_SIZE = 3, 4, 8, 9
BTN_SHUFFLE, BTN_NEWSKIN, BTN_MINUS, BTN_PLUS, BTN_OK = range(5)


def area(x, y):
    """Bytes that the fuzzer maps back to about (x, y) in the 240 x 270 drawing area."""
    return bytes([min(255, (x * 256 + 239) // 240), min(255, (y * 256 + 269) // 270)])


def s8(v):
    return struct.pack('<b', v)


def gesture(x, y, steps):
    out = bytes([GESTURE]) + area(x, y) + bytes([len(steps)])
    for dx, dy in steps:
        out += s8(dx) + s8(dy)
    return out


def game_corpus():
    files = {}
    directions = [(1, 0), (1, 1), (0, 1), (-1, 1), (-1, 0), (-1, -1), (0, -1), (1, -1)]
    # Layer drags on and around the pieces, in eight directions, short and long.
    points = [(120, 135), (100, 110), (140, 110), (95, 150), (145, 150), (120, 85), (120, 185), (80, 135),
              (160, 135)]
    for i, (x, y) in enumerate(points):
        dx, dy = directions[i % 8]
        files['layer-%d' % i] = gesture(x, y, [(5 * dx, 5 * dy)] * 6) + bytes([PAINT])
    # A turn and its way back; a turn released inside the dead zone; a full turn.
    files['turn-and-back'] = gesture(120, 100, [(6, 0)] * 10) + gesture(120, 100, [(-6, 0)] * 10)
    files['dead-zone'] = gesture(120, 120, [(1, 1), (1, 0)])
    files['full-turn'] = gesture(110, 100, [(20, 0)] * 14)
    # Whole-cube drags beside the pieces, with the stylus leaving the window.
    files['cube-corner'] = gesture(5, 5, [(6, 4)] * 12)
    files['cube-right'] = gesture(230, 135, [(0, -7)] * 12)
    files['cube-leaves-top-left'] = (gesture(10, 10, [(-8, -8)] * 6) + bytes([MOVE_OFF, 3, 4]) + bytes([RELEASE]))
    files['cube-wraps'] = (bytes([PRESS]) + struct.pack('<HH', 5, 5) + bytes([MOVE]) + struct.pack('<HH', 5, 5) +
                           bytes([MOVE]) + struct.pack('<HH', 65530, 65531) + bytes([MOVE]) +
                           struct.pack('<HH', 3, 2) + bytes([RELEASE]))
    # A layer drag that leaves the window while captured and comes back.
    files['layer-leaves'] = (bytes([PRESS_AREA]) + area(120, 100) + bytes([MOVE_AREA]) + area(120, 100) +
                             bytes([MOVE_BY]) + s8(10) + s8(0) + bytes([MOVE_OFF, 20, 0]) + bytes([MOVE_AREA]) +
                             area(130, 100) + bytes([RELEASE]))
    # Raw message values beyond sixteen bits and negative ones.
    files['raw-coordinates'] = (bytes([PRESS_AREA]) + area(120, 135) + bytes([MOVE_RAW]) +
                                struct.pack('<ii', 120 + 65536 * 3, 135 - 65536 * 7) + bytes([MOVE_RAW]) +
                                struct.pack('<ii', -5, -9) + bytes([MOVE_RAW]) + struct.pack('<ii', 2**31 - 1, -2**31) +
                                bytes([RELEASE]))
    # Commands and buttons, alone and in the middle of drags.
    files['commands'] = bytes([COMMAND, CMD_SHUFFLE, COMMAND, CMD_CHANGE_SKIN, COMMAND, CMD_SIZE, COMMAND, CMD_HELP,
                               COMMAND, 255]) + struct.pack('<i', 12345) + bytes([PAINT])
    files['buttons'] = bytes([BUTTON, BTN_SHUFFLE, BUTTON, BTN_NEWSKIN, BUTTON, BTN_MINUS, BUTTON, BTN_MINUS, BUTTON,
                              BTN_MINUS, BUTTON, BTN_PLUS, BUTTON, BTN_PLUS, BUTTON, BTN_PLUS, BUTTON, BTN_PLUS,
                              BUTTON, BTN_OK, PAINT])
    files['shuffle-mid-drag'] = (bytes([PRESS_AREA]) + area(120, 100) + bytes([MOVE_AREA]) + area(120, 100) +
                                 bytes([MOVE_BY]) + s8(15) + s8(0) + bytes([COMMAND, CMD_SHUFFLE]) +
                                 bytes([MOVE_BY]) + s8(15) + s8(0) + bytes([RELEASE, PAINT]))
    files['size-mid-drag'] = (bytes([PRESS_AREA]) + area(110, 120) + bytes([MOVE_AREA]) + area(110, 120) +
                              bytes([MOVE_BY]) + s8(0) + s8(12) + bytes([BUTTON, BTN_MINUS, MOVE_BY]) + s8(0) +
                              s8(12) + bytes([RELEASE]))
    files['shuffle-then-turns'] = (bytes([COMMAND, CMD_SHUFFLE]) + gesture(120, 100, [(8, 0)] * 8) +
                                   gesture(100, 150, [(0, 8)] * 8) + gesture(140, 150, [(-8, -4)] * 8))
    # Two presses without a release, a release without a press, moves while nothing is held.
    files['double-press'] = (bytes([PRESS_AREA]) + area(120, 100) + bytes([MOVE_AREA]) + area(120, 100) +
                             bytes([MOVE_BY]) + s8(20) + s8(0) + bytes([PRESS_AREA]) + area(5, 5) +
                             bytes([MOVE_AREA]) + area(5, 5) + bytes([MOVE_BY]) + s8(10) + s8(10) + bytes([RELEASE]))
    files['stray-events'] = bytes([RELEASE, MOVE_BY, 5, 5, MOVE_AREA]) + area(120, 120) + bytes([RELEASE, RELEASE])
    files['tap'] = bytes([PRESS_AREA]) + area(120, 120) + bytes([RELEASE, PAINT])
    # Many turns in a row, as a long game.
    long_game = b''
    for i in range(24):
        x, y = points[i % len(points)]
        dx, dy = directions[(i * 3) % 8]
        long_game += gesture(x, y, [(7 * dx, 7 * dy)] * (4 + i % 5))
        if i % 6 == 5:
            long_game += bytes([PAINT])
    files['long-game'] = long_game
    return files


def replay_corpus():
    files = {
        'turn': 'down 127 79\nmove 127 79\nmove 140 82\nmove 150 84\nup\n',
        'seeded-shuffle': 'seed 7\ncommand shuffle\ndown 120 100\nmove 120 100\nmove 130 100\nup\n',
        'cube': '# whole puzzle\ndown 5 5\nmove 5 5\nmove 15 10\nmove 25 20\nup\n',
        'off-window': 'down 10 10\nmove 10 10\nmove 65535 65530\nmove 3 3\nup\n',
        'buttons': 'button minus\nbutton minus\nbutton minus\nbutton plus\nbutton ok\nbutton shuffle\n'
                   'button newskin\n',
        'commands': 'command size\ncommand help\ncommand about\ncommand quit-no\ncommand change-skin\n',
        'comments': '   # only a comment\n\n\tdown 1 2   # trailing\nup\n',
        'crlf': 'seed 3\r\ndown 120 120\r\nmove 120 120\r\nmove 125 130\r\nup\r\n',
        'bom': '\ufeffseed 3\r\ncommand shuffle\n',
        'limits': 'seed 4294967295\ndown 0 0\nmove 65535 65535\nup\n',
        'empty': '',
        # Rejected scripts, one reason each.
        'bad-seed-late': 'down 1 1\nseed 5\n',
        'bad-seed-range': 'seed 4294967296\n',
        'bad-negative': 'down -1 5\n',
        'bad-range': 'move 65536 0\n',
        'bad-arity': 'down 1\n',
        'bad-up': 'up now\n',
        'bad-command': 'command fly\n',
        'bad-button': 'button red\n',
        'bad-word': 'jump 1 2\n',
        'bad-number': 'down 1x 2\n',
        'bad-long-number': 'down 000000000000000000001 2\n',
        'bad-plus': 'down +1 2\n',
        'bad-late-line': 'down 1 2\nmove 3 4\nup\n\n\nbutton\n',
        'bad-escape': 'up\n\x1b[31mred\x9b\n',
        'bad-long-line': 'up\n' + 'move 1 2 ' * 456 + '\n',
    }
    return {name: text.encode() for name, text in files.items()}


def chunk(text):
    data = text if isinstance(text, bytes) else text.encode('latin-1')
    return struct.pack('<H', len(data)) + data


def launcher_corpus():
    cases = [
        ('"C:\\dir\\Ostrover.exe" ', '', 'C:\\Program Files\\CEAPPMGR.EXE', 0x01),
        ('"C:\\dir\\Ostrover.exe"', '', 'C:\\CEAPPMGR.EXE\0junk', 0x00),
        ('C:\\dir\\Ostrover.exe /x', 'C:\\dir\\Ostrover.exe', 'CEAPPMGR', 0x04),
        ('Ostrover', '', 'ceappmgr', 0x08),
        ('', 'C:\\games\\Ostrover.exe', 'C:/tools/appmgr', 0x10),
        ('', '', '', 0xFF),
        ('   \t  ', '', 'x:y', 0x02),
        ('"C:\\Program Files\\Ostrover.exe', '', 'D:\\a.b\\mgr', 0x01),
        ('"" rest', 'Ostrover', 'mgr.exe', 0x01),
        ('C:\\dir.with.dots\\launcher', '', '\0', 0x01),
        ('\\\\server\\share\\O.exe', '', 'C:\\' + 'x' * 300 + '.exe', 0x01),
        ('C:\\' + 'd' * 200 + '\\' + 'n' * 100 + '.exe', '', 'C:\\' + 'p' * 200, 0x1F),
        ('C:\\dir\\Ostrover.exe', '', 'C:\\dir\\mgr', 0x00),
        ('"C:\\dir\\My Launcher.exe" ', '', 'mgr.com', 0x01),
        ('a:b', 'c:', 'e:', 0x03),
        ('.exe', '.', '.', 0x01),
        ('C:\\dir\\', 'C:\\dir\\', 'C:\\dir\\', 0x01),
        ('"\t"', '', '\xff\xfe', 0x01),
        # No command line given, so the path unquoted; a path quoted up to the middle.
        ('C:\\Program Files\\Vendor\\Ostrover.exe', 'C:\\Program Files\\Vendor\\Ostrover.exe', 'CEAPPMGR', 0x02),
        ('"C:\\Program Files"\\Ostrover.exe', '', 'C:\\Program Files\\CEAPPMGR.EXE', 0x01),
        ('C:\\"Program Files"\\Vendor\\"Ostrover Setup.exe" /x', 'C:\\dir\\.exe', 'mgr', 0x01),
    ]
    files = {}
    for i, (command_line, module, registry, exists) in enumerate(cases):
        files['case-%02d' % i] = chunk(command_line) + chunk(module) + chunk(registry) + bytes([exists])
    return files


def link_corpus():
    """Links that vexal-replay --link printed, and a few broken ones."""
    links = [
        '1AQEAAAAAAHDBAABwQQAAIEE.',
        '1A43UsjMAAHDBAABwQQAAIEElRuDlfL2UL2Fu.',
        '1B43UsjMAAHDBAABwQQAAIEElRuDlfL2UL2Fu.UrF2',
        '1BhH1vsAAAHDBAABwQQAAIEEL2R2fBL2fuF2ulFL2u.L2',
        '1B0vELO0AAHDBAABwQQAAIEElRU2FluL2uL2uLf.',
        '1B9UdjR7l2XPBBl0IQQmRYsEL2R2FU2FLuFL2.U2',
        '1B43UsjMAAHDBAABwQQAAIEElRuDlfL2UL2Fu.' + 'R' * 1000,
        '2B43UsjMAAHDBAABwQQAAIEE.',
        '1B43UsjMAAHDB',
        '',
    ]
    return {'link-%02d' % i: text.encode() for i, text in enumerate(links)}


def write(target, files):
    folder = os.path.join(HERE, 'corpus', target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in sorted(files.items()):
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)
    print('%s: %d files' % (target, len(files)))


if __name__ == '__main__':
    write('game_fuzzer', game_corpus())
    write('replay_script_fuzzer', replay_corpus())
    write('link_fuzzer', link_corpus())
    write('launcher_paths_fuzzer', launcher_corpus())
