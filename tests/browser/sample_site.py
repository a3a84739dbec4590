"""Makes a sample site with quenfort-cli: a page for every shipped layout,
every area filled with components of every kind (pictures made here, so the
site needs nothing from outside), a form posting to its script, and the
small-screen block on every page.

    sample_site.py CLI FOLDER   -> FOLDER/site, the project
"""
import base64
import os
import subprocess
import sys
import zlib
import struct


def png(width, height, rgb):
    """A plain PNG of one colour."""
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


# Kinds and their fields, in the order they go into the areas; the form's
# button goes right after its last field, in the same area.
SEND_BUTTON = ("Button", {"value": "Send"})
COMPONENTS = [
    ("Text", {"text": "Fresh bread every morning. We bake with flour from the mill.",
              "face": "Arial", "size": "4", "bold": "1", "color": "#663300"}),
    ("Image", {"src": "images/loaf.png", "width": "120", "height": "80", "alt": "A loaf",
               "align": "left", "border": "0"}),
    ("Text_Link", {"href": "page2.html", "text": "Our breads", "status": "Breads",
                   "hovercolor": "#FF0000", "face": "Verdana", "size": "2"}),
    ("Mail_Link", {"email": "shop@example.org", "text": "Write to us", "face": "Arial"}),
    ("Hr", {"width": "80", "size": "2", "align": "center", "color": "#999999"}),
    ("Subscript", {"text": "H", "sub": "2", "face": "Arial"}),
    ("Superscript", {"text": "m", "sup": "2", "face": "Arial"}),
    ("Bullet_Item_List", {"items": "Rye\nSpelt\nWheat", "face": "Arial"}),
    ("Item_List", {"items": "Monday\nTuesday", "face": "Arial"}),
    ("Spaced_List", {"items": "Cakes\nTarts", "face": "Arial"}),
    ("Link_Img", {"href": "index.html", "src": "images/logo.png", "width": "60",
                  "height": "40", "alt": "Home", "border": "0"}),
    ("Roll_Img", {"src": "images/off.png", "rollover": "images/on.png", "href": "index.html",
                  "alt": "Switch", "width": "50", "height": "30"}),
    ("Data_Table", {"rows": "2", "cols": "2", "border": "1", "padding": "4", "width": "200",
                    "cell.1.1": "Bread", "cell.1.2": "2.50", "cell.2.1": "Cake",
                    "cell.2.2": "3.00"}),
    ("Frame", {"src": "page2.html", "width": "200", "height": "100"}),
    ("Input_Text", {"name": "name", "label": "Your name:", "width": "20", "maxlength": "60"}),
    ("TextArea", {"name": "message", "label": "Message:", "width": "30"}),
    ("Drop_List", {"name": "bread", "label": "Bread:", "options": "Rye\nSpelt"}),
    ("CheckBox", {"name": "news", "label": "Send news"}),
    ("Video", {"src": "media/clip.mp4", "width": "160", "height": "120"}),
    ("Flash", {"src": "media/old.swf", "width": "100", "height": "50"}),
]


def run(arguments, env):
    result = subprocess.run(arguments, env=env, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit("%s failed: %s" % (" ".join(arguments), result.stderr))
    return result.stdout


def make(cli, folder):
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(folder, "data"))
    site = os.path.join(folder, "site")
    run([cli, "new-project", "site", folder], env)
    os.makedirs(os.path.join(site, "images"), exist_ok=True)
    os.makedirs(os.path.join(site, "media"), exist_ok=True)
    # Twice the size they are shown at, as pictures for screens of today are.
    for name, size, colour in [("loaf", (240, 160), (200, 150, 90)),
                               ("logo", (120, 80), (40, 90, 160)),
                               ("off", (100, 60), (30, 120, 30)),
                               ("on", (100, 60), (160, 30, 30))]:
        with open(os.path.join(site, "images", name + ".png"), "wb") as file:
            file.write(png(size[0], size[1], colour))
    for name in ("clip.mp4", "old.swf"):
        open(os.path.join(site, "media", name), "wb").close()
    layouts = [line for line in run([cli, "layouts"], env).split()]
    pages = []
    for number, layout in enumerate(layouts, start=1):
        name = "index" if number == 1 else "page%d" % number
        run([cli, "new-page", site, name, "layout=" + layout, "header=Bakery page %d" % number,
             "fit=1"], env)
        page = os.path.join(site, name + ".html")
        areas = run([cli, "areas", page], env).split()
        for index, (kind, values) in enumerate(COMPONENTS):
            area = areas[index % len(areas)]
            for kind, values in [(kind, values)] + ([SEND_BUTTON] if kind == "CheckBox" else []):
                run([cli, "insert", page, area, kind] +
                    ["%s=%s" % (field, value) for field, value in values.items()], env)
        run([cli, "form", page, "target=mail.php"], env)
        pages.append(name + ".html")
    run([cli, "php", site, "mail", "form-page=index.html", "recipient=shop@example.org",
         "success=index.html", "failure=index.html"], env)
    return site, pages


if __name__ == "__main__":
    site, pages = make(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    print(site)
