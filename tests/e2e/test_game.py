# The real program in a real window, used as a player uses it: no display
# reported with status 1; its titled window in place, mouse and keys through
# the menus into a round, moving the fighters, pulling a lever, pausing and
# quitting, with sound, and closed by the window manager with status 0;
# fullscreen under a window manager; and the program installed plainly or
# from its Debian package, started from another directory.
#
# Usage: test_game.py BUILD_DIR SOURCE_DIR [unittest arguments]

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no byte-code cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

BUILD = SOURCE = FACTS = None


def centre(box):
    return (box[0] + box[2]) // 2, (box[1] + box[3]) // 2


def is_main_menu(sky):
    return lambda s: s.pixel(5, 5) == sky and s.count((400, 200, 520, 232), FACTS["cyan"]) > 50


def is_playing(s):
    clock = s.count((440, 10, 500, 38), FACTS["cyan"])
    pause_title = s.count((425, 200, 510, 230), FACTS["cyan"])
    return clock > 30 and pause_title == 0


def ring(kind, index):
    # A pixel of a picture's highlight ring or frame.
    box = FACTS[kind][index]
    return box[0] - 5, box[1] - 5


class Window(unittest.TestCase):
    def test_without_a_display_it_says_so_and_exits_1(self):
        # Also with no driver named: the library's fallback to drawing
        # off-screen must not count as a display.
        for driver in ("x11", None):
            env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "SDL_VIDEODRIVER")}
            env.update({"SDL_VIDEODRIVER": driver} if driver else {})
            run = subprocess.run([os.path.join(BUILD, "skirmora")], cwd=SOURCE, env=env,
                                 capture_output=True, text=True, timeout=30)
            self.assertEqual(run.returncode, 1, driver)
            self.assertTrue(run.stderr.splitlines()[-1].startswith("Unable to init SDL: "), run.stderr)
            self.assertEqual(run.stdout, "")


class Play(unittest.TestCase):
    def test_menus_round_fighters_lever_pause_and_quit(self):
        # Player 1 starts on a lever in this copy of the first level.
        workdir = self.enterContext(tempfile.TemporaryDirectory(prefix="skirmora-play-"))
        font = "Cornerstone Regular.ttf"
        os.symlink(os.path.join(SOURCE, font), os.path.join(workdir, font))
        shutil.copytree(os.path.join(SOURCE, "Resources"), os.path.join(workdir, "Resources"))
        level = os.path.join(workdir, FACTS["level_files"][0])
        shutil.copy(os.path.join(SOURCE, "tests", "e2e", "maps", "lever", "level1.txt"), level)
        starts = [int(word) for word in open(level).read().split("\n", 30)[30].split()]
        cyan, day, night = FACTS["cyan"], FACTS["day_sky"], FACTS["night_sky"]
        # Sound goes to a file through the library's disk driver.
        audio = os.path.join(workdir, "audio.raw")
        with harness.Xvfb() as xvfb, harness.Game(xvfb, [os.path.join(BUILD, "skirmora")], workdir,
                                                  SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=audio) as game:
            window = game.window()
            self.assertEqual(window.title(), FACTS["title"])
            self.assertEqual(window.geometry(), (10, 40) + tuple(FACTS["window"]))
            window.wait_for("the main menu", is_main_menu(night))
            window.click(480, 600)
            window.wait_for("the first player's screen", lambda s: s.pixel(128, 58) == cyan)
            for kind, index in (("portraits", 0), ("portraits", 1), ("thumbnails", 0)):
                window.wait_for("no %s highlighted" % kind, lambda s: s.pixel(*ring(kind, index)) != cyan)
                window.click(*centre(FACTS[kind][index]))
                window.wait_for("%s %d highlighted" % (kind, index),
                                lambda s: s.pixel(*ring(kind, index)) == cyan)
                window.click(*centre(FACTS["confirm"]))
            window.wait_for("the round", is_playing)

            window.click(700, 100)  # a left click is player 1's lever pull
            start = window.wait_for("the day sky", lambda s: s.pixel(5, 5) == day)

            # Each player's keys move that player's fighter only.
            def box(shot, i):
                x, y = starts[i], starts[i + 1]
                return [shot.pixel(x + dx, y + dy) for dy in range(24) for dx in range(24)]
            # Player 1's right and player 2's left, in the order jump, fall, left, right, dash.
            right1 = FACTS["player_keys"][0][3]
            left2 = FACTS["player_keys"][1][2]
            for key, mover, keeper in ((right1, 0, 2), (left2, 2, 0)):
                window.hold(key, 0.3)
                shot = window.wait_for(key + " to move its fighter",
                                       lambda s: box(s, mover) != box(start, mover))
                if key == right1:
                    self.assertEqual(box(shot, keeper), box(start, keeper))
            window.keys("q", "space")
            window.wait_for("the pause screen", lambda s: s.count((425, 200, 510, 230), cyan) > 50)
            window.keys("q")
            window.wait_for("the main menu by day", is_main_menu(day))
            window.close()
            self.assertEqual(game.wait(), 0)
            # The program prints only what it always printed: its font's
            # lines, and by day the sun's colour.
            printed = game.output(game.out).splitlines()
            self.assertEqual(printed[0], "Loading font: 24 point Cornerstone Regular.ttf")
            self.assertEqual(printed[-1], "Free font: 24 point Cornerstone Regular.ttf")
            self.assertEqual([line for line in printed[1:-1] if not line.isdigit()], [])
            with open(audio, "rb") as samples:
                self.assertGreater(sum(1 for byte in samples.read() if byte), 10000, "the sound was silent")


