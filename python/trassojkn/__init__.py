"""Settings of the field surveying application by name, over the TrassoJkn library.

    import trassojkn
    trassojkn.get("GNSS_MaskElev", "svy")              # 15 (an int)
    trassojkn.set("GNSS_MaskElev", 20, selector="svy")
    trassojkn.set("GNSS_UserID", "テスト")              # stored in code page 932
    trassojkn.set("GNSS_ImuObs", True)
    trassojkn.reset("GNSS_MaskElev", selector="svy")   # back to the default
    trassojkn.describe("GNSS_MaskElev")["default"]     # 15
    try:
        trassojkn.set("GNSS_MaskSate", 70000)
    except ValueError as e:                             # a trassojkn.ValueRefusedError
        print(e)    # GNSS_MaskSate takes an integer from 0 to 65535; got '70000'; ...

Values have the Python type of the setting's kind: int for integers, bool for
flags, float for numbers, str for texts (stored as code page 932: bytes the
code page does not define travel as "surrogateescape" characters; raw=True
gives and bytes set the stored bytes themselves) and for colours ("R,G,B",
also taken as "#rrggbb" or a tuple (r, g, b)). A selector chooses among a
setting's keys: a mode "plain"/"svy", a side "R"/"S", an entry or item number
(an int will do), a record's field, a profile's path; describe(name)["selector"]
lists the forms.

A value is written only when the application reads it back as given: one with
blanks at either end, in quotes or longer than the setting reads is refused
(ValueRefusedError), as jkn and the C interface refuse it. Every refusal and
failure raises a subclass of trassojkn.Error that is also the builtin
exception a Python program catches: KeyError for an unknown setting,
ValueError for a bad value or selector, FileNotFoundError for a missing
folder, PermissionError for a read-only file or setting or denied access,
OSError for the other file system failures, TypeError for misuse. Its str()
is the library's message: what was asked, why not and what to do.

trassojkn.watch(*names) gives each change of the settings named as any
writer makes it (this library in any process, jkn, an editor):

    with trassojkn.watch("GNSS_MaskElev", "GNSS_Page") as w:
        change = w.next(timeout=5)      # a Change, or None after 5 s
        # Change(name='GNSS_MaskElev', selector='svy', old=15, new=20,
        #        file='/.../inf/jkn-gnss.ini')
        for change in w: ...            # each change as it comes
    # w.fileno() is readable when a change may be waiting (select, asyncio)

The settings files lie below the roots named by KORVEL_APPDATA_0 and
KORVEL_APPDATA_1, which the library reads on every call, so changing
os.environ takes effect at once. library_path says which library was loaded
(see trassojkn._library for where it is looked for).
"""

import ctypes
import enum
import json
import math
import os
import threading
import time
import warnings
from typing import Any, Dict, Iterable, Iterator, List, NamedTuple, Optional, Sequence, Union

from . import _library
from ._version import __version__

__all__ = [
    "get", "set", "reset", "describe", "names", "watch", "Watch", "Change",
    "Error", "UnknownSettingError", "SelectorError", "ValueRefusedError", "FolderMissingError",
    "NotWritableError", "StorageError", "MisuseError", "Status",
    "library_path", "__version__",
]

Value = Union[bool, int, float, str, bytes]
Selector = Union[str, bytes, int, os.PathLike, None]

# jkn_get's first try; longer values are read again at their full length.
_FIRST_CAPACITY = 256

_lib, library_path = _library.load()
_library.declare(_lib)
if _lib.jkn_version().decode("ascii") != __version__:
    warnings.warn("trassojkn %s loaded the library of version %s (%s)"
                  % (__version__, _lib.jkn_version().decode("ascii"), library_path))


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
    MISUSE = 16
    READS_BACK_ALTERED = 17
    TEMP_BLOCKED = 18
    TIMEOUT = 19


