"""The real program in a real window: it opens its titled 960 x 720 window,
shows the main menu's night sky, prints its font message and exits 0 when the
window is closed; without a display it reports the failure and exits 1.

Usage: test_main_window.py SKIRMORA_BINARY SOURCE_DIR [unittest arguments]
"""

import os
import sys
import unittest

# Leave no byte-code cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

BINARY = None
SOURCE_DIR = None
NIGHT_SKY = 0x002E44


class MainWindow(unittest.TestCase):
    def test_opens_shows_the_menu_and_closes_cleanly(self):
        with harness.Xvfb() as xvfb, harness.Game(BINARY, SOURCE_DIR, xvfb.env()) as game:
            window = harness.find_window(xvfb, game)
            try:
                self.assertEqual(window.title(), "My Demonstration Program : Size 960 x 720")
                self.assertEqual(window.size(), (960, 720))
                self.assertEqual(window.position(), (10, 40))

                # Text and the moving score line cover little: the sky is
                # the colour of most of the window once a frame is shown.
                shot = harness.wait_for_screen(
                    window, lambda s: s.most_common() == NIGHT_SKY, "the night sky")
                self.assertGreater(shot.count(NIGHT_SKY), 960 * 720 // 2)

                window.close()
                self.assertEqual(game.wait(timeout=30), 0, game.stderr())
            finally:
                window.close_connection()
            self.assertIn("Loading font: 24 point Cornerstone Regular.ttf\n", game.stdout())
            self.assertIn("Free font: 24 point Cornerstone Regular.ttf\n", game.stdout())
            self.assertNotIn("Font loading failed.", game.stdout())

    def test_exits_with_an_error_without_a_display(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        # Both with the display driver named and with the library left to
        # choose: its fallback to drawing off-screen must not count as a
        # display, or the game would run on with no window.
        for driver in ("x11", None):
            with self.subTest(driver=driver):
                env.pop("SDL_VIDEODRIVER", None)
                if driver:
                    env["SDL_VIDEODRIVER"] = driver
                with harness.Game(BINARY, SOURCE_DIR, env) as game:
                    self.assertEqual(game.wait(timeout=30), 1)
                    # The library may print its own lines before ours.
                    lines = game.stderr().splitlines()
                    self.assertTrue(lines and lines[-1].startswith("Unable to init SDL: "),
                                    game.stderr())
                    self.assertNotIn("Loading font", game.stdout())


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    BINARY = os.path.abspath(sys.argv[1])
    SOURCE_DIR = os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
