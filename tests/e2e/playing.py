"""What a player sees and does, on top of harness.py: the screens' places
and colours, probes that tell one screen from another, the way through the
menus into a round, held keys that wait for a sprite to move, and private
working directories with maps of a test's own.
"""

import os
import shutil
import subprocess
import tempfile
import time

import harness

NIGHT_SKY = 0x002E44
DAY_SKY = 0x7EC0EE
CYAN = 0x00FFFF
BLACK = 0x000000

# Inclusive boxes (x1, y1, x2, y2) in window pixels.
TITLE = (400, 200, 520, 232)  # "Skirmora"
SCREEN_TITLE = (400, 25, 560, 60)  # "Player 1", "Player 2", "Level Select"
CHARACTER_SELECT = (350, 70, 560, 88)  # above the level frames
BACK = (50, 30, 150, 60)
CONFIRM = (700, 630, 850, 680)
PORTRAITS = [(100, 150), (400, 150), (700, 150), (100, 400), (400, 400), (700, 400)]
THUMBNAILS = [(130, 100), (530, 100), (130, 370), (530, 370)]
CLOCK = (440, 10, 500, 38)
DAMAGE_1 = (35, 10, 85, 38)
DAMAGE_2 = (880, 10, 930, 38)
PAUSED = (425, 200, 510, 230)
PRESS_Q = (365, 500, 545, 530)
DRAW_RESULT = (435, 350, 500, 380)
PRESS_SPACE = (310, 420, 600, 450)
DEATHS_1 = (35, 10, 160, 38)
DEATHS_2 = (790, 10, 915, 38)
COUNTDOWN = (475, 350, 520, 385)
SUN_CENTRE = (105, 105)
SPRITE = 24


def game_env(xvfb):
    """The game's environment: the X server, and only it. Without a driver
    named, a library that cannot reach the server falls back to drawing
    off-screen, and the game runs on without a window."""
    return xvfb.env(SDL_VIDEODRIVER="x11")


class Frame:
    """A screenshot read as 0xRRGGBB integers, with the region probes the
    tests need (fast enough to poll with)."""

    def __init__(self, shot):
        self.shot = shot
        self.width = shot.width
        self.height = shot.height
        self._words = memoryview(shot.data).cast("I")
        self._row = shot.stride // 4

    def pixel(self, x, y):
        return self._words[y * self._row + x] & 0xFFFFFF

    def row(self, y, x1, x2):
        start = y * self._row
        return [word & 0xFFFFFF for word in self._words[start + x1:start + x2 + 1]]

    def region(self, box):
        x1, y1, x2, y2 = box
        return tuple(tuple(self.row(y, x1, x2)) for y in range(y1, y2 + 1))

    def points(self, box, colour):
        """The set of (x, y) in the box, relative to its corner, that have
        the colour."""
        x1, y1, x2, y2 = box
        found = set()
        for y in range(y1, y2 + 1):
            for dx, value in enumerate(self.row(y, x1, x2)):
                if value == colour:
                    found.add((dx, y - y1))
        return frozenset(found)

    def count(self, box, colour):
        return len(self.points(box, colour))

    def differences(self, other):
        """The smallest box holding every pixel that differs between two
        frames of one size, or None when they are the same."""
        xs, ys = [], []
        for y in range(self.height):
            start = y * self._row
            if self._words[start:start + self.width] == other._words[start:start + self.width]:
                continue
            mine, theirs = self.row(y, 0, self.width - 1), other.row(y, 0, other.width - 1)
            if mine != theirs:
                changed = [x for x in range(self.width) if mine[x] != theirs[x]]
                xs += [changed[0], changed[-1]]
                ys.append(y)
        return (min(xs), min(ys), max(xs), max(ys)) if ys else None

    def count_other(self, box, colour):
        x1, y1, x2, y2 = box
        return sum(1 for y in range(y1, y2 + 1) for value in self.row(y, x1, x2)
                   if value != colour)


def shape(points):
    """A set of points moved so that its top-left corner is (0, 0): text
    that is the same string has the same shape wherever it is drawn."""
    if not points:
        return frozenset()
    left = min(x for x, _ in points)
    top = min(y for _, y in points)
    return frozenset((x - left, y - top) for x, y in points)


