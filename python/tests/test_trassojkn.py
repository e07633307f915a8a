"""Tests of the trassojkn module against the shared library.

TRASSOJKN_LIBRARY names the library under test (CTest sets it); each test gets
two fresh application-data roots through KORVEL_APPDATA_0 and KORVEL_APPDATA_1.
"""

import ctypes
import os
import pickle
import shutil
import stat
import subprocess
import sys
import sysconfig
import tempfile
import unittest

import trassojkn
from trassojkn import Error, Status

ROOT_VARIABLES = ("KORVEL_APPDATA_0", "KORVEL_APPDATA_1")

# "-000mm：(名前指定なし)" as the library stores it.
PRISM_DEFAULT = b"-000mm\x81F(\x96\xbc\x91O\x8ew\x92\xe8\x82\xc8\x82\xb5)"


def raw_library():
    """The library under test, called directly, to check the module against it."""
    lib = ctypes.CDLL(trassojkn.library_path)
    lib.jkn_setting_count.restype = ctypes.c_size_t
    lib.jkn_setting_name.argtypes = [ctypes.c_size_t]
    lib.jkn_setting_name.restype = ctypes.c_char_p
    return lib


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

    def clear(self):
        for n in range(2):
            folder = os.path.join(self.roots[n], "inf")
            for name in os.listdir(folder):
                os.remove(os.path.join(folder, name))


class Defaults(RootsTest):
    def test_defaults_without_files(self):
        cases = [
            ("GNSS_MaskElev", "svy", "15"),
            ("GNSS_MaskElev", "plain", "15"),
            ("GNSS_MaskElev", None, "15"),
            ("GNSS_MaskElev", "1", "15"),
            ("gnss_maskelev", "SVY", "15"),  # names and selectors in any case
            ("GNSS_NTripP", None, "1104"),
            ("GNSS_NTripP", "", "1104"),
            ("GNSS_Address", None, ""),
            ("NMEA_BaudRate", None, "19200"),
            ("PL30_Sch_HRangeRad", None, "0.03490658503988659"),
            ("TS_Psm", "0", PRISM_DEFAULT.decode("cp932")),
        ]
        for name, selector, expected in cases:
            with self.subTest(name=name, selector=selector):
                self.assertEqual(trassojkn.get(name, selector), expected)
        # Getters never create a file.
        self.assertEqual(self.files(), [])

    def test_raw_default_is_the_stored_bytes(self):
        self.assertEqual(trassojkn.get("TS_Psm", "7", raw=True), PRISM_DEFAULT)
        self.assertEqual(trassojkn.get("TS_Psm", "7"), "-000mm\uff1a(名前指定なし)")
        self.assertEqual(trassojkn.get("GNSS_MaskElev", "svy", raw=True), b"15")

    def test_get_reads_an_existing_file(self):
        self.write("jkn-gnss.ini", b"[GNSS]\r\nMaskElev=3\r\nMaskElev_Svy=-12\r\n")
        self.assertEqual(trassojkn.get("GNSS_MaskElev", "plain"), "3")
        self.assertEqual(trassojkn.get("GNSS_MaskElev", "svy"), "-12")
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nMaskElev=3\r\nMaskElev_Svy=-12\r\n")