class Error(Exception):
    """A call the library did not carry out.

    status    the library's status (a Status where the number is known)
    setting   the setting's name the call was given
    selector  the selector the call was given (None for none)
    message   the library's message (jkn_last_error), also str() of the error
    """

    def __init__(self, status: int, message: str, setting: Optional[str] = None,
                 selector: Selector = None) -> None:
        try:
            status = Status(status)
        except ValueError:
            pass
        self.status = status
        self.setting = setting
        self.selector = selector
        self.message = message
        super().__init__(message)

    def __str__(self) -> str:
        return self.message

    def __reduce__(self):
        return (type(self), (int(self.status), self.message, self.setting, self.selector))


class UnknownSettingError(Error, KeyError):
    """No setting has that name (names() lists them)."""


class SelectorError(Error, ValueError):
    """The selector names none of the setting's keys."""


class ValueRefusedError(Error, ValueError):
    """The setting does not take the value (its kind, width or range, a line
    break, or it would read back otherwise); nothing was written."""


class FolderMissingError(Error, FileNotFoundError):
    """The settings file's folder does not exist; it is never created."""


class NotWritableError(Error, PermissionError):
    """The file is read-only, access is denied, or the setting has no setter."""


class StorageError(Error, OSError):
    """Something else stands in the file's way: a file in the folder's path, a
    folder or device in the file's place, a full disk, another program holding
    the file, an I/O error."""


class MisuseError(Error, TypeError):
    """The call itself was wrong (the library found a NULL or a number naming
    nothing); the module raises TypeError itself for arguments of a wrong type."""


_ERRORS = {
    Status.UNKNOWN_SETTING: UnknownSettingError,
    Status.BAD_SELECTOR: SelectorError,
    Status.BAD_VALUE: ValueRefusedError,
    Status.OUT_OF_RANGE: ValueRefusedError,
    Status.REFUSED: ValueRefusedError,
    Status.FOLDER_MISSING: FolderMissingError,
    Status.READ_ONLY: NotWritableError,
    Status.ACCESS_DENIED: NotWritableError,
    Status.NOT_SETTABLE: NotWritableError,
    Status.MISUSE: MisuseError,
}


def _text_of(function, *arguments) -> bytes:
    """The text a snprintf-like function of the library gives, whole."""
    capacity = _FIRST_CAPACITY
    while True:
        buffer = ctypes.create_string_buffer(capacity)
        length = function(*arguments, buffer, capacity)
        if length < capacity:
            return buffer.raw[:length]
        capacity = length + 1


def _check(status: int, name: Any, selector: Selector) -> None:
    if status == Status.OK:
        return
    message = _text_of(_lib.jkn_last_error).decode("utf-8", "replace")
    raise _ERRORS.get(status, StorageError)(status, message, name, selector)


def _argument(text: Any, what: str, encode) -> Optional[bytes]:
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


def _name(name: Any) -> bytes:
    if not isinstance(name, (str, bytes)):
        raise TypeError("trassojkn: the setting's name must be str, not %s" % type(name).__name__)
    return _argument(name, "the setting's name", lambda s: s.encode("utf-8"))


def _selector(selector: Selector) -> Optional[bytes]:
    # Numbers as their decimal text; a profile selector is a path, so a str is
    # encoded the way the system names files.
    if isinstance(selector, bool):
        raise TypeError("trassojkn: a selector is no bool")
    if isinstance(selector, int):
        selector = str(selector)
    if isinstance(selector, os.PathLike):
        selector = os.fspath(selector)
    return _argument(selector, "the selector", os.fsencode)


def _hex_to_bytes(value: Any) -> Any:
    """describe()'s {"hex": ...} texts as bytes, everywhere in a value."""
    if isinstance(value, dict):
        if list(value) == ["hex"]:
            return bytes.fromhex(value["hex"])
        return {k: _hex_to_bytes(v) for k, v in value.items()}
    if isinstance(value, list):
        return [_hex_to_bytes(v) for v in value]
    return value


