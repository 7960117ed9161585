#!/usr/bin/env python3
"""Makes the installer (an MSI, with wixl and msibuild of msitools) from
tools/package/Tallyra.wxs: fills in the version, the publisher, the folder of
the files and, as the extension components' registry rows, what the
extension's DllRegisterServer writes (the lines of registry-harvest, in which
the module's path and folder become the installed file's): for the 64-bit
module, and in the 32-bit view for the 32-bit one. Then sets in the tables
what wixl cannot express: keys that hold nothing, and the condition and
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


def registration(harvest, module_path, component, file_id, folder_id, platform):
    """RegistryValue elements of `component`, and the table rows of its keys
    that hold nothing: what the module's registration writes, with the
    module's path and folder those of the installed file `file_id` in the
    folder `folder_id`, and its type library under `platform` (win64 or
    win32, as RegisterTypeLib names the module's kind)."""
    folder = module_path.rsplit("\\", 1)[0]

    def installed(text):
        # The file's own path first, then its folder ([FOLDER] ends in a backslash).
        text = text.replace(module_path, f"[#{file_id}]")
        return text.replace(folder + "\\", f"[{folder_id}]").replace(folder, f"[{folder_id}]")

    def key_of(key):
        parts = key.split("\\")
        # TypeLib\{LIBID}\VERSION\LCID\win64 (key names are not case-sensitive).
        if parts[0].lower() == "typelib" and len(parts) >= 5 and parts[4].lower() == "win64":
            parts[4] = platform
        return "\\".join(parts)

    elements, queries = [], []
    for number, line in enumerate(harvest.splitlines()):
        fields = line.rstrip("\r").split("\t")
        if not fields[0]:
            continue
        root, key = fields[0], key_of(fields[1])
        if len(fields) == 2:
            # "*": made at install, removed (with what is below it) at uninstall.
            queries.append("INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES "
                           f"('regEmptyKey{component}{number}', {ROOTS[root]}, {sql_text(key)}, '*', "
                           f"{sql_text(component)})")
            continue
        named = f" Name={quoteattr(fields[2])}" if fields[2] else ""
        elements.append(f"<RegistryValue Root={quoteattr(root)} Key={quoteattr(key)}{named} Type=\"string\" "
                        f"Value={quoteattr(installed(fields[3]))} />")
    return "\n".join("            " + element for element in elements), queries


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--publisher", required=True)
    parser.add_argument("--bin", required=True, help="folder of the 64-bit files to install")
    parser.add_argument("--bin32", required=True, help="folder of the 32-bit files to install")
    parser.add_argument("--harvest", required=True, help="registry-harvest's output")
    parser.add_argument("--module-path", required=True, help="the module's path as registry-harvest saw it")
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    harvest = Path(args.harvest).read_text(encoding="utf-8")
    # The 32-bit module's registration is the 64-bit one's (the same tables
    # and type library) for the file in the 32-bit folder, in the 32-bit view.
    elements, queries = registration(harvest, args.module_path, "Extension", "Tallyra32.dll", "INSTALLFOLDER", "win64")
    elements32, queries32 = registration(harvest, args.module_path, "Extension32", "Tallyra32.dll.x86",
                                         "INSTALLFOLDER32", "win32")
    queries += queries32
    queries.append(f"UPDATE `Component` SET `Attributes` = {PERMANENT_REGISTRY_64}, "
                   f"`Condition` = {sql_text(ENGLISH_CONDITION)} WHERE `Component` = 'EnglishForThisUser'")
    text = (Path(__file__).with_name("Tallyra.wxs")).read_text(encoding="utf-8")
    output = Path(args.output).resolve()
    with tempfile.TemporaryDirectory() as work:
        # wixl takes the files' sources relative to the .wxs file.
        for name, value in (("@VERSION@", args.version), ("@PUBLISHER@", args.publisher),
                            ("@BIN@", "bin"), ("@BIN32@", "bin32"), ("@REGISTRY@", elements),
                            ("@REGISTRY32@", elements32)):
            text = text.replace(name, value)
        Path(work, "bin").symlink_to(Path(args.bin).resolve())
        Path(work, "bin32").symlink_to(Path(args.bin32).resolve())
        source = Path(work, "Tallyra.wxs")
        source.write_text(text, encoding="utf-8")
        subprocess.run(["wixl", "-a", "x64", "-o", str(output), str(source)], check=True, cwd=work)
    for query in queries:
        subprocess.run(["msibuild", str(output), "-q", query], check=True, stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
