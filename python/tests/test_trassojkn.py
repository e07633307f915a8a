"""Tests of the trassojkn module against the shared library.

The library under test is found as the module finds it (CTest sets
TRASSOJKN_LIBRARY, or runs the pip-installed module with the library on the
loader's path); each test gets two fresh application-data roots through
KORVEL_APPDATA_0 and KORVEL_APPDATA_1. TRASSOJKN_EXPECTED_VERSION, when set, is
the project's version.
"""

import ctypes
import os
import runpy
import select
import threading
import pickle
import pydoc
import re
import shutil
import stat
import subprocess
import sys
import sysconfig
import tempfile
import unittest

import trassojkn
from trassojkn import Change, Error, Status

ROOT_VARIABLES = ("KORVEL_APPDATA_0", "KORVEL_APPDATA_1")

# "-000mm：(名前指定なし)" as the library stores it.
PRISM_DEFAULT = b"-000mm\x81F(\x96\xbc\x91O\x8ew\x92\xe8\x82\xc8\x82\xb5)"


class RootsTest(unittest.TestCase):
    """Fresh roots, with their inf folders, for every test."""

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="trassojkn-")
        self.saved = {v: os.environ.get(v) for v in ROOT_VARIABLES}
        self.roots = []
        for n, variable in enumerate(ROOT_VARIABLES):
            root = os.path.join(self.base, "root%d" % n)
            os.makedirs(os.path.join(root, "inf"))
            os.environ[variable] = root
            self.roots.append(root)

    def tearDown(self):
        for variable, value in self.saved.items():
            if value is None:
                os.environ.pop(variable, None)
            else:
                os.environ[variable] = value
        shutil.rmtree(self.base)

    def inf(self, name, root=0):
        return os.path.join(self.roots[root], "inf", name)

    def read(self, name, root=0):
        with open(self.inf(name, root), "rb") as f:
            return f.read()

    def write(self, name, data, root=0):
        with open(self.inf(name, root), "wb") as f:
            f.write(data)

    def files(self):
        """The files in both inf folders, as "root/name", sorted."""
        return sorted("%d/%s" % (n, name) for n in range(2)
                      for name in os.listdir(os.path.join(self.roots[n], "inf")))

    def assertRaisesError(self, call, cls, builtin, status, name, selector):
        with self.assertRaises(builtin) as caught:
            call()
        e = caught.exception
        self.assertIs(type(e), cls)
        self.assertIsInstance(e, Error)
        self.assertIs(type(e.status), Status)
        self.assertEqual((e.status, e.setting, e.selector), (status, name, selector))
        self.assertEqual(str(e), e.message)
        self.assertTrue(e.message)
        return e

    def clear(self):
        for n in range(2):
            folder = os.path.join(self.roots[n], "inf")
            for name in os.listdir(folder):
                os.remove(os.path.join(folder, name))


