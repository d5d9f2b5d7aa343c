#!/usr/bin/env python3
"""Checks the layers of src/: no core or command-line file includes a widget
header or a header of src/ui/, and no two folders include each other (no
include cycle between folders of any length).

usage: check_layers.py SRC_DIR WIDGETS_INCLUDE_DIR
       check_layers.py --self-test WIDGETS_INCLUDE_DIR
"""
import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
LAYERED = ('core', 'ui', 'cli')


def folder_of(rel):
    """core/book/x.h -> core/book; cli/x.cpp -> cli."""
    parts = rel.split('/')
    if parts[0] in ('core', 'ui') and len(parts) > 2:
        return '/'.join(parts[:2])
    return parts[0]


def widget_headers(widgets_dir):
    names = set()
    for name in os.listdir(widgets_dir):
        names.add(name)
        names.add('QtWidgets/' + name)
    names.add('QtWidgets')
    return names


def check(src, widgets):
    problems = []
    edges = {}
    for top in LAYERED:
        for root, _, files in os.walk(os.path.join(src, top)):
            for f in files:
                if not f.endswith(('.h', '.cpp', '.inc')):
                    continue
                path = os.path.join(root, f)
                rel = os.path.relpath(path, src).replace(os.sep, '/')
                here = folder_of(rel)
                with open(path, encoding='utf-8', errors='replace') as fh:
                    text = fh.read()
                for kind, name in INCLUDE.findall(text):
                    below_ui = top in ('core', 'cli')
                    if kind == '<' and below_ui and name in widgets:
                        problems.append(f'{rel}: includes the widget header <{name}>')
                    if kind == '"' and '/' in name:
                        if below_ui and name.startswith('ui/'):
                            problems.append(f'{rel}: includes "{name}" of the windows')
                        there = folder_of(name)
                        if there != here:
                            edges.setdefault(here, set()).add(there)
    # Any cycle between folders, found by a depth-first walk.
    state = {}

    def walk(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                cycle = trail[trail.index(nxt):] + [nxt] if nxt in trail else [node, nxt]
                problems.append('folders include each other: ' + ' -> '.join(cycle))
            elif nxt not in state:
                walk(nxt, trail + [nxt])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            walk(node, [node])
    return problems, edges


def self_test(widgets):
    """The checker must catch each kind of fault it is there for."""
    cases = {
        'widget in core': {'core/a/x.cpp': '#include <QWidget>\n'},
        'ui header in cli': {'cli/t.cpp': '#include "ui/shell/form1.h"\n'},
        'two folders': {'core/a/x.h': '#include "core/b/y.h"\n',
                        'core/b/y.h': '#include "core/a/x.h"\n'},
        'three folders': {'core/a/x.h': '#include "core/b/y.h"\n',
                          'core/b/y.h': '#include "core/c/z.h"\n',
                          'core/c/z.h': '#include "core/a/x.h"\n'},
    }
    clean = {'core/a/x.h': '#include <QString>\n#include "core/b/y.h"\n',
             'core/b/y.h': '#include <QImage>\n',
             'ui/s/w.cpp': '#include <QWidget>\n#include "core/a/x.h"\n'}
    failed = 0
    for label, files in list(cases.items()) + [('clean', clean)]:
        with tempfile.TemporaryDirectory() as tmp:
            for rel, text in files.items():
                os.makedirs(os.path.dirname(os.path.join(tmp, rel)), exist_ok=True)
                with open(os.path.join(tmp, rel), 'w') as fh:
                    fh.write(text)
            problems, _ = check(tmp, widgets)
            ok = (not problems) if label == 'clean' else bool(problems)
            print(('ok   ' if ok else 'FAIL ') + label + (': ' + '; '.join(problems) if problems else ''))
            failed += not ok
    return failed


def main(argv):
    if len(argv) == 3 and argv[0] == '--self-test':
        return 1 if self_test(widget_headers(argv[2])) else 0
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    widgets = widget_headers(argv[1])
    if not widgets - {'QtWidgets'}:
        print('no widget headers found in ' + argv[1], file=sys.stderr)
        return 2
    problems, edges = check(argv[0], widgets)
    for node in sorted(edges):
        print(f'{node} -> {", ".join(sorted(edges[node]))}')
    for p in problems:
        print('LAYER FAULT: ' + p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
