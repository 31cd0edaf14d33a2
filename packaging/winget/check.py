"""Checks a set of filled winget manifests: every field the 1.6 schema requires is there,
the three files agree on the package and its version, and nothing is left unfilled.

    check.py FOLDER
"""

import re
import sys
from pathlib import Path

import yaml

REQUIRED = {
    "version": ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                "ManifestVersion"],
    "installer": ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType",
                  "ManifestVersion"],
    "defaultLocale": ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                      "PackageName", "License", "ShortDescription", "ManifestType",
                      "ManifestVersion"],
}
INSTALLER_REQUIRED = ["Architecture", "InstallerUrl", "InstallerSha256"]


def main(folder):
    problems = []
    manifests = {}
    for path in sorted(Path(folder).glob("*.yaml")):
        text = path.read_text(encoding="utf-8")
        if "@" in re.sub(r"#.*", "", text):
            problems.append(f"{path.name}: a placeholder was not filled in")
        data = yaml.safe_load(text)
        manifests[data.get("ManifestType")] = (path.name, data)
    for kind, fields in REQUIRED.items():
        if kind not in manifests:
            problems.append(f"no {kind} manifest")
            continue
        name, data = manifests[kind]
        problems += [f"{name}: no {field}" for field in fields if field not in data]
        if str(data.get("ManifestVersion", "")) < "1.6.0":
            problems.append(f"{name}: schema {data.get('ManifestVersion')} is older than 1.6.0")
    if "installer" in manifests:
        name, data = manifests["installer"]
        for installer in data.get("Installers") or [{}]:
            problems += [f"{name}: an installer without {field}"
                         for field in INSTALLER_REQUIRED if field not in installer]
            if not re.fullmatch(r"[0-9A-F]{64}", str(installer.get("InstallerSha256", ""))):
                problems.append(f"{name}: the hash is not 64 hexadecimal digits")
        if not data.get("InstallerType") and not all(
                i.get("InstallerType") for i in data.get("Installers") or []):
            problems.append(f"{name}: no InstallerType")
    identities = {(d.get("PackageIdentifier"), str(d.get("PackageVersion")))
                  for _, d in manifests.values()}
    if len(identities) != 1:
        problems.append(f"the manifests disagree on the package: {sorted(identities)}")
    for problem in problems:
        print(problem)
    print(f"winget manifests: {'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