_descriptions: Dict[str, Dict[str, Any]] = {}


def describe(name: str) -> Dict[str, Any]:
    """Everything the library knows of a setting, as a dict (jkn_describe):
    name, area, getter, setter, kind ("integer", "flag", "text", "number",
    "colour" or "record"), type, default (typed), range, validated, accepts,
    selector (its kind, forms, default and text), file, root, path, section,
    keys, fields (of a record), writes_also, same_key_as, description. Texts
    that are no code page 932 text are bytes. Raises UnknownSettingError."""
    c_name = _name(name)
    length = ctypes.c_size_t(0)
    _check(_lib.jkn_describe(c_name, None, 0, ctypes.byref(length)), name, None)
    buffer = ctypes.create_string_buffer(length.value + 1)
    _check(_lib.jkn_describe(c_name, buffer, length.value + 1, None), name, None)
    return _hex_to_bytes(json.loads(buffer.raw[:length.value].decode("utf-8")))


def _described(name: str) -> Dict[str, Any]:
    key = name.lower() if isinstance(name, str) else name
    if key not in _descriptions:
        _descriptions[key] = describe(name)
    return _descriptions[key]


def _kind(name: str, selector: Selector) -> str:
    """The kind of the value a name and selector choose (a record's field's own)."""
    d = _described(name)
    if d["kind"] != "record":
        return d["kind"]
    field = os.fsdecode(_selector(selector) or b"").split(":", 1)[0]
    if field[:2].lower() in ("r.", "s."):
        field = field[2:]
    for number, f in enumerate(d["fields"]):
        if field.lower() in (f["name"].lower(), str(number)):
            return f["kind"]
    return "text"  # no such field: the library says so


def get(name: str, selector: Selector = None, *, raw: bool = False) -> Union[Value, None]:
    """The setting's value as its getter returns it, in its kind's type.

    name      the setting's name (see names()); any case
    selector  None for none (or the first mode, side or the standard profile),
              else one of describe(name)["selector"]["forms"]
    raw       True: the value's text as the library gives it, as bytes (for a
              text the stored bytes)

    None where the application gives the default and none is stored of the
    setting's own. A getter never creates or changes a file. Raises
    UnknownSettingError (a KeyError) or SelectorError (a ValueError).
    """
    c_name, c_selector = _name(name), _selector(selector)
    length = ctypes.c_size_t(0)
    capacity = _FIRST_CAPACITY
    while True:
        buffer = ctypes.create_string_buffer(capacity)
        _check(_lib.jkn_get(c_name, c_selector, buffer, capacity, ctypes.byref(length)),
               name, selector)
        if length.value < capacity:
            break
        # Cut: read again with room for the whole value and its NUL. The
        # value may have changed in between, so the loop checks again.
        capacity = length.value + 1
    data = buffer.raw[:length.value]
    return data if raw else _typed(_kind(name, selector), data)


def _typed(kind: str, data: bytes) -> Union[Value, None]:
    """A value's text as the library gives it, in its kind's type."""
    if kind == "text":
        return data.decode("cp932", "surrogateescape")
    if not data:
        return None
    if kind == "number":
        return float(data)
    if kind == "colour":
        return data.decode("ascii")
    number = int(data)
    return bool(number) if kind == "flag" and number in (0, 1) else number


