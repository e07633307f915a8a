#!/usr/bin/env python3
"""Makes the interface files from the per-area tables of exported functions.

Each area's table (<area>/<Name>.api, found by this script; "[order N]" places
it among the others) lists its exported functions as C++ declarations and
declares the settings behind them. From them come:

  include/TrassoJknC.h  the C interface the library exports
  include/TrassoJkn.h   the C++ interface: inline functions over the C one
  generated/CInterface.cpp
                        the C functions, over the internal functions
  generated/Api.h       the internal functions (namespace trasso::api)
  generated/Descriptions.inc
                        the comments of each setting's functions, for
                        jkn_describe
  generated/Parts.def   the areas and their parts, one X-macro list for CMake,
                        the registry and the store's facts
  generated/<area>/<Part>.settings.inc
                        the settings <area>/<Part>.cpp declares and their
                        getters and setters that are one call of get or put
  generated/<area>/<Part>.entries.inc
                        the registry entries of one source file, included by it
  python/trassojkn/_version.py
                        the version (CMakeLists.txt's project version), which
                        the C header's macros carry too

"[part Part FILE SECTION]" starts a source file's run of rows (FILE and SECTION,
quoted, are where its settings lie unless they say otherwise; "other-keys" when
it also names keys outside the registry). "[setting NAME = DECLARATION]"
declares a setting that no row of its own exports (a record's field).
"[entry NAME options = DECLARATION]" before a getter makes it and its setter
an entry; DECLARATION (see Declaration) declares NAME, and the row's comment
starts with its key and default. Options: "read-only", "ranged", "numbered",
"file-id N", "screen-colour", "caller-default", "by-mode" (declaration: a
function of the mode), "record" (declaration: a record type, see recordEntry);
"also-writes TEXT" and "same-key NAME" add what describe says; "by-hand" keeps
the functions' bodies in the source file.

Each declaration of the C header carries its own comment: the row's comment
(a setter without one takes its getter's), where the registry has the setting
its file, section, key, kind, default and range as docs/settings.md gives them
(made by `jkn reference` from the registry), and what the C function returns.

The outputs are checked in, formatted by clang-format. `generate.py --check`
fails when one is stale.
"""

import pathlib
import re
import shutil
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
PUBLIC = "include"  # the public headers, installed as they are
GENERATED = "generated"  # everything else the generator makes


def tables():
    """The areas' tables (<area>/*.api), in the order their "[order N]" lines give."""
    found = []
    for path in sorted(ROOT.glob("*/*.api")):
        m = re.search(r"^\[order (\d+)\]$", path.read_text(), re.M)
        if not m:
            raise ValueError(f"{path.relative_to(ROOT)}: no '[order N]' line")
        found.append((int(m.group(1)), path.relative_to(ROOT).as_posix()))
    orders = [o for o, _ in found]
    if len(set(orders)) != len(orders):
        raise ValueError("two tables with one '[order N]': " + ", ".join(t for _, t in found))
    return [t for _, t in sorted(found)]

# C++ parameter type -> C parameter type. Scalars pass as they are; every other
# type goes through trasso_c::Arg (C++ side) and trasso::c::Param (library side).
PARAMS = {
    "int": "int32_t",
    "int16_t": "int16_t",
    "uint8_t": "uint8_t",
    "uint16_t": "uint16_t",
    "uint32_t": "uint32_t",
    "bool": "bool",
    "double": "double",
    "const char*": "const char*",
    "int&": "int32_t*",
    "uint16_t&": "uint16_t*",
    "uint32_t&": "uint32_t*",
    "double&": "double*",
    "bool&": "bool*",
    "int*": "int32_t*",
    "uint32_t*": "uint32_t*",
    "double*": "double*",
    "std::string&": "JknText*",
    "RTK_CONNECT_PROP&": "JknRtkConnectProp*",
    "const RTK_CONNECT_PROP&": "const JknRtkConnectProp*",
    "QZ_AntennaRec&": "JknAntennaRec*",
    "CompanyRec*": "JknCompanyRec*",
    "NTripRec*": "JknNTripRec*",
    "AntennaCatalogue*": "JknAntennaList*",
}
# Records a writer must be given (never NULL).
RECORD_INPUTS = {"const RTK_CONNECT_PROP&"}
SCALARS = {"int", "int16_t", "uint8_t", "uint16_t", "uint32_t", "bool", "double", "const char*"}
RESULTS = {
    "void": "void",
    "int": "int32_t",
    "bool": "bool",
    "double": "double",
    "uint8_t": "uint8_t",
    "uint16_t": "uint16_t",
    "uint32_t": "uint32_t",
    "std::string": "size_t",
}
WRITER_PREFIXES = ("Put", "Set", "Clear", "Flush")


