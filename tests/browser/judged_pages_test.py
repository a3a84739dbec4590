"""The rendered site judged by the clients that judge real sites: every
page of the sample site (tests/browser/sample_site.py, rendered with
quenfort-cli export) must give
- the Nu HTML checker (vnu-jar): no error;
- axe-core, run in Debian's Chromium: no violation;
- Lighthouse, served by php -S on 127.0.0.1 (the site's address, with its
  language and icon set), with its mobile and desktop presets: 100 for
  accessibility, best practices and search engines; the icon is found; with
  the mobile preset, the picture audits pass and the layout shift stays
  under 0.05.
Audits that only a real server can pass are listed apart, not failed.

    judged_pages_test.py CLI [TOOLS]
TOOLS is the folder scripts/install-test-tools.sh installs the clients in
(by default $QUENFORT_TEST_TOOLS, else ~/.cache/quenfort-test-tools).
"""
import json
import os
import subprocess
import sys
import tempfile
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, find_chromium, free_port, php_server, tools_folder  # noqa: E402
import sample_site  # noqa: E402

# Audits a page cannot pass from a file or a test server.
SERVER_ONLY = {"is-on-https", "redirects-http", "uses-http2", "uses-long-cache-ttl",
               "uses-text-compression"}
CATEGORIES = ("accessibility", "best-practices", "seo")
# What Lighthouse's mobile preset must pass of the pictures (an opportunity
# passes at a score of 0.9, as Lighthouse lists it), and the layout shift.
PICTURE_AUDITS = ("uses-responsive-images", "unsized-images", "modern-image-formats",
                  "offscreen-images", "image-size-responsive")
LARGEST_LAYOUT_SHIFT = 0.05


def nu_checker(tools, out, pages):
    jar = os.path.join(tools, "node_modules", "vnu-jar", "build", "dist", "vnu.jar")
    result = subprocess.run(["java", "-jar", jar, "--format", "json", "--errors-only"] +
                            [os.path.join(out, page) for page in pages],
                            capture_output=True, text=True, timeout=300)
    messages = json.loads(result.stderr or result.stdout or '{"messages": []}')["messages"]
    return ["Nu checker: %s:%s: %s" % (os.path.basename(m.get("url", "?")), m.get("lastLine", "?"),
                                       m.get("message", "")) for m in messages
            if m.get("type") == "error"]


def axe(tools, out, pages):
    script = open(os.path.join(tools, "node_modules", "axe-core", "axe.min.js")).read()
    failures = []
    with Browser(1280, 800) as browser:
        for page in pages:
            browser.go("file://" + os.path.join(out, page))
            browser.evaluate(script + "\n;true")
            violations = browser.evaluate(
                "axe.run(document, {resultTypes: ['violations']}).then(r => r.violations.map("
                "v => v.id + ' (' + v.nodes.length + '): ' + v.nodes[0].html.slice(0, 100)))")
            failures += ["axe: %s: %s" % (page, v) for v in violations]
    return failures


def lighthouse(tools, out, pages, port):
    failures = []
    with php_server(out, port):
        # The site's icon is found where browsers ask for it.
        try:
            with urllib.request.urlopen("http://127.0.0.1:%d/favicon.ico" % port,
                                        timeout=10) as answer:
                if answer.status != 200 or not answer.read(4) == b"\x00\x00\x01\x00":
                    failures.append("favicon.ico is no icon")
        except OSError as error:
            failures.append("favicon.ico was not found: %s" % error)
        cli = os.path.join(tools, "node_modules", "lighthouse", "cli", "index.js")
        env = dict(os.environ, CHROME_PATH=find_chromium())
        flags = ("--headless=new --no-sandbox --disable-gpu --no-first-run "
                 "--disable-background-networking --disable-component-update --disable-sync")
        with tempfile.TemporaryDirectory() as reports:
            for page in pages:
                for preset in ("mobile", "desktop"):
                    report = os.path.join(reports, "report.json")
                    # The home page is visited at the site's address, which its
                    # canonical link names.
                    address = "http://127.0.0.1:%d/%s" % (port, "" if page == "index.html" else page)
                    # The mobile preset measures the pictures too; the
                    # performance score depends on the machine's load, so it
                    # is printed (for bench/site_performance.sh), not judged.
                    categories = CATEGORIES + (("performance",) if preset == "mobile" else ())
                    command = ["node", cli, address, "--quiet",
                               "--output=json", "--output-path=" + report,
                               "--only-categories=" + ",".join(categories),
                               "--chrome-flags=" + flags]
                    if preset == "desktop":
                        command.append("--preset=desktop")
                    run = subprocess.run(command, env=env, capture_output=True, text=True,
                                         timeout=240)
                    if run.returncode != 0 or not os.path.exists(report):
                        failures.append("Lighthouse %s %s did not run: %s" %
                                        (page, preset, run.stderr[-500:]))
                        continue
                    result = json.load(open(report))
                    for name in CATEGORIES:
                        category = result["categories"][name]
                        for ref in category["auditRefs"]:
                            audit = result["audits"][ref["id"]]
                            if audit["score"] is None or audit["score"] >= 1 or ref["weight"] == 0:
                                continue
                            text = "Lighthouse %s %s %s: %s (%s)" % (
                                page, preset, name, ref["id"], audit["title"])
                            if ref["id"] in SERVER_ONLY:
                                print("server only, not failed: " + text)
                            else:
                                failures.append(text)
                        print("Lighthouse %s %s %s: %d" % (page, preset, name,
                                                          round(category["score"] * 100)))
                    if preset == "mobile":
                        audits = result["audits"]
                        for name in PICTURE_AUDITS:
                            audit = audits.get(name)
                            if audit is None:
                                failures.append("Lighthouse %s: no audit %s" % (page, name))
                            elif audit["score"] is not None and audit["score"] < 0.9:
                                failures.append("Lighthouse %s mobile %s: %s (%s)" % (
                                    page, name, audit["title"], audit.get("displayValue", "")))
                        shift = audits["cumulative-layout-shift"].get("numericValue", 1)
                        if shift >= LARGEST_LAYOUT_SHIFT:
                            failures.append("Lighthouse %s mobile: the layout shifts by %.3f" %
                                            (page, shift))
                        paint = audits["largest-contentful-paint"].get("numericValue", 0)
                        print("Lighthouse %s mobile performance: %d, largest contentful paint "
                              "%.1f s, layout shift %.3f" % (
                                  page, round(result["categories"]["performance"]["score"] * 100),
                                  paint / 1000, shift))
    return failures


def main():
    cli = os.path.abspath(sys.argv[1])
    tools = tools_folder()
    if not os.path.isdir(os.path.join(tools, "node_modules", "lighthouse")):
        print("The clients are not installed in %s: run scripts/install-test-tools.sh" % tools)
        return 1
    work = tempfile.mkdtemp(prefix="judged-pages-")
    site, pages = sample_site.make(cli, work)
    out = os.path.join(work, "out")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
    # The site as a whole, at the address Lighthouse will find it: canonical
    # links, sitemap.xml, robots.txt and the icons are all judged.
    port = free_port()
    subprocess.run([cli, "site-settings", site, "name=The Sample Bakery",
                    "address=http://127.0.0.1:%d/" % port, "language=en",
                    "icon=images/logo.png"], env=env, check=True, capture_output=True)
    subprocess.run([cli, "export", site, out], env=env, check=True, capture_output=True)
    failures = nu_checker(tools, out, pages) + axe(tools, out, pages)
    failures += lighthouse(tools, out, pages, port)
    for failure in failures:
        print("FAIL " + failure)
    print("%d pages judged, %d failures" % (len(pages), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
