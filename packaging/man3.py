#!/usr/bin/env python3
"""A section-3 manual page for each export of kalpo.h, made from the comment
above its declaration: NAME, SYNOPSIS (the declaration as written),
DESCRIPTION, SEE ALSO.  Only the exports get a page; each is a page of its
own (no redirect), compressed as Debian keeps them.

    man3.py <kalpo.h> <output folder> <version>

The pages carry the version and no date, so that any build makes the same.
"""
import gzip
import io
import re
import sys


def roff(text: str) -> str:
    text = text.replace("\\", "\\e")
    lines = []
    for line in text.split("\n"):
        if line.startswith((".", "'")):
            line = "\\&" + line
        lines.append(line)
    return "\n".join(lines)


def exports(header: str):
    """(name, comment, declaration) of each export, in the header's order."""
    pattern = re.compile(r"/\*(?P<comment>(?:(?!\*/).)*)\*/\s*\n(?P<declaration>KALPO_API [^;]*\bKALPO_CALL "
                         r"(?P<name>KALPO_[A-Za-z_0-9]+)\([^;]*\);)", re.S)
    for match in pattern.finditer(header):
        comment = match.group("comment")
        # The comment nearest the declaration: after the last blank comment line.
        text = " ".join(line.strip().lstrip("*").strip() for line in comment.split("\n"))
        declaration = re.sub(r"\s+", " ", match.group("declaration")).replace("KALPO_API ", "").replace(
            "KALPO_CALL ", "")
        yield match.group("name"), " ".join(text.split()), declaration


def summary(comment: str) -> str:
    """The first sentence that says what the function does (not which models
    take it), up to its first semicolon."""
    sentences = [s for s in re.split(r"(?<=\.) (?=[A-Z*])", comment) if not s.startswith("Models:")]
    return (sentences or [comment])[0].split(";")[0].rstrip(".")


def page(name: str, comment: str, declaration: str, version: str, date: str) -> str:
    return "\n".join([
        f'.TH {name} 3 "{date}" "KALPO {version}" "KALPO library functions"',
        ".SH NAME",
        f"{name} \\- {roff(summary(comment))}",
        ".SH SYNOPSIS",
        ".nf",
        ".B #include <kalpo.h>",
        "",
        f".B {roff(declaration)}",
        ".fi",
        ".PP",
        "Link with \\fI\\-lkalpo\\fP (pkg-config: kalpo).",
        ".SH DESCRIPTION",
        roff(comment),
        ".SH SEE ALSO",
        ".BR kalpo (1)",
        "",
    ])


def main() -> int:
    header_file, folder, version = sys.argv[1:4]
    date = ""
    with open(header_file, encoding="utf-8") as f:
        header = f.read()
    count = 0
    for name, comment, declaration in exports(header):
        data = page(name, comment, declaration, version, date).encode("utf-8")
        buffer = io.BytesIO()
        with gzip.GzipFile(filename="", mode="wb", fileobj=buffer, mtime=0, compresslevel=9) as z:
            z.write(data)
        with open(f"{folder}/{name}.3.gz", "wb") as out:
            out.write(buffer.getvalue())
        count += 1
    if count != 43:
        print(f"man3.py: {count} exports found in {header_file}, 43 expected", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
