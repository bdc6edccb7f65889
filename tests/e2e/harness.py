"""Drives the real skirmora program in a real X window under Xvfb.

Shared by the end-to-end suites: start a private X server, start the game in
it, find its window, read its pixels, send it keys and clicks, and close it
the way a window manager would. Every wait polls with a deadline; nothing
relies on a fixed sleep alone.
"""

import os
import select
import subprocess
import tempfile
import time
import struct
import zlib

from Xlib import X, display, protocol

WINDOW_NAME = "My Demonstration Program"


class HarnessError(AssertionError):
    """A wait ran out or a tool failed; the message says which."""


def poll(what, check, timeout, interval=0.05):
    """Calls check() until it returns something truthy, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise HarnessError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Xvfb:
    """A private X server on a display number it picks itself (so parallel
    suites never collide). Use as a context manager."""

    def __init__(self, screen="1280x1024x24", timeout=30):
        self.screen = screen
        self.timeout = timeout
        self.process = None
        self.name = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                # -noreset: by default the server resets when its last client
                # leaves (such as the readiness probe below), and a client
                # that connects during the reset is refused.
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        try:
            number = self._read_display_number(read_end)
        finally:
            os.close(read_end)
        self.name = ":%s" % number
        poll("the X server %s to accept clients" % self.name, self._accepts, self.timeout)
        return self

    def _read_display_number(self, fd):
        text = b""
        deadline = time.monotonic() + self.timeout
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([fd], [], [], left)[0]:
                self.__exit__(None, None, None)
                raise HarnessError("Xvfb did not report its display number")
            chunk = os.read(fd, 64)
            if not chunk:
                self.__exit__(None, None, None)
                raise HarnessError("Xvfb exited before reporting its display number")
            text += chunk
        return int(text.strip())

    def _accepts(self):
        try:
            display.Display(self.name).close()
            return True
        except Exception:  # not ready yet
            return False

    def env(self, **extra):
        """The environment for a client of this server. SDL is kept to its
        software renderer and window framebuffer: the pixels then do not
        depend on the machine's OpenGL stack, and no GL driver is unloaded at
        exit where LeakSanitizer could no longer name (and so excuse) it."""
        environment = dict(os.environ)
        environment["DISPLAY"] = self.name
        environment.pop("SDL_VIDEODRIVER", None)
        environment["SDL_RENDER_DRIVER"] = "software"
        environment["SDL_FRAMEBUFFER_ACCELERATION"] = "0"
        environment.update(extra)
        return environment

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return False


class Game:
    """The skirmora binary running under an X server, with its standard
    output and error collected in files (a pipe could fill and stall it)."""

    def __init__(self, binary, workdir, env):
        self._out = tempfile.TemporaryFile()
        self._err = tempfile.TemporaryFile()
        self.process = subprocess.Popen([binary], cwd=workdir, env=env,
                                        stdin=subprocess.DEVNULL,
                                        stdout=self._out, stderr=self._err)

    def running(self):
        return self.process.poll() is None

    def wait(self, timeout=30):
        """Waits for the program to end and returns its exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("the game did not exit within %d s" % timeout)

    def _read(self, stream):
        stream.seek(0)
        return stream.read().decode("utf-8", "replace")

    def stdout(self):
        return self._read(self._out)

    def stderr(self):
        return self._read(self._err)

    def stop(self):
        """Ends the program if it still runs (only this process)."""
        if self.running():
            self.process.kill()
            self.process.wait()
        self._out.close()
        self._err.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
        return False


