#!/usr/bin/env python3
# Journeys through the real tavleplanner program by real input: mouse clicks and typing through
# the X server (xdotool), at the places the accessibility tree gives, on a Danish desktop with a
# window manager (run under tests/gui-session). The file dialog is driven, not bypassed. Printed
# jobs are read back from the CUPS test queue tavle-pdf, which keeps every job
# (.ci/cups-setup), and compared with what tavleprint makes of the same names.
#   journeys.py JOURNEY TAVLEPLANNER TAVLEPRINT EXPORT.csv SHOT-FOLDER
# JOURNEY: teachers-printed | margins-and-cutting-lines | bad-files
import glob
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import journeylib as j  # noqa: E402

journey, program, tavleprint, export, shots = sys.argv[1:6]
j.require_desktop(journey)
checks = j.Checks(journey, shots)
queue = 'tavle-pdf'
spool = '/var/spool/tavle-print/' + queue
MM_PER_POINT = 25.4 / 72.0
TOLERANCE = 0.2  # mm


def require_queue():
    device = subprocess.run(['lpstat', '-v', queue], capture_output=True, text=True).stdout
    default = subprocess.run(['lpstat', '-d'], capture_output=True, text=True).stdout
    if 'tavlefile:' not in device or queue not in default:
        print('%s skipped: the CUPS test queue %s that keeps every job is not the default '
              'printer (run .ci/cups-setup as root)' % (journey, queue))
        sys.exit(j.SKIP)


def jobs():
    return sorted(glob.glob(spool + '/job-*.pdf'))


def wait_for_jobs(before, count, timeout=120):
    new = j.wait_for(lambda: [p for p in jobs() if p not in before]
                     if len([p for p in jobs() if p not in before]) >= count else None, timeout)
    return new or [p for p in jobs() if p not in before]


def title_of(job):
    with open(job[:-len('.pdf')] + '.title', encoding='utf-8') as f:
        return f.read().strip()


def words(pdf, page=1):
    """The words of one page with their left and top in millimetres, by pdftotext."""
    html = subprocess.run(['pdftotext', '-bbox', '-f', str(page), '-l', str(page), pdf, '-'],
                          capture_output=True, text=True, check=True).stdout
    found = re.findall(r'<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" '
                       r'yMax="[0-9.]+">([^<]*)</word>', html)
    return [(w, float(x) * MM_PER_POINT, float(y) * MM_PER_POINT) for x, y, w in found]


def pages(pdf):
    info = subprocess.run(['pdfinfo', pdf], capture_output=True, text=True).stdout
    m = re.search(r'^Pages:\s+(\d+)', info, re.M)
    return int(m.group(1)) if m else 0


def sheets(mode, name, out, *options):
    subprocess.run([tavleprint, 'sheets', mode, export, name, '--pdf', out] + list(options),
                   check=True)
    return out


def unplaced(got, expected):
    """The expected words that have no word of the same text within 0.2 mm in `got`."""
    free = list(got)
    missing = []
    for word, x, y in expected:
        near = [g for g in free if g[0] == word and abs(g[1] - x) <= TOLERANCE
                and abs(g[2] - y) <= TOLERANCE]
        if near:
            free.remove(near[0])
        else:
            missing.append((word, round(x, 2), round(y, 2)))
    return missing


def same_placement(what, printed, made):
    """The printed job holds the same words as tavleprint's PDF, each within 0.2 mm."""
    checks.check(what + ': pages', pages(printed), pages(made))
    for page in range(1, pages(made) + 1):
        got, expected = words(printed, page), words(made, page)
        checks.check('%s: words of page %d' % (what, page),
                     sorted(w for w, _, _ in got), sorted(w for w, _, _ in expected))
        checks.check('%s: words of page %d not where tavleprint puts them' % (what, page),
                     unplaced(got, expected)[:5], [])


