#!/usr/bin/env python3
"""qctool with real git, in repositories made in a temporary folder: the
switch git-setup turns on (twice: the second run changes nothing) and off
(the configuration as it was), readable diffs without RTF, merges by topic
through the merge driver, a conflict that stops the merge and leaves a file
that loads, and the driver's exit statuses.

    git_test.py QCTOOL SOURCE_DIR
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from qc_checks import check, failures, schema_validator, summary  # noqa: E402,F401

QCTOOL, SRC = sys.argv[1], sys.argv[2]
BASE = os.path.join(SRC, "examples", "merge", "Base.qcp")


def run(*args, cwd):
    return subprocess.run(list(args), cwd=cwd, capture_output=True)


def git(*args, cwd):
    return run("git", *args, cwd=cwd)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def edit(path, old, new):
    data = read(path)
    assert data.count(old) == 1, old
    with open(path, "wb") as f:
        f.write(data.replace(old, new))


def commit(repo, message):
    git("add", "-A", cwd=repo)
    r = git("commit", "-q", "-m", message, cwd=repo)
    assert r.returncode == 0, r.stderr


SAVE_LINE = b"Click Save to keep your changes.\\par"
OPEN_LINE = b"Open the File menu and choose New Notebook.\\par"
INSTALL_KEYWORDS = b"\r\ninstall;setup\r\n"


def main():
    tmp = tempfile.mkdtemp(prefix="qc-git-")
    # The user's own configuration is never read nor touched.
    os.environ.update(HOME=tmp, GIT_CONFIG_GLOBAL=os.path.join(tmp, "gitconfig"), GIT_CONFIG_NOSYSTEM="1",
                      GIT_TERMINAL_PROMPT="0", LC_ALL="C")
    for name in ("GIT_DIR", "GIT_WORK_TREE", "GIT_INDEX_FILE", "XDG_CONFIG_HOME"):
        os.environ.pop(name, None)
    repo = os.path.join(tmp, "repo")
    os.mkdir(repo)
    git("init", "-q", "-b", "main", cwd=repo)
    git("config", "user.name", "Test", cwd=repo)
    git("config", "user.email", "test@example.invalid", cwd=repo)
    config = os.path.join(repo, ".git", "config")
    before = read(config)

    first = run(QCTOOL, "git-setup", "--enable", "--local", "--attributes", cwd=repo)
    check("git-setup --enable succeeds", first.returncode == 0, first.stderr.decode())
    check("it prints what it set", b"set diff.quillcrafter.textconv" in first.stdout and
          b"added the line" in first.stdout, first.stdout.decode())
    enabled = read(config)
    second = run(QCTOOL, "git-setup", "--enable", "--local", "--attributes", cwd=repo)
    check("a second --enable changes nothing", second.returncode == 0 and read(config) == enabled and
          b"nothing to change" in second.stdout, second.stdout.decode())
    check(".gitattributes names the drivers",
          read(os.path.join(repo, ".gitattributes")) == b"*.qcp diff=quillcrafter merge=quillcrafter\n")

    help_file = os.path.join(repo, "Help.qcp")
    with open(help_file, "wb") as f:
        f.write(read(BASE))
    commit(repo, "base")

    # A readable diff: the topic's header names the hunk, the words show, no RTF.
    edit(help_file, SAVE_LINE, b"Click Save often to keep your changes.\\par")
    diff = git("diff", cwd=repo).stdout.decode("utf-8")
    check("git diff shows the changed words", "+Click Save often to keep your changes." in diff, diff)
    check("the hunk header names the topic", "@@ == 4 Saving" in diff, diff)
    check("no RTF control words", "\\par" not in diff and "\\f0" not in diff and "\\viewkind" not in diff, diff)
    git("checkout", "--", "Help.qcp", cwd=repo)

    # Different topics, and different keywords of one topic, merge cleanly.
    def branch(name, *edits):
        """A branch from main with Edits committed; a copy of the file as it stands there."""
        git("checkout", "-q", "-b", name, "main", cwd=repo)
        for old, new in edits:
            edit(help_file, old, new)
        commit(repo, name)
        kept = os.path.join(tmp, name + ".qcp")
        with open(kept, "wb") as f:
            f.write(read(help_file))
        return kept

    ours = branch("ours", (SAVE_LINE, b"Click Save often to keep your changes.\\par"),
                  (INSTALL_KEYWORDS, b"\r\ninstall;setup;upgrade\r\n"))
    theirs = branch("theirs", (OPEN_LINE, b"Open the File menu and choose New Notebook now.\\par"),
                    (INSTALL_KEYWORDS, b"\r\ninstall;setup;download\r\n"))
    git("checkout", "-q", "ours", cwd=repo)
    merged = git("merge", "-q", "--no-edit", "theirs", cwd=repo)
    check("git merge of different topics is clean", merged.returncode == 0, merged.stdout.decode() +
          merged.stderr.decode())

    def classes(latest, history):
        out = run(QCTOOL, "compare", latest, history, cwd=repo).stdout.decode()
        return {line.split("\t")[2]: line.split("\t")[0] for line in out.splitlines() if line.count("\t") == 2}

    against_ours = classes(help_file, ours)
    against_theirs = classes(help_file, theirs)
    check("the merge holds their edit", against_ours.get("Getting Started") == "different" and
          against_ours.get("Saving") == "identical", str(against_ours))
    check("the merge holds our edit", against_theirs.get("Saving") == "different" and
          against_theirs.get("Getting Started") == "identical", str(against_theirs))
    text = run(QCTOOL, "textconv", help_file, cwd=repo).stdout.decode()
    keywords = [line for line in text.splitlines() if line.startswith("Keywords: install")]
    check("both sides' keywords of one topic", len(keywords) == 1 and "upgrade" in keywords[0] and
          "download" in keywords[0], str(keywords))

    # The same line changed differently: the merge stops, the file still loads.
    branch("left", (SAVE_LINE, b"Click Save to keep your work.\\par"))
    branch("right", (SAVE_LINE, b"Click Save to keep your edits.\\par"))
    conflict = git("merge", "-q", "--no-edit", "left", cwd=repo)
    check("a conflict stops git merge", conflict.returncode == 1, conflict.stdout.decode())
    check("git names the file as unmerged", "UU Help.qcp" in git("status", "--short", cwd=repo).stdout.decode())
    loaded = run(QCTOOL, "textconv", help_file, cwd=repo)
    check("the conflicted file loads", loaded.returncode == 0 and "keep your work." in loaded.stdout.decode() and
          "keep your edits." in loaded.stdout.decode(), loaded.stderr.decode())
    git("merge", "--abort", cwd=repo)

    # The driver's own statuses: an error is 2 (never above 128) and names %P.
    bad = os.path.join(tmp, "bad.qcp")
    with open(bad, "wb") as f:
        f.write(b"not a project\r\n")
    copy = os.path.join(tmp, "copy.qcp")
    with open(copy, "wb") as f:
        f.write(read(BASE))
    failed = run(QCTOOL, "merge-driver", BASE, copy, bad, "7", "docs/Help.qcp", cwd=repo)
    check("an unreadable side is exit 2", failed.returncode == 2, str(failed.returncode))
    check("its message names the path", b"docs/Help.qcp" in failed.stderr, failed.stderr.decode())
    check("and ours is left as it was", read(copy) == read(BASE))

    off = run(QCTOOL, "git-setup", "--disable", "--local", "--attributes", cwd=repo)
    check("git-setup --disable succeeds", off.returncode == 0, off.stderr.decode())
    check("--disable leaves the configuration as before", read(config) == before,
          read(config).decode(errors="replace"))
    check("and takes the attributes file it made", not os.path.exists(os.path.join(repo, ".gitattributes")))
    again = run(QCTOOL, "git-setup", "--disable", "--local", cwd=repo)
    check("a second --disable changes nothing", again.returncode == 0 and b"nothing to change" in again.stdout)

    # --global: the folder of the configuration file is made when missing.
    os.environ["GIT_CONFIG_GLOBAL"] = os.path.join(tmp, "new", "folder", "config")
    on = run(QCTOOL, "git-setup", "--enable", "--global", cwd=tmp)
    check("--global creates missing folders", on.returncode == 0 and
          os.path.exists(os.environ["GIT_CONFIG_GLOBAL"]), on.stderr.decode())
    run(QCTOOL, "git-setup", "--disable", "--global", cwd=tmp)
    check("--disable --global empties it again", read(os.environ["GIT_CONFIG_GLOBAL"]).strip() == b"")

    return summary()


if __name__ == "__main__":
    sys.exit(main())