class Values(RootsTest):
    def test_defaults_have_their_kinds_type(self):
        cases = [
            ("GNSS_MaskElev", "svy", 15),
            ("gnss_maskelev", "SVY", 15),  # names and selectors in any case
            ("GNSS_MaskElev", 1, 15),  # a number for a number
            ("GNSS_NTripP", None, 1104),
            ("GNSS_Address", None, ""),
            ("NMEA_BaudRate", None, 19200),
            ("PL30_Sch_HRangeRad", None, 0.03490658503988659),
            ("GNSS_ImuObs", None, False),
            ("GNSS_COMM_or_BT", "svy", True),
            ("Use", 13, True),
            ("SksNormColor", None, "153,153,255"),
            ("SksColor", "3", None),  # the caller gives the default, none stored
            ("SksColor", "3:#ff0000", "255,0,0"),
            ("GNSS_RTKConnectProp", "S.BaudRate", 9600),
            ("TS_Psm", 0, PRISM_DEFAULT.decode("cp932")),
        ]
        for name, selector, expected in cases:
            with self.subTest(name=name, selector=selector):
                value = trassojkn.get(name, selector)
                self.assertEqual((type(value), value), (type(expected), expected))
        self.assertEqual(trassojkn.get("TS_Psm", 7, raw=True), PRISM_DEFAULT)
        self.assertEqual(trassojkn.get("GNSS_MaskElev", raw=True), b"15")
        # Getters never create a file.
        self.assertEqual(self.files(), [])

    def test_set_takes_its_kinds_types_and_writes_exact_bytes(self):
        # name, value, selector, value read back, file, its bytes
        cases = [
            ("GNSS_MaskElev", 20, "svy", 20, "jkn-gnss.ini", b"[GNSS]\r\nMaskElev_Svy=20\r\n"),
            ("GNSS_MaskElev", -5, None, -5, "jkn-gnss.ini", b"[GNSS]\r\nMaskElev=-5\r\n"),
            ("GNSS_ImuObs", True, None, True, "jkn-gnss.ini", b"[GNSS]\r\nImuObs=1\r\n"),
            ("GNSS_ImuObs", 0, None, False, "jkn-gnss.ini", b"[GNSS]\r\nImuObs=0\r\n"),
            ("NMEA_BaudRate", 4294967295, None, 4294967295, "jkn-nmea.ini",
             b"[NMEA]\r\nBaudRate=4294967295\r\n"),
            ("PL30_Sch_HRangeRad", 1.5, None, 1.5, "jkn-pl30.ini", b"[SCH]\r\nHOR=1.500000\r\n"),
            ("TS_UseScaleValue", 2, None, 2.0, "jkn-ts.ini", b"[TS]\r\nUseScaleValue=2.000000\r\n"),
            ("SksNormColor", (1, 2, 3), None, "1,2,3", "def-share.ini",
             b"[SKSG]\r\nNCOL=  1,  2,  3\r\n"),
            ("SksNormColor", "#0a0b0c", None, "10,11,12", "def-share.ini",
             b"[SKSG]\r\nNCOL= 10, 11, 12\r\n"),
            ("GNSS_Address", "", None, "", "jkn-gnss.ini", b"[GNSS]\r\nAddress=\r\n"),
            ("GNSS_RTKConnectProp", 4800, "S.BaudRate", 4800, "jkn-gnss-rtk.ini",
             b"[GNSS]\r\nRTKRadio=0\r\nRTKHosei=2\r\nRTKFlowCTS=1\r\nRTKPortNoS=1\r\n"
             b"RTKBaudRateS=4800\r\nRTKParityS=0\r\n"),
        ]
        for name, value, selector, expected, file, data in cases:
            with self.subTest(name=name, value=value):
                self.clear()
                self.assertIsNone(trassojkn.set(name, value, selector=selector))
                self.assertEqual(trassojkn.get(name, selector), expected)
                self.assertEqual(self.files(), ["0/" + file])
                self.assertEqual(self.read(file), data)

    def test_the_value_is_always_second_and_of_the_kinds_type(self):
        # A forgotten value, a selector given as the value, a type of no kind:
        # refused before anything is written.
        s = trassojkn.set
        cases = [
            lambda: s("GNSS_MaskElev", "svy"),  # the selector where the value belongs
            lambda: s("GNSS_BTAddr", selector="svy"),  # no value
            lambda: s("GNSS_BTAddr", "svy", "x"),  # a selector only by name
            lambda: s("GNSS_MaskElev", "20"),  # numbers are numbers
            lambda: s("GNSS_MaskElev", 2.5),
            lambda: s("GNSS_ImuObs", "1"),
            lambda: s("TS_UseScaleValue", True),
            lambda: s("GNSS_UserID", 5),
            lambda: s("GNSS_UserID", None),
            lambda: trassojkn.get("GNSS_MaskElev", True),
            lambda: trassojkn.get(None),
        ]
        for n, call in enumerate(cases):
            with self.subTest(case=n):
                self.assertRaises(TypeError, call)
        self.assertEqual(self.files(), [])

    def test_reset_removes_one_key_at_a_time(self):
        trassojkn.set("GNSS_Page", 2)
        trassojkn.set("GNSS_MaskElev", 20, selector="svy")
        self.assertIsNone(trassojkn.reset("GNSS_MaskElev", selector="svy"))
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPage=2\r\n")
        self.assertEqual(trassojkn.get("GNSS_MaskElev", "svy"), 15)
        trassojkn.reset("GNSS_Page")
        trassojkn.reset("GNSS_Page")  # nothing left: nothing changes
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\n")
        trassojkn.reset("NMEA_BaudRate")
        self.assertEqual(self.files(), ["0/jkn-gnss.ini"])

    def test_profile_selector_is_a_path(self):
        folder = os.path.join(self.base, "profiles")
        os.mkdir(folder)
        named = os.path.join(folder, "機械.ini")
        for selector, path in [(named, named), (os.fsencode(named), named),
                               (None, self.inf("jkn-zetr.ini"))]:
            with self.subTest(selector=selector):
                trassojkn.set("ZETR_Ang_DispMode", 3, selector=selector)
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), b"[ANG]\r\nMOD=3\r\n")
                self.assertEqual(trassojkn.get("ZETR_Ang_DispMode", selector), 3)
        self.assertEqual(os.listdir(folder), ["機械.ini"])