def _value_text(name: str, selector: Selector, value: Any) -> bytes:
    """value as the text jkn_set takes, checked against the kind's types."""
    kind = _kind(name, selector)
    wrong = TypeError("trassojkn: %s takes %s, not %s (%r)" % (
        name, {"integer": "an int", "flag": "a bool (or 0 or 1)", "number": "a float or an int",
               "text": "a str or bytes", "colour": "a str 'R,G,B' or '#rrggbb' or (r, g, b)"}
        .get(kind, "a value"), type(value).__name__, value))
    if value is None:
        raise TypeError("trassojkn: set() needs a value; reset() removes one")
    if kind == "flag" and isinstance(value, int):
        return b"1" if value is True else b"0" if value is False else str(value).encode()
    if kind == "integer" and isinstance(value, int) and not isinstance(value, bool):
        return str(value).encode()
    if kind == "number" and isinstance(value, (int, float)) and not isinstance(value, bool):
        return repr(float(value)).encode()
    if kind == "colour":
        if isinstance(value, tuple) and len(value) == 3:
            value = "%d,%d,%d" % value
        if isinstance(value, str):
            return value.encode("ascii", "strict")
    if kind == "text" and isinstance(value, (str, bytes, bytearray)):
        # A str the code page cannot hold raises UnicodeEncodeError (a
        # ValueError): nothing is written then. Escaped bytes from get() go
        # back as they were.
        return _argument(value, "the value", lambda s: s.encode("cp932", "surrogateescape"))
    raise wrong


def set(name: str, value: Value, *, selector: Selector = None) -> None:
    """Stores value through the setting's setter (the value always comes
    second, the selector only by its name).

    The value has its kind's type (see the module's note); a text is stored in
    code page 932, bytes as they are. Raises ValueRefusedError (a ValueError)
    for a value the setting does not take or that the application would read
    back otherwise (nothing is written), NotWritableError (a PermissionError)
    for a read-only setting or file, FolderMissingError (a FileNotFoundError)
    when the folder is missing, StorageError (an OSError) for other failures,
    UnknownSettingError, SelectorError, and TypeError for a value of another type.
    """
    c_name, c_selector = _name(name), _selector(selector)
    text = _value_text(name, selector, value)
    if b"\0" in text:
        raise ValueError("trassojkn: the value holds a NUL byte")
    _check(_lib.jkn_set(c_name, c_selector, text), name, selector)


def reset(name: str, *, selector: Selector = None) -> None:
    """Removes the setting's stored key, so that get() gives its default again.

    A file that does not exist is not created. Raises as set() does.
    """
    c_name, c_selector = _name(name), _selector(selector)
    _check(_lib.jkn_reset(c_name, c_selector), name, selector)


def names() -> List[str]:
    """The names of all settings, in the library's order."""
    count = _lib.jkn_setting_count()
    return [_lib.jkn_setting_name(i).decode("ascii") for i in range(count)]


class Change(NamedTuple):
    """One change a watch saw: the setting's name, its selector (None for a
    setting without one), its old and new values (typed as get() gives them)
    and the path of the file that holds it (bytes where the path is no text of
    the system's encoding)."""

    name: str
    selector: Union[str, bytes, None]
    old: Union[Value, None]
    new: Union[Value, None]
    file: Union[str, bytes]


# The longest single wait of the library (int32 milliseconds); longer waits
# and waits without limit are made of such waits, which also lets Ctrl-C in
# between them.
_LONGEST_WAIT = 1.0


