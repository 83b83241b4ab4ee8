#!/usr/bin/env python3
# What a screen reader finds in the preview window, reached by real X input: tavleplanner is
# started, the bundled export chosen, the teachers listed, two names selected and previewed,
# and Page Down pressed, each by mouse or key through xdotool at the places the accessibility
# tree (AT-SPI) gives. Then the preview's buttons, tabs, thumbnail grid and status panels are
# read back. Run under tests/gui-session; skipped (77) without a display or the tools.
#   previewscreenreader.py TAVLEPLANNER EXPORT.csv SHOT-FOLDER
import os
import shutil
import subprocess
import sys
import time

SKIP = 77
if not os.environ.get('DISPLAY'):
    print('previewscreenreader skipped: no DISPLAY; run it under tests/gui-session')
    sys.exit(SKIP)
try:
    import pyatspi
except ImportError:
    print('previewscreenreader skipped: python3-pyatspi is not installed')
    sys.exit(SKIP)
if not shutil.which('xdotool'):
    print('previewscreenreader skipped: xdotool is not installed')
    sys.exit(SKIP)

program, export, shots = sys.argv[1:4]
os.makedirs(shots, exist_ok=True)
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append('%s: %r, expected %r' % (what, got, expected))


def tree(node, depth=0, out=None):
    out = [] if out is None else out
    try:
        out.append((depth, node))
        for child in node:
            if child is not None:
                tree(child, depth + 1, out)
    except Exception:  # a node that went away while it was read
        pass
    return out


def find(root, role, name, timeout=20, exact=False):
    end = time.time() + timeout
    while time.time() < end:
        for _, n in tree(root):
            try:
                shown = n.getState().contains(pyatspi.STATE_SHOWING)
                named = n.name == name if exact else name in (n.name or '')
                if n.getRoleName() == role and named and shown:
                    return n
            except Exception:
                pass
        time.sleep(0.3)
    return None


def need(node, what):
    if node is None:
        subprocess.run(['import', '-window', 'root', os.path.join(shots, 'screenreader-failed.png')])
        print('not found:', what)
        sys.exit(1)
    return node


def click(node, modifier=None):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    command = ['xdotool', 'mousemove', str(box.x + box.width // 2), str(box.y + box.height // 2)]
    command += ['keydown', modifier] if modifier else []
    command += ['click', '1']
    command += ['keyup', modifier] if modifier else []
    subprocess.run(command, check=True)
    time.sleep(0.5)


def key(name):
    subprocess.run(['xdotool', 'key', name], check=True)
    time.sleep(1)


process = subprocess.Popen([program])
try:
    app = None
    for _ in range(100):
        for a in pyatspi.Registry.getDesktop(0):
            if a is not None and (a.name or '').lower() == 'tavleplanner':
                app = a
        if app:
            break
        time.sleep(0.2)
    need(app, 'the application on the accessibility bus')
    click(need(find(app, 'push button', 'Vælg kildefil'), '"Vælg kildefil"'))
    # The open dialog speaks Danish where Qt's Danish texts are installed.
    dialog = find(app, 'dialog', 'Åbn', timeout=10) or find(app, 'dialog', 'Open', timeout=2)
    need(dialog, 'the open dialog')
    fields = [n for _, n in tree(dialog) if n.getRoleName() == 'text']
    click(fields[-1])
    subprocess.run(['xdotool', 'type', '--delay', '20', export], check=True)
    key('Return')
    time.sleep(2)
    teachers = need(find(app, 'push button', 'Vælg lærere'), '"Vælg lærere"')
    select = None
    for _ in range(3):  # the first click may only bring the main window forward again
        click(teachers)
        select = find(app, 'dialog', 'Vælg til udskrift', timeout=4)
        if select:
            break
    need(select, 'the selection window')
    names = [n for _, n in tree(need(find(select, 'list', ''), 'the name list'))
             if n.getRoleName() == 'list item']
    click(names[0])
    click(names[1], 'ctrl')
    click(need(find(select, 'push button', 'Vis udskrift'), '"Vis udskrift"'))
    preview = need(find(app, 'dialog', 'Udskriftsvisning'), 'the preview window')
    time.sleep(1)
    key('Next')
    subprocess.run(['import', '-window', 'root', os.path.join(shots, 'screenreader-preview.png')])

    for name, hint in [('Søg', 'Søg efter tekst'), ('Indstil', 'Printeropsætning'),
                       ('Udskriv', 'Udskriv'), ('Forrige side', 'Forrige side'),
                       ('Næste side', 'Næste side'), ('Op', ''), ('Ned', ''),
                       ('Hent', 'Indlæs udskriftsjob'), ('Gem', 'Gem udskriftsjob'),
                       ('Luk', 'Luk visning')]:
        button = find(preview, 'push button', name, timeout=2, exact=True)
        check('button ' + name, button is not None, True)
        if button is not None:
            check('hint of ' + name, button.description, hint)
    for tab in ('Eksempler', 'Søgeresultat'):
        check('tab ' + tab, find(preview, 'page tab', tab, timeout=2, exact=True) is not None, True)
    grid = find(preview, 'table', 'Eksempler', timeout=2, exact=True)
    check('thumbnail grid', grid is not None, True)
    if grid is not None:
        cells = [n.name for _, n in tree(grid) if n.getRoleName() == 'table cell']
        check('first thumbnails', cells[:2], ['Side 1', 'Side 2'])
    panels = {n.description: n.name for _, n in tree(preview)
              if n.getRoleName() == 'label' and n.description in
              ('Fremskridt', 'Sideinformation', 'Status')}
    pages = (panels.get('Sideinformation') or '').split(' ')[-1]
    check('page information after Page Down', panels.get('Sideinformation'),
          'Side 2 af %s' % pages)
    check('the status panels', sorted(panels), ['Fremskridt', 'Sideinformation', 'Status'])
    key('Escape')
    check('the second preview', find(app, 'dialog', 'Udskriftsvisning') is not None, True)
    key('Escape')
finally:
    process.terminate()
    process.wait(10)

for f in failures:
    print('FAILED', f)
print('previewscreenreader: %d checks failed' % len(failures))
sys.exit(1 if failures else 0)
