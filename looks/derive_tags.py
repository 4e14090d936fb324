#!/usr/bin/env python3
"""Lists, per look of looks/points.txt, lines.txt and polygons.txt, the tags
that the styles bundled with mkgmap map to the look's type code: the positive
tags of each rule, as alternatives of conjunctions, counted over the styles.
It is a help for writing the looks' "tags" lines by hand, not a generator.

    looks/derive_tags.py [--jar /usr/share/mkgmap/mkgmap.jar] [--unknown]

mkgmap reads each style (StyleImpl prints its rules in normal form, include
files resolved); negations, comparisons and functions say nothing about what
a type is, and keys that only qualify a feature (name, access, ...) are left
out. --unknown lists the codes the styles use that no look has.
"""
import argparse
import collections
import os
import re
import subprocess
import sys
import tempfile

# Keys that qualify a feature of any kind, or that mkgmap keeps for itself.
QUALIFIERS = {
    "name", "ref", "int_ref", "access", "area", "layer", "tunnel", "bridge", "ele", "population",
    "operator", "brand", "network", "foot", "bicycle", "motorcar", "motor_vehicle", "vehicle",
    "oneway", "surface", "country", "fixme", "note", "level", "building:levels", "addr:housenumber",
    "website", "opening_hours", "wheelchair", "route_ref", "contour_ext", "seamark:name",
}
SECTIONS = {"points": "point", "lines": "line", "polygons": "polygon"}


def tokens(text):
    """The condition's tokens, the action block and the type bracket left out."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c in " \t":
            i += 1
        elif c in "{[":
            break
        elif c in "'\"":
            j = text.find(c, i + 1)
            j = n if j < 0 else j
            out.append(("word", text[i + 1:j]))
            i = j + 1
        elif text.startswith(("!=", "!~", "<=", ">="), i):
            out.append(("op", text[i:i + 2]))
            i += 2
        elif c in "=~<>":
            out.append(("op", c))
            i += 1
        elif c in "()|&!":
            out.append((c, c))
            i += 1
        else:
            j = i
            while j < n and text[j] not in " \t'\"!=~<>()|&{[":
                j += 1
            out.append(("word", text[i:j]))
            i = j
    return out


def regex_words(regex):
    """The plain words a regular expression's alternatives stand for."""
    def strip(r):
        while True:
            before = r
            r = re.sub(r"^(\^|\.\*)", "", r)
            r = re.sub(r"(\$|\.\*)$", "", r)
            if r.startswith("(") and r.endswith(")") and depth_ok(r[1:-1]):
                r = r[1:-1]
            if r == before:
                return r

    def depth_ok(r):
        d = 0
        for ch in r:
            d += ch == "("
            d -= ch == ")"
            if d < 0:
                return False
        return d == 0

    def split(r):
        branches, d, start = [], 0, 0
        for k, ch in enumerate(r):
            d += ch == "("
            d -= ch == ")"
            if ch == "|" and d == 0:
                branches.append(r[start:k])
                start = k + 1
        branches.append(r[start:])
        return branches

    regex = strip(regex)
    branches = split(regex)
    if len(branches) > 1:
        return [w for branch in branches for w in regex_words(branch)]
    return [regex] if re.fullmatch(r"[A-Za-z0-9_-]+", regex) else []


class Parser:
    """Disjunctive normal form of the positive tags: a list of alternatives,
    each a frozenset of (key, value); a negated branch stands for no tag."""

    def __init__(self, toks):
        self.t, self.i = toks, 0

    def peek(self):
        return self.t[self.i][0] if self.i < len(self.t) else None

    def take(self):
        self.i += 1
        return self.t[self.i - 1]

    def parse_or(self):
        alts = self.parse_and()
        while self.peek() == "|":
            self.take()
            alts = alts + self.parse_and()
        return alts

    def parse_and(self):
        alts = self.parse_unary()
        while self.peek() == "&":
            self.take()
            right = self.parse_unary()
            alts = [a | b for a in alts for b in right]
        return alts

    def parse_unary(self):
        kind = self.peek()
        if kind == "!":
            self.take()
            self.parse_unary()
            return [frozenset()]
        if kind == "(":
            self.take()
            alts = self.parse_or()
            if self.peek() == ")":
                self.take()
            return alts
        if kind != "word":
            if kind is not None:
                self.take()
            return [frozenset()]
        key = self.take()[1].strip().lstrip("$")
        if self.peek() == "(":  # a function such as length()
            while self.peek() not in (None, ")"):
                self.take()
            if self.peek() == ")":
                self.take()
            key = None
        if self.peek() != "op":
            return [frozenset()]
        op = self.take()[1]
        value = self.take()[1].strip() if self.peek() == "word" else ""
        if key is None or not value:
            return [frozenset()]
        if op == "=":
            return [frozenset({(key, value)})]
        if op == "~":
            words = regex_words(value)
            return [frozenset({(key, w)}) for w in words] or [frozenset()]
        return [frozenset()]