class Watch:
    """A watch of settings (see watch()): changes queue in the library until
    next() takes them. The calls on one watch are serialised; close() waits
    for a next() of another thread to end its current wait."""

    def __init__(self, names: Sequence[str]) -> None:
        c_names = [_name(n) for n in names]
        handle = ctypes.c_void_p()
        array = (ctypes.c_char_p * len(c_names))(*c_names)
        _check(_lib.jkn_watch_open(array, len(c_names), ctypes.byref(handle)), None, None)
        self._handle: Optional[int] = handle.value
        self._lock = threading.Lock()
        self._capacity = _FIRST_CAPACITY

    def _open_handle(self) -> int:
        if self._handle is None:
            raise ValueError("trassojkn: the watch is closed")
        return self._handle

    def add_file(self, path: Union[str, bytes, os.PathLike]) -> None:
        """Watches also the settings that take a profile's path in the
        profile at path (their selector is that path). Raises MisuseError
        when no watched setting takes one."""
        c_path = _selector(path)
        with self._lock:
            _check(_lib.jkn_watch_add_file(self._open_handle(), c_path), None, path)

    def next(self, timeout: Optional[float] = None) -> Optional[Change]:
        """The next change, waiting up to timeout seconds for one (None: no
        limit, 0: no wait); None when none came in time."""
        if timeout is not None and not timeout >= 0:
            raise ValueError("trassojkn: the timeout must be a number of seconds >= 0 or None")
        deadline = None if timeout is None else time.monotonic() + timeout
        while True:
            left = _LONGEST_WAIT if deadline is None else max(0.0, deadline - time.monotonic())
            text = self._next_text(int(math.ceil(min(left, _LONGEST_WAIT) * 1000)))
            if text is not None:
                return self._change(text)
            if deadline is not None and time.monotonic() >= deadline:
                return None

    def _next_text(self, timeout_ms: int) -> Optional[bytes]:
        length = ctypes.c_size_t(0)
        with self._lock:
            while True:
                buffer = ctypes.create_string_buffer(self._capacity)
                status = _lib.jkn_watch_next(self._open_handle(), timeout_ms, buffer,
                                             self._capacity, ctypes.byref(length))
                if status == Status.TIMEOUT:
                    return None
                _check(status, None, None)
                if length.value < self._capacity:
                    return buffer.raw[:length.value]
                # Too long: the change stays queued; take it with room for it.
                self._capacity, timeout_ms = length.value + 1, 0

    @staticmethod
    def _change(text: bytes) -> Change:
        c = json.loads(text.decode("utf-8"))
        selector = _hex_to_bytes(c["selector"])
        kind = _kind(c["name"], selector)

        def value(v: Any) -> Union[Value, None]:
            if v is None:
                return _typed(kind, b"")
            if isinstance(v, dict):
                return _typed(kind, bytes.fromhex(v["hex"]))
            return v if kind == "text" else _typed(kind, str(v).encode("utf-8"))

        return Change(c["name"], selector, value(c["old"]), value(c["new"]),
                      _hex_to_bytes(c["file"]))

    def fileno(self) -> int:
        """A descriptor that is readable when a change may be waiting (for
        select, selectors or asyncio's add_reader; on Windows a HANDLE to wait
        on); then call next(0) until it gives None. It belongs to the watch."""
        with self._lock:
            return int(_lib.jkn_watch_descriptor(self._open_handle()))

    def close(self) -> None:
        """Stops the watch; the changes not taken are dropped. Closing twice does nothing."""
        with self._lock:
            if self._handle is not None:
                _lib.jkn_watch_close(self._handle)
                self._handle = None

    @property
    def closed(self) -> bool:
        return self._handle is None

    def __enter__(self) -> "Watch":
        return self

    def __exit__(self, *exc: Any) -> None:
        self.close()

    def __iter__(self) -> Iterator[Change]:
        """Each change as it comes, without end."""
        while True:
            change = self.next()
            if change is not None:
                yield change

    def __del__(self) -> None:
        # A watch never closed; at the interpreter's exit the module may be gone.
        if getattr(self, "_handle", None) is not None and _lib is not None:
            _lib.jkn_watch_close(self._handle)


def watch(*names: str, files: Iterable[Union[str, bytes, os.PathLike]] = ()) -> Watch:
    """A watch of the settings named (none: every setting), from their values
    now: w.next(timeout) gives each Change that any writer (this library in
    any process, jkn, an editor) makes to a value as get() reads it. files are
    profiles to watch too (see Watch.add_file). Use it in a with statement,
    or close() it. Raises UnknownSettingError for an unknown name and
    StorageError when the system gives no more watches."""
    w = Watch(names)
    try:
        for path in files:
            w.add_file(path)
    except BaseException:
        w.close()
        raise
    return w
