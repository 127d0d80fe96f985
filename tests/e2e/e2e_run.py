#!/usr/bin/env python3
"""End-to-end run of the real program, as a user would use it.

Starts the sample site on a free port, writes a 配置.ini pointing at it into a temporary working
directory, starts corvelle under its own Xvfb display, types fund codes with xdotool, releases the
mouse over "分析", presses "导出" until the save dialog appears (the list is complete only then),
accepts the proposed name, and compares the written .txt file with what the sample site's data says
it must hold. Then it closes the window like a window manager does and checks 配置.ini.

Usage: e2e_run.py BUILD_DIR SOURCE_DIR [ARTIFACT_DIR] [--all-funds]
With --all-funds every fund the sample site serves is typed (the benchmarks use it for peak memory).
"""
import os
import pathlib
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import expected_export  # noqa: E402
import xwindow  # noqa: E402

CODES = ["481010", "002264", "481010", "", "0022645", "110011", "005827", "161005", "163402", "000083"]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_port(port, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


def start_display():
    """Starts a private Xvfb; it picks a free display number itself and reports it once it is ready."""
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    return f":{number}", proc


def click(x, y):
    xwindow.xdotool("mousemove", str(x), str(y))
    xwindow.xdotool("click", "1")


class E2EFailure(Exception):
    pass


def fail(message):
    raise E2EFailure(message)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    all_funds = "--all-funds" in sys.argv
    build = pathlib.Path(args[0]).resolve()
    source = pathlib.Path(args[1]).resolve()
    artifacts = pathlib.Path(args[2] if len(args) > 2 else build / "e2e-artifacts").resolve()
    artifacts.mkdir(parents=True, exist_ok=True)
    program = build / "corvelle"
    site = build / "tools" / "sample-site" / "corvelle-sample-site"
    data = source / "tools" / "sample-site" / "data"
    codes = list(expected_export.load(data)[1]) if all_funds else CODES

    port = free_port()
    work = pathlib.Path(tempfile.mkdtemp(prefix="corvelle-e2e-"))
    settings = work / "配置.ini"
    settings.write_bytes(
        f"[设置]\r\n颜色=2\r\n[网络]\r\n基金网址=http://127.0.0.1:{port}/\r\n行情网址=http://127.0.0.1:{port}\r\n"
        .encode("gbk"))

    processes = []
    try:
        site_proc = subprocess.Popen([str(site), "--port", str(port), "--data", str(data)],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(site_proc)
        if not wait_port(port):
            fail("the sample site did not start")

        display, xvfb = start_display()
        processes.append(xvfb)
        os.environ["DISPLAY"] = display
        env = dict(os.environ, DISPLAY=display)
        env.pop("QT_QPA_PLATFORM", None)
        for old in build.glob("*.Marlune.txt"):
            old.unlink()

        app = subprocess.Popen([str(program)], cwd=work, env=env)
        processes.append(app)
        window = xwindow.wait_for_window("^Corvelle 3.0", 30)
        if window is None:
            fail("the main window did not appear")
        time.sleep(0.5)
        left, top, _, _ = xwindow.geometry(window)

        click(left + 24 + 64, top + 56 + 100)  # into 编辑框_代码
        for index, code in enumerate(codes):
            if code:
                xwindow.xdotool("type", "--delay", "20", code)
            if index + 1 < len(codes):
                xwindow.xdotool("key", "Return")
        click(left + 24 + 64, top + 546 + 20)  # press and release over 分析

        # The export command does nothing while the list is empty and shows a message while it fills;
        # the save dialog appears only once the list holds the whole table.
        dialog = None
        deadline = time.monotonic() + 90
        while dialog is None and time.monotonic() < deadline:
            click(left + 528 + 32, top + 554 + 16)  # 导出
            for _ in range(20):
                dialog = xwindow.find_windows("^保存文件$")
                message = xwindow.find_windows("^信息：$")
                if dialog or message:
                    break
                time.sleep(0.1)
            if message and not dialog:
                # The box has the keyboard focus once it is shown; typed keys reach it like a user's.
                time.sleep(0.3)
                xwindow.xdotool("key", "Return")
                time.sleep(0.5)
                dialog = None
            elif not dialog:
                time.sleep(0.5)
                dialog = None
        if not dialog:
            fail("the save dialog never appeared")

        subprocess.run(["import", "-window", "root", str(artifacts / "e2e-dialog.png")], env=env)
        # Let the dialog settle and take the focus (Qt may replace the first window it maps), then press
        # Enter as a user would, which accepts the proposed name.
        time.sleep(0.5)
        xwindow.xdotool("key", "Return")
        written = None
        for _ in range(100):
            files = sorted(build.glob("*.Marlune.txt"))
            if files:
                written = files[-1]
                break
            time.sleep(0.1)
        if written is None:
            fail("no .Marlune.txt file appeared in the executable's folder")
        time.sleep(0.3)
        subprocess.run(["import", "-window", "root", str(artifacts / "e2e-filled.png")], env=env)

        status = pathlib.Path(f"/proc/{app.pid}/status").read_text()
        peak = next((line for line in status.splitlines() if line.startswith("VmHWM")), "VmHWM: ?")
        print("corvelle peak resident memory after the analysis:", peak.split(":", 1)[1].strip())

        problems = expected_export.compare(written.read_bytes(), data, codes)
        shutil.copy(written, artifacts / "e2e-export.txt")
        written.unlink()
        if problems:
            fail("; ".join(problems))

        xwindow.request_close(window, display)
        try:
            app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            fail("the program did not end after its window was closed")
        if app.returncode != 0:
            fail(f"the program exited with {app.returncode}")
        text = settings.read_bytes()
        if "颜色=2".encode("gbk") not in text or f"基金网址=http://127.0.0.1:{port}/".encode("gbk") not in text:
            fail(f"配置.ini after closing: {text!r}")
        print("E2E PASSED: rows, order and 配置.ini as expected; artefacts in", artifacts)
    except E2EFailure as failure:
        # What the screen showed when it went wrong, for whoever reads the CI log.
        if os.environ.get("DISPLAY"):
            subprocess.run(["import", "-window", "root", str(artifacts / "e2e-failure.png")])
        print("E2E FAILED:", failure, "- screen saved as", artifacts / "e2e-failure.png")
        sys.exit(1)
    finally:
        for proc in reversed(processes):
            if proc.poll() is None:
                proc.send_signal(signal.SIGTERM)
                try:
                    proc.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    proc.kill()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