class Param:
    def __init__(self, text):
        m = re.fullmatch(r"(.+?)\s*\b(\w+)(?:\s*=\s*(.+))?", text.strip())
        if not m:
            raise ValueError(f"cannot read parameter '{text}'")
        self.type = re.sub(r"\s+([*&])", r"\1", m.group(1).strip())
        self.name = m.group(2)
        self.default = m.group(3)
        if self.type not in PARAMS:
            raise ValueError(f"no C form for parameter type '{self.type}'")
        self.ctype = PARAMS[self.type]
        self.scalar = self.type in SCALARS

    def cpp(self, with_default):
        d = f" = {self.default}" if with_default and self.default else ""
        return f"{self.type} {self.name}{d}"

    def c(self):
        return f"{self.ctype} {self.name}"


def settings_files():
    """The catalogue's file names and their SettingsFile names, from core/SettingsPaths.h."""
    text = (ROOT / "core" / "SettingsPaths.h").read_text()
    return {m.group(2): m.group(1) for m in re.finditer(r'(\w+) = \d+,\s*// "([^"]+)"', text)}


# Kind of a declaration -> its type, and the FlagRead it names, if any.
KINDS = {
    "int": ("IntSetting", None),
    "u8": ("U8Setting", None),
    "u16": ("U16Setting", None),
    "u32": ("U32Setting", None),
    "flag": ("FlagSetting", None),
    "flag-exactly-one": ("FlagSetting", "ExactlyOne"),
    "flag-stored": ("FlagSetting", "Stored"),
    "text": ("TextSetting", None),
    "double": ("DoubleSetting", None),
    "double-text": ("DoubleTextSetting", None),
    "colour": ("ColourSetting", None),
}
# Decimals a double writes unless the declaration says otherwise (Setting.h).
DEFAULT_DECIMALS = {"double": 6, "double-text": 3}
RANGED = {"int": "RangedInt", "double": "RangedDouble"}


class Declaration:
    """A setting declared by a table: "NAME = KIND [FILE] [SECTION/]KEY [mode|side]
    DEFAULT [buffer N] [decimals N] [range MIN MAX]". FILE and SECTION default to
    the part's; KEY and SECTION are quoted, FILE is a quoted ".ini" name."""

    def __init__(self, name, row, part_file, part_section, files, where):
        self.name = name
        words = re.findall(r'"[^"]*"(?:/"[^"]*")?|\S+', row)
        def fail(why):
            raise ValueError(f"{where}: {name}: {why} in '{row}'")
        if not words or words[0] not in KINDS:
            fail(f"a kind first ({', '.join(KINDS)})")
        self.kind = words.pop(0)
        self.file = part_file
        if words and words[0].endswith('.ini"'):
            self.file = words.pop(0).strip('"')
        if self.file not in files:
            fail(f"no settings file '{self.file}'")
        if not words or not words[0].startswith('"'):
            fail("a quoted key")
        location = words.pop(0)
        if "/" in location:
            section, key = location.split("/")
            self.section, self.key = section.strip('"'), key.strip('"')
        else:
            self.section, self.key = part_section, location.strip('"')
        if self.section is None:
            fail("a section (the part names none)")
        self.choice = None
        if words and words[0] in ("mode", "side"):
            self.choice = words.pop(0)
        if not words:
            fail("a default")
        self.default = words.pop(0)
        self.buffer = self.decimals = self.range = None
        while words:
            word = words.pop(0)
            count = 2 if word == "range" else 1
            if word not in ("buffer", "decimals", "range") or len(words) < count:
                fail(f"'{word}' unexpected")
            value = words[:count]
            del words[:count]
            setattr(self, word, value if word == "range" else value[0])
        if self.range and self.kind not in RANGED:
            fail("a range for a kind without one")
        if self.decimals and self.kind not in DEFAULT_DECIMALS:
            fail("decimals for a kind that writes none")
        self.enum = files[self.file]
        self.part_file, self.part_section = part_file, part_section

    def type(self):
        return RANGED[self.kind] if self.range else KINDS[self.kind][0]

    def cpp(self):
        choice = {"mode": ", KeyChoice::Mode", "side": ", KeyChoice::Side"}.get(self.choice, "")
        key = f'{{SettingsFile::{self.enum}, "{self.section}", "{self.key}"{choice}}}'
        args = [key, self.default]
        read = KINDS[self.kind][1]
        if read:
            args.append(f"FlagRead::{read}")
        if self.kind in DEFAULT_DECIMALS and (self.decimals or self.buffer):
            args.append(self.decimals or str(DEFAULT_DECIMALS[self.kind]))
        if self.buffer:
            args.append(self.buffer)
        init = "{" + ", ".join(args) + "}"
        if self.range:
            init = "{" + ", ".join([init] + self.range) + "}"
        return f"constexpr {self.type()} {self.name}{init};"

    def doc(self, as_bool, numbered=False):
        """The key and default as the header's comment gives them; a numbered
        key is the declared name followed by the number n."""
        key = f'"{self.key}<n>"' if numbered else f'"{self.key}"'
        if self.choice:
            key = f'"{self.key}[{"_Svy" if self.choice == "mode" else "R|S"}]"'
        if self.section != self.part_section:
            key = f'"{self.section}"/{key}'
        if self.file != self.part_file:
            key = f'"{self.file}" {key}'
        default = self.default
        if as_bool and self.kind.startswith("flag") and default in ("0", "1"):
            default = "true" if default == "1" else "false"
        text = f"{key}, {default}"
        if self.kind in DEFAULT_DECIMALS:
            text += f', "%.{self.decimals or DEFAULT_DECIMALS[self.kind]}f"'
        if self.buffer:
            text += f", {self.buffer}-byte buffer"
        if self.range:
            text += f" ({self.range[0]}-{self.range[1]})"
        return text


