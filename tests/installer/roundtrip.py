#!/usr/bin/python3
"""The installer's round trip under Wine: install, run from the shortcut, reinstall, uninstall; then
the portable zip: unpacked into a folder whose name has spaces, brackets, "&" and Japanese, started
twice from its VARNOK-start.cmd. Both times the shipped guide is checked where it landed.

Usage: roundtrip.py --setup SETUP.exe --program VARNOK.exe --windriver windriver.exe --version X.Y.Z
                    --script VARNOK.nsi --zip ZIP --simgpu nvapi64.dll

Runs in a throw-away Wine prefix with its own Wine server and its own Xvfb display, so it never
meets the other tests' programs. Passes on exit code 0 and prints every check it made. What Wine
cannot show (that Windows asks for no administrator, the language choice) is read from the
installer script and from the installer's manifest, and reported as such.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)
import peresources  # noqa: E402
from winesession import WineError, WineSession, fields  # noqa: E402

EXIT_PROGRAM_RUNNING = 3
# "終了" ends the panel's dialog with 1, which becomes the program's exit code.
EXIT_NORMAL = 1
CMD_REFRESH, CMD_CONFIG_SAVE, CMD_EXIT = "32769", "32994", "33023"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VARNOK"


class RoundTripError(Exception):
    pass


class Checks:
    def __init__(self):
        self.count = 0
        self.failed = 0

    def expect(self, what, condition, detail=""):
        self.count += 1
        if condition:
            print("  ok   " + what)
        else:
            self.failed += 1
            print("  FAIL %s%s" % (what, (": " + detail) if detail else ""))
        return condition

    def require(self, what, condition, detail=""):
        if not self.expect(what, condition, detail):
            raise RoundTripError(what)


def profile_keys(text):
    """{(section, key): value} of a profile file's text."""
    keys, section = {}, ""
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            keys[(section, key)] = value
    return keys