class SetAndReset(RootsTest):
    def test_set_then_get_and_file_bytes(self):
        # name, selector, value, value read back, file, its bytes
        cases = [
            ("GNSS_MaskElev", "svy", "20", "20", "jkn-gnss.ini", b"[GNSS]\r\nMaskElev_Svy=20\r\n"),
            ("GNSS_MaskElev", "plain", "-5", "-5", "jkn-gnss.ini", b"[GNSS]\r\nMaskElev=-5\r\n"),
            ("GNSS_MaskElev", "SVY", b"0", "0", "jkn-gnss.ini", b"[GNSS]\r\nMaskElev_Svy=0\r\n"),
            ("GNSS_Page", None, "+7", "7", "jkn-gnss.ini", b"[GNSS]\r\nPage=7\r\n"),
            ("GNSS_MaskSate", "svy", "65535", "65535", "jkn-gnss.ini",
             b"[GNSS]\r\nMaskSate_Svy=65535\r\n"),
            ("GNSS_ImuObs", None, "1", "1", "jkn-gnss.ini", b"[GNSS]\r\nImuObs=1\r\n"),
            ("NMEA_BaudRate", None, "4294967295", "4294967295", "jkn-nmea.ini",
             b"[NMEA]\r\nBaudRate=4294967295\r\n"),
            ("PL30_Sch_HRangeRad", None, "1.5", "1.5", "jkn-pl30.ini",
             b"[SCH]\r\nHOR=1.500000\r\n"),
            ("GNSS_Address", None, "", "", "jkn-gnss.ini", b"[GNSS]\r\nAddress=\r\n"),
        ]
        for name, selector, value, expected, file, data in cases:
            with self.subTest(name=name, selector=selector, value=value):
                self.clear()
                self.assertIsNone(trassojkn.set(name, selector, value))
                self.assertEqual(trassojkn.get(name, selector), expected)
                self.assertEqual(self.files(), ["0/" + file])
                self.assertEqual(self.read(file), data)

    def test_two_argument_set_is_set_without_selector(self):
        trassojkn.set("GNSS_Page", "3")
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPage=3\r\n")
        trassojkn.set("GNSS_Page", None, "4")
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPage=4\r\n")
        # A mode setting without selector takes its first key, as the library does.
        trassojkn.set("GNSS_MaskElev", "9")
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPage=4\r\nMaskElev=9\r\n")

    def test_set_argument_count(self):
        for args in [("GNSS_Page",), ("GNSS_Page", None, "1", "2")]:
            with self.subTest(args=args):
                with self.assertRaises(TypeError):
                    trassojkn.set(*args)
        self.assertEqual(self.files(), [])

    def test_reset_removes_one_key_at_a_time(self):
        trassojkn.set("GNSS_Page", "2")
        trassojkn.set("GNSS_MaskElev", "svy", "20")
        trassojkn.set("GNSS_MaskElev", "plain", "7")
        self.assertEqual(self.read("jkn-gnss.ini"),
                         b"[GNSS]\r\nPage=2\r\nMaskElev_Svy=20\r\nMaskElev=7\r\n")
        steps = [
            ("GNSS_MaskElev", "svy", "15", b"[GNSS]\r\nPage=2\r\nMaskElev=7\r\n"),
            ("GNSS_MaskElev", "plain", "15", b"[GNSS]\r\nPage=2\r\n"),
            ("GNSS_Page", None, "0", b"[GNSS]\r\n"),
            # Nothing left to remove: nothing changes.
            ("GNSS_Page", None, "0", b"[GNSS]\r\n"),
        ]
        for name, selector, default, data in steps:
            with self.subTest(name=name, selector=selector, data=data):
                self.assertIsNone(trassojkn.reset(name, selector))
                self.assertEqual(trassojkn.get(name, selector), default)
                self.assertEqual(self.read("jkn-gnss.ini"), data)

    def test_profile_selector_is_a_path(self):
        folder = os.path.join(self.base, "profiles")
        os.mkdir(folder)
        named = os.path.join(folder, "機械.ini")
        # selector, the file it names
        cases = [
            (named, named),
            (os.fsencode(os.path.join(folder, "b.ini")), os.path.join(folder, "b.ini")),
            (None, self.inf("jkn-zetr.ini")),
        ]
        for selector, path in cases:
            with self.subTest(selector=selector):
                self.assertEqual(trassojkn.get("ZETR_Ang_DispMode", selector), "1")
                self.assertFalse(os.path.exists(path))
                trassojkn.set("ZETR_Ang_DispMode", selector, "3")
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), b"[ANG]\r\nMOD=3\r\n")
                self.assertEqual(trassojkn.get("ZETR_Ang_DispMode", selector), "3")
        self.assertEqual(sorted(os.listdir(folder)), ["b.ini", "機械.ini"])
        self.assertEqual(self.files(), ["0/jkn-zetr.ini"])

    def test_reset_creates_no_file(self):
        trassojkn.reset("GNSS_MaskElev", "svy")
        trassojkn.reset("NMEA_BaudRate")
        self.assertEqual(self.files(), [])


