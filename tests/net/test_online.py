# Online play between two real game processes on this machine's loopback
# address, each a headless peer that walks the shared menus and holds
# seeded random keys (skirmora_netpeer). Directly, and through a relay of
# our own that delays, drops and reorders datagrams as a real network does;
# then a guest killed mid-round. Nothing is sent beyond 127.0.0.1, and every
# wait has a deadline.
#
# Usage: test_online.py BUILD_DIR SOURCE_DIR [TestClass.test_name]

import heapq
import os
import random
import select
import signal
import socket
import subprocess
import sys
import threading
import time
import unittest

BUILD = SOURCE = None
LOOPBACK = "127.0.0.1"


def free_udp_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        probe.bind((LOOPBACK, 0))
        return probe.getsockname()[1]


class Relay(threading.Thread):
    """Carries datagrams between a guest and a host on the loopback address,
    each one late by a delay with jitter (so some overtake others), and
    drops a share of them, in both directions."""

    def __init__(self, host_port, delay=0.050, jitter=0.010, loss=0.05, seed=7):
        super().__init__(daemon=True)
        self.host = (LOOPBACK, host_port)
        self.delay, self.jitter, self.loss = delay, jitter, loss
        self.random = random.Random(seed)
        self.outside = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.outside.bind((LOOPBACK, 0))
        self.port = self.outside.getsockname()[1]
        self.inside = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.inside.bind((LOOPBACK, 0))
        self.guest = None
        self.queue = []
        self.sent = self.dropped = 0
        self.stopping = threading.Event()

    def hold(self, data, to, through):
        if self.random.random() < self.loss:
            self.dropped += 1
            return
        due = time.monotonic() + self.delay + self.random.uniform(-self.jitter, self.jitter)
        heapq.heappush(self.queue, (due, self.sent + self.dropped, data, to, through))
        self.sent += 1

    def run(self):
        while not self.stopping.is_set():
            wait = 0.002
            if self.queue:
                wait = max(0.0, min(wait, self.queue[0][0] - time.monotonic()))
            readable, _, _ = select.select([self.outside, self.inside], [], [], wait)
            for sock in readable:
                data, source = sock.recvfrom(65536)
                if sock is self.outside:
                    self.guest = source
                    self.hold(data, self.host, self.inside)
                elif self.guest:
                    self.hold(data, self.guest, self.outside)
            while self.queue and self.queue[0][0] <= time.monotonic():
                _, _, data, to, through = heapq.heappop(self.queue)
                through.sendto(data, to)

    def stop(self):
        self.stopping.set()
        self.join(5)
        self.outside.close()
        self.inside.close()


class Peer:
    def __init__(self, *arguments):
        env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
        self.process = subprocess.Popen([os.path.join(BUILD, "tests", "skirmora_netpeer"), *arguments],
                                        cwd=SOURCE, env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)

    def finish(self, timeout):
        try:
            out, err = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            out, err = self.process.communicate()
            raise AssertionError("a peer did not finish within %d s:\n%s" % (timeout, err))
        return Report(out, err, self.process.returncode)


class Report:
    def __init__(self, out, err, status):
        self.out, self.err, self.status = out, err, status
        lines = out.splitlines()
        self.digests = [line for line in lines if line.startswith("digest ")]
        self.result = next((line for line in lines if line.startswith("result ")), None)
        self.state = next((int(line.split()[1]) for line in lines if line.startswith("state ")), None)
        figures = next((line.split() for line in lines if line.startswith("figures ")), [])
        self.figures = {figures[i]: float(figures[i + 1]) for i in range(2, len(figures) - 1, 2)}


def play(seconds, relay=False, extra=()):
    port = free_udp_port()
    host = Peer("--host", str(port), "--seconds", str(seconds), "--seed", "11", *extra)
    through = Relay(port) if relay else None
    if through:
        through.start()
    time.sleep(0.3)
    guest = Peer("--join", "%s:%d" % (LOOPBACK, through.port if through else port), "--seconds",
                 str(seconds), "--seed", "12", *extra)
    try:
        return host.finish(seconds + 60), guest.finish(seconds + 60), through
    finally:
        if through:
            through.stop()


class Online(unittest.TestCase):
    def assert_in_step(self, host, guest, seconds):
        for side in (host, guest):
            self.assertEqual(side.status, 0, side.err)
            self.assertNotIn("out of sync", side.err)
        # A digest every 64 passes of 15 ms, compared by both sides: the
        # same list, up to where the first to stop stopped comparing.
        shorter = min(len(host.digests), len(guest.digests))
        self.assertGreaterEqual(shorter, int(seconds * 1000 / 15 / 64) - 3, host.out + guest.out)
        self.assertEqual(host.digests[:shorter], guest.digests[:shorter])
        self.assertEqual(host.figures["malformed"], 0)

    def test_two_peers_play_twenty_seconds_in_step(self):
        host, guest, _ = play(20)
        self.assert_in_step(host, guest, 20)

    def test_through_delay_jitter_loss_and_reordering_they_stay_in_step(self):
        host, guest, relay = play(20, relay=True)
        self.assert_in_step(host, guest, 20)
        self.assertGreater(relay.dropped, 0)
        for name, side in (("host", host), ("guest", guest)):
            figures = side.figures
            # The figures for the notes, in the test's output.
            print("%s: %d passes, %d rollbacks, deepest %d, %d passes run again, %d left out, "
                  "%d waited, worst pass %.2f ms, %d bytes sent, %d received" % (
                      name, figures["passes"], figures["rollbacks"], figures["deepest"], figures["again"],
                      figures["skipped"], figures["stalled"], figures["worst_ms"], figures["sent"],
                      figures["received"]), file=sys.stderr)
            self.assertLessEqual(figures["deepest"], 10)

    def test_a_guest_killed_mid_round_leaves_the_host_at_the_main_menu(self):
        port = free_udp_port()
        host = Peer("--host", str(port), "--seconds", "60", "--seed", "3")
        time.sleep(0.3)
        guest = Peer("--join", "%s:%d" % (LOOPBACK, port), "--seconds", "60", "--seed", "4")
        time.sleep(4)
        guest.process.send_signal(signal.SIGKILL)
        killed = time.monotonic()
        report = host.finish(30)
        self.assertLess(time.monotonic() - killed, 6.5)
        self.assertIn("connection lost", report.err)
        self.assertEqual(report.state, 0, "back at the main menu")
        guest.process.wait(5)


if __name__ == "__main__":
    BUILD, SOURCE = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)
