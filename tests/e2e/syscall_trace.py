"""Reads strace's record of a Wine process tree for what the program must never do: open a file
for writing, create, rename, truncate or remove one, outside the folders that Wine keeps for
itself."""

import os
import re

# Every call that can change a file or a folder, the opens among which the writing ones hide, and
# what a relative path needs to be resolved: each process's current folder, inherited on a clone.
STRACE_WRITES = ("trace=open,openat,creat,rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat,"
                 "rmdir,link,linkat,symlink,symlinkat,truncate,ftruncate,chdir,fchdir,clone,clone3,"
                 "fork,vfork")
WRITING_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)\)\s+=\s+(-?\d+)")
# With -y, strace writes a descriptor's path behind it: AT_FDCWD</cwd>, 3</some/file>.
WINE_SERVER_FOLDER = re.compile(r"/tmp/wine-\w+(/|$)")
# Wine names a thread by writing to its kernel entry, which is no file.
THREAD_NAME = re.compile(r"/proc/\d+/task/\d+/comm$")
ARGUMENT = re.compile(r'(AT_FDCWD|\d+)<([^>]*)>|"((?:[^"\\]|\\.)*)"')


def named_paths(arguments, folder):
    """The paths a call names, each resolved against the descriptor before it or the folder."""
    paths, base = [], folder
    for match in ARGUMENT.finditer(arguments):
        if match.group(2) is not None:
            base = match.group(2)
        else:
            paths.append(os.path.normpath(os.path.join(base, match.group(3))))
    return paths


def changed_paths(call, arguments, folder):
    """The paths a call would change."""
    if call in ("open", "openat") and not any(flag in arguments for flag in WRITING_FLAGS):
        return []
    if call == "ftruncate":
        return [match.group(2) for match in ARGUMENT.finditer(arguments) if match.group(2)][:1]
    return named_paths(arguments, folder)


def writes_outside(log, allowed, start_folder):
    """The traced calls that changed, or tried to change, a path outside the allowed folders.
    Besides the prefix, Wine keeps its server's socket in a folder of its own under /tmp, and a
    terminal or /dev/null is opened for writing by any process."""
    roots = [str(folder) for folder in allowed] + [f"/tmp/.wine-{os.getuid()}", "/dev"]
    folders = {}
    offending = []
    for line in log.splitlines():
        match = CALL.match(line)
        if match is None:
            continue
        pid, call, arguments, result = match.groups()
        folder = folders.get(pid, str(start_folder))
        if call in ("clone", "clone3", "fork", "vfork") and int(result) > 0:
            folders[result] = folder
        elif call == "chdir" and result == "0":
            folders[pid] = named_paths(arguments, folder)[0]
        elif call == "fchdir" and result == "0":
            folders[pid] = ARGUMENT.search(arguments).group(2)
        else:
            for path in changed_paths(call, arguments, folder):
                inside = any(path == root or path.startswith(root + "/") for root in roots)
                if not inside and not WINE_SERVER_FOLDER.match(path) and not THREAD_NAME.match(path):
                    offending.append(line.strip())
    return offending