class CodePage932(RootsTest):
    def test_bytes_round_trip(self):
        for data in [b"\x83\x65\x83\x58\x83\x67", b"\x95\x5c\x8e\xa6", b"\x87\x90", b"a\x80z",
                     b"\x85\x40", b"x\x83", b"\x81\x40 \x81\x40"]:
            with self.subTest(data=data):
                trassojkn.set("GNSS_UserID", data)
                self.assertEqual(trassojkn.get("GNSS_UserID", raw=True), data)
                self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nUserID=" + data + b"\r\n")
                self.assertEqual(trassojkn.get("GNSS_UserID"),
                                 data.decode("cp932", "surrogateescape"))

    def test_str_round_trip(self):
        for text, data in [("テスト", b"\x83\x65\x83\x58\x83\x67"), ("ｱｲｳ", b"\xb1\xb2\xb3"),
                           ("\udc85@", b"\x85\x40"), ("\u2252", b"\x81\xe0")]:
            with self.subTest(text=text):
                trassojkn.set("GNSS_BTAddr", text, selector="svy")
                self.assertEqual(self.read("jkn-gnss.ini"),
                                 b"[GNSS]\r\nBTAddr_Svy=" + data + b"\r\n")
                self.assertEqual(trassojkn.get("GNSS_BTAddr", "svy"), text)

    def test_unencodable_str_writes_nothing(self):
        for text in ["\u20ac", "caf\u00e9"]:
            with self.subTest(text=text):
                self.assertRaises(UnicodeEncodeError, trassojkn.set, "GNSS_UserID", text)
        self.assertEqual(self.files(), [])

    def test_values_longer_than_the_first_buffer(self):
        for data in [b"a" * 255, b"b" * 256, b"d" * 259, b"\x83\x65" * 129 + b"e"]:
            with self.subTest(length=len(data)):
                trassojkn.set("GNSS_Address", data)
                self.assertEqual(trassojkn.get("GNSS_Address", raw=True), data)


