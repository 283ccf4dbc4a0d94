#!/usr/bin/env python3
"""Copies FOLDER, previews and renames the copy with the given options, and checks that the
folder afterwards is exactly what the preview said (or, on failure, unchanged), with no entry
or byte lost.

usage: scripts/check-preview-equals-rename.py FOLDER [RENAME OPTIONS...]
       (CLI=path/to/tidemark-cli; default build/cli/tidemark-cli)
Exit status 0 when the folder matches, 1 otherwise."""
import json, os, subprocess, sys, tempfile

CLI = os.environ.get("CLI", os.path.join(os.path.dirname(__file__), "..", "build", "cli", "tidemark-cli"))


def entries(folder):
    """name bytes -> (inode, size, kind) of every entry, symbolic links not followed."""
    out = {}
    for e in os.scandir(os.fsencode(folder)):
        st = os.lstat(e.path)
        out[e.name] = (st.st_ino, st.st_size, st.st_mode >> 12)
    return out


def totals(folder):
    count = size = 0
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            st = os.lstat(os.path.join(root, name))
            count += 1
            size += 0 if (st.st_mode >> 12) == 4 else st.st_size
    return count, size


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    source, options = sys.argv[1], sys.argv[2:]
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "w")
        # cp -a copies FIFOs, sockets and symbolic links as they are.
        subprocess.run(["cp", "-a", "--", source, work], check=True)
        before, totals0 = entries(work), totals(work)
        p = subprocess.run([CLI, "preview", work, *options, "--json"], capture_output=True)
        if p.returncode != 0:
            print(f"preview exit {p.returncode}: {p.stderr.decode(errors='replace').strip()}")
            return 1
        # Names that are not UTF-8 come back as \udcXX, as surrogate escapes give them.
        pairs = [(os.fsencode(r["old"]), os.fsencode(r["new"])) for r in json.loads(p.stdout)]
        changed = [(o, n) for o, n in pairs if o != n]
        r = subprocess.run([CLI, "rename", work, *options], capture_output=True)
        after, problems = entries(work), []
        if totals(work) != totals0:
            problems.append(f"entries/bytes {totals0} -> {totals(work)}")
        if r.returncode != 0:
            if after != before:
                problems.append("a refused batch changed the folder")
        else:
            expected = dict(before)
            for old, _ in changed:
                del expected[old]
            for old, new in changed:
                expected[new] = before[old]
            if expected != after:
                problems.append(f"not as previewed: missing {sorted(set(expected) - set(after))[:5]}"
                                f", unexpected {sorted(set(after) - set(expected))[:5]}")
        message = r.stderr.decode(errors="replace").strip().replace("\n", " ")[:200]
        print(f"exit {r.returncode}, {len(pairs)} rows, {len(changed)} changed: "
              + ("OK" if not problems else "; ".join(problems)) + (f" [{message}]" if message else ""))
        return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