class CodePage932(RootsTest):
    # Bytes as stored; each must come back and reach the file unchanged.
    TEXTS = [
        b"\x83\x65\x83\x58\x83\x67",  # katakana "tesuto"
        b"\x95\x5c\x8e\xa6",  # second bytes that are '\' (0x5C) and ASCII-range
        b"\x87\x90",  # a character with a second code (0x81E0)
        b"\xfa\x5c",  # likewise (0xED40)
        b"a\x80z",  # a single byte without a character
        b"\x85\x40",  # a code the code page does not define
        b"\xb1\xb2\xb3",  # half-width katakana
        b"x\x83",  # a lead byte at the end
        b"\x81\x40 \x81\x40",  # ideographic spaces
    ]

    def test_bytes_round_trip(self):
        for data in self.TEXTS:
            with self.subTest(data=data):
                self.clear()
                trassojkn.set("GNSS_UserID", data)
                self.assertEqual(trassojkn.get("GNSS_UserID", raw=True), data)
                self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nUserID=" + data + b"\r\n")
                # The str form decodes the same bytes, escaping what cp932 lacks.
                self.assertEqual(trassojkn.get("GNSS_UserID"),
                                 data.decode("cp932", "surrogateescape"))

    def test_str_round_trip(self):
        cases = [
            ("テスト", b"\x83\x65\x83\x58\x83\x67"),
            ("表示", b"\x95\x5c\x8e\xa6"),
            ("ｱｲｳ", b"\xb1\xb2\xb3"),
            ("\udc85@", b"\x85\x40"),  # escaped bytes go back as they were
            ("\u2252", b"\x81\xe0"),  # the character's first code
        ]
        for text, data in cases:
            with self.subTest(text=text):
                self.clear()
                trassojkn.set("GNSS_BTAddr", "svy", text)
                self.assertEqual(self.read("jkn-gnss.ini"),
                                 b"[GNSS]\r\nBTAddr_Svy=" + data + b"\r\n")
                self.assertEqual(trassojkn.get("GNSS_BTAddr", "svy", raw=True), data)
                self.assertEqual(trassojkn.get("GNSS_BTAddr", "svy"), text)

    def test_second_code_survives_only_as_bytes(self):
        trassojkn.set("GNSS_Password", b"\x87\x90")
        text = trassojkn.get("GNSS_Password")
        self.assertEqual(text, "\u2252")
        trassojkn.set("GNSS_Password", trassojkn.get("GNSS_Password", raw=True))
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPassword=\x87\x90\r\n")
        trassojkn.set("GNSS_Password", text)
        self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nPassword=\x81\xe0\r\n")

    def test_unencodable_str_writes_nothing(self):
        for text in ["\u20ac", "caf\u00e9", "\U0001f600"]:
            with self.subTest(text=text):
                with self.assertRaises(UnicodeEncodeError):
                    trassojkn.set("GNSS_UserID", text)
        self.assertEqual(self.files(), [])

    def test_values_longer_than_the_first_buffer(self):
        # The first read has room for 255 bytes; longer values are read again.
        cases = [
            b"a" * 255,
            b"b" * 256,
            b"c" * 257,
            b"d" * 259,
            b"\x83\x65" * 129 + b"e",  # 259 bytes ending after a double-byte run
        ]
        for data in cases:
            with self.subTest(length=len(data), first=data[:1]):
                self.clear()
                trassojkn.set("GNSS_Address", data)
                self.assertEqual(trassojkn.get("GNSS_Address", raw=True), data)
                self.assertEqual(trassojkn.get("GNSS_Address"), data.decode("cp932"))
                self.assertEqual(self.read("jkn-gnss.ini"), b"[GNSS]\r\nAddress=" + data + b"\r\n")


