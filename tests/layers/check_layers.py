"""Checks that the product's folders are layers that only point down:

    win <- engine <- config <- settings <- ui <- server

A file may include from its own folder and from folders before it, never from
a folder after it or from the tools, tests, benchmarks and CMake files beside
the product; and no folders, product or not, include each other in a circle.

Every include is resolved the way the compiler resolves it: the build's
compilation database (ninja -t compdb: C++, resource scripts and the IDL
compiler's commands) gives each translation unit its include directories, and
the includes are followed from there, header by header, bare names too. A
header reached from several configurations is resolved once for each. A file
that no command reaches is resolved against its own folder and the source
root, which is all a bare include could mean there.

A file the build writes counts as the folder of the source it is made from
(the IDL compiler's header is the IDL's), or else, below generated/, as the
folder it mirrors; other generated files are nobody's layer and are only
followed.

Usage: check_layers.py SOURCE_ROOT BUILD_FOLDER
"""

import json
import os
import re
import shlex
import subprocess
import sys
from collections import defaultdict

LAYERS = ["win", "engine", "config", "settings", "ui", "server"]
BESIDE = ["tools", "tests", "bench", "cmake"]
SOURCE_SUFFIXES = (".c", ".cc", ".cpp", ".h", ".hpp", ".rc", ".idl", ".in")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]|^\s*import\s+"([^"]+)"\s*;')


def include_dirs(command):
    """The include directories of a command, in the compiler's order:
    (quote-only directories, directories for both forms)."""
    words = shlex.split(command)
    quote, both = [], []
    i = 0
    while i < len(words):
        word = words[i]
        for flag, target in (("-iquote", quote), ("-I", both), ("-isystem", both), ("/I", both),
                             ("--include-dir=", both), ("--include-dir", both)):
            if word == flag and i + 1 < len(words):
                target.append(words[i + 1])
                i += 1
                break
            if word.startswith(flag) and len(word) > len(flag):
                target.append(word[len(flag):])
                break
        i += 1
    directory = None
    if words[:1] == ["cd"] and len(words) > 1:
        directory = words[1]
    return [absolute(d, directory) for d in quote], [absolute(d, directory) for d in both]


def absolute(path, directory):
    return os.path.normpath(path if os.path.isabs(path) or directory is None else os.path.join(directory, path))


def includes_of(path, cache={}):
    if path not in cache:
        found = []
        try:
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if match:
                        if match.group(3):
                            found.append((number, '"', match.group(3)))
                        else:
                            found.append((number, match.group(1), match.group(2)))
        except OSError:
            pass
        cache[path] = found
    return cache[path]


def resolve(includer, form, name, quote_dirs, dirs):
    """The file the compiler opens: for "name" the includer's folder first,
    then the quote-only directories, then the others; for <name> the others."""
    search = ([os.path.dirname(includer)] + quote_dirs if form == '"' else []) + dirs
    for folder in search:
        candidate = os.path.normpath(os.path.join(folder, name))
        if os.path.isfile(candidate):
            return candidate
    return None


