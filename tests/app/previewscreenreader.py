#!/usr/bin/env python3
# What a screen reader finds in the preview window, reached by real X input: tavleplanner is
# started, the bundled export chosen, the teachers listed, two names selected and previewed,
# and Page Down pressed, each by mouse or key through xdotool at the places the accessibility
# tree (AT-SPI) gives. Then the preview's buttons, tabs, thumbnail grid and status panels are
# read back. Run under tests/gui-session; skipped (77) without a display or the tools.
#   previewscreenreader.py TAVLEPLANNER EXPORT.csv SHOT-FOLDER
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import journeylib as j  # noqa: E402

j.require_desktop('previewscreenreader')

program, export, shots = sys.argv[1:4]
checks = j.Checks('previewscreenreader', shots)
check, find, tree, click = checks.check, j.find, j.tree, j.click


def need(node, what):
    return checks.need(node, what)


def key(name):
    j.key(name, pause=1)


process, app = j.start(program)
try:
    need(app, 'the application on the accessibility bus')
    j.choose_file(checks, app, export)
    select = j.open_modal(checks, app, 'Vælg lærere', 'dialog', 'Vælg til udskrift')
    names = [n for _, n in tree(need(find(select, 'list', ''), 'the name list'))
             if n.getRoleName() == 'list item']
    click(names[0])
    click(names[1], 'ctrl')
    click(need(find(select, 'push button', 'Vis udskrift'), '"Vis udskrift"'))
    preview = need(j.find_window(app, 'dialog', 'Udskriftsvisning'), 'the preview window')
    time.sleep(1)
    key('Next')
    checks.shot('screenreader-preview.png')

    for name, hint in [('Søg', 'Søg efter tekst'), ('Indstil', 'Printeropsætning'),
                       ('Udskriv', 'Udskriv'), ('Forrige side', 'Forrige side'),
                       ('Næste side', 'Næste side'), ('Op', 'Forstør siden'),
                       ('Ned', 'Formindsk siden'),
                       ('Hent', 'Indlæs udskriftsjob'), ('Gem', 'Gem udskriftsjob'),
                       ('Luk', 'Luk visning')]:
        button = find(preview, 'push button', name, timeout=2, exact=True)
        check('button ' + name, button is not None, True)
        if button is not None:
            check('hint of ' + name, button.description, hint)
    # Page Down above went to page 2: the page field shows it.
    field = find(preview, 'spin button', 'Sidenummer', timeout=2, exact=True)
    check('the page field', field is not None and j.text_of(field), '2')
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
    check('the second preview', j.find_window(app, 'dialog', 'Udskriftsvisning') is not None, True)
    key('Escape')
finally:
    j.stop(process)
checks.finish()
