#!/usr/bin/env python3
# The Windows tavleplanner under Wine, driven by real input (xdotool) on the test desktop of
# tests/gui-session, printing through the Windows spooler, which Wine hands to this machine's
# CUPS test queue tavle-pdf (.ci/cups-setup keeps every job). No accessibility bus reaches
# Wine's windows: the program writes what its windows show into a file (TAVLE_SCREEN_FILE), and
# the places to click are read there. Wine's own file dialog is driven by the keyboard.
#   windowsjourney.py WINE-RUN TAVLEPLANNER.EXE TAVLEPRINT.EXE EXPORT.csv SHOT-FOLDER
# One journey: the program starts, an export is loaded, two teachers are printed and compared
# with the Windows tavleprint's sheets, "Printerjustering" and the guide are opened, a third
# teacher is previewed, then printed and stopped with "Afbryd".
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import journeylib as j  # noqa: E402

wine_run, program, tavleprint, export, shots = sys.argv[1:6]
NAME = 'windows'
QUEUE = 'tavle-pdf'
TOLERANCE_MM = 0.2
DPI = 300
# The Windows programs see the CUPS queues as printers; the desktop program shows its windows
# on the display.
ENV = dict(os.environ, TAVLE_WINE_PRINTERS='1')
DESKTOP = dict(ENV, TAVLE_WINE_DESKTOP='1')

if not os.environ.get('DISPLAY') or not shutil.which('xdotool'):
    print('%s skipped: no DISPLAY or no xdotool; run it under tests/gui-session' % NAME)
    sys.exit(j.SKIP)
if QUEUE not in subprocess.run(['lpstat', '-d'], capture_output=True, text=True).stdout:
    print('%s skipped: the CUPS test queue %s is not the default printer (.ci/cups-setup)'
          % (NAME, QUEUE))
    sys.exit(j.SKIP)

checks = j.Checks(NAME, shots)
work = tempfile.mkdtemp(prefix='tavle-windows-journey-')
screen_file = os.path.join(work, 'screen.jsonl')


def windows_path(path):
    return 'Z:' + path.replace('/', '\\')


# What the program's windows show -----------------------------------------------------------

def screen():
    """The top-level windows, each a list of its accessible objects (the window first)."""
    try:
        with open(screen_file, encoding='utf-8') as f:
            nodes = [json.loads(line) for line in f if line.strip()]
    except (FileNotFoundError, ValueError):
        return []
    shown = []
    for node in nodes:
        if node['depth'] == 0:
            shown.append([])
        if shown:
            shown[-1].append(node)
    return shown


def titled(node, title):
    """Whether a window's name is `title`, or `title` and what it shows ("Udskriftsvisning : AB")."""
    return node['name'] == title or node['name'].startswith(title + ' :')


def window(title, timeout=20):
    """The objects of the window titled `title`, once it shows."""
    return j.wait_for(lambda: next((w for w in screen() if titled(w[0], title)), None), timeout)


def find(title, role, name, timeout=20):
    """The object of `role` named `name` in the window `title`, once it shows."""
    def found():
        for w in screen():
            if titled(w[0], title):
                for node in w:
                    if node['role'] == role and node['name'] == name:
                        return node
        return None
    return j.wait_for(found, timeout)


def click(node, modifier=None):
    j.click_at(node['x'] + node['width'] // 2, node['y'] + node['height'] // 2, modifier)


def x_windows():
    """The program's windows the X server shows, by id: Wine's own dialogs are among them."""
    found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--class', 'tavleplanner'],
                           capture_output=True, text=True).stdout
    return set(found.split())


def x_area(window_id):
    found = subprocess.run(['xdotool', 'getwindowgeometry', window_id], capture_output=True,
                           text=True).stdout
    size = re.search(r'Geometry: (\d+)x(\d+)', found)
    return int(size.group(1)) * int(size.group(2)) if size else 0


def messages():
    node = find(MAIN, 'EditableText', 'Meddelelser', timeout=5)
    return node['text'] if node else ''


def press_until(title, role, name, opens, attempts=3):
    """Clicks the button until `opens` (the first click may only activate the window)."""
    for _ in range(attempts):
        button = find(title, role, name, timeout=10)
        if not checks.true('"%s" in %s' % (name, title), button is not None):
            return None
        click(button)
        shown = j.wait_for(opens, 5)
        if shown:
            return shown
    return None


# Print jobs ---------------------------------------------------------------------------------

def jobs():
    return j.kept_jobs(QUEUE)


title_of = j.title_of


def own_jobs(before, titles, count, timeout=180, settle=8):
    """The jobs kept since `before` titled one of `titles` (names; the queue may carry other
    programs' jobs, never with these titles)."""
    return j.new_jobs(QUEUE, before, lambda p: title_of(p) in titles, count, timeout, settle)


