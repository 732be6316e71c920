#!/usr/bin/env python3
"""Check that DARVEX's English and Japanese resource scripts agree.

Usage: check_resources.py [ENGLISH_RC JAPANESE_RC]
       (default: resources/darvex_en.rc and resources/darvex_ja.rc next to
       this script's parent directory)

Both languages must define:
  - the same string ids, each pair with the same printf directives in the
    same order and the same number of line breaks;
  - the same menu: the same popups, the same item ids in the same order,
    the same shortcut text after the tab;
  - the same accelerator table;
  - the same dialogs, with the same controls (id, kind, class, style,
    position and size) in the same order.
Within each language:
  - no two items of one menu popup (or of the menu bar) and no two controls
    of one dialog use the same access key (&X);
  - every menu item has its help line (a string with the item's id);
  - every text fits its code page (1252 or 932) and the program's buffers:
    1023 bytes for a string, 127 for a menu help line.

Exits 0 when all holds, 1 after printing every problem found, 2 when a file
cannot be read or parsed.
"""

import os
import re
import sys

STRING_LIMIT = 1023      # LoadText reads at most this many characters
HELP_LINE_LIMIT = 127    # the menu help buffer holds 128 bytes

# Ids that the scripts take from <winresrc.h>.
BUILTIN_IDS = {"IDOK": 1, "IDCANCEL": 2, "IDABORT": 3, "IDRETRY": 4,
               "IDIGNORE": 5, "IDYES": 6, "IDNO": 7, "IDC_STATIC": -1}

TEXT_CONTROLS = {"LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON",
                 "GROUPBOX", "CHECKBOX", "AUTOCHECKBOX", "RADIOBUTTON",
                 "AUTORADIOBUTTON", "STATE3", "AUTO3STATE", "PUSHBOX", "ICON"}
PLAIN_CONTROLS = {"EDITTEXT", "COMBOBOX", "LISTBOX", "SCROLLBAR"}
CONTROL_KEYWORDS = TEXT_CONTROLS | PLAIN_CONTROLS | {"CONTROL"}
DIALOG_OPTIONS = {"STYLE", "EXSTYLE", "CAPTION", "FONT", "CLASS", "MENU",
                  "CHARACTERISTICS", "VERSION", "LANGUAGE"}

PRINTF_RE = re.compile(
    r"%(?:%|[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?"
    r"(?:hh|h|ll|l|L|I64|I32|I|z|j|t)?[diouxXeEfgGaAcCsSpn])")

ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "a": "\a", "b": "\b",
           "f": "\f", "v": "\v", "\\": "\\", '"': '"', "'": "'"}


class ParseError(Exception):
    pass


# ---------------------------------------------------------------------------
# Reading the scripts
# ---------------------------------------------------------------------------

