#!/usr/bin/env python3
"""The send run's command sequence with Python's smtplib, for comparison with
bench_send_run: a new connection (EHLO) for every ten recipients, then for each
recipient RSET, MAIL FROM, RCPT TO, DATA and the message; QUIT is written without
waiting for its reply, as Pelicast does. Each message is personalised like
Pelicast's (display name in the subject and in the body lines).

usage: smtplib_send.py PORT COUNT
prints "msgs_per_s <value> cpu_user_us_per_msg <value> cpu_sys_us_per_msg <value>"
"""
import resource
import smtplib
import sys
import time
from email.utils import formatdate, make_msgid

HOST = "127.0.0.1"
SENDER = "bench@example.org"


def body_lines(name):
    lines = ["<html><body>", f"<p>Dear {name},</p>"]
    lines += [f"<p>Line {i} of this month's letter, written for {name} and nobody else.</p>"
              for i in range(20)]
    lines.append("</body></html>")
    return lines


def message(n):
    name = f"Reader {n:06d} "
    address = f"r{n:06d}@example.org"
    head = (f"From: \"Pelicast Bench\" <{SENDER}>\r\n"
            f"To: \"Reader {n:06d}\" <{address}>\r\n"
            f"Subject: News for {name}\r\n"
            f"Date: {formatdate(localtime=True)}\r\n"
            f"Message-ID: {make_msgid()}\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/html; charset=UTF-8\r\n"
            "Content-Transfer-Encoding: 8bit\r\n"
            "X-Priority: 3\r\n"
            "X-Mailer: Pelicast 3.0\r\n\r\n")
    return address, (head + "\r\n".join(body_lines(name)) + "\r\n").encode("utf-8")


def main():
    port, count = int(sys.argv[1]), int(sys.argv[2])
    before = resource.getrusage(resource.RUSAGE_SELF)
    start = time.perf_counter()
    smtp = None
    for n in range(1, count + 1):
        if smtp is None:
            smtp = smtplib.SMTP(HOST, port)
            smtp.ehlo()
        address, data = message(n)
        smtp.rset()
        smtp.sendmail(SENDER, [address], data)
        if n % 10 == 0 or n == count:
            smtp.send(b"QUIT\r\n")
            smtp.close()
            smtp = None
    seconds = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_SELF)
    user = (after.ru_utime - before.ru_utime) * 1e6 / count
    system = (after.ru_stime - before.ru_stime) * 1e6 / count
    print(f"msgs_per_s {count / seconds:.1f} cpu_user_us_per_msg {user:.1f}"
          f" cpu_sys_us_per_msg {system:.1f}")


if __name__ == "__main__":
    main()