class Errors(RootsTest):
    def test_each_refusal_is_its_builtin_exception_and_writes_nothing(self):
        g, s, r = trassojkn.get, trassojkn.set, trassojkn.reset
        T = trassojkn
        cases = [
            (lambda: g("GNSS_Pag"), T.UnknownSettingError, KeyError, Status.UNKNOWN_SETTING,
             "GNSS_Pag", None),
            (lambda: s("GNSS_Nothing", 1), T.UnknownSettingError, KeyError,
             Status.UNKNOWN_SETTING, "GNSS_Nothing", None),
            (lambda: g("GNSS_MaskElev", "both"), T.SelectorError, ValueError,
             Status.BAD_SELECTOR, "GNSS_MaskElev", "both"),
            (lambda: r("GNSS_Page", selector=0), T.SelectorError, ValueError,
             Status.BAD_SELECTOR, "GNSS_Page", 0),
            (lambda: s("GNSS_MaskSate", 65536), T.ValueRefusedError, ValueError,
             Status.BAD_VALUE, "GNSS_MaskSate", None),
            (lambda: s("GNSS_ImuObs", 2), T.ValueRefusedError, ValueError, Status.BAD_VALUE,
             "GNSS_ImuObs", None),
            (lambda: s("GNSS_Address", b"x" * 260), T.ValueRefusedError, ValueError,
             Status.BAD_VALUE, "GNSS_Address", None),
            (lambda: s("GNSS_Address", "a\r\nb"), T.ValueRefusedError, ValueError,
             Status.REFUSED, "GNSS_Address", None),
            (lambda: s("ZETR_Ang_DispMode", 4), T.ValueRefusedError, ValueError,
             Status.OUT_OF_RANGE, "ZETR_Ang_DispMode", None),
            (lambda: s("PL30_Sch_HRangeRad", float("nan")), T.ValueRefusedError, ValueError,
             Status.BAD_VALUE, "PL30_Sch_HRangeRad", None),
            (lambda: s("RecMax", 1), T.NotWritableError, PermissionError, Status.NOT_SETTABLE,
             "RecMax", None),
        ]
        for call, cls, builtin, status, name, selector in cases:
            with self.subTest(name=name, status=status):
                self.assertRaisesError(call, cls, builtin, status, name, selector)
        self.assertEqual(self.files(), [])

    def test_values_that_would_read_back_otherwise_are_refused(self):
        for value, why in [(" secret", "blanks at the start of a value are not read"),
                           ("secret ", "blanks at the end of a value are not read"),
                           ('"secret"', "a value in one pair of quotes"),
                           (b"\x83 ", "blanks at the end of a value are not read")]:
            with self.subTest(value=value):
                e = self.assertRaisesError(lambda: trassojkn.set("GNSS_Password", value),
                                           trassojkn.ValueRefusedError, ValueError,
                                           Status.BAD_VALUE, "GNSS_Password", None)
                self.assertIn(why, str(e))
                self.assertIn("; nothing written to " + self.inf("jkn-gnss.ini"), str(e))
        self.assertEqual(self.files(), [])

    def test_file_system_failures_are_os_errors_saying_what_to_do(self):
        data = b"[GNSS]\r\nPage=1\r\n"
        self.write("jkn-gnss.ini", data)
        os.chmod(self.inf("jkn-gnss.ini"), 0o444)
        e = self.assertRaisesError(lambda: trassojkn.set("GNSS_Page", 2), trassojkn.NotWritableError,
                                   PermissionError, Status.READ_ONLY, "GNSS_Page", None)
        path = self.inf("jkn-gnss.ini")
        self.assertEqual(str(e), "cannot set GNSS_Page to \"2\": cannot write %s: the file is "
                         "read-only; make it writable (chmod u+w '%s')" % (path, path))
        self.assertEqual(self.read("jkn-gnss.ini"), data)
        self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o444)

        os.environ["KORVEL_APPDATA_0"] = os.path.join(self.base, "nowhere")
        e = self.assertRaisesError(lambda: trassojkn.reset("GNSS_Page"),
                                   trassojkn.FolderMissingError, FileNotFoundError,
                                   Status.FOLDER_MISSING, "GNSS_Page", None)
        self.assertIn("does not exist; create it first (mkdir -p '", str(e))
        os.environ["KORVEL_APPDATA_0"] = self.roots[0]
        os.mkdir(self.inf("def-gnss.ini"))
        self.assertRaisesError(lambda: trassojkn.set("GnssAntnMax", 4), trassojkn.StorageError,
                               OSError, Status.FILE_IS_FOLDER, "GnssAntnMax", None)
        self.assertFalse(os.path.exists(os.path.join(self.base, "nowhere")))

    def test_errors_pickle_and_keep_unknown_statuses(self):
        e = trassojkn.FolderMissingError(1, "m", "GNSS_Page", "x")
        copy = pickle.loads(pickle.dumps(e))
        self.assertEqual((type(copy), copy.status, str(copy), copy.setting, copy.selector),
                         (trassojkn.FolderMissingError, Status.FOLDER_MISSING, "m", "GNSS_Page",
                          "x"))
        self.assertEqual(Error(99, "?").status, 99)


