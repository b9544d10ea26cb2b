"""A mail server on 127.0.0.1 for the tests: it keeps every mail it receives as two files.

Usage: local_smtp_server.py FOLDER [--auth USER:PASSWORD] [--starttls]

With --starttls the server offers STARTTLS with a self-signed certificate made for the run and
takes no mail before the client has switched to TLS.

It binds a free port, prints the port number on its first output line, then serves until its
standard input closes (so it never outlives the test that started it) or it is terminated.
Mail number N is kept as N.eml (the message exactly as received, dots unstuffed) and N.env
(the envelope sender on the first line, then one recipient a line). The mail is also read back
with Python's own mail parser, as an independent check of the encoding: N.subject, N.from,
N.to, N.cc and N.bcc hold those headers decoded (a missing header gives no file), N.body the
decoded text of the body, and N.attachment.K.name / N.attachment.K.data each attached file.
The .env is written last, so that a reader that sees it finds the whole mail. A recipient whose address begins with
"reject" is refused with "550 5.1.1 No such mailbox here".
"""

import asyncio
import logging
import warnings
import email
import email.policy
import os
import socket
import ssl
import subprocess
import sys

from aiosmtpd.smtp import SMTP, AuthResult


class Keeper:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("reject"):
            return "550 5.1.1 No such mailbox here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        write(base + ".eml", envelope.original_content)
        decode(base, envelope.original_content)
        lines = [envelope.mail_from or ""] + list(envelope.rcpt_tos)
        write(base + ".env", ("\n".join(lines) + "\n").encode("utf-8"))
        return "250 Message accepted"


def decode(base, raw):
    message = email.message_from_bytes(raw, policy=email.policy.default)
    for header in ("subject", "from", "to", "cc", "bcc"):
        if message[header] is not None:
            write(base + "." + header, str(message[header]).encode("utf-8"))
    body = message.get_body(preferencelist=("plain",))
    if body is not None:
        write(base + ".body", body.get_content().encode("utf-8"))
    for number, part in enumerate(message.iter_attachments()):
        write(base + ".attachment.%d.name" % number, (part.get_filename() or "").encode("utf-8"))
        write(base + ".attachment.%d.data" % number, part.get_payload(decode=True))


def write(path, data):
    with open(path + ".tmp", "wb") as f:
        f.write(data)
    os.replace(path + ".tmp", path)


def main():
    # The server's own notes (log-in without TLS, deprecations) are no concern of the tests.
    warnings.filterwarnings("ignore")
    logging.disable(logging.CRITICAL)
    folder = sys.argv[1]
    credentials = None
    args = sys.argv[2:]
    if len(args) >= 2 and args[0] == "--auth":
        user, _, password = args[1].partition(":")
        credentials = (user.encode(), password.encode())
        args = args[2:]
    tls = None
    if args and args[0] == "--starttls":
        key, cert = os.path.join(folder, "key.pem"), os.path.join(folder, "cert.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost",
                        "-days", "1", "-keyout", key, "-out", cert], check=True, capture_output=True)
        tls = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls.load_cert_chain(cert, key)

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = credentials is not None and (auth_data.login, auth_data.password) == credentials
        return AuthResult(success=ok, handled=False)

    keeper = Keeper(folder)
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.bind(("127.0.0.1", 0))
    sock.listen(8)

    def protocol():
        options = {"decode_data": False, "enable_SMTPUTF8": True}
        if credentials is not None:
            options.update(authenticator=authenticate, auth_require_tls=False, auth_required=True)
        if tls is not None:
            options.update(tls_context=tls, require_starttls=True)
        return SMTP(keeper, **options)

    loop = asyncio.new_event_loop()
    loop.run_until_complete(loop.create_server(protocol, sock=sock))
    print(sock.getsockname()[1], flush=True)

    def stdin_ready():
        if not os.read(sys.stdin.fileno(), 4096):
            loop.stop()

    loop.add_reader(sys.stdin.fileno(), stdin_ready)
    loop.run_forever()


if __name__ == "__main__":
    main()