def alternatives(condition):
    alts = Parser(tokens(condition)).parse_or()
    out = set()
    for alt in alts:
        kept = {(k, v) for k, v in alt if k not in QUALIFIERS and not k.startswith(("mkgmap:", "tmp:"))}
        # key=* beside key=value of the same key says nothing more.
        kept = {(k, v) for k, v in kept if v != "*" or not any(k == k2 and v2 != "*" for k2, v2 in kept)}
        if kept:
            out.add(frozenset(kept))
    return out


def library_key(section, code):
    """As entry_builder's library_key: the form the library writes a code in.
    mkgmap prints a point's code without its leading zero (0x100 for 0x0100)."""
    key = code.lower()[2:]
    if section == "point" and len(key) % 2:
        key = "0" + key
    if len(key) == 4:
        key = "0" + key
    if section == "line":
        key = key.rjust(3, "0")
        if len(key) == 3:
            key += "00"
    elif section == "polygon":
        key = key.rjust(2, "0")
        if len(key) == 5:
            if key[0] == "0":
                key = key[1:3]
            elif key[3:] == "00":
                key = key[:3]
    return key


def style_rules(jar):
    """(style, section, code, condition) of each rule of each bundled style."""
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run(["cmake", "-E", "tar", "xf", jar, "styles"], cwd=tmp, check=True)
        for style in sorted(os.listdir(os.path.join(tmp, "styles"))):
            printed = subprocess.run(
                ["java", "-cp", jar, "uk.me.parabola.mkgmap.osmstyle.StyleImpl", os.path.join(tmp, "styles"), style],
                capture_output=True, text=True).stdout
            section = None
            for line in printed.splitlines():
                head = re.fullmatch(r"<<<(\w+)>>>", line)
                if head:
                    section = SECTIONS.get(head.group(1))
                    continue
                if section is None or line.startswith("#"):
                    continue
                for code in re.findall(r"\[\s*(0x[0-9a-fA-F]+)", line):
                    yield style, section, code, line


def main():
    args = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    args.add_argument("--jar", default="/usr/share/mkgmap/mkgmap.jar")
    args.add_argument("--unknown", action="store_true")
    opts = args.parse_args()
    looks = os.path.dirname(os.path.abspath(__file__))

    found = collections.defaultdict(collections.Counter)  # (section, key) -> alternative -> rules
    for style, section, code, condition in style_rules(opts.jar):
        for alt in alternatives(condition):
            found[(section, int(library_key(section, code), 16))][alt] += 1

    known = set()
    for name, kind in (("points.txt", "point"), ("lines.txt", "line"), ("polygons.txt", "polygon")):
        with open(os.path.join(looks, name)) as source:
            for line in source:
                words = line.split()
                if not words or words[0] not in ("point", "line", "dashed", "area", "filled"):
                    continue
                # Compared as numbers: a style may write 0x10400 for the library's 0x010400.
                key = (kind, int(library_key(kind, words[1]), 16))
                known.add(key)
                if opts.unknown:
                    continue
                print(line.rstrip())
                for alt, n in found[key].most_common(8):
                    print("    %3d  %s" % (n, " & ".join("%s=%s" % t for t in sorted(alt))))
    if opts.unknown:
        for key in sorted(set(found) - known):
            print(key[0], hex(key[1]), "; ".join(" & ".join("%s=%s" % t for t in sorted(a))
                                                 for a, _ in found[key].most_common(3)))


if __name__ == "__main__":
    sys.exit(main())