class Screen(unittest.TestCase):
    def test_fullscreen_scales_the_frame_between_bars_and_clicks_still_hit(self):
        with harness.Xvfb("1920x1080x24", window_manager=True) as xvfb, \
                harness.Game(xvfb, [os.path.join(BUILD, "skirmora")], SOURCE) as game:
            window = game.window()
            window.wait_for("the main menu", is_main_menu(FACTS["night_sky"]))
            window.keys("F11")
            harness.poll("the window to fill the screen", lambda: window.geometry()[2:] == (1920, 1080), 30)
            # 1.5 times: 1440 x 1080 in the middle, black bars of 240 beside it.
            def scaled(x, y):
                return 240 + x * 3 // 2, y * 3 // 2
            shot = window.wait_for("the frame scaled", lambda s: s.pixel(*scaled(5, 5)) == FACTS["night_sky"])
            self.assertEqual(shot.pixel(100, 540), 0, "the bar on the left")
            self.assertEqual(shot.pixel(1819, 540), 0, "the bar on the right")
            window.click(*scaled(480, 600))
            window.wait_for("the first player's screen", lambda s: s.pixel(*scaled(128, 58)) == FACTS["cyan"])
            window.click(*scaled(*centre(FACTS["portraits"][2])))
            window.wait_for("portrait 2 highlighted by a click at its scaled place",
                            lambda s: s.pixel(*scaled(*ring("portraits", 2))) == FACTS["cyan"])
            window.keys("F11")
            harness.poll("the window back at its size",
                         lambda: window.geometry()[2:] == tuple(FACTS["window"]), 30)
            window.close()
            self.assertEqual(game.wait(), 0)


class Install(unittest.TestCase):
    def test_installed_plainly_or_from_the_package_the_launcher_starts_from_any_directory(self):
        out = self.enterContext(tempfile.TemporaryDirectory(prefix="skirmora-install-"))
        run("cmake", "--install", BUILD, "--prefix", out + "/plain")
        for path in ("bin/skirmora", "share/applications/skirmora.desktop",
                     "share/skirmora/Resources/sounds/hit.wav",
                     "share/icons/hicolor/64x64/apps/skirmora.png",
                     "share/man/man6/skirmora.6.gz"):
            self.assertTrue(os.path.exists(os.path.join(out, "plain", path)), path)
        # The Debian package: the games paths, the libraries it needs, its
        # manual and documents, valid metadata, nothing stray, and no error
        # or warning from lintian where it is installed.
        subprocess.run(["cpack", "-G", "DEB", "-B", out], cwd=BUILD, check=True, capture_output=True)
        deb, = glob.glob(os.path.join(out, "skirmora_*.deb"))
        fields = dict(re.findall(r"^(\S+): (.*)$", run("dpkg-deb", "-f", deb), re.M))
        self.assertEqual(fields["Package"], "skirmora")
        self.assertEqual(fields["Section"], "games")
        self.assertLessEqual({"libsdl2-2.0-0", "libsdl2-image-2.0-0", "libsdl2-ttf-2.0-0",
                              "libsdl2-mixer-2.0-0"},
                             set(re.findall(r"(?:^|, )([^ ,]+)", fields["Depends"])))
        root = out + "/root"
        run("dpkg", "-x", deb, root)
        found = {os.path.relpath(os.path.join(d, f), root) for d, _, names in os.walk(root) for f in names}
        data = "usr/share/games/skirmora/"
        self.assertLessEqual({"usr/games/skirmora", "usr/lib/games/skirmora/skirmora",
                              data + "Cornerstone Regular.ttf",
                              data + "Resources/maps/level1.txt", data + "Resources/sounds/hit.wav",
                              "usr/share/applications/skirmora.desktop",
                              "usr/share/icons/hicolor/64x64/apps/skirmora.png",
                              "usr/share/man/man6/skirmora.6.gz",
                              "usr/share/doc/skirmora/copyright",
                              "usr/share/doc/skirmora/changelog.gz"}, found)
        expected_places = (data, "usr/games/", "usr/lib/games/", "usr/share/applications/",
                           "usr/share/icons/", "usr/share/metainfo/", "usr/share/man/",
                           "usr/share/doc/")
        self.assertEqual({f for f in found if not f.startswith(expected_places)}, set())
        run("appstreamcli", "validate", "--no-net", *glob.glob(root + "/usr/share/metainfo/*.xml"))
        manual = subprocess.run(["man", "--warnings", "-M", root + "/usr/share/man", "6", "skirmora"],
                                capture_output=True, text=True, env=dict(os.environ, MANPAGER="cat"))
        self.assertEqual(manual.stderr, "")
        self.assertTrue(manual.stdout.startswith("SKIRMORA(6)"), manual.stdout)
        if shutil.which("lintian"):
            lint = subprocess.run(["lintian", deb], capture_output=True, text=True).stdout
            problems = [line for line in lint.splitlines() if line.startswith(("E:", "W:"))]
            self.assertEqual(problems, [], lint)
        for launcher in (out + "/plain/bin/skirmora", root + "/usr/games/skirmora"):
            with harness.Xvfb() as xvfb, harness.Game(xvfb, [launcher], "/") as game:
                game.window().wait_for("the main menu", is_main_menu(FACTS["night_sky"]))
                game.window().close()
                self.assertEqual(game.wait(), 0)
                self.assertEqual(game.output(game.out).count("\n"), 2,
                                 "only the font's lines: every file found")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit("usage: test_game.py BUILD_DIR SOURCE_DIR [unittest arguments]")
    BUILD, SOURCE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    FACTS = harness.facts(BUILD)
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
