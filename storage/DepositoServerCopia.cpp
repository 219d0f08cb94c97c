// Pages of a scan read with COPY in binary format on the QPSQL connection's own libpq
// handle: the fields come as their bytes, and go straight into the stored form of the
// record's fields, without a QVariant and a QString for each.
#include "archive/Testo.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoServer.h"
#include "storage/LibPq.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

qint32 Intero32(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return static_cast<qint32>((quint32(b[0]) << 24) | (quint32(b[1]) << 16) |
                               (quint32(b[2]) << 8) | quint32(b[3]));
}

qint16 Intero16(const char *p)
{
    const auto *b = reinterpret_cast<const unsigned char *>(p);
    return static_cast<qint16>((b[0] << 8) | b[1]);
}

// The field as TScheda::Scrivi stores it (trimmed of codes up to 32, in Windows-1252, cut
// to the capacity), appended as its length byte and bytes. Plain ASCII, most of an
// archive, is copied as it is; other text takes the record's own rule.
void AccodaCampo(const char *d, int n, int capacita, std::vector<unsigned char> &out)
{
    unsigned char alto = 0;
    for (int i = 0; i < n; ++i)
        alto |= static_cast<unsigned char>(d[i]);
    if (alto < 0x80) {
        while (n > 0 && static_cast<unsigned char>(d[0]) <= 32) {
            ++d;
            --n;
        }
        while (n > 0 && static_cast<unsigned char>(d[n - 1]) <= 32)
            --n;
        n = std::min(n, capacita);
        out.push_back(static_cast<unsigned char>(n));
        out.insert(out.end(), d, d + n);
        return;
    }
    std::array<unsigned char, 256> campo{};
    ScriviCampo(campo.data(), capacita, QString::fromUtf8(d, n));
    out.insert(out.end(), campo.data(), campo.data() + 1 + campo[0]);
}

// Parses whole rows of COPY's binary format from `dati`; returns the bytes used. A row
// cut short stays for the next piece.
class LetturaCopia {
public:
    LetturaCopia(std::span<const Campo> campi, TDepositoServer::TPagina &pagina)
        : m_campi(campi), m_pagina(pagina)
    {
    }
    bool Valida() const { return m_valida; }

    size_t Leggi(std::string_view dati)
    {
        size_t u = 0;
        if (m_intestazione) {
            // Signature (11), flags (4), extension length (4), extension.
            if (dati.size() < 19)
                return 0;
            const size_t estensione = size_t(std::max(0, Intero32(dati.data() + 15)));
            if (dati.size() < 19 + estensione)
                return 0;
            if (dati.substr(0, 11) != std::string_view("PGCOPY\n\377\r\n\0", 11))
                m_valida = false;
            u = 19 + estensione;
            m_intestazione = false;
        }
        while (m_valida && dati.size() - u >= 2) {
            const qint16 n = Intero16(dati.data() + u);
            if (n == -1)
                return dati.size(); // the trailer
            if (n != qint16(m_campi.size() + 1)) {
                m_valida = false;
                break;
            }
            // Whole row first: lengths and bytes.
            size_t fine = u + 2;
            bool intera = true;
            for (int k = 0; k < n && intera; ++k) {
                if (dati.size() - fine < 4) {
                    intera = false;
                    break;
                }
                const qint32 l = Intero32(dati.data() + fine);
                fine += 4 + size_t(std::max(0, l));
                intera = fine <= dati.size();
            }
            if (!intera)
                break;
            const char *p = dati.data() + u + 2;
            if (Intero32(p) != 4) {
                m_valida = false;
                break;
            }
            m_pagina.posizioni.push_back(Intero32(p + 4));
            p += 8;
            for (const Campo c : m_campi) {
                const qint32 l = std::max(0, Intero32(p));
                AccodaCampo(p + 4, l, Definizione(c).capacita, m_pagina.campi);
                p += 4 + l;
            }
            u = fine;
        }
        return m_valida ? u : dati.size();
    }

private:
    std::span<const Campo> m_campi;
    TDepositoServer::TPagina &m_pagina;
    bool m_intestazione = true;
    bool m_valida = true;
};

} // namespace

