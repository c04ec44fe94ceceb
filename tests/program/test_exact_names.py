"""What the user names reaches the tools exactly: the image's own size, empty
names as empty arguments, and names that are not UTF-8 byte for byte."""

import os
import subprocess
import unittest

from tarvelin_harness import CommandAssertions, Tarvelin, files_named

START_UP = [b"cdrecord --scanbus >device.cfg", b"cdrecord dev=0,0,0 -prcap >device.cfg"]
CAPABILITY_QUERY = b"cdrecord dev=0,0,0 -prcap >device.cfg"


def volume_size(image):
    """The size in sectors that isoinfo reads from the image's own header."""
    description = subprocess.run(["isoinfo", "-d", "-i", image], check=True, capture_output=True).stdout
    for line in description.decode().splitlines():
        if line.startswith("Volume size is: "):
            return int(line.split(": ", 1)[1])
    raise AssertionError(f"isoinfo gave no volume size: {description!r}")


class ExactNames(CommandAssertions, unittest.TestCase):

    def make_image(self, run, name="backup.iso"):
        """A real image, made by the real mkisofs from a folder that is not the
        one in the folder field."""
        source = run.path("other folder")
        os.makedirs(source)
        with open(os.path.join(source, "data"), "wb") as f:
            f.write(b"x" * 300001)
        image = run.path(name)
        subprocess.run(["mkisofs", "-quiet", "-o", image, source], check=True)
        return image

    def test_dvd_image_burn_gives_the_recorder_the_images_own_size(self):
        run = Tarvelin(self).started()
        image = self.make_image(run)
        sectors = volume_size(image)
        run.set_text("medium", "DVD")
        run.click("Open ISO and burn")
        run.choose_in_dialog(run.file_dialog("Openan ISO to burn"), image)
        run.wait_shell_lines(4)
        run.wait_idle()
        command = (f"dvd_cdrecord -v  -dao -eject -tsize={sectors}s dev=0,0,0 {image}"
                   " driveropts=burnproof").encode()
        self.assertCommands(
            START_UP + [CAPABILITY_QUERY, b'xterm -T "Burn backup.iso" -e "' + command + b'"'],
            run.shell_lines())
        self.assertEqual([b"-v", b"-dao", b"-eject", f"-tsize={sectors}s".encode(), b"dev=0,0,0",
                          image.encode(), b"driveropts=burnproof"], run.calls_of("dvd_cdrecord")[0][1])
        # The folder field is not measured: no size query, no scratch file.
        self.assertEqual([], run.calls_of("mkisofs"))
        self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))

    def test_image_gone_before_the_burn_shows_the_error_box_and_no_terminal(self):
        run = Tarvelin(self).started()
        # A link the dialog lists, to an image that is no longer there.
        image = run.path("backup.iso")
        os.symlink(run.path("gone.iso"), image)
        run.set_text("medium", "DVD")
        run.click("Open ISO and burn")
        run.choose_in_dialog(run.file_dialog("Openan ISO to burn"), image)
        box = run.message_box()
        self.assertCommand(b"File not found.", run.message_text(box), "error box text")
        run.answer_box(box)
        self.assertCommands(START_UP + [CAPABILITY_QUERY], run.shell_lines())
        self.assertEqual([], run.calls_of("xterm"))
        self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))

    def test_empty_title_and_folder_each_reach_mkisofs_as_one_empty_argument(self):
        cases = [
            # (what, title typed, folder typed, mkisofs's arguments)
            ("empty title", "", "/home", [b"-R", b"-V", b"", b"-T", b"-J", b"/home"]),
            ("empty folder", "disc", "", [b"-R", b"-V", b"disc", b"-T", b"-J", b""]),
        ]
        for what, title, folder, arguments in cases:
            with self.subTest(what):
                run = Tarvelin(self).started()
                run.set_text("title", title)
                run.set_text("folder", folder)
                run.click("Burn")
                run.wait_shell_lines(4)
                run.wait_idle()
                self.assertEqual(arguments, run.calls_of("mkisofs")[0][1])
                self.assertEqual([b"-v", b"-tao", b"-eject", b"dev=0,0,0", b"driveropts=burnproof", b"-"],
                                 run.calls_of("cdrecord")[-1][1])

    def test_make_iso_with_an_empty_title_gives_the_real_mkisofs_an_empty_volume_id(self):
        # The title is read by the outer shell and by the one xterm starts.
        run = Tarvelin(self, tools=("cdrecord", "xterm")).started()
        source = run.path("src")
        os.mkdir(source)
        image = run.path("empty title.iso")
        run.make_iso(source, "", image)
        self.assertCommand(
            f"xterm -T \"Tarvelin\" -e \"mkisofs -o '{image}' -R -V \"''\\'''\\'''\" -T -J  {source}\"".encode(),
            run.shell_lines()[-1])
        self.assertEqual([b"-T", b"Tarvelin", b"-e"], run.calls_of("xterm")[0][1][:3])
        description = subprocess.run(["isoinfo", "-d", "-i", image], check=True, capture_output=True).stdout
        self.assertIn(b"Volume id: \n", description)

    def test_make_iso_reads_the_same_whatever_the_login_shell(self):
        # xterm hands its one-word command to the user's $SHELL: fish would end
        # a single quote at \' and tcsh would expand the "!".
        folder_name = r"\' ; touch pwned ; echo \'"
        title = r"disc! a\b"
        volume_id = r"disc!_a\b"
        # The title is quoted for the shell xterm starts and once more for the
        # outer one; the folder is quoted, then escaped for the double quotes.
        title_in_line = r"''\''disc!_a\b'\'''"
        folder_in_line = r"\\'\\'' ; touch pwned ; echo \\'\\'''"
        for login_shell in ("/usr/bin/fish", "/usr/bin/tcsh"):
            with self.subTest(login_shell):
                run = Tarvelin(self, tools=("cdrecord",), login_shell=login_shell).started()
                folder = run.path(folder_name)
                os.mkdir(folder)
                with open(os.path.join(folder, "notes.txt"), "wb") as f:
                    f.write(b"content\n")
                out_dir = run.path("out")
                os.mkdir(out_dir)
                run.make_iso(folder, title, os.path.join(out_dir, "backup"))
                image = os.path.join(out_dir, "backup.iso")
                self.assertCommands(
                    START_UP + [f"xterm -T \"Tarvelin\" -e \"mkisofs -o {image} -R -V \"{title_in_line}\" -T -J"
                                f"  '{run.base}/{folder_in_line}\"".encode()],
                    run.shell_lines())
                self.assertEqual([], files_named(run.base, {"pwned"}))
                self.assertEqual({"tarvelin"}, set(os.listdir(run.program_dir)))
                self.assertEqual(["backup.iso"], os.listdir(out_dir))
                description = subprocess.run(["isoinfo", "-d", "-i", image], check=True, capture_output=True).stdout
                self.assertIn(f"Volume id: {volume_id}\n".encode(), description)
                listing = subprocess.run(["isoinfo", "-f", "-R", "-i", image], check=True, capture_output=True).stdout
                # mkisofs's own -T adds the table of names.
                self.assertEqual([b"/TRANS.TBL", b"/notes.txt"], sorted(listing.splitlines()))

    def test_names_that_are_not_utf8_reach_the_tools_byte_for_byte(self):
        # A Latin-1 name, and a lone lead byte that a cut at it would turn into the parent folder.
        run = Tarvelin(self, device_config=b"/dev/caf\xe9\n/dev/\xc3\n").started()
        self.assertCommands([b"cdrecord dev=/dev/caf\xe9 -prcap >device.cfg"], run.shell_lines())
        self.assertEqual([b"dev=/dev/caf\xe9", b"-prcap"], run.calls_of("cdrecord")[0][1])
        folder = os.path.join(os.fsencode(run.base), b"\xc3")
        os.mkdir(folder)
        run.click("...")
        run.choose_in_dialog(run.file_dialog("Select Directory to burn"), folder)
        run.click("Burn")
        run.wait_shell_lines(3)
        run.wait_idle()
        self.assertEqual([b"-R", b"-V", b"no_name", b"-T", b"-J", folder], run.calls_of("mkisofs")[0][1])
        self.assertEqual(b"dev=/dev/caf\xe9", run.calls_of("cdrecord")[-1][1][3])
        # Once the user types into the field, the typed text is the folder.
        run.set_text("folder", "/home")
        run.click("Burn")
        run.wait_shell_lines(5)
        run.wait_idle()
        self.assertEqual(b"/home", run.calls_of("mkisofs")[-1][1][-1])

    def test_every_box_and_dialog_stays_with_the_main_window_and_on_the_screen(self):
        run = Tarvelin(self).started()
        main = run.window[0].id

        def check(window):
            _, title, _, x, y, width, height = window
            owner = window[0].get_wm_transient_for()
            self.assertEqual(main, owner.id if owner else None, f"{title!r} is not kept with the main window")
            self.assertTrue(0 <= x and 0 <= y and x + width <= 1024 and y + height <= 768,
                            f"{title!r} lies at {x},{y} {width}x{height}, off a 1024x768 screen")

        run.click("About")
        box = run.message_box()
        check(box)
        run.answer_box(box)
        for button, title in (("...", "Select Directory to burn"), ("Make ISO", "Save file as"),
                              ("Open ISO and burn", "Openan ISO to burn")):
            with self.subTest(title):
                run.click(button)
                dialog = run.file_dialog(title)
                check(dialog)
                run.cancel_dialog(dialog)


if __name__ == "__main__":
    unittest.main()
