#!/usr/bin/env python3
"""A hostile site on 127.0.0.1 for measuring a crawl by hand: a robots.txt of 100,000
star-heavy rules (far beyond what is read), a start page of 300 links with 1 KB paths,
escaped dot segments past a Disallow, redirects to another port, a user name that makes
a link start with the site's address, and a redirect loop. A second server on another
port counts the requests that reach it (there should be none).

    hostile_site.py [PORT]   # prints the start address, serves until interrupted
"""
import http.server
import sys
import threading

PORT = int(sys.argv[1]) if len(sys.argv) > 1 else 0
stray = []


class Other(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        stray.append(self.path)
        print("request reached the other server:", self.path, file=sys.stderr, flush=True)
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.end_headers()
        self.wfile.write(b"<a href='/deeper'>x</a>")

    def log_message(self, *args):
        pass


other = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Other)
OTHER = other.server_address[1]
threading.Thread(target=other.serve_forever, daemon=True).start()

ROBOTS = ("\ufeffUser-agent: *\nDisallow: /private\n" +
          "".join("Disallow: /*a*a*a*a*a*a*a*a*a*a*b%d\n" % i for i in range(100000))).encode()


def start_page(port):
    # The paths hold every byte of the rules, so no rule is ruled out at a glance,
    # and match none of them, so every rule is tried on every path.
    links = ["/x/%2e%2e/private/secret.html", "/hop", "/loop",
             "http://127.0.0.1:%d@127.0.0.1:%d/at" % (port, OTHER),
             "http://127.0.0.1:%d/direct" % OTHER]
    links += ["/" + "abx" * 341 + str(i) for i in range(300)]
    return "<html><body>\n" + "\n".join("<a href=\"%s\">x</a>" % l for l in links) + "\n</body></html>\n"


class Site(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        port = self.server.server_address[1]
        if self.path == "/robots.txt":
            return self.answer(200, ROBOTS, "text/plain")
        if self.path == "/hop":
            return self.redirect("http://127.0.0.1:%d/x" % OTHER)
        if self.path == "/loop":
            return self.redirect("/loop")
        return self.answer(200, start_page(port).encode(), "text/html")

    def answer(self, status, body, kind):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, target):
        self.send_response(302)
        self.send_header("Location", target)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def log_message(self, *args):
        pass


site = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Site)
print("http://127.0.0.1:%d/" % site.server_address[1], flush=True)
try:
    site.serve_forever()
except KeyboardInterrupt:
    pass
print("requests that reached the other server: %d" % len(stray), file=sys.stderr)