void TDepositoServer::LeggiCopia(const QString &sql,
                                 const QList<std::pair<QString, QVariant>> &valori,
                                 std::span<const Campo> campi, TPagina &pagina,
                                 const QString &azione)
{
    PGconn *c = ConnessioneServer::Libpq(Db());
    const auto errore = [&](const QString &motivo, const char *codice = nullptr) {
        // As Esegui tells a lock held elsewhere or a statement past its time.
        if (codice && (qstrcmp(codice, "55P03") == 0 || qstrcmp(codice, "57014") == 0))
            return ErroreFile(QStringLiteral("Impossibile %1: i dati sono in uso su un'altra "
                                             "postazione o il server dell'archivio non ha "
                                             "risposto in tempo. Riprovare tra poco.")
                                  .arg(azione));
        return ErroreFile(QStringLiteral("Impossibile %1 sul server dell'archivio: %2")
                              .arg(azione, motivo.trimmed()));
    };
    if (!c)
        throw errore(QStringLiteral("il collegamento non \u00E8 al server PostgreSQL."));
    // Longer names first: ":k10" is no ":k1" followed by a zero.
    QList<std::pair<QString, QVariant>> ordinati = valori;
    std::sort(ordinati.begin(), ordinati.end(),
              [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
    QString testo = sql;
    for (const auto &[nome, valore] : ordinati) {
        QString letterale;
        if (valore.typeId() == QMetaType::Int || valore.typeId() == QMetaType::LongLong) {
            letterale = QString::number(valore.toLongLong());
        } else {
            const QByteArray t = valore.toString().toUtf8();
            const std::unique_ptr<char, void (*)(void *)> e(
                Pq().PQescapeLiteral(c, t.constData(), size_t(t.size())), Pq().PQfreemem);
            if (!e)
                throw errore(QString::fromUtf8(Pq().PQerrorMessage(c)));
            letterale = QString::fromUtf8(e.get());
        }
        testo.replace(nome, letterale);
    }
    const QByteArray richiesta =
        QStringLiteral("COPY (%1) TO STDOUT (FORMAT binary)").arg(testo).toUtf8();
    {
        const std::unique_ptr<PGresult, void (*)(PGresult *)> r(
            Pq().PQexec(c, richiesta.constData()), Pq().PQclear);
        if (Pq().PQresultStatus(r.get()) != PGRES_COPY_OUT)
            throw errore(
                QString::fromUtf8(r ? Pq().PQresultErrorMessage(r.get()) : Pq().PQerrorMessage(c)),
                Pq().PQresultErrorField(r.get(), PG_DIAG_SQLSTATE));
    }
    LetturaCopia lettura(campi, pagina);
    std::string resto;
    for (;;) {
        char *pezzo = nullptr;
        const int n = Pq().PQgetCopyData(c, &pezzo, 0);
        if (n < 0)
            break;
        const std::unique_ptr<char, void (*)(void *)> libera(pezzo, Pq().PQfreemem);
        if (resto.empty()) {
            const size_t usati = lettura.Leggi(std::string_view(pezzo, size_t(n)));
            resto.assign(pezzo + usati, size_t(n) - usati);
        } else {
            resto.append(pezzo, size_t(n));
            resto.erase(0, lettura.Leggi(resto));
        }
    }
    // The statement's end: its result, then none; the connection is idle again.
    QString motivo;
    QByteArray codice;
    while (PGresult *r = Pq().PQgetResult(c)) {
        if (Pq().PQresultStatus(r) != PGRES_COMMAND_OK && motivo.isEmpty()) {
            motivo = QString::fromUtf8(Pq().PQresultErrorMessage(r));
            codice = Pq().PQresultErrorField(r, PG_DIAG_SQLSTATE);
        }
        Pq().PQclear(r);
    }
    if (motivo.isEmpty() && Pq().PQstatus(c) != CONNECTION_OK)
        motivo = QString::fromUtf8(Pq().PQerrorMessage(c));
    if (!motivo.isEmpty())
        throw errore(motivo, codice.isEmpty() ? nullptr : codice.constData());
    if (!lettura.Valida() || !resto.empty())
        throw errore(QStringLiteral("risposta non valida."));
}