class Function:
    def __init__(self, text, comment, writes):
        m = re.fullmatch(r"(\S+(?:\s*[*&])?)\s+(\w+)\((.*)\)", text)
        if not m:
            raise ValueError(f"cannot read declaration '{text}'")
        self.result = m.group(1)
        self.name = m.group(2)
        self.params = [Param(p) for p in m.group(3).split(",")] if m.group(3).strip() else []
        self.comment = comment
        self.block = []  # the comment lines right above it, when it follows them
        self.run_block = []  # the last comment lines above it, up to a blank line
        self.group = []  # the heading of its group
        self.c_alias = None
        self.entry = None
        self.part = None
        self.decl = None  # the setting the row declares
        self.doc = ""  # what the comment says of that declaration
        if self.result not in RESULTS:
            raise ValueError(f"no C form for result type '{self.result}' of {self.name}")
        self.writes = self.result != "std::string" and (
            writes or self.name.startswith(WRITER_PREFIXES))

    # The C function: a writer that returns nothing returns the status; one with
    # a result of its own reports it through its last argument.
    def c_result(self):
        if self.writes and self.result == "void":
            return "JknStatus"
        return RESULTS[self.result]

    def c_params(self):
        ps = [p.c() for p in self.params]
        if self.result == "std::string":
            ps += ["char* buffer", "size_t capacity"]
        if self.writes and self.result != "void":
            ps.append("JknStatus* status")
        return ", ".join(ps) if ps else "void"

    def registry_entry(self):
        """The entry macro of the row's "[entry ...]" annotation."""
        words = self.entry.split()
        decl, opts = words[0], [w for w in words[1:] if w != "by-hand"]
        name = self.name[len("GetQZJkn_"):]
        flags, wrappers, listed = [], [], None
        i = 0
        while i < len(opts):
            if opts[i] in ("also-writes", "same-key", "file-id"):
                if i + 1 == len(opts):
                    raise ValueError(f"{self.name}: '{opts[i]}' needs a word after it")
                if opts[i] == "file-id":
                    flags.append("file-id")
                    listed = opts[i + 1]
                else:
                    wrappers.append((opts[i], opts[i + 1]))
                i += 2
            else:
                flags.append(opts[i])
                i += 1
        forms = {
            (): f"TRASSO_SETTING({name}, {decl})",
            ("read-only",): f"TRASSO_READ_ONLY({name}, {decl})",
            ("ranged",): f"TRASSO_RANGED({name}, {decl})",
            ("numbered",): f"TRASSO_NUMBERED({name}, {decl})",
            ("read-only", "numbered"): f"TRASSO_READ_ONLY_NUMBERED({name}, {decl})",
            ("file-id",): f"TRASSO_FILE_ID({name}, {decl}, {listed})",
            ("screen-colour",): f"TRASSO_SCREEN_COLOUR({name}, {decl})",
            ("caller-default",): f"TRASSO_CALLER_DEFAULT({name}, {decl})",
            ("read-only", "by-mode"): f"TRASSO_BY_MODE({name}, {decl})",
            ("record",): f"TRASSO_RECORD({name}, {decl})",
        }
        if tuple(flags) not in forms or (listed is not None and not listed.isdigit()):
            raise ValueError(f"{self.name}: unknown entry options '{' '.join(opts)}'")
        text = forms[tuple(flags)]
        for option, word in wrappers:
            if option == "also-writes":
                text = f"::trasso::alsoWrites({text}, {word})"
            else:
                text = f'::trasso::sameKeyAs({text}, "{word}")'
        return text

    def c_name(self):
        return "jkn_" + (self.c_alias or self.name)


# What a part's source file defines for the store beside its entries.
PART_OPTIONS = {
    "registry",  # registryOf<Part>() although no row of it is an entry
    "other-keys",  # otherKeysOf<Part>(): keys it reads that are no entry's
    "catalogue-section",  # catalogueSectionOf<Part>(): a section read by patterns
}


class Part:
    """A source file <area>/<name>.cpp of an area: its declared settings and its
    entries' getters, in the table's order."""

    def __init__(self, area, name):
        self.area, self.name = area, name
        self.options = set()
        self.file = self.section = None  # where its settings are unless they say otherwise
        self.settings = []
        self.entries = []

    def source(self):
        return f"{self.area.as_posix()}/{self.name}.cpp"


