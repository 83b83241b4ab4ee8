# What the real-input tests share: the real tavleplanner program driven by xdotool (mouse and
# keyboard through the X server) at the places the accessibility tree (AT-SPI) gives, inside the
# throw-away desktop of tests/gui-session. A test skips (77) without a display or the tools.
import atexit
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77

# What the program keeps in the user's settings stays with this test: one folder for all the
# program's starts in it, so that a restart finds what the run before kept.
os.environ['XDG_CONFIG_HOME'] = tempfile.mkdtemp(prefix='tavle-config-')
atexit.register(shutil.rmtree, os.environ['XDG_CONFIG_HOME'], True)
# Likewise the record of the board that its prints keep (tavle.sqlite): never the user's own.
os.environ['XDG_DATA_HOME'] = tempfile.mkdtemp(prefix='tavle-data-')
atexit.register(shutil.rmtree, os.environ['XDG_DATA_HOME'], True)


def require_desktop(name):
    if not os.environ.get('DISPLAY'):
        print('%s skipped: no DISPLAY; run it under tests/gui-session' % name)
        sys.exit(SKIP)
    if not shutil.which('xdotool'):
        print('%s skipped: xdotool is not installed' % name)
        sys.exit(SKIP)
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        print('%s skipped: python3-pyatspi is not installed' % name)
        sys.exit(SKIP)


class Checks:
    def __init__(self, name, shots):
        self.name, self.shots, self.failures = name, shots, []
        os.makedirs(shots, exist_ok=True)

    def check(self, what, got, expected):
        if got != expected:
            self.failures.append('%s: %r, expected %r' % (what, got, expected))
        return got == expected

    def true(self, what, condition):
        if not condition:
            self.failures.append(what)
        return condition

    def shot(self, name):
        subprocess.run(['import', '-window', 'root', os.path.join(self.shots, name)],
                       stderr=subprocess.DEVNULL)

    def need(self, node, what):
        if node is None:
            self.shot('%s-failed.png' % self.name)
            for f in self.failures:
                print('FAILED', f)
            print('%s: not found: %s' % (self.name, what))
            sys.exit(1)
        return node

    def finish(self):
        for f in self.failures:
            print('FAILED', f)
        print('%s: %d checks failed' % (self.name, len(self.failures)))
        sys.exit(1 if self.failures else 0)


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


def showing(node):
    import pyatspi
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def find(root, role, name, timeout=20, exact=False):
    end = time.time() + timeout
    while True:
        for _, n in tree(root):
            try:
                named = n.name == name if exact else name in (n.name or '')
                if n.getRoleName() == role and named and showing(n):
                    return n
            except Exception:
                pass
        if time.time() >= end:
            return None
        time.sleep(0.3)


def find_control(window, role, name):
    """A control of a window found without walking tables and lists, whose cells may be many
    (a preview's thumbnails): quick enough to catch a state that lasts a few seconds."""
    queue = [window]
    while queue:
        node = queue.pop(0)
        try:
            if node.getRoleName() == role and node.name == name:
                return node
            if node.getRoleName() not in ('table', 'list', 'tree table'):
                queue.extend(child for child in node if child is not None)
        except Exception:  # a node that went away while it was read
            pass
    return None


def find_window(app, role, name, timeout=20):
    """A top-level window of the application: read without walking every control (a preview's
    thumbnail table alone has a cell per page)."""
    def shown():
        try:
            for window in app:
                if window is not None and window.getRoleName() == role and \
                        name in (window.name or '') and showing(window):
                    return window
        except Exception:
            pass
        return None
    return wait_for(shown, timeout, step=0.05)


def find_all(root, role):
    return [n for _, n in tree(root) if n.getRoleName() == role and showing(n)]


def centre(node):
    import pyatspi
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def click(node, modifier=None, button=1):
    click_at(*centre(node), modifier, button)


def click_at(x, y, modifier=None, button=1):
    command = ['xdotool', 'mousemove', str(x), str(y)]
    command += ['keydown', modifier] if modifier else []
    command += ['click', str(button)]
    command += ['keyup', modifier] if modifier else []
    subprocess.run(command, check=True)
    time.sleep(0.5)


