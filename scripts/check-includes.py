#!/usr/bin/python3
"""Fails when a source file includes a header of a target its own target does not link.

Every header is included from the repository root ("platform/foundation/object.h"),
so the compiler lets any file include any header; this check holds the includes
to the link graph that the CMake files declare. CMake writes the graph at
configure time (cmake/RpTargetMap.cmake); nothing here lists layers by hand.
"""

import argparse
import json
import os
import re
import subprocess
import sys
from collections import defaultdict

ROOT = os.path.realpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
TARGET_MAP_NAME = "rp_target_map.json"
SOURCE_SUFFIXES = (".cpp", ".h")
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
LINK_ONLY = re.compile(r"^\$<LINK_ONLY:([^$<>]+)>$")

LIBRARY_TYPES = {"STATIC_LIBRARY", "SHARED_LIBRARY", "OBJECT_LIBRARY", "INTERFACE_LIBRARY"}
USAGE_ERROR = 2


def parse_arguments():
    parser = argparse.ArgumentParser(
        description=(
            "Checks every '#include' of a project header against the CMake link graph: a file may "
            "include a header only when one of the targets that compile the header (or the files "
            "beside it) is its own target or linked by it, directly or transitively. Tests, "
            "benchmarks, tools and fuzzers are targets of their own. Exit status: 0 when every "
            "include is allowed, 1 when one is not, 2 when the build folder has no target map."
        ),
        epilog=f"The target map is written by configuring the build: cmake -S . -B BUILD_DIR "
        f"(BUILD_DIR/{TARGET_MAP_NAME}).",
    )
    parser.add_argument("build_dir", nargs="?", default="build", help="a configured build folder (default: build)")
    return parser.parse_args()


def relative(path):
    return os.path.relpath(path, ROOT)


def project_files():
    """The tracked C++ files, relative to the repository root."""
    listed = subprocess.run(
        ["git", "-C", ROOT, "ls-files", "-z", "--", *(f"*{suffix}" for suffix in SOURCE_SUFFIXES)],
        check=True,
        capture_output=True,
        text=True,
    ).stdout
    return {name for name in listed.split("\0") if name}


def linked_names(entries):
    """Project target names among a target's link entries; imported targets and conditions drop out."""
    for entry in entries:
        link_only = LINK_ONLY.match(entry)
        if link_only:
            entry = link_only.group(1)
        if "$<" not in entry and "::" not in entry:
            yield entry


class LinkGraph:
    def __init__(self, target_map, files):
        self.links = {name: [linked for linked in linked_names(entry["links"]) if linked in target_map]
                      for name, entry in target_map.items()}
        self.libraries = {name for name, entry in target_map.items() if entry["type"] in LIBRARY_TYPES}
        self.file_targets = defaultdict(set)
        self.folder_targets = defaultdict(set)
        for name, entry in target_map.items():
            for source in entry["sources"]:
                path = relative(os.path.realpath(source))
                if path in files:
                    self.file_targets[path].add(name)
                    self.folder_targets[os.path.dirname(path)].add(name)
        self._closures = {}

    def closure(self, target):
        """The target and everything it links, directly or transitively."""
        if target not in self._closures:
            reached = {target}
            pending = [target]
            while pending:
                for linked in self.links[pending.pop()]:
                    if linked not in reached:
                        reached.add(linked)
                        pending.append(linked)
            self._closures[target] = reached
        return self._closures[target]

    def owners(self, path):
        """The targets a file belongs to, and whether each of them compiles it.

        A source belongs to the targets that list it; a header to the targets of
        its .cpp, else to every target with sources in its folder, any one of
        which may use it.
        """
        if path in self.file_targets:
            return self.file_targets[path], True
        stem, suffix = os.path.splitext(path)
        if suffix == ".h" and stem + ".cpp" in self.file_targets:
            return self.file_targets[stem + ".cpp"], True
        return self.folder_targets.get(os.path.dirname(path), set()), False

    def providers(self, header):
        """The targets that a file including `header` must reach: its owners,
        only the libraries among them when it has any, as nothing links a program."""
        owners, _ = self.owners(header)
        return (owners & self.libraries) or owners


def included_project_files(path, files):
    """(line number, included path) for each include that names a file of the project."""
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE_LINE.match(line)
            if not match:
                continue
            delimiter, name = match.groups()
            # Quoted includes are looked up beside the including file first, as the compiler does.
            candidates = [os.path.join(os.path.dirname(path), name)] if delimiter == '"' else []
            candidates.append(name)
            for candidate in candidates:
                candidate = os.path.normpath(candidate)
                if candidate in files:
                    yield number, candidate
                    break


def main():
    arguments = parse_arguments()
    map_path = os.path.join(arguments.build_dir, TARGET_MAP_NAME)
    try:
        with open(map_path, encoding="utf-8") as map_file:
            target_map = json.load(map_file)
    except OSError as error:
        print(f"check-includes: cannot read the target map: {error}; configure the build first "
              f"(cmake -S . -B {arguments.build_dir})", file=sys.stderr)
        return USAGE_ERROR

    files = project_files()
    graph = LinkGraph(target_map, files)
    violations = []
    unowned = []
    include_count = 0
    for path in sorted(files):
        including_targets, compiled_by_each = graph.owners(path)
        if not including_targets:
            unowned.append(path)
            continue
        for line, header in included_project_files(path, files):
            include_count += 1
            header_targets = graph.providers(header)
            reaching = [target for target in including_targets if graph.closure(target) & header_targets]
            # A file every target compiles must be allowed in each; a header
            # shared by a folder's targets, in one of them.
            if compiled_by_each:
                lacking = sorted(set(including_targets) - set(reaching))
            else:
                lacking = [] if reaching else sorted(including_targets)
            if lacking:
                violations.append((path, line, header, lacking, sorted(header_targets)))

    for path, line, header, lacking, header_targets in violations:
        owners = ", ".join(header_targets) if header_targets else "no target"
        print(f"{path}:{line}: includes {header} (of {owners}), "
              f"not linked by {', '.join(lacking)}")
    if unowned:
        print(f"check-includes: no target compiles these files or any beside them, "
              f"so their includes are not checked: {', '.join(unowned)}")
    print(f"check-includes: {include_count} includes of project headers checked in "
          f"{len(files) - len(unowned)} files, {len(violations)} cross to a target not linked")
    return 1 if violations else 0


if __name__ == "__main__":
    sys.exit(main())
