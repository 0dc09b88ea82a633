#!/usr/bin/env python3
"""Checks the package managers' manifests of a release folder against the
fields their formats require (winget 1.6 version, installer and
defaultLocale; Scoop; a Chocolatey nuspec and its two scripts), and that
they name the release's files with their SHA-256 under one address.

  check_manifests.py RELEASE_DIR URL

Prints one line per manager, "manifest-check NAME: ok" or ": FAILED" with
the faults, and then, as shell assignments, the command lines the managers
run (for the installer test under Wine). Exits non-zero on any fault."""
import hashlib
import json
import re
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import yaml

release, url = Path(sys.argv[1]), sys.argv[2].rstrip("/")
faults = {}


def fault(manager, text):
    faults.setdefault(manager, []).append(text)


def sha256(path):
    return hashlib.sha256(path.read_bytes()).hexdigest()


def require(manager, data, fields, where=""):
    """fields: name -> type (or a tuple of allowed values)."""
    for name, kind in fields.items():
        if name not in data:
            fault(manager, f"{where}{name} missing")
        elif isinstance(kind, tuple):
            if data[name] not in kind:
                fault(manager, f"{where}{name} is {data[name]!r}, not one of {kind}")
        elif not isinstance(data[name], kind):
            fault(manager, f"{where}{name} is {type(data[name]).__name__}, not {kind.__name__}")


try:
    version = (release / "SHA256SUMS").read_text().split()[1].split("-")[1]
except (OSError, IndexError):
    sys.exit(f"manifest-check: FAILED: no SHA256SUMS naming the release in {release}")
zip_file = release / f"vimbrel-{version}-windows.zip"
setup = release / f"vimbrel-{version}-setup.exe"
sums = dict(reversed(line.split()) for line in (release / "SHA256SUMS").read_text().splitlines())
for path in (zip_file, setup):
    if sums.get(path.name) != sha256(path):
        fault("checksums", f"SHA256SUMS has no right sum for {path.name}")

# winget: the three files of the multi-file form, one identifier and version.
commands = {}
winget = release / "manifests" / "winget"
try:
    docs = {p.name: yaml.safe_load(p.read_text()) for p in sorted(winget.glob("*.yaml"))}
except (OSError, yaml.YAMLError) as error:
    fault("winget", f"unreadable: {error}")
    docs = {}
kinds = {doc.get("ManifestType"): doc for doc in docs.values() if isinstance(doc, dict)}
if sorted(kinds) != ["defaultLocale", "installer", "version"] or len(docs) != 3:
    fault("winget", f"files {sorted(docs)} hold {sorted(map(str, kinds))}")
identifier = r"^[^.\s\\/:*?\"<>|]{1,32}(\.[^.\s\\/:*?\"<>|]{1,32}){1,7}$"
for kind, doc in kinds.items():
    require("winget", doc, {"PackageIdentifier": str, "PackageVersion": str, "ManifestVersion": str}, f"{kind}: ")
    if not re.match(identifier, str(doc.get("PackageIdentifier"))):
        fault("winget", f"{kind}: bad PackageIdentifier")
    if doc.get("PackageVersion") != version or doc.get("ManifestVersion") != "1.6.0":
        fault("winget", f"{kind}: version {doc.get('PackageVersion')} manifest {doc.get('ManifestVersion')}")
if len({doc.get("PackageIdentifier") for doc in kinds.values()}) != 1:
    fault("winget", "the files name different packages")
require("winget", kinds.get("version", {}), {"DefaultLocale": str}, "version: ")
locale = kinds.get("defaultLocale", {})
require("winget", locale, {"PackageLocale": str, "Publisher": str, "PackageName": str,
                           "License": str, "ShortDescription": str}, "defaultLocale: ")
if locale.get("PackageLocale") != kinds.get("version", {}).get("DefaultLocale"):
    fault("winget", "the default locale's file is not the one the version names")
if not 3 <= len(str(locale.get("ShortDescription", ""))) <= 256:
    fault("winget", "ShortDescription not 3 to 256 characters")
