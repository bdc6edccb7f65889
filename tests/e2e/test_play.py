"""The real program played as a person would: mouse clicks through the menus,
held keys moving the fighters, pause and quit, a lever switching day and
night, and a whole round running out.

Usage: test_play.py SKIRMORA_BINARY SOURCE_DIR [unittest arguments]
"""

import contextlib
import os
import shutil
import sys
import time
import unittest

# Leave no byte-code cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from playing import (  # noqa: E402
    BACK, CHARACTER_SELECT, CLOCK, CONFIRM, COUNTDOWN, CYAN, DAMAGE_1, DAMAGE_2, DAY_SKY,
    DEATHS_1, DEATHS_2, DRAW_RESULT, NIGHT_SKY, PRESS_SPACE, SCREEN_TITLE, SPRITE,
    SUN_CENTRE, Player, Sprite, game_env, highlighted, hold_until_moved, is_character_screen,
    is_level_screen, is_main_menu, is_paused, is_playing, shape, start_positions,
    working_directory)

BINARY = None
SOURCE_DIR = None
HERE = os.path.dirname(os.path.abspath(__file__))

# Below the menu's fixed lines: where the score line drifts first.
SCORE_AREA = (0, 345, 959, 719)
# A star of the night sky (the background map's "4" in row 0, column 15).
STAR_CELL = (360, 0, 383, 23)
# Where "Winner: Player 1" or "Winner: Player 2" would begin.
WINNER_START = (360, 350, 430, 380)
# Left of the countdown, where "Draw" begins on the result screen.
BEFORE_COUNTDOWN = (435, 350, 470, 380)


@contextlib.contextmanager
def playing(workdir):
    """Starts the game in workdir under a private X server and yields a
    Player; the game is stopped on the way out however the test ends."""
    with harness.Xvfb() as xvfb, harness.Game(BINARY, workdir, game_env(xvfb)) as game:
        window = harness.find_window(xvfb, game)
        try:
            yield Player(xvfb, game, window)
        finally:
            window.close_connection()


def score_line(frame):
    """The shape of the main menu's score line while it drifts below the
    fixed lines, or None when it is not there (yet)."""
    points = frame.points(SCORE_AREA, CYAN)
    return shape(points) if len(points) > 100 else None


def glyphs(line):
    """A text shape cut into its runs of touching columns, left to right,
    each as a shape of its own: at least one run per separate character."""
    columns = sorted({x for x, _ in line})
    runs, run = [], [columns[0]]
    for x in columns[1:]:
        if x > run[-1] + 1:
            runs.append(run)
            run = []
        run.append(x)
    runs.append(run)
    return [shape({(x, y) for x, y in line if run[0] <= x <= run[-1]}) for run in runs]


def within(box, outer):
    return (box is not None and outer[0] <= box[0] and outer[1] <= box[1] and
            box[2] <= outer[2] and box[3] <= outer[3])


def is_sun(colour):
    return colour >> 16 == 0xFD and colour & 0xFF == 0 and 0xB8 <= (colour >> 8 & 0xFF) <= 0xFD


