#!/usr/bin/python3
"""Makes the user guide's pictures under Xvfb and Wine, on the simulated GPU.

Usage: screenshots.py BUILD_DIR OUTPUT_DIR [PICTURE...]

Makes every picture, or only the pictures named (for example panel-default-144dpi.png). Runs in a
Wine prefix of its own (BUILD_DIR/screenshots/prefix, kept between runs) with a virtual desktop,
whose taskbar shows the minimised panel's caption. The pictures show what a new user sees: the
program and the settings where the installer puts them, under the neutral user name "user", the
settings a first installation writes, and a simulated board named and versioned like a real one.
Pictures:
  panel-default.png, panel-dark.png, panel-aurora.png, panel-capsule.png
                          the panel with the built-in look and each sample theme, after a few
                          hundred measurements, so that the graph's traces have moved
  panel-default-144dpi.png
                          the built-in look at 144 dpi (150 %), as Wine shows a program started while
                          LogPixels is 144
  caption-minimised.png   the taskbar while the panel is minimised
  menu.png                the context menu in a Japanese locale
  menu-garbled.png        the same menu in an English locale: code page 932 texts garbled
  settings-N-NAME.png     each of the eight tabs of the settings dialog
A picture that cannot be made is reported and the others are still made; the run then fails.
"""
import os
import shutil
import sys
import time

from PIL import ImageGrab

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from winesession import WineError, WineSession, fields  # noqa: E402

COMMAND_REFRESH, COMMAND_MINIMISE, COMMAND_EXIT = "32769", "32771", "33023"
THEMES = ("default", "dark", "aurora", "capsule")
TABS = ("settings", "alert", "label", "color", "graph", "skin", "information", "version")
DESKTOP = "1280x1024"
MARGIN = 12
DPI_PICTURE, DPI = "panel-default-144dpi.png", 144
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
USER = "user"
# A board as the real driver describes one; readings not given move as the simulated driver's waves.
BOARD = """[driver]
InterfaceVersion=NVidia Complete Version 1.10
Version=55186
ChangeList=55186000
Branch=r550_00
[display0]
Adapter=NVIDIA GeForce RTX 3060
MemoryDedicated=12582912
[display0.gpu0]
FullName=NVIDIA GeForce RTX 3060
Bios=94.06.2F.00.D3
BusType=3
PcieWidth=16
FrameBuffer=12582912
Sensors=1
Sensor0=1,1
"""