class Names(RootsTest):
    def test_names_are_the_library_list(self):
        lib = raw_library()
        all_names = trassojkn.names()
        self.assertEqual(len(all_names), lib.jkn_setting_count())
        self.assertEqual(all_names, [lib.jkn_setting_name(i).decode("ascii")
                                     for i in range(lib.jkn_setting_count())])
        self.assertEqual(len(set(all_names)), len(all_names))
        for known in ["GNSS_Page", "GNSS_MaskElev", "GNSS_Address", "NMEA_BaudRate", "TS_Psm",
                      "PL30_Sch_HRangeRad", "RecMax"]:
            with self.subTest(name=known):
                self.assertIn(known, all_names)
        self.assertEqual(all_names[0], "GNSS_Page")

    def test_every_name_is_known_to_get(self):
        # Without a selector a setting either reads or asks for a selector.
        for name in trassojkn.names():
            with self.subTest(name=name):
                try:
                    self.assertIsInstance(trassojkn.get(name), str)
                except Error as e:
                    self.assertEqual(e.status, Status.BAD_SELECTOR)
        self.assertEqual(self.files(), [])


class Errors(RootsTest):
    def assertFails(self, call, status, text, name, selector):
        with self.assertRaises(Error) as caught:
            call()
        e = caught.exception
        self.assertIs(type(e.status), Status)
        self.assertEqual(e.status, status)
        self.assertEqual(str(e), text)
        self.assertEqual(e.setting, name)
        self.assertEqual(e.selector, selector)

    def test_refusals_leave_no_file(self):
        g, s, r = trassojkn.get, trassojkn.set, trassojkn.reset
        unknown = (Status.UNKNOWN_SETTING, "unknown setting")
        selector = (Status.BAD_SELECTOR, "bad selector")
        value = (Status.BAD_VALUE, "bad value")
        settable = (Status.NOT_SETTABLE, "setting is read-only")
        refused = (Status.REFUSED, "value refused")
        range_ = (Status.OUT_OF_RANGE, "value out of range")
        # call, name, selector, outcome
        cases = [
            (lambda: g("GNSS_Nothing"), "GNSS_Nothing", None, unknown),
            (lambda: g("GNSS_Pag"), "GNSS_Pag", None, unknown),
            (lambda: g(""), "", None, unknown),
            (lambda: s("GNSS_Nothing", None, "1"), "GNSS_Nothing", None, unknown),
            (lambda: r("GNSS_Nothing", "svy"), "GNSS_Nothing", "svy", unknown),
            (lambda: g("GNSS_MaskElev", "both"), "GNSS_MaskElev", "both", selector),
            (lambda: g("GNSS_MaskElev", "2"), "GNSS_MaskElev", "2", selector),
            (lambda: s("GNSS_Page", "svy", "1"), "GNSS_Page", "svy", selector),
            (lambda: r("GNSS_Page", "0"), "GNSS_Page", "0", selector),
            (lambda: g("TS_Psm"), "TS_Psm", None, selector),
            (lambda: s("GNSS_MaskElev", "svy", "abc"), "GNSS_MaskElev", "svy", value),
            (lambda: s("GNSS_MaskElev", "svy", ""), "GNSS_MaskElev", "svy", value),
            (lambda: s("GNSS_Page", "2147483648"), "GNSS_Page", None, value),
            (lambda: s("GNSS_MaskSate", "plain", "65536"), "GNSS_MaskSate", "plain", value),
            (lambda: s("NMEA_BaudRate", "-1"), "NMEA_BaudRate", None, value),
            (lambda: s("GNSS_ImuObs", "2"), "GNSS_ImuObs", None, value),
            (lambda: s("GNSS_Address", b"x" * 260), "GNSS_Address", None, value),
            (lambda: s("ZETR_Ang_DispMode", "x"), "ZETR_Ang_DispMode", None, value),
            (lambda: s("GNSS_Address", "a\r\nb"), "GNSS_Address", None, refused),
            (lambda: s("GNSS_UserID", b"\n"), "GNSS_UserID", None, refused),
            (lambda: s("GNSS_BTAddr", "svy", "a\rb"), "GNSS_BTAddr", "svy", refused),
            (lambda: s("GNSS_MaskElev", "svy", "1\n"), "GNSS_MaskElev", "svy", refused),
            # Validating setters: a number outside their range.
            (lambda: s("ZETR_Ang_DispMode", "4"), "ZETR_Ang_DispMode", None, range_),
            (lambda: s("ZETR_Ang_DispMode", "0"), "ZETR_Ang_DispMode", None, range_),
            (lambda: s("PL30_Sch_HRangeRad", "3.2"), "PL30_Sch_HRangeRad", None, range_),
            (lambda: s("RecMax", "1"), "RecMax", None, settable),
            (lambda: r("RecMax"), "RecMax", None, settable),
        ]
        for call, name, sel, (status, text) in cases:
            with self.subTest(name=name, selector=sel, status=status):
                self.assertFails(call, status, text, name, sel)
        self.assertEqual(self.files(), [])

    def test_refused_value_keeps_the_file(self):
        data = b"[GNSS]\r\nMaskElev_Svy=30\r\n"
        self.write("jkn-gnss.ini", data)
        self.assertFails(lambda: trassojkn.set("GNSS_MaskElev", "svy", "abc"),
                         Status.BAD_VALUE, "bad value", "GNSS_MaskElev", "svy")
        self.assertEqual(self.read("jkn-gnss.ini"), data)
        self.assertEqual(trassojkn.get("GNSS_MaskElev", "svy"), "30")

    def test_read_only_file(self):
        data = b"[GNSS]\r\nPage=1\r\n"
        self.write("jkn-gnss.ini", data)
        os.chmod(self.inf("jkn-gnss.ini"), 0o444)
        read_only = (Status.READ_ONLY, "file read-only")
        cases = [
            (lambda: trassojkn.set("GNSS_Page", "2"), "GNSS_Page", None),
            (lambda: trassojkn.set("GNSS_MaskElev", "svy", "20"), "GNSS_MaskElev", "svy"),
            (lambda: trassojkn.reset("GNSS_Page"), "GNSS_Page", None),
        ]
        for call, name, sel in cases:
            with self.subTest(name=name, selector=sel):
                self.assertFails(call, *read_only, name, sel)
        self.assertEqual(self.read("jkn-gnss.ini"), data)
        self.assertEqual(stat.S_IMODE(os.stat(self.inf("jkn-gnss.ini")).st_mode), 0o444)
        self.assertEqual(trassojkn.get("GNSS_Page"), "1")

    def test_missing_folders(self):
        missing = os.path.join(self.base, "nowhere")
        no_inf = os.path.join(self.base, "bare")
        os.mkdir(no_inf)
        for root in [missing, no_inf]:
            with self.subTest(root=root):
                os.environ["KORVEL_APPDATA_0"] = root
                self.assertFails(lambda: trassojkn.set("GNSS_MaskElev", "svy", "20"),
                                 Status.FOLDER_MISSING, "folder missing", "GNSS_MaskElev", "svy")
                self.assertFails(lambda: trassojkn.reset("GNSS_Page"),
                                 Status.FOLDER_MISSING, "folder missing", "GNSS_Page", None)
                self.assertEqual(trassojkn.get("GNSS_MaskElev", "svy"), "15")
        # Nothing was created on the way.
        self.assertFalse(os.path.exists(missing))
        self.assertEqual(os.listdir(no_inf), [])

    def test_arguments_the_c_interface_cannot_carry(self):
        cases = [
            (lambda: trassojkn.set("GNSS_UserID", b"a\0b"), ValueError),
            (lambda: trassojkn.set("GNSS_UserID", "a\0b"), ValueError),
            (lambda: trassojkn.get("GNSS_Page\0x"), ValueError),
            (lambda: trassojkn.get("GNSS_MaskElev", "svy\0"), ValueError),
            (lambda: trassojkn.set("GNSS_Page", 5), TypeError),
            (lambda: trassojkn.set("GNSS_Page", None), TypeError),
            (lambda: trassojkn.get(None), TypeError),
            (lambda: trassojkn.get("GNSS_MaskElev", 1), TypeError),
        ]
        for i, (call, kind) in enumerate(cases):
            with self.subTest(case=i, kind=kind.__name__):
                with self.assertRaises(kind):
                    call()
        self.assertEqual(self.files(), [])

    def test_error_objects(self):
        e = Error(15, "RecMax", None)
        self.assertEqual((e.status, str(e)), (Status.NOT_SETTABLE, "setting is read-only"))
        other = Error(99)
        self.assertEqual((other.status, str(other)), (99, "unknown status"))
        self.assertNotIsInstance(other.status, Status)
        copy = pickle.loads(pickle.dumps(Error(5, "GNSS_Page", "x")))
        self.assertEqual((copy.status, str(copy), copy.setting, copy.selector),
                         (Status.READ_ONLY, "file read-only", "GNSS_Page", "x"))