def page_count(pdf):
    info = subprocess.run(['pdfinfo', pdf], capture_output=True, text=True).stdout
    pages = re.search(r'^Pages:\s+(\d+)', info, re.M)
    size = re.search(r'^Page size:\s+([\d.]+) x ([\d.]+)', info, re.M)
    return (int(pages.group(1)) if pages else 0,
            (round(float(size.group(1))), round(float(size.group(2)))) if size else None)


def ink_box(pdf):
    """The box of everything printed on page 1 in millimetres (left, top, right, bottom)."""
    png = os.path.join(work, 'ink')
    subprocess.run(['pdftoppm', '-r', str(DPI), '-gray', '-f', '1', '-l', '1', '-singlefile',
                    pdf, png], check=True)
    trim = subprocess.run(['convert', png + '.pgm', '-threshold', '50%', '-format', '%@',
                           'info:'], capture_output=True, text=True, check=True).stdout
    w, h, x, y = (int(v) for v in re.match(r'(\d+)x(\d+)\+(\d+)\+(\d+)', trim).groups())
    mm = 25.4 / DPI
    return x * mm, y * mm, (x + w) * mm, (y + h) * mm


def tavleprint_sheets(name, source):
    out = os.path.join(work, name + '.pdf')
    subprocess.run([wine_run, tavleprint, 'sheets', '--teachers', windows_path(source), name,
                    '--pdf', windows_path(out)], env=ENV, check=True, capture_output=True)
    return out


def same_as_tavleprint(job, name, source):
    made = tavleprint_sheets(name, source)
    checks.check('job of %s: pages and paper (A4 in points)' % name, page_count(job),
                 page_count(made))
    printed, expected = ink_box(job), ink_box(made)
    off = max(abs(a - b) for a, b in zip(printed, expected))
    print('%s: the job of %s stands within %.3f mm of tavleprint\'s sheets' % (NAME, name, off))
    checks.true('job of %s: printed %s, tavleprint %s: %.3f mm apart'
                % (name, printed, expected, off), off <= TOLERANCE_MM)


def journey_export():
    """Three teachers: BB and CC with five lessons, AB with enough for 200 sheets."""
    with open(export, 'rb') as f:
        header = f.read().split(b'\n', 1)[0]
    lines = [header]
    for i in range(4000):
        lines.append(('%d;Ma;Ma %d;fag%d;%da;AB;A%d;' % (i + 1, i % 8 + 1, i % 11, i % 9, i % 5))
                     .encode('cp1252') + b'\r')
    for teacher in ('BB', 'CC'):
        lines += [('%d;Ti;Ti %d;fag%d;7b;%s;Lokale Æ%d;' % (i + 1, i + 1, i, teacher, i))
                  .encode('cp1252') + b'\r' for i in range(5)]
    # A plain file name: typed into Wine's dialog, letters outside the keyboard's map may
    # arrive as others (file names with æ, ø and å are tried by the unit tests).
    path = os.path.join(work, 'skema.csv')
    with open(path, 'wb') as f:
        f.write(b'\n'.join(lines) + b'\n')
    return path


MAIN = None


