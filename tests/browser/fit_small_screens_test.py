"""Pages made fit for small screens, looked at in a real browser.

For every layout the application folder ships, a page is made with
quenfort-cli (fitting small screens, as new pages do) and every area filled
with a text holding an over-long word and a picture 1,200 pixels wide; a copy
has the fit taken out again with page-properties fit=0. On a phone's screen
(390 by 844, as a phone shows pages) the fitted page must not scroll sideways
and its text must be at least 12 CSS pixels; at 1,280 pixels it must look
exactly, pixel for pixel, as the copy without the fit.

usage: fit_small_screens_test.py QUENFORT_CLI"""

import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402

PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True}
DESKTOP = {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False}
LONG_WORD = "Donaudampfschifffahrtsgesellschaftskapitaenswitwenrentenauszahlungsstelle" * 2
SMALLEST_TEXT = 12.0


def run(args, env):
    result = subprocess.run(args, capture_output=True, text=True, env=env)
    if result.returncode != 0:
        raise SystemExit("failed: %s\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def write_picture(path, width, height):
    """A picture in stripes, so a scaled or moved picture shows in a screenshot."""
    row = b"".join(bytes((40 * (x // 100 % 6), 120, 255 - x % 256)) for x in range(width))
    raw = b"".join(b"\0" + row for _ in range(height))
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" +
                   png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                   png_chunk(b"IDAT", zlib.compress(raw)) + png_chunk(b"IEND", b""))


def png_pixels(data):
    """The size and the unfiltered rows of an 8-bit RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, compressed = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour in (2, 6), "an unexpected PNG format"
            step = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            compressed += body
        pos += 12 + length
    raw = zlib.decompress(compressed)
    stride = width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                guess = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + guess) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def whole_page_shot(browser):
    """The whole page as drawn (beyond the window too), as PNG bytes."""
    size = browser.send("Page.getLayoutMetrics")["cssContentSize"]
    clip = {"x": 0, "y": 0, "width": size["width"], "height": size["height"], "scale": 1}
    data = browser.send("Page.captureScreenshot", format="png", captureBeyondViewport=True,
                        clip=clip)["data"]
    return base64.b64decode(data)


# What the phone shows: how wide the document is beside the window, and the
# smallest text drawn (its computed size times the page's zoom).
MEASURE = r"""(() => {
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  let smallest = Infinity, texts = 0, words = 0;
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (!node.textContent.trim()) continue;
    const size = parseFloat(getComputedStyle(node.parentElement).fontSize);
    smallest = Math.min(smallest, size * visualViewport.scale);
    texts++;
    if (node.textContent.includes(%s)) words++;
  }
  const pictures = [...document.images].filter(i => i.naturalWidth === 1200);
  return {
    document: Math.max(document.documentElement.scrollWidth, document.body.scrollWidth),
    window: window.innerWidth,
    scale: visualViewport.scale,
    smallest: smallest,
    texts: texts,
    words: words,
    pictures: pictures.length,
    widest_picture: Math.max(0, ...pictures.map(i => i.getBoundingClientRect().right)),
    thinnest_picture: Math.min(...pictures.map(i => i.getBoundingClientRect().width)),
    narrowest_area: Math.min(...[...document.querySelectorAll(
        "table[valign] > tbody > tr > td, table[role=presentation] > tbody > tr > td")]
        .map(c => c.getBoundingClientRect().width)),
  };
})()""" % json.dumps(LONG_WORD[:20])


# How far below its area's top the text "At the top" starts.
VALIGN_GAP = r"""(() => {
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (!/At the\s+top/.test(node.data)) continue;
    const range = document.createRange();
    range.selectNodeContents(node);
    const cell = node.parentElement.closest("td");
    return range.getBoundingClientRect().top - cell.getBoundingClientRect().top;
  }
  return null;
})()"""


def show(browser, metrics, path, pictures=True):
    """`pictures`: wait for every picture too (a rendered page loads those
    below the first screen only as they come into view)."""
    browser.send("Emulation.setDeviceMetricsOverride", **metrics)
    browser.go("file://" + path)
    browser.wait_until("document.readyState === 'complete'" +
                       (" && [...document.images].every(i => i.complete)" if pictures else ""))


def main():
    cli = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="fit-small-screens-")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
    site = os.path.join(work, "site")
    run([cli, "new-project", "site", work], env)
    picture = os.path.join(work, "wide.png")
    write_picture(picture, 1200, 240)
    location = run([cli, "import-picture", site, picture], env).strip()
    text = "Text in this area " + LONG_WORD + " and the rest of it."

    layouts = run([cli, "layouts"], env).split()
    failures = []
    pages = []
    rendered_pages = []
    for layout in layouts:
        name = "layout%s" % layout
        run([cli, "new-page", site, name, "layout=" + layout, "header=Layout " + layout], env)
        fitted = os.path.join(site, name + ".html")
        areas = run([cli, "areas", fitted], env).split()
        for area in areas:
            run([cli, "insert", fitted, area, "Text", "text=" + text], env)
            run([cli, "insert", fitted, area, "Image", "src=" + location, "alt=Wide"], env)
        plain = os.path.join(site, name + "-plain.html")
        shutil.copyfile(fitted, plain)
        run([cli, "page-properties", plain, "fit=0"], env)
        # The same page as published: rendered, its areas found by their class.
        rendered = os.path.join(site, name + "-rendered.html")
        with open(rendered, "w", encoding="utf-8") as out:
            out.write(run([cli, "render", fitted], env))
        pages.append((layout, fitted, plain, len(areas)))
        rendered_pages.append((layout, rendered))

    # A sidebar (Area2 of the third layout, valign top as the layout writes
    # it) beside a column made taller by a picture: the sidebar's text stands
    # at its top, in the page file and as published.
    tall = os.path.join(work, "tall.png")
    write_picture(tall, 100, 900)
    tall_location = run([cli, "import-picture", site, tall], env).strip()
    valign = os.path.join(site, "valign.html")
    run([cli, "new-page", site, "valign", "layout=3"], env)
    run([cli, "insert", valign, "Area2", "Text", "text=At the top"], env)
    run([cli, "insert", valign, "Area3", "Image", "src=" + tall_location, "alt=Tall"], env)
    valign_published = os.path.join(work, "valign-published.html")
    with open(valign_published, "w", encoding="utf-8") as out:
        out.write(run([cli, "render", valign], env))

    shots = os.environ.get("BROWSER_SHOTS")
    with Browser() as browser:
        for path in (valign, valign_published):
            show(browser, DESKTOP, path)
            gap = browser.evaluate(VALIGN_GAP)
            if gap is None or gap > 60:
                failures.append("%s: the text of a top-aligned area stands %s px below the "
                                "area's top" % (os.path.basename(path), gap))
        for layout, fitted, plain, areas in pages:
            where = "layout %s: " % layout
            show(browser, PHONE, fitted)
            seen = browser.evaluate(MEASURE)
            if shots:
                browser.screenshot(os.path.join(shots, "fit_layout%s_phone.png" % layout))
            if seen["texts"] < areas or seen["words"] < areas or seen["pictures"] != areas:
                failures.append(where + "the page does not show what was put in: %r" % seen)
            if seen["window"] != PHONE["width"] or seen["scale"] != 1:
                failures.append(where + "the phone lays the page out %s px wide at a zoom of "
                                "%s instead of its own width" % (seen["window"], seen["scale"]))
            if seen["document"] > PHONE["width"] or seen["widest_picture"] > PHONE["width"]:
                failures.append(where + "the page scrolls sideways on a phone: %r" % seen)
            if seen["thinnest_picture"] < PHONE["width"] / 2:
                failures.append(where + "a picture shrank far below the screen: %r" % seen)
            if seen["smallest"] < SMALLEST_TEXT:
                failures.append(where + "text is shown at %s px on a phone" % seen["smallest"])
            if seen["narrowest_area"] < PHONE["width"] / 2:
                failures.append(where + "areas stand side by side on a phone: %r" % seen)

            # The same page without the fit is what a phone showed before: the
            # measure tells the two apart.
            show(browser, PHONE, plain)
            before = browser.evaluate(MEASURE)
            if before["document"] <= PHONE["width"] and before["scale"] == 1:
                failures.append(where + "the page without the fit already fits a phone, so "
                                "this test shows nothing: %r" % before)

            shown = []
            for path in (fitted, plain):
                show(browser, DESKTOP, path)
                shown.append(whole_page_shot(browser))
            if shown[0] != shown[1]:
                wide, high, rows = png_pixels(shown[0])
                plain_wide, plain_high, plain_rows = png_pixels(shown[1])
                if (wide, high) != (plain_wide, plain_high):
                    failures.append(where + "at 1280 px the page is %dx%d, without the fit "
                                    "%dx%d" % (wide, high, plain_wide, plain_high))
                else:
                    differing = [y for y in range(high) if rows[y] != plain_rows[y]]
                    if differing:
                        failures.append(where + "at 1280 px %d rows of pixels differ from the "
                                        "page without the fit, the first at y=%d"
                                        % (len(differing), differing[0]))
            if shots:
                with open(os.path.join(shots, "fit_layout%s_desktop.png" % layout), "wb") as f:
                    f.write(shown[0])

        # As published, the areas stand one under the other on a phone too.
        for layout, rendered in rendered_pages:
            show(browser, PHONE, rendered, pictures=False)
            seen = browser.evaluate(MEASURE)
            if seen["document"] > PHONE["width"] or seen["narrowest_area"] < PHONE["width"] / 2:
                failures.append("layout %s as published: the page does not fit a phone: %r"
                                % (layout, seen))

    if not pages:
        failures.append("no layouts were found")
    if failures:
        print("\n".join(failures))
        print("(the test's files are in %s)" % work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("%d layouts fit a phone and look the same at 1280 px" % len(pages))
    return 0


if __name__ == "__main__":
    sys.exit(main())
