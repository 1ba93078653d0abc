#!/usr/bin/env python3
"""A helpdesk's own look for lodo.exe, from the folder given to
scripts/package.sh --client: branding.ini, logo.png or logo.bmp, icon.png or
icon.ico. Every step stops with a message naming the file, the line and the
key, before anything is built.

usage: branding.py check DIR WORK   read and check the material; WORK/brand.json,
                                    WORK/texts.txt (for measure_texts.exe); prints
                                    "branded" or "plain"
       branding.py make WORK MEASURED BRAND_DIR
                                    the widths measure_texts.exe found against their
                                    room, then logo, mask, icon, manifest and rc
                                    header for the branded link; WORK/brand.nsh
       branding.py readme TEMPLATE VERSION OUT ZIP [WORK OUT ZIP]
                                    README.txt in the default words, [and in the
                                    words of WORK's branding]
"""
import difflib
import hashlib
import json
import os
import re
import subprocess
import sys
import unicodedata

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Every key of [Branding]: what it sets, and whether it may be empty (the
# contact lines may; a button, a caption or a company without a word may not).
KEYS = {
    "Title": ("the window caption", False),
    "Name": ("the name line", True),
    "Line1": ("the first contact line", True),
    "Line2": ("the second contact line", True),
    "Line3": ("the third contact line", True),
    "Company": ("CompanyName in the version resource", False),
    "ManualEntry": ("the check box for manual entry", False),
    "HostLabel": ("the label before the host-name field", False),
    "Connect": ("the green panel's word", False),
    "Exit": ("the red panel's word", False),
}
# The keys the window shows, as named in launcher/texts.rc (LODO_TEXT_<NAME>).
SHOWN = {"Title": "TITLE", "Name": "NAME", "Line1": "LINE1", "Line2": "LINE2", "Line3": "LINE3",
         "ManualEntry": "MANUAL_ENTRY", "HostLabel": "HOST_LABEL", "Connect": "CONNECT", "Exit": "EXIT"}
# Where each text has its room, for the message about one that is too wide.
ROOM = {
    "Title": "in the title bar between the icon and the close button",
    "Name": "before the logo",
    "Line1": "inside the dotted frame", "Line2": "inside the dotted frame", "Line3": "inside the dotted frame",
    "ManualEntry": "beside the check box",
    "HostLabel": "before the host-name field",
    "Connect": "on the green panel", "Exit": "on the red panel",
}
LINE_BREAKS = "\n\r\x0b\x0c\x1c\x1d\x1e\x85\u2028\u2029"
PICTURES = {"logo": ("logo.png", "logo.bmp"), "icon": ("icon.png", "icon.ico")}
LOGO_SIZE = (140, 73)
ICON_SIZES = (256, 48, 32, 24, 16)
# The panel behind the logo (Windows' button face): the colour the logo's
# half-transparent edge is mixed with.
LOGO_BACKGROUND = "#F0F0F0"


class BrandingError(Exception):
    pass


def fail(messages):
    for m in messages:
        print(f"package: {m}", file=sys.stderr)
    sys.exit(1)


# --- Reading branding.ini ------------------------------------------------


def decode(data, name):
    """The text of the file, whichever of the editors' encodings it is in."""
    boms = [(b"\xef\xbb\xbf", "utf-8"), (b"\xff\xfe", "utf-16-le"), (b"\xfe\xff", "utf-16-be")]
    encoding = None
    for bom, codec in boms:
        if data.startswith(bom):
            data, encoding = data[len(bom):], codec
            break
    if encoding is None:
        # UTF-16 without a byte-order mark: every other byte of ASCII text is 0.
        if len(data) >= 2 and b"\0" in data:
            encoding = "utf-16-le" if data[1:2] == b"\0" else "utf-16-be"
        else:
            encoding = "utf-8"
    try:
        return data.decode(encoding)
    except UnicodeDecodeError as e:
        if encoding.startswith("utf-16"):
            raise BrandingError(f"{name}: damaged UTF-16 text near byte {e.start}; save it again as UTF-8")
        line = data[: e.start].count(b"\n") + 1
        raise BrandingError(
            f"{name} line {line}: byte 0x{data[e.start]:02X} is not UTF-8; save the file as UTF-8 or UTF-16 "
            "(in Notepad: Save as, Encoding UTF-8)")


def character_problem(value):
    """What is wrong with a value's characters, or None."""
    for ch in value:
        if ch in LINE_BREAKS:
            return f"a line break (U+{ord(ch):04X})"
        if unicodedata.category(ch) in ("Cc", "Cs", "Co", "Cn") and ch != " ":
            return f"a control character (U+{ord(ch):04X})"
    return None


def parse_ini(data, name):
    """{key: value} of [Branding]; every problem of the file at once."""
    text = decode(data, name)
    values, lines_of, errors = {}, {}, []
    section = None
    # Only LF and CR LF end a line: any other break stays in its value and is
    # reported there.
    for n, raw in enumerate(text.split("\n"), 1):
        line = raw[:-1] if raw.endswith("\r") else raw
        stripped = line.strip(" \t")
        if not stripped or stripped[0] in ";#":
            continue
        if stripped.startswith("["):
            header = stripped[1:-1].strip(" \t") if stripped.endswith("]") else None
            if header is None:
                errors.append(f"{name} line {n}: a section name without its closing ]: {stripped}")
            elif header.lower() != "branding":
                errors.append(f"{name} line {n}: unknown section [{header}]; the only section is [Branding]")
                section = "other"
            else:
                section = "Branding"
            continue
        key, eq, value = stripped.partition("=")
        key = key.strip(" \t")
        if not eq or not key:
            errors.append(f"{name} line {n}: not a key=value line: {stripped}")
            continue
        if section is None:
            errors.append(f"{name} line {n}: {key} comes before [Branding]")
            continue
        if section != "Branding":
            continue
        known = {k.lower(): k for k in KEYS}
        if key.lower() not in known:
            guess = difflib.get_close_matches(key.lower(), list(known), n=1, cutoff=0.6)
            hint = f" (did you mean {known[guess[0]]}?)" if guess else ""
            errors.append(f"{name} line {n}: unknown key {key}{hint}; the keys are {', '.join(KEYS)}")
            continue
        key = known[key.lower()]
        if key in values:
            errors.append(f"{name} line {n}: {key} is given twice (first on line {lines_of[key]})")
            continue
        value = value.strip(" \t")
        # Quotes keep blanks at either end, as the system's INI reader does.
        if len(value) >= 2 and value[0] == value[-1] == '"':
            value = value[1:-1]
        problem = character_problem(value)
        if problem:
            errors.append(f"{name} line {n}: {key} holds {problem}; each text is one line of visible characters")
            continue
        if not value and not KEYS[key][1]:
            errors.append(f"{name} line {n}: {key} is empty; leave the key out to keep the default")
            continue
        values[key], lines_of[key] = value, n
    if not errors and "Name" in values and not values["Name"] and "Company" not in values:
        errors.append(f"{name} line {lines_of['Name']}: Name is empty, so Company must name the helpdesk "
                      "for the version resource")
    if errors:
        raise BrandingError("\n".join(errors))
    return values, lines_of


# --- Pictures --------------------------------------------------------------


def run(args):
    result = subprocess.run(args, capture_output=True)
    if result.returncode != 0:
        reason = result.stderr.decode("utf-8", "replace").strip().splitlines()
        raise BrandingError(reason[0] if reason else f"{args[0]} failed")
    return result.stdout.decode("utf-8", "replace")


def find_picture(folder, kind):
    """The one file of a kind (any case of its name), or None."""
    names = {n.lower(): n for n in os.listdir(folder)}
    found = [names[n] for n in PICTURES[kind] if n in names]
    if len(found) > 1:
        raise BrandingError(f"{folder} holds both {found[0]} and {found[1]}; keep one")
    return os.path.join(folder, found[0]) if found else None


def picture_frames(path):
    """[(width, height)] of every frame, or a BrandingError when the file is no picture."""
    try:
        out = run(["identify", "-format", "%w %h\n", path])
    except BrandingError as e:
        raise BrandingError(f"{path} is not a readable picture: {e}")
    frames = [tuple(int(v) for v in line.split()) for line in out.splitlines() if line.strip()]
    if not frames or any(w < 1 or h < 1 for w, h in frames):
        raise BrandingError(f"{path} is not a readable picture")
    return frames


# --- Steps -----------------------------------------------------------------


def default_texts():
    """The default operator's texts, as launcher/texts.rc defines them."""
    texts = {}
    with open(os.path.join(ROOT, "launcher", "texts.rc"), encoding="utf-8") as f:
        for m in re.finditer(r'^#define LODO_TEXT_(\w+) "((?:[^"]|"")*)"', f.read(), re.M):
            texts[m.group(1)] = m.group(2).replace('""', '"')
    return {key: texts[macro] for key, macro in SHOWN.items()}


def check(folder, work):
    """Reads and checks the folder's material; brand.json says what was found."""
    brand = {"texts": {}, "lines": {}, "logo": None, "icon": None}
    ini = None
    for n in os.listdir(folder):
        if n.lower() == "branding.ini":
            ini = os.path.join(folder, n)
    errors = []
    if ini:
        try:
            with open(ini, "rb") as f:
                brand["texts"], brand["lines"] = parse_ini(f.read(), os.path.basename(ini))
        except BrandingError as e:
            errors.append(str(e))
    for kind in PICTURES:
        try:
            path = find_picture(folder, kind)
            if path:
                brand[kind] = {"path": path, "frames": picture_frames(path)}
        except BrandingError as e:
            errors.append(str(e))
    if errors:
        raise BrandingError("\n".join(errors))
    brand["branded"] = bool(ini or brand["logo"] or brand["icon"])
    if brand["branded"]:
        # What the helpdesk left out keeps the default operator's material.
        kept = [k for k in ("Title", "Name", "Line1", "Line2", "Line3") if k not in brand["texts"]]
        kept += [f"the {kind}" for kind in PICTURES if not brand[kind]]
        if kept:
            print(f"package: note: the client package keeps the default operator's {', '.join(kept)}",
                  file=sys.stderr)
    with open(os.path.join(work, "brand.json"), "w", encoding="utf-8") as f:
        json.dump(brand, f, ensure_ascii=False, indent=1)
    # The measuring tool reads UTF-16: one key=value a line, the shown texts only.
    shown = "".join(f"{k}={v}\r\n" for k, v in brand["texts"].items() if k in SHOWN)
    with open(os.path.join(work, "texts.txt"), "wb") as f:
        f.write(b"\xff\xfe" + shown.encode("utf-16-le"))
    return brand


def load(work):
    with open(os.path.join(work, "brand.json"), encoding="utf-8") as f:
        return json.load(f)


def fit(work, measured):
    """Each given text against its room, as measure_texts.exe found them."""
    brand = load(work)
    errors = []
    with open(measured, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    for key, width, room, font in rows:
        if key not in brand["texts"] or int(width) <= int(room):
            continue
        spaced = " (spaced out letter by letter)" if key in ("Connect", "Exit") else ""
        errors.append(
            f"branding.ini line {brand['lines'][key]}: {key} is {width} pixels wide{spaced} at 96 dpi in {font}, "
            f"but at most {room} fit {ROOM[key]}; shorten it")
    if errors:
        raise BrandingError("\n".join(errors))


def rc_string(text):
    """A wide resource-script string: ASCII letters as they are, the rest as
    UTF-16 escapes (windres reads the script's bytes in the ANSI code page)."""
    out = []
    for ch in text:
        if ch.isascii() and (ch.isalnum() or ch in " .,-_:;!()/+@'&"):
            out.append(ch)
        else:
            unit = ch.encode("utf-16-le")
            out += [f"\\x{int.from_bytes(unit[i:i + 2], 'little'):04X}" for i in range(0, len(unit), 2)]
    return 'L"' + "".join(out) + '"'


def make_logo(source, brand_dir):
    """Fitted into 140 x 73 keeping its aspect (a smaller one is enlarged),
    centred; the mask is black where the picture is at least half opaque."""
    w, h = LOGO_SIZE
    fitted = os.path.join(brand_dir, "logo-fitted.png")
    run(["convert", source + "[0]", "-alpha", "set", "-resize", f"{w}x{h}", "-background", "none",
         "-gravity", "center", "-extent", f"{w}x{h}", "+set", "date:create", "+set", "date:modify",
         "-strip", "png32:" + fitted])
    run(["convert", fitted, "-background", LOGO_BACKGROUND, "-flatten", "-type", "TrueColor", "-strip",
         "BMP3:" + os.path.join(brand_dir, "logo.bmp")])
    run(["convert", fitted, "-alpha", "extract", "-threshold", "50%", "-negate", "-type", "bilevel", "-strip",
         "BMP3:" + os.path.join(brand_dir, "logo_mask.bmp")])
    os.remove(fitted)


def make_icon(icon, brand_dir):
    """Every size Windows asks for; an .ico that has them all stays as drawn."""
    out = os.path.join(brand_dir, "icon.ico")
    sizes = {w for w, h in icon["frames"] if w == h}
    if icon["path"].lower().endswith(".ico") and set(ICON_SIZES) <= sizes:
        with open(icon["path"], "rb") as src, open(out, "wb") as dst:
            dst.write(src.read())
        return
    # The largest frame, made square on a transparent ground, then each size.
    largest = max(range(len(icon["frames"])), key=lambda i: icon["frames"][i][0] * icon["frames"][i][1])
    side = max(icon["frames"][largest])
    frames = []
    for size in ICON_SIZES:
        frame = os.path.join(brand_dir, f"icon-{size}.png")
        run(["convert", f"{icon['path']}[{largest}]", "-alpha", "set", "-background", "none", "-gravity", "center",
             "-extent", f"{side}x{side}", "-resize", f"{size}x{size}", "+set", "date:create", "+set",
             "date:modify", "-define", "png:exclude-chunks=date,time", "-strip", "png32:" + frame])
        frames.append(frame)
    run(["convert", *frames[::-1], "-define", "png:exclude-chunks=date,time", "-strip", out])
    for frame in frames:
        os.remove(frame)


def company(brand):
    texts = brand["texts"]
    return texts.get("Company") or texts.get("Name") or None


def make(work, brand_dir):
    """Everything the branded link reads, in BRAND_DIR; brand.nsh for the installer."""
    brand = load(work)
    os.makedirs(brand_dir, exist_ok=True)
    # The folder serves one helpdesk after another: nothing of the last stays.
    for name in ("logo.bmp", "logo_mask.bmp", "icon.ico", "lodo.manifest"):
        if os.path.exists(os.path.join(brand_dir, name)):
            os.remove(os.path.join(brand_dir, name))
    defines = []
    for key, macro in SHOWN.items():
        if key in brand["texts"]:
            defines.append(f"#define LODO_TEXT_{macro} {rc_string(brand['texts'][key])}")
    if company(brand):
        defines.append(f"#define LODO_COMPANY {rc_string(company(brand))}")
    if brand["logo"]:
        make_logo(brand["logo"]["path"], brand_dir)
        defines.append(f'#define LODO_LOGO_FILE "{brand_dir}/logo.bmp"')
        defines.append(f'#define LODO_LOGO_MASK_FILE "{brand_dir}/logo_mask.bmp"')
    if brand["icon"]:
        make_icon(brand["icon"], brand_dir)
        # The installer shows it too.
        with open(os.path.join(brand_dir, "icon.ico"), "rb") as src, open(os.path.join(work, "icon.ico"), "wb") as dst:
            dst.write(src.read())
        defines.append(f'#define LODO_ICON_FILE "{brand_dir}/icon.ico"')
    # The manifest's identity names the helpdesk, not the default operator.
    with open(os.path.join(ROOT, "launcher", "lodo.manifest"), encoding="utf-8") as f:
        manifest = f.read()
    identity = re.sub(r"[^A-Za-z0-9]+", "", company(brand) or "")
    manifest = manifest.replace('name="Orvane.lodo"', f'name="{identity + "." if identity else ""}lodo"', 1)
    with open(os.path.join(brand_dir, "lodo.manifest"), "w", encoding="utf-8", newline="\n") as f:
        f.write(manifest)
    defines.append(f'#define LODO_MANIFEST_FILE "{brand_dir}/lodo.manifest"')
    # The build does not see into the files a resource script names: their
    # digests make this header, which it does see, change with them.
    digests = []
    for name in ("icon.ico", "lodo.manifest", "logo.bmp", "logo_mask.bmp"):
        if os.path.isfile(os.path.join(brand_dir, name)):
            with open(os.path.join(brand_dir, name), "rb") as f:
                digests.append(f"// {hashlib.sha256(f.read()).hexdigest()} {name}")
    header = "\n".join(["// A helpdesk's own look, generated by scripts/package.sh --client from its folder.",
                        *digests, *defines]) + "\n"
    path = os.path.join(brand_dir, "lodo-brand.rh")
    old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
    if old != header:
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(header)
    # The installer: its publisher and version resource name the helpdesk, its
    # shortcuts and its entry in the list of apps carry the title.
    nsis = lambda s: s.replace("$", "$$").replace('"', '$\\"')
    lines = []
    if company(brand):
        lines.append(f'!define PUBLISHER "{nsis(company(brand))}"')
    if "Title" in brand["texts"]:
        title = brand["texts"]["Title"]
        shortcut = re.sub(r'[\\/:*?"<>|]', "-", title).rstrip(" .") or "lodo"
        lines.append(f'!define TITLE "{nsis(title)}"')
        lines.append(f'!define SHORTCUT "{nsis(shortcut)}"')
    with open(os.path.join(work, "brand.nsh"), "w", encoding="utf-8-sig", newline="\r\n") as f:
        f.write("".join(line + "\n" for line in lines))


def spell_out(word):
    """The panel's caption: one space between letters (a letter keeps its
    accents), as the window shows it."""
    spelled = ""
    for i, ch in enumerate(word):
        spelled += ("" if i == 0 or unicodedata.combining(ch) else " ") + ch
    return spelled


def readme(work, template, out, version, zip_name):
    """The guide with the words of the package's own window."""
    words = default_texts()
    if work is not None:
        words.update({k: v for k, v in load(work)["texts"].items() if k in SHOWN})
    host = re.sub(r"\s*:?\s*$", "", words["HostLabel"])
    values = {
        "VERSION": version, "ZIP": zip_name, "CONNECT": words["Connect"], "EXIT": words["Exit"],
        "CONNECT_SPELLED": spell_out(words["Connect"]), "EXIT_SPELLED": spell_out(words["Exit"]),
        "MANUAL_ENTRY": words["ManualEntry"], "HOST_LABEL": host,
    }
    with open(template, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"@([A-Z_]+)@", lambda m: values.get(m.group(1), m.group(0)), text)
    with open(out, "w", encoding="utf-8-sig", newline="\n") as f:
        f.write(text)


def main(argv):
    # Each step is one start of Python: on a busy machine a start costs a second.
    try:
        if len(argv) == 4 and argv[1] == "check":
            print("branded" if check(argv[2], argv[3])["branded"] else "plain")
        elif len(argv) == 5 and argv[1] == "make":
            fit(argv[2], argv[3])
            make(argv[2], argv[4])
        elif len(argv) in (6, 9) and argv[1] == "readme":
            readme(None, argv[2], argv[4], argv[3], argv[5])
            if len(argv) == 9:
                readme(argv[6] or None, argv[2], argv[7], argv[3], argv[8])
        else:
            sys.exit(__doc__)
    except BrandingError as e:
        fail(str(e).splitlines())


if __name__ == "__main__":
    main(sys.argv)