class Window:
    """One top-level X window, read and driven through Xlib."""

    def __init__(self, display_name, window_id):
        self.display = display.Display(display_name)
        self.window = self.display.create_resource_object("window", window_id)
        self.id = window_id

    def close_connection(self):
        self.display.close()

    def title(self):
        utf8 = self.window.get_full_property(self.display.intern_atom("_NET_WM_NAME"),
                                             self.display.intern_atom("UTF8_STRING"))
        if utf8 and utf8.value:
            value = utf8.value
            return value.decode("utf-8") if isinstance(value, bytes) else str(value)
        return self.window.get_wm_name()

    def size(self):
        geometry = self.window.get_geometry()
        return geometry.width, geometry.height

    def position(self):
        """The window's top-left corner in screen coordinates."""
        root = self.display.screen().root
        origin = self.window.translate_coords(root, 0, 0)
        return -origin.x, -origin.y

    def screenshot(self):
        """The window's pixels as a Screenshot."""
        width, height = self.size()
        image = self.window.get_image(0, 0, width, height, X.ZPixmap, 0xFFFFFFFF)
        return Screenshot(width, height, image.data)

    def close(self):
        """Asks the program to close the window, as a window manager does."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=self.window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        self.window.send_event(event, event_mask=X.NoEventMask)
        self.display.flush()


class Screenshot:
    """A window's pixels; pixel(x, y) is 0xRRGGBB."""

    def __init__(self, width, height, data):
        self.width = width
        self.height = height
        # 24-bit visuals are stored as 32-bit little-endian B, G, R, pad.
        self.data = bytes(data)
        self.stride = len(self.data) // height if height else 0

    def pixel(self, x, y):
        offset = y * self.stride + x * 4
        blue, green, red = self.data[offset], self.data[offset + 1], self.data[offset + 2]
        return red << 16 | green << 8 | blue

    def count(self, colour):
        return sum(1 for y in range(self.height) for x in range(self.width)
                   if self.pixel(x, y) == colour)

    def most_common(self):
        counts = {}
        for y in range(0, self.height):
            row = y * self.stride
            for x in range(0, self.width):
                offset = row + x * 4
                key = self.data[offset + 2] << 16 | self.data[offset + 1] << 8 | self.data[offset]
                counts[key] = counts.get(key, 0) + 1
        return max(counts.items(), key=lambda item: item[1])[0]

    def save_png(self, path):
        """Writes the screenshot as an RGB PNG, for a person to look at."""
        rows = bytearray()
        for y in range(self.height):
            rows.append(0)
            for x in range(self.width):
                offset = y * self.stride + x * 4
                rows += bytes((self.data[offset + 2], self.data[offset + 1], self.data[offset]))

        def chunk(kind, body):
            return (struct.pack(">I", len(body)) + kind + body +
                    struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(bytes(rows))) + chunk(b"IEND", b""))


def _viewable(display_name, window_id):
    """True once the window is mapped, so its pixels can be read."""
    connection = display.Display(display_name)
    try:
        window = connection.create_resource_object("window", window_id)
        return window.get_attributes().map_state == X.IsViewable
    except Exception:  # the window went away between search and query
        return False
    finally:
        connection.close()


def find_window(xvfb, game, name=WINDOW_NAME, timeout=60):
    """Waits until a visible window whose title contains name exists, and
    returns it. Fails at once if the game has ended."""

    def search():
        if not game.running():
            raise HarnessError("the game exited with %s before showing its window;\n"
                               "stdout:\n%s\nstderr:\n%s"
                               % (game.process.returncode, game.stdout(), game.stderr()))
        found = subprocess.run(["xdotool", "search", "--name", name],
                               env=xvfb.env(), capture_output=True, text=True)
        for window_id in (int(word) for word in found.stdout.split()):
            if _viewable(xvfb.name, window_id):
                return window_id
        return None

    try:
        window_id = poll("a window named %r" % name, search, timeout, 0.1)
    except HarnessError as error:
        windows = subprocess.run(["xdotool", "search", "--name", "."], env=xvfb.env(),
                                 capture_output=True, text=True)
        raise HarnessError("%s on %s; windows there: %s; game stdout:\n%s\nstderr:\n%s"
                           % (error, xvfb.name, windows.stdout.split(), game.stdout(),
                              game.stderr()))
    return Window(xvfb.name, window_id)


def wait_for_screen(window, check, what, timeout=30):
    """Takes screenshots until check(screenshot) holds; returns the last."""
    latest = {}

    def attempt():
        latest["shot"] = window.screenshot()
        return check(latest["shot"])

    try:
        poll(what, attempt, timeout, 0.1)
    except HarnessError:
        shot = latest.get("shot")
        if shot is not None:
            path = os.path.join(tempfile.gettempdir(), "skirmora-e2e-failure.png")
            shot.save_png(path)
            raise HarnessError("timed out waiting for %s; last screenshot in %s" % (what, path))
        raise
    return latest["shot"]


def focus(xvfb, window):
    """Gives the window the keyboard focus (there is no window manager)."""
    subprocess.run(["xdotool", "windowfocus", "--sync", str(window.id)], env=xvfb.env(),
                   check=True)


def send_keys(xvfb, window, *keys, delay_ms=30):
    """Types keys (xdotool names, e.g. "space", "a") as a real keyboard
    would: focus the window, then press and release each in turn."""
    focus(xvfb, window)
    subprocess.run(["xdotool", "key", "--delay", str(delay_ms)] + list(keys), env=xvfb.env(),
                   check=True)


def hold_key(xvfb, window, key, seconds):
    """Holds a key down for a while (the server repeats it), then lets go."""
    focus(xvfb, window)
    env = xvfb.env()
    subprocess.run(["xdotool", "keydown", key], env=env, check=True)
    try:
        time.sleep(seconds)
    finally:
        subprocess.run(["xdotool", "keyup", key], env=env, check=True)


def click(xvfb, window, x, y, button=1):
    """Clicks at (x, y) in window coordinates."""
    env = xvfb.env()
    subprocess.run(["xdotool", "mousemove", "--window", str(window.id), str(x), str(y)],
                   env=env, check=True)
    subprocess.run(["xdotool", "click", "--window", str(window.id), str(button)],
                   env=env, check=True)
