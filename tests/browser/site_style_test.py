"""The site styles, looked at in a real browser.

The sample site (sample_site.py) is rendered with quenfort-cli export once
in each built-in style but Classic (Classic is the page as designed, which
the other browser tests judge). On a phone's screen (390 by 844) and at 1,280
pixels, every page must not scroll sideways and axe-core must find no
violation (low contrast among them); Lighthouse's accessibility score of
the pages of the layouts for today's screens, on a phone, must be 100 in
every style. Screenshots of every page in each style and width go to $QF_GRAB_DIR
when it is set, for people to look at.

usage: site_style_test.py QUENFORT_CLI [TOOLS]"""

import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, find_chromium, free_port, php_server, tools_folder  # noqa: E402
import sample_site  # noqa: E402

STYLES = ("Clean", "Warm", "Calm")
# The pages Lighthouse judges in each style: those of the layouts for
# today's screens (11 to 17; the judged-pages test judges every page as
# designed).
LIGHTHOUSE_PAGES = tuple("page%d.html" % layout for layout in range(11, 18))


def lighthouse_accessibility(out, pages):
    """Lighthouse's mobile accessibility score of each page of `out`, served
    by php -S on a free port of 127.0.0.1, with the audits that failed."""
    scores = {}
    with php_server(out, free_port()) as port:
        cli = os.path.join(tools_folder(), "node_modules", "lighthouse", "cli", "index.js")
        env = dict(os.environ, CHROME_PATH=find_chromium())
        with tempfile.TemporaryDirectory() as reports:
            for page in pages:
                report = os.path.join(reports, "report.json")
                subprocess.run(["node", cli, "http://127.0.0.1:%d/%s" % (port, page), "--quiet",
                                "--output=json", "--output-path=" + report,
                                "--only-categories=accessibility",
                                "--chrome-flags=--headless=new --no-sandbox --disable-gpu "
                                "--no-first-run"], env=env, capture_output=True, timeout=240)
                if not os.path.exists(report):
                    scores[page] = (None, ["Lighthouse did not run"])
                    continue
                result = json.load(open(report))
                category = result["categories"]["accessibility"]
                failed = [ref["id"] for ref in category["auditRefs"]
                          if result["audits"][ref["id"]]["score"] not in (None, 1)
                          and ref["weight"] > 0]
                scores[page] = (round(category["score"] * 100), failed)
                os.remove(report)
    return scores


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
                            "axe.run(document).then(r => r.violations.flatMap(v => "
                            "v.nodes.map(n => v.id + ': ' + n.html.slice(0, 80))))")
                        failures += ["%s: axe: %s" % (where, html) for html in found]
                        if grab:
                            browser.screenshot(os.path.join(grab, "style_%s_%d_%s.png" % (
                                style.lower(), width, page.replace(".html", ""))))
                for page, (score, failed) in lighthouse_accessibility(
                        out, [p for p in LIGHTHOUSE_PAGES if p in pages]).items():
                    print("Lighthouse %s %s accessibility: %s" % (style, page, score))
                    if score != 100:
                        failures.append("%s %s: Lighthouse accessibility %s (%s)" % (
                            style, page, score, ", ".join(failed)))
    for failure in failures:
        print("FAIL " + failure)
    print("%d styles looked at, %d failures" % (len(STYLES), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
