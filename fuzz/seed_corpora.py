#!/usr/bin/env python3
"""Seeds the fuzz corpora from the project's own inputs.

Every input file of an end-to-end case and every example goes to the reader target
of its notation; every statement line of a VHDL file goes to the "Add function"
target; every end-to-end case whose input file is short enough becomes a session
input in the session target's layout (byte 0: command line, byte 1: length of the
input file's text, the text, then standard input). Seeds are named after their
source, so running this again only rewrites the same files.

Usage: seed_corpora.py [corpus folder]   (default: fuzz/corpus beside this file)
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
READER_TARGETS = {".pla": "pla_reader_fuzz", ".vhd": "vhdl_file_fuzz", ".cnf": "dimacs_reader_fuzz"}
# Bits 0-1 of the session's byte 0: the input file's name.
SESSION_NAMES = {".pla": 0, ".vhd": 1, ".cnf": 2}


def parse_case(text):
    """Sections of a case file: (name, argument, body) in order."""
    sections = []
    current = None
    for line in text.splitlines(keepends=True):
        if line.startswith("@") and not line.startswith("@@"):
            header = line.rstrip("\n").split(" ", 1)
            current = [header[0], header[1] if len(header) > 1 else "", []]
            sections.append(current)
        elif current is not None:
            current[2].append(line[1:] if line.startswith("@@") else line)
    result = []
    for name, argument, lines in sections:
        body = "".join(lines)
        if argument.endswith(" -n") or argument == "-n":
            argument = argument[:-3].strip() if argument != "-n" else ""
            body = body[:-1] if body.endswith("\n") else body
        result.append((name, argument, body))
    return result


def write(corpus, target, name, data):
    folder = corpus / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / re.sub(r"[^A-Za-z0-9_.-]", "_", name)).write_bytes(data)


def session_input(arguments, files, stdin):
    words = arguments.split()
    if not words or words[0] not in files:
        return None
    suffix = pathlib.Path(words[0]).suffix
    name_bits = SESSION_NAMES.get(suffix, 3)
    arity_bits = {1: 1, 2: 0, 3: 3}.get(len(words))
    if arity_bits is None:
        return None
    text = files[words[0]].encode()
    if len(text) > 255:
        return None
    typed = files[words[2]].encode() if len(words) == 3 and words[2] in files else stdin.encode()
    return bytes([name_bits | arity_bits << 2, len(text)]) + text + typed


def main():
    corpus = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "fuzz" / "corpus"
    for example in sorted((ROOT / "examples").iterdir()):
        target = READER_TARGETS.get(example.suffix)
        if target:
            write(corpus, target, "example_" + example.name, example.read_bytes())
    for case in sorted((ROOT / "tests" / "e2e" / "cases").rglob("*.case")):
        stem = case.parent.name + "_" + case.stem
        sections = parse_case(case.read_text())
        files = {argument: body for name, argument, body in sections if name == "@file"}
        for file_name, body in files.items():
            target = READER_TARGETS.get(pathlib.Path(file_name).suffix)
            if target:
                write(corpus, target, stem + "_" + file_name, body.encode())
            if file_name.endswith(".vhd"):
                for number, line in enumerate(body.splitlines()):
                    if "<=" in line:
                        write(corpus, "vhdl_command_fuzz", f"{stem}_{number}", line.encode())
        arguments = next((argument for name, argument, _ in sections if name == "@args"), "")
        stdin = next((body for name, _, body in sections if name == "@stdin"), "")
        seed = session_input(arguments, files, stdin)
        if seed is not None:
            write(corpus, "session_fuzz", stem, seed)


if __name__ == "__main__":
    main()
