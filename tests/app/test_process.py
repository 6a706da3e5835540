"""The built Tenvaro, started, clicked and closed as a user would."""

import os
import re
import signal
import subprocess
import unittest

from desktop import Desktop, Run, restore_trace, start_trace

TENVARO = os.environ.get("TENVARO_BIN", "../../build/app/Tenvaro")
FAULTS = os.environ.get("TENVARO_FAULTS_BIN", "../../build/app/faults/Tenvaro")
FOUND = (0x5A, 0x7F, 0xE4)


class OnTheDesktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    def start(self, binary=TENVARO, **kwargs):
        run = Run(binary, self.desktop, FOUND, **kwargs)
        self.addCleanup(run.cleanup)
        return run

    def assertRestored(self, run, body, exit_code=0):
        self.assertEqual(run.wait(), exit_code, run.stderr)
        self.assertEqual(run.trace_lines(), start_trace(*FOUND[::2]) + body + restore_trace(*FOUND[::2]))
        self.assertEqual(run.port_bytes(), FOUND)

    def test_clicks_reach_the_port_and_closing_restores_it(self):
        run = self.start()
        [window] = self.desktop.wait_for_windows()
        for control in ("D3", "D3", "D7", "Strobe", "INIT", "INIT", "SLCTIN"):
            self.desktop.click(window, control)
        self.desktop.click(window, "BitBtn1")
        self.assertRestored(run, [
            "R 0x378 0x00", "W 0x378 0x08",  # D3 on: pin 5 high
            "R 0x378 0x08", "W 0x378 0x00",  # D3 off
            "R 0x378 0x00", "W 0x378 0x80",  # D7 on: pin 9 high
            "R 0x37A 0x0B", "W 0x37A 0x0A",  # Strobe: pin 1 high
            "R 0x37A 0x0A", "W 0x37A 0x0E",  # INIT: pin 16 high; the second click says nothing
            "R 0x37A 0x0E", "W 0x37A 0x06",  # SLCTIN: pin 17 high
        ])

    def test_every_way_of_closing_restores_the_port(self):
        ways = {
            "close button": lambda w: self.desktop.click(w, "BitBtn1"),
            "close box": lambda w: self.desktop.close_box(w),
            "Alt+F4": lambda w: self.desktop.key(w, "alt+F4"),
            "Alt+C": lambda w: self.desktop.key(w, "alt+c"),
            "C": lambda w: self.desktop.key(w, "c"),
        }
        for name, close in ways.items():
            with self.subTest(name):
                run = self.start()
                [window] = self.desktop.wait_for_windows()
                close(window)
                self.assertRestored(run, [])

    def test_the_window_manager_is_asked_for_a_fixed_frame_with_a_close_box_only(self):
        run = self.start()
        [window] = self.desktop.wait_for_windows()
        properties = self.desktop.run("xprop", "-id", window, "_MOTIF_WM_HINTS", "WM_NORMAL_HINTS",
                                      "_NET_FRAME_EXTENTS", "_NET_WM_ALLOWED_ACTIONS").stdout

        # Motif hints: flags, functions, decorations (bits from Xm/MwmUtil.h).
        motif = re.search(r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = (.*)", properties).group(1)
        flags, functions, decorations = (int(value, 16) for value in motif.split(", ")[:3])
        self.assertEqual(flags & 0x3, 0x3, "functions and decorations are both given")
        self.assertTrue(functions & 0x20, "close")
        self.assertFalse(functions & (0x01 | 0x08 | 0x10), "no 'all', minimise or maximise")
        self.assertFalse(decorations & (0x01 | 0x20 | 0x40), "no 'all', minimise or maximise box")

        self.assertIn("program specified minimum size: 224 by 221", properties)
        self.assertIn("program specified maximum size: 224 by 221", properties)
        allowed = re.search(r"_NET_WM_ALLOWED_ACTIONS\(ATOM\) = (.*)", properties).group(1).split(", ")
        self.assertIn("_NET_WM_ACTION_CLOSE", allowed)
        for action in ("_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"):
            self.assertNotIn(action, allowed)

        # The frame's outer corner sits where the form was designed to open.
        left, _, top, _ = (int(value) for value in
                           re.search(r"_NET_FRAME_EXTENTS\(CARDINAL\) = (.*)", properties).group(1).split(", "))
        x, y = self.desktop.client_origin(window)
        self.assertEqual((x - left, y - top), (387, 238))
        run.signal(signal.SIGTERM)
        self.assertRestored(run, [])

    def test_escape_does_not_close(self):
        run = self.start()
        [window] = self.desktop.wait_for_windows()
        self.desktop.key(window, "Escape")
        self.desktop.key(window, "Return")
        self.assertEqual(run.process.poll(), None)
        self.assertEqual(self.desktop.windows(), [window])
        self.desktop.click(window, "BitBtn1")
        self.assertRestored(run, [])

    def test_failed_window_shows_one_message_and_still_restores(self):
        run = self.start(FAULTS, extra_env={"TENVARO_TEST_THROW": "window"})
        [box] = self.desktop.wait_for_windows()
        self.assertIn("_NET_WM_WINDOW_TYPE_DIALOG", self.desktop.run("xprop", "-id", box).stdout)
        self.desktop.key(box, "Return")
        self.assertRestored(run, [])
        self.assertEqual(run.stderr.count("Injected failure in window."), 1, run.stderr)

    def test_exception_in_a_click_is_shown_and_the_window_goes_on(self):
        run = self.start(FAULTS, extra_env={"TENVARO_TEST_THROW": "click"})
        [window] = self.desktop.wait_for_windows()
        self.desktop.click(window, "D0")  # its handler fails before reaching the port
        boxes = self.desktop.wait_for_windows(2)
        [box] = [b for b in boxes if b != window]
        self.desktop.key(box, "Return")
        self.desktop.click(window, "D1")
        self.desktop.click(window, "BitBtn1")
        self.assertRestored(run, ["R 0x378 0x00", "W 0x378 0x02"])
        self.assertEqual(run.stderr.count("Tenvaro: Injected failure in click."), 1, run.stderr)


    def test_signals_end_through_the_same_path_as_closing(self):
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal.Signals(number).name):
                run = self.start()
                [window] = self.desktop.wait_for_windows()
                self.desktop.click(window, "D5")
                run.signal(number)
                self.assertRestored(run, ["R 0x378 0x00", "W 0x378 0x20"])

    def test_a_signal_while_starting_up_still_ends_through_the_restore(self):
        # Sent as soon as the port has been recorded and driven low, while Qt
        # is still connecting to the display.
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal.Signals(number).name):
                run = self.start()
                run.wait_for_trace(4)
                run.signal(number)
                self.assertRestored(run, [])

    def test_signal_while_a_message_box_is_open_still_restores(self):
        run = self.start(FAULTS, extra_env={"TENVARO_TEST_THROW": "click"})
        [window] = self.desktop.wait_for_windows()
        self.desktop.click(window, "D0")
        self.desktop.wait_for_windows(2)
        run.signal(signal.SIGTERM)
        self.assertRestored(run, [])

    def test_a_second_instance_is_refused_and_the_first_keeps_its_pins(self):
        first = self.start()
        [window] = self.desktop.wait_for_windows()
        self.desktop.click(window, "D2")
        second = Run(TENVARO, self.desktop, FOUND, sim=first.sim)
        self.addCleanup(second.cleanup)
        [box] = self.desktop.wait_for_windows(2)[-1:]
        self.desktop.key(box, "Return")
        self.assertEqual(second.wait(), 1)
        self.assertIn(f"process {first.process.pid}", second.stderr)
        self.assertEqual(second.trace_lines(), [])
        self.assertEqual(first.port_bytes(), (0x04, FOUND[1], 0x0B))
        self.desktop.click(window, "BitBtn1")
        self.assertRestored(first, ["R 0x378 0x00", "W 0x378 0x04"])

    def test_a_refused_second_instance_ends_on_a_signal_while_its_message_is_up(self):
        # Its message box is shown before the main loop runs.
        first = self.start()
        self.desktop.wait_for_windows()
        for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal.Signals(number).name):
                second = Run(TENVARO, self.desktop, FOUND, sim=first.sim)
                self.addCleanup(second.cleanup)
                self.desktop.wait_for_windows(2)
                second.signal(number)
                self.assertEqual(second.wait(), 1)
                self.assertIn(f"process {first.process.pid}", second.stderr)
                self.assertEqual(second.trace_lines(), [])
        first.signal(signal.SIGTERM)
        self.assertRestored(first, [])

    def test_removed_port_file_is_reported_and_the_window_goes_on(self):
        run = self.start()
        [window] = self.desktop.wait_for_windows()
        os.unlink(run.sim)
        self.desktop.click(window, "D4")
        boxes = self.desktop.wait_for_windows(2)
        [box] = [b for b in boxes if b != window]
        self.desktop.key(box, "Return")
        self.desktop.click(window, "BitBtn1")
        self.assertEqual(run.wait(), 0, run.stderr)
        self.assertEqual(run.trace_lines()[-4:], ["R 0x378 0x00", "W 0x378 0x10"] + restore_trace(*FOUND[::2]))
        self.assertEqual(run.stderr.count("was removed"), 3, run.stderr)  # the click and both restoring writes


