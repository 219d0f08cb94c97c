#include "lists/core/RiepilogoQuote.h"

#include "archive/Errori.h"
#include "archive/FileSicuro.h"
#include "archive/Testo.h"
#include "lists/core/Esportazione.h"
#include "report/core/Ricevuta.h"
#include "storage/Deposito.h"

#include <QSaveFile>

#include <array>

void TRiepilogoQuote::Aggiungi(const TPagamento &p)
{
    voci.push_back(p);
    for (TSomma *s : {&perMetodo[p.metodo], &perMese[{p.data.year(), p.data.month()}], &totale}) {
        s->centesimi += p.centesimi;
        ++s->quanti;
    }
}

std::vector<TTotalePagamenti> TRiepilogoQuote::Totali() const
{
    std::map<std::tuple<int, int, QString>, TSomma> somme;
    for (const TPagamento &p : voci) {
        TSomma &s = somme[{p.data.year(), p.data.month(), p.metodo}];
        s.centesimi += p.centesimi;
        ++s.quanti;
    }
    std::vector<TTotalePagamenti> r;
    for (const auto &[chiave, s] : somme)
        r.push_back(
            {std::get<0>(chiave), std::get<1>(chiave), std::get<2>(chiave), s.centesimi, s.quanti});
    return r;
}

