"""The declarations of interface/generate.py: the C++ each table row makes and
the key and default its comment gives, and the rows it refuses.

    test_generate.py SOURCE_DIR
"""
import sys
import unittest

sys.path.insert(0, sys.argv.pop(1) + "/interface")
import generate  # noqa: E402

FILES = generate.settings_files()


def declare(row, part_file="jkn-gnss.ini", part_section="GNSS"):
    return generate.Declaration("kX", row, part_file, part_section, FILES, "t.api:1")


class DeclarationTest(unittest.TestCase):
    def test_rows(self):
        # row, part section, C++, comment (as a flag's getter returning bool)
        rows = [
            ('int "Page" 0', "GNSS",
             'constexpr IntSetting kX{{SettingsFile::JknGnss, "GNSS", "Page"}, 0};', '"Page", 0'),
            ('u16 "MaskSate" mode 11', "GNSS",
             'constexpr U16Setting kX{{SettingsFile::JknGnss, "GNSS", "MaskSate", KeyChoice::Mode}, 11};',
             '"MaskSate[_Svy]", 11'),
            ('u8 "RTKParity" side 0', "GNSS",
             'constexpr U8Setting kX{{SettingsFile::JknGnss, "GNSS", "RTKParity", KeyChoice::Side}, 0};',
             '"RTKParity[R|S]", 0'),
            ('flag-exactly-one "ConnectComm" 1', "GNSS",
             'constexpr FlagSetting kX{{SettingsFile::JknGnss, "GNSS", "ConnectComm"}, 1, '
             'FlagRead::ExactlyOne};', '"ConnectComm", true'),
            # A buffer alone still puts the kind's decimals before it.
            ('double "UseScaleValue" 1.0 buffer 32', "GNSS",
             'constexpr DoubleSetting kX{{SettingsFile::JknGnss, "GNSS", "UseScaleValue"}, 1.0, 6, 32};',
             '"UseScaleValue", 1.0, "%.6f", 32-byte buffer'),
            ('double-text "RCOB"/"WIDE" "0.5" buffer 32', None,
             'constexpr DoubleTextSetting kX{{SettingsFile::JknGnss, "RCOB", "WIDE"}, "0.5", 3, 32};',
             '"RCOB"/"WIDE", "0.5", "%.3f", 32-byte buffer'),
            ('text "def-ts.ini" "BtDevAddr" "" buffer 32', "GNSS",
             'constexpr TextSetting kX{{SettingsFile::DefTs, "GNSS", "BtDevAddr"}, "", 32};',
             '"def-ts.ini" "BtDevAddr", "", 32-byte buffer'),
            ('int "TGT"/"TYP" 1 range 1 5', None,
             'constexpr RangedInt kX{{{SettingsFile::JknGnss, "TGT", "TYP"}, 1}, 1, 5};',
             '"TGT"/"TYP", 1 (1-5)'),
        ]
        for row, section, cpp, doc in rows:
            with self.subTest(row=row):
                d = declare(row, part_section=section)
                self.assertEqual(d.cpp(), cpp)
                self.assertEqual(d.doc(as_bool=True), doc)

    def test_refused_rows(self):
        for row, why in [('integer "Page" 0', "a kind first"),
                          ('int "nowhere.ini" "Page" 0', "no settings file"),
                          ('int Page 0', "a quoted key"),
                          ('int "Page"', "a default"),
                          ('text "Name" "" range 1 2', "a range for a kind"),
                          ('int "Page" 0 decimals 3', "decimals for a kind"),
                          ('int "Page" 0 buffer', "'buffer' unexpected")]:
            with self.subTest(row=row):
                with self.assertRaisesRegex(ValueError, why):
                    declare(row)
        with self.assertRaisesRegex(ValueError, "a section"):
            declare('int "Page" 0', part_section=None)


if __name__ == "__main__":
    unittest.main()