class Menus(unittest.TestCase):
    def test_selection_screens_lead_forward_and_back(self):
        with playing(SOURCE_DIR) as player:
            player.wait_for(is_main_menu, "the main menu")

            # Any click leaves the menu for the first player's choice.
            player.click(900, 650)
            first = player.wait_for(
                lambda f: is_character_screen(f) and not highlighted(f, "portrait"),
                "the first character screen")
            first_title = first.points(SCREEN_TITLE, CYAN)

            # Clicks beside a portrait, right of Back and on Confirm with
            # nothing chosen do nothing: after a portrait click the only
            # change on the screen is that portrait's highlight.
            player.click(99, 150)
            player.click(151, 45)
            player.click_box(CONFIRM)
            chosen = player.pick("portrait", 2, is_character_screen)
            self.assertEqual(chosen.differences(first), (690, 140, 860, 310))

            # Back's hit box reaches further right than its painted box.
            player.click(150, 60)
            player.wait_for(is_main_menu, "the main menu after Back")

            player.click(10, 10, button=3)
            again = player.wait_for(
                lambda f: is_character_screen(f) and not highlighted(f, "portrait"),
                "the first character screen, without the old highlight")
            self.assertIsNone(again.differences(first))
            picked = player.pick("portrait", 0, is_character_screen)
            self.assertEqual(picked.pixel(95, 145), CYAN)

            player.click_box(CONFIRM)
            second = player.wait_for(
                lambda f: (is_character_screen(f) and not highlighted(f, "portrait") and
                           f.points(SCREEN_TITLE, CYAN) != first_title),
                "the second character screen")
            second_title = second.points(SCREEN_TITLE, CYAN)
            self.assertTrue(second_title)
            # Only the title tells the two character screens apart.
            self.assertTrue(within(second.differences(first), SCREEN_TITLE))

            player.click_box(BACK)
            player.wait_for(lambda f: (is_character_screen(f) and not highlighted(f, "portrait")
                                       and f.points(SCREEN_TITLE, CYAN) == first_title),
                            "the first character screen after Back")

            player.pick("portrait", 0, is_character_screen)
            player.click_box(CONFIRM)
            player.wait_for(lambda f: (is_character_screen(f) and not highlighted(f, "portrait")
                                       and f.points(SCREEN_TITLE, CYAN) == second_title),
                            "the second character screen again")
            player.pick("portrait", 5, is_character_screen)
            player.click_box(CONFIRM)
            levels = player.wait_for(lambda f: is_level_screen(f) and not highlighted(f, "thumbnail"),
                                     "the level screen, nothing highlighted")
            self.assertEqual(levels.count(CHARACTER_SELECT, CYAN), 0)
            # Four different level pictures, each more than a dark sky.
            pictures = [levels.region((left, top, left + 299, top + 224))
                        for left, top in [(130, 100), (530, 100), (130, 370), (530, 370)]]
            self.assertEqual(len(set(pictures)), 4)
            for left, top in [(130, 100), (530, 100), (130, 370), (530, 370)]:
                self.assertGreater(levels.count_other((left, top, left + 299, top + 224),
                                                      NIGHT_SKY), 3000)

            player.pick("thumbnail", 0, is_level_screen)
            moved = player.pick("thumbnail", 3, is_level_screen)
            self.assertEqual(moved.differences(levels), (520, 360, 840, 605))

            # Back from the level screen goes to the second player, not the first.
            player.click_box(BACK)
            player.wait_for(lambda f: (is_character_screen(f) and not highlighted(f, "portrait")
                                       and f.points(SCREEN_TITLE, CYAN) == second_title),
                            "the second character screen after Back")
            player.click_box(BACK)
            player.wait_for(lambda f: (is_character_screen(f) and
                                       f.points(SCREEN_TITLE, CYAN) == first_title),
                            "the first character screen after two Backs")
            player.click_box(BACK)
            player.wait_for(is_main_menu, "the main menu after three Backs")

            self.assertEqual(player.close(), 0, player.game.stderr())


