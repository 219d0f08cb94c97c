#include "registry/RegistroAvvisi.h"

#include "archive/FileSicuro.h"

#include <QDir>

namespace RegistroAvvisi {

QString Percorso(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("Avvisi.csv"));
}

QString UnaRiga(const QString &testo)
{
    QString r = testo;
    for (QChar &c : r)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = u' ';
    return r.trimmed();
}

QString Chiave(int posizione, const QString &nome)
{
    return QString::number(posizione) + u'\t' + UnaRiga(nome);
}

QString Riga(const QStringList &campi)
{
    QStringList r;
    r.reserve(campi.size());
    for (QString c : campi) {
        c = UnaRiga(c);
        if (c.contains(u';') || c.contains(u'"') || c.contains(u'\n') || c.contains(u'\r')) {
            c.replace(QLatin1String("\""), QLatin1String("\"\""));
            c = u'"' + c + u'"';
        }
        r.append(c);
    }
    return r.join(u';');
}

QStringList Campi(const QString &riga)
{
    QStringList r;
    QString campo;
    bool virgolette = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        const QChar c = riga[i];
        if (virgolette) {
            if (c == u'"' && i + 1 < riga.size() && riga[i + 1] == u'"') {
                campo += u'"';
                ++i;
            } else if (c == u'"') {
                virgolette = false;
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            virgolette = true;
        } else if (c == u';') {
            r.append(campo);
            campo.clear();
        } else {
            campo += c;
        }
    }
    r.append(campo);
    return r;
}

QHash<QString, QDate> UltimiInvii(const QString &cartella)
{
    QHash<QString, QDate> r;
    QFile f(Percorso(cartella));
    if (!f.open(QIODevice::ReadOnly))
        return r;
    // Lines are split on line ends outside quotes.
    const QString testo = QString::fromUtf8(f.readAll());
    QString riga;
    bool virgolette = false;
    const auto chiudi = [&] {
        const QStringList c = Campi(riga);
        riga.clear();
        if (c.size() < 7 || c[6] != Inviato)
            return;
        const QDate data = QDate::fromString(c[0], QStringLiteral("dd/MM/yyyy"));
        bool ok = false;
        const int posizione = c[2].toInt(&ok);
        if (!data.isValid() || !ok)
            return;
        QDate &ultima = r[Chiave(posizione, c[3])];
        if (!ultima.isValid() || data > ultima)
            ultima = data;
    };
    for (QChar c : testo) {
        if (c == u'"')
            virgolette = !virgolette;
        if (!virgolette && (c == u'\n' || c == u'\r')) {
            if (!riga.isEmpty())
                chiudi();
            continue;
        }
        riga += c;
    }
    if (!riga.isEmpty())
        chiudi();
    return r;
}

TRegistro::TRegistro(const QString &cartella) : m_file(Percorso(cartella))
{
    if (ApriRegolare(m_file, QIODevice::ReadWrite | QIODevice::Append)) {
        // A line cut short by a crash is ended before the next one.
        if (m_file.size() > 0 && m_file.seek(m_file.size() - 1)) {
            char ultimo = 0;
            if (m_file.getChar(&ultimo) && ultimo != '\n')
                m_file.write("\r\n");
        }
    }
}

bool TRegistro::Scrivi(const QStringList &campi)
{
    if (!m_file.isOpen())
        return false;
    const QByteArray riga = (Riga(campi) + QStringLiteral("\r\n")).toUtf8();
    return m_file.write(riga) == riga.size() && m_file.flush();
}

} // namespace RegistroAvvisi
