"""The rendered site looks as designed: every page of a sample site (every
kind on every shipped layout, tests/browser/sample_site.py) is drawn by a
headless Chromium from its page file and from its rendering (quenfort-cli
export), and the two full-page screenshots at 1,280 CSS pixels may differ in
at most 1 % of their pixels; at 390 pixels (a phone, small-screen block on)
the rendered page is no wider than the window.

What the rendering shows better than the page file, by design, is compared
by its place alone (hidden in both screenshots): videos (a player with
controls instead of a plug-in), Flash and Shockwave (a link to the file
instead of a missing plug-in) and frames (which show the page they hold, a
page file in one and its rendering in the other).
Where standards mode draws something better than the page file's quirks
mode did, the difference is allowed and named here:
- none so far.

    rendered_pages_test.py CLI [SHOTS]   (SHOTS: a folder to keep the screenshots in)
"""
import base64
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
import sample_site  # noqa: E402

LIMIT = 0.01  # the share of pixels that may differ

# Counts the pixels that differ between two PNG screenshots, in the browser.
COMPARE = r"""(async () => {
  const load = src => new Promise((done, fail) => {
    const image = new Image(); image.onload = () => done(image); image.onerror = fail;
    image.src = src; });
  const [a, b] = await Promise.all([load(%s), load(%s)]);
  const width = Math.max(a.width, b.width), height = Math.max(a.height, b.height);
  const pixels = image => {
    const canvas = document.createElement('canvas');
    canvas.width = width; canvas.height = height;
    const context = canvas.getContext('2d');
    context.fillStyle = '#ff00ff'; context.fillRect(0, 0, width, height);
    context.drawImage(image, 0, 0);
    return context.getImageData(0, 0, width, height).data; };
  const one = pixels(a), two = pixels(b);
  let differ = 0;
  for (let i = 0; i < one.length; i += 4) {
    if (Math.abs(one[i] - two[i]) > 8 || Math.abs(one[i + 1] - two[i + 1]) > 8 ||
        Math.abs(one[i + 2] - two[i + 2]) > 8) differ++;
  }
  const canvas = document.createElement('canvas');
  canvas.width = width; canvas.height = height;
  const context = canvas.getContext('2d');
  const diff = context.createImageData(width, height);
  for (let i = 0; i < one.length; i += 4) {
    const same = Math.abs(one[i] - two[i]) <= 8 && Math.abs(one[i + 1] - two[i + 1]) <= 8 &&
        Math.abs(one[i + 2] - two[i + 2]) <= 8;
    diff.data[i] = same ? one[i] / 3 + 170 : 255; diff.data[i + 1] = same ? one[i + 1] / 3 + 170 : 0;
    diff.data[i + 2] = same ? one[i + 2] / 3 + 170 : 0; diff.data[i + 3] = 255;
  }
  context.putImageData(diff, 0, 0);
  return {differ: differ, total: width * height, a: [a.width, a.height], b: [b.width, b.height],
          diff: canvas.toDataURL('image/png')};
})()"""


def whole_page_shot(browser):
    size = browser.send("Page.getLayoutMetrics")["cssContentSize"]
    clip = {"x": 0, "y": 0, "width": size["width"], "height": size["height"], "scale": 1}
    return browser.send("Page.captureScreenshot", format="png", captureBeyondViewport=True,
                        clip=clip)["data"]


def show(browser, path, width, mobile):
    browser.send("Emulation.setDeviceMetricsOverride", width=width, height=800,
                 deviceScaleFactor=1, mobile=mobile)
    browser.go("file://" + path)
    browser.wait_until("document.readyState === 'complete' && "
                       "[...document.images].every(i => i.complete)")


HIDE_REPLACED = ("(() => { const s = document.createElement('style'); s.textContent = "
                 "'video, embed, object, iframe, .q-plugin { visibility: hidden !important }'; "
                 "document.head.appendChild(s); return true; })()")


def main():
    cli = os.path.abspath(sys.argv[1])
    shots = sys.argv[2] if len(sys.argv) > 2 else None
    work = tempfile.mkdtemp(prefix="rendered-pages-")
    site, pages = sample_site.make(cli, work)
    out = os.path.join(work, "out")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
    subprocess.run([cli, "export", site, out], env=env, check=True, capture_output=True)
    failures = []
    with Browser(1280, 800) as browser:
        for page in pages:
            data = {}
            for kind, folder in (("file", site), ("rendered", out)):
                show(browser, os.path.join(folder, page), 1280, False)
                browser.evaluate(HIDE_REPLACED)
                data[kind] = whole_page_shot(browser)
                if shots:
                    with open(os.path.join(shots, "%s_%s.png" % (page, kind)), "wb") as file:
                        file.write(base64.b64decode(data[kind]))
            browser.go("about:blank")
            result = browser.evaluate(COMPARE % (
                json.dumps("data:image/png;base64," + data["file"]),
                json.dumps("data:image/png;base64," + data["rendered"])))
            share = result["differ"] / max(1, result["total"])
            if shots:
                with open(os.path.join(shots, "%s_diff.png" % page), "wb") as file:
                    file.write(base64.b64decode(result["diff"].split(",", 1)[1]))
            print("%s: %.2f %% of pixels differ (%s against %s)" %
                  (page, share * 100, result["a"], result["b"]))
            if share > LIMIT:
                failures.append("%s: %.2f %% of the pixels differ" % (page, share * 100))
            show(browser, os.path.join(out, page), 390, True)
            wide = browser.evaluate("Math.max(document.documentElement.scrollWidth, "
                                    "document.body.scrollWidth)")
            window = browser.evaluate("window.innerWidth")
            if wide > window:
                failures.append("%s: at 390 px the rendered page is %d px wide" % (page, wide))
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