def read_table(path, parts):
    """Items of one table: ('group', lines), ('comment', line), ('blank',), ('fn', Function);
    its parts are added to parts."""
    items = []
    pending = None
    group = []
    part = None
    block = []  # comment lines since the last blank line or function
    heading = []  # the last group heading
    attached = False  # the last item read was a comment line
    files = settings_files()
    area = pathlib.Path(path).parent
    part_file = part_section = None
    for number, line in enumerate((ROOT / path).read_text().splitlines(), 1):
        where = f"{path}:{number}"
        directive = re.fullmatch(r'\[part (\w+)((?: "[^"]*")*)((?: [a-z-]+)*)\]', line.strip())
        if directive and pending is None:
            known = [p for p in parts if (p.area, p.name) == (area, directive.group(1))]
            part = known[0] if known else Part(area, directive.group(1))
            for option in directive.group(3).split():
                if option not in PART_OPTIONS:
                    raise ValueError(f"{where}: unknown part option '{option}'")
                part.options.add(option)
            if not known:
                parts.append(part)
            quoted = re.findall(r'"([^"]*)"', directive.group(2))
            if quoted:  # a part's file and section, given where it first appears
                part.file = quoted[0]
                part.section = quoted[1] if len(quoted) > 1 else None
            part_file, part_section = part.file, part.section
            continue
        if re.fullmatch(r"\[order \d+\]", line.strip()) and pending is None:
            continue
        setting = re.fullmatch(r"\[setting (\w+) = ([^\]]+)\]", line.strip())
        if setting and pending is None:
            if part is None:
                raise ValueError(f"{where}: a setting before the first [part ...]")
            part.settings.append(Declaration(setting.group(1), setting.group(2), part_file,
                                             part_section, files, where))
            continue
        if pending is not None:
            pending.append(line)
        elif line.startswith("## "):
            group.append(line[3:])
            heading = list(group)
            continue
        elif line.startswith("#"):
            continue
        elif not line.strip():
            if group:
                items.append(("group", group))
                group = []
            items.append(("blank",))
            block, attached = [], False
            continue
        elif line.lstrip().startswith("//"):
            items.append(("comment", line))
            if not attached:
                block = []
            block.append(line.strip()[2:].strip())
            attached = True
            continue
        else:
            pending = [line]
        joined = "\n".join(pending)
        code, sep, tail = joined.partition(";")
        if not sep:
            continue
        code = re.sub(r"//[^\n]*", "", code)
        writes = "[writes]" in code
        alias = re.search(r"\[as (\w+)\]", code)
        code = re.sub(r"\[[^\]]*\]", "", code)
        f = Function(" ".join(code.split()), tail.strip(), writes)
        if attached:
            f.block = block
        f.run_block = block
        f.group = heading
        attached = False
        if alias:
            f.c_alias = alias.group(1)
        entry = re.search(r"\[entry ([^\]]+)\]", "\n".join(pending))
        if entry:
            if part is None:
                raise ValueError(f"{path}: an entry before the first [part ...]")
            f.entry, _, row = entry.group(1).partition(" = ")
            f.part = part
            part.entries.append(f)
            if row:
                f.decl = Declaration(f.entry.split()[0], row, part_file, part_section, files,
                                     where)
                part.settings.append(f.decl)
                note = comment_text(f.comment)
                joint = "" if not note or note[0] in ";," else " "
                numbered = {"numbered", "caller-default"} & set(f.entry.split()[1:])
                f.doc = f.decl.doc(f.result == "bool", bool(numbered))
                f.comment = "// " + f.doc + joint + note
        items.append(("fn", f))
        pending = None
    if pending is not None:
        raise ValueError(f"{path}: declaration without ';'")
    if group:
        items.append(("group", group))
    # No blank lines at either end; none twice in a row.
    out = []
    for it in items:
        if it[0] == "blank" and (not out or out[-1][0] == "blank"):
            continue
        out.append(it)
    while out and out[-1][0] == "blank":
        out.pop()
    return out


def comment_text(comment):
    """The words of a row's trailing comment ("// ..." after the ';')."""
    return comment.strip()[2:].strip() if comment.strip().startswith("//") else comment.strip()


def getter_of(f, by_name):
    """The getter a setter pairs with (PutX or SetX with GetX), or None."""
    for prefix in ("Put", "Set"):
        if f.name.startswith(prefix):
            return by_name.get("Get" + f.name[len(prefix):])
    return None


def pair_up(fns):
    """A setter without a comment of its own takes its getter's, and the block
    above the getter when it has none."""
    by_name = {f.name: f for f in fns}
    for f in fns:
        g = getter_of(f, by_name)
        if g is None:
            continue
        if not f.comment:
            f.comment, f.doc = g.comment, g.doc
        if not f.block:
            f.block = g.block


def reference_rows():
    """docs/settings.md's rows by setting name: file, section, key, selector,
    kind, default, range."""
    rows = {}
    path = ROOT / "docs" / "settings.md"
    if not path.exists():
        return rows
    for line in path.read_text().splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split(" | ")]
        if len(cells) != 8 or cells[0] in ("name", "---") or cells[0].startswith("-"):
            continue
        rows.setdefault(cells[0], []).append(cells[1:])
    return rows