class Shots:
    def __init__(self, build, out, wanted=()):
        self.build = os.path.abspath(build)
        self.wanted = set(wanted)
        self.out = os.path.abspath(out)
        self.work = os.path.join(self.build, "screenshots")
        self.windriver = os.path.join(self.build, "tests", "windriver.exe")
        self.made, self.missing = [], []
        self.wine = None

    def prepare(self):
        """Lays out the program and the settings as a first installation does (the simulated driver
        beside the program, for these pictures only)."""
        profile = os.path.join(self.work, "prefix", "drive_c", "users", USER)
        self.program = os.path.join(profile, "AppData", "Local", "Programs", "VARNOK")
        self.settings = os.path.join(profile, "AppData", "Roaming", "VARNOK")
        for folder in (self.program, self.settings):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
        shutil.copy(os.path.join(self.build, "VARNOK.exe"), self.program)
        shutil.copy(os.path.join(self.build, "simgpu", "nvapi64.dll"), self.program)
        with open(os.path.join(self.program, "simgpu.ini"), "w") as f:
            f.write(BOARD)
        samples = os.listdir(os.path.join(self.build, "themes"))
        for name in samples:
            shutil.copy(os.path.join(self.build, "themes", name), self.settings)
        for name in samples:
            if name.upper().endswith(".VKT"):
                self.full_image_paths(os.path.join(self.settings, name), samples)
        os.makedirs(self.out, exist_ok=True)

    def full_image_paths(self, theme, samples):
        """The installer names a sample theme's images by full path in the user's copy."""
        with open(theme, "rb") as f:
            lines = f.read().decode("cp932").splitlines()
        section = ""
        for index, line in enumerate(lines):
            if line.startswith("["):
                section = line.strip()
            elif section in ("[SKIN]", "[MASK]") and line.startswith("File=") and line[5:] in samples:
                lines[index] = "File=" + self.windows_path(os.path.join(self.settings, line[5:]))
        with open(theme, "wb") as f:
            f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))

    def windows_path(self, path):
        return "C:\\" + os.path.relpath(path, os.path.join(self.work, "prefix", "drive_c")).replace("/", "\\")

    def start_session(self, locale):
        prefix = os.path.join(self.work, "prefix")
        os.makedirs(self.work, exist_ok=True)
        # A prefix made under another user name has its profile elsewhere: made again.
        if os.path.isdir(os.path.join(prefix, "drive_c", "users")) and \
                not os.path.isdir(os.path.join(prefix, "drive_c", "users", USER, "AppData")):
            shutil.rmtree(prefix)
        self.wine = WineSession(prefix, os.path.dirname(os.path.abspath(__file__)), locale, USER)
        self.wine.boot()
        # One virtual desktop for every program: it has a taskbar, and no window manager is needed.
        self.wine.run("reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "shell", "/f")
        self.wine.run("reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "shell", "/d", DESKTOP, "/f")

    def start_panel(self, theme):
        """Starts VARNOK as the installer's shortcut does, with the settings a first installation
        writes and the built-in look (its theme file does not exist yet) or a sample theme; refreshes
        it a few hundred times; gives pid and rect."""
        settings = os.path.join(self.settings, "VARNOK.CFG")
        theme_file = os.path.join(self.settings, "VARNOK.VKT" if theme == "default" else "%s.VKT" % theme)
        with open(settings, "wb") as f:
            f.write(("[THEME]\r\nFile=%s\r\n[LOG]\r\nFile=%s\r\n[ALERT]\r\nFile=%s\r\n"
                     % (self.windows_path(theme_file), self.windows_path(os.path.join(self.settings, "VARNOK.LOG")),
                        self.windows_path(os.path.join(self.settings, "VARNOK.WAV")))).encode("cp932"))
        program = os.path.join(self.program, "VARNOK.exe")
        code, out = self.wine.run(self.windriver, "start", self.windows_path(program), self.windows_path(self.settings),
                                  self.windows_path(settings))
        panel = fields(out)
        if code != 0 or "pid" not in panel:
            raise WineError("VARNOK did not start with the theme %s" % theme)
        self.wine.run(self.windriver, "command", panel["pid"], *[COMMAND_REFRESH] * 300)
        time.sleep(3)
        return panel["pid"], panel["rect"]

    def end_panel(self, pid):
        self.wine.run(self.windriver, "command", pid, COMMAND_EXIT)
        self.wine.run(self.windriver, "wait-exit", pid)

    def save(self, name, rect, margin=0):
        left, top, right, bottom = (int(v) for v in rect.split(","))
        shot = ImageGrab.grab(xdisplay=self.wine.display)
        box = (max(0, left - margin), max(0, top - margin), min(shot.width, right + margin),
               min(shot.height, bottom + margin))
        shot.crop(box).save(os.path.join(self.out, name), optimize=True)
        self.made.append(name)

    def wants(self, *names):
        return not self.wanted or any(name in self.wanted for name in names)

    def panels(self):
        for theme in THEMES:
            name = "panel-%s.png" % theme
            caption = theme == "default" and self.wants("caption-minimised.png")
            if not self.wants(name) and not caption:
                continue
            pid, rect = self.start_panel(theme)
            if self.wants(name):
                self.save(name, rect, MARGIN)
            if caption:
                self.caption(pid)
            self.end_panel(pid)
        if self.wants(DPI_PICTURE):
            self.panel_at_dpi()

    def panel_at_dpi(self):
        # Wine gives every program it starts the DPI of LogPixels and draws nothing stretched.
        self.wine.run("reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(DPI), "/f")
        try:
            pid, rect = self.start_panel("default")
            self.save(DPI_PICTURE, rect, MARGIN * DPI // 96)
            self.end_panel(pid)
        finally:
            self.wine.run("reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f")

    def caption(self, pid):
        self.wine.run(self.windriver, "command", pid, COMMAND_MINIMISE)
        time.sleep(2)
        code, out = self.wine.run(self.windriver, "taskbar")
        if code != 0:
            self.missing.append("caption-minimised.png (no taskbar)")
            return
        left, top, right, bottom = (int(v) for v in fields(out)["rect"].split(","))
        self.save("caption-minimised.png", "%d,%d,%d,%d" % (left, top, min(right, left + 520), bottom))

    def menu(self, name):
        if not self.wants(name):
            return
        pid, _ = self.start_panel("default")
        code, out = self.wine.run(self.windriver, "menu", pid)
        if code == 0:
            self.save(name, fields(out)["rect"], MARGIN)
        else:
            self.missing.append(name + " (no menu appeared)")
        self.wine.stop_programs()

    def settings_tabs(self):
        if not self.wants(*("settings-%d-%s.png" % (i, t) for i, t in enumerate(TABS))):
            return
        # The skinned, masked theme: the Skin tab's preview then shows the skin with the mask over it.
        pid, _ = self.start_panel("capsule")
        for index, tab in enumerate(TABS):
            name = "settings-%d-%s.png" % (index, tab)
            code, out = self.wine.run(self.windriver, "settings-tab", pid, str(index))
            if code != 0:
                self.missing.extend("settings-%d-%s.png" % (i, t) for i, t in enumerate(TABS) if i >= index)
                print("screenshots: the settings dialog's tab %d could not be shown; no tab pictures from here on"
                      % index)
                break
            self.save(name, fields(out)["rect"])
        self.wine.stop_programs()

    def run(self):
        try:
            self.start_session("ja_JP.UTF-8")
            self.prepare()
            self.panels()
            self.settings_tabs()
            self.menu("menu.png")
            self.wine.close()
            if self.wants("menu-garbled.png"):
                # A locale whose ANSI code page is not 932: the program's texts show garbled.
                self.start_session("C.UTF-8")
                self.menu("menu-garbled.png")
        finally:
            if self.wine:
                self.wine.close()


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    started = time.monotonic()
    shots = Shots(sys.argv[1], sys.argv[2], sys.argv[3:])
    try:
        shots.run()
    except WineError as error:
        print("screenshots: stopped: %s" % error)
        return 1
    for name in shots.made:
        print("screenshots: made %s" % os.path.join(sys.argv[2], name))
    for name in shots.missing:
        print("screenshots: NOT made %s" % name)
    print("screenshots: %d pictures in %.0f s, %d missing" % (len(shots.made), time.monotonic() - started,
                                                             len(shots.missing)))
    return 1 if shots.missing else 0


if __name__ == "__main__":
    sys.exit(main())