def registry_values(wine):
    code, out = wine.run("reg", "query", UNINSTALL_KEY)
    if code != 0:
        return None
    values = {}
    for line in out.splitlines():
        match = re.match(r"\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
        if match:
            values[match.group(1)] = match.group(3).strip()
    return values


def snapshot(folder):
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    return files


def wait_until(condition, limit_s=120):
    end = time.monotonic() + limit_s
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


def check_guide(checks, folder, where):
    """check-guide.py on the guide as it landed in folder."""
    run = subprocess.run([sys.executable, os.path.join(TOOLS, "check-guide.py"), folder], capture_output=True,
                         text=True, timeout=120)
    checks.expect("%s: the guide finds every link, anchor and picture (check-guide)" % where, run.returncode == 0,
                  run.stdout + run.stderr)


def program_ids(wine):
    """The process ids of every VARNOK.exe in the prefix (wmic answers in UTF-16)."""
    run = subprocess.run(["wine", "wmic", "process", "get", "Name,ProcessId"], env=wine.env, capture_output=True,
                         stdin=subprocess.DEVNULL, timeout=120, cwd=wine.folder)
    rows = (line.split() for line in run.stdout.decode("utf-16", "replace").splitlines())
    return [row[1] for row in rows if len(row) == 2 and row[0].lower() == "varnok.exe"]


def check_script(checks, script, setup):
    print("What Wine cannot show, read from the installer script and the installer itself:")
    with open(script, encoding="utf-8") as f:
        text = f.read()
    checks.expect("script: RequestExecutionLevel user (no administrator prompt)",
                  re.search(r"^RequestExecutionLevel user$", text, re.M))
    manifest = peresources.manifest(setup) or ""
    checks.expect("installer manifest: requestedExecutionLevel asInvoker",
                  re.search(r'requestedExecutionLevel\s+level="asInvoker"', manifest), manifest[:80])
    languages = re.findall(r'^!insertmacro MUI_LANGUAGE "(\w+)"', text, re.M)
    checks.expect("script: Japanese first, English as a choice", languages == ["Japanese", "English"], str(languages))
    checks.expect("script: the language choice is offered at start (MUI_LANGDLL_DISPLAY in .onInit)",
                  re.search(r"Function \.onInit\s+!insertmacro MUI_LANGDLL_DISPLAY", text))
    checks.expect("script: start at sign-in is an option, off by default (Section /o)",
                  re.search(r'^Section /o .*SecStartup$', text, re.M))


def round_trip(checks, args, wine):
    started = time.monotonic()
    wine.boot()
    print("Wine prefix ready in %.1f s; installing %s" % (time.monotonic() - started, os.path.basename(args.setup)))

    code, _ = wine.run(args.setup, "/S")
    checks.require("silent install ends with 0", code == 0, "exit code %d" % code)
    users = os.path.join(wine.prefix, "drive_c", "users")
    profiles = [p for p in os.listdir(users) if os.path.isdir(os.path.join(users, p, "AppData", "Local", "Programs",
                                                                             "VARNOK"))]
    checks.require("the program is under the user's local programs folder", len(profiles) == 1, str(profiles))
    profile = os.path.join(users, profiles[0])
    program_dir = os.path.join(profile, "AppData", "Local", "Programs", "VARNOK")
    settings_dir = os.path.join(profile, "AppData", "Roaming", "VARNOK")
    settings = os.path.join(settings_dir, "VARNOK.CFG")
    start_menu = os.path.join(profile, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
    shortcut = os.path.join(start_menu, "VARNOK.lnk")
    guide_link = os.path.join(start_menu, "VARNOK 利用ガイド.lnk")
    startup = os.path.join(start_menu, "Startup", "VARNOK.lnk")
    exe = os.path.join(program_dir, "VARNOK.exe")

    with open(exe, "rb") as installed, open(args.program, "rb") as built:
        checks.expect("VARNOK.exe is the program built", installed.read() == built.read())
    owned = sorted(os.path.relpath(os.path.join(d, n), program_dir) for d, _, names in os.walk(program_dir)
                   for n in names)
    licences = [n for n in owned if n.startswith("licenses/") and n.endswith(".txt")]
    pictures = [n for n in owned if n.startswith("docs/images/")]
    checks.expect("the program folder holds only the program, the uninstaller, the guide, the change list and the "
                  "licences", sorted(set(owned) - set(licences) - set(pictures)) ==
                  ["CHANGES.txt", "VARNOK.exe", "docs/guide.html", "uninstall.exe"] and len(licences) >= 5 and
                  len(pictures) >= 1, str(owned))
    checks.expect("a Start-menu shortcut exists", os.path.exists(shortcut))
    check_guide(checks, program_dir, "installed")
    code, out = wine.run(args.windriver, "shortcut", wine.windows_path(guide_link))
    checks.expect("a Start-menu shortcut \"VARNOK 利用ガイド\" opens the installed guide",
                  fields(out).get("target") == wine.windows_path(os.path.join(program_dir, "docs", "guide.html")), out)
    checks.expect("no start-at-sign-in shortcut by default", not os.path.exists(startup))

    with open(settings, "rb") as f:
        first = f.read().decode("cp932")
    windows_settings_dir = wine.windows_path(settings_dir)
    for section, name in (("THEME", "VARNOK.VKT"), ("LOG", "VARNOK.LOG")):
        checks.expect("starting settings: [%s] File is a full path in the settings folder" % section,
                      re.search(r"\[%s\]\r?\nFile=%s\r?\n" % (section, re.escape(windows_settings_dir + "\\" + name)),
                                first), first)
    themes = [n for n in os.listdir(settings_dir) if n.upper().endswith(".VKT")]
    checks.expect("the sample themes are in the settings folder", len(themes) >= 3, str(themes))
    for theme in themes:
        with open(os.path.join(settings_dir, theme), "rb") as f:
            keys = profile_keys(f.read().decode("cp932"))
        for section in ("SKIN", "MASK"):
            image = keys.get((section, "File"), "")
            if "\\" in image:
                checks.expect("%s: [%s] File is a full path that exists" % (theme, section),
                              image.startswith(windows_settings_dir + "\\") and
                              os.path.exists(os.path.join(settings_dir, image[len(windows_settings_dir) + 1:])), image)
            else:
                checks.expect("%s: [%s] File %s is no sample image left as a bare name" % (theme, section, image),
                              not os.path.exists(os.path.join(settings_dir, image)))

    code, out = wine.run(args.windriver, "shortcut", wine.windows_path(shortcut))
    link = fields(out)
    checks.expect("shortcut target is the installed program", link.get("target") == wine.windows_path(exe), out)
    checks.expect("shortcut passes the settings path under %APPDATA%",
                  link.get("arguments") == '"%s"' % wine.windows_path(settings), out)
    checks.expect("shortcut starts in the settings folder", link.get("folder") == windows_settings_dir, out)

    entry = registry_values(wine) or {}
    uninstaller = wine.windows_path(os.path.join(program_dir, "uninstall.exe"))
    checks.expect("uninstall entry: name", entry.get("DisplayName") == "VARNOK", str(entry))
    checks.expect("uninstall entry: version %s" % args.version, entry.get("DisplayVersion") == args.version)
    checks.expect("uninstall entry: publisher", bool(entry.get("Publisher")))
    checks.expect("uninstall entry: icon", entry.get("DisplayIcon", "").startswith(wine.windows_path(exe)))
    checks.expect("uninstall entry: size", int(entry.get("EstimatedSize", "0"), 0) > 0)
    checks.expect("uninstall entry: uninstall command", entry.get("UninstallString") == '"%s"' % uninstaller)
    checks.expect("uninstall entry: quiet uninstall command",
                  entry.get("QuietUninstallString") == '"%s" /S' % uninstaller)

    # No driver in this prefix: the demonstration mode lets the program run all the same.
    with open(settings, "ab") as f:
        f.write(b"[GLOBAL]\r\nDummy=1\r\n")
    code, out = wine.run(args.windriver, "start-shortcut", wine.windows_path(shortcut))
    pid = fields(out).get("pid")
    checks.require("the program starts from the shortcut's command line and shows its panel", code == 0 and pid, out)

    with open(exe, "rb") as f:
        before = f.read()
    code, _ = wine.run(args.setup, "/S")
    checks.expect("a silent install while VARNOK runs ends with %d" % EXIT_PROGRAM_RUNNING,
                  code == EXIT_PROGRAM_RUNNING, "exit code %d" % code)
    with open(exe, "rb") as f:
        checks.expect("... and leaves the program as it was", f.read() == before)

    wine.run(args.windriver, "command", pid, "32994", "33023")
    code, out = wine.run(args.windriver, "wait-exit", pid)
    checks.expect("\"セーブ\" then \"終了\": the program ends normally", fields(out).get("exit") == str(EXIT_NORMAL), out)
    with open(settings, "rb") as f:
        saved = f.read().decode("cp932")
    checks.expect("the settings were saved to the application-data path",
                  re.search(r"^Timer=5\r?$", saved, re.M) and re.search(r"^X=-?\d+\r?$", saved, re.M) and
                  "Dummy=1" in saved, saved)
    checks.expect("the theme was saved beside them", os.path.exists(os.path.join(settings_dir, "VARNOK.VKT")))
    kept = snapshot(settings_dir)

    code, _ = wine.run(args.setup, "/S")
    checks.require("a second silent install ends with 0", code == 0, "exit code %d" % code)
    checks.expect("... and keeps every settings and theme file as it was", snapshot(settings_dir) == kept)

    code, _ = wine.run(wine.windows_path(os.path.join(program_dir, "uninstall.exe")), "/S")
    # The uninstaller copies itself to a temporary folder and returns at once: wait for its work.
    gone = wait_until(lambda: not any(os.path.exists(p) for p in (program_dir, shortcut, guide_link)))
    checks.expect("silent uninstall removes the program folder and both shortcuts", gone,
                  str(os.listdir(program_dir)) if os.path.exists(program_dir) else "a shortcut left")
    checks.expect("... and the uninstall entry", wait_until(lambda: registry_values(wine) is None, 30))
    checks.expect("... and keeps the settings folder as it was", snapshot(settings_dir) == kept)


def start_portable(checks, args, wine, script, what):
    """Starts VARNOK-start.cmd as a double-click would (the shell runs it through cmd.exe) and
    returns the id of the VARNOK it started, once its panel is up."""
    before = set(program_ids(wine))
    code, out = wine.run("start", "/unix", script)
    checks.require("%s: the shell runs VARNOK-start.cmd" % what, code == 0, out)
    found = []
    wait_until(lambda: found.extend(set(program_ids(wine)) - before) or found)
    checks.require("%s: VARNOK-start.cmd starts VARNOK" % what, len(found) == 1, str(found))
    panel = wait_until(lambda: wine.run(args.windriver, "panel", found[0])[0] == 0)
    checks.require("%s: ... and its panel appears" % what, panel)
    return found[0]


def end_program(checks, args, wine, pid, what, *commands):
    wine.run(args.windriver, "command", pid, *commands, CMD_EXIT)
    code, out = wine.run(args.windriver, "wait-exit", pid)
    checks.expect("%s: the program ends normally" % what, fields(out).get("exit") == str(EXIT_NORMAL), out)


def portable(checks, args, wine):
    started = time.monotonic()
    print("The portable zip under Wine:")
    # Spaces, brackets, "&" and Japanese: each breaks a start script that quotes or expands carelessly.
    base = os.path.join(wine.prefix, "drive_c", "ポータブル (x86) & 版")
    with zipfile.ZipFile(args.zip) as z:
        z.extractall(base)
    folder = os.path.join(base, "VARNOK-%s-win64" % args.version)
    check_guide(checks, folder, "unpacked zip")
    script = os.path.join(folder, "VARNOK-start.cmd")
    with open(script, "rb") as f:
        text = f.read()
    checks.expect("VARNOK-start.cmd is ASCII with Windows line ends",
                  max(text) < 0x80 and b"\n" not in text.replace(b"\r\n", b""))
    # The simulated driver beside this copy only, so that it runs without an NVIDIA card.
    shutil.copy(args.simgpu, folder)
    settings = os.path.join(folder, "VARNOK.CFG")
    windows_folder = wine.windows_path(folder)

    pid = start_portable(checks, args, wine, script, "first start")
    with open(settings, "rb") as f:
        keys = profile_keys(f.read().decode("cp932"))
    for section, name in (("THEME", "VARNOK.VKT"), ("LOG", "VARNOK.LOG"), ("ALERT", "VARNOK.WAV")):
        checks.expect("first start: VARNOK.CFG beside the program, [%s] File a full path beside it" % section,
                      keys.get((section, "File")) == windows_folder + "\\" + name, str(keys))
    end_program(checks, args, wine, pid, "\"セーブ\" then \"終了\"", CMD_CONFIG_SAVE)
    with open(settings, "rb") as f:
        saved = f.read().decode("cp932")
    checks.expect("... the settings were saved beside the program", re.search(r"^Timer=5\r?$", saved, re.M), saved)
    checks.expect("... and the theme too", os.path.exists(os.path.join(folder, "VARNOK.VKT")))

    # A log named without a folder is opened in the current folder: it shows where the program runs.
    probe = "cwd-probe.LOG"
    kept = re.sub(r"^\[LOG\]\r?\n(?:[^\[\r\n].*\r?\n|\r?\n)*", "", saved, flags=re.M)
    with open(settings, "wb") as f:
        f.write((kept + "[LOG]\r\nEnable=1\r\nFile=%s\r\n" % probe).encode("cp932"))
    with open(settings, "rb") as f:
        written = f.read()
    pid = start_portable(checks, args, wine, script, "second start")
    with open(settings, "rb") as f:
        checks.expect("second start: the existing VARNOK.CFG is left as it was", f.read() == written)
    wine.run(args.windriver, "command", pid, CMD_REFRESH)
    checks.expect("... and VARNOK runs in the themes folder (a bare log name lands there)",
                  wait_until(lambda: os.path.exists(os.path.join(folder, "themes", probe)), 60),
                  str(os.listdir(folder)))
    end_program(checks, args, wine, pid, "\"終了\"")
    print("The portable zip's part took %.1f s" % (time.monotonic() - started))


def main():
    parser = argparse.ArgumentParser(description=__doc__.strip().splitlines()[0])
    for name in ("setup", "program", "windriver", "version", "script", "zip", "simgpu"):
        parser.add_argument("--" + name, required=True)
    args = parser.parse_args()
    started = time.monotonic()
    checks = Checks()
    try:
        check_script(checks, args.script, args.setup)
        print("The round trip under Wine:")
        folder = tempfile.mkdtemp(prefix="varnok-installer-")
        wine = None
        try:
            wine = WineSession(os.path.join(folder, "prefix"), TOOLS)
            round_trip(checks, args, wine)
            portable(checks, args, wine)
        finally:
            if wine:
                wine.close()
            shutil.rmtree(folder, ignore_errors=True)
    except (RoundTripError, WineError, OSError, subprocess.TimeoutExpired) as error:
        print("installer: stopped: %s" % error)
        checks.failed += 1
    print("installer: %d checks, %d failed, in %.0f s" % (checks.count, checks.failed, time.monotonic() - started))
    return 1 if checks.failed or checks.count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