def gray(pdf):
    """Page 1 rendered at 36 dpi, as a list of grey values."""
    with tempfile.TemporaryDirectory() as d:
        subprocess.run(['pdftoppm', '-gray', '-r', '36', '-f', '1', '-l', '1', '-singlefile',
                        pdf, d + '/p'], check=True)
        with open(d + '/p.pgm', 'rb') as f:
            data = f.read()
    header = re.match(rb'P5\s+(\d+)\s+(\d+)\s+(\d+)\s', data)
    return list(data[header.end():])


def difference(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / max(len(a), 1)


def select_names(window, picks):
    items = [n for _, n in j.tree(checks.need(j.find(window, 'list', ''), 'the name list'))
             if n.getRoleName() == 'list item']
    names = []
    for i, index in enumerate(picks):
        j.click(items[index], None if i == 0 else 'ctrl')
        names.append(items[index].name)
    return names


def wait_until_enabled(node, timeout=120):
    import pyatspi
    return j.wait_for(lambda: node.getState().contains(pyatspi.STATE_ENABLED), timeout)


def teachers_printed(app, work):
    """Three teachers chosen with the mouse and Ctrl, "Udskriv": three jobs, one per name."""
    require_queue()
    before = jobs()
    j.choose_file(checks, app, export)
    select = j.open_modal(checks, app, 'Vælg lærere', 'dialog', 'Vælg til udskrift')
    names = select_names(select, [0, 2, 4])
    checks.shot('journey1-selected.png')
    button = checks.need(j.find(select, 'push button', 'Udskriv', exact=True), '"Udskriv"')
    j.click(button)
    new = wait_for_jobs(before, 3)
    wait_until_enabled(button)
    checks.shot('journey1-printed.png')
    checks.check('jobs printed', len(new), 3)
    checks.check('job titles', [title_of(p) for p in new], names)
    for job, name in zip(new, names):
        made = sheets('--teachers', name, os.path.join(work, 'teacher.pdf'))
        same_placement('job of ' + name, job, made)
    memo = j.memo_text(app)
    for name in names:
        checks.true('the message area names the printer of ' + name + ': ' + repr(memo),
                    'Brikkerne for %s er sendt til printeren %s.' % (name, queue) in memo)
    j.click(j.find(select, 'push button', 'Luk', exact=True))


def margins_and_cutting_lines(app, work):
    """Cutting lines on, margins typed as "10.5" and "10,5", one class printed."""
    require_queue()
    before = jobs()
    j.choose_file(checks, app, export)
    frames = checks.need(j.find(app, 'check box', 'skærerammer'), 'the cutting lines box')
    import pyatspi
    for _ in range(3):  # the first click after the file dialog may only activate the window
        j.click(frames)
        if j.wait_for(lambda: frames.getState().contains(pyatspi.STATE_CHECKED), 2):
            break
    checks.true('the cutting lines box is ticked',
                frames.getState().contains(pyatspi.STATE_CHECKED))
    select = j.open_modal(checks, app, 'Vælg klasser', 'dialog', 'Vælg til udskrift')
    juster = j.open_modal(checks, app, 'Juster printer', 'dialog', 'Printerjustering',
                          root=select)
    fields = {}
    for field, typed in (('Venstre margen', '10.5'), ('Topmargen', '10,5')):
        fields[field] = checks.need(j.find(juster, 'spin button', field, exact=True), field)
        j.click(fields[field])
        j.key('ctrl+a')
        j.type_text(typed)
        j.key('Tab')
    for field in fields:
        checks.check('%s as shown' % field, j.text_of(fields[field]).strip(), '10,5')
    checks.shot('journey2-margins.png')
    j.click(checks.need(j.find(juster, 'push button', 'OK', exact=True), '"OK"'))
    checks.true('the adjustment window closed',
                j.wait_for(lambda: j.find(app, 'dialog', 'Printerjustering', timeout=0) is None,
                           10))
    name = select_names(select, [1])[0]
    button = checks.need(j.find(select, 'push button', 'Udskriv', exact=True), '"Udskriv"')
    j.click(button)
    new = wait_for_jobs(before, 1)
    wait_until_enabled(button)
    checks.shot('journey2-printed.png')
    if not checks.check('jobs printed', len(new), 1):
        return
    job = new[0]
    checks.check('job title', title_of(job), name)
    moved = sheets('--classes', name, os.path.join(work, 'moved.pdf'),
                   '--margins', '10.5,10.5,9,20', '--cut-frames')
    same_placement('job of ' + name, job, moved)
    # Against the standard margins every word moved 1.5 mm left, and the first row 2 mm down.
    standard = words(sheets('--classes', name, os.path.join(work, 'standard.pdf')))
    printed = words(job)
    first_row = min(y for _, _, y in standard) + 10
    moved_row = [(w, x - 1.5, y + 2.0) for w, x, y in standard if y < first_row]
    checks.true('words of the first row found', len(moved_row) >= 4)
    checks.check('words of the first row not moved by (-1.5, +2.0) mm',
                 unplaced(printed, moved_row)[:5], [])
    # The cutting lines: the printed page looks like tavleprint's with them, not without.
    without = sheets('--classes', name, os.path.join(work, 'without.pdf'),
                     '--margins', '10.5,10.5,9,20')
    page = gray(job)
    with_lines, no_lines = difference(page, gray(moved)), difference(page, gray(without))
    checks.true('the printed page has the cutting lines (differs %.2f from a page with them, '
                '%.2f from one without)' % (with_lines, no_lines), with_lines < no_lines / 4)
    j.click(j.find(select, 'push button', 'Luk', exact=True))


def bad_files(app, work):
    """Files no export is like, each with its message; the program goes on."""
    with open(export, 'rb') as f:
        good = f.read()
    made = {
        'binaer.csv': bytes(range(256)) * 8,
        'tom.csv': b'',
        'uden-overskrift.csv': good[good.index(b'\n') + 1:],
        'utf8-bom.csv': b'\xef\xbb\xbf' + good.decode('cp1252').encode('utf-8'),
    }
    for name, data in made.items():
        with open(os.path.join(work, name), 'wb') as f:
            f.write(data)
    expected = {
        'binaer.csv': 'Filen har ingen overskriftslinje',
        'tom.csv': 'Filen indeholder ingen lektioner.',
        'uden-overskrift.csv': 'Filen har ingen overskriftslinje',
        'utf8-bom.csv': 'Filen er gemt som UTF-8 og er omsat til Windows-1252.',
    }
    for name in made:
        shown = len(j.memo_text(app))
        j.choose_file(checks, app, os.path.join(work, name))
        message = j.wait_for(lambda: expected[name] in j.memo_text(app)[shown:], 10)
        checks.true('%s: the message %r (got %r)' % (name, expected[name],
                                                      j.memo_text(app)[shown:]), message)
        checks.shot('journey4-%s.png' % name[:-4])
    # Nothing has stopped the program: the last file's teachers are those of the example.
    listed = subprocess.run([tavleprint, 'list', '--teachers', export], capture_output=True,
                            text=True, check=True).stdout.split()
    select = j.open_modal(checks, app, 'Vælg lærere', 'dialog', 'Vælg til udskrift')
    items = [n.name for _, n in j.tree(checks.need(j.find(select, 'list', ''), 'the name list'))
             if n.getRoleName() == 'list item']
    checks.check('teachers of the UTF-8 file', items, listed)
    checks.shot('journey4-listed.png')
    j.click(j.find(select, 'push button', 'Luk', exact=True))


journeys = {'teachers-printed': teachers_printed,
            'margins-and-cutting-lines': margins_and_cutting_lines,
            'bad-files': bad_files}
if journey not in journeys:
    print('unknown journey', journey)
    sys.exit(2)
process, app = j.start(program)
try:
    checks.need(app, 'the application on the accessibility bus')
    with tempfile.TemporaryDirectory() as work:
        journeys[journey](app, work)
    checks.true('the program still runs', process.poll() is None)
finally:
    j.stop(process)
checks.finish()
