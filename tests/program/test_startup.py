"""Starting and ending the program, and how it finds the drives."""

import os
import unittest

from tarvelin_harness import (
    BURNPROOF_MARKER, PRCAP_PROTECTED, WINDOW_HEIGHT, WINDOW_LEFT, WINDOW_TOP, WINDOW_WIDTH,
    CommandAssertions, MapWatch, Tarvelin)

SCAN = b"cdrecord --scanbus >device.cfg"


def capability_query(device):
    return b"cdrecord dev=" + device + b" -prcap >device.cfg"


class StartAndEnd(CommandAssertions, unittest.TestCase):

    def test_window_opens_at_its_place_and_close_ends_with_status_0(self):
        run = Tarvelin(self).started()
        _, name, _, x, y, width, height = run.window
        self.assertTrue(name.startswith("Tarvelin 0.13"), name)
        self.assertEqual((x, y, width, height), (WINDOW_LEFT, WINDOW_TOP, WINDOW_WIDTH, WINDOW_HEIGHT))
        run.click("Close")
        self.assertEqual(run.wait_exit(), 0)

    def test_window_manager_close_ends_with_status_0(self):
        run = Tarvelin(self).started()
        run.close_by_window_manager()
        self.assertEqual(run.wait_exit(), 0)
        out, _ = run.output()
        self.assertEqual(out, b"")

    def test_ticked_check_mark_loads_no_svg_image_loader(self):
        # Drawn from the theme's SVG asset, the tick of "Burnproof" would bring
        # the SVG image loader and its library into memory at every start.
        run = Tarvelin(self).started()
        with open(f"/proc/{run.process.pid}/maps") as f:
            libraries = {line.split()[-1] for line in f if "/" in line}
        self.assertEqual([], [lib for lib in libraries if "rsvg" in lib or "pixbufloader-svg" in lib])
        # Ticked: the next burn asks the drive again and asks for the protection.
        run.click("Burn")
        self.assertIn(b"driveropts=burnproof", run.wait_shell_lines(4)[-1])
        run.wait_idle()

    def test_unreadable_drive_list_stops_start_up_with_217_and_no_window(self):
        maps = MapWatch(self)
        run = Tarvelin(self, device_config="dir").start()
        self.assertEqual(run.wait_exit(), 217)
        self.assertEqual(maps.mapped(), [], "no window may appear when start-up fails")
        out, _ = run.output()
        lines = out.split(b"\n")
        self.assertRegex(lines[0], rb"^An unhandled exception occurred at 0x[0-9A-Fa-f]{8} :$")
        self.assertEqual(lines[1], b"EInOutError : Access denied")
        # The failure comes before the capability check: no tool ran.
        self.assertCommands([], run.shell_lines())


class DriveDiscovery(CommandAssertions, unittest.TestCase):

    def assertNoScratchFileLeft(self, run):
        left = set(os.listdir(run.program_dir)) - {"tarvelin", "device.config"}
        self.assertEqual(left, set(), "scratch files left beside the program")

    def test_drive_list_source_decides_the_capability_query(self):
        cases = [
            # (what, device.config, scan output, device queried at start-up)
            ("scanned drive", None,
             b"\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n", b"0,0,0"),
            ("two-digit bus keeps the address's last comma", None,
             b"scsibus10:\n\t10,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable CD-ROM\n", b"10,0,"),
            ("first of several drives", None,
             b"\t1,2,0\t0) 'A' 'B' 'C' Removable CD-ROM\n\t0,0,0\t0) 'D' 'E' 'F' Removable CD-ROM\n",
             b"1,2,0"),
            ("scan without a CD-ROM line leaves the layout text", None,
             b"scsibus0:\n\t0,0,0\t0) 'VENDOR' 'MODEL' 'REV' Removable cd-rom\n\t0,1,0\t1) *\n",
             b"Combo"),
            ("user's list: first line whole", b"/dev/cdrom\n\n1,0,0\n", b"", b"/dev/cdrom"),
            ("a path outside /dev is whole too", b"/media/recorder\n", b"", b"/media/recorder"),
            ("user's list with CR LF, trailing blank kept", b"/dev/sr0 \r\n1,0,0", b"", b"/dev/sr0 "),
            ("user's list of an address", b"1,0,0\n", b"", b"1,0,0"),
            ("empty user's list still suppresses the scan", b"", b"", b"Combo"),
        ]
        for what, device_config, scan, device in cases:
            with self.subTest(what):
                run = Tarvelin(self, device_config=device_config, scanbus=scan)
                # Left over from an earlier run: the tools' answers replace it.
                run.write("program/device.cfg", b"\t9,9,9\t0) 'OLD' Removable CD-ROM\n  " + BURNPROOF_MARKER)
                run.started()
                scans = device_config is None
                self.assertCommands(([SCAN] if scans else []) + [capability_query(device)],
                                    run.shell_lines())
                # The shell splits the query at blanks, a device's included.
                cdrecord = [args for _, args, _ in run.calls_of("cdrecord")]
                self.assertEqual(([[b"--scanbus"]] if scans else []) + [(b"dev=" + device + b" -prcap").split()],
                                 cdrecord)
                self.assertNoScratchFileLeft(run)
                run.click("Close")
                self.assertEqual(run.wait_exit(), 0)

    def test_real_cdrecord_without_a_drive_gives_the_layout_text(self):
        # wodim finds no drive here: the scan keeps nothing.
        run = Tarvelin(self, tools=()).started()
        self.assertCommands([SCAN, capability_query(b"Combo")], run.shell_lines())
        self.assertNoScratchFileLeft(run)
        run.click("Close")
        self.assertEqual(run.wait_exit(), 0)

    def test_start_up_answer_sets_burnproof(self):
        # The tick shows in the next burn: ticked, it asks the drive again and
        # asks for the protection; unticked, it does neither.
        cases = [
            ("marker among other lines",
             b"  Does read CD-R media\n  " + BURNPROOF_MARKER + b"\n  more\n", False),
            ("marker on a last line without line end", b"x\n" + BURNPROOF_MARKER, False),
            ("marker in another case is no marker", BURNPROOF_MARKER.lower() + b"\n", True),
            ("drive that supports it", PRCAP_PROTECTED, True),
            ("drive that says nothing", b"", True),
        ]
        held_burn = (b'xterm -hold -T "Tarvelin" -e "mkisofs -R -V no_name -T -J  /home'
                     b' | cdrecord -v -tao -eject dev=0,0,0 ')
        for what, prcap, ticked in cases:
            with self.subTest(what):
                run = Tarvelin(self, prcap=prcap).started()
                run.click("Burn")
                run.wait_shell_lines(4 if ticked else 3)
                run.wait_idle()
                if ticked:
                    expected = [capability_query(b"0,0,0"), held_burn + b' driveropts=burnproof -"']
                else:
                    expected = [held_burn + b'  -"']
                self.assertCommands([SCAN, capability_query(b"0,0,0")] + expected, run.shell_lines())
                run.click("Close")
                self.assertEqual(run.wait_exit(), 0)


if __name__ == "__main__":
    unittest.main()
