"""Checks the Group Policy templates against the program: every policy the templates set
is one the program reads, every policy the program reads is in the templates, all under
the program's policy key, every text and presentation the templates name is in the
en-US language file, and every policy sits in the category "Ondrevan" under the vendor's
"Quillmere".

    check.py ADMX ADML POLICIES_H
"""

import re
import sys
import xml.etree.ElementTree as ElementTree

NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}


def program_policies(header):
    """The value names and the key the program reads, from its own declarations."""
    text = open(header, encoding="utf-8").read()
    key = re.search(r'kPolicyKey = "([^"]+)"', text)[1].replace("\\\\", "\\")
    names = re.search(r"kPolicyNames\[\] = \{(.*?)\};", text, re.S)[1]
    return key, set(re.findall(r'"([^"]+)"', names))


def main(admx, adml, header):
    problems = []
    key, read = program_policies(header)
    definitions = ElementTree.parse(admx).getroot()
    resources = ElementTree.parse(adml).getroot()
    strings = {s.get("id") for s in resources.iterfind(".//p:stringTable/p:string", NS)}
    presentations = {p.get("id"): p for p in resources.iterfind(".//p:presentation", NS)}

    categories = {}
    for category in definitions.iterfind(".//p:categories/p:category", NS):
        parent = category.find("p:parentCategory", NS)
        categories[category.get("name")] = parent.get("ref") if parent is not None else None
        ref = re.fullmatch(r"\$\(string\.(\w+)\)", category.get("displayName") or "")
        if not ref or ref[1] not in strings:
            problems.append(f"category {category.get('name')}: no text in the language file")
    if categories.get("Quillmere", "") is not None or categories.get("Ondrevan") != "Quillmere":
        problems.append('the category "Ondrevan" must sit under a top category "Quillmere"')

    written = set()
    for policy in definitions.iterfind(".//p:policy", NS):
        name = policy.get("name")
        parent = policy.find("p:parentCategory", NS)
        if parent is None or parent.get("ref") != "Ondrevan":
            problems.append(f"{name}: not in the category Ondrevan")
        if policy.get("key").lower() != key.lower():
            problems.append(f"{name}: key {policy.get('key')} is not {key}")
        if policy.get("class") != "Both":
            problems.append(f"{name}: for the computer and the user alike, class Both")
        if policy.get("valueName"):
            written.add(policy.get("valueName"))
        element_ids = set()
        for element in policy.find("p:elements", NS) or []:
            written.add(element.get("valueName"))
            element_ids.add(element.get("id"))
        for attribute in ("displayName", "explainText"):
            ref = re.fullmatch(r"\$\(string\.(\w+)\)", policy.get(attribute) or "")
            if not ref or ref[1] not in strings:
                problems.append(f"{name}: {attribute} has no text in the language file")
        if element_ids:
            ref = re.fullmatch(r"\$\(presentation\.(\w+)\)", policy.get("presentation") or "")
            shown = presentations.get(ref[1]) if ref else None
            if shown is None:
                problems.append(f"{name}: no presentation in the language file")
            else:
                refs = {child.get("refId") for child in shown}
                if refs != element_ids:
                    problems.append(f"{name}: presentation shows {refs}, elements {element_ids}")
    for item in definitions.iterfind(".//p:item", NS):
        ref = re.fullmatch(r"\$\(string\.(\w+)\)", item.get("displayName") or "")
        if not ref or ref[1] not in strings:
            problems.append(f"an item's text {item.get('displayName')} is missing")

    for name in sorted(written - read):
        problems.append(f'the templates set "{name}", which the program does not read')
    for name in sorted(read - written):
        problems.append(f'the program reads "{name}", which no template sets')
    for problem in problems:
        print("policy templates:", problem)
    print(f"policy templates: {len(written)} policies checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
