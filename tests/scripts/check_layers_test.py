#!/usr/bin/env python3
"""The floors check on small trees: a clean tree passes, and each kind of offence is
found and named by its file and line.

Usage: check_layers_test.py PATH/TO/check-layers.py
"""

import os
import subprocess
import sys
import tempfile

CHECK = sys.argv[1]

# A tree that keeps every rule: one file per floor, each including what it may.
CLEAN = {
    "engine/common/Value.h": "#include <string>\n",
    "engine/sql/Table.h": '#include "common/Value.h"\n#include "Value.h"\n',
    "core/AppState.h": '#include "engine/sql/Table.h"\n#include <QString>\n',
    "description/Header.h": '#include "core/AppState.h"\n',
    "shell/Navigation.h": '#include "description/Header.h"\n',
    "demo/DemoData.h": '#include "core/AppState.h"\n',
    "cli/CliCommon.h": '#include "shell/Navigation.h"\n',
    "widgets/TFormWindow.h": '#include "core/AppState.h"\n#include <QDialog>\n',
    "description/GuiPage.h": '#include "widgets/TFormWindow.h"\n#include "description/Header.h"\n',
    "sieves/TFormSieve.h": '#include "widgets/TFormWindow.h"\n',
    "sieves/TFormSieveAge.h": '#include "sieves/TFormSieve.h"\n',
    "shell/TFormDendrix.h": '#include "description/GuiPage.h"\n',
    "shell/TFormDendrix.cpp": '#include "shell/TFormDendrix.h"\n',
    "app/AppWindows.h": '#include "widgets/TFormWindow.h"\n',
    "app/AppWindows.cpp": '#include "app/AppWindows.h"\n#include "shell/TFormDendrix.h"\n#include "sieves/TFormSieve.h"\n#include <QApplication>\n',
}

# Each offence, added to the clean tree by itself: (file, text, what the report names).
OFFENCES = [
    ("core/Quoting.h", '\n#include "shell/Navigation.h"\n', "core/Quoting.h:2: core file includes subsystem file"),
    ("description/Other.h", '#include "description/GuiPage.h"\n', "subsystem file includes windows file"),
    ("description/Other.h", '#include "shell/TFormDendrix.h"\n', "subsystem file includes windows file"),
    ("engine/sql/Db.h", '#include "core/AppState.h"\n', "engine file includes core file"),
    ("engine/sql/Db.h", "#include <QString>\n", "the engine includes the Qt header <QString>"),
    ("cli/CliMain.cpp", '#include "widgets/TFormWindow.h"\n', "cli file includes widgets file"),
    ("widgets/Grid.h", '#include "sieves/TFormSieve.h"\n', "widgets file includes windows file"),
    ("widgets/Grid.h", '#include "cli/CliCommon.h"\n', "widgets file includes cli file"),
    ("sieves/TFormSieve.cpp", '#include "shell/TFormDendrix.h"\n', "only the application includes the main window"),
    ("lists/TFormList.h", '#include "sieves/TFormSieve.h"\n', "another subsystem's window"),
    ("sieves/TFormSieve.cpp", '#include "app/AppWindows.h"\n', "windows file includes app file"),
    ("description/Header.cpp", '#include "shell/Navigation.h"\n', "subsystems include each other's core files"),
    ("core/Grid.h", "#include <QTableView>\n", "core file includes the widget header <QTableView>"),
    ("core/Grid.h", '#include "core/Missing.h"\n', '"core/Missing.h" is not in the source tree'),
]


def write(root, files):
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def run(files):
    with tempfile.TemporaryDirectory() as root:
        src = os.path.join(root, "src")
        write(src, files)
        qt = os.path.join(root, "qt", "QtWidgets")
        os.makedirs(qt)
        for name in ("QTableView", "QDialog", "QApplication"):
            open(os.path.join(qt, name), "w").close()
        stamp = os.path.join(root, "ok")
        done = subprocess.run([sys.executable, CHECK, "--src", src, "--widget-header-dir", qt, "--stamp", stamp],
                              capture_output=True, text=True)
        return done.returncode, done.stdout, os.path.exists(stamp)


def main():
    failures = []
    status, out, stamped = run(CLEAN)
    if status != 0 or out or not stamped:
        failures.append("the clean tree is refused:\n" + out)
    for rel, text, named in OFFENCES:
        files = dict(CLEAN)
        files[rel] = files.get(rel, "") + text
        status, out, stamped = run(files)
        if status != 1 or named not in out or stamped:
            failures.append("%s with %r: status %d, report:\n%s" % (rel, text.strip(), status, out))
    for f in failures:
        print("FAIL:", f)
    print("%d of %d cases failed" % (len(failures), len(OFFENCES) + 1))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
