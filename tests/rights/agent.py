# The authentication agent of one real-pkexec case, run as the case's user:
#   agent.py tty PASSWORD INPUT ERRORS COMMAND...   pkttyagent on a pty of its own,
#                                                   answered with PASSWORD
#   agent.py dismiss - INPUT ERRORS COMMAND...      an agent on D-Bus that dismisses
# COMMAND (pkexec ...) reads INPUT and writes its errors to ERRORS; the exit
# code is COMMAND's.
import os, pty, subprocess, sys, termios, time

mode, password, input_file, errors, command = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]

if mode == "tty":
    # pkttyagent, registered for the shell that then runs pkexec, asks on the
    # shell's controlling terminal: this pty.
    script = ('ready=$1 input=$2 errors=$3; shift 3; mkfifo "$ready"; '
              'pkttyagent --process $$ --notify-fd 3 3>"$ready" & agent=$!; cat "$ready"; '
              '"$@" <"$input" 2>"$errors"; code=$?; kill $agent; wait $agent; exit $code')
    pid, fd = pty.fork()
    if pid == 0:
        os.execvp("sh", ["sh", "-c", script, "sh", errors + ".ready", input_file, errors] + command)
    seen, answered = b"", False
    while True:
        try:
            chunk = os.read(fd, 1024)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
        if not answered and b"Password:" in seen:
            # Typed once the agent has turned echo off, which flushes what came before.
            while termios.tcgetattr(fd)[3] & termios.ECHO:
                time.sleep(0.01)
            os.write(fd, password.encode() + b"\n")
            answered = True
    sys.exit(os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]))

import dbus, dbus.mainloop.glib, dbus.service
from gi.repository import GLib

dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
AGENT = "org.freedesktop.PolicyKit1.AuthenticationAgent"


class Dismissing(dbus.service.Object):
    @dbus.service.method(AGENT, in_signature="sssa{ss}sa(sa{sv})", out_signature="")
    def BeginAuthentication(self, action, message, icon, details, cookie, identities):
        raise dbus.exceptions.DBusException("dismissed", name="org.freedesktop.PolicyKit1.Error.Cancelled")

    @dbus.service.method(AGENT, in_signature="s", out_signature="")
    def CancelAuthentication(self, cookie):
        pass


bus = dbus.SystemBus()
Dismissing(bus, "/org/example/tavirap/Agent")
start_time = int(open("/proc/self/stat").read().rsplit(")", 1)[1].split()[19])
subject = ("unix-process", {"pid": dbus.UInt32(os.getpid()), "start-time": dbus.UInt64(start_time)})
authority = bus.get_object("org.freedesktop.PolicyKit1", "/org/freedesktop/PolicyKit1/Authority")
authority.RegisterAuthenticationAgent(subject, "C", "/org/example/tavirap/Agent",
                                      dbus_interface="org.freedesktop.PolicyKit1.Authority")
with open(input_file, "rb") as stdin, open(errors, "wb") as stderr:
    process = subprocess.Popen(command, stdin=stdin, stderr=stderr)
loop = GLib.MainLoop()
GLib.timeout_add(50, lambda: process.poll() is None or loop.quit())
loop.run()
sys.exit(process.returncode)
