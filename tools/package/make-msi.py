#!/usr/bin/env python3
"""Makes the installer (an MSI, with wixl and msibuild of msitools) from
tools/package/Tallyra.wxs: fills in the version, the publisher, the folder of
the files and, as the extension component's registry rows, what the
extension's DllRegisterServer writes (the lines of registry-harvest, in which
the module's path and folder become the installed file's; its automation
interfaces in the 32-bit view as well), then sets in the
tables what wixl cannot express: keys that hold nothing, and the condition and
permanence of the user's language setting."""
import argparse
import subprocess
import tempfile
from pathlib import Path
from xml.sax.saxutils import quoteattr

# The user's language (UserLanguageID) is Chinese: zh-CN, zh-TW, zh-HK, zh-SG,
# zh-MO, zh-Hans, zh-Hant.
CHINESE = (2052, 1028, 3076, 4100, 5124, 4, 31748)
ENGLISH_CONDITION = "NOT LANGUAGEMODULECHOSEN AND NOT (%s)" % " OR ".join(f"UserLanguageID = {l}" for l in CHINESE)
# Component attributes: 64-bit (256), key path a registry value (4), permanent (16).
PERMANENT_REGISTRY_64 = 256 + 4 + 16
ROOTS = {"HKCR": 0, "HKLM": 2}


def sql_text(text):
    return "'" + text.replace("'", "''") + "'"


def registration(harvest, module_path):
    """RegistryValue elements, and the table rows of the keys that hold nothing."""
    folder = module_path.rsplit("\\", 1)[0]

    def installed(text):
        # The file's own path first, then its folder ([INSTALLFOLDER] ends in a backslash).
        text = text.replace(module_path, "[#Tallyra32.dll]")
        return text.replace(folder + "\\", "[INSTALLFOLDER]").replace(folder, "[INSTALLFOLDER]")

    elements, interfaces, queries = [], [], []
    for number, line in enumerate(harvest.splitlines()):
        fields = line.rstrip("\r").split("\t")
        if not fields[0]:
            continue
        root, key = fields[0], fields[1]
        if len(fields) == 2:
            # "*": made at install, removed (with what is below it) at uninstall.
            queries.append("INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES "
                           f"('regEmptyKey{number}', {ROOTS[root]}, {sql_text(key)}, '*', 'Extension')")
            continue
        named = f" Name={quoteattr(fields[2])}" if fields[2] else ""
        value = (f"<RegistryValue Root={quoteattr(root)} Key={quoteattr(key)}{named} Type=\"string\" "
                 f"Value={quoteattr(installed(fields[3]))}")
        elements.append(value + " />")
        # RegisterTypeLib of a 64-bit module registers its automation
        # interfaces for 32-bit programs too (they marshal them alike); the
        # harvest's scratch key has no 32-bit view, so they are seen once.
        if root == "HKCR" and key.startswith("Interface\\"):
            interfaces.append(value + (" KeyPath=\"yes\" />" if not interfaces else " />"))
    indent = lambda lines: "\n".join("            " + line for line in lines)
    return indent(elements), indent(interfaces), queries


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--publisher", required=True)
    parser.add_argument("--bin", required=True, help="folder of the files to install")
    parser.add_argument("--harvest", required=True, help="registry-harvest's output")
    parser.add_argument("--module-path", required=True, help="the module's path as registry-harvest saw it")
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    elements, interfaces, queries = registration(Path(args.harvest).read_text(encoding="utf-8"), args.module_path)
    queries.append(f"UPDATE `Component` SET `Attributes` = {PERMANENT_REGISTRY_64}, "
                   f"`Condition` = {sql_text(ENGLISH_CONDITION)} WHERE `Component` = 'EnglishForThisUser'")
    text = (Path(__file__).with_name("Tallyra.wxs")).read_text(encoding="utf-8")
    output = Path(args.output).resolve()
    with tempfile.TemporaryDirectory() as work:
        # wixl takes the files' sources relative to the .wxs file.
        bin_folder = Path(args.bin).resolve()
        for name, value in (("@VERSION@", args.version), ("@PUBLISHER@", args.publisher),
                            ("@BIN@", str(Path("bin"))), ("@REGISTRY@", elements),
                            ("@INTERFACES32@", interfaces)):
            text = text.replace(name, value)
        Path(work, "bin").symlink_to(bin_folder)
        source = Path(work, "Tallyra.wxs")
        source.write_text(text, encoding="utf-8")
        subprocess.run(["wixl", "-a", "x64", "-o", str(output), str(source)], check=True, cwd=work)
    for query in queries:
        subprocess.run(["msibuild", str(output), "-q", query], check=True, stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