def read_defines(path, defines):
    """Collect '#define NAME number' lines of an included header."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = re.match(r"\s*#\s*define\s+(\w+)\s+\(?\s*(-?(?:0x[0-9A-Fa-f]+|\d+))\s*\)?\s*(?:/[*/].*)?$",
                         line)
            if m:
                defines[m.group(1)] = int(m.group(2), 0)


def unescape(body):
    out = []
    i = 0
    while i < len(body):
        ch = body[i]
        if ch == "\\" and i + 1 < len(body):
            nxt = body[i + 1]
            if nxt in ESCAPES:
                out.append(ESCAPES[nxt])
                i += 2
                continue
            m = re.match(r"x([0-9A-Fa-f]{1,4})", body[i + 1:])
            if m:
                out.append(chr(int(m.group(1), 16)))
                i += 1 + len(m.group(0))
                continue
            m = re.match(r"[0-7]{1,3}", body[i + 1:])
            if m:
                out.append(chr(int(m.group(0), 8)))
                i += 1 + len(m.group(0))
                continue
        if ch == '"' and body[i + 1:i + 2] == '"':
            out.append('"')
            i += 2
            continue
        out.append(ch)
        i += 1
    return "".join(out)


TOKEN_RE = re.compile(r'''
    (?P<ws>\s+)
  | (?P<comment>//[^\n]*|/\*.*?\*/)
  | (?P<string>L?"(?:[^"\\\n]|\\.|"")*")
  | (?P<word>[A-Za-z_][A-Za-z0-9_]*|0[xX][0-9A-Fa-f]+[Ll]?|\d+[Ll]?)
  | (?P<punct>[,|()+\-~{}&])
''', re.X | re.S)


def tokenize(text, path):
    """Tokens of a script, preprocessor lines dropped. Each token is
    (kind, value, line)."""
    lines = []
    for line in text.split("\n"):
        lines.append("" if line.lstrip().startswith("#") else line)
    text = "\n".join(lines)
    tokens = []
    pos = 0
    line_no = 1
    while pos < len(text):
        m = TOKEN_RE.match(text, pos)
        if not m:
            raise ParseError("%s:%d: cannot read %r" % (path, line_no, text[pos:pos + 20]))
        kind = m.lastgroup
        value = m.group(kind)
        if kind == "string":
            body = value[2:-1] if value.startswith("L") else value[1:-1]
            tokens.append(("string", unescape(body), line_no))
        elif kind in ("word", "punct"):
            tokens.append((kind, value, line_no))
        line_no += value.count("\n")
        pos = m.end()
    return tokens


class Script:
    """What one language script defines."""

    def __init__(self, path):
        self.path = path
        self.name = os.path.basename(path)
        self.language = None
        self.strings = {}        # id -> (text, line)
        self.menus = {}          # name -> list of popups
        self.accelerators = {}   # name -> list of entries
        self.dialogs = {}        # id -> dialog dict
        self.defines = dict(BUILTIN_IDS)


class Parser:
    def __init__(self, script, tokens):
        self.s = script
        self.t = tokens
        self.i = 0

    # -- token helpers -----------------------------------------------------

    def peek(self, k=0):
        j = self.i + k
        return self.t[j] if j < len(self.t) else ("eof", "", -1)

    def next(self):
        tok = self.peek()
        self.i += 1
        return tok

    def error(self, message):
        tok = self.peek()
        raise ParseError("%s:%d: %s (at %r)" % (self.s.path, tok[2], message, tok[1]))

    def is_word(self, *words):
        tok = self.peek()
        return tok[0] == "word" and tok[1].upper() in words

    def is_begin(self):
        return self.is_word("BEGIN") or self.peek()[1] == "{"

    def is_end(self):
        return self.is_word("END") or self.peek()[1] == "}"

    def expect_begin(self):
        if not self.is_begin():
            self.error("BEGIN expected")
        self.next()

    def expect_end(self):
        if not self.is_end():
            self.error("END expected")
        self.next()

    def skip_comma(self):
        if self.peek()[1] == ",":
            self.next()

    def expression(self):
        """Tokens of one comma-separated argument."""
        parts = []
        depth = 0
        while True:
            tok = self.peek()
            if tok[0] == "eof":
                break
            if depth == 0 and tok[1] == ",":
                break
            if depth == 0 and parts and tok[0] in ("word", "string") \
                    and parts[-1][0] in ("word", "string") \
                    and parts[-1][1].upper() != "NOT":
                break    # two operands in a row: the next statement begins
            if tok[1] == "(":
                depth += 1
            elif tok[1] == ")":
                depth -= 1
            parts.append(self.next())
        return parts

    def value(self, parts):
        """Integer value of an id or coordinate expression."""
        text = ""
        for kind, v, _ in parts:
            if kind == "word" and not re.match(r"\d|0[xX]", v):
                if v not in self.s.defines:
                    self.error("unknown name %s" % v)
                text += "(%d)" % self.s.defines[v]
            elif kind == "word":
                text += str(int(v.rstrip("Ll"), 0))
            elif v in "()+-|~":
                text += v
            else:
                self.error("unexpected %r in a number" % v)
        try:
            return int(eval(text, {"__builtins__": {}}, {}))
        except Exception:
            self.error("cannot evaluate %r" % text)

    @staticmethod
    def style(parts):
        return " ".join(v for _, v, _ in parts)

    # -- statements ----------------------------------------------------------

    def parse(self):
        while self.peek()[0] != "eof":
            tok = self.peek()
            if self.is_word("LANGUAGE"):
                self.next()
                primary = self.expression()
                self.skip_comma()
                sub = self.expression()
                self.s.language = (self.style(primary), self.style(sub))
            elif self.is_word("STRINGTABLE"):
                self.next()
                self.string_table()
            elif tok[0] in ("word", "string") and self.peek(1)[0] == "word" \
                    and self.peek(1)[1].upper() in ("MENU", "MENUEX"):
                self.next()
                self.next()
                self.skip_options()
                self.s.menus[tok[1]] = self.menu_body()
            elif tok[0] in ("word", "string") and self.peek(1)[0] == "word" \
                    and self.peek(1)[1].upper() == "ACCELERATORS":
                self.next()
                self.next()
                self.skip_options()
                self.s.accelerators[tok[1]] = self.accelerator_body()
            elif tok[0] == "word" and self.peek(1)[0] == "word" \
                    and self.peek(1)[1].upper() in ("DIALOG", "DIALOGEX"):
                self.dialog()
            else:
                self.error("statement not understood")

    def skip_options(self):
        while not self.is_begin():
            if self.peek()[0] == "eof":
                self.error("BEGIN expected")
            self.next()

    def string_table(self):
        self.skip_options()
        self.expect_begin()
        while not self.is_end():
            line = self.peek()[2]
            ident = self.value(self.expression())
            self.skip_comma()
            tok = self.next()
            if tok[0] != "string":
                self.error("string expected")
            if ident in self.s.strings:
                raise ParseError("%s:%d: string %d defined twice" % (self.s.path, line, ident))
            self.s.strings[ident] = (tok[1], line)
        self.expect_end()

    def menu_body(self):
        """A list of items: ('item', text, id) / ('separator',) /
        ('popup', text, items)."""
        self.expect_begin()
        items = []
        while not self.is_end():
            if self.is_word("POPUP"):
                self.next()
                text = self.next()[1]
                while not self.is_begin():
                    self.next()      # MENUEX popup ids and options
                items.append(("popup", text, self.menu_body()))
            elif self.is_word("MENUITEM"):
                self.next()
                if self.is_word("SEPARATOR"):
                    self.next()
                    items.append(("separator",))
                    continue
                text = self.next()[1]
                self.skip_comma()
                ident = self.value(self.expression())
                while self.peek()[1] == ",":
                    self.next()
                    self.expression()    # CHECKED, GRAYED and the like
                items.append(("item", text, ident))
            else:
                self.error("POPUP or MENUITEM expected")
        self.expect_end()
        return items

    def accelerator_body(self):
        self.expect_begin()
        entries = []
        while not self.is_end():
            key_tok = self.next()
            key = ("string:" + key_tok[1]) if key_tok[0] == "string" else key_tok[1]
            self.skip_comma()
            ident = self.value(self.expression())
            flags = set()
            while self.peek()[1] == ",":
                self.next()
                flags.add(self.style(self.expression()).upper())
            entries.append((key, ident, frozenset(flags)))
        self.expect_end()
        return entries

    def dialog(self):
        line = self.peek()[2]
        ident = self.value([self.next()])
        self.next()                  # DIALOG / DIALOGEX
        rect = []
        for n in range(4):
            rect.append(self.value(self.expression()))
            if n < 3:
                self.skip_comma()
        dialog = {"line": line, "rect": tuple(rect), "caption": None,
                  "font": None, "style": "", "controls": []}
        while not self.is_begin():
            if self.is_word("CAPTION"):
                self.next()
                dialog["caption"] = self.next()[1]
            elif self.is_word("FONT"):
                self.next()
                size = self.value(self.expression())
                self.skip_comma()
                dialog["font"] = (size, self.next()[1])
                while self.peek()[1] == ",":
                    self.next()
                    self.expression()
            elif self.is_word("STYLE"):
                self.next()
                dialog["style"] = self.style(self.expression())
            elif self.is_word(*DIALOG_OPTIONS):
                self.next()
                self.expression()
                while self.peek()[1] == ",":
                    self.next()
                    self.expression()
            else:
                self.error("dialog option expected")
        self.expect_begin()
        while not self.is_end():
            dialog["controls"].append(self.control())
        self.expect_end()
        if ident in self.s.dialogs:
            raise ParseError("%s:%d: dialog %d defined twice" % (self.s.path, line, ident))
        self.s.dialogs[ident] = dialog

    def control(self):
        tok = self.next()
        kind = tok[1].upper()
        if tok[0] != "word" or kind not in CONTROL_KEYWORDS:
            self.error("control statement expected")
        args = []
        while True:
            if self.peek()[0] == "eof" or self.is_end() or self.is_word(*CONTROL_KEYWORDS):
                break
            args.append(self.expression())
            if self.peek()[1] != ",":
                break
            self.next()
        control = {"kind": kind, "line": tok[2], "text": None, "class": kind,
                   "style": "", "exstyle": ""}
        try:
            if kind == "CONTROL":
                control["text"] = args[0][0][1] if args[0] else ""
                control["id"] = self.value(args[1])
                control["class"] = args[2][0][1].upper()
                control["style"] = self.style(args[3])
                control["rect"] = tuple(self.value(a) for a in args[4:8])
                rest = args[8:]
            elif kind in TEXT_CONTROLS:
                control["text"] = args[0][0][1]
                control["id"] = self.value(args[1])
                control["rect"] = tuple(self.value(a) for a in args[2:6])
                rest = args[6:]
                if rest:
                    control["style"] = self.style(rest[0])
                    rest = rest[1:]
            else:
                control["id"] = self.value(args[0])
                control["rect"] = tuple(self.value(a) for a in args[1:5])
                rest = args[5:]
                if rest:
                    control["style"] = self.style(rest[0])
                    rest = rest[1:]
            if rest:
                control["exstyle"] = self.style(rest[0])
            if len(control["rect"]) != 4:
                raise IndexError
        except IndexError:
            raise ParseError("%s:%d: %s with too few arguments" % (self.s.path, tok[2], kind))
        return control


def load_script(path):
    script = Script(path)
    with open(path, encoding="utf-8") as f:
        text = f.read()
    base = os.path.dirname(path)
    for m in re.finditer(r'^\s*#\s*include\s+"([^"]+)"', text, re.M):
        header = os.path.join(base, m.group(1))
        if header.lower().endswith(".h"):
            read_defines(header, script.defines)
    Parser(script, tokenize(text, path)).parse()
    return script


# ---------------------------------------------------------------------------
# Checks
# ---------------------------------------------------------------------------

def access_keys(text):
    """The access key characters of a text ('&&' is a literal ampersand)."""
    keys = []
    i = 0
    while i < len(text):
        if text[i] == "&":
            if text[i + 1:i + 2] == "&":
                i += 2
                continue
            if i + 1 < len(text):
                keys.append(text[i + 1].upper())
        i += 1
    return keys


def check_access_keys(problems, where, texts):
    """texts: list of (label, text). Reports keys used more than once."""
    seen = {}
    for label, text in texts:
        keys = access_keys(text)
        if len(keys) > 1:
            problems.append("%s: %s has more than one access key: %r" % (where, label, text))
        for key in keys:
            if key in seen:
                problems.append("%s: access key &%s used by both %s %r and %s %r"
                                % (where, key, seen[key][0], seen[key][1], label, text))
            else:
                seen[key] = (label, text)


def shortcut(text):
    return text.split("\t", 1)[1] if "\t" in text else None


def menu_shape(items):
    shape = []
    for item in items:
        if item[0] == "separator":
            shape.append(("separator",))
        elif item[0] == "item":
            shape.append(("item", item[2], shortcut(item[1])))
        else:
            shape.append(("popup", menu_shape(item[2])))
    return shape


def menu_item_ids(items):
    for item in items:
        if item[0] == "item":
            yield item[2], item[1]
        elif item[0] == "popup":
            yield from menu_item_ids(item[2])


def check_menu_keys(problems, script, name, items, where):
    texts = [("item" if it[0] == "item" else "popup", it[1])
             for it in items if it[0] != "separator"]
    check_access_keys(problems, where, texts)
    for it in items:
        if it[0] == "popup":
            check_menu_keys(problems, script, name, it[2],
                            "%s: menu %s, popup %r" % (script.name, name, it[1]))


def control_label(control):
    return "control %d (%s)" % (control["id"], control["kind"] if control["kind"] != "CONTROL"
                                else control["class"])


def check_one_language(problems, script, encoding):
    def encoded_length(text, what):
        try:
            return len(text.encode(encoding))
        except UnicodeEncodeError as e:
            problems.append("%s: %s has a character outside code page %s: %r"
                            % (script.name, what, encoding, text[e.start:e.end]))
            return len(text.encode(encoding, "replace"))

    for ident, (text, line) in sorted(script.strings.items()):
        what = "string %d (line %d)" % (ident, line)
        if encoded_length(text, what) > STRING_LIMIT:
            problems.append("%s: %s is longer than %d bytes" % (script.name, what, STRING_LIMIT))
        if text == "":
            problems.append("%s: %s is empty (LoadText treats that as missing)"
                            % (script.name, what))

    for name, items in script.menus.items():
        check_menu_keys(problems, script, name, items, "%s: menu %s, menu bar" % (script.name, name))
        for ident, text in menu_item_ids(items):
            encoded_length(text, "menu item %d" % ident)
            if ident not in script.strings:
                problems.append("%s: menu item %d %r has no help line string"
                                % (script.name, ident, text))
            else:
                help_text = script.strings[ident][0]
                if encoded_length(help_text, "help line %d" % ident) > HELP_LINE_LIMIT:
                    problems.append("%s: help line %d is longer than %d bytes"
                                    % (script.name, ident, HELP_LINE_LIMIT))

    for ident, dialog in sorted(script.dialogs.items()):
        where = "%s: dialog %d" % (script.name, ident)
        if dialog["caption"] is None:
            problems.append("%s has no caption" % where)
        else:
            encoded_length(dialog["caption"], "caption of dialog %d" % ident)
        texts = []
        for control in dialog["controls"]:
            if control["text"] and control["kind"] != "ICON" \
                    and "SS_NOPREFIX" not in control["style"]:
                encoded_length(control["text"], "%s %s" % (where, control_label(control)))
                texts.append((control_label(control), control["text"]))
        check_access_keys(problems, where, texts)
        ids = [c["id"] for c in dialog["controls"] if c["id"] != -1]
        for dup in sorted({i for i in ids if ids.count(i) > 1}):
            problems.append("%s: control id %d used twice" % (where, dup))


def compare_languages(problems, en, ja):
    pair = "%s / %s" % (en.name, ja.name)

    # Strings.
    for ident in sorted(set(en.strings) - set(ja.strings)):
        problems.append("%s: string %d only in %s" % (pair, ident, en.name))
    for ident in sorted(set(ja.strings) - set(en.strings)):
        problems.append("%s: string %d only in %s" % (pair, ident, ja.name))
    for ident in sorted(set(en.strings) & set(ja.strings)):
        e_text, j_text = en.strings[ident][0], ja.strings[ident][0]
        e_fmt, j_fmt = PRINTF_RE.findall(e_text), PRINTF_RE.findall(j_text)
        if e_fmt != j_fmt:
            problems.append("%s: string %d has format directives %s in English but %s in Japanese"
                            % (pair, ident, e_fmt, j_fmt))
        if e_text.count("\r\n") != j_text.count("\r\n"):
            problems.append("%s: string %d has %d line breaks in English but %d in Japanese"
                            % (pair, ident, e_text.count("\r\n"), j_text.count("\r\n")))

    # Menus.
    if set(en.menus) != set(ja.menus):
        problems.append("%s: menus differ: %s against %s"
                        % (pair, sorted(en.menus), sorted(ja.menus)))
    for name in sorted(set(en.menus) & set(ja.menus)):
        if menu_shape(en.menus[name]) != menu_shape(ja.menus[name]):
            problems.append("%s: menu %s differs in its items, their order or their shortcuts"
                            % (pair, name))

    # Accelerators.
    if set(en.accelerators) != set(ja.accelerators):
        problems.append("%s: accelerator tables differ: %s against %s"
                        % (pair, sorted(en.accelerators), sorted(ja.accelerators)))
    for name in sorted(set(en.accelerators) & set(ja.accelerators)):
        if en.accelerators[name] != ja.accelerators[name]:
            problems.append("%s: accelerator table %s differs" % (pair, name))

    # Dialogs.
    for ident in sorted(set(en.dialogs) ^ set(ja.dialogs)):
        owner = en.name if ident in en.dialogs else ja.name
        problems.append("%s: dialog %d only in %s" % (pair, ident, owner))
    for ident in sorted(set(en.dialogs) & set(ja.dialogs)):
        de, dj = en.dialogs[ident], ja.dialogs[ident]
        where = "%s: dialog %d" % (pair, ident)
        if de["rect"] != dj["rect"]:
            problems.append("%s: position or size %s against %s" % (where, de["rect"], dj["rect"]))
        ce, cj = de["controls"], dj["controls"]
        if len(ce) != len(cj):
            problems.append("%s: %d controls against %d" % (where, len(ce), len(cj)))
        for a, b in zip(ce, cj):
            label = control_label(a)
            for key in ("id", "kind", "class", "style", "exstyle", "rect"):
                if a[key] != b[key]:
                    problems.append("%s: %s (line %d / %d): %s %r against %r"
                                    % (where, label, a["line"], b["line"], key, a[key], b[key]))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    if len(argv) == 3:
        en_path, ja_path = argv[1], argv[2]
    elif len(argv) == 1:
        root = os.path.join(here, os.pardir, "resources")
        en_path = os.path.join(root, "darvex_en.rc")
        ja_path = os.path.join(root, "darvex_ja.rc")
    else:
        sys.stderr.write("usage: check_resources.py [ENGLISH_RC JAPANESE_RC]\n")
        return 2
    try:
        en = load_script(en_path)
        ja = load_script(ja_path)
    except (OSError, ParseError) as e:
        sys.stderr.write("check_resources: %s\n" % e)
        return 2

    problems = []
    if en.language is None or "LANG_ENGLISH" not in en.language[0]:
        problems.append("%s: no LANGUAGE LANG_ENGLISH statement" % en.name)
    if ja.language is None or "LANG_JAPANESE" not in ja.language[0]:
        problems.append("%s: no LANGUAGE LANG_JAPANESE statement" % ja.name)
    check_one_language(problems, en, "cp1252")
    check_one_language(problems, ja, "cp932")
    compare_languages(problems, en, ja)

    if problems:
        for p in problems:
            sys.stderr.write("check_resources: %s\n" % p)
        sys.stderr.write("check_resources: %d problem(s)\n" % len(problems))
        return 1
    print("check_resources: %s and %s agree: %d strings, %d menu(s), %d accelerator table(s), "
          "%d dialogs" % (en.name, ja.name, len(en.strings), len(en.menus),
                          len(en.accelerators), len(en.dialogs)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