class Round(unittest.TestCase):
    def test_players_move_pause_and_quit_to_the_menu(self):
        (x1, y1), (x2, y2) = start_positions(
            os.path.join(SOURCE_DIR, "Resources", "maps", "level1.txt"))
        self.assertEqual(y1, y2)
        with playing(SOURCE_DIR) as player:
            menu = player.wait_for(lambda f: is_main_menu(f) and score_line(f), "the main menu")
            scores = score_line(menu)

            start = player.start_round(0, 1, 0)
            self.assertGreater(start.count(CLOCK, CYAN), 30)
            # Both players start undamaged: the same "0%" on both sides.
            self.assertEqual(shape(start.points(DAMAGE_1, CYAN)),
                             shape(start.points(DAMAGE_2, CYAN)))

            # The players' row holds the two sprites at their start boxes
            # and nothing else (the first level has no star on that row).
            band = [(x, y) for y in range(y1, y1 + SPRITE) for x in range(start.width)
                    if start.pixel(x, y) != NIGHT_SKY]
            inside = [(x, y) for x, y in band if x1 <= x < x1 + SPRITE or x2 <= x < x2 + SPRITE]
            self.assertEqual(band, inside)
            first, second = Sprite(start, x1, y1), Sprite(start, x2, y2)
            self.assertGreater(len(first.pixels), 100)
            self.assertGreater(len(second.pixels), 100)
            self.assertNotEqual(first.pixels, second.pixels)

            # d runs player 1 right; player 2 stays.
            rest1 = hold_until_moved(player, "d", first, x1, SPRITE)
            self.assertGreater(rest1, x1)
            self.assertEqual(second.find(player.frame()), [x2])

            # j runs player 2 left; player 1 stays.
            rest2 = hold_until_moved(player, "j", second, x2, SPRITE)
            self.assertLess(rest2, x2)
            self.assertEqual(first.find(player.frame()), [rest1])

            # q during play does nothing; Space pauses under the help text.
            player.keys("q", "space")
            paused = player.wait_for(is_paused, "the pause screen")
            self.assertGreater(paused.count(CLOCK, CYAN), 30)

            # Keys held while paused move nobody.
            player.key_down("d")
            time.sleep(0.5)
            player.key_up("d")
            player.keys("space")
            resumed = player.wait_for(is_playing, "the round again, without the help text")
            self.assertEqual(first.find(resumed), [rest1])

            player.keys("space")
            player.wait_for(is_paused, "the pause screen again")
            player.keys("q")
            player.wait_for(lambda f: is_main_menu(f) and score_line(f) == scores,
                            "the main menu with the score line as before")

            self.assertEqual(player.close(), 0, player.game.stderr())
            self.assertNotIn("error opening file", player.game.stdout())

    def test_a_lever_switches_between_night_and_day(self):
        # Player 1 stands with its reference point on a lever, player 2 not.
        workdir = working_directory(SOURCE_DIR, os.path.join(HERE, "maps", "lever"))
        self.addCleanup(shutil.rmtree, workdir)
        _, (x2, y2) = start_positions(os.path.join(workdir, "Resources", "maps", "level1.txt"))
        with playing(workdir) as player:
            player.wait_for(is_main_menu, "the main menu")
            night = player.start_round(2, 3, 0)
            self.assertEqual(night.pixel(5, 5), NIGHT_SKY)
            self.assertEqual(night.pixel(*SUN_CENTRE), NIGHT_SKY)
            self.assertGreater(night.count_other(STAR_CELL, NIGHT_SKY), 0)

            # Player 2's pull, off any lever, is used up without effect; its
            # later run shows that its updates went on.
            second = Sprite(night, x2, y2)
            player.click(480, 360, button=3)
            hold_until_moved(player, "j", second, x2, SPRITE)
            still_night = player.frame()
            self.assertEqual(still_night.pixel(5, 5), NIGHT_SKY)

            def is_day(frame):
                return (frame.pixel(5, 5) == DAY_SKY and is_sun(frame.pixel(*SUN_CENTRE)) and
                        frame.count_other(STAR_CELL, DAY_SKY) == 0)

            def is_night(frame):
                return (frame.pixel(5, 5) == NIGHT_SKY and
                        frame.pixel(*SUN_CENTRE) == NIGHT_SKY and
                        frame.count_other(STAR_CELL, NIGHT_SKY) > 0)

            player.click(700, 100)
            day = player.wait_for(is_day, "the day sky and the sun")
            self.assertTrue(is_playing(day))
            player.click(700, 100)
            player.wait_for(is_night, "the night sky again")
            player.click(200, 600)
            player.wait_for(is_day, "the day sky once more")

            player.keys("space")
            paused = player.wait_for(is_paused, "the pause screen")
            self.assertTrue(is_sun(paused.pixel(*SUN_CENTRE)))
            player.keys("q")
            player.wait_for(lambda f: is_main_menu(f, DAY_SKY), "the main menu by day")

            self.assertEqual(player.close(), 0, player.game.stderr())
            # Each daytime logic pass prints the sun's colour, one pulse step
            # from the last.
            colours = [int(line) for line in player.game.stdout().splitlines()
                       if line.isdigit()]
            self.assertGreater(len(colours), 2)
            self.assertTrue(all(is_sun(colour) for colour in colours))
            self.assertEqual({abs(b - a) for a, b in zip(colours, colours[1:])}, {0x100})

    def test_a_round_runs_out_as_a_draw_and_scores_both(self):
        with playing(SOURCE_DIR) as player:
            menu = player.wait_for(lambda f: is_main_menu(f) and score_line(f), "the main menu")
            nil_all = score_line(menu)
            player.start_round(4, 5, 1)

            # From 5 seconds left the count stands in the middle, the top
            # clock gone.
            player.wait_for(lambda f: (f.count(COUNTDOWN, CYAN) > 30 and f.count(CLOCK, CYAN) == 0
                                       and f.count(BEFORE_COUNTDOWN, CYAN) == 0),
                            "the final countdown", timeout=200)
            over = player.wait_for(
                lambda f: f.count(DRAW_RESULT, CYAN) > 50 and f.count(PRESS_SPACE, CYAN) > 100,
                "the result screen", timeout=60)
            # Nobody fell: "Draw", not a winner, and equal death counts.
            self.assertEqual(over.count(WINNER_START, CYAN), 0)
            self.assertEqual(shape(over.points(DEATHS_1, CYAN)),
                             shape(over.points(DEATHS_2, CYAN)))

            player.keys("space")
            after = player.wait_for(lambda f: is_main_menu(f) and score_line(f),
                                    "the main menu after the round")
            # "Scores: 1 - 1": changed, and the two numbers drawn alike.
            self.assertNotEqual(score_line(after), nil_all)
            self.assertEqual(glyphs(score_line(after))[-1], glyphs(score_line(after))[-3])
            self.assertEqual(glyphs(nil_all)[-1], glyphs(nil_all)[-3])

            # Holding r resets both scores.
            player.key_down("r")
            try:
                player.wait_for(lambda f: is_main_menu(f) and score_line(f) == nil_all,
                                "the score line back at 0 - 0")
            finally:
                player.key_up("r")

            self.assertEqual(player.close(), 0, player.game.stderr())


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    BINARY = os.path.abspath(sys.argv[1])
    SOURCE_DIR = os.path.abspath(sys.argv[2])
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