def key(*names, pause=0.7):
    subprocess.run(['xdotool', 'key', '--delay', '60'] + list(names), check=True)
    time.sleep(pause)


def type_text(text):
    subprocess.run(['xdotool', 'type', '--delay', '30', text], check=True)
    time.sleep(0.3)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return ''


def start(program, args=(), env=None):
    """Starts the program and returns (process, its accessible application)."""
    import pyatspi
    process = subprocess.Popen([program] + list(args),
                               env=dict(os.environ, **env) if env else None)
    def ours(a):
        # A program stopped just before may still stand on the bus under the same name.
        try:
            return (a is not None and (a.name or '').lower() == 'tavleplanner'
                    and a.get_process_id() == process.pid)
        except Exception:
            return False
    for _ in range(150):
        for a in pyatspi.Registry.getDesktop(0):
            if ours(a):
                return process, a
        time.sleep(0.2)
    return process, None


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()


def open_dialog(app, titles=('Åbn', 'Open'), timeout=10):
    """A file dialog; Qt's own title is Danish where its Danish texts are installed."""
    def shown():
        for title in titles:
            dialog = find_window(app, 'dialog', title, timeout=0)
            if dialog:
                return dialog
        return None
    return wait_for(shown, timeout)


EARLIER_DIALOG = 'Vælg den eksportfil, brikkerne på tavlen er udskrevet fra'


def choose_file(checks, app, path, button='Vælg kildefil', seen=None):
    """"Vælg kildefil" (or `button`: "Tidligere fil…" has a dialog titled of its own), then
    the path typed into the open dialog's file name field. `seen`, a list, takes the text the
    field held when the dialog opened."""
    titles = (EARLIER_DIALOG,) if button.startswith('Tidligere') else ('Åbn', 'Open')
    source = checks.need(find(app, 'push button', button), '"%s"' % button)
    dialog = None
    for _ in range(3):  # the first click after a closed window may only activate the main one
        click(source)
        dialog = open_dialog(app, titles, timeout=3)
        if dialog:
            break
    checks.need(dialog, 'the open dialog titled %r' % (titles,))
    fields = [n for _, n in tree(dialog) if n.getRoleName() == 'text']
    if seen is not None:
        seen.append(text_of(fields[-1]))
    click(fields[-1])
    key('ctrl+a')
    type_text(path)
    key('Return', pause=2)


def open_modal(checks, app, button_text, role, title, root=None):
    """Clicks the button until the window `title` shows (the first click may only activate)."""
    button = checks.need(find(root or app, 'push button', button_text), '"%s"' % button_text)
    for _ in range(3):
        click(button)
        window = find_window(app, role, title, timeout=4)
        if window:
            return window
    return checks.need(None, 'the window "%s"' % title)


def memo_text(app):
    """The main window's message area."""
    memo = find(app, 'text', 'Meddelelser', timeout=5, exact=True)
    return text_of(memo) if memo else ''


def wait_for(condition, timeout=30, step=0.3):
    end = time.time() + timeout
    while time.time() < end:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return condition()


def kept_jobs(queue):
    """The jobs the CUPS test queue has kept (.ci/cups-setup), oldest first."""
    return sorted(glob.glob('/var/spool/tavle-print/%s/job-*.pdf' % queue),
                  key=lambda p: int(re.search(r'job-(\d+)', p).group(1)))


def title_of(job):
    with open(job[:-len('.pdf')] + '.title', encoding='utf-8') as f:
        return f.read().strip()


def new_jobs(queue, before, own, count, timeout, settle):
    """The jobs `queue` has kept since `before` for which `own(job)` holds: waits up to
    `timeout` seconds for `count` of them, then until none has followed for `settle` seconds."""
    def found():
        return [p for p in kept_jobs(queue) if p not in before and own(p)]
    wait_for(lambda: len(found()) >= count, timeout)
    seen = found()
    while True:
        time.sleep(settle)
        now = found()
        if now == seen:
            return now
        seen = now
