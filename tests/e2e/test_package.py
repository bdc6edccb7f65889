"""The Debian package cpack makes of the test build, unpacked into a
temporary root: its files, control fields and metadata, and its launcher
started from another directory.

Usage: test_package.py BUILD_DIR [unittest arguments]
"""

import glob
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no byte-code cache in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

BUILD = None
DATA = "usr/share/games/skirmora/"
FILES = {"usr/games/skirmora", "usr/lib/games/skirmora/skirmora", DATA + "Cornerstone Regular.ttf",
         DATA + "Cornerstone Regular.LICENSE.txt", DATA + "Resources/maps/level1.txt",
         "usr/share/applications/skirmora.desktop", "usr/share/icons/hicolor/64x64/apps/skirmora.png"}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


class Package(unittest.TestCase):
    def test_the_deb_installs_in_the_games_paths_and_its_launcher_starts_the_game(self):
        out = self.enterContext(tempfile.TemporaryDirectory(prefix="skirmora-deb-"))
        subprocess.run(["cpack", "-G", "DEB", "-B", out], cwd=BUILD, check=True, capture_output=True)
        deb, = glob.glob(os.path.join(out, "skirmora_*.deb"))
        fields = dict(re.findall(r"^(\S+): (.*)$", run("dpkg-deb", "-f", deb), re.M))
        self.assertEqual((fields["Package"], fields["Section"]), ("skirmora", "games"))
        self.assertLessEqual({"libsdl2-2.0-0", "libsdl2-image-2.0-0", "libsdl2-ttf-2.0-0", "libsdl2-mixer-2.0-0",
                              "libstdc++6"}, set(re.findall(r"(?:^|, )([^ ,]+)", fields["Depends"])))

        root = os.path.join(out, "root")
        run("dpkg", "-x", deb, root)
        found = {os.path.relpath(os.path.join(d, f), root) for d, _, names in os.walk(root) for f in names}
        self.assertEqual(FILES - found, set())
        self.assertEqual({f for f in found - FILES if not f.startswith((DATA, "usr/share/metainfo/"))}, set())
        self.assertIn(", stripped", run("file", os.path.join(root, "usr/lib/games/skirmora/skirmora")))
        metainfo, = glob.glob(os.path.join(root, "usr/share/metainfo/*.metainfo.xml"))
        run("appstreamcli", "validate", "--no-net", metainfo)
        with open(metainfo) as text:
            self.assertIn('<release version="%s"' % fields["Version"], text.read())

        sky = harness.facts(BUILD)["night_sky"]
        with harness.Xvfb() as xvfb, harness.Game(xvfb, [os.path.join(root, "usr/games/skirmora")], "/") as game:
            window = game.window()
            window.wait_for("the main menu", lambda s: s.most_common() == sky)
            window.close()
            self.assertEqual(game.wait(), 0)
            self.assertNotIn("error opening file", game.output(game.out))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    BUILD = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