class LibraryLookup(unittest.TestCase):
    """Which library the module loads: TRASSOJKN_LIBRARY, else its installed tree."""

    PACKAGE = os.path.dirname(os.path.abspath(trassojkn.__file__))
    MULTIARCH = sysconfig.get_config_var("MULTIARCH")

    def setUp(self):
        self.base = tempfile.mkdtemp(prefix="trassojkn-tree-")
        self.library = os.path.realpath(trassojkn.library_path)

    def tearDown(self):
        shutil.rmtree(self.base)

    def tree(self, prefix, library_folders):
        """An installed tree at prefix: the package, and the library in each folder."""
        package = os.path.join(prefix, "lib", "python3", "dist-packages", "trassojkn")
        os.makedirs(package)
        shutil.copy(os.path.join(self.PACKAGE, "__init__.py"), package)
        for folder in library_folders:
            os.makedirs(os.path.join(prefix, folder), exist_ok=True)
            shutil.copy(self.library, os.path.join(prefix, folder, "libTrassoJkn.so.0"))
        return os.path.dirname(package)

    def run_python(self, path, code, library=None):
        env = {k: v for k, v in os.environ.items()
               if k not in ("TRASSOJKN_LIBRARY", "PYTHONPATH")}
        if library is not None:
            env["TRASSOJKN_LIBRARY"] = library
        env["PYTHONPATH"] = path
        env["KORVEL_APPDATA_0"] = os.path.join(self.base, "root0")
        return subprocess.run([sys.executable, "-c", code], env=env, cwd=self.base,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def test_installed_layouts(self):
        lib = ["lib"]
        multi = ["lib/" + self.MULTIARCH] if self.MULTIARCH else []
        # library folders, the one loaded
        cases = [(lib, "lib"), (["lib64"], "lib64"), (lib + ["lib64"], "lib")]
        if multi:
            cases += [(multi, multi[0]), (lib + multi, multi[0])]
        code = ("import trassojkn; print(trassojkn.library_path); "
                "print(trassojkn.get('GNSS_MaskElev', 'svy'))")
        for n, (folders, expected) in enumerate(cases):
            with self.subTest(folders=folders):
                prefix = os.path.join(self.base, "prefix%d" % n)
                done = self.run_python(self.tree(prefix, folders), code)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stdout, "%s\n15\n" % os.path.join(
                    prefix, expected, "libTrassoJkn.so.0"))

    def test_variable_comes_first(self):
        path = self.tree(os.path.join(self.base, "prefix"), ["lib"])
        done = self.run_python(path, "import trassojkn; print(trassojkn.library_path)",
                               library=self.library)
        self.assertEqual((done.returncode, done.stdout), (0, self.library + "\n"), done.stderr)

    def test_no_library_fails_the_import(self):
        cases = [
            ("empty tree", None, "libTrassoJkn.so.0 not found"),
            ("variable naming nothing", os.path.join(self.base, "none.so"), "cannot load"),
        ]
        for n, (what, library, message) in enumerate(cases):
            with self.subTest(what=what):
                path = self.tree(os.path.join(self.base, "prefix%d" % n), [])
                done = self.run_python(path, "import trassojkn", library=library)
                self.assertNotEqual(done.returncode, 0)
                self.assertIn("ImportError: trassojkn: ", done.stderr)
                self.assertIn(message, done.stderr)


if __name__ == "__main__":
    unittest.main()
