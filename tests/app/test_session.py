"""The built Tenvaro when the desktop session ends: the user logs out, or the
session manager itself goes away.

A small XSMP session manager (session_manager.c) stands in for the desktop's:
Tenvaro registers with it through SESSION_MANAGER, and on "logout" it is asked
to save (shutdown, global, no interaction) and then told to die.
"""

import os
import subprocess
import unittest

from desktop import Desktop, Run, restore_trace, start_trace

TENVARO = os.environ.get("TENVARO_BIN", "../../build/app/Tenvaro")
FAULTS = os.environ.get("TENVARO_FAULTS_BIN", "../../build/app/faults/Tenvaro")
SESSION_MANAGER = os.environ.get("TENVARO_SESSION_MANAGER", "../../build/tests/app/session_manager")
FOUND = (0x5A, 0x7F, 0xE4)


class SessionManager:
    """The test session manager; it ends itself if nothing happens for 30 s."""

    def __init__(self):
        self.process = subprocess.Popen([SESSION_MANAGER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        self.network_id = self.line()

    def line(self):
        return self.process.stdout.readline().rstrip("\n")

    def logout(self):
        self.process.stdin.write("logout\n")
        self.process.stdin.flush()

    def finish(self, timeout=40):
        """The lines it printed after the last one read, and its exit code."""
        output, errors = self.process.communicate(timeout=timeout)
        return output.splitlines(), self.process.returncode, errors

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.communicate()
        # Killed, it leaves its socket's file behind.
        for address in self.network_id.split(","):
            path = address.partition(":")[2]
            if address.startswith("unix/") and os.path.exists(path):
                os.unlink(path)


class WhenTheSessionEnds(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.stop)
        self.manager = SessionManager()
        self.addCleanup(self.manager.stop)
        self.assertTrue(self.manager.network_id.startswith(("local/", "unix/")), self.manager.network_id)

    def start(self, binary=TENVARO, extra_env=None):
        """Tenvaro in the session, its window shown and registered with the manager."""
        run = Run(binary, self.desktop, FOUND,
                  extra_env=dict(extra_env or {}, SESSION_MANAGER=self.manager.network_id))
        self.addCleanup(run.cleanup)
        [window] = self.desktop.wait_for_windows()
        self.assertRegex(self.manager.line(), r"^registered \S+$")
        return run, window

    def assertRestored(self, run, body, exit_code=0):
        self.assertEqual(run.wait(), exit_code, run.stderr)
        self.assertEqual(run.trace_lines(), start_trace(*FOUND[::2]) + body + restore_trace(*FOUND[::2]))
        self.assertEqual(run.port_bytes(), FOUND)

    def assertLoggedOut(self):
        """It ended on the logout itself: it saved, was told to die, and said goodbye."""
        lines, code, errors = self.manager.finish()
        self.assertEqual((lines, code), (["save-yourself-done 1", "die", "closed"], 0), errors)

    def test_logging_out_ends_the_program_and_restores_the_port(self):
        run, window = self.start()
        self.desktop.click(window, "D3")
        self.assertEqual(run.port_bytes()[0], 0x08)  # pin 5 high when the session ends
        self.manager.logout()
        self.assertRestored(run, ["R 0x378 0x00", "W 0x378 0x08"])
        self.assertLoggedOut()

    def test_logging_out_with_a_message_box_open_still_restores(self):
        # The quit Qt sends on Die is ignored if a window refuses to close.
        run, window = self.start(FAULTS, {"TENVARO_TEST_THROW": "click"})
        self.desktop.click(window, "D0")  # its handler fails and a message box opens
        self.desktop.wait_for_windows(2)
        self.manager.logout()
        self.assertRestored(run, [])
        self.assertLoggedOut()

    def test_session_manager_going_away_still_restores(self):
        run, window = self.start()
        self.desktop.click(window, "D1")
        self.manager.stop()
        # ICE's default I/O error handler ends the process with exit(1); the
        # port is restored by the static finaliser, as when the display goes.
        self.assertRestored(run, ["R 0x378 0x00", "W 0x378 0x02"], exit_code=1)

if __name__ == "__main__":
    unittest.main()
