#!/usr/bin/env python3
"""Checks a crawl under the standard link rules against an independent reference.

Serves a directory of HTML files (a documentation tree) from a loopback server,
crawls it with the program (--links standard, and --links classic for comparison),
crawls it again with this script's own reading of the same rules, built on Python's
html.parser and urllib.parse instead of the program's parser and libcurl, and
compares the pages, their in-links, out-links, depths and statuses.

    reference_crawl.py --plovik build/bin/plovik --tree /usr/share/doc/git-doc

The program pauses 1 s between pages, so a tree of a few hundred pages takes
minutes. Exit status 0 when both crawls agree.
"""

import argparse
import csv
import functools
import html.parser
import http.server
import io
import os
import re
import subprocess
import sys
import threading
import urllib.error
import urllib.parse
import urllib.request
from collections import deque

SKIPPED_EXTENSIONS = (".jpg", ".png", ".gif", ".pdf", ".msi", ".exe", ".doc",
                      ".xls", ".zip", ".mp3", ".ram", ".mpg", ".avi", ".vcf")
DEFAULT_PORTS = {"http": 80, "https": 443}
# RFC 3986 reg-name and userinfo characters (unreserved, pct-encoded, sub-delims).
REG_NAME = re.compile(r"^[A-Za-z0-9\-._~%!$&'()*+,;=]+$")
USER_INFO = re.compile(r"^[A-Za-z0-9\-._~%!$&'()*+,;=:]*$")


# ---------------------------------------------------------------- addresses

def encode_odd_bytes(text):
    out = []
    for b in text.encode("utf-8", "surrogateescape"):
        out.append("%%%02X" % b if b <= 0x20 or b >= 0x7F else chr(b))
    return "".join(out)


def remove_dot_segments(path):
    """RFC 3986, 5.2.4."""
    output = []
    while path:
        if path.startswith("../"):
            path = path[3:]
        elif path.startswith("./"):
            path = path[2:]
        elif path.startswith("/./"):
            path = path[2:]
        elif path == "/.":
            path = "/"
        elif path.startswith("/../"):
            path = path[3:]
            if output:
                output.pop()
        elif path == "/..":
            path = "/"
            if output:
                output.pop()
        elif path in (".", ".."):
            path = ""
        else:
            start = 1 if path.startswith("/") else 0
            end = path.find("/", start)
            if end < 0:
                end = len(path)
            output.append(path[:end])
            path = path[end:]
    return "".join(output)


def normalise(url):
    """The normal form of an absolute http(s) address, or None."""
    parts = urllib.parse.urlsplit(url)
    scheme = parts.scheme.lower()
    if scheme not in DEFAULT_PORTS or not parts.hostname:
        return None
    try:
        port = parts.port
    except ValueError:
        return None
    netloc = parts.hostname.lower()
    if ":" in netloc:
        netloc = "[%s]" % netloc  # an IPv6 literal
    elif not REG_NAME.match(netloc):
        return None
    if "@" in parts.netloc:
        user_info = parts.netloc.rsplit("@", 1)[0]
        if not USER_INFO.match(user_info):
            return None
        netloc = user_info + "@" + netloc
    if port is not None and port != DEFAULT_PORTS[scheme]:
        netloc += ":%d" % port
    path = remove_dot_segments(parts.path) or "/"
    query = "?" + parts.query if parts.query else ""
    return "%s://%s%s%s" % (scheme, netloc, path, query)


def resolve(base, ref):
    ref = encode_odd_bytes(ref.strip(" \t\n\f\r"))
    if not ref or ref.startswith("#"):
        return normalise(base)
    return normalise(urllib.parse.urljoin(base, ref))


def site_of(url):
    parts = urllib.parse.urlsplit(url)
    port = parts.port or DEFAULT_PORTS[parts.scheme]
    return parts.hostname, 0 if port == DEFAULT_PORTS[parts.scheme] else port


# ---------------------------------------------------------------- pages