def facts(f, rows):
    """What the registry says of the setting of f, in words; "" for none."""
    name = f.name
    for prefix in ("GetQZJkn_", "PutQZJkn_"):
        if name.startswith(prefix):
            name = name[len(prefix):]
    if name not in rows or name == f.name:
        return ""
    found = rows[name]
    def key(r):
        file, section, key, _, _, _, _ = r
        return f"{file} [{section}] {key}".replace("*n*", "<n>")
    def value(r):
        _, _, _, _, kind, default, limits = r
        return f"{kind}; default {default}; {limits}"
    if len(found) == 1:
        r = found[0]
        selector = f" (selector: {r[3]})" if r[3] else ""
        return f"{key(r)}{selector}: {value(r)}."
    if len(found) > 8:
        files = sorted({r[0] for r in found})
        return (f"{len(found)} keys, one per selector ({', '.join(files)}); "
                f"{found[0][4]}; docs/settings.md lists each.")
    return "; ".join(f"{r[3]}: {key(r)}, {value(r)}" for r in found) + "."


def contract(f):
    """What the C function returns, in words."""
    if f.result == "std::string":
        return "Returns the text's full length (snprintf-like into buffer)."
    if f.writes and f.result == "void":
        return "Returns JKN_OK, JKN_READS_BACK_ALTERED or why nothing was written."
    if f.writes:
        return "*status (may be NULL): JKN_OK, JKN_READS_BACK_ALTERED or why not written."
    return ""


def c_comment(f, rows):
    """The declaration's own comment, wrapped to 100 columns."""
    own = comment_text(f.comment) if f.comment else ""
    known = facts(f, rows)
    if known and f.doc and own.startswith(f.doc):  # the registry's facts say it in full
        own = own[len(f.doc):].lstrip(" ;,")
    parts = [own, known, contract(f)]
    if not f.writes and f.result != "std::string" and not any(parts):
        parts.append("Reads; never fails.")
    for p in f.params:
        if p.type in RECORD_INPUTS and f.writes:
            parts.append(f"{p.name} may not be NULL (JKN_MISUSE).")
    if f.writes and {"item", "file", "which"} & {p.name for p in f.params}:
        parts.append("An item code, file id or key number that names nothing: JKN_MISUSE.")
    return comment_lines(" ".join(p.rstrip(".") + "." for p in parts if p).replace("..", "."))


def comment_lines(text):
    """text as a C comment, wrapped to 100 columns."""
    lines, line = [], "/*"
    for w in text.split():
        if len(line) + 1 + len(w) > 97:
            lines.append(line)
            line = " *"
        line += " " + w
    lines.append(line + " */")
    return lines


def all_items(parts):
    items = []
    for table in tables():
        if items:
            items.append(("blank",))
        items += read_table(table, parts)
    return items


# Entry options whose functions are more than one call of get or put.
OWN_BODIES = {"record", "caller-default", "screen-colour", "file-id", "by-mode", "by-hand"}


def wrapper_call(f, decl, value=None, numbered=False):
    """The get or put call of f's body: its first argument chooses the key (the
    entry number of a numbered setting) or names the file, its last is the value."""
    ps = f.params[:-1] if value else f.params
    setting = decl.name + (".setting" if decl.range and not value else "")
    if numbered:
        if len(ps) != 1 or ps[0].type != "int":
            raise ValueError(f"{f.name}: a numbered setting takes the entry number alone")
        if value is None:
            return f"getNumbered({setting}, {ps[0].name})"
        return f"putNumbered({setting}, {ps[0].name}, {value})"
    if not ps:
        where = ""
    elif len(ps) == 1 and ps[0].type == "int":
        where = f", {ps[0].name}"
    elif len(ps) == 1 and ps[0].type == "const char*":
        where = f"pathText({ps[0].name})"
    else:
        raise ValueError(f"{f.name}: no one-call body for these parameters; mark it by-hand")
    if value is None:
        if where.startswith("pathText"):
            return f"getIn({where}, {setting})"
        return f"get({setting}{where})"
    if decl.range:
        if not where.startswith("pathText"):
            raise ValueError(f"{f.name}: a range is checked on a caller-named file only")
        return f"putChecked({where}, {setting}, {value})"
    if where.startswith("pathText"):
        return f"putIn({where}, {setting}, {value})"
    return f"put({setting}, {value}{where})"


def wrappers(part, by_name):
    """The one-line getters and setters of a part's declared settings."""
    lines = []
    for g in part.entries:
        if g.decl is None or OWN_BODIES & set(g.entry.split()[1:]):
            continue
        pair = [g] + [s for s in (getter_setter(g, by_name),) if s is not None]
        for f in pair:
            value = f.params[-1].name if f is not g else None
            call = wrapper_call(f, g.decl, value, "numbered" in g.entry.split()[1:])
            if f.result == "bool" and value is None:
                body = f"return {call} != 0;"
            elif f.result == "bool":
                body = f"return succeeded({call});"
            elif f.result == "void":
                body = f"{call};"
            else:
                body = f"return {call};"
            params = ", ".join(p.cpp(False) for p in f.params)
            lines.append(f"{f.result} trasso::api::{f.name}({params}) noexcept {{ {body} }}")
    return lines


