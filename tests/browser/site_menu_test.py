"""The site menu, used as a visitor uses it, with the keyboard alone.

A project of three pages fitting small screens, each showing the site menu
(quenfort-cli site-menu), is rendered with quenfort-cli export. On a phone's
screen (390 by 844) the links are folded behind a Menu button: Tab reaches
the button, Space unfolds the links, Tab then reaches the first link, which
is shown; the page's own link is marked (aria-current). At 1,280 pixels the
links are shown in a row and the button is neither shown nor reached.
Screenshots of both go to $QF_GRAB_DIR when it is set.

usage: site_menu_test.py QUENFORT_CLI"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402

PHONE = {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True}
DESKTOP = {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False}


def run(args, env):
    result = subprocess.run(args, capture_output=True, text=True, env=env)
    if result.returncode != 0:
        raise SystemExit("failed: %s\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def press_space(browser):
    for kind in ("keyDown", "keyUp"):
        browser.send("Input.dispatchKeyEvent", type=kind, key=" ", code="Space",
                     text=" " if kind == "keyDown" else "", windowsVirtualKeyCode=32,
                     nativeVirtualKeyCode=32)


def focused(browser):
    return browser.evaluate(
        "(() => { const e = document.activeElement; return e ? e.tagName + '.' + "
        "(e.className || '') + ' ' + (e.getAttribute('href') || '') : ''; })()")


def tab_to(browser, wanted, most=12):
    """Presses Tab until the focused element's description starts with `wanted`."""
    for _ in range(most):
        browser.press("Tab")
        if focused(browser).startswith(wanted):
            return True
    return False


def main():
    cli = os.path.abspath(sys.argv[1])
    failures = []
    with tempfile.TemporaryDirectory() as work:
        env = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
        run([cli, "new-project", "site", work], env)
        site = os.path.join(work, "site")
        for name, title in (("index", "Home"), ("about", "About us"), ("contact", "Contact")):
            run([cli, "new-page", site, name, "header=" + title, "fit=1"], env)
        for name in ("index", "about", "contact"):
            page = os.path.join(site, name + ".html")
            area = run([cli, "areas", page], env).split()[0]
            run([cli, "site-menu", page, area], env)
        out = os.path.join(work, "out")
        run([cli, "export", site, out], env)
        grab = os.environ.get("QF_GRAB_DIR")
        with Browser() as browser:
            browser.send("Emulation.setDeviceMetricsOverride", **PHONE)
            browser.go("file://" + os.path.join(out, "about.html"))
            links_shown = ("getComputedStyle(document.querySelector('.q-site-menu ul'))"
                           ".display !== 'none'")
            if browser.evaluate(links_shown):
                failures.append("phone: the links are shown before the button is pressed")
            if not tab_to(browser, "INPUT.q-menu-toggle"):
                failures.append("phone: Tab never reaches the Menu button: " + focused(browser))
            press_space(browser)
            if not browser.evaluate(links_shown):
                failures.append("phone: Space on the Menu button does not unfold the links")
            browser.press("Tab")
            if not focused(browser).startswith("A"):
                failures.append("phone: Tab after the button reaches " + focused(browser))
            elif not browser.evaluate("document.activeElement.getBoundingClientRect().height > 0"):
                failures.append("phone: the link Tab reaches is not shown")
            current = browser.evaluate(
                "[...document.querySelectorAll('.q-site-menu [aria-current=page]')]"
                ".map(a => a.getAttribute('href')).join(' ')")
            if current != "about.html":
                failures.append("the page's own link is not the one marked: '%s'" % current)
            if browser.evaluate("document.documentElement.scrollWidth > innerWidth"):
                failures.append("phone: the page scrolls sideways")
            if grab:
                browser.screenshot(os.path.join(grab, "site_menu_390.png"))

            browser.send("Emulation.setDeviceMetricsOverride", **DESKTOP)
            browser.go("file://" + os.path.join(out, "about.html"))
            if not browser.evaluate(links_shown):
                failures.append("desktop: the links are not shown")
            if browser.evaluate("getComputedStyle(document.querySelector('.q-menu-button'))"
                                ".display !== 'none'"):
                failures.append("desktop: the Menu button is shown")
            if tab_to(browser, "INPUT", 4):
                failures.append("desktop: Tab reaches the hidden Menu button")
            if grab:
                browser.screenshot(os.path.join(grab, "site_menu_1280.png"))
    for failure in failures:
        print("FAIL " + failure)
    print("site menu: %d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
