#!/usr/bin/python3
"""A real SMTP server on 127.0.0.1 for the mail tests (Debian's python3-aiosmtpd).

Three listeners share one mail folder: plain with AUTH, STARTTLS and SSL/TLS on connect.
Each message is stored as NNNNN.eml (as received) and NNNNN.json (envelope and the
message as Python's own e-mail parser decodes it). The file "controllo.json" in the
folder is read at every command, so a test changes the behaviour without a restart:
  {"password": "...", "rifiuta": ["addr"], "cade_dopo": N, "lento": false}
"rifiuta": those recipients get 550; "cade_dopo": once N messages are stored, the
connection is cut at the next DATA; "lento": S, the answer to each DATA comes after S
seconds (the other connections go on meanwhile). "connessioni" counts distinct client connections.
Every login attempt appends its user name to "autenticazioni". With --altro ADDRESS a
fourth listener, plain with AUTH, listens on that loopback address (one the client's
clear-text rule does not take for this computer). Prints "PORTE <plain> <starttls> <ssl> [<altro>]" when ready; stops
when stdin closes.
"""
import argparse
import asyncio
import email
import email.policy
from email.header import decode_header, make_header
import json
import os
import socket
import ssl
import logging
import sys
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


def porta_libera():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    p = s.getsockname()[1]
    s.close()
    return p


class Cassetta:
    def __init__(self, cartella, analizza):
        self.cartella = cartella
        self.analizza = analizza
        self.clienti = set()
        self.numero = 0

    def controllo(self):
        try:
            with open(os.path.join(self.cartella, "controllo.json")) as f:
                return json.load(f)
        except (OSError, ValueError):
            return {}

    def memorizzati(self):
        return sum(1 for n in os.listdir(self.cartella) if n.endswith(".json") and n[0].isdigit())

    def scrivi(self, nome, dati):
        tmp = os.path.join(self.cartella, "." + nome)
        with open(tmp, "wb") as f:
            f.write(dati)
        os.replace(tmp, os.path.join(self.cartella, nome))

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if session.peer not in self.clienti:
            self.clienti.add(session.peer)
            self.scrivi("connessioni", str(len(self.clienti)).encode())
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.controllo().get("rifiuta", []):
            return "550 5.1.1 Destinatario sconosciuto"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        c = self.controllo()
        if c.get("lento"):
            await asyncio.sleep(float(c["lento"]))
        if "cade_dopo" in c and self.memorizzati() >= c["cade_dopo"]:
            server.transport.abort()
            return "421 chiusura"
        self.numero = max(self.numero, self.memorizzati()) + 1
        base = "%05d" % self.numero
        grezzo = envelope.original_content or envelope.content
        self.scrivi(base + ".eml", grezzo)
        voce = {"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos}
        if self.analizza:
            m = email.message_from_bytes(grezzo, policy=email.policy.default)
            voce["intestazioni"] = {k: str(v) for k, v in m.items()}
            voce["grezze"] = [k for k in m.keys()]
            # A message with attachments: its text part, and each file stored beside it
            # as NNNNN-<n>.allegato.
            testo = m.get_body(("plain",)) if m.is_multipart() else m
            voce["corpo"] = testo.get_content() if testo is not None else ""
            allegati = []
            for n, parte in enumerate(m.iter_attachments() if m.is_multipart() else [], 1):
                self.scrivi("%s-%d.allegato" % (base, n), parte.get_content())
                allegati.append([parte.get_filename(), parte.get_content_type()])
            voce["allegati"] = allegati
            voce["charset"] = m.get_content_charset()
            voce["mittente"] = [[a.display_name, a.addr_spec] for a in m["From"].addresses]
            voce["destinatario"] = [[a.display_name, a.addr_spec] for a in m["To"].addresses]
            # Python's address parser keeps the blank between two encoded words of a name,
            # which RFC 2047 says to drop: the raw header through decode_header, as well.
            grezzo_to = email.message_from_bytes(grezzo)["To"]
            voce["to_decodificato"] = str(make_header(decode_header(grezzo_to)))
        self.scrivi(base + ".json", json.dumps(voce, ensure_ascii=False).encode())
        return "250 OK messaggio %s ricevuto" % base


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--cartella", required=True)
    a.add_argument("--cert")
    a.add_argument("--key")
    a.add_argument("--utente", default="quorvel")
    a.add_argument("--senza-analisi", action="store_true")
    a.add_argument("--altro")
    o = a.parse_args()
    # Refused logins and handshakes are what the tests provoke: no traces on stderr.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    cassetta = Cassetta(o.cartella, not o.senza_analisi)

    def autentica(server, session, envelope, mechanism, auth_data):
        with open(os.path.join(o.cartella, "autenticazioni"), "a") as f:
            login = getattr(auth_data, "login", b"") or b""
            f.write(mechanism + " " + login.decode(errors="replace") + "\n")
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == o.utente
              and auth_data.password.decode() == cassetta.controllo().get("password", "segreta"))
        return AuthResult(success=ok, handled=False)

    comuni = dict(hostname="127.0.0.1", authenticator=autentica, auth_required=True,
                  ident="Quorvel prova")
    porte = [porta_libera() for _ in range(3)]
    server = [Controller(cassetta, port=porte[0], auth_require_tls=False, **comuni)]
    if o.cert:
        ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        ctx.load_cert_chain(o.cert, o.key)
        server.append(Controller(cassetta, port=porte[1], tls_context=ctx,
                                 require_starttls=True, **comuni))
        server.append(Controller(cassetta, port=porte[2], ssl_context=ctx,
                                 auth_require_tls=False, **comuni))
    if o.altro:
        porte.append(porta_libera())
        altri = dict(comuni, hostname=o.altro)
        server.append(Controller(cassetta, port=porte[-1], auth_require_tls=False, **altri))
    for s in server:
        s.start()
    print("PORTE " + " ".join(str(p) for p in porte), flush=True)
    try:
        sys.stdin.read()
    finally:
        for s in server:
            s.stop()


if __name__ == "__main__":
    main()