def getter_setter(g, by_name):
    """The setter of getter g (PutX or SetX for GetX), or None."""
    for prefix in ("Put", "Set"):
        s = by_name.get(prefix + g.name[len("Get"):])
        if s is not None:
            return s
    return None


def rule(title_lines):
    bar = "// " + "-" * 75
    return [bar] + ["// " + t for t in title_lines] + [bar]


def cpp_declaration(f, prefix, suffix, with_default=True):
    params = ", ".join(p.cpp(with_default) for p in f.params)
    return f"{prefix}{f.result} {f.name}({params}){suffix}"


def wrap(line, indent):
    """Breaks a declaration after a comma so that it fits in 100 columns."""
    if len(line) <= 100:
        return [line]
    cut = line.rfind(", ", 0, 100)
    if cut < 0:
        return [line]
    return [line[: cut + 1]] + wrap(" " * indent + line[cut + 2 :], indent)


def with_comment(f, text):
    if f.comment:
        return text + "  " + f.comment
    return text


def declarations(items, prefix, suffix, documented=True):
    """The declaration list of the C++ interface: with the groups and comments of
    the tables for readers, or the bare list."""
    lines = []
    for it in items:
        if not documented and it[0] != "fn":
            continue
        if it[0] == "group":
            lines += rule(it[1])
        elif it[0] == "comment":
            lines.append(it[1])
        elif it[0] == "blank":
            lines.append("")
        else:
            f = it[1]
            text = cpp_declaration(f, prefix, suffix + ";")
            indent = text.index("(") + 1
            parts = wrap(text, indent)
            if documented:
                parts[-1] = with_comment(f, parts[-1])
            lines += parts
    return lines


def c_declarations(items, rows):
    lines = []
    block = False  # the last line ends a comment of the table's
    for it in items:
        if it[0] == "comment":
            text = it[1].strip()[2:].strip()
            if block:
                lines[-1] = lines[-1][:-3]
                lines.append(" * " + text + " */")
            else:
                lines.append("/* " + text + " */")
            block = True
            continue
        block = False
        if it[0] == "group":
            lines += comment_lines(" ".join(it[1]))
        elif it[0] == "fn":
            f = it[1]
            lines += c_comment(f, rows)
            text = f"JKN_API {f.c_result()} {f.c_name()}({f.c_params()}) JKN_NOEXCEPT;"
            lines += wrap(text, text.index("(") + 1)
        elif it[0] == "blank" and lines and lines[-1] != "":
            lines.append("")
    return lines


def c_definition(f):
    args = []
    for p in f.params:
        args.append(p.name if p.scalar else f"trasso::c::Param<{p.type}>({p.name}).get()")
    call = f"trasso::api::{f.name}({', '.join(args)})"
    head = f"{f.c_result()} {f.c_name()}({f.c_params()}) JKN_NOEXCEPT {{"
    body = []
    # A writer names its call in its message: its name and its arguments.
    named = "".join(f", {p.name}" for p in f.params)
    if f.writes:
        for p in f.params:
            if p.type in RECORD_INPUTS:
                body.append(f'if (!{p.name}) return trasso::c::nullArgument("{f.name}", "{p.name}");')
    if f.result == "std::string":
        body.append(f"return trasso::c::copyOut({call}, buffer, capacity);")
    elif f.writes and f.result == "void":
        body.append(f'return trasso::c::statusOf("{f.name}", [&] {{ {call}; }}{named});')
    elif f.writes:
        body.append(f'return trasso::c::reporting(status, "{f.name}", [&] {{ return {call}; }}'
                    f'{named});')
    else:
        body.append(f"return {call};")
    lines = wrap(head, head.index("(") + 1)
    for b in body:
        lines += wrap("  " + b, 4)
    return lines + ["}"]


def inline_definition(f):
    head = cpp_declaration(f, "inline ", " noexcept {", with_default=False)
    lines = wrap(head, head.index("(") + 1)
    body = []
    args = []
    for p in f.params:
        if p.scalar:
            args.append(p.name)
        else:
            body.append(f"  ::trasso_c::Arg<{p.type}> {p.name}_({p.name});")
            args.append(f"{p.name}_.c()")
    held = [f"{p.name}_" for p in f.params if not p.scalar]
    if f.result == "std::string":
        inner = ", ".join(args + ["buffer_", "capacity_"])
        fn = f"[&](char* buffer_, size_t capacity_) {{ return {f.c_name()}({inner}); }}"
        call = f"::trasso_c::text({fn})"
        body.append(f"  return {call};")
    else:
        extra = ["nullptr"] if f.writes and f.result != "void" else []
        call = f"{f.c_name()}({', '.join(args + extra)})"
        if held:
            fn = f"[&] {{ return {call}; }}"
            call = f"::trasso_c::call({fn}, {', '.join(held)})"
        if f.result == "void":
            body.append(f"  {'(void)' if f.writes and not held else ''}{call};")
        else:
            body.append(f"  return {call};")
    return lines + body + ["}"]


