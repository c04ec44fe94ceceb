"""The operations behind the push buttons, from the click to the tool."""

import os
import subprocess
import unittest

from tarvelin_harness import PRCAP_UNPROTECTED, STAND_INS, CommandAssertions, Tarvelin, files_named

START_UP = [b"cdrecord --scanbus >device.cfg", b"cdrecord dev=0,0,0 -prcap >device.cfg"]
CAPABILITY_QUERY = b"cdrecord dev=0,0,0 -prcap >device.cfg"
ERASE_DEFAULT = b'xterm -T "Tarvelin" -e cdrecord dev=0,0,0 -v blank=fast '

# A file whose name holds a quote, a variable and backquotes: the image must
# carry it unchanged.
AWKWARD_FILE = "it's $HOME `x`.txt"
TITLE = "Bob's disc"
VOLUME_ID = "Bob's_disc"
HOSTILE_TITLE = 'Bob\'s $HOME `touch tock` "q" \\e'
HOSTILE_VOLUME_ID = 'Bob\'s_$HOME_`touch_tock`_"q"_\\e'
# Files that a name run as a command instead of passed on would create.
WITNESSES = {"dollar", "tick", "tock", "out"}


def isoinfo(*args):
    return subprocess.run(["isoinfo", *args], check=True, capture_output=True).stdout.decode()


def make_folder(parent):
    """The folder a user burns: "my files", holding one awkwardly named file."""
    folder = os.path.join(parent, "my files")
    os.makedirs(folder)
    with open(os.path.join(folder, AWKWARD_FILE), "w") as f:
        f.write("content\n")
    return folder


