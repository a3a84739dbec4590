"""A contact form made with quenfort-cli, filled in a real browser as a
visitor fills it (typing, and clicking the labels to reach the fields),
sent to its feedback script run by php-cgi behind PHP's built-in server,
and every value found in the mail the script hands to sendmail.

usage: contact_form_test.py QUENFORT_CLI"""

import email
import email.policy
import os
import socket
import subprocess
import sys
import tempfile
import textwrap
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402

# Every field kind of the Forms tab, each with a label, and what the visitor
# does with it: type into it, press keys in it, or click a label.
FIELDS = [
    ("Input_Text", {"name": "name", "label": "Your name", "width": "200"}),
    ("Input_Text", {"name": "email", "label": "Your email address"}),
    ("Input_Pass", {"name": "secret", "label": "A password", "maxlength": "20"}),
    ("TextArea", {"name": "comments", "label": "Comments", "width": "40"}),
    ("Drop_List", {"name": "size", "label": "Size", "options": "S\nM\nL"}),
    ("ListBox", {"name": "colour", "label": "Colour", "options": "Red\nGreen\nBlue"}),
    ("CheckBox", {"name": "newsletter", "label": "Send me the news", "value": "Wanted"}),
    ("CheckBox", {"name": "unticked", "label": "Left alone", "value": "Never"}),
    ("Radio_Group", {"name": "contact", "label": "Contact me by", "choices": "Phone\nPost\nMail",
                     "chosen": "1"}),
    ("Button", {"value": "Send"}),
    ("Reset", {}),
]

TYPED = {
    "name": "J\u00f6rg O'Neil \"Joe\"",
    "email": "joe@example.net",
    "secret": "s3cr\u00e9t",
    "comments": "First line, \u20ac 5",
}


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, **kwargs)
    if result.returncode != 0:
        raise SystemExit("failed: %s\n%s%s" % (" ".join(args), result.stdout, result.stderr))
    return result.stdout


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


ROUTER = r"""<?php
// Hands every .php request to php-cgi, as a web server's CGI would; other
// files are served by the built-in server itself.
$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);
if (substr($path, -4) !== '.php') {
    return false;
}
$script = $_SERVER['DOCUMENT_ROOT'] . $path;
$environment = array(
    'GATEWAY_INTERFACE' => 'CGI/1.1',
    'REDIRECT_STATUS' => '200',
    'REQUEST_METHOD' => $_SERVER['REQUEST_METHOD'],
    'SCRIPT_FILENAME' => $script,
    'SCRIPT_NAME' => $path,
    'REQUEST_URI' => $_SERVER['REQUEST_URI'],
    'QUERY_STRING' => isset($_SERVER['QUERY_STRING']) ? $_SERVER['QUERY_STRING'] : '',
    'SERVER_PROTOCOL' => $_SERVER['SERVER_PROTOCOL'],
    'CONTENT_TYPE' => isset($_SERVER['CONTENT_TYPE']) ? $_SERVER['CONTENT_TYPE'] : '',
    'CONTENT_LENGTH' => isset($_SERVER['CONTENT_LENGTH']) ? $_SERVER['CONTENT_LENGTH'] : '',
    'PATH' => getenv('PATH'),
    'PHP_INI_SCAN_DIR' => getenv('CGI_INI_DIR'),
);
$process = proc_open('php-cgi', array(0 => array('pipe', 'r'), 1 => array('pipe', 'w')),
                     $pipes, null, $environment);
fwrite($pipes[0], file_get_contents('php://input'));
fclose($pipes[0]);
$output = stream_get_contents($pipes[1]);
fclose($pipes[1]);
proc_close($process);
$split = strpos($output, "\r\n\r\n");
foreach (explode("\r\n", substr($output, 0, $split)) as $header) {
    header($header);
}
echo substr($output, $split + 4);
"""


