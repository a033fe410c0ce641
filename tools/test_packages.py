#!/usr/bin/env python3
"""The package set-up of ./tarn must get past a mirror in the middle of a
sync and another apt holding the lock, and say in one line why it gives up.
apt-get, dpkg, dpkg-query, id and sleep are stand-ins that follow a plan and
log their calls; the PATH holds nothing else but a few text tools, so no call
can reach the real package system."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
PACKAGES_BASH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "packages.bash")

INDEX = "http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz"

# What apt-get prints (stdout, stderr) and its exit status, by outcome.
OUTCOMES = {
    "ok": ("Reading package lists...\n", "", 0),
    "mirror": (
        f"Err:4 {INDEX}\n",
        f"E: Failed to fetch {INDEX}  File has unexpected size (1234 != 5678). "
        "Mirror sync in progress? [IP: 1.2.3.4 80]\n"
        "E: Some index files failed to download. They have been ignored, or old ones used instead.\n",
        100,
    ),
    # A network error apt takes for passing: warnings only, and status 0.
    "network": (
        "",
        f"W: Failed to fetch {INDEX}  Temporary failure resolving 'deb.debian.org'\n"
        "W: Some index files failed to download. They have been ignored, or old ones used instead.\n",
        0,
    ),
    "lock": ("", "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 123 (apt-get)\n", 100),
    "fail": ("", "E: Unable to correct problems, you have held broken packages.\n", 100),
}

# Each stand-in logs its arguments; apt-get then plays the next outcome of
# plan-update or plan-install, the last one again once the plan runs out.
STAND_IN = """#!{python}
import json, os, sys
here = os.path.dirname(os.path.abspath(__file__))
name, args = os.path.basename(sys.argv[0]), sys.argv[1:]
with open(os.path.join(here, "calls"), "a") as f:
    f.write(json.dumps([name] + args) + "\\n")
if name == "apt-get":
    verb = "update" if "update" in args else "install"
    count = os.path.join(here, "count-" + verb)
    done = int(open(count).read()) if os.path.exists(count) else 0
    open(count, "w").write(str(done + 1))
    plan = open(os.path.join(here, "plan-" + verb)).read().split()
    out, err, status = {outcomes}[plan[min(done, len(plan) - 1)]]
    sys.stdout.write(out)
    sys.stderr.write(err)
    sys.exit(status)
if name == "dpkg":
    archs = os.path.join(here, "foreign")
    if args == ["--add-architecture", "i386"]:
        open(archs, "a").write("i386\\n")
    elif args == ["--print-foreign-architectures"]:
        sys.stdout.write(open(archs).read() if os.path.exists(archs) else "")
    else:
        sys.exit(2)
elif name == "dpkg-query":
    if args[-1] not in open(os.path.join(here, "installed")).read().split():
        sys.exit(1)
    sys.stdout.write("install ok installed")
elif name == "id":
    print(0)
