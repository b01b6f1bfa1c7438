"""A real SMTP peer for Pelicast's tests, on Debian's aiosmtpd.

Listens on 127.0.0.1, port chosen by the system, and prints "PORT <n>" once it is ready.
Every message it accepts is parsed with Python's email package and reported as one JSON
line on standard output: envelope, login, whether TLS was up, the decoded headers, every
leaf part (type, charset, transfer encoding, file name, decoded bytes in base64, text) and
every defect the parser found. Runs until it is killed.

usage: aiosmtpd_peer.py MODE [--user U --password P] [--cert C --key K]
  MODE: plain, starttls (STARTTLS required) or tls (TLS from the first byte)
"""

import argparse
import asyncio
import base64
import email
import email.policy
import json
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def tls_up(server):
    return server.transport is not None and \
        server.transport.get_extra_info("ssl_object") is not None


def leaf_report(part):
    payload = part.get_payload(decode=True) or b""
    report = {
        "content_type": part.get_content_type(),
        "charset": part.get_param("charset"),
        "cte": str(part.get("Content-Transfer-Encoding", "")),
        "disposition": part.get_content_disposition(),
        "filename": part.get_filename(),
        "bytes": base64.b64encode(payload).decode("ascii"),
        "text": None,
    }
    if part.get_content_maintype() == "text":
        try:
            report["text"] = part.get_content()
        except (LookupError, UnicodeError) as error:
            report["text_error"] = str(error)
    return report


def message_report(content):
    msg = email.message_from_bytes(content, policy=email.policy.default)
    defects = [repr(d) for d in msg.defects]
    headers = []
    for name, value in msg.items():
        defects += [repr(d) for d in getattr(value, "defects", ())]
        headers.append([name, str(value)])
    parts = []
    for part in msg.walk():
        defects += [repr(d) for d in part.defects]
        if not part.is_multipart():
            parts.append(leaf_report(part))
    head = content.split(b"\r\n\r\n", 1)[0]
    to = msg["To"]
    return {
        "headers": headers,
        "subject": str(msg["Subject"]),
        "from": [msg["From"].addresses[0].display_name, msg["From"].addresses[0].addr_spec],
        "to": [[a.display_name, a.addr_spec] for a in to.addresses] if to else [],
        "content_type": msg.get_content_type(),
        "parts": parts,
        "defects": defects,
        "longest_header_line": max(len(line) for line in head.split(b"\r\n")),
    }


class Handler:
    async def handle_DATA(self, server, session, envelope):
        report = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "login": session.auth_data.login.decode()
            if isinstance(session.auth_data, LoginPassword) else None,
            "tls": tls_up(server),
        }
        try:
            report.update(message_report(envelope.original_content or envelope.content))
        except Exception as error:  # a message the parser cannot take is a finding too
            report["parse_error"] = repr(error)
        print(json.dumps(report), flush=True)
        return "250 2.0.0 OK"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("mode", choices=["plain", "starttls", "tls"])
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()

    context = None
    if args.cert:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        if not tls_up(server):
            print(json.dumps({"auth_without_tls": mechanism}), flush=True)
        ok = isinstance(auth_data, LoginPassword) and \
            auth_data.login.decode() == args.user and auth_data.password.decode() == args.password
        # handled=False: aiosmtpd then answers a refusal with 535 itself.
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    def factory():
        return SMTP(
            Handler(),
            hostname="peer.test",
            enable_SMTPUTF8=True,
            tls_context=context if args.mode == "starttls" else None,
            require_starttls=args.mode == "starttls",
            auth_required=bool(args.user),
            # aiosmtpd only counts STARTTLS as TLS; from the first byte it is TLS as well.
            auth_require_tls=args.mode == "starttls",
            authenticator=authenticator if args.user else None,
            loop=loop,
        )

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        factory, "127.0.0.1", 0, ssl=context if args.mode == "tls" else None))
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


if __name__ == "__main__":
    sys.exit(main())