class WhenTheDisplayGoesAway(unittest.TestCase):
    def test_x_server_killed_still_restores(self):
        desktop = Desktop()
        self.addCleanup(desktop.stop)
        run = Run(TENVARO, desktop, FOUND)
        self.addCleanup(run.cleanup)
        [window] = desktop.wait_for_windows()
        desktop.click(window, "D6")
        desktop.kill_server()
        self.assertEqual(run.wait(), 1, run.stderr)  # Qt ends the process itself when its display goes
        self.assertEqual(run.trace_lines(),
                         start_trace(*FOUND[::2]) + ["R 0x378 0x00", "W 0x378 0x40"] + restore_trace(*FOUND[::2]))
        self.assertEqual(run.port_bytes(), FOUND)


    def test_x_server_killed_with_the_port_gone_reports_the_failed_restore_on_stderr(self):
        # The message boxes are gone with the display: the failure of the
        # restore can only be told on stderr, and must not crash the exit.
        desktop = Desktop()
        self.addCleanup(desktop.stop)
        run = Run(TENVARO, desktop, FOUND)
        self.addCleanup(run.cleanup)
        desktop.wait_for_windows()
        os.unlink(run.sim)
        desktop.kill_server()
        self.assertEqual(run.wait(), 1, run.stderr)
        self.assertEqual(run.trace_lines()[-2:], restore_trace(*FOUND[::2]))
        self.assertEqual(run.stderr.count("Tenvaro: the simulated port's file"), 2, run.stderr)


class WithoutADesktop(unittest.TestCase):
    def test_bad_variable_values_exit_2_before_touching_the_port(self):
        cases = {
            "TENVARO_PORTIO": ("simulated", "TENVARO_PORTIO=simulated"),
            "TENVARO_PORTIO_TRACE": ("/nonexistent-dir/trace", "TENVARO_PORTIO_TRACE"),
        }
        for variable, (value, mentioned) in cases.items():
            with self.subTest(variable):
                run = Run(TENVARO, None, FOUND, extra_env={variable: value})
                self.addCleanup(run.cleanup)
                self.assertEqual(run.wait(), 2)
                self.assertIn(mentioned, run.stderr)
                self.assertEqual(run.port_bytes(), FOUND)
                self.assertEqual(run.trace_lines(), [])


if __name__ == "__main__":
    unittest.main()
