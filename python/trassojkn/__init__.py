"""Settings of the field surveying application by name, over libTrassoJkn's C interface.

    import trassojkn
    trassojkn.get("GNSS_MaskElev", "svy")          # '15'
    trassojkn.set("GNSS_MaskElev", "svy", "20")    # setting with a selector
    trassojkn.set("GNSS_Page", "1")                # setting without one
    trassojkn.reset("GNSS_MaskElev", "svy")        # back to the default
    trassojkn.names()                              # ['GNSS_Page', ...]

Values are the texts of `jkn get --raw` / `jkn set --raw`: decimal numbers,
colours as "red,green,blue", and texts as their stored bytes, which are code
page 932. get() decodes them as cp932 (raw=True gives the bytes themselves);
set() takes bytes as they are or a str, which it encodes as cp932. Bytes the
code page does not define pass through a str as "surrogateescape" characters.
A str does not keep every byte sequence: code page 932 has characters with
two codes (0x8790 and 0x81E0 are both U+2252), and encoding gives one of them.
To keep a value byte for byte, use get(..., raw=True) and set bytes.

The settings files lie below the roots named by KORVEL_APPDATA_0 and
KORVEL_APPDATA_1, which the library reads on every call, so changing
os.environ takes effect at once.

The library loaded is the one named by TRASSOJKN_LIBRARY when that is set;
otherwise the one installed beside this package: the package in
<prefix>/lib/python3/dist-packages/trassojkn, the library in
<prefix>/lib/<multiarch>, <prefix>/lib or <prefix>/lib64.

Every failure raises trassojkn.Error, whose status is the library's status
number (a Status where the number is known) and whose str() is the library's
text for it.
"""

import ctypes
import enum
import os
import sysconfig

# set is left out: a star import would hide the built-in set.
__all__ = ["Error", "Status", "get", "reset", "names", "library_path"]

# The soname: an installed tree holds it as a link to the versioned file.
_SONAME = "libTrassoJkn.so.0"
# jkn_get's first try; longer values are read again at their full length.
_FIRST_CAPACITY = 256


class Status(enum.IntEnum):
    """The library's statuses; the numbers are fixed by its C interface."""

    OK = 0
    FOLDER_MISSING = 1
    NOT_A_FOLDER = 2
    FILE_IS_FOLDER = 3
    NOT_A_FILE = 4
    READ_ONLY = 5
    ACCESS_DENIED = 6
    REFUSED = 7
    OUT_OF_RANGE = 8
    DISK_FULL = 9
    BUSY = 10
    IO_ERROR = 11
    UNKNOWN_SETTING = 12
    BAD_SELECTOR = 13
    BAD_VALUE = 14
    NOT_SETTABLE = 15


class Error(Exception):
    """A call the library did not carry out.

    status   the status number, as a Status when it is a known one
    setting  the setting's name the call was given
    selector the selector the call was given (None for none)
    str()    the library's English text for the status
    """

    def __init__(self, status, setting=None, selector=None):
        try:
            status = Status(status)
        except ValueError:
            pass
        self.status = status
        self.setting = setting
        self.selector = selector
        super().__init__(_status_text(status))

    def __str__(self):
        return self.args[0]

    def __reduce__(self):
        return (Error, (int(self.status), self.setting, self.selector))


def _installed_candidates(package_dir):
    """Where an installed tree keeps the library, best first."""
    # <prefix>/lib/python3/dist-packages/trassojkn
    prefix = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(package_dir))))
    folders = []
    multiarch = sysconfig.get_config_var("MULTIARCH")
    if multiarch:
        folders.append(os.path.join(prefix, "lib", multiarch))
    folders += [os.path.join(prefix, "lib"), os.path.join(prefix, "lib64")]
    return [os.path.join(folder, _SONAME) for folder in folders]


def _find_library():
    named = os.environ.get("TRASSOJKN_LIBRARY")
    if named:
        return named
    here = os.path.dirname(os.path.abspath(__file__))
    candidates = _installed_candidates(here)
    for candidate in candidates:
        if os.path.isfile(candidate):
            return candidate
    raise ImportError(
        "trassojkn: %s not found in %s; set TRASSOJKN_LIBRARY to the library's path"
        % (_SONAME, ", ".join(os.path.dirname(c) for c in candidates)))


def _load(path):
    try:
        lib = ctypes.CDLL(path)
    except OSError as e:
        raise ImportError("trassojkn: cannot load %s: %s" % (path, e)) from e
    c_text = ctypes.c_char_p
    lib.jkn_status_text.argtypes = [ctypes.c_int]
    lib.jkn_status_text.restype = c_text
    lib.jkn_setting_count.argtypes = []
    lib.jkn_setting_count.restype = ctypes.c_size_t
    lib.jkn_setting_name.argtypes = [ctypes.c_size_t]
    lib.jkn_setting_name.restype = c_text
    # The buffer is written to: a plain pointer into a string buffer.
    lib.jkn_get.argtypes = [c_text, c_text, ctypes.c_void_p, ctypes.c_size_t,
                            ctypes.POINTER(ctypes.c_size_t)]
    lib.jkn_get.restype = ctypes.c_int
    lib.jkn_set.argtypes = [c_text, c_text, c_text]
    lib.jkn_set.restype = ctypes.c_int
    lib.jkn_reset.argtypes = [c_text, c_text]
    lib.jkn_reset.restype = ctypes.c_int
    return lib