installer = kinds.get("installer", {})
require("winget", installer, {"InstallerType": ("nullsoft",), "Installers": list}, "installer: ")
scopes = {}
for entry in installer.get("Installers", []):
    require("winget", entry, {"Architecture": ("x86",), "Scope": ("user", "machine"),
                              "InstallerUrl": str, "InstallerSha256": str}, "Installers: ")
    if entry.get("InstallerUrl") != f"{url}/{setup.name}":
        fault("winget", f"InstallerUrl {entry.get('InstallerUrl')}")
    if entry.get("InstallerSha256") != sha256(setup).upper():
        fault("winget", "InstallerSha256 is not the installer's")
    switches = {**installer.get("InstallerSwitches", {}), **entry.get("InstallerSwitches", {})}
    scopes[entry.get("Scope")] = f"{switches.get('Silent', '')} {switches.get('Custom', '')}".strip()
if sorted(scopes) != ["machine", "user"]:
    fault("winget", f"scopes {sorted(map(str, scopes))}, not user and machine")
commands["winget_user"] = scopes.get("user", "")
commands["winget_machine"] = scopes.get("machine", "")

# Scoop: the zip, its hash, and nothing that runs or changes the system.
try:
    scoop = json.loads((release / "manifests" / "scoop" / "vimbrel.json").read_text())
except (OSError, ValueError) as error:
    fault("scoop", f"unreadable: {error}")
    scoop = {}
require("scoop", scoop, {"version": str, "description": str, "homepage": str, "license": str,
                         "url": str, "hash": str})
if scoop.get("version") != version or scoop.get("url") != f"{url}/{zip_file.name}":
    fault("scoop", f"version {scoop.get('version')} url {scoop.get('url')}")
if str(scoop.get("hash", "")).lower().removeprefix("sha256:") != sha256(zip_file):
    fault("scoop", "hash is not the zip's")
for key in ("installer", "pre_install", "post_install", "uninstaller", "persist", "env_set", "env_add_path"):
    if key in scoop:
        fault("scoop", f"{key}: Scoop would change the system")
commands["scoop_zip"] = zip_file.name

# Chocolatey: the nuspec's required metadata, the scripts' installer and
# its sum, and the switches both scripts give.
choco = release / "manifests" / "chocolatey"
namespace = "{http://schemas.microsoft.com/packaging/2015/06/nuspec.xsd}"
try:
    metadata = ElementTree.parse(choco / "vimbrel.nuspec").getroot().find(f"{namespace}metadata")
    fields = {child.tag.removeprefix(namespace): (child.text or "") for child in metadata}
except (OSError, ElementTree.ParseError, AttributeError) as error:
    fault("chocolatey", f"nuspec unreadable: {error}")
    fields = {}
require("chocolatey", fields, {name: str for name in ("id", "version", "authors", "description", "title", "projectUrl")})
if fields.get("version") != version or not re.match(r"^[a-z0-9][a-z0-9.-]*$", fields.get("id", "")):
    fault("chocolatey", f"id {fields.get('id')} version {fields.get('version')}")
try:
    install = (choco / "tools" / "chocolateyinstall.ps1").read_text()
    uninstall = (choco / "tools" / "chocolateyuninstall.ps1").read_text()
except OSError as error:
    fault("chocolatey", f"scripts missing: {error}")
    install = uninstall = ""


def value(script, name):
    match = re.search(rf"^\s*{name}\s*=\s*'([^']*)'", script, re.M | re.I)
    return match.group(1) if match else None


if "Install-ChocolateyPackage" not in install or value(install, "url") != f"{url}/{setup.name}":
    fault("chocolatey", "the install script does not fetch the installer")
if value(install, "checksum") != sha256(setup) or value(install, "checksumType") != "sha256":
    fault("chocolatey", "the install script's checksum is not the installer's")
if "Uninstall-ChocolateyPackage" not in uninstall or "UninstallString" not in uninstall:
    fault("chocolatey", "the uninstall script does not run the entry's uninstaller")
for name, script in (("choco_install", install), ("choco_uninstall", uninstall)):
    switches = value(script, "silentArgs")
    if not switches or "/S" not in switches.split():
        fault("chocolatey", f"{name}: not silent")
    commands[name] = switches or ""

for manager in ("checksums", "winget", "scoop", "chocolatey"):
    if manager in faults:
        print(f"manifest-check {manager}: FAILED")
        for text in faults[manager]:
            print(f"  {text}")
    else:
        print(f"manifest-check {manager}: ok")
for name, text in commands.items():
    print(f"{name}='{text}'")
sys.exit(1 if faults else 0)
