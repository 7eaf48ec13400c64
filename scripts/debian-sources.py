#!/usr/bin/env python3
"""Prints, in deb822 form, the Debian package sources this machine is set up
with for its own release (the suites named after the release's codename, read
from /etc/apt), so that a private apt configuration can use the same archive.

  debian-sources.py              the configured suites
  debian-sources.py --backports  also the release's backports suite, on the
                                 archive that serves the release itself
  debian-sources.py --for NAME   the same archives, for the Debian release
                                 with codename NAME instead of this machine's
                                 (a root of another release, say)
  debian-sources.py --archive    only the URI of the archive that serves the
                                 release itself (what debootstrap needs)

Other repositories and disabled entries are left out, and so is any
Architectures restriction (the private configuration sets its own). Exits 1
when no source for the release is configured.
"""
import glob
import os
import re
import sys

APT = "/etc/apt"


def codename():
    with open("/etc/os-release", encoding="utf-8") as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            if key == "VERSION_CODENAME":
                return value.strip('"')
    sys.exit("no VERSION_CODENAME in /etc/os-release")


def one_line_entries(path):
    """Entries of a sources.list file: (uri, suite, components, options)."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            options = {}
            m = re.match(r"^(deb)\s+\[([^]]*)\]\s+(.*)$", line) or re.match(r"^(deb)\s+()(.*)$", line)
            if not m:
                continue  # deb-src or malformed
            for opt in m.group(2).split():
                key, _, value = opt.partition("=")
                options[key.lower()] = value
            fields = m.group(3).split()
            if len(fields) < 2:
                continue
            yield fields[0], fields[1], fields[2:], options


def deb822_entries(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for stanza in re.split(r"\n\s*\n", text):
        fields = {}
        key = None
        for line in stanza.splitlines():
            if line.startswith("#") or not line.strip():
                continue
            if line[0] in " \t" and key:
                fields[key] += "\n" + line.strip()
                continue
            key, _, value = line.partition(":")
            key = key.strip().lower()
            fields[key] = value.strip()
        if "deb" not in fields.get("types", "").split():
            continue
        if fields.get("enabled", "yes").lower() == "no":
            continue
        options = {}
        if "signed-by" in fields:
            options["signed-by"] = fields["signed-by"]
        for uri in fields.get("uris", "").split():
            for suite in fields.get("suites", "").split():
                yield uri, suite, fields.get("components", "").split(), options


def configured():
    paths = [os.path.join(APT, "sources.list")] + sorted(glob.glob(os.path.join(APT, "sources.list.d", "*.list")))
    for path in paths:
        if os.path.isfile(path):
            yield from one_line_entries(path)
    for path in sorted(glob.glob(os.path.join(APT, "sources.list.d", "*.sources"))):
        yield from deb822_entries(path)


def stanza(uri, suite, components, options):
    out = ["Types: deb", f"URIs: {uri}", f"Suites: {suite}", f"Components: {' '.join(components)}"]
    signed = options.get("signed-by")
    if signed:
        lines = signed.split("\n")
        out.append("Signed-By: " + lines[0])
        out.extend(" " + (l if l.strip() else ".") for l in lines[1:])
    return "\n".join(out)


def option(name):
    args = sys.argv[1:]
    if name in args:
        i = args.index(name)
        if i + 1 >= len(args):
            sys.exit(f"{name} needs a value")
        return args[i + 1]
    return None


def main():
    release = codename()
    wanted = re.compile(rf"^{re.escape(release)}(-[a-z]+)?$")
    entries = [e for e in configured() if wanted.match(e[1]) and e[2]]
    if not entries:
        sys.exit(f"no Debian source for {release} is configured in {APT}")
    target = option("--for")
    if target:
        if not re.match(r"^[a-z]+$", target):
            sys.exit(f"not a release codename: {target}")
        entries = [(u, target + s[len(release):], c, o) for u, s, c, o in entries]
        release = target
    if "--archive" in sys.argv[1:]:
        main_archive = [u for u, s, c, o in entries if s == release]
        if not main_archive:
            sys.exit(f"no archive for {release} itself is configured in {APT}")
        print(main_archive[0])
        return
    if "--backports" in sys.argv[1:]:
        backports = f"{release}-backports"
        if not any(e[1] == backports for e in entries):
            entries += [(u, backports, c, o) for u, s, c, o in entries if s == release]
    seen = set()
    for uri, suite, components, options in entries:
        if (uri, suite) in seen:
            continue
        seen.add((uri, suite))
        print(stanza(uri, suite, components, options))
        print()


if __name__ == "__main__":
    main()