"""

CODENAME = "bookworm"
MISSING = ["pkg1", "pkg2"]
UPDATE_FAILED_THRICE = ["update", "sleep 20", "update", "sleep 20", "update"]


class PackagesTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.dir = self.folder.name
        self.bin = os.path.join(self.dir, "bin")
        os.mkdir(self.bin)
        script = STAND_IN.format(python=sys.executable, outcomes=repr(OUTCOMES))
        for name in ("apt-get", "dpkg", "dpkg-query", "id", "sleep"):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(script)
            os.chmod(path, 0o755)
        for tool in ("grep", "sed", "tee", "mktemp", "rm", "head"):
            os.symlink(shutil.which(tool), os.path.join(self.bin, tool))
        self.write("installed", "pkg0\n")
        self.os_release = os.path.join(self.dir, "os-release")
        with open(self.os_release, "w") as f:
            f.write(f'PRETTY_NAME="Debian GNU/Linux 12 ({CODENAME})"\nVERSION_ID="12"\n'
                    f"VERSION_CODENAME={CODENAME}\nID=debian\n")
        self.tmp = os.path.join(self.dir, "tmp")
        os.mkdir(self.tmp)

    def tearDown(self):
        self.folder.cleanup()

    def write(self, name, text):
        with open(os.path.join(self.bin, name), "w") as f:
            f.write(text)

    def run_ensure(self, update, install):
        """Runs ensure_packages as ./tarn does, apt-get playing the given
        outcomes; returns the exit status, the last line of stderr, the line
        above it, and the calls in short."""
        for name in ("calls", "count-update", "count-install", "foreign"):
            if os.path.exists(os.path.join(self.bin, name)):
                os.remove(os.path.join(self.bin, name))
        self.write("plan-update", " ".join(update))
        self.write("plan-install", " ".join(install))
        env = {"PATH": self.bin, "TMPDIR": self.tmp, "OS_RELEASE": self.os_release,
               "APT_LOCK_WAIT": "10", "APT_LOCK_POLL": "5",
               "APT_UPDATE_TRIES": "3", "APT_RETRY_PAUSE": "20"}
        code = ('set -euo pipefail; say() { printf "tarn: %s\\n" "$*" >&2; }; '
                'die() { say "$*"; exit 1; }; source "$1"; shift; ensure_packages "$@"')
        result = subprocess.run(["/bin/bash", "-c", code, "bash", PACKAGES_BASH, "pkg0", *MISSING],
                                env=env, capture_output=True, text=True, timeout=60)
        self.assertEqual(result.stdout, "", "apt's output belongs on stderr")
        self.assertEqual(os.listdir(self.tmp), [], "a log of apt-get update was left behind")
        lines = result.stderr.splitlines() or [""]
        return result.returncode, lines[-1], lines[-2] if len(lines) > 1 else "", self.calls()

    def calls(self):
        """apt-get update, apt-get install [-t X] PKG..., sleep N and adding
        an architecture, in the order they happened."""
        calls = []
        with open(os.path.join(self.bin, "calls")) as f:
            for line in f:
                name, *args = json.loads(line)
                if name == "sleep":
                    calls.append("sleep " + " ".join(args))
                elif name == "dpkg" and args[0] == "--add-architecture":
                    calls.append("add " + args[1])
                elif name == "apt-get" and "update" in args:
                    calls.append("update")
                elif name == "apt-get":
                    self.assertIn("-y", args, "apt-get install would ask questions")
                    rest = args[args.index("--no-install-recommends") + 1:]
                    calls.append(" ".join(["install"] + rest))
        return calls

    def test_a_mirror_in_sync_is_tried_again_before_installing_once(self):
        status, last, _, calls = self.run_ensure(["mirror", "network", "ok"], ["ok"])
        self.assertEqual(status, 0, last)
        self.assertEqual(calls, ["add i386"] + UPDATE_FAILED_THRICE + ["install pkg1 pkg2"])

    def test_incomplete_lists_do_not_stop_the_install(self):
        install = "install pkg1 pkg2"
        from_release = f"install -t {CODENAME} pkg1 pkg2"
        with self.subTest("the lists there are suffice"):
            status, last, _, calls = self.run_ensure(["mirror"], ["ok"])
            self.assertEqual(status, 0, last)
            self.assertEqual(calls[1:], UPDATE_FAILED_THRICE + [install])
        with self.subTest("the release's own lists suffice"):
            status, last, _, calls = self.run_ensure(["mirror"], ["fail", "ok"])
            self.assertEqual(status, 0, last)
            self.assertEqual(calls[1:], UPDATE_FAILED_THRICE + [install, from_release])
        with self.subTest("nothing helps"):
            status, last, above, calls = self.run_ensure(["mirror"], ["fail"])
            self.assertNotEqual(status, 0)
            self.assertEqual(calls[1:], UPDATE_FAILED_THRICE + [install, from_release])
            self.assertTrue(last.startswith("tarn: the package lists are inconsistent"), last)
            self.assertIn(INDEX, last)
            self.assertIn("retried in a few minutes", last)
            self.assertTrue(above.startswith("E: Unable to correct problems"), above)
        with self.subTest("complete lists: no second install"):
            status, last, _, calls = self.run_ensure(["ok"], ["fail"])
            self.assertNotEqual(status, 0)
            self.assertEqual(calls[1:], ["update", install])
            self.assertEqual(last, "tarn: apt-get could not install pkg1 pkg2")

    def test_the_lock_is_waited_for_without_using_up_the_tries(self):
        with self.subTest("released in time"):
            status, last, _, calls = self.run_ensure(["lock", "lock", "mirror", "mirror", "ok"], ["ok"])
            self.assertEqual(status, 0, last)
            self.assertEqual(calls[1:], ["update", "sleep 5", "update", "sleep 5"]
                             + UPDATE_FAILED_THRICE + ["install pkg1 pkg2"])
        with self.subTest("held for longer than the wait"):
            status, last, _, calls = self.run_ensure(["lock"], ["ok"])
            self.assertNotEqual(status, 0)
            self.assertEqual(calls[1:], ["update", "sleep 5", "update", "sleep 5", "update"])
            self.assertTrue(last.startswith("tarn: another apt has held the package lists"), last)


if __name__ == "__main__":
    unittest.main()
