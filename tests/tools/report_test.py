#!/usr/bin/python3
"""report_test.py MODE QCTOOL SOURCE_DIR BUILD_DIR [GEN_PROJECT_PAIR]

MODE formats: `qctool report` on the example pair in CSV (read back by the
csv module) and JSON (validated against docs/report.schema.json), a pair
with hostile titles and texts in all three formats, and the --exit-code
statuses. MODE browser: the HTML page of the example pair opened in
headless chromium, its DOM checked against `qctool compare`, and a
screenshot left in the build folder; exits 77 (skipped) when chromium
cannot start. Expectations come from `qctool compare`, so examples may grow.
"""
import csv
import html.parser
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from qc_checks import schema_validator  # noqa: E402

MODE, QCTOOL, SRC, BUILD = sys.argv[1:5]
GEN_PAIR = sys.argv[5] if len(sys.argv) > 5 and os.path.exists(sys.argv[5]) else None
LATEST = os.path.join(SRC, "examples", "Latest.qcp")
HISTORY = os.path.join(SRC, "examples", "History.qcp")
LABELS = {"different": "Different", "identical": "Identical", "identical-text": "Identical text",
          "new": "New", "deleted": "Deleted"}
PANEL_CLASSES = {"Different Topics": "different", "Identical Topics": "identical",
                 "Identical Text Topics": "identical-text", "New Topics": "new", "Deleted Topics": "deleted"}
failures = []
passed = 0


def check(name, condition, detail=""):
    global passed
    if condition:
        passed += 1
    else:
        failures.append(name)
        print(f"FAILED: {name} {detail}"[:2000])


def run(*args, env=None):
    return subprocess.run([QCTOOL, *args], capture_output=True, env=env, timeout=300)


def compare_expectations(latest, history):
    """The entries and counters `qctool compare --deleted` prints."""
    out = run("compare", latest, history, "--deleted").stdout.decode("cp1252", "replace")
    entries, counts = [], {}
    for line in out.splitlines():
        if "\t" in line:
            cls, topic_id, title = line.split("\t", 2)
            entries.append((cls, int(topic_id), title))
        else:
            panel, count = line.rsplit(": ", 1)
            counts[PANEL_CLASSES[panel]] = int(count)
    return entries, counts


