"""A virtual X desktop and a Tenvaro process on it, driven as a user would.

Xvfb with openbox as the window manager; xdotool and wmctrl for the mouse,
the keyboard and the close box. The program runs on the simulated port with
a trace, so every port access can be checked afterwards.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

# Client-area centres of the form's controls (parent offset + control centre).
CONTROL_CENTRES = {
    "D0": (8 + 8 + 8, 8 + 12), "D1": (24, 32 + 12), "D2": (24, 56 + 12), "D3": (24, 80 + 12),
    "D4": (24, 104 + 12), "D5": (24, 128 + 12), "D6": (24, 152 + 12), "D7": (24, 176 + 12),
    "Strobe": (112 + 8 + 6, 16 + 8), "AUTOFXIN": (126, 40 + 8), "INIT": (126, 64 + 8),
    "SLCTIN": (126, 88 + 8), "BitBtn1": (128 + 40, 168 + 20),
}


class Desktop:
    """Xvfb plus openbox; stop() ends both."""

    def __init__(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_for(lambda: self.run("wmctrl", "-m").returncode == 0, "the window manager")

    def stop(self):
        for process in (self.wm, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def kill_server(self):
        self.xvfb.kill()
        self.xvfb.wait()

    def run(self, *command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=20)

    def windows(self, name="^Tenvaro$"):
        result = self.run("xdotool", "search", "--onlyvisible", "--name", name)
        return [line for line in result.stdout.split() if line]

    def wait_for_windows(self, count=1, name="^Tenvaro$", timeout=15):
        self._wait_for(lambda: len(self.windows(name)) >= count, f"{count} window(s) named {name}",
                       timeout)
        time.sleep(0.3)  # let the window manager finish mapping and focusing
        return self.windows(name)

    def client_origin(self, window):
        # xwininfo, not xdotool: the latter counts the frame's offset twice.
        info = self.run("xwininfo", "-id", window).stdout
        values = dict(line.strip().split(":", 1) for line in info.splitlines() if "Absolute upper-left" in line)
        return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])

    def click(self, window, control):
        x0, y0 = self.client_origin(window)
        dx, dy = CONTROL_CENTRES[control]
        self.run("xdotool", "mousemove", "--sync", str(x0 + dx), str(y0 + dy), "click", "1")
        time.sleep(0.15)

    def key(self, window, keys):
        self.run("xdotool", "windowactivate", "--sync", window)
        self.run("xdotool", "key", "--clearmodifiers", keys)
        time.sleep(0.15)

    def close_box(self, window):
        self.run("wmctrl", "-i", "-c", window)

    @staticmethod
    def _wait_for(condition, what, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")


class Run:
    """One Tenvaro process on a simulated port whose file starts with `found`."""

    def __init__(self, binary, desktop=None, found=(0x5A, 0x7F, 0xE4), extra_env=None, sim=None):
        self.dir = tempfile.mkdtemp(prefix="tenvaro-process-")
        self.sim = sim or os.path.join(self.dir, "port")
        self.trace = os.path.join(self.dir, "trace")
        if not sim:
            with open(self.sim, "wb") as f:
                f.write(bytes(found))
        env = dict(desktop.env if desktop else os.environ)
        env.update(TENVARO_PORTIO="sim", TENVARO_PORTIO_SIM=self.sim, TENVARO_PORTIO_TRACE=self.trace,
                   XDG_RUNTIME_DIR=self.dir)
        if not desktop:
            env["QT_QPA_PLATFORM"] = "offscreen"
        env.update(extra_env or {})
        self.process = subprocess.Popen([binary], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, text=True)
        self.stderr = ""

    def wait(self, timeout=20):
        try:
            _, self.stderr = self.process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            _, self.stderr = self.process.communicate()
            raise
        return self.process.returncode

    def signal(self, number):
        self.process.send_signal(number)

    def wait_for_trace(self, count, timeout=15):
        """Until the trace has `count` lines; polled often, to catch the program early."""
        deadline = time.monotonic() + timeout
        while len(self.trace_lines()) < count:
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise AssertionError(f"the trace never reached {count} lines: {self.trace_lines()}")
            time.sleep(0.001)

    def port_bytes(self):
        with open(self.sim, "rb") as f:
            return tuple(f.read())

    def trace_lines(self):
        if not os.path.exists(self.trace):
            return []
        with open(self.trace) as f:
            return f.read().splitlines()

    def cleanup(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


def start_trace(data, control):
    """The accesses from start to the window's twelve lines low, on a port found at data/control."""
    lines = [f"R 0x378 0x{data:02X}", f"R 0x37A 0x{control:02X}", "W 0x378 0x00", "W 0x37A 0x05",
             "R 0x37A 0x05", "W 0x37A 0x05"]
    lines += ["R 0x378 0x00", "W 0x378 0x00"] * 8
    lines += ["R 0x37A 0x05", "W 0x37A 0x07", "R 0x37A 0x07", "W 0x37A 0x03", "R 0x37A 0x03",
              "W 0x37A 0x0B"]
    return lines


def restore_trace(data, control):
    return [f"W 0x378 0x{data:02X}", f"W 0x37A 0x{control:02X}"]