class Operations(CommandAssertions, unittest.TestCase):

    def barrier(self, run, lines_before):
        """Erases with the defaults, so that whatever a click before it ran
        stands in the shell record ahead of the erase line."""
        run.click("Erase CDRW")
        lines = run.wait_shell_lines(lines_before + 1)
        run.wait_idle()
        self.assertCommand(ERASE_DEFAULT, run.shell_lines()[-1], "the erase that follows")
        return lines

    def assertVolume(self, image, volume_id, file_name):
        description = isoinfo("-d", "-i", image)
        self.assertIn(f"Volume id: {volume_id}\n", description)
        listing = isoinfo("-f", "-R", "-i", image).splitlines()
        self.assertIn("/" + file_name, listing)

    def test_format_shows_its_command_then_runs_it_in_a_terminal(self):
        cases = [
            # (what, step before the click, device text, device words)
            ("defaults", None, b"/dev/cdrom", [b"/dev/cdrom"]),
            ("tools in the program's folder change nothing",
             lambda run: run.click("Cdrtools in current folder"), b"/dev/cdrom", [b"/dev/cdrom"]),
            ("another device", lambda run: run.set_text("dvd device", "/dev/dvd"), b"/dev/dvd", [b"/dev/dvd"]),
            ("no device", lambda run: run.set_text("dvd device", ""), b"", []),
        ]
        run = Tarvelin(self).started()
        expected = list(START_UP)
        for what, before, device, words in cases:
            with self.subTest(what):
                if before:
                    before(run)
                run.click("Format DVDRW")
                box = run.message_box()
                command = b"dvd+rw-format -lead-out " + device
                self.assertCommand(command, run.message_text(box), "message box text")
                # The box is a notice: nothing runs before it is closed.
                self.assertCommands(expected, run.shell_lines())
                run.answer_box(box)
                run.wait_shell_lines(len(expected) + 1)
                run.wait_idle()
                expected.append(b"xterm -e " + command)
                self.assertCommands(expected, run.shell_lines())
                self.assertEqual(9 + 24 + len(device), len(run.shell_lines()[-1]))
                self.assertEqual([b"-e", b"dvd+rw-format", b"-lead-out"] + words, run.calls_of("xterm")[-1][1])
                self.assertEqual([b"-lead-out"] + words, run.calls_of("dvd+rw-format")[-1][1])

    def test_erase_with_defaults(self):
        run = Tarvelin(self).started()
        run.click("Erase CDRW")
        lines = run.wait_shell_lines(3)
        run.wait_idle()
        self.assertEqual(len(lines[-1]), 56)
        self.assertCommands(START_UP + [ERASE_DEFAULT], run.shell_lines())
        self.assertEqual([b"-T", b"Tarvelin", b"-e", b"cdrecord", b"dev=0,0,0", b"-v", b"blank=fast"],
                         run.calls_of("xterm")[0][1])
        self.assertEqual([b"dev=0,0,0", b"-v", b"blank=fast"], run.calls_of("cdrecord")[-1][1])

    def test_every_erase_mode_gives_its_option(self):
        options = [b" -v blank=fast ", b" -v blank=all ", b" -v blank=fast -force ", b" -v blank=all -force ",
                   b" -v blank=track ", b" -v blank=unreserve ", b" -v blank=trtrail ", b" -v blank=unclose ",
                   b" -v blank=session "]
        run = Tarvelin(self).started()
        for mode, option in enumerate(options):
            with self.subTest(mode=mode):
                if mode:
                    run.pick_next_item("erase mode arrow")
                run.click("Erase CDRW")
                run.wait_shell_lines(len(START_UP) + 1 + mode)
                run.wait_idle()
                self.assertCommand(b'xterm -T "Tarvelin" -e cdrecord dev=0,0,0' + option, run.shell_lines()[-1])
                self.assertEqual([b"dev=0,0,0"] + option.split(), run.calls_of("cdrecord")[-1][1])

    def test_options_and_speed_reach_the_burn_line(self):
        cases = [
            # (what, boxes clicked, speed text, image options, recorder arguments, drive asked)
            ("all three options, speed 8", ["Long-Joliet", "ISO-Level 4", "Deactived folder deep"], "8",
             b"  -joliet-long -iso-level 4 -D ", b"speed=8 driveropts=burnproof", True),
            ("long names, no deep folders, burnproof off, max in small letters",
             ["Long-Joliet", "Deactived folder deep", "Burnproof"], "max",
             b" -joliet-long -D ", b" ", False),
            ("empty speed", [], "", b"  ", b"speed= driveropts=burnproof", True),
        ]
        for what, boxes, speed, options, recorder, asks in cases:
            with self.subTest(what):
                run = Tarvelin(self).started()
                for box in boxes:
                    run.click(box)
                run.set_text("speed", speed)
                run.click("Burn")
                run.wait_shell_lines(len(START_UP) + 1 + asks)
                run.wait_idle()
                self.assertCommands(
                    START_UP + ([CAPABILITY_QUERY] if asks else [])
                    + [b'xterm -hold -T "Tarvelin" -e "mkisofs -R -V no_name -T -J' + options
                       + b'/home | cdrecord -v -tao -eject dev=0,0,0 ' + recorder + b' -"'],
                    run.shell_lines())
                self.assertEqual([b"-R", b"-V", b"no_name", b"-T", b"-J"] + options.split() + [b"/home"],
                                 run.calls_of("mkisofs")[0][1])
                self.assertEqual([b"-v", b"-tao", b"-eject", b"dev=0,0,0"] + recorder.split() + [b"-"],
                                 run.calls_of("cdrecord")[-1][1])

    def test_burn_folder_to_cd_with_the_real_mkisofs(self):
        cases = [
            # (what, the folder's parent in the test's directory and as it
            # stands inside the double quotes after -e, the title typed and
            # as it stands there, the volume id on the disc)
            ("plain parent", "src", "src", TITLE, r"'Bob'\\''s_disc'", VOLUME_ID),
            ("shell syntax in every name",
             "src $(touch dollar) `touch tick`", r"src \$(touch dollar) \`touch tick\`",
             HOSTILE_TITLE, r"""'Bob'\\''s_\$HOME_\`touch_tock\`_\"q\"_\\e'""", HOSTILE_VOLUME_ID),
        ]
        for what, parent, parent_in_line, title, title_in_line, volume_id in cases:
            with self.subTest(what):
                run = Tarvelin(self, tools=("cdrecord", "xterm")).started()
                folder = make_folder(run.path(parent))
                run.set_text("folder", folder)
                run.set_text("title", title)
                run.click("Burn")
                run.wait_shell_lines(4)
                run.wait_idle()
                pipeline = (f"mkisofs -R -V {title_in_line} -T -J  '{run.base}/{parent_in_line}/my files'"
                            " | cdrecord -v -tao -eject dev=0,0,0  driveropts=burnproof -")
                self.assertCommands(
                    START_UP + [CAPABILITY_QUERY, f'xterm -hold -T "Tarvelin" -e "{pipeline}"'.encode()],
                    run.shell_lines())
                xterm = run.calls_of("xterm")[0][1]
                self.assertEqual([b"-hold", b"-T", b"Tarvelin", b"-e"], xterm[:4])
                self.assertEqual(5, len(xterm), xterm)
                recorder = run.calls_of("cdrecord")[-1]
                self.assertEqual([b"-v", b"-tao", b"-eject", b"dev=0,0,0", b"driveropts=burnproof", b"-"],
                                 recorder[1])
                self.assertIsNotNone(recorder[2], "cdrecord got no track")
                self.assertVolume(recorder[2], volume_id, AWKWARD_FILE)
                self.assertEqual([], files_named(run.base, WITNESSES))
                self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))

    def test_burn_tells_about_a_drive_without_protection_and_goes_on(self):
        run = Tarvelin(self).started()
        # The drive answered well at start-up, so "Burnproof" is ticked; now it does not.
        with open(run.prcap_file, "wb") as f:
            f.write(PRCAP_UNPROTECTED)
        run.click("Burn")
        box = run.message_box()
        self.assertCommand(b"Sorry this drive does not supported BURNPROOF", run.message_text(box),
                           "message box text")
        self.assertCommands(START_UP + [CAPABILITY_QUERY], run.shell_lines())
        self.assertEqual([], run.calls_of("xterm"))
        run.answer_box(box)
        run.wait_shell_lines(4)
        run.wait_idle()
        self.assertCommands(
            START_UP + [CAPABILITY_QUERY,
                        b'xterm -hold -T "Tarvelin" -e "mkisofs -R -V no_name -T -J  /home'
                        b' | cdrecord -v -tao -eject dev=0,0,0   -"'],
            run.shell_lines())
        self.assertEqual([b"-v", b"-tao", b"-eject", b"dev=0,0,0", b"-"], run.calls_of("cdrecord")[-1][1])

    def test_burn_folder_to_dvd_measures_the_track_first(self):
        run = Tarvelin(self).started()
        run.set_text("medium", "DVD")
        run.click("Burn")
        lines = run.wait_shell_lines(5)
        run.wait_idle()
        self.assertEqual(len(lines[4]), 144)
        self.assertCommands(
            START_UP + [CAPABILITY_QUERY,
                        b"mkisofs -J -r -print-size /home >temp.cfg",
                        b'xterm -hold -T "Tarvelin" -e "mkisofs -R -V no_name -T -J  /home'
                        b' | dvd_cdrecord -v -dao -eject -tsize=123456s dev=0,0,0  driveropts=burnproof -"'],
            run.shell_lines())
        self.assertEqual([b"-v", b"-dao", b"-eject", b"-tsize=123456s", b"dev=0,0,0", b"driveropts=burnproof",
                          b"-"], run.calls_of("dvd_cdrecord")[0][1])
        self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))

    def test_burn_on_a_medium_that_is_neither_starts_an_empty_terminal(self):
        for medium in ("DVD-R", "cd "):
            with self.subTest(medium=medium):
                run = Tarvelin(self).started()
                run.set_text("medium", medium)
                run.click("Burn")
                run.wait_shell_lines(4)
                run.wait_idle()
                self.assertCommands(START_UP + [CAPABILITY_QUERY, b'xterm -hold -T "Tarvelin" -e ""'],
                                    run.shell_lines())
                self.assertEqual([], run.calls_of("mkisofs"))

    def test_burn_folder_to_dvd_with_the_real_mkisofs(self):
        # The size query goes straight to the shell: the folder is quoted once.
        run = Tarvelin(self, tools=("cdrecord", "xterm", "dvd_cdrecord")).started()
        parent = "src $(touch dollar) `touch tick`"
        folder = make_folder(run.path(parent))
        size = subprocess.run(["mkisofs", "-J", "-r", "-print-size", folder], check=True,
                              capture_output=True).stdout.decode().strip()
        run.set_text("folder", folder)
        run.set_text("medium", "dvd")
        run.click("Burn")
        run.wait_shell_lines(5)
        run.wait_idle()
        self.assertCommands(
            START_UP + [CAPABILITY_QUERY,
                        f"mkisofs -J -r -print-size '{folder}' >temp.cfg".encode(),
                        f"xterm -hold -T \"Tarvelin\" -e \"mkisofs -R -V no_name -T -J "
                        rf" '{run.base}/src \$(touch dollar) \`touch tick\`/my files' | dvd_cdrecord -v -dao -eject"
                        f' -tsize={size}s dev=0,0,0  driveropts=burnproof -"'.encode()],
            run.shell_lines())
        recorder = run.calls_of("dvd_cdrecord")[0]
        self.assertEqual([b"-v", b"-dao", b"-eject", f"-tsize={size}s".encode(), b"dev=0,0,0",
                          b"driveropts=burnproof", b"-"], recorder[1])
        self.assertVolume(recorder[2], "no_name", AWKWARD_FILE)
        self.assertEqual([], files_named(run.base, WITNESSES))
        self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))

    def test_make_iso_with_the_real_xterm_and_mkisofs(self):
        # The title stands outside the double quotes, so both shells read it:
        # it is quoted twice.
        cases = [
            # (what, folder for the image and as it stands inside the double
            # quotes, title typed and as it stands in the line, volume id)
            ("blank in the folder", "iso out", "iso out",
             TITLE, r"""''\''Bob'\''\'\'''\''s_disc'\'''""", VOLUME_ID),
            ("shell syntax in every name", "iso `touch out` $PWD", r"iso \`touch out\` \$PWD",
             HOSTILE_TITLE, r"""''\''Bob'\''\'\'''\''s_$HOME_`touch_tock`_"q"_\e'\'''""", HOSTILE_VOLUME_ID),
        ]
        for what, out_name, out_in_line, title, title_in_line, volume_id in cases:
            with self.subTest(what):
                run = Tarvelin(self, tools=("cdrecord",)).started()
                folder = make_folder(run.path("src"))
                out_dir = run.path(out_name)
                os.mkdir(out_dir)
                run.make_iso(folder, title, os.path.join(out_dir, "backup"))
                self.assertCommands(
                    START_UP + [f"xterm -T \"Tarvelin\" -e \"mkisofs -o '{run.base}/{out_in_line}/backup.iso' -R"
                                f" -V \"{title_in_line}\" -T -J  '{folder}'\"".encode()],
                    run.shell_lines())
                self.assertEqual(["backup.iso"], os.listdir(out_dir))
                self.assertVolume(os.path.join(out_dir, "backup.iso"), volume_id, AWKWARD_FILE)
                self.assertEqual([], files_named(run.base, WITNESSES))

    def test_make_iso_adds_the_extension_only_to_a_new_name_without_one(self):
        run = Tarvelin(self).started()
        out_dir = run.path("out")
        os.makedirs(os.path.join(out_dir, "a.b"))
        with open(os.path.join(out_dir, "old"), "wb") as f:
            f.write(b"before")
        cases = [
            # (name typed in the dialog, name of the image written)
            ("backup", "backup.iso"),
            ("disc.img", "disc.img"),
            ("a.b/c", "a.b/c.iso"),
            ("old", "old"),
        ]
        expected = list(START_UP)
        for typed, written in cases:
            with self.subTest(typed):
                run.click("Make ISO")
                run.choose_in_dialog(run.file_dialog("Save file as"), os.path.join(out_dir, typed))
                run.wait_shell_lines(len(expected) + 1)
                run.wait_idle()
                image = os.path.join(out_dir, written)
                expected.append(f'xterm -T "Tarvelin" -e "mkisofs -o {image} -R -V "no_name" -T -J  /home"'.encode())
                self.assertCommands(expected, run.shell_lines())
                self.assertEqual(image.encode(), run.calls_of("mkisofs")[-1][1][1])
                with open(image, "rb") as f:
                    self.assertEqual(b"image of the stand-in mkisofs\n", f.read())

    def test_open_iso_and_burn_passes_the_image_as_one_argument(self):
        cases = [
            # (image file name, as it stands inside the double quotes of the
            # command and of the terminal's title, the title xterm gets)
            ("it's my $disc `v`.iso", r"it'\\''s my \$disc \`v\`.iso", r"it's my \$disc \`v\`.iso",
             "Burn it's my $disc `v`.iso"),
            # A backslash ends the file name in the title, as a "/" would.
            ('a "b" \\c.iso', r'a \"b\" \\c.iso', "c.iso", "Burn c.iso"),
        ]
        for name, in_command, in_title, title in cases:
            with self.subTest(name):
                run = Tarvelin(self).started()
                out_dir = run.path("iso out")
                os.mkdir(out_dir)
                image = os.path.join(out_dir, name)
                subprocess.run(["mkisofs", "-quiet", "-o", image, make_folder(run.path("src"))], check=True)
                run.click("Open ISO and burn")
                run.choose_in_dialog(run.file_dialog("Openan ISO to burn"), image)
                run.wait_shell_lines(4)
                run.wait_idle()
                self.assertCommands(
                    START_UP + [CAPABILITY_QUERY,
                                f'xterm -T "Burn {in_title}" -e "cdrecord -v  -tao dev=0,0,0'
                                f" '{out_dir}/{in_command}' driveropts=burnproof\"".encode()],
                    run.shell_lines())
                xterm = run.calls_of("xterm")[0][1]
                self.assertEqual([b"-T", title.encode(), b"-e"], xterm[:3])
                self.assertEqual([b"-v", b"-tao", b"dev=0,0,0", image.encode(), b"driveropts=burnproof"],
                                 run.calls_of("cdrecord")[-1][1])

    def test_cancelled_dialog_runs_nothing(self):
        for button, title in (("Make ISO", "Save file as"), ("Open ISO and burn", "Openan ISO to burn")):
            with self.subTest(button):
                run = Tarvelin(self).started()
                run.click(button)
                run.cancel_dialog(run.file_dialog(title))
                self.barrier(run, len(START_UP))
                self.assertCommands(START_UP + [ERASE_DEFAULT], run.shell_lines())
                self.assertTrue(run.no_window_named("tarvelin"))

    def test_tools_beside_the_program_are_found_after_every_dialog(self):
        # cdrecord and mkisofs only beside the program, the real wodim on the
        # path for the start-up scan; the program starts in another directory.
        run = Tarvelin(self, tools=("xterm",))
        for tool in ("cdrecord", "mkisofs", "record"):
            os.symlink(os.path.join(STAND_INS, tool), os.path.join(run.program_dir, tool))
        run.started()
        folder = make_folder(run.path("src"))
        image = os.path.join(run.path("src"), "disc.iso")
        with open(image, "wb") as f:
            f.write(b"image")
        run.click("Cdrtools in current folder")
        run.click("...")
        run.choose_in_dialog(run.file_dialog("Select Directory to burn"), folder)
        run.click("Burn")
        run.wait_shell_lines(4)
        run.wait_idle()
        run.click("Open ISO and burn")
        run.choose_in_dialog(run.file_dialog("Openan ISO to burn"), image)
        run.wait_shell_lines(6)
        run.wait_idle()
        self.assertCommands(
            [b"cdrecord --scanbus >device.cfg", b"cdrecord dev=Combo -prcap >device.cfg",
             b"./cdrecord dev=Combo -prcap >device.cfg",
             f'xterm -hold -T "Tarvelin" -e "./mkisofs -R -V no_name -T -J  \'{folder}\''
             ' | ./cdrecord -v -tao -eject dev=Combo  driveropts=burnproof -"'.encode(),
             b"./cdrecord dev=Combo -prcap >device.cfg",
             f'xterm -T "Burn disc.iso" -e "./cdrecord -v  -tao dev=Combo {image} driveropts=burnproof"'.encode()],
            run.shell_lines())
        # The two ends of a pipe start together: each tool's calls in order.
        self.assertEqual(
            [[b"dev=Combo", b"-prcap"],
             [b"-v", b"-tao", b"-eject", b"dev=Combo", b"driveropts=burnproof", b"-"],
             [b"dev=Combo", b"-prcap"],
             [b"-v", b"-tao", b"dev=Combo", image.encode(), b"driveropts=burnproof"]],
            [args for _, args, _ in run.calls_of("cdrecord")])
        self.assertEqual([[b"-R", b"-V", b"no_name", b"-T", b"-J", folder.encode()]],
                         [args for _, args, _ in run.calls_of("mkisofs")])

    def test_failed_track_measurement_shows_the_error_box(self):
        run = Tarvelin(self, tools=("cdrecord", "xterm", "dvd_cdrecord"))
        # A size query that leaves no "temp.cfg" behind for the program to read.
        run.write("tools/mkisofs", b"#!/bin/sh\nrm -f temp.cfg\n")
        os.chmod(run.path("tools/mkisofs"), 0o755)
        run.started()
        run.set_text("medium", "DVD")
        query = b"mkisofs -J -r -print-size /home >temp.cfg"
        expected = START_UP + [CAPABILITY_QUERY, query]
        run.click("Burn")
        box = run.message_box()
        self.assertCommand(b"File not found.", run.message_text(box), "error box text")
        self.assertCommands(expected, run.shell_lines())
        # OK: no burn, and the window goes on working.
        run.answer_box(box, "Return")
        self.barrier(run, len(expected))
        self.assertCommands(expected + [ERASE_DEFAULT], run.shell_lines())
        self.assertEqual([], run.calls_of("dvd_cdrecord"))
        # Any other way out of the box ends the program.
        run.click("Burn")
        box = run.message_box()
        self.assertCommand(b"File not found.", run.message_text(box), "error box text")
        run.answer_box(box, "Escape")
        self.assertEqual(0, run.wait_exit())
        self.assertCommands(expected + [ERASE_DEFAULT, CAPABILITY_QUERY, query], run.shell_lines())

    def test_about_shows_two_lines_the_first_empty(self):
        run = Tarvelin(self, name="burner.bin").started()
        run.click("About")
        box = run.message_box("burner")
        text = run.message_text(box)
        self.assertTrue(text.startswith(b"\r\n"), text)
        self.assertNotIn(b"\n", text[2:])
        self.assertNotIn(b"\r", text[2:])
        run.answer_box(box)
        self.barrier(run, len(START_UP))
        self.assertCommands(START_UP + [ERASE_DEFAULT], run.shell_lines())


if __name__ == "__main__":
    unittest.main()
