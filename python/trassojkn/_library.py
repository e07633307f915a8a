"""Finds and loads the TrassoJkn library and declares the C functions used.

Where the library is looked for, in order:

1. the file TRASSOJKN_LIBRARY names, when that is set;
2. beside this package: a copy in the package's own folder, or the library of
   the installed tree the package is part of (<prefix>/lib/python3/
   dist-packages/trassojkn, the library in <prefix>/lib/<multiarch>,
   <prefix>/lib or <prefix>/lib64);
3. the system's loader: the library's own name (LD_LIBRARY_PATH, the loader's
   cache; PATH on Windows), then ctypes.util.find_library.
"""

import ctypes
import ctypes.util
import os
import sys
import sysconfig

from ._version import __version__

_MAJOR = __version__.split(".")[0]
if sys.platform == "win32":
    FILE_NAME = "TrassoJkn.dll"
elif sys.platform == "darwin":
    FILE_NAME = "libTrassoJkn.%s.dylib" % _MAJOR
else:
    FILE_NAME = "libTrassoJkn.so.%s" % _MAJOR


def _beside(package_dir):
    """Where a library beside the package would lie, best first."""
    # <prefix>/lib/python3/dist-packages/trassojkn
    prefix = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(package_dir))))
    folders = [package_dir]
    multiarch = sysconfig.get_config_var("MULTIARCH")
    if multiarch:
        folders.append(os.path.join(prefix, "lib", multiarch))
    folders += [os.path.join(prefix, "lib"), os.path.join(prefix, "lib64"),
                os.path.join(prefix, "bin")]
    return [os.path.join(folder, FILE_NAME) for folder in folders]


def _open(path):
    try:
        return ctypes.CDLL(path)
    except OSError as e:
        raise ImportError("trassojkn: cannot load %s: %s" % (path, e)) from e


def _loaded_from(lib, name):
    """The file the system's loader loaded for name (dladdr; on Windows the
    module's file name), or name when it cannot say."""
    try:
        if sys.platform == "win32":
            path = ctypes.create_unicode_buffer(32768)
            if ctypes.windll.kernel32.GetModuleFileNameW(ctypes.c_void_p(lib._handle), path,
                                                         len(path)):
                return path.value
            return name

        class DlInfo(ctypes.Structure):
            _fields_ = [("dli_fname", ctypes.c_char_p), ("dli_fbase", ctypes.c_void_p),
                        ("dli_sname", ctypes.c_char_p), ("dli_saddr", ctypes.c_void_p)]

        dladdr = ctypes.CDLL(None).dladdr
        dladdr.argtypes = [ctypes.c_void_p, ctypes.POINTER(DlInfo)]
        info = DlInfo()
        address = ctypes.cast(lib.jkn_version, ctypes.c_void_p)
        if dladdr(address, ctypes.byref(info)) and info.dli_fname:
            return os.fsdecode(info.dli_fname)
    except (AttributeError, OSError):
        pass
    return name


def load():
    """The library and the path it was loaded from."""
    named = os.environ.get("TRASSOJKN_LIBRARY")
    if named:
        return _open(named), named
    here = os.path.dirname(os.path.abspath(__file__))
    candidates = _beside(here)
    for candidate in candidates:
        if os.path.isfile(candidate):
            return _open(candidate), candidate
    tried = []
    for name in (FILE_NAME, ctypes.util.find_library("TrassoJkn")):
        if not name:
            continue
        try:
            lib = ctypes.CDLL(name)
            return lib, _loaded_from(lib, name)
        except OSError as e:
            tried.append("%s (%s)" % (name, e))
    raise ImportError(
        "trassojkn: %s not found beside the package (%s) nor by the system's loader (%s); "
        "set TRASSOJKN_LIBRARY to the library's path, or add its folder to %s"
        % (FILE_NAME, ", ".join(os.path.dirname(c) for c in candidates),
           "; ".join(tried) or "not found",
           "PATH" if sys.platform == "win32" else "LD_LIBRARY_PATH"))


def declare(lib):
    """Declares the argument and result types of the functions the module calls."""
    text, size, status = ctypes.c_char_p, ctypes.c_size_t, ctypes.c_int
    buffer, length = ctypes.c_void_p, ctypes.POINTER(ctypes.c_size_t)
    signatures = {
        "jkn_status_text": ([ctypes.c_int], text),
        "jkn_last_error": ([buffer, size], size),
        "jkn_version": ([], text),
        "jkn_setting_count": ([], size),
        "jkn_setting_name": ([size], text),
        "jkn_get": ([text, text, buffer, size, length], status),
        "jkn_set": ([text, text, text], status),
        "jkn_reset": ([text, text], status),
        "jkn_describe": ([text, buffer, size, length], status),
        "jkn_watch_open": ([ctypes.POINTER(text), size, ctypes.POINTER(ctypes.c_void_p)], status),
        "jkn_watch_add_file": ([ctypes.c_void_p, text], status),
        "jkn_watch_next": ([ctypes.c_void_p, ctypes.c_int32, buffer, size, length], status),
        "jkn_watch_descriptor": ([ctypes.c_void_p], ctypes.c_ssize_t),
        "jkn_watch_close": ([ctypes.c_void_p], None),
    }
    for name, (arguments, result) in signatures.items():
        function = getattr(lib, name)
        function.argtypes = arguments
        function.restype = result
    return lib