class Checker:
    def __init__(self, root, build):
        self.root = os.path.realpath(root)
        self.build = os.path.realpath(build)
        self.generated = os.path.join(self.build, "generated")
        # (includer, line, name) -> resolved files, over every context.
        self.edges = defaultdict(set)
        self.visited = set()
        # Files the build writes -> the source they are made from.
        self.made_from = {}

    def folder_of(self, path):
        """The top folder that a file counts as, or None for files of nobody's layer."""
        if path in self.made_from:
            return self.folder_of(self.made_from[path])
        if path.startswith(self.generated + os.sep):
            parts = os.path.relpath(path, self.generated).split(os.sep)
            return parts[0] if len(parts) > 1 and parts[0] in LAYERS + BESIDE else None
        if path.startswith(self.build + os.sep) or not path.startswith(self.root + os.sep):
            return None
        parts = os.path.relpath(path, self.root).split(os.sep)
        return parts[0] if len(parts) > 1 else None

    def ours(self, path):
        """Files of the source tree (not its third-party copies) and of the build."""
        if path.startswith(self.build + os.sep):
            return True
        return path.startswith(self.root + os.sep) and not os.path.relpath(path, self.root).startswith(".")

    def walk(self, start, quote_dirs, dirs):
        stack = [start]
        seen = set()
        while stack:
            path = stack.pop()
            if path in seen:
                continue
            seen.add(path)
            self.visited.add(path)
            for line, form, name in includes_of(path):
                target = resolve(path, form, name, quote_dirs, dirs)
                if target is None or not self.ours(target):
                    continue
                self.edges[(path, line, name)].add(target)
                stack.append(target)

    def run(self, database):
        """Follows the includes of every command of DATABASE (compdb entries)
        and of every file none reaches; the number of distinct commands."""
        contexts = set()
        for entry in database:
            source = absolute(entry.get("file", ""), entry.get("directory"))
            if not source.endswith(SOURCE_SUFFIXES) or not self.ours(source) or not os.path.isfile(source):
                continue
            output = absolute(entry.get("output", ""), entry.get("directory"))
            if output.startswith(self.build + os.sep) and not output.endswith((".obj", ".o", ".res")):
                self.made_from[output] = source
            quote_dirs, dirs = include_dirs(entry["command"])
            contexts.add((source, tuple(quote_dirs), tuple(dirs)))
        for source, quote_dirs, dirs in sorted(contexts):
            self.walk(source, list(quote_dirs), list(dirs))
        compiled = len(contexts)
        # What no command reaches: its own folder and the root.
        for folder in LAYERS + BESIDE:
            for base, subfolders, files in os.walk(os.path.join(self.root, folder)):
                for name in files:
                    path = os.path.join(base, name)
                    if path.endswith(SOURCE_SUFFIXES) and path not in self.visited:
                        self.walk(path, [], [self.root])
        return compiled

    def arrows(self):
        """(includer folder, included folder) -> [(file, line, name, target)]."""
        found = defaultdict(list)
        for (path, line, name), targets in sorted(self.edges.items()):
            source = self.folder_of(path)
            for target in sorted(targets):
                destination = self.folder_of(target)
                if source is None or destination is None or source == destination:
                    continue
                found[(source, destination)].append((path, line, name, target))
        return found


def upward(source, destination):
    if source in LAYERS:
        return destination in BESIDE or (destination in LAYERS and LAYERS.index(destination) > LAYERS.index(source))
    return False


def cycles(arrows):
    """The strongly connected groups of more than one folder."""
    graph = defaultdict(set)
    for source, destination in arrows:
        graph[source].add(destination)
    index, low, on_stack, stack, groups = {}, {}, set(), [], []

    def connect(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in sorted(graph[node]):
            if other not in index:
                connect(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            connect(node)
    return groups


def check(root, build, database):
    """(report lines, commands followed, includes against the layering)."""
    checker = Checker(root, build)
    compiled = checker.run(database)
    arrows = checker.arrows()
    relative = lambda path: os.path.relpath(path, checker.root) if path.startswith(checker.root) else path
    lines = []
    bad = 0
    for (source, destination), uses in sorted(arrows.items()):
        if upward(source, destination):
            for path, line, name, target in uses:
                lines.append(f"  ^ {relative(path)}:{line} ({source}) includes \"{name}\" = "
                             f"{relative(target)} ({destination})")
                bad += 1
    for group in cycles(arrows):
        lines.append(f"  folder cycle: {' <-> '.join(group)}")
        for (source, destination), uses in sorted(arrows.items()):
            if source in group and destination in group:
                path, line, name, target = uses[0]
                lines.append(f"    {source} -> {destination}: {relative(path)}:{line} includes \"{name}\" = "
                             f"{relative(target)}" + (f" (and {len(uses) - 1} more)" if len(uses) > 1 else ""))
        bad += 1
    files = len({path for path, _, _ in checker.edges} | checker.visited)
    lines.append(f"layers: {compiled} compile commands, {files} files, {len(checker.edges)} resolved includes, "
                 f"{bad} against the layering")
    return lines, compiled, bad


def main(root, build):
    database = json.loads(subprocess.run(["ninja", "-C", build, "-t", "compdb"], check=True,
                                         capture_output=True, text=True).stdout)
    lines, compiled, bad = check(root, build, database)
    print("\n".join(lines))
    return 0 if compiled > 0 and bad == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
