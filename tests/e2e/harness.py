# Runs the real skirmora program in a real X window under a private Xvfb and
# drives it as a player does: clicks and keys through xdotool, pixels read from
# the window, and closing as a window manager would (WM_DELETE_WINDOW). Every
# wait polls with a deadline. The game's facts (places, colours) come from the
# game_facts tool of the build, never from a copy written here.

import json
import os
import subprocess
import tempfile
import time

from Xlib import X, display, protocol


def facts(build_dir):
    return json.loads(subprocess.check_output([os.path.join(build_dir, "tools", "game_facts")]))


def poll(what, check, timeout, interval=0.1):
    deadline = time.monotonic() + timeout
    while not (result := check()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)
    return result


class Xvfb:
    # A private X server on a display number of its own choosing, with a
    # light window manager when asked for one (fullscreen needs one).
    def __init__(self, screen="1280x1024x24", window_manager=False):
        self.screen, self.window_manager, self.processes = screen, window_manager, []

    def __enter__(self):
        read_end, write_end = os.pipe()
        # -noreset: a server that resets when its last client leaves refuses
        # a client that connects meanwhile.
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen, "-nolisten", "tcp",
             "-noreset"], pass_fds=(write_end,), stderr=subprocess.DEVNULL))
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ":" + numbers.readline().strip()
        if self.window_manager:
            self.processes.append(subprocess.Popen(["openbox", "--sm-disable"], env=self.env(),
                                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            poll("the window manager", lambda: self.tool("wmctrl", "-m").returncode == 0, 30)
        return self

    def env(self, **extra):
        # A client's environment: this server, and SDL kept to its software
        # renderer so that pixels do not depend on the machine's OpenGL.
        return dict(os.environ, DISPLAY=self.name, SDL_VIDEODRIVER="x11", SDL_RENDER_DRIVER="software",
                    SDL_FRAMEBUFFER_ACCELERATION="0", **extra)

    def tool(self, *command):
        return subprocess.run(command, env=self.env(), capture_output=True, text=True)

    def __exit__(self, *exc):
        for process in reversed(self.processes):
            process.kill()
            process.wait()


class Game:
    # The program running under a server, its output kept in files.
    def __init__(self, xvfb, command, workdir, **env):
        self.xvfb = xvfb
        self.out, self.err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, cwd=workdir, env=xvfb.env(**env), stdin=subprocess.DEVNULL,
                                        stdout=self.out, stderr=self.err)

    def output(self, stream):
        stream.seek(0)
        return stream.read().decode("utf-8", "replace")

    def window(self, name="My Demonstration Program", timeout=60):
        def visible():
            if self.process.poll() is not None:
                raise AssertionError("the game exited with %s:\n%s%s" % (
                    self.process.returncode, self.output(self.out), self.output(self.err)))
            for word in self.xvfb.tool("xdotool", "search", "--onlyvisible", "--name", name).stdout.split():
                return Window(self.xvfb, int(word))
        return poll("a window named %r" % name, visible, timeout)

    def wait(self, timeout=60):
        return self.process.wait(timeout=timeout)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.kill()  # nothing when it has ended
        self.process.wait()


class Shot:
    # A screenshot; pixel(x, y) is 0xRRGGBB.
    def __init__(self, image, width, height):
        self.words, self.width, self.height = memoryview(image.data).cast("I"), width, height
        self.stride = len(self.words) // height

    def pixel(self, x, y):
        return self.words[y * self.stride + x] & 0xFFFFFF

    def count(self, box, colour):
        x1, y1, x2, y2 = box
        return sum(self.pixel(x, y) == colour for y in range(y1, y2 + 1) for x in range(x1, x2 + 1))



class Window:
    def __init__(self, xvfb, window_id):
        self.xvfb, self.id = xvfb, window_id
        self.display = display.Display(xvfb.name)
        self.window = self.display.create_resource_object("window", window_id)

    def title(self):
        return self.xvfb.tool("xdotool", "getwindowname", str(self.id)).stdout.strip()

    def geometry(self):
        # The window's place on the screen and its size.
        g = self.window.get_geometry()
        origin = self.window.translate_coords(self.display.screen().root, 0, 0)
        return -origin.x, -origin.y, g.width, g.height

    def shot(self):
        g = self.window.get_geometry()
        return Shot(self.window.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF), g.width, g.height)

    def wait_for(self, what, check, timeout=60):
        latest = {}

        def attempt():
            latest["shot"] = self.shot()
            return check(latest["shot"])
        poll(what, attempt, timeout)
        return latest["shot"]

    def click(self, x, y, button=1):
        self.xvfb.tool("xdotool", "mousemove", "--window", str(self.id), str(x), str(y),
                       "click", str(button))

    def keys(self, *names, action="key"):
        # Presses and lets go of keys; action "keydown" or "keyup" does half.
        self.xvfb.tool("xdotool", "windowfocus", "--sync", str(self.id))
        self.xvfb.tool("xdotool", action, "--delay", "30", *names)

    def hold(self, key, seconds):
        self.keys(key, action="keydown")
        time.sleep(seconds)
        self.keys(key, action="keyup")

    def close(self):
        # Asks the program to close its window, as a window manager does.
        atom = self.display.intern_atom
        event = protocol.event.ClientMessage(window=self.window, client_type=atom("WM_PROTOCOLS"),
                                             data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        self.window.send_event(event, event_mask=X.NoEventMask)
        self.display.flush()
