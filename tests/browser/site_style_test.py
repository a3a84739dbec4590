"""The site styles, looked at in a real browser.

The sample site (sample_site.py) is rendered with quenfort-cli export once
in each built-in style but Classic (Classic is the page as designed, which
the other browser tests judge). On a phone's screen (390 by 844) and at 1,280
pixels, every page must not scroll sideways and axe-core must find no text
whose contrast is too low. Screenshots of the home page in each style and
width go to $QF_GRAB_DIR when it is set, for people to look at.

usage: site_style_test.py QUENFORT_CLI [TOOLS]"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, tools_folder  # noqa: E402
import sample_site  # noqa: E402

STYLES = ("Clean", "Warm", "Calm")
SCREENS = {
    390: {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True},
    1280: {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False},
}


def main():
    cli = os.path.abspath(sys.argv[1])
    axe_file = os.path.join(tools_folder(), "node_modules", "axe-core", "axe.min.js")
    if not os.path.exists(axe_file):
        print("axe-core is not installed: run scripts/install-test-tools.sh")
        return 1
    axe = open(axe_file).read()
    grab = os.environ.get("QF_GRAB_DIR")
    failures = []
    with tempfile.TemporaryDirectory() as work:
        site, pages = sample_site.make(cli, work)
        env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
        with Browser() as browser:
            for style in STYLES:
                subprocess.run([cli, "site-settings", site, "style=" + style], env=env,
                               check=True, capture_output=True)
                out = os.path.join(work, "out-" + style)
                subprocess.run([cli, "export", site, out], env=env, check=True,
                               capture_output=True)
                for width, metrics in SCREENS.items():
                    browser.send("Emulation.setDeviceMetricsOverride", **metrics)
                    for page in pages:
                        browser.go("file://" + os.path.join(out, page))
                        where = "%s %d %s" % (style, width, page)
                        if browser.evaluate("document.documentElement.scrollWidth > innerWidth"):
                            failures.append(where + ": the page scrolls sideways")
                        browser.evaluate(axe + "\n;true")
                        found = browser.evaluate(
                            "axe.run(document, {runOnly: ['color-contrast']}).then(r => "
                            "r.violations.flatMap(v => v.nodes.map(n => n.html.slice(0, 80))))")
                        failures += ["%s: contrast too low: %s" % (where, html) for html in found]
                        if grab and page == pages[0]:
                            browser.screenshot(os.path.join(
                                grab, "style_%s_%d.png" % (style.lower(), width)))
    for failure in failures:
        print("FAIL " + failure)
    print("%d styles looked at, %d failures" % (len(STYLES), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
