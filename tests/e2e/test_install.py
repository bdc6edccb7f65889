"""The installed game: `cmake --install` into a fresh prefix, then the
launcher started from an unrelated directory shows the main menu, and the
desktop entry and icon are in place.

Usage: test_install.py CMAKE_COMMAND BUILD_DIR [unittest arguments]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

# Leave no byte-code cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from playing import Player, game_env, is_main_menu  # noqa: E402

CMAKE = None
BUILD_DIR = None


class Install(unittest.TestCase):
    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="skirmora-install-")
        self.addCleanup(shutil.rmtree, self.prefix)
        result = subprocess.run([CMAKE, "--install", BUILD_DIR, "--prefix", self.prefix],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_launcher_runs_the_game_from_any_directory(self):
        launcher = os.path.join(self.prefix, "bin", "skirmora")
        self.assertTrue(os.access(launcher, os.X_OK), launcher)
        with harness.Xvfb() as xvfb, harness.Game(launcher, "/", game_env(xvfb)) as game:
            window = harness.find_window(xvfb, game)
            try:
                player = Player(xvfb, game, window)
                # The cyan title needs the font, the sky the whole start-up.
                player.wait_for(is_main_menu, "the main menu of the installed game")
                self.assertEqual(player.close(), 0, game.stderr())
            finally:
                window.close_connection()
            self.assertNotIn("Font loading failed.", game.stdout())
            self.assertNotIn("error opening file", game.stdout())

    def test_desktop_entry_and_icon_are_installed(self):
        share = os.path.join(self.prefix, "share")
        with open(os.path.join(share, "applications", "skirmora.desktop")) as entry:
            lines = entry.read().splitlines()
        self.assertEqual(lines[0], "[Desktop Entry]")
        self.assertIn("Exec=skirmora", lines)
        self.assertIn("Icon=skirmora", lines)
        with open(os.path.join(share, "icons", "hicolor", "64x64", "apps", "skirmora.png"),
                  "rb") as icon:
            self.assertEqual(icon.read(8), b"\x89PNG\r\n\x1a\n")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    CMAKE = sys.argv[1]
    BUILD_DIR = os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
