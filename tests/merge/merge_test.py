#!/usr/bin/env python3
"""qctool merge on the example triple: the exit codes (0 merged, 1
conflicts remain, 2 error with OUT untouched), the plan against
docs/merge-plan.schema.json, what the merged file holds, --take, and
merging a side with an unchanged one giving that side byte for byte.

    merge_test.py QCTOOL SOURCE_DIR
"""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from qc_checks import check, failures, schema_validator, summary  # noqa: E402,F401


QCTOOL, SRC = sys.argv[1], sys.argv[2]
EXAMPLES = os.path.join(SRC, "examples", "merge")
BASE, OURS, THEIRS = (os.path.join(EXAMPLES, n + ".qcp") for n in ("Base", "Ours", "Theirs"))


def merge(*args):
    return subprocess.run([QCTOOL, "merge", *args], capture_output=True).returncode


def read(path):
    with open(path, "rb") as f:
        return f.read()


def validator():
    return schema_validator(SRC, "merge-plan.schema.json")


def main():
    v = validator()
    with tempfile.TemporaryDirectory() as tmp:
        out, plan = os.path.join(tmp, "out.qcp"), os.path.join(tmp, "plan.json")

        status = merge(BASE, OURS, THEIRS, "-o", out, "--plan", plan)
        check("a conflict left: exit 1", status == 1, str(status))
        with open(plan, encoding="utf-8") as f:
            document = json.load(f)
        errors = list(v.iter_errors(document))
        check("the plan matches its schema", not errors, "; ".join(e.message for e in errors[:5]))
        check("the plan counts one conflict", document["conflicts"] == 1 and document["unresolved"] == 1)
        actions = {(d["level"], d.get("name", ""), d["action"]) for d in document["decisions"]}
        check("keywords merged as sets", ("field", "Keywords", "merged") in actions)
        check("words merged inside a line", ("text", "Text", "merged") in actions)
        merged = read(out)
        check("the words of both sides", b"Printing takes two minutes for a long document." in merged)
        check("wording and formatting both kept", b"Press \\b Save\\b0  to keep your changes." in merged)
        check("keywords of both sides", b"install;requirements" in merged)
        check("a topic from each side", b"Exporting" in merged and b"Searching" in merged)
        check("the conflict marked in the text",
              b"<<<<<<< ours\\par}" in merged and b">>>>>>> theirs\\par}" in merged)
        resaved = os.path.join(tmp, "resaved.qcp")
        subprocess.run([QCTOOL, "resave", out, resaved], check=True)
        check("the merged file reads back as written", read(resaved) == merged)

        status = merge(BASE, OURS, THEIRS, "-o", out, "--plan", plan, "--take", "theirs",
                       "--label-ours", "mine", "--label-theirs", "yours")
        with open(plan, encoding="utf-8") as f:
            document = json.load(f)
        check("--take resolves every conflict: exit 0", status == 0, str(status))
        check("--take is in the plan",
              all(d.get("resolution") == "theirs" for d in document["decisions"] if d["action"] == "conflict"))
        check("--take theirs takes their line", b"Press Ctrl+T to add a page." in read(out))
        check("labels in the plan", document["labels"] == {"ours": "mine", "theirs": "yours"})

        # A label that is not UTF-8 still gives a plan that parses, and a marked file.
        status = subprocess.run([QCTOOL, "merge", BASE, OURS, THEIRS, "-o", out, "--plan", plan,
                                 b"--label-ours", b"caf\xe9 {x}"], capture_output=True).returncode
        with open(plan, encoding="utf-8") as f:
            document = json.load(f)
        check("a label of any bytes", status == 1 and document["labels"]["ours"] == "caf\ufffd {x}")
        check("the label escaped in the text", b"<<<<<<< caf\\'e9 \\{x\\}\\par}" in read(out))

        for side in (OURS, THEIRS):
            status = merge(BASE, side, BASE, "-o", out)
            check("merge(B, X, B) = X", status == 0 and read(out) == read(side))
            status = merge(BASE, BASE, side, "-o", out)
            check("merge(B, B, X) = X", status == 0 and read(out) == read(side))
            status = merge(BASE, side, side, "-o", out)
            check("merge(B, X, X) = X", status == 0 and read(out) == read(side))

        with open(out, "wb") as f:
            f.write(b"keep me")
        broken = os.path.join(tmp, "broken.qcp")
        with open(broken, "wb") as f:
            f.write(b"not a project\r\n")
        for name, args in (("unreadable input", [BASE, broken, THEIRS, "-o", out]),
                           ("missing input", [BASE, os.path.join(tmp, "none.qcp"), THEIRS, "-o", out]),
                           ("no -o", [BASE, OURS, THEIRS]),
                           ("bad --take", [BASE, OURS, THEIRS, "-o", out, "--take", "mine"]),
                           ("two files", [BASE, OURS, "-o", out])):
            status = merge(*args)
            check(name + ": exit 2, OUT untouched", status == 2 and read(out) == b"keep me", str(status))
    return summary()


if __name__ == "__main__":
    sys.exit(main())
