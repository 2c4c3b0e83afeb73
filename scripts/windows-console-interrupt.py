#!/usr/bin/env python3
"""Ctrl+C on a question of the Windows tool in a console: Wine gives the tool a console on a
pseudo-terminal, the question "Fortfahren? [j/N]" comes, Ctrl+C is typed, and the tool must
answer that it cancelled, exit with 1 and import nothing.
Usage: windows-console-interrupt.py CLI.exe WORK_DIR   (WORK_DIR holds ADR/ and registry.reg)"""
import os, pty, re, select, signal, sqlite3, subprocess, sys, time

cli, work = os.path.abspath(sys.argv[1]), sys.argv[2]
pool = os.path.join(work, "Datenpool.sqlite")
shown = lambda data: re.sub(rb"\x1b\[[0-9?;]*[A-Za-z]", b"", data).decode("utf-8", "replace")

def run(*words):  # a step before the question, without a console
    subprocess.run(["wine64", cli, *words], cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120, check=True)

run("init-db", "Datenpool.sqlite")
run("convert", "--registry", "registry.reg", "--adr", "ADR")

pid, terminal = pty.fork()
if pid == 0:
    os.chdir(work)
    os.execvp("wine64", ["wine64", cli, "import", "--registry", "registry.reg", "--db", "Datenpool.sqlite"])
out, typed, deadline = b"", None, time.time() + 90
while time.time() < deadline:
    if select.select([terminal], [], [], 0.2)[0]:
        try:
            data = os.read(terminal, 4096)
        except OSError:
            break
        if not data:
            break
        out += data
    if typed is None and "[j/N]" in re.sub(r"\s", "", shown(out)):
        time.sleep(1)  # the tool is waiting for the answer now
        os.write(terminal, b"\x03")
        typed = time.time()
if typed is None:
    os.kill(pid, signal.SIGKILL)
status = os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1])
text = re.sub(r"\s", "", shown(out))
imported = sqlite3.connect(pool).execute("SELECT COUNT(*) FROM Adressen").fetchone()[0]

failures = []
if typed is None: failures.append("the question never came")
if status != 1: failures.append("exit code %d, expected 1" % status)
if "Abgebrochen(Strg+C)" not in text: failures.append("no 'Abgebrochen (Strg+C)' after Ctrl+C")
if imported != 0: failures.append("%d addresses imported" % imported)
if failures:
    sys.exit("Ctrl+C on the console question: " + "; ".join(failures) + "\n" + shown(out)[-600:])
print("Ctrl+C on the console question under Wine: cancelled, exit code 1, nothing imported "
      "(%.1f s after the key, Wine's exit included)." % (time.time() - typed), file=sys.stderr)