class Watches(RootsTest):
    def test_each_write_is_one_change_typed_as_get_gives_it(self):
        profile = os.path.join(self.base, "zetr.ini")
        # name, value, selector, old, new, file
        rows = [
            ("GNSS_MaskElev", 20, "svy", 15, 20, "jkn-gnss.ini"),
            ("GNSS_ImuObs", True, None, False, True, "jkn-gnss.ini"),
            ("PL30_Sch_HRangeRad", 1.5, self.inf("jkn-pl30.ini"), 0.03490658503988659, 1.5,
             "jkn-pl30.ini"),
            ("SksNormColor", (1, 2, 3), None, "153,153,255", "1,2,3", "def-share.ini"),
            ("GNSS_UserID", "テスト", None, "", "テスト", "jkn-gnss.ini"),
            ("GNSS_UserID", b"\x85\x40", None, "テスト", "\udc85@", "jkn-gnss.ini"),
            ("GNSS_Address", "d" * 259, None, "", "d" * 259, "jkn-gnss.ini"),  # > first buffer
            ("GNSS_RTKConnectProp", 4800, "S.BaudRate", 9600, 4800, "jkn-gnss-rtk.ini"),
            ("ZETR_Ang_DispMode", 3, profile, 1, 3, profile),
        ]
        with trassojkn.watch(*sorted({r[0] for r in rows}), files=[profile]) as w:
            for name, value, selector, old, new, file in rows:
                with self.subTest(name=name, value=value):
                    trassojkn.set(name, value, selector=selector)
                    change = w.next(5)
                    self.assertEqual(change, Change(name, selector, old, new,
                                                    os.path.join(self.roots[0], "inf", file)))
                    self.assertEqual(type(change.new), type(trassojkn.get(name, selector)))
            self.assertIsNone(w.next(0.05))

    def test_descriptor_iteration_and_closing(self):
        page = lambda old, new: Change("GNSS_Page", None, old, new, self.inf("jkn-gnss.ini"))
        with trassojkn.watch("GNSS_Page") as w:
            self.assertEqual(select.select([w], [], [], 0)[0], [])
            trassojkn.set("GNSS_Page", 5)
            self.assertEqual(select.select([w], [], [], 5)[0], [w])
            self.assertEqual(w.next(0), page(0, 5))
            self.assertIsNone(w.next(0))
            threading.Timer(0.1, trassojkn.set, ("GNSS_Page", 6)).start()
            for change in w:  # blocks until the timer's write
                self.assertEqual(change, page(5, 6))
                break
        self.assertTrue(w.closed)
        self.assertRaises(ValueError, w.next, 0)
        self.assertRaises(ValueError, w.fileno)
        w.close()

    def test_refusals(self):
        e = self.assertRaisesError(lambda: trassojkn.watch("GNSS_Page", "GNSS_Pagee"),
                                   trassojkn.UnknownSettingError, KeyError,
                                   Status.UNKNOWN_SETTING, None, None)
        self.assertIn("'GNSS_Pagee'", str(e))
        path = os.path.join(self.base, "p.ini")
        e = self.assertRaisesError(lambda: trassojkn.watch("GNSS_Page", files=[path]),
                                   trassojkn.MisuseError, TypeError, Status.MISUSE, None, path)
        self.assertIn("no watched setting takes a profile path", str(e))
        with trassojkn.watch("GNSS_Page") as w:
            self.assertRaises(ValueError, w.next, -1)
            self.assertRaises(TypeError, trassojkn.watch, 5)