def status_rows():
    """core/Statuses.def's rows: (macro, [arguments]), a text argument unquoted."""
    text = (ROOT / "core" / "Statuses.def").read_text()
    token = re.compile(r'\s*(?:((?:"(?:[^"\\]|\\.)*"\s*)+)|([^,()"\s]+))\s*([,)])')
    rows = []
    for m in re.finditer(r"^(JKN_\w+_STATUS)\(", text, re.M):
        args, at = [], m.end()
        while True:
            t = token.match(text, at)
            if not t:
                raise ValueError(f"core/Statuses.def: cannot read the row at {text[m.start():at]!r}")
            args.append("".join(re.findall(r'"((?:[^"\\]|\\.)*)"', t[1])) if t[1] else t[2])
            at = t.end()
            if t[3] == ")":
                break
        rows.append((m[1], args))
    return rows


def c_statuses():
    """Each C status once, by number: (C name, number, text, meaning) of its first row."""
    statuses = {}
    for macro, args in status_rows():
        row = args[1:5] if macro == "JKN_WRITE_STATUS" else args
        if statuses.setdefault(row[0], row)[1] != row[1]:
            raise ValueError(f"core/Statuses.def: JKN_{row[0]} has two numbers")
    ordered = sorted(statuses.values(), key=lambda row: int(row[1]))
    if [int(row[1]) for row in ordered] != list(range(len(ordered))):
        raise ValueError("core/Statuses.def: the C statuses are not numbered 0, 1, 2, ...")
    return ordered


def c_status_enum():
    """The body of the C enum JknStatus, its comments aligned."""
    statuses = c_statuses()
    code = [f"  JKN_{c_name} = {number}" + ("," if i + 1 < len(statuses) else "")
            for i, (c_name, number, _, _) in enumerate(statuses)]
    width = max(len(c) for c in code) + 1
    return "\n".join(f"{c.ljust(width)}/* {row[3]} */" for c, row in zip(code, statuses))


def fill(template, marker, lines):
    text = (ROOT / "interface" / template).read_text()
    return text.replace(marker, "\n".join(lines))


def version():
    """CMakeLists.txt's project version: (major, minor, patch)."""
    text = (ROOT / "CMakeLists.txt").read_text()
    m = re.search(r"project\(TrassoJkn VERSION (\d+)\.(\d+)\.(\d+)", text)
    if not m:
        raise ValueError("CMakeLists.txt: no 'project(TrassoJkn VERSION X.Y.Z'")
    return m.groups()


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def descriptions(fns):
    """The registry entries' descriptions: the comments of their getter and setter."""
    by_name = {f.name: f for f in fns}
    lines = ["// The comments of each setting's functions in the areas' tables, for",
             "// jkn_describe. Generated by interface/generate.py: do not edit.",
             "// Rows of an initializer, one a line:", "// clang-format off"]
    for f in fns:
        if not f.name.startswith("GetQZJkn_") or f.result == "void" and not f.entry:
            continue
        name = f.name[len("GetQZJkn_"):]
        words = list(f.block) + [comment_text(f.comment)]
        setter = by_name.get("PutQZJkn_" + name)
        if setter and setter.comment and setter.comment != f.comment:
            words.append(comment_text(setter.comment))
        text = " ".join(w for w in words if w)
        if not text:  # nothing of its own: what its run or group says
            text = " ".join(f.run_block or f.group)
        lines.append(f"    {{{c_string(name)}, {c_string(text)}}},")
    return "\n".join(lines) + "\n"


GENERATED_BY = "Generated by interface/generate.py: do not edit."


def settings_source(part, by_name):
    """<Part>.settings.inc: the part's declared settings and their one-line
    getters and setters, included by <area>/<Part>.cpp before its own code."""
    lines = [f"// The settings {part.source()} declares in its area's table, and the getters",
             f"// and setters that are one call of get or put. {GENERATED_BY}",
             "namespace {", ""]
    lines += [d.cpp() for d in part.settings]
    lines += ["", "}  // namespace", ""]
    lines += wrappers(part, by_name)
    return "\n".join(lines) + "\n"


