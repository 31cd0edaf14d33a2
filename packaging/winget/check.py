"""Checks a set of filled winget manifests: every field the 1.6 schema requires is there,
the three files agree on the package and its version, and nothing is left unfilled. Each
file opens with its schema line; the locale has the moniker, the release notes, the licence
address and the copyright; both installers are listed, the setup program with its Uninstall
key name and the MSI with its product and upgrade codes. Given the release folder, the hashes
and the MSI's product code are checked against the files themselves.

    check.py FOLDER [RELEASE_FOLDER]
"""

import hashlib
import re
import subprocess
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
INSTALLER_REQUIRED = ["Architecture", "InstallerUrl", "InstallerSha256", "ProductCode"]
LOCALE_WANTED = ["Moniker", "ReleaseNotes", "LicenseUrl", "Copyright"]
GUID = r"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}"
SCHEMA = "# yaml-language-server: $schema=https://aka.ms/winget-manifest.{}.{}.schema.json"


def msi_product_code(msi):
    table = subprocess.run(["msiinfo", "export", str(msi), "Property"], capture_output=True,
                           text=True, check=True).stdout
    return re.search(r"^ProductCode\t(\S+)", table, re.M)[1]


def check_installers(name, data, release):
    problems = []
    installers = data.get("Installers") or [{}]
    for installer in installers:
        problems += [f"{name}: an installer without {field}"
                     for field in INSTALLER_REQUIRED if field not in installer]
        if not re.fullmatch(r"[0-9A-F]{64}", str(installer.get("InstallerSha256", ""))):
            problems.append(f"{name}: the hash is not 64 hexadecimal digits")
        kind = installer.get("InstallerType", data.get("InstallerType"))
        if not kind:
            problems.append(f"{name}: no InstallerType")
        if kind in ("wix", "msi"):
            if not re.fullmatch(GUID, str(installer.get("ProductCode", ""))):
                problems.append(f"{name}: the MSI's ProductCode is no GUID")
            codes = [e.get("UpgradeCode") for e in installer.get("AppsAndFeaturesEntries") or []]
            if not codes or not all(re.fullmatch(GUID, str(c)) for c in codes):
                problems.append(f"{name}: the MSI has no AppsAndFeaturesEntries UpgradeCode")
        if release:
            package = Path(release) / str(installer.get("InstallerUrl", "")).rsplit("/", 1)[-1]
            if not package.is_file():
                problems.append(f"{name}: {package.name} is not in the release")
                continue
            if hashlib.sha256(package.read_bytes()).hexdigest().upper() != \
                    installer.get("InstallerSha256"):
                problems.append(f"{name}: the hash is not that of {package.name}")
            if kind in ("wix", "msi") and msi_product_code(package) != installer.get("ProductCode"):
                problems.append(f"{name}: the ProductCode is not that of {package.name}")
    kinds = sorted(str(i.get("InstallerType", data.get("InstallerType"))) for i in installers)
    if not ("nullsoft" in kinds and ("wix" in kinds or "msi" in kinds)):
        problems.append(f"{name}: both installers must be listed, not {kinds}")
    return problems


def main(folder, release=None):
    problems = []
    manifests = {}
    for path in sorted(Path(folder).glob("*.yaml")):
        text = path.read_text(encoding="utf-8")
        if "@" in re.sub(r"#.*", "", text):
            problems.append(f"{path.name}: a placeholder was not filled in")
        data = yaml.safe_load(text)
        manifests[data.get("ManifestType")] = (path.name, data)
        schema = SCHEMA.format(data.get("ManifestType"), data.get("ManifestVersion"))
        if text.splitlines()[0] != schema:
            problems.append(f"{path.name}: the first line is not {schema!r}")
    for kind, fields in REQUIRED.items():
        if kind not in manifests:
            problems.append(f"no {kind} manifest")
            continue
        name, data = manifests[kind]
        problems += [f"{name}: no {field}" for field in fields if field not in data]
        if str(data.get("ManifestVersion", "")) < "1.6.0":
            problems.append(f"{name}: schema {data.get('ManifestVersion')} is older than 1.6.0")
    if "installer" in manifests:
        problems += check_installers(*manifests["installer"], release)
    if "defaultLocale" in manifests:
        name, data = manifests["defaultLocale"]
        problems += [f"{name}: no {field}" for field in LOCALE_WANTED if not data.get(field)]
    identities = {(d.get("PackageIdentifier"), str(d.get("PackageVersion")))
                  for _, d in manifests.values()}
    if len(identities) != 1:
        problems.append(f"the manifests disagree on the package: {sorted(identities)}")
    for problem in problems:
        print(problem)
    print(f"winget manifests: {'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