library_path = _find_library()
_lib = _load(library_path)


def _status_text(status):
    return _lib.jkn_status_text(int(status)).decode("ascii", "replace")


def _argument(text, what, encode):
    """text as the bytes a C string argument holds; None stays None."""
    if text is None:
        return None
    if isinstance(text, (bytes, bytearray)):
        data = bytes(text)
    elif isinstance(text, str):
        data = encode(text)
    else:
        raise TypeError("trassojkn: %s must be str or bytes, not %s" % (what, type(text).__name__))
    # A C string would end at the NUL and the rest would be lost unseen.
    if b"\0" in data:
        raise ValueError("trassojkn: %s holds a NUL byte" % what)
    return data


def _name(name):
    if name is None:
        raise TypeError("trassojkn: the setting's name must be str or bytes, not None")
    return _argument(name, "the setting's name", lambda s: s.encode("utf-8"))


def _selector(selector):
    # Modes, sides and numbers are ASCII; a profile selector is a path, so a
    # str is encoded the way the system names files.
    return _argument(selector, "the selector", os.fsencode)


def _value(value):
    if value is None:
        raise TypeError("trassojkn: the value must be str or bytes, not None")
    # A str the code page cannot hold raises UnicodeEncodeError: nothing is
    # written then. Escaped bytes from get() go back as they were.
    return _argument(value, "the value", lambda s: s.encode("cp932", "surrogateescape"))


def _check(status, name, selector):
    if status != Status.OK:
        raise Error(status, name, selector)


def get(name, selector=None, *, raw=False):
    """The setting's value as its getter returns it, as text.

    name      the setting's name (see names())
    selector  None or "" for none; a mode "plain"/"svy" (or "0"/"1"), a side
              "R"/"S", an entry or item number, or a profile's path
    raw       True: the value's bytes; False (default): those bytes decoded as
              cp932, bytes the code page does not define as "surrogateescape"
              characters (see the module's note on characters with two codes)

    A getter never creates or changes a file. Raises Error (UNKNOWN_SETTING,
    BAD_SELECTOR, ...) when the library refuses.
    """
    c_name, c_selector = _name(name), _selector(selector)
    length = ctypes.c_size_t(0)
    capacity = _FIRST_CAPACITY
    while True:
        buffer = ctypes.create_string_buffer(capacity)
        status = _lib.jkn_get(c_name, c_selector, buffer, capacity, ctypes.byref(length))
        _check(status, name, selector)
        if length.value < capacity:
            break
        # Cut: read again with room for the whole value and its NUL. The
        # value may have changed in between, so the loop checks again.
        capacity = length.value + 1
    data = buffer.raw[:length.value]
    return data if raw else data.decode("cp932", "surrogateescape")


def set(name, *args):
    """Stores a value through the setting's setter.

    set(name, value)            for a setting without a selector (or to use a
                                mode or side setting's first key, as the
                                library does for no selector)
    set(name, selector, value)  selector as for get(); None or "" for none

    The value is bytes, stored as they are, or a str, encoded as cp932 with
    the "surrogateescape" handler, so that bytes get() escaped go back as they
    were; a character the code page cannot hold raises UnicodeEncodeError and
    nothing is written. A NUL byte raises ValueError. Each setting takes its
    own values (see `jkn reference`): decimal numbers in range, colours as
    "red,green,blue", texts up to the setting's length without line breaks.

    Raises Error when the library refuses: REFUSED for a value with a line
    break, OUT_OF_RANGE for a number outside a validating setter's range,
    BAD_VALUE for any other value the setting does not take, NOT_SETTABLE for
    a read-only setting, READ_ONLY, FOLDER_MISSING, ... when the file cannot
    be written.
    """
    if len(args) == 1:
        selector, value = None, args[0]
    elif len(args) == 2:
        selector, value = args
    else:
        raise TypeError("trassojkn.set() takes (name, value) or (name, selector, value); "
                        "got %d arguments" % (1 + len(args)))
    c_name, c_selector, c_value = _name(name), _selector(selector), _value(value)
    _check(_lib.jkn_set(c_name, c_selector, c_value), name, selector)


def reset(name, selector=None):
    """Removes the setting's stored key, so that get() gives its default again.

    A file that does not exist is not created. Raises Error as set() does.
    """
    c_name, c_selector = _name(name), _selector(selector)
    _check(_lib.jkn_reset(c_name, c_selector), name, selector)


def names():
    """The names of all settings, in the library's order."""
    count = _lib.jkn_setting_count()
    return [_lib.jkn_setting_name(i).decode("ascii") for i in range(count)]
