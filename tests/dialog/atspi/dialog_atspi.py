#!/usr/bin/python3
"""The Linux dialog as a screen reader meets it: read and driven through AT-SPI
only (names, relations, texts, actions), on a virtual X display with a window
manager, a session bus and the accessibility bus of its own, and a registry file
of its own. Usage: dialog_atspi.py PROGRAM (the program built on that file)."""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The controls Tab reaches, in the tree's order: role, name, and the label that names it (None:
# a button, named by its text).
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "../data/names.txt")) as f:
    CONTROLS = [tuple(None if w == "-" else w for w in line.rstrip("\n").split(" | ")[1:])
                for line in f if line.strip() and not line.startswith("#")]
# What the save sets, through the fields' texts: field, text, stored value.
SAVED = [
    ("BAUD RATE", "19200", "BaudRate", "19200"),
    ("PARITY", "Odd Parity", "Parity", "Odd Parity"),
    ("FLOW CTL", "None", "Flow Control", "None"),
    ("SERIAL10 address", "33", "PortAdd10", 33),
    ("SERIAL16 address", "0", "PortAdd16", 0),
]
RANGE_MESSAGE = "Please enter an integer between 0 and 64."

folder = tempfile.mkdtemp(prefix="tavirap-atspi-")
registry = os.path.join(folder, "registry.reg")
with open(registry, "w") as f:
    f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TAVIRPORT]\n"
            '"MaxPort"=dword:00000010\n')
started = []


def start(command, **options):
    process = subprocess.Popen(command, start_new_session=True, **options)
    started.append(process)
    return process


def poll(what, check, timeout=5.0):
    end = time.monotonic() + timeout
    while not (result := check()):
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.02)
    return result


def stored():
    """The registry file's values by name in lower case: numbers, texts to their zero."""
    text = re.sub(r"\\\r?\n\s*", "", open(registry, encoding="latin-1").read())
    decode = {"dword:": lambda d: int(d, 16), '"': lambda d: d[:-1],
              "hex(1):": lambda d: bytes.fromhex(d.replace(",", "")).split(b"\0")[0].decode()}
    return {name.lower(): decode[kind](data) for name, kind, data
            in re.findall(r'^"(.+?)"=(dword:|hex\(1\):|")(.*?)\r?$', text, re.M)}


def run(program):
    read, write = os.pipe()
    start(["Xvfb", "-displayfd", str(write), "-noreset", "-nolisten", "tcp",
           "-screen", "0", "1024x768x24"], pass_fds=(write,), stderr=subprocess.DEVNULL)
    os.close(write)
    os.environ["DISPLAY"] = ":" + poll("Xvfb", lambda: os.read(read, 16)).decode().strip()
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    os.environ.update(HOME=folder, XDG_RUNTIME_DIR=folder)
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], **quiet)
    # Without a window manager nothing activates the dialog again after a message box.
    start(["openbox", "--sm-disable"], **quiet)
    poll("the window manager", lambda: b"window id" in subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True).stdout)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               TAVIRAP_TEST_MACHINE_FILE=registry)
    app = start([program], env=env, **quiet)

    import pyatspi  # after the buses: it finds the accessibility bus as it loads

    def window(kind):  # the program's window with this role, or None
        return next((w for a in pyatspi.Registry.getDesktop(0) for w in a or []
                     if w is not None and w.getRoleName() == kind), None)

    def named(name):  # one of the controls Tab reaches
        return next(c for c in shown if c.name == name)

    def text_of(o):
        return o.queryText().getText(0, -1)

    def press(o):
        action = o.queryAction()
        action.doAction([action.getName(i) for i in range(action.nActions)].index("Press"))

    def field(name):  # an address field, or a combo box's edit field
        o = named(name)
        return o if o.getRoleName() == "text" else next(c for c in o if c.getRoleName() == "text")

    def focused(o):
        return o.getState().contains(pyatspi.STATE_FOCUSED)

    # Every control Tab reaches is named by its label (tied by the relation) or its text.
    dialog = poll("the dialog", lambda: window("dialog"), 10)
    shown = [c for c in dialog if c.getState().contains(pyatspi.STATE_FOCUSABLE)]
    reached = [(c.getRoleName(), c.name) for c in shown]
    assert reached == [r[:2] for r in CONTROLS], f"the controls Tab reaches: {reached}"
    poll("the first focus on SAVE", lambda: focused(shown[0]))
    for control, (kind, name, label) in zip(shown, CONTROLS):
        labels = [r.getTarget(i).name for r in control.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(r.getNTargets())]
        assert labels == ([label] if label else []), f"{name} is labelled by {labels}"
        values = {text_of(control)} if kind == "text" else {i.name for c in control for i in c}
        if kind == "combo box":
            edits = [c for c in control if c.getRoleName() == "text"]
            assert all(e.name == name for e in edits), f"{name}'s edit field is named {name}"
            values |= {text_of(e) for e in edits}
        assert name not in values, f"{name} is named after its value"

    # An address out of range: an alert with the range message; OK gives the field the focus.
    before = open(registry, "rb").read()
    field("SERIAL1 address").queryEditableText().setTextContents("65")
    press(named("SAVE"))
    alert = poll("the alert", lambda: window("alert"))
    assert alert.name == "tavirap", f"the message box's title is not the program's: {alert.name}"
    assert any(c.name == RANGE_MESSAGE for c in alert), "the alert says " + RANGE_MESSAGE
    press(pyatspi.findDescendant(alert, lambda c: c.name == "OK"))
    poll("the focus back on SERIAL1 address", lambda: focused(field("SERIAL1 address")))
    assert open(registry, "rb").read() == before, "a refused save stored something"
    field("SERIAL1 address").queryEditableText().setTextContents("1")

    # The address fields' names and values follow the page.
    press(named("NEXT PAGE"))
    rows = [c for c in shown if c.getRoleName() == "text"]
    poll("the second page", lambda: [(r.name, text_of(r)) for r in rows] ==
         [(f"SERIAL{n} address", str(n)) for n in range(9, 17)])

    # A save driven through texts and actions stores exactly the values set.
    expected = stored()
    for name, text, value_name, value in SAVED:
        field(name).queryEditableText().setTextContents(text)
        expected[value_name.lower()] = value
    press(named("SAVE"))
    poll("the values stored", lambda: stored() == expected)
    press(named("EXIT"))
    poll("the program to end", lambda: app.poll() is not None)
    assert app.returncode == 0, f"the program ended with {app.returncode}"


try:
    run(sys.argv[1])
    print("dialog_atspi: passed")
finally:
    for process in reversed(started):
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)  # each by its id, with what it started
            process.wait(timeout=5)
    shutil.rmtree(folder)
