"""The layer check on small trees of its own: what it must find and what it must let pass."""

import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_layers  # noqa: E402

# Each case: files (path -> text; build/ is the build folder), compile
# commands (source, include directories, output or None), the number of
# includes against the layering, and texts the report must hold.
CASES = {
    "a bare include resolved through an include directory points up": (
        {"engine/Job.cpp": '#include "Switches.h"\n', "config/one/Switches.h": "\n"},
        [("engine/Job.cpp", ["config/one"], None)],
        1, ['engine/Job.cpp:1 (engine) includes "Switches.h" = config/one/Switches.h (config)']),
    "a header is resolved once for each configuration that reaches it": (
        {"settings/Store.cpp": '#include "Switches.h"\n', "config/one/Switches.h": "\n",
         "config/two/Switches.h": '#include "Page.h"\n', "ui/Page.h": "\n"},
        [("settings/Store.cpp", ["config/one", "ui"], None), ("settings/Store.cpp", ["config/two", "ui"], None)],
        1, ['config/two/Switches.h:1 (config) includes "Page.h" = ui/Page.h (ui)']),
    "a generated header counts as the folder of its source": (
        {"ui/Lib.idl": "\n", "build/generated/Lib.h": "\n", "win/Com.cpp": '#include "Lib.h"\n'},
        [("ui/Lib.idl", [], "build/generated/Lib.h"), ("win/Com.cpp", ["build/generated"], None)],
        1, ['win/Com.cpp:1 (win) includes "Lib.h" = build/generated/Lib.h (ui)']),
    "folders that include each other in a circle": (
        {"tools/Tool.cpp": '#include "tests/Fake.h"\n', "tests/Fake.h": '#include "tools/Tool.h"\n',
         "tools/Tool.h": "\n"},
        [("tools/Tool.cpp", ["."], None)],
        1, ["folder cycle: tests <-> tools"]),
    "a quoted include finds the includer's own folder first": (
        {"ui/Page.cpp": '#include "Local.h"\n', "ui/Local.h": "\n", "server/Local.h": "\n"},
        [("ui/Page.cpp", ["server"], None)],
        0, []),
    "includes that point down pass": (
        {"server/Module.cpp": '#include "ui/Page.h"\n#include <Switches.h>\n', "ui/Page.h": '#include "win/Com.h"\n',
         "win/Com.h": "\n", "config/one/Switches.h": '#include "engine/Ids.h"\n', "engine/Ids.h": "\n"},
        [("server/Module.cpp", [".", "config/one"], None)],
        0, []),
}


def run_case(files, commands):
    with tempfile.TemporaryDirectory() as folder:
        root = os.path.realpath(folder)
        for path, text in files.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as out:
                out.write(text)
        database = []
        for source, dirs, output in commands:
            command = "g++ " + " ".join("-I" + os.path.join(root, d) for d in dirs) + " -c " + source
            entry = {"directory": root, "file": source, "command": command}
            if output:
                entry["output"] = output
            database.append(entry)
        return check_layers.check(root, os.path.join(root, "build"), database)


class LayerCheck(unittest.TestCase):
    def test_cases(self):
        for name, (files, commands, expected_bad, texts) in CASES.items():
            with self.subTest(name):
                lines, compiled, bad = run_case(files, commands)
                report = "\n".join(lines)
                self.assertEqual(bad, expected_bad, report)
                for text in texts:
                    self.assertIn(text, report)


if __name__ == "__main__":
    unittest.main()