def main():
    cli = os.path.abspath(sys.argv[1])
    work = tempfile.mkdtemp(prefix="contact-form-")
    environment = dict(os.environ, XDG_DATA_HOME=os.path.join(work, "data"))
    site = os.path.join(work, "site")
    run([cli, "new-project", "site", work], env=environment)
    run([cli, "new-page", site, "contact", "layout=1"], env=environment)
    for page in ("thanks", "sorry"):
        run([cli, "new-page", site, page, "layout=1"], env=environment)
    contact = os.path.join(site, "contact.html")
    # As the editor's hint says: the form first, with no script yet, then the
    # fields, the script, and the form prepared again to choose the script.
    run([cli, "form", contact, "target="], env=environment)
    for kind, values in FIELDS:
        run([cli, "insert", contact, "Area1", kind] +
            ["%s=%s" % (field, value) for field, value in values.items()], env=environment)
    run([cli, "php", site, "feedback", "form-page=contact.html", "recipient=owner@example.org",
         "success=thanks.html", "failure=sorry.html"], env=environment)
    run([cli, "form", contact, "target=feedback.php"], env=environment)
    with open(contact, encoding="latin-1") as page:
        forms = page.read().count("<form ")
    if forms != 1:
        raise SystemExit("preparing the form twice left %d forms in the page" % forms)

    mail = os.path.join(work, "mail.eml")
    sendmail = os.path.join(work, "sendmail.sh")
    with open(sendmail, "w") as file:
        file.write("#!/bin/sh\ncat > '%s'\n" % mail)
    os.chmod(sendmail, 0o755)
    ini = os.path.join(work, "ini")
    os.mkdir(ini)
    with open(os.path.join(ini, "mail.ini"), "w") as file:
        file.write("sendmail_path=%s\ndisplay_errors=1\nerror_reporting=E_ALL\n" % sendmail)
    router = os.path.join(work, "router.php")
    with open(router, "w") as file:
        file.write(ROUTER)

    port = free_port()
    server = subprocess.Popen(["php", "-S", "127.0.0.1:%d" % port, "-t", site, router],
                              env=dict(environment, CGI_INI_DIR=ini),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = []
    try:
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                time.sleep(0.1)
        with Browser() as browser:
            fill_and_send(browser, "http://127.0.0.1:%d/contact.html" % port, failures)
            shot = os.environ.get("BROWSER_SHOTS")
            if shot:
                browser.screenshot(os.path.join(shot, "contact_form_sent.png"))
    finally:
        server.terminate()
        server.wait()

    if not os.path.exists(mail):
        failures.append("no mail was sent")
    else:
        check_mail(open(mail, "rb").read(), failures)
    if failures:
        print("\n".join(failures))
        print("(the test's files are in %s)" % work)
        return 1
    print("every value reached the mail")
    return 0


def fill_and_send(browser, url, failures):
    browser.go(url)
    shot = os.environ.get("BROWSER_SHOTS")

    def focused():
        return browser.evaluate("document.activeElement && document.activeElement.name")

    def reach(label_for, name):
        browser.click('label[for="%s"]' % label_for)
        if focused() != name:
            failures.append("clicking the label of %s did not reach it (focus: %r)"
                            % (name, focused()))

    for name, text in TYPED.items():
        reach("field-" + name, name)
        browser.type(text)
    # The drop-down list and the list box: reached by their labels, chosen
    # by keys as a visitor without a mouse would.
    reach("field-size", "size")
    browser.press("ArrowDown")
    browser.press("ArrowDown")
    reach("field-colour", "colour")
    browser.press("ArrowDown")
    browser.press("ArrowDown")
    # A tap on a check box's or a choice's text ticks or chooses it.
    browser.click('label[for="field-newsletter"]')
    browser.click('label[for="field-contact-3"]')
    shown = browser.evaluate(
        "JSON.stringify(Array.from(new FormData(document.forms[0]).entries()))")
    if shot:
        browser.screenshot(os.path.join(shot, "contact_form_filled.png"))
    browser.click('input[type="submit"]')
    try:
        browser.wait_until("location.pathname.endsWith('/thanks.html')", timeout=20)
    except Exception as error:  # noqa: BLE001
        failures.append("the visitor was not sent on to the success page: %s (form data %s)"
                        % (error, shown))


def check_mail(raw, failures):
    try:
        message = email.message_from_bytes(raw, policy=email.policy.strict)
        body = message.get_content()
    except Exception as error:  # noqa: BLE001
        failures.append("the mail does not parse: %r\n%s" % (error, raw))
        return
    if message.get_content_type() != "text/plain" or message.get_content_charset() != "utf-8":
        failures.append("the mail is not plain UTF-8 text: " + str(message["Content-Type"]))
    if str(message["From"]) != "owner@example.org":
        failures.append("From is " + str(message["From"]))
    if str(message["Reply-To"]) != TYPED["email"]:
        failures.append("Reply-To is " + str(message["Reply-To"]))
    expected = ["%s: %s" % (name, text) for name, text in TYPED.items()] + [
        "size: M", "colour: Green", "newsletter: Wanted", "unticked: ", "contact: Mail"]
    lines = body.split("\r\n") if "\r\n" in body else body.split("\n")
    for line in expected:
        if line not in lines:
            failures.append("the mail lacks the line %r; it reads:\n%s"
                            % (line, textwrap.indent(body, "  ")))


if __name__ == "__main__":
    sys.exit(main())
