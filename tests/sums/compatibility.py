#!/usr/bin/python3
"""Checksum files across tools, one table per direction, the real tools run now.

  compatibility.py check TOOL   files the other tools write, checked by TOOL -c
  compatibility.py write TOOL   files TOOL writes, checked by the other tools

TOOL is tallyra-hash.exe, run under Wine through tools/wine-exec.sh. Every row
is checked three ways: all files as listed (every one OK, exit 0), one file
altered (FAILED, a failing exit code) and one file removed (FAILED open or
read, a failing exit code). A row whose algorithm the tool's catalogue lacks
is skipped with a line naming it; any other failure fails the test.
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_EXEC = os.path.join(HERE, "..", "..", "tools", "wine-exec.sh")

# Names with a space, non-ASCII letters, a leading "./" and a folder. Given to
# tallyra-hash with a backslash ("sub\\inner file.bin"): it writes "sub/...".
FILES = {"./plain.txt": b"plain\n", "with space.txt": b"", "n\u00e9 \u00fc.txt": b"\xff" * 5000,
         "sub/inner file.bin": bytes(range(256)) * 700}
# A name holding a backslash, as the Unix tools write it (escaped). Under
# Windows the backslash separates folders, so the same bytes also lie at
# back/slash, where tallyra-hash finds them.
BACKSLASH = "back\\slash"

# Files the other tools write: (tool, algorithm, sum file, command).
THEIRS = [
    ("sha256sum", "SHA-256", "SHA256SUMS", ["sha256sum"]),
    ("sha256sum --tag", "SHA-256", "tagged.txt", ["sha256sum", "--tag"]),
    ("md5sum", "MD5", "files.md5", ["md5sum"]),
    ("sha1sum", "SHA-1", "files.sha1", ["sha1sum"]),
    ("sha512sum --tag", "SHA-512", "files.txt", ["sha512sum", "--tag"]),
    ("b2sum", "BLAKE2b", "files.b2", ["b2sum"]),
    ("b2sum --tag", "BLAKE2b", "tagged.txt", ["b2sum", "--tag"]),
    ("b3sum", "BLAKE3", "files.b3", ["b3sum"]),
    ("xxhsum -H1", "XXH64", "files.xxh64", ["xxhsum", "-H1"]),
    ("xxhsum --tag -H2", "XXH128", "tagged.txt", ["xxhsum", "--tag", "-H2"]),
    ("xxhsum -H3", "XXH3", "any.txt", ["xxhsum", "-H3"]),
    ("rhash --sfv", "CRC32", "files.sfv", ["rhash", "--sfv"]),
    ("rhash --bsd (MD5, SHA-1, Tiger, Whirlpool)", "MD5 SHA-1 Tiger Whirlpool", "rhash.txt",
     ["rhash", "--bsd", "--md5", "--sha1", "--tiger", "--whirlpool"]),
    ("rhash --sha256", "SHA-256", "files.sha256", ["rhash", "--sha256"]),
    ("rhash --bsd --sha3-256", "SHA3-256", "sha3.txt", ["rhash", "--bsd", "--sha3-256"]),
    ("rhash --bsd --crc32c", "CRC32C", "crc.txt", ["rhash", "--bsd", "--crc32c"]),
]

# Files tallyra-hash writes: (checker, algorithms, sum file, options, checking command).
OURS = [
    ("sha256sum -c", "SHA-256", "SHA256SUMS", ["--format", "gnu", "--algo", "SHA-256"], ["sha256sum", "-c"]),
    ("sha256sum -c (bsd)", "SHA-256", "tagged.txt", ["--format", "bsd", "--algo", "SHA-256"], ["sha256sum", "-c"]),
    ("sha512sum -c (CRLF)", "SHA-512", "files.sha512", ["--format", "gnu", "--algo", "SHA-512", "--crlf"],
     ["sha512sum", "-c"]),
    ("md5sum -c", "MD5", "files.md5", ["--format", "gnu", "--algo", "MD5"], ["md5sum", "-c"]),
    ("b2sum -c", "BLAKE2b", "files.b2", ["--format", "gnu", "--algo", "BLAKE2b"], ["b2sum", "-c"]),
    ("b3sum -c", "BLAKE3", "files.b3", ["--format", "gnu", "--algo", "BLAKE3"], ["b3sum", "-c"]),
    ("xxhsum -c (XXH64, bsd)", "XXH64", "files.txt", ["--format", "bsd", "--algo", "XXH64"], ["xxhsum", "-c"]),
    ("xxhsum -c (XXH128)", "XXH128", "files.xxh128", ["--format", "gnu", "--algo", "XXH128"], ["xxhsum", "-c"]),
    ("rhash -c (sfv)", "CRC32", "files.sfv", ["--format", "sfv"], ["rhash", "-c"]),
    ("rhash -c (gnu)", "SHA-256", "files.sha256", ["--format", "gnu", "--algo", "SHA-256"], ["rhash", "-c"]),
    ("rhash -c (bsd)", "MD5 SHA-1 Tiger Whirlpool", "files.txt",
     ["--format", "bsd", "--algo", "MD5", "--algo", "SHA-1", "--algo", "Tiger", "--algo", "Whirlpool"],
     ["rhash", "-c"]),
]


def run(command, cwd):
    env = dict(os.environ, LANG="C.UTF-8", WINEDEBUG="-all")
    return subprocess.run(command, cwd=cwd, env=env, capture_output=True)


def tool(tool_path, arguments, cwd):
    result = run([WINE_EXEC, tool_path] + arguments, cwd)
    return result.returncode, result.stdout.decode("utf-8", "replace").replace("\r\n", "\n"), \
        result.stderr.decode("utf-8", "replace")


def make_files(work, with_backslash):
    for name, content in FILES.items():
        path = os.path.join(work, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)
    if with_backslash:
        for name in (BACKSLASH, "back/slash"):
            os.makedirs(os.path.dirname(os.path.join(work, name)) or work, exist_ok=True)
            with open(os.path.join(work, name), "wb") as f:
                f.write(b"backslash\n")


def catalogue(tool_path, work):
    empty = os.path.join(work, "empty")
    open(empty, "wb").close()
    code, out, err = tool(tool_path, ["--all", "empty"], work)
    os.remove(empty)
    if code != 0:
        raise SystemExit("cannot list the catalogue: " + err)
    return {line.split("\t")[0] for line in out.splitlines() if line}


def three_ways(work, check, altered, removed):
    """Runs check() as listed, with `altered` changed and with `removed` gone;
    returns the failures."""
    failures = []
    code, out = check()
    if code != 0:
        failures.append("as listed: exit %d\n%s" % (code, out))
    path = os.path.join(work, altered)
    original = open(path, "rb").read()
    with open(path, "ab") as f:
        f.write(b"!")
    code, out = check()
    if code == 0 or altered.lstrip("./") not in out:
        failures.append("altered %s: exit %d, not named\n%s" % (altered, code, out))
    with open(path, "wb") as f:
        f.write(original)
    path = os.path.join(work, removed)
    moved = path + ".away"
    os.rename(path, moved)
    code, out = check()
    if code == 0 or removed.lstrip("./") not in out:
        failures.append("removed %s: exit %d, not named\n%s" % (removed, code, out))
    os.rename(moved, path)
    return failures


def rhash_name(name):
    """A name as rhash writes it: no leading "./", "/" for a backslash."""
    return (name[2:] if name.startswith("./") else name).replace("\\", "/")


def check_theirs(tool_path, work, known):
    rows = []
    names = list(FILES) + [BACKSLASH]
    for label, algorithms, sum_file, command in THEIRS:
        missing = [a for a in algorithms.split() if a not in known]
        if missing:
            rows.append((label, "SKIPPED: the catalogue has no " + ", ".join(missing)))
            continue
        produced = run(command + names, work)
        if produced.returncode != 0:
            rows.append((label, "FAILED: the tool did not write its file: " + produced.stderr.decode()))
            continue
        with open(os.path.join(work, sum_file), "wb") as f:
            f.write(produced.stdout)

        def check():
            code, out, err = tool(tool_path, ["-c", sum_file], work)
            # rhash writes names its own way: no leading "./", "/" for "\\".
            listed = [rhash_name(n) for n in names] if command[0] == "rhash" else names
            expected = ["%s: OK" % name for name in listed]
            if code == 0 and any(line not in out.splitlines() for line in expected):
                return 99, out + err
            return code, out + err

        failures = three_ways(work, check, "n\u00e9 \u00fc.txt", "sub/inner file.bin")
        rows.append((label, "passed" if not failures else "FAILED: " + "; ".join(failures)))
    return rows


def link_loop(tool_path, work):
    """-r over a folder holding a link to its parent (Wine shows it as a
    reparse point): the link is not entered, the files are listed once."""
    loop = os.path.join(work, "sub", "loop")
    os.symlink("..", loop)
    try:
        code, out, err = tool(tool_path, ["-r", "--format", "gnu", "--algo", "MD5", "sub"], work)
    finally:
        os.remove(loop)
    expected = hashlib.md5(FILES["sub/inner file.bin"]).hexdigest() + "  sub/inner file.bin\n"
    if code == 0 and out == expected:
        return "passed"
    return "FAILED: exit %d\n%s%s" % (code, out[:2000], err[:2000])


def check_ours(tool_path, work, known):
    rows = [("tallyra-hash -r over a link loop", link_loop(tool_path, work))]
    given = ["./plain.txt", "with space.txt", "n\u00e9 \u00fc.txt", "sub\\inner file.bin"]
    for label, algorithms, sum_file, options, command in OURS:
        missing = [a for a in algorithms.split() if a not in known]
        if missing:
            rows.append((label, "SKIPPED: the catalogue has no " + ", ".join(missing)))
            continue
        code, out, err = tool(tool_path, options + given, work)
        if code != 0:
            rows.append((label, "FAILED: tallyra-hash could not write: " + err))
            continue
        with open(os.path.join(work, sum_file), "wb") as f:
            f.write(out.encode("utf-8").replace(b"\n", b"\r\n") if "--crlf" in options else out.encode("utf-8"))

        def check():
            result = run(command + [sum_file], work)
            return result.returncode, (result.stdout + result.stderr).decode("utf-8", "replace")

        failures = three_ways(work, check, "with space.txt", "sub/inner file.bin")
        rows.append((label, "passed" if not failures else "FAILED: " + "; ".join(failures)))
    return rows


def main():
    direction, tool_path = sys.argv[1], os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="tallyra-sums-")
    try:
        make_files(work, direction == "check")
        known = catalogue(tool_path, work)
        rows = check_theirs(tool_path, work, known) if direction == "check" else check_ours(tool_path, work, known)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    title = "files of other tools, checked by tallyra-hash -c" if direction == "check" else \
        "files of tallyra-hash, checked by other tools"
    print(title)
    for label, result in rows:
        print("  %-45s %s" % (label, result))
    failed = [label for label, result in rows if result.startswith("FAILED")]
    passed = [label for label, result in rows if result == "passed"]
    print("%d passed, %d skipped, %d failed" % (len(passed), len(rows) - len(passed) - len(failed), len(failed)))
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