class Statuses(unittest.TestCase):
    """The bindings spell the statuses as core/Statuses.def numbers them."""

    def test_python_and_csharp_follow_the_table(self):
        source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        generate = runpy.run_path(os.path.join(source, "interface", "generate.py"))
        table = generate["c_statuses"]()
        self.assertEqual([(s.name, s.value) for s in Status],
                         [(c_name, int(number)) for c_name, number, _, _ in table])
        with open(os.path.join(source, "csharp", "TrassoJkn.cs"), encoding="utf-8") as f:
            enum = re.search(r"public enum JknStatus \{(.*?)\}", f.read(), re.S)[1]
        self.assertEqual(re.findall(r"(\w+) = (\d+)", enum),
                         [(c_name.title().replace("_", ""), number)
                          for c_name, number, _, _ in table])
        for c_name, number, text, _ in table:
            self.assertEqual(trassojkn._lib.jkn_status_text(int(number)), text.encode(), c_name)


class Interface(RootsTest):
    def test_version_is_the_librarys_and_the_projects(self):
        lib = ctypes.CDLL(trassojkn.library_path)
        lib.jkn_version.restype = ctypes.c_char_p
        self.assertEqual(trassojkn.__version__, lib.jkn_version().decode())
        expected = os.environ.get("TRASSOJKN_EXPECTED_VERSION")
        if expected:
            self.assertEqual(trassojkn.__version__, expected)
        package = os.path.dirname(trassojkn.__file__)
        self.assertTrue(os.path.isfile(os.path.join(package, "py.typed")))

    def test_help_shows_every_public_name(self):
        text = pydoc.render_doc(trassojkn, renderer=pydoc.plaintext)
        for name in ["get(name", "set(name", "reset(name", "describe(name", "names()",
                     "class Error", "class UnknownSettingError", "class ValueRefusedError",
                     "class MisuseError", "VERSION\n    " + trassojkn.__version__]:
            with self.subTest(name=name):
                self.assertTrue(name in text, name)
        for name in trassojkn.__all__:
            self.assertTrue(hasattr(trassojkn, name), name)
        self.assertIn("set", trassojkn.__all__)

    def test_describe_gives_every_setting_as_a_dict(self):
        lib = ctypes.CDLL(trassojkn.library_path)
        lib.jkn_setting_count.restype = ctypes.c_size_t
        all_names = trassojkn.names()
        self.assertEqual(len(all_names), lib.jkn_setting_count())
        self.assertEqual(all_names[0], "GNSS_Page")
        for name in all_names:
            d = trassojkn.describe(name)
            self.assertEqual(d["name"], name)
            self.assertIn(d["kind"], ("integer", "flag", "text", "number", "colour", "record"))
            self.assertTrue({"default", "range", "selector", "keys", "description"} <= set(d))
        d = trassojkn.describe("gnss_maskelev")
        self.assertEqual((d["default"], d["range"], d["selector"]["forms"], d["keys"][1]["key"]),
                         (15, {"min": -2147483648, "max": 2147483647}, ["plain", "svy"],
                          "MaskElev_Svy"))
        self.assertEqual(trassojkn.describe("TS_Psm")["default"], PRISM_DEFAULT.decode("cp932"))
        # A path that is no text of the system's encoding comes as bytes.
        odd = os.path.join(os.fsencode(self.base), b"\xff")
        os.makedirs(os.path.join(odd, b"inf"))
        os.environ["KORVEL_APPDATA_0"] = os.fsdecode(odd)
        self.assertEqual(trassojkn.describe("GNSS_Page")["path"],
                         os.path.join(odd, b"inf", b"jkn-gnss.ini"))
        self.assertRaises(KeyError, trassojkn.describe, "GNSS_Pag")


