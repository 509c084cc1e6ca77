#!/usr/bin/env python3
"""End-to-end check on real benchmark files: DNF then "Save as PLA" of a few corpus
PLA files (../shared/bench/pla, beside the checkout) must write exactly the bytes
recorded here as SHA-256 digests. The files are ones whose saved cover changes
when the engine's sweep visits the variables in another order than it is
specified to, which generated tests rarely reach; the corpus itself is not copied
into the project, only the digests of what boolfn writes for it.

Exit status 0 when every file gives its bytes, 1 on a difference, 77 (skipped)
without the corpus.
"""

import argparse
import hashlib
import os
import subprocess
import sys
import tempfile

# file: (SHA-256 of the saved PLA, its size in bytes)
DNF_SAVES = {
    "squar5": ("2c15b7f532ad790d068c397772ffc9c30a994b2526c9ac9d94b83e65ac7c8e90", 512),
    "inc": ("a886c0281a9f6b03067c3f59ee820c242c1e208b819b126eed18a699191f9d89", 1094),
    "rd84": ("7029f4fceffec2223f45223092ca32f0a727ef180b479b511a63db3159af546d", 4150),
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--binary", required=True)
    default_corpus = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..",
                                  "shared", "bench", "pla")
    parser.add_argument("--corpus", default=default_corpus)
    options = parser.parse_args()
    if not os.path.isdir(options.corpus):
        print("SKIPPED: no corpus at %s" % options.corpus)
        return 77
    failed = 0
    for name, (digest, size) in sorted(DNF_SAVES.items()):
        with tempfile.TemporaryDirectory(prefix="boolfn-corpus-") as folder:
            with open(os.path.join(options.corpus, name + ".pla"), "rb") as source:
                data = source.read()
            with open(os.path.join(folder, "in.pla"), "wb") as handle:
                handle.write(data)
            subprocess.run([os.path.abspath(options.binary), "in.pla", "out.pla"], cwd=folder,
                           input=b"4\n9\n1\n15\n", stdout=subprocess.DEVNULL, timeout=120)
            with open(os.path.join(folder, "out.pla"), "rb") as handle:
                written = handle.read()
        actual = hashlib.sha256(written).hexdigest()
        if actual != digest or len(written) != size:
            failed += 1
            print("FAIL %s: wrote %d bytes with digest %s, expected %d bytes, %s" %
                  (name, len(written), actual, size, digest))
        else:
            print("PASS %s" % name)
    print("%d passed, %d failed" % (len(DNF_SAVES) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
