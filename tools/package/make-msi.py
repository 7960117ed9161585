#!/usr/bin/env python3
"""Makes the installer (an MSI, with wixl and msibuild of msitools) from
tools/package/Tallyra.wxs: fills in the version, the publisher, the folder of
the files, a component for each language module of the build's list (both
architectures), the actions that choose the installing user's module and,
as the extension components' registry rows, what the extension's
DllRegisterServer writes (the lines of registry-harvest, in which the
module's path and folder become the installed file's): for the 64-bit
module, and in the 32-bit view for the 32-bit one. Then sets in the tables
what wixl cannot express: keys that hold nothing, immediate property
actions, and the condition and permanence of the user's language setting."""
import argparse
import subprocess
import tempfile
import uuid
from pathlib import Path
from xml.sax.saxutils import quoteattr

# Component attributes: 64-bit (256), key path a registry value (4), permanent (16).
PERMANENT_REGISTRY_64 = 256 + 4 + 16
USER_LANGUAGE_CONDITION = "NOT LANGUAGEMODULECHOSEN AND USERLANGUAGEMODULE"
# Component GUIDs of the language modules: the same for a file in every build.
COMPONENT_NAMESPACE = uuid.UUID("6E0F3A52-93C1-4B8E-A7D4-1C5B2E9F8A30")
# Windows' language identifiers: primary language in the low ten bits,
# sublanguage above; the sublanguages that exist go up to 0x17.
SUBLANGUAGES = range(0, 0x18)
LANG_CHINESE = 0x04
# Chinese in Traditional script: Taiwan, Hong Kong, Macao, zh-Hant (as
# settings/LanguageModules.cpp decides for the per-user step).
TRADITIONAL_CHINESE = (0x0404, 0x0C04, 0x1404, 0x7C04)
SIMPLIFIED_CHINESE = (0x0004, 0x0804, 0x1004, 0x7804)
ENGLISH = 0x09
# A condition of the CustomAction table's sequence is at most 255 characters.
CONDITION_CHARS = 255
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


def read_languages(path):
    """The build's list: the built-in texts' language, and (tag, LANGID, file) of each module."""
    built_in, modules = None, []
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        tag, langid, file = (line.split("\t") + ["", ""])[:3]
        if tag == "built-in":
            built_in = int(langid, 0)
        elif tag:
            modules.append((tag, int(langid, 0), file))
    return built_in, modules


def language_ids(langid):
    """The user languages (UserLanguageID) a module in language `langid` is for."""
    if langid & 0x3FF == LANG_CHINESE:
        return TRADITIONAL_CHINESE if langid in TRADITIONAL_CHINESE else SIMPLIFIED_CHINESE
    return tuple((sub << 10) | (langid & 0x3FF) for sub in SUBLANGUAGES)


def user_language_actions(built_in, modules):
    """Immediate actions before CostFinalize that set USERLANGUAGEMODULE for the
    installing user as tallyra-user-language does for the others: English for
    a language neither built in nor among the modules, overridden by the
    module of the user's language; nothing for the built-in language."""
    english = next((file for tag, langid, file in modules if langid & 0x3FF == ENGLISH), None)
    steps = []
    if english:
        steps.append((english, "NOT (%s)" % " OR ".join(f"UserLanguageID={l}" for l in language_ids(built_in))))
    for tag, langid, file in modules:
        if file == english:
            continue  # the default already
        terms = [f"UserLanguageID={l}" for l in language_ids(langid)]
        while terms:  # as many actions as the conditions' length needs
            taken = []
            while terms and len(" OR ".join(taken + terms[:1])) <= CONDITION_CHARS:
                taken.append(terms.pop(0))
            steps.append((file, " OR ".join(taken)))
    elements, ids = [], []
    for number, (file, condition) in enumerate(steps):
        action = f"SetUserLanguageModule{number}"
        ids.append(action)
        elements.append(f'    <CustomAction Id="{action}" Property="USERLANGUAGEMODULE" Value={quoteattr(file)} />')
    customs = [f'      <Custom Action="{action}" After="CostInitialize">{condition}</Custom>'
               for action, (file, condition) in zip(ids, steps)]
    text = "\n".join(elements) + "\n    <InstallExecuteSequence>\n" + "\n".join(customs) + "\n    </InstallExecuteSequence>"
    # wixl marks a property action as run from the script, and puts it last:
    # each must run at once (type 51), in this order, between CostInitialize
    # (800) and FileCost (900), before the components' conditions are read.
    assert len(ids) < 100
    queries = []
    for number, action in enumerate(ids):
        queries.append(f"UPDATE `CustomAction` SET `Type` = 51 WHERE `Action` = '{action}'")
        queries.append(f"UPDATE `InstallExecuteSequence` SET `Sequence` = {801 + number} WHERE `Action` = '{action}'")
    return text, queries


def language_components(modules, bin_name, suffix, win64):
    """A component per language module, and their references."""
    components, refs = [], []
    for tag, langid, file in modules:
        component = "Language" + tag.replace("-", "_") + suffix
        guid = str(uuid.uuid5(COMPONENT_NAMESPACE, file + suffix)).upper()
        file_id = file + (".x86" if suffix else "")
        components.append(f'          <Component Id="{component}" Guid="{{{guid}}}" Win64="{win64}">\n'
                          f'            <File Id="{file_id}" Name="{file}" Source="{bin_name}/{file}" KeyPath="yes" />\n'
                          f'          </Component>')
        refs.append(f'      <ComponentRef Id="{component}" />')
    return "\n".join(components), refs


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", required=True)
    parser.add_argument("--publisher", required=True)
    parser.add_argument("--bin", required=True, help="folder of the 64-bit files to install")
    parser.add_argument("--bin32", required=True, help="folder of the 32-bit files to install")
    parser.add_argument("--harvest", required=True, help="registry-harvest's output")
    parser.add_argument("--languages", required=True, help="the build's list of language modules")
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
    built_in, modules = read_languages(args.languages)
    languages, refs = language_components(modules, "bin", "", "yes")
    languages32, refs32 = language_components(modules, "bin32", "32", "no")
    actions, action_queries = user_language_actions(built_in, modules)
    queries += action_queries
    queries.append(f"UPDATE `Component` SET `Attributes` = {PERMANENT_REGISTRY_64}, "
                   f"`Condition` = {sql_text(USER_LANGUAGE_CONDITION)} WHERE `Component` = 'LanguageForThisUser'")
    text = (Path(__file__).with_name("Tallyra.wxs")).read_text(encoding="utf-8")
    output = Path(args.output).resolve()
    with tempfile.TemporaryDirectory() as work:
        # wixl takes the files' sources relative to the .wxs file.
        for name, value in (("@VERSION@", args.version), ("@PUBLISHER@", args.publisher),
                            ("@BIN@", "bin"), ("@BIN32@", "bin32"), ("@REGISTRY@", elements),
                            ("@REGISTRY32@", elements32), ("@LANGUAGES@", languages),
                            ("@LANGUAGES32@", languages32), ("@LANGUAGE_REFS@", "\n".join(refs + refs32)),
                            ("@USER_LANGUAGE_ACTIONS@", actions),
                            ("@ACTIVE_SETUP_VERSION@", args.version.replace(".", ","))):
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