def main():
    global MAIN
    source = journey_export()
    # A board and settings of its own: what earlier runs of the journey kept is forgotten.
    for board in glob.glob(os.path.join(os.path.dirname(wine_run), 'wineprefix-printers-desktop',
                                        'drive_c/users/*/AppData/*/Tavleplanner')):
        shutil.rmtree(board, ignore_errors=True)
    # The Windows of the printers made before the clock runs: its first start takes a while.
    subprocess.run([wine_run, 'cmd', '/c', 'exit'], env=DESKTOP, capture_output=True)
    started = time.time()
    process = subprocess.Popen([wine_run, program],
                               env=dict(DESKTOP, TAVLE_SCREEN_FILE=windows_path(screen_file)))
    try:
        shown = j.wait_for(lambda: next((w[0]['name'] for w in screen()
                                         if w[0]['name'].startswith('Tavleplanner v.')), None),
                           60, step=0.05)
        startup = time.time() - started
        if not checks.true('the main window shows', shown):
            return
        MAIN = shown
        # A figure to read, not a check: this machine is shared (the description is written
        # every 0.2 s, so the figure is up to 0.2 s late).
        print('%s: the main window showed %.2f s after the start' % (NAME, startup))
        time.sleep(1)
        checks.shot('windows1-started.png')

        # The export chosen in Wine's open dialog: the file name typed, Enter.
        told = len(messages())
        shown_before = x_windows()
        click(find(MAIN, 'Button', 'Vælg kildefil'))
        dialog = j.wait_for(lambda: x_windows() - shown_before, 15)
        checks.true('Wine\'s open dialog shows', dialog)
        time.sleep(1)
        if dialog:
            # The window manager may leave the keyboard with the main window. The dialog is
            # the largest new window (Qt may show a small one of its own behind it).
            subprocess.run(['xdotool', 'windowactivate', '--sync',
                            max(x_windows() - shown_before, key=x_area, default=dialog.pop())],
                           capture_output=True, timeout=10)
        time.sleep(1)
        checks.shot('windows2-open-dialog.png')
        # Alt+F goes to the field "Filnavn", which may hold the file chosen last: it is
        # replaced.
        j.key('alt+f', 'End', 'shift+Home', pause=0.3)
        j.type_text(windows_path(source))
        j.key('Return', pause=2)
        teachers = find(MAIN, 'Button', 'Vælg lærere')
        checks.true('the export loaded: %r' % messages()[told:], j.wait_for(
            lambda: 'Læst: 4010 lektioner, 3 lærere, 10 klasser.' in messages()[told:], 30))
        checks.true('"Vælg lærere" enabled', j.wait_for(
            lambda: find(MAIN, 'Button', 'Vælg lærere')['enabled'], 10))
        checks.shot('windows3-loaded.png')

        # Two teachers printed: one job each on the default printer, titled the name.
        select = press_until(MAIN, 'Button', 'Vælg lærere',
                             lambda: window('Vælg til udskrift', timeout=0))
        if not checks.true('the selection window opens', select):
            return
        items = {n['name']: n for n in select if n['role'] == 'ListItem'}
        checks.check('the teachers listed', sorted(items), ['AB', 'BB', 'CC'])
        click(items['BB'])
        click(items['CC'], 'ctrl')
        checks.shot('windows4-selected.png')
        before = jobs()
        told = len(messages())
        click(find('Vælg til udskrift', 'Button', 'Udskriv'))
        printed = own_jobs(before, ('BB', 'CC'), 2)
        checks.check('the jobs printed', [title_of(p) for p in printed], ['BB', 'CC'])
        for job, name in zip(printed, ('BB', 'CC')):
            same_as_tavleprint(job, name, source)
        said = messages()[told:]
        for name in ('BB', 'CC'):
            checks.true('the message area names the printer of %s: %r' % (name, said),
                        'Brikkerne for %s er sendt til printeren %s.' % (name, QUEUE) in said)

        # "Printerjustering" for the Windows printer the sheets went to, with the margins as a
        # Dane writes them; Esc closes it.
        juster = press_until('Vælg til udskrift', 'Button', 'Juster printer',
                             lambda: window('Printerjustering', timeout=0))
        if checks.true('"Printerjustering" opens', juster):
            fields = {n['name']: n['text'] for n in juster if n['role'] in ('ComboBox', 'SpinBox')}
            checks.check('"Printerjustering" shows', fields,
                         {'Printer': QUEUE, 'Topmargen': '8,5', 'Venstre margen': '12,0',
                          'Bundmargen': '9,0', 'Højre margen': '20,0'})
            checks.shot('windows5-printerjustering.png')
            j.key('Escape', pause=1)
        # F1 shows the guide, Esc closes it.
        click(items['AB'])
        j.key('F1', pause=2)
        guide = window('Tavleplanner – vejledning', timeout=10)
        if checks.true('F1 shows the guide', guide):
            click(guide[0])
            j.key('Escape', pause=1)
            checks.true('Esc closes the guide', j.wait_for(
                lambda: window('Tavleplanner – vejledning', timeout=0) is None, 10))

        # The third previewed: the preview window with its pages, Esc closes it.
        preview = press_until('Vælg til udskrift', 'Button', 'Vis udskrift',
                              lambda: window('Udskriftsvisning', timeout=0))
        checks.true('the preview opens', preview)
        time.sleep(3)
        checks.shot('windows6-preview.png')
        j.key('Escape', pause=2)
        checks.true('Esc closes the preview',
                    j.wait_for(lambda: window('Udskriftsvisning', timeout=0) is None, 10))

        # The third printed and stopped with "Afbryd": its sheets so far are one job.
        before = jobs()
        told = len(messages())
        click(find('Vælg til udskrift', 'Button', 'Udskriv'))
        progress = window('Udskriver', timeout=60)
        afbryd = next((n for n in progress or [] if n['role'] == 'Button'
                       and n['name'] == 'Afbryd'), None)
        if checks.true('the progress window with "Afbryd"', afbryd):
            click(afbryd)
        stopped = own_jobs(before, ('AB',), 1, timeout=120, settle=10)
        checks.shot('windows7-stopped.png')
        said = messages()[told:]
        if checks.check('jobs of the stopped print', len(stopped), 1):
            sheets = page_count(stopped[0])[0]
            checks.true('the print stopped at "Afbryd": %d of 200 sheets' % sheets,
                        0 < sheets < 200)
            told_stop = 'Udskriften af brikkerne for AB blev afbrudt efter %d ark.' % sheets
            checks.true('the message area says %r: %r' % (told_stop, said), j.wait_for(
                lambda: told_stop in messages()[told:], 10))
        checks.true('nothing claims to have been sent: %r' % said, 'er sendt' not in said)
        click(find('Vælg til udskrift', 'Button', 'Luk'))
        click(find(MAIN, 'Button', 'Luk'))
        checks.true('"Luk" ends the program', j.wait_for(lambda: process.poll() is not None, 20))
    finally:
        if process.poll() is None:
            process.kill()
        shutil.rmtree(work, ignore_errors=True)


main()
checks.finish()