class LibraryLookup(unittest.TestCase):
    """Which library the module loads: TRASSOJKN_LIBRARY, beside the package or
    its installed tree, then the system's loader."""

    PACKAGE = os.path.dirname(os.path.abspath(trassojkn.__file__))
    MULTIARCH = sysconfig.get_config_var("MULTIARCH")
    FILE = os.path.basename(trassojkn._library.FILE_NAME)

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="trassojkn-tree-")
        self.library = os.path.realpath(trassojkn.library_path)

    def tearDown(self):
        shutil.rmtree(self.base)

    def tree(self, prefix, library_folders):
        """An installed tree: the package, and the library in each folder."""
        package = os.path.join(prefix, "lib", "python3", "dist-packages", "trassojkn")
        shutil.copytree(self.PACKAGE, package, ignore=shutil.ignore_patterns("__pycache__"))
        for folder in library_folders:
            os.makedirs(os.path.join(prefix, folder), exist_ok=True)
            shutil.copy(self.library, os.path.join(prefix, folder, self.FILE))
        return os.path.dirname(package)

    def run_python(self, path, code, library=None, loader_path=None):
        env = {k: v for k, v in os.environ.items()
               if k not in ("TRASSOJKN_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH")}
        if library is not None:
            env["TRASSOJKN_LIBRARY"] = library
        if loader_path is not None:
            env["LD_LIBRARY_PATH"] = loader_path
        env["PYTHONPATH"] = path
        env["KORVEL_APPDATA_0"] = os.path.join(self.base, "root0")
        return subprocess.run([sys.executable, "-B", "-c", code], env=env, cwd=self.base,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def test_where_the_library_is_found(self):
        code = ("import trassojkn; print(trassojkn.library_path); "
                "print(trassojkn.get('GNSS_MaskElev', 'svy'))")
        multi = ["lib/" + self.MULTIARCH] if self.MULTIARCH else ["lib"]
        # library folders, the variable, the loader's path, the one loaded
        cases = [
            (["lib"], None, None, "prefix/lib/" + self.FILE),
            (["lib64"], None, None, "prefix/lib64/" + self.FILE),
            (["lib"] + multi, None, None, "prefix/%s/" % multi[0] + self.FILE),
            (["lib/python3/dist-packages/trassojkn", "lib"], None, None,
             "prefix/lib/python3/dist-packages/trassojkn/" + self.FILE),
            (["lib"], self.library, None, self.library),
            ([], None, "loader", "loader/" + self.FILE),
        ]
        for n, (folders, variable, loader, expected) in enumerate(cases):
            with self.subTest(folders=folders, variable=variable, loader=loader):
                prefix = os.path.join(self.base, "prefix")
                shutil.rmtree(prefix, ignore_errors=True)
                path = self.tree(prefix, folders)
                loader_path = None
                if loader:
                    loader_path = os.path.join(self.base, loader)
                    os.makedirs(loader_path, exist_ok=True)
                    shutil.copy(self.library, os.path.join(loader_path, self.FILE))
                done = self.run_python(path, code, library=variable, loader_path=loader_path)
                self.assertEqual(done.returncode, 0, done.stderr)
                shown = expected if os.path.isabs(expected) or "/" not in expected else \
                    os.path.join(self.base, expected)
                self.assertEqual(done.stdout, "%s\n15\n" % shown)

    def test_no_library_fails_the_import_saying_what_to_do(self):
        cases = [(None, self.FILE + " not found beside the package"),
                 (os.path.join(self.base, "none.so"), "cannot load")]
        for n, (library, message) in enumerate(cases):
            with self.subTest(library=library):
                path = self.tree(os.path.join(self.base, "prefix%d" % n), [])
                done = self.run_python(path, "import trassojkn", library=library)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn("ImportError: trassojkn: ", done.stderr)
                self.assertIn(message, done.stderr)


if __name__ == "__main__":
    unittest.main()