def report(*args):
    result = run("report", *args)
    if result.returncode != 0:
        raise SystemExit(f"qctool report {' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
    return result.stdout


def load_schema():
    return schema_validator(SRC, "report.schema.json")


# --- CSV and JSON of the example pair ----------------------------------------------------


def check_examples(validator):
    entries, counts = compare_expectations(LATEST, HISTORY)
    check("compare lists the example topics", len(entries) > 0)

    raw = report(LATEST, HISTORY, "--deleted", "--format", "csv")
    rows = list(csv.reader(io.StringIO(raw.decode("utf-8"), newline="")))
    check("csv header", rows[0] == ["class", "latest_id", "history_id", "title", "differing_fields",
                                    "lines_added", "lines_removed"], rows[0])
    check("csv lines end with CR LF", raw.count(b"\r\n") == len(rows) and b"\n" not in raw.replace(b"\r\n", b""))
    got = [(r[0], int(r[1] or r[2]), r[3]) for r in rows[1:]]
    check("csv rows are the compared topics", got == entries, f"{got} != {entries}")
    for r in rows[1:]:
        added, removed = int(r[5]), int(r[6])
        if r[0] == "identical":
            check(f"csv identical topic {r[1]} has no changes", (added, removed, r[4]) == (0, 0, ""), r)
        if r[0] == "new":
            check(f"csv new topic {r[1]} only adds", added > 0 and removed == 0 and r[2] == "", r)
        if r[0] == "deleted":
            check(f"csv deleted topic {r[2]} only removes", added == 0 and removed > 0 and r[1] == "", r)

    only = list(csv.reader(io.StringIO(report(LATEST, HISTORY, "--format", "csv", "--only", "new,different")
                                       .decode("utf-8"), newline="")))
    check("csv --only lists those classes", [r[0] for r in only[1:]] ==
          [e[0] for e in entries if e[0] in ("new", "different")])

    document = json.loads(report(LATEST, HISTORY, "--deleted", "--format", "json"))
    errors = sorted(validator.iter_errors(document), key=str)
    check("json matches the schema", not errors, "; ".join(e.message for e in errors[:5]))
    check("json counts are compare's", document["counts"] == counts, f"{document['counts']} != {counts}")
    check("json topics are the compared topics",
          [(t["class"], t["latestId"] if t["latestId"] is not None else t["historyId"], t["title"])
           for t in document["topics"]] == entries)
    for topic in document["topics"]:
        rows = topic["rows"]
        if topic["class"] in ("identical", "identical-text"):
            check(f"json topic {topic['title']} has no rows", rows == [])
            continue
        added = sum(1 for r in rows if r["kind"] in ("changed", "added"))
        removed = sum(1 for r in rows if r["kind"] in ("changed", "removed"))
        check(f"json line counts of {topic['title']}", (added, removed) ==
              (topic["linesAdded"], topic["linesRemoved"]))
        for r in rows:
            for side in ("latest", "history"):
                for start, length in r.get(side + "Spans", []):
                    check(f"json span inside its line ({topic['title']})", start + length <= len(r[side]), r)


# --- Hostile content ---------------------------------------------------------------------

HOSTILE_TITLE = b'<script>alert("x&y")</script> \'q\' a,b N\x00L \x81\x8d\xff end'
HOSTILE_TEXT = b'<script>document.title=1</script> & "q" \'s\' \\\'00 nul \\\'0d cr \\\'81 '


def write_hostile_pair(folder):
    """Latest: the first topic retitled and its text full of markup, a NUL,
    a CR and an unassigned byte; a glossary word made italic (a formatting
    change only). History: the example as it is. The Latest file's name is
    not UTF-8 and holds markup."""
    data = open(LATEST, "rb").read()
    for old, new in ((b"\r\nWelcome\r\n", b"\r\n" + HOSTILE_TITLE + b"\r\n"),
                     (b"Inkwell Notes keeps", HOSTILE_TEXT + b"Inkwell Notes keeps"),
                     (b"a file that holds pages.", b"a file that holds \\i pages\\i0 .")):
        if old not in data:
            raise SystemExit(f"examples/Latest.qcp no longer holds {old!r}, which this test changes")
        data = data.replace(old, new, 1)
    name = os.path.join(folder.encode(), b"L\xe9<b>&\".qcp")
    with open(name, "wb") as f:
        f.write(data)
    return name


def check_hostile(validator, folder):
    latest = write_hostile_pair(folder)
    outputs = {fmt: report(latest, HISTORY, "--deleted", "--format", fmt) for fmt in ("html", "csv", "json")}
    for fmt, raw in outputs.items():
        try:
            raw.decode("utf-8", "strict")
            valid = True
        except UnicodeDecodeError as error:
            valid = error
        check(f"hostile {fmt} is valid UTF-8", valid is True, valid)
    for fmt in ("html", "csv"):
        check(f"hostile {fmt} holds no NUL and no bare CR in text",
              b"\x00" not in outputs[fmt] and b"\r" not in outputs[fmt].replace(b"\r\n", b""))

    # HTML: markup from the files is text, never elements.
    page = outputs["html"].decode("utf-8")

    class Collector(html.parser.HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.tags, self.text = [], []

        def handle_starttag(self, tag, attrs):
            self.tags.append(tag)

        def handle_data(self, data):
            self.text.append(data)

    collector = Collector()
    collector.feed(page)
    text = "".join(collector.text)
    check("hostile html has no script element", "script" not in collector.tags and "b" not in collector.tags)
    check("hostile html shows the title as text", '<script>alert("x&y")</script> \'q\' a,b N\u2400L' in text)
    check("hostile html shows the text as text", '<script>document.title=1</script> & "q"' in text)
    check("hostile html shows the file name", 'L\ufffd<b>&".qcp' in text)
    check("hostile html notes the formatting change", "italic added: 'pages'" in text)

    # CSV: the title survives quoting; the NUL shows as its symbol.
    rows = list(csv.reader(io.StringIO(outputs["csv"].decode("utf-8"), newline="")))
    first = rows[1]
    check("hostile csv keeps its columns", all(len(r) == 7 for r in rows), rows[:3])
    check("hostile csv title", first[3].startswith('<script>alert("x&y")</script> \'q\' a,b N\u2400L'), first)

    # JSON: valid against the schema; the NUL is \u0000, the file name decoded with U+FFFD.
    document = json.loads(outputs["json"])
    errors = list(validator.iter_errors(document))
    check("hostile json matches the schema", not errors, "; ".join(e.message for e in errors[:5]))
    topic = document["topics"][0]
    check("hostile json title", topic["title"].startswith('<script>alert("x&y")</script> \'q\' a,b N\x00L'),
          repr(topic["title"]))
    check("hostile json file name", document["latest"]["file"].endswith('L\ufffd<b>&".qcp'))
    texts = [r["latest"] for r in topic["rows"] if r["latest"]]
    check("hostile json text rows", any("<script>document.title=1</script>" in t for t in texts), texts)
    notes = [r.get("formatting", "") for t in document["topics"] for r in t["rows"]]
    check("hostile json formatting note", any("italic added: 'pages'" in n for n in notes), notes)


# --- Exit codes ----------------------------------------------------------------------------


def check_exit_codes(folder):
    def status(*args):
        return run(*args).returncode

    for command in ("compare", "report"):
        check(f"{command} --exit-code: differences give 1", status(command, LATEST, HISTORY, "--exit-code") == 1)
        check(f"{command} --exit-code: the same file gives 0", status(command, LATEST, LATEST, "--exit-code") == 0)
        check(f"{command} --exit-code: a missing file gives 2",
              status(command, LATEST, os.path.join(folder, "missing.qcp"), "--exit-code") == 2)
        check(f"{command} --exit-code: a wrong option gives 2",
              status(command, LATEST, HISTORY, "--match", "nothing", "--exit-code") == 2)
        check(f"{command} without --exit-code: differences give 0", status(command, LATEST, HISTORY) == 0)
        check(f"{command} without --exit-code: errors give 1",
              status(command, LATEST, os.path.join(folder, "missing.qcp")) == 1)
    check("report --exit-code to a file", status("report", LATEST, HISTORY, "--exit-code", "-o",
                                                 os.path.join(folder, "r.html")) == 1)
    check("report -o wrote the page", open(os.path.join(folder, "r.html"), "rb").read().startswith(b"<!DOCTYPE"))
    # A report never takes the place of a file it compares.
    copy = os.path.join(folder, "latest-copy.qcp")
    shutil.copyfile(LATEST, copy)
    check("report -o onto its Latest file is refused", status("report", copy, HISTORY, "-o", copy) == 1 and
          open(copy, "rb").read() == open(LATEST, "rb").read())
    linked = os.path.join(folder, "latest-link.html")
    os.link(copy, linked)
    check("report -o onto a hard link of its Latest file is refused",
          status("report", copy, HISTORY, "-o", linked) == 1 and open(copy, "rb").read() == open(LATEST, "rb").read())
    if GEN_PAIR is None:
        print("note: gen_project_pair not built; the case of topics only in History is left out")
        return
    # Latest has the first 3 generated topics, History the first 5: nothing differs but 2 are only in History.
    small, big = (os.path.join(folder, n) for n in ("3.qcp", "5.qcp"))
    subprocess.run([GEN_PAIR, "3", small, os.path.join(folder, "3b.qcp")], check=True)
    subprocess.run([GEN_PAIR, "5", big, os.path.join(folder, "5b.qcp")], check=True)
    for command in ("compare", "report"):
        check(f"{command} --exit-code ignores topics only in History without --deleted",
              status(command, small, big, "--exit-code") == 0)
        check(f"{command} --exit-code --deleted counts them", status(command, small, big, "--exit-code",
                                                                     "--deleted") == 1)


# --- The page in a browser -------------------------------------------------------------------


def chromium(*args, profile):
    exe = shutil.which("chromium") or shutil.which("chromium-browser")
    if exe is None:
        return None
    command = [exe, "--headless", "--no-sandbox", "--disable-gpu", "--enable-logging=stderr", "--v=0",
               f"--user-data-dir={profile}", *args]
    try:
        return subprocess.run(command, capture_output=True, timeout=180)
    except (OSError, subprocess.TimeoutExpired):
        return None


class DomReader(html.parser.HTMLParser):
    """The rows of the topic table and the bar chart, and every element's tag."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.topics, self.bars = [], [], {}
        self.table = None
        self.row = None
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        if tag == "table":
            self.table = attrs.get("class")
        elif tag == "tr" and self.table in ("topics", "bars") and "data-class" in attrs:
            self.row = {"class": attrs["data-class"], "cells": []}
        elif tag in ("td", "th") and self.row is not None:
            self.cell = []

    def handle_data(self, data):
        if self.cell is not None:
            self.cell.append(data)

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.row["cells"].append("".join(self.cell).strip())
            self.cell = None
        elif tag == "tr" and self.row is not None:
            if self.table == "topics":
                self.topics.append(self.row)
            else:
                self.bars[self.row["class"]] = self.row
            self.row = None
        elif tag == "table":
            self.table = None


def check_browser(folder):
    page = os.path.join(folder, "examples.html")
    with open(page, "wb") as f:
        f.write(report(LATEST, HISTORY, "--deleted"))
    url = "file://" + page
    dump = chromium("--dump-dom", url, profile=os.path.join(folder, "profile"))
    if dump is None or dump.returncode != 0 or b"<html" not in dump.stdout:
        detail = "not found" if dump is None else dump.stderr.decode(errors="replace")[-600:]
        print(f"SKIPPED: chromium cannot start here ({detail.strip()})")
        return 77
    entries, counts = compare_expectations(LATEST, HISTORY)
    dom = DomReader()
    dom.feed(dump.stdout.decode("utf-8"))
    check("the page runs no script", "script" not in dom.tags)
    errors = [line for line in dump.stderr.decode(errors="replace").splitlines() if "Uncaught" in line]
    check("the page logs no script error", not errors, errors)
    check("one table row per compared topic", len(dom.topics) == len(entries), f"{len(dom.topics)} != {len(entries)}")
    for row, (cls, topic_id, title) in zip(dom.topics, entries):
        cells = row["cells"]
        shown_id = cells[2] if cls == "deleted" else cells[1]
        check(f"row of topic {topic_id}", row["class"] == cls and cells[0].endswith(LABELS[cls]) and
              shown_id == str(topic_id) and cells[3] == title, f"{cells} vs {(cls, topic_id, title)}")
    for cls, count in counts.items():
        bar = dom.bars.get(cls)
        check(f"bar of {cls}", bar is not None and bar["cells"][1] == str(count), bar)
    shot = os.path.join(BUILD, "report-examples.png")
    taken = chromium(f"--screenshot={shot}", "--window-size=1200,2400", "--hide-scrollbars", url,
                     profile=os.path.join(folder, "profile"))
    check("the screenshot is left in the build folder", taken is not None and os.path.getsize(shot) > 10000)
    print(f"screenshot: {shot}")
    return 0


def main():
    with tempfile.TemporaryDirectory() as folder:
        if MODE == "browser":
            if check_browser(folder) == 77:
                return 77
        else:
            validator = load_schema()
            check_examples(validator)
            check_hostile(validator, folder)
            check_exit_codes(folder)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