def highlight_box(kind, index):
    """A square of a picture's highlight ring, at its top-left corner: only
    the highlight (or, on the level screen, the black frame) paints there."""
    left, top = (PORTRAITS if kind == "portrait" else THUMBNAILS)[index]
    return (left - 9, top - 9, left - 2, top - 2)


def ring_colour(frame, kind, index):
    """The colour of a picture's highlight ring, or None when it is mixed."""
    x1, y1, x2, y2 = highlight_box(kind, index)
    colours = {value for y in range(y1, y2 + 1) for value in frame.row(y, x1, x2)}
    return colours.pop() if len(colours) == 1 else None


def highlighted(frame, kind):
    """Indexes of the pictures with a cyan ring."""
    count = len(PORTRAITS if kind == "portrait" else THUMBNAILS)
    return [i for i in range(count) if ring_colour(frame, kind, i) == CYAN]


def is_main_menu(frame, sky=NIGHT_SKY):
    # No portraits or thumbnails, the sky where they would be, a cyan title.
    return (frame.count(TITLE, CYAN) > 50 and frame.pixel(5, 5) == sky and
            frame.pixel(175, 225) == sky and frame.pixel(330, 210) == sky)


def is_character_screen(frame):
    return (frame.count(CHARACTER_SELECT, CYAN) > 100 and
            all(frame.count_other((x, y, x + 149, y + 149), NIGHT_SKY) > 10000
                for x, y in PORTRAITS) and
            frame.pixel(125, 45) == CYAN and frame.pixel(845, 675) == CYAN)


def is_level_screen(frame):
    return (frame.count(CHARACTER_SELECT, CYAN) == 0 and
            frame.count(SCREEN_TITLE, CYAN) > 100 and
            all(ring_colour(frame, "thumbnail", i) in (BLACK, CYAN) for i in range(4)) and
            frame.pixel(125, 45) == CYAN and frame.pixel(845, 675) == CYAN)


def is_playing(frame):
    return (frame.count(CLOCK, CYAN) > 30 and frame.count(DAMAGE_1, CYAN) > 30 and
            frame.count(DAMAGE_2, CYAN) > 30 and frame.count(PAUSED, CYAN) == 0 and
            frame.count(PRESS_Q, CYAN) == 0 and frame.count(TITLE, CYAN) == 0)


def is_paused(frame):
    return frame.count(PAUSED, CYAN) > 50 and frame.count(PRESS_Q, CYAN) > 100