def parts_def(parts):
    """Parts.def: the areas and their parts, one X-macro list."""
    areas = []
    for p in parts:
        if p.area.as_posix() not in areas:
            areas.append(p.area.as_posix())
    lines = [
        "// The library's areas and the parts of each that hold registry entries, in the",
        "// order of the interface and the registry. " + GENERATED_BY,
        "//",
        "// TRASSO_AREA(area): a folder <area>/ with a table of exported functions.",
        "// TRASSO_PART(area, Part): <area>/<Part>.cpp defines registryOf<Part>(), its",
        "//   registry entries.",
        "// TRASSO_OTHER_KEYS(area, Part): <area>/<Part>.cpp defines otherKeysOf<Part>(),",
        "//   the keys it reads that are no registry entry's.",
        "// TRASSO_CATALOGUE_SECTION(area, Part): <area>/<Part>.cpp defines",
        "//   catalogueSectionOf<Part>(), a section whose keys it reads by a pattern.",
        "#if !defined(TRASSO_AREA) && !defined(TRASSO_PART) && !defined(TRASSO_OTHER_KEYS) && \\",
        "    !defined(TRASSO_CATALOGUE_SECTION)",
        "#error \"define TRASSO_AREA, TRASSO_PART, TRASSO_OTHER_KEYS or TRASSO_CATALOGUE_SECTION\"",
        "#endif",
        "#ifndef TRASSO_AREA",
        "#define TRASSO_AREA(area)",
        "#endif",
        "#ifndef TRASSO_PART",
        "#define TRASSO_PART(area, Part)",
        "#endif",
        "#ifndef TRASSO_OTHER_KEYS",
        "#define TRASSO_OTHER_KEYS(area, Part)",
        "#endif",
        "#ifndef TRASSO_CATALOGUE_SECTION",
        "#define TRASSO_CATALOGUE_SECTION(area, Part)",
        "#endif",
        "",
    ]
    lines += [f"TRASSO_AREA({a})" for a in areas_of_tables()]
    lines.append("")
    for macro, has in [("TRASSO_PART", lambda p: p.entries or "registry" in p.options),
                       ("TRASSO_OTHER_KEYS", lambda p: "other-keys" in p.options),
                       ("TRASSO_CATALOGUE_SECTION", lambda p: "catalogue-section" in p.options)]:
        lines += [f"{macro}({p.area.as_posix()}, {p.name})" for p in parts if has(p)]
        lines.append("")
    lines += ["#undef TRASSO_AREA", "#undef TRASSO_PART", "#undef TRASSO_OTHER_KEYS",
              "#undef TRASSO_CATALOGUE_SECTION"]
    return "\n".join(lines) + "\n"


def areas_of_tables():
    return [pathlib.PurePosixPath(t).parent.as_posix() for t in tables()]


def formatted(rel, text):
    """C and C++ text as clang-format (the root's .clang-format) leaves it."""
    if not rel.endswith((".h", ".cpp", ".settings.inc")):
        return text
    tool = shutil.which("clang-format")
    if tool is None:
        raise SystemExit("generate.py needs clang-format (Debian: clang-format) to format "
                         "what it makes")
    done = subprocess.run([tool, "--style=file", f"--assume-filename={ROOT / rel}"],
                          input=text, capture_output=True, text=True, check=True, cwd=ROOT)
    return done.stdout


def outputs():
    parts = []
    items = all_items(parts)
    fns = [it[1] for it in items if it[0] == "fn"]
    pair_up(fns)
    by_name = {f.name: f for f in fns}
    major, minor, patch = version()
    seen = set()
    for f in fns:
        if f.c_name() in seen:
            raise ValueError(f"{f.name}: a second form needs its own C name: [as Name]")
        seen.add(f.c_name())
    out = {}
    header = fill("TrassoJknC.h.in", "@FUNCTIONS@", c_declarations(items, reference_rows()))
    header = header.replace("@STATUSES@", c_status_enum())
    out[f"{PUBLIC}/TrassoJknC.h"] = header.replace("@VERSION_MAJOR@", major).replace(
        "@VERSION_MINOR@", minor).replace("@VERSION_PATCH@", patch)
    out[f"{GENERATED}/Descriptions.inc"] = descriptions(fns)
    out["python/trassojkn/_version.py"] = (
        '"""The version of the library this module belongs to (generated by\n'
        'interface/generate.py from CMakeLists.txt: do not edit)."""\n\n'
        f'__version__ = "{major}.{minor}.{patch}"\n')
    definitions = []
    for f in fns:
        definitions += inline_definition(f)
    header = fill("TrassoJkn.h.in", "@DECLARATIONS@", declarations(items, "inline ", " noexcept"))
    out[f"{PUBLIC}/TrassoJkn.h"] = header.replace("@DEFINITIONS@", "\n".join(definitions))
    c_defs = []
    for f in fns:
        c_defs += c_definition(f) + [""]
    out[f"{GENERATED}/CInterface.cpp"] = fill("CInterface.cpp.in", "@DEFINITIONS@", c_defs[:-1])
    out[f"{GENERATED}/Api.h"] = fill("Api.h.in", "@DECLARATIONS@",
                                     declarations(items, "", " noexcept", False))
    out[f"{GENERATED}/Parts.def"] = parts_def(parts)
    for part in parts:
        base = f"{GENERATED}/{part.area.as_posix()}/{part.name}"
        head = ["// The registry entries of this file, in the order of the area's table.",
                "// " + GENERATED_BY, "// Rows of an initializer, one a line:", "// clang-format off"]
        lines = [f"    {f.registry_entry()}," for f in part.entries]
        if lines:
            out[f"{base}.entries.inc"] = "\n".join(head + lines) + "\n"
        if part.settings:
            out[f"{base}.settings.inc"] = settings_source(part, by_name)
    return {rel: formatted(rel, text) for rel, text in out.items()}


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    for rel, text in outputs().items():
        path = ROOT / rel
        if check:
            if not path.exists() or path.read_text() != text:
                stale.append(rel)
        elif not path.exists() or path.read_text() != text:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
    if stale:
        print("stale: " + ", ".join(stale) + " (run interface/generate.py)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