class HrefCollector(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.hrefs = []
        self.base = None

    def handle_starttag(self, tag, attrs):
        hrefs = [v if v is not None else "" for (k, v) in attrs if k == "href"]
        if not hrefs:
            return
        if tag in ("a", "area"):
            self.hrefs.append(hrefs[0])
        elif tag == "base" and self.base is None:
            self.base = hrefs[0]


def page_links(text, final_url):
    collector = HrefCollector()
    collector.feed(text)
    collector.close()
    base = final_url
    if collector.base is not None:
        base = resolve(final_url, collector.base) or final_url
    links = []
    for href in collector.hrefs:
        link = resolve(base, href)
        if link and not urllib.parse.urlsplit(link).path.lower().endswith(SKIPPED_EXTENSIONS):
            links.append(link)
    return links


def fetch(url):
    """(status, final address, text); status -1 when none was received."""
    opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
    request = urllib.request.Request(url, headers={"Accept": "text/*", "User-Agent": "Plovik"})
    try:
        with opener.open(request, timeout=30) as response:
            return response.status, response.geturl(), response.read().decode("utf-8", "replace")
    except urllib.error.HTTPError as error:
        return error.code, url, ""
    except (urllib.error.URLError, OSError):
        return -1, url, ""


# ---------------------------------------------------------------- the crawl

def reference_crawl(start, max_pages):
    """The engine's breadth-first crawl: {address: [in, out, depth, status]}."""
    status, _, _ = fetch(urllib.parse.urljoin(start, "/robots.txt"))
    if status == 200:
        sys.exit("the reference crawl has no robots.txt rules: serve a tree without one")
    table = {}
    start_site = site_of(start)
    queue = deque([(start, 0)])
    processed = 0
    while queue:
        url, depth = queue.popleft()
        status, final_url, text = fetch(url)
        links = page_links(text, final_url) if status == 200 else []
        record = table.setdefault(url, [0, 0, depth, 0])
        record[1], record[3] = len(links), status
        for link in links:
            variant = link[:-1] if link.endswith("/") else link + "/"
            known = link if link in table else variant if variant in table else None
            if known is not None:
                table[known][0] += 1
                continue
            table[link] = [1, 0, depth + 1, 0]
            if site_of(link) == start_site:
                queue.append((link, depth + 1))
        processed += 1
        if processed >= max_pages:
            break
    return table


def program_crawl(plovik, start, max_pages, rules):
    env = dict(os.environ, no_proxy="127.0.0.1,localhost", NO_PROXY="127.0.0.1,localhost")
    result = subprocess.run([plovik, "--crawl", start, "--links", rules, "--pages", str(max_pages),
                             "--iterations", "0", "--format", "csv"],
                            capture_output=True, text=True, env=env, check=True)
    table = {}
    for row in csv.DictReader(io.StringIO(result.stdout)):
        page = row["Page"]
        url = page if page.startswith("https://") else "http://" + page
        table[url] = [int(row["In"]), int(row["Out"]), int(row["Depth"]), int(row["Status"])]
    return table


def serve(directory):
    handler = functools.partial(QuietHandler, directory=directory)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--plovik", required=True, help="the program")
    parser.add_argument("--tree", required=True, help="directory of HTML files to serve")
    parser.add_argument("--start", default="/", help="path of the start page (default /)")
    parser.add_argument("--pages", type=int, default=1000, help="page limit (default 1000)")
    parser.add_argument("--no-classic", action="store_true", help="skip the classic crawl")
    args = parser.parse_args()

    server = serve(args.tree)
    start = "http://127.0.0.1:%d%s" % (server.server_address[1], args.start)
    expected = reference_crawl(start, args.pages)
    got = program_crawl(args.plovik, start, args.pages, "standard")

    fetched = sum(1 for r in expected.values() if r[3] != 0)
    print("reference: %d rows, %d pages fetched" % (len(expected), fetched))
    print("standard:  %d rows, %d pages fetched" % (len(got), sum(1 for r in got.values() if r[3] != 0)))
    if not args.no_classic:
        classic = program_crawl(args.plovik, start, args.pages, "classic")
        print("classic:   %d rows, %d pages fetched" % (len(classic), sum(1 for r in classic.values() if r[3] != 0)))

    differences = 0
    for url in sorted(set(expected) | set(got)):
        want, have = expected.get(url), got.get(url)
        if want != have:
            differences += 1
            if differences <= 20:
                print("differs: %s reference %s program %s (in, out, depth, status)" % (url, want, have))
    links = sum(r[1] for r in expected.values())
    print("%d links compared; %d rows differ" % (links, differences))
    server.shutdown()
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