class Player:
    """One game in its window, driven by mouse and keyboard."""

    def __init__(self, xvfb, game, window):
        self.xvfb = xvfb
        self.game = game
        self.window = window
        self.env = xvfb.env()

    def frame(self):
        return Frame(self.window.screenshot())

    def wait_for(self, check, what, timeout=60):
        """Polls frames until check(frame) holds and returns that frame."""
        latest = {}

        def check_shot(shot):
            latest["frame"] = Frame(shot)
            return check(latest["frame"])

        harness.wait_for_screen(self.window, check_shot, what, timeout)
        return latest["frame"]

    def click(self, x, y, button=1):
        harness.click(self.xvfb, self.window, x, y, button)

    def click_box(self, box, button=1):
        x1, y1, x2, y2 = box
        self.click((x1 + x2) // 2, (y1 + y2) // 2, button)

    def click_picture(self, kind, index):
        left, top = (PORTRAITS if kind == "portrait" else THUMBNAILS)[index]
        self.click(left + 60, top + 60)

    def keys(self, *names):
        harness.send_keys(self.xvfb, self.window, *names)

    def key_down(self, name):
        harness.focus(self.xvfb, self.window)
        subprocess.run(["xdotool", "keydown", name], env=self.env, check=True)

    def key_up(self, name):
        subprocess.run(["xdotool", "keyup", name], env=self.env, check=True)

    def pick(self, kind, index, check_screen):
        """Highlights one picture and waits for its ring, alone."""
        self.click_picture(kind, index)
        return self.wait_for(lambda f: check_screen(f) and highlighted(f, kind) == [index],
                             "%s %d highlighted" % (kind, index))

    def start_round(self, first, second, level):
        """From the main menu through both character screens and the level
        screen into a round; returns the first frame of play."""
        self.click(480, 600)
        self.wait_for(is_character_screen, "the first character screen")
        self.pick("portrait", first, is_character_screen)
        self.click_box(CONFIRM)
        self.wait_for(lambda f: is_character_screen(f) and not highlighted(f, "portrait"),
                      "the second character screen")
        self.pick("portrait", second, is_character_screen)
        self.click_box(CONFIRM)
        self.wait_for(is_level_screen, "the level screen")
        self.pick("thumbnail", level, is_level_screen)
        self.click_box(CONFIRM)
        return self.wait_for(is_playing, "the round's HUD")

    def close(self):
        """Closes the window as a window manager would; returns the exit
        status."""
        self.window.close()
        return self.game.wait(timeout=60)


class Sprite:
    """A character's look as first seen: the pixels of its 24 x 24 box that
    differ from the plain sky, kept with their colours so the same picture
    can be found again along its row."""

    def __init__(self, frame, x, y, sky=NIGHT_SKY):
        self.y = y
        self.pixels = [(dx, dy, frame.pixel(x + dx, y + dy))
                       for dy in range(SPRITE) for dx in range(SPRITE)
                       if frame.pixel(x + dx, y + dy) != sky]

    def at(self, frame, x):
        return all(frame.pixel(x + dx, self.y + dy) == colour
                   for dx, dy, colour in self.pixels)

    def find(self, frame):
        """The x of every place in its row where the picture is drawn."""
        return [x for x in range(0, frame.width - SPRITE + 1) if self.at(frame, x)]


def hold_until_moved(player, key, sprite, start_x, distance, timeout=60):
    """Holds a key down until the sprite stands at least distance pixels
    from start_x, then lets go and waits for it to come to rest. Returns
    its resting x."""
    def moved(frame):
        places = sprite.find(frame)
        return len(places) == 1 and abs(places[0] - start_x) >= distance

    player.key_down(key)
    try:
        player.wait_for(moved, "the sprite to move %d pixels on %r" % (distance, key), timeout)
    finally:
        player.key_up(key)
    return wait_until_still(player, sprite)


def wait_until_still(player, sprite, timeout=60):
    """Waits until two frames a little apart show the sprite at one place."""
    seen = {}

    def still(frame):
        places = sprite.find(frame)
        if len(places) != 1:
            return False
        now = time.monotonic()
        previous = seen.get("place")
        if previous and previous[0] == places[0] and now - previous[1] >= 0.3:
            return True
        if not previous or previous[0] != places[0]:
            seen["place"] = (places[0], now)
        return False

    player.wait_for(still, "the sprite to come to rest", timeout)
    return seen["place"][0]


def start_positions(level_file):
    """The four numbers after a level file's 30 grid lines: player 1 x and
    y, then player 2 x and y."""
    with open(level_file) as source:
        lines = source.read().split("\n")
    numbers = [int(token) for token in " ".join(lines[30:]).split()]
    return (numbers[0], numbers[1]), (numbers[2], numbers[3])


def working_directory(source_dir, maps_dir=None):
    """A temporary directory laid out as the game expects: the repository's
    font and pictures linked in, and its map files unless maps_dir has a
    file of the same name. The caller removes it (shutil.rmtree)."""
    root = tempfile.mkdtemp(prefix="skirmora-play-")
    resources = os.path.join(source_dir, "Resources")
    os.symlink(os.path.join(source_dir, "Cornerstone Regular.ttf"),
               os.path.join(root, "Cornerstone Regular.ttf"))
    os.makedirs(os.path.join(root, "Resources", "maps"))
    os.symlink(os.path.join(resources, "sprites"), os.path.join(root, "Resources", "sprites"))
    for name in os.listdir(os.path.join(resources, "maps")):
        own = os.path.join(maps_dir, name) if maps_dir else None
        if own and os.path.exists(own):
            shutil.copy(own, os.path.join(root, "Resources", "maps", name))
        else:
            os.symlink(os.path.join(resources, "maps", name),
                       os.path.join(root, "Resources", "maps", name))
    return root
