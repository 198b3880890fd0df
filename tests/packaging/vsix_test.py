"""The VS Code extension as scripts/package.sh builds it: the .vsix holds
the compiled client, both grammars, the language configuration and the
client library, nothing of the build; its package.json activates on both
languages and on its command, and names the program's version.

Usage: vsix_test.py dist/genera-scenario-VERSION.vsix"""

import json
import os
import re
import sys
import zipfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAIL    ") + what)
    if not ok:
        failures.append(what)


def main(path):
    with zipfile.ZipFile(path) as z:
        names = set(z.namelist())
        manifest = json.loads(z.read("extension/package.json"))
        grammars = {g["path"]: json.loads(z.read("extension/" + g["path"][2:]))
                    for g in manifest["contributes"]["grammars"]}

    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        version = re.search(r"project\(genera_scenario VERSION ([0-9.]+)", f.read()).group(1)
    check(manifest["version"] == version, f"the extension's version is the program's, {version}")
    check(os.path.basename(path) == f"genera-scenario-{version}.vsix", "the file is named for it")

    events = set(manifest["activationEvents"])
    for event in ("onLanguage:genera-linea", "onLanguage:genera-treno",
                  "onCommand:generaScenario.selectLanguage"):
        check(event in events, f"activates on {event}")
    commands = {c["command"] for c in manifest["contributes"]["commands"]}
    check("generaScenario.selectLanguage" in commands, "contributes the command to pick a language")

    languages = {l["id"]: l for l in manifest["contributes"]["languages"]}
    check(languages.get("genera-linea", {}).get("filenamePatterns") == ["*_linea.txt"],
          "line sources are *_linea.txt")
    check(languages.get("genera-treno", {}).get("filenamePatterns") == ["*-.txt"],
          "train sources are *-.txt")
    scopes = {g["language"]: g["scopeName"] for g in manifest["contributes"]["grammars"]}
    check(scopes == {"genera-linea": "source.genera-linea", "genera-treno": "source.genera-treno"},
          "one grammar per language")
    for grammar_path, grammar in grammars.items():
        check(grammar["scopeName"] in scopes.values(), f"{grammar_path} is the grammar it names")

    wanted = ["extension/" + manifest["main"][2:], "extension/language-configuration.json",
              "extension/LICENSE.txt", "extension/README.md",
              "extension/node_modules/vscode-languageclient/package.json"]
    wanted += ["extension/" + g["path"][2:] for g in manifest["contributes"]["grammars"]]
    for name in wanted:
        check(name in names, f"holds {name}")
    leaked = sorted(n for n in names if n.startswith("extension/src/") or n.startswith("extension/test/")
                    or n.endswith(".ts") or "/node_modules/typescript/" in n
                    or "/node_modules/@vscode/vsce/" in n)
    check(not leaked, "holds no source, test or build tool" + (f": {leaked[:3]}" if leaked else ""))

    print(f"vsix: {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
