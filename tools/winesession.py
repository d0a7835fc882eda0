"""A Wine prefix of one's own, with its own Wine server and its own Xvfb display.

Used by the installer's round trip and by the screenshots, which must never meet the programs of
the main test run (its server, its display, its prefix).
"""
import os
import signal
import subprocess
import tempfile

LIMIT_S = 300


class WineError(Exception):
    pass


class WineSession:
    def __init__(self, prefix, tools, locale="ja_JP.UTF-8", user=None):
        self.prefix = prefix
        self.folder = os.path.dirname(prefix)
        self.xvfb = None
        started = subprocess.run([os.path.join(tools, "start-xvfb.sh")], capture_output=True, text=True)
        line = started.stdout.split()
        if len(line) != 2:
            raise WineError("no Xvfb display could be started: " + started.stderr.strip())
        self.display, self.xvfb = line[0], int(line[1])
        self.env = dict(os.environ, WINEPREFIX=prefix, DISPLAY=self.display, LANG=locale, LC_ALL=locale,
                        WINEDEBUG="-all", WINEARCH="win64", WINEDLLOVERRIDES="mscoree,mshtml=")
        if user:
            # Wine names the profile folder (C:\users\<name>) after the Unix user of the session.
            self.env.update(USER=user, LOGNAME=user)

    def run(self, *args, limit_s=LIMIT_S):
        """(exit code, standard output) of a Windows program."""
        # Output to a file, not a pipe: a program started by the command inherits the descriptor,
        # and a pipe would stay open for as long as that program runs.
        with tempfile.TemporaryFile(dir=self.folder) as out:
            code = subprocess.run(["wine", *args], env=self.env, stdout=out, stderr=subprocess.DEVNULL,
                                  stdin=subprocess.DEVNULL, timeout=limit_s, cwd=self.folder).returncode
            out.seek(0)
            return code, out.read().decode("utf-8", "replace")

    def boot(self):
        """Makes the prefix unless it exists."""
        if not os.path.isdir(os.path.join(self.prefix, "drive_c", "windows", "system32")):
            subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           stdin=subprocess.DEVNULL, timeout=LIMIT_S, cwd=self.folder)
        if not os.path.isdir(os.path.join(self.prefix, "drive_c", "windows", "system32")):
            raise WineError("the Wine prefix could not be made")
        # A crash ends the program at once instead of waiting on a crash dialog nobody clicks.
        self.run("reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0",
                 "/f")

    def windows_path(self, path):
        """The Windows path of a Unix path: C:\\ inside the prefix's drive, Z:\\ elsewhere."""
        path = os.path.abspath(path)
        drive_c = os.path.join(self.prefix, "drive_c")
        if path.startswith(drive_c + os.sep):
            return "C:\\" + os.path.relpath(path, drive_c).replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def stop_programs(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=LIMIT_S)

    def close(self):
        self.stop_programs()
        if self.xvfb:
            try:
                os.kill(self.xvfb, signal.SIGTERM)
            except OSError:
                pass
            self.xvfb = None


def fields(text):
    """The "key=value" lines of a program's output."""
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)