namespace RiepilogoQuote {

namespace {

QString Colonna(const QString &testo, int larghezza)
{
    return Testo::UnaRiga(testo).trimmed().leftJustified(larghezza, u' ', true);
}

QString Destra(const QString &testo, int larghezza)
{
    return testo.rightJustified(larghezza, u' ', true);
}

// "  Contanti                   12 ricevute          1.250,00"
QString RigaTotale(const QString &voce, const TSomma &s)
{
    return QStringLiteral("  ") + Colonna(voce, 24) + Destra(QString::number(s.quanti), 8) +
           (s.quanti == 1 ? QStringLiteral(" ricevuta ") : QStringLiteral(" ricevute ")) +
           Destra(ImportoInCifre(s.centesimi), 16);
}

} // namespace

QString Titolo(const QDate &dal, const QDate &al)
{
    return QStringLiteral("Riepilogo quote dal ") + Testo::TestoData(dal) + QStringLiteral(" al ") +
           Testo::TestoData(al);
}

TRiepilogoQuote Leggi(TDeposito &deposito, const QDate &dal, const QDate &al)
{
    TRiepilogoQuote r;
    r.dal = dal;
    r.al = al;
    deposito.ScorriPagamenti(dal, al, [&r](const TPagamento &p) {
        r.Aggiungi(p);
        return true;
    });
    return r;
}

QString NomeMese(int anno, int mese)
{
    static const std::array<const char *, 12> Mesi = {
        "gennaio", "febbraio", "marzo",     "aprile",  "maggio",   "giugno",
        "luglio",  "agosto",   "settembre", "ottobre", "novembre", "dicembre"};
    if (mese < 1 || mese > 12)
        return QString::number(anno);
    return QString::fromLatin1(Mesi[mese - 1]) + u' ' + QString::number(anno);
}

QString Intestazione()
{
    return Colonna(QStringLiteral("Data"), 11) + Colonna(QStringLiteral("Ricevuta"), 11) +
           Colonna(QStringLiteral("Tessera"), 9) + Colonna(QStringLiteral("Tesserato"), 31) +
           Colonna(QStringLiteral("Metodo"), 11) + Destra(QStringLiteral("Importo"), 13) +
           QStringLiteral("  Causale");
}

QString Riga(const TPagamento &p)
{
    return Testo::TestoData(p.data) + u' ' + Colonna(p.Ricevuta(), 11) + Colonna(p.tessera, 9) +
           Colonna(p.nominativo, 31) + Colonna(p.metodo, 11) +
           Destra(ImportoInCifre(p.centesimi), 13) + QStringLiteral("  ") +
           Testo::UnaRiga(p.causale).trimmed();
}

QStringList Righe(const TRiepilogoQuote &r)
{
    QStringList righe;
    righe.reserve(qsizetype(r.voci.size()) + 32);
    righe << Intestazione();
    for (const TPagamento &p : r.voci)
        righe << Riga(p);
    righe << Coda(r);
    return righe;
}

QStringList Coda(const TRiepilogoQuote &r)
{
    QStringList righe;
    righe << QString() << QStringLiteral("Totali per metodo di pagamento");
    for (const auto &[metodo, s] : r.perMetodo)
        righe << RigaTotale(metodo.isEmpty() ? QStringLiteral("(non indicato)") : metodo, s);
    righe << QString() << QStringLiteral("Totali per mese");
    for (const auto &[mese, s] : r.perMese)
        righe << RigaTotale(NomeMese(mese.first, mese.second), s);
    righe << QString() << RigaTotale(QStringLiteral("Totale del periodo"), r.totale).mid(2);
    return righe;
}

namespace {

const QByteArray &IntestazioneFile()
{
    static const QByteArray testo = [] {
        QByteArray t;
        AccodaInizioFoglio(t, QStringLiteral("Riepilogo quote"));
        t.append("<table x:str><tr>");
        for (const char *c : {"Data", "Ricevuta", "Tessera", "Tesserato", "Metodo", "Importo",
                              "Causale", "Dal", "Al", "Inserito da", "Storno di"}) {
            t.append("<td style=\"text-align: left; font-weight: bold;\">");
            t.append(c);
            t.append("</td>");
        }
        t.append("</tr>");
        return t;
    }();
    return testo;
}

// A text cell: marked as text where a spreadsheet would read a value (dates, receipt
// numbers, a formula typed as a purpose).
void Cella(QByteArray &out, const QString &testo)
{
    QByteArray file;
    AccodaTestoFile(file, testo);
    out.append(LettoComeValore(file.constData(), int(file.size()))
                   ? "<td style=\"text-align: left;\" class=t sdnum=\"1040;0;@\">"
                   : "<td style=\"text-align: left;\">");
    out.append(file);
    out.append("</td>");
}

// An amount: a number for the spreadsheet, shown as Italians write it.
void Importo(QByteArray &out, qint64 centesimi)
{
    const QByteArray valore = QByteArray::number(double(centesimi) / 100.0, 'f', 2);
    out.append("<td style=\"text-align: right;\" x:num=\"" + valore + "\" sdval=\"" + valore +
               "\" sdnum=\"1040;0;#.##0,00\">");
    out.append(ImportoInCifre(centesimi).toLatin1());
    out.append("</td>");
}

void Totale(QByteArray &out, const QString &voce, const TSomma &s)
{
    out.append("<tr>");
    Cella(out, voce);
    out.append("<td x:num>" + QByteArray::number(s.quanti) + "</td>");
    Importo(out, s.centesimi);
    out.append("</tr>");
}

} // namespace

void ScriviEsportazione(const QString &percorso, const TRiepilogoQuote &r)
{
    QSaveFile file(percorso);
    const auto fallisci = [&]() {
        file.cancelWriting();
        throw ErroreFile(QStringLiteral("Impossibile scrivere il file ") + percorso + u'.');
    };
    if (!ApriInScrittura(file))
        fallisci();
    QByteArray out = IntestazioneFile();
    // Which entry a counter-entry voids, by its receipt number.
    std::map<qint64, QString> numeri;
    for (const TPagamento &p : r.voci)
        numeri[p.id] = p.Ricevuta();
    for (const TPagamento &p : r.voci) {
        out.append("<tr>");
        Cella(out, Testo::TestoData(p.data));
        Cella(out, p.Ricevuta());
        Cella(out, p.tessera);
        Cella(out, p.nominativo);
        Cella(out, p.metodo);
        Importo(out, p.centesimi);
        Cella(out, p.causale);
        Cella(out, p.dal.isValid() ? Testo::TestoData(p.dal) : QString());
        Cella(out, p.al.isValid() ? Testo::TestoData(p.al) : QString());
        Cella(out, p.inseritoDa);
        const auto annullata = numeri.find(p.annulla);
        Cella(out, p.annulla == 0              ? QString()
                   : annullata != numeri.end() ? annullata->second
                                               : QString::number(p.annulla));
        out.append("</tr>");
        if (out.size() >= (1 << 20)) {
            if (file.write(out) != out.size())
                fallisci();
            out.clear();
        }
    }
    out.append("<tr></tr>");
    out.append("<tr><td style=\"font-weight: bold;\">Totali per metodo di pagamento</td></tr>");
    for (const auto &[metodo, s] : r.perMetodo)
        Totale(out, metodo, s);
    out.append("<tr></tr>");
    out.append("<tr><td style=\"font-weight: bold;\">Totali per mese</td></tr>");
    for (const auto &[mese, s] : r.perMese)
        Totale(out, NomeMese(mese.first, mese.second), s);
    out.append("<tr></tr>");
    Totale(out, QStringLiteral("Totale del periodo"), r.totale);
    out.append("</table></body></html>");
    if (file.write(out) != out.size() || !ConfermaFile(file))
        fallisci();
}

} // namespace RiepilogoQuote
