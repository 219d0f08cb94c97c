#include "rinnovi/core/RegoleRinnovo.h"

#include "archive/Impostazioni.h"
#include "archive/Testo.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString Sezione = QStringLiteral("Rinnovo");

QString Ini(const QString &cartella)
{
    return QDir(cartella).filePath(QStringLiteral("Quorvel.ini"));
}

} // namespace

TRegoleRinnovo TRegoleRinnovo::Carica(const QString &cartella)
{
    const TFileIni ini(Ini(cartella));
    TRegoleRinnovo r;
    bool ok = false;
    const int durata = ini.Leggi(Sezione, QStringLiteral("Durata")).trimmed().toInt(&ok);
    if (ok && durata >= 1 && durata <= 120)
        r.durata = durata;
    if (ini.Leggi(Sezione, QStringLiteral("Scadenza"))
            .trimmed()
            .compare(QLatin1String("anno"), Qt::CaseInsensitive) == 0)
        r.scadenza = Scadenza::Anno;
    r.quota = std::max<qint64>(0, CentesimiDa(ini.Leggi(Sezione, QStringLiteral("Quota"))));
    return r;
}

void TRegoleRinnovo::Salva(const QString &cartella) const
{
    TFileIni ini(Ini(cartella));
    ini.Imposta(Sezione, QStringLiteral("Durata"), QString::number(durata));
    ini.Imposta(Sezione, QStringLiteral("Scadenza"),
                scadenza == Scadenza::Anno ? QStringLiteral("anno")
                                           : QStringLiteral("anniversario"));
    ini.Imposta(Sezione, QStringLiteral("Quota"), TestoEuro(quota));
    ini.Salva();
}

QDate NuovaScadenza(const QDate &vecchia, const QDate &oggi, const TRegoleRinnovo &regole)
{
    const QDate base = vecchia.isValid() && vecchia > oggi ? vecchia : oggi;
    if (regole.scadenza == TRegoleRinnovo::Scadenza::Anniversario)
        return base.addMonths(regole.durata);
    const QDate dopo = base.addDays(1);
    return QDate(dopo.year() + std::max(0, regole.durata / 12 - 1), 12, 31);
}

QDate InizioPeriodo(const QDate &vecchia, const QDate &oggi)
{
    return vecchia.isValid() && vecchia >= oggi ? vecchia.addDays(1) : oggi;
}

qint64 CentesimiDa(const QString &testo)
{
    // Euro with up to two decimals; a dot before three digits groups thousands.
    static const QRegularExpression forma(
        QStringLiteral("^(\\d{1,3}(?:\\.\\d{3})+|\\d{1,7})(?:[.,](\\d{1,2}))?$"));
    const QRegularExpressionMatch m = forma.match(testo.trimmed());
    if (!m.hasMatch())
        return -1;
    const qint64 euro = m.captured(1).remove(u'.').toLongLong();
    const QString dec = m.captured(2);
    const qint64 cent = dec.isEmpty() ? 0 : (dec.size() == 1 ? dec.toInt() * 10 : dec.toInt());
    if (euro > 1000000)
        return -1;
    return euro * 100 + cent;
}

QString TestoEuro(qint64 centesimi)
{
    const QString segno = centesimi < 0 ? QStringLiteral("-") : QString();
    const qint64 a = centesimi < 0 ? -centesimi : centesimi;
    // Thousands grouped by dots, as Italian amounts are written.
    QString euro = QString::number(a / 100);
    for (qsizetype i = euro.size() - 3; i > 0; i -= 3)
        euro.insert(i, u'.');
    return QStringLiteral("%1%2,%3").arg(segno, euro).arg(a % 100, 2, 10, QChar(u'0'));
}

QString CausaleProposta(int anno)
{
    return QStringLiteral("Quota associativa %1").arg(anno);
}

bool Annullata(const TScheda &s)
{
    return s.Leggi(Campo::Annullata) != AnnullataNo;
}

TDeposito::TRinnovo PreparaRinnovo(int posizione, const TDeposito::TSchedaLetta &letta,
                                   const TDatiRinnovo &dati)
{
    const QDate vecchia = Testo::ConvertiData(letta.scheda.Leggi(Campo::DataScade));
    const QDate nuova =
        dati.scadenza.isValid() ? dati.scadenza : NuovaScadenza(vecchia, dati.oggi, dati.regole);
    TDeposito::TRinnovo r;
    r.posizione = posizione;
    r.versione = letta.versione;
    r.scheda = letta.scheda;
    r.scheda.Scrivi(Campo::DataScade, Testo::TestoData(nuova));
    r.scheda.Scrivi(Campo::DataRil, Testo::TestoData(dati.oggi));
    TPagamento &p = r.pagamento;
    p.data = dati.dataPagamento.isValid() ? dati.dataPagamento : dati.oggi;
    p.posizione = posizione;
    p.tessera = letta.scheda.Leggi(Campo::NumTessera);
    p.nominativo = letta.scheda.Leggi(Campo::Tesserato);
    p.centesimi = dati.centesimi;
    p.metodo = dati.metodo;
    p.dal = std::min(InizioPeriodo(vecchia, dati.oggi), nuova);
    p.al = nuova;
    p.causale = dati.causale;
    p.inseritoDa = dati.inseritoDa;
    return r;
}

TEsitoRinnovi RinnovaTutti(TDeposito &deposito, std::span<const int> posizioni,
                           const TDatiRinnovo &dati,
                           const std::function<void(const TPagamento &)> &fatto,
                           const Avanzamento &avanzamento, int blocco)
{
    TEsitoRinnovi esito;
    const qint64 totale = static_cast<qint64>(posizioni.size());
    std::vector<TDeposito::TRinnovo> lotto;
    lotto.reserve(static_cast<size_t>(std::max(1, blocco)));
    qint64 visti = 0;
    auto scrivi = [&] {
        if (lotto.empty())
            return;
        const std::vector<TDeposito::TEsitoRinnovo> esiti = deposito.Rinnova(lotto);
        for (size_t i = 0; i < esiti.size(); ++i) {
            if (!esiti[i].errore.isEmpty()) {
                esito.nonRinnovati
                    << QStringLiteral("%1: %2").arg(lotto[i].pagamento.nominativo, esiti[i].errore);
                continue;
            }
            ++esito.rinnovati;
            esito.centesimi += esiti[i].pagamento.centesimi;
            if (fatto)
                fatto(esiti[i].pagamento);
        }
        lotto.clear();
    };
    for (int p : posizioni) {
        const TDeposito::TSchedaLetta letta = deposito.LeggiSchedaConVersione(p);
        ++visti;
        if (Annullata(letta.scheda))
            esito.nonRinnovati << QStringLiteral("%1: tessera annullata, non rinnovata")
                                      .arg(letta.scheda.Leggi(Campo::Tesserato));
        else
            lotto.push_back(PreparaRinnovo(p, letta, dati));
        if (static_cast<int>(lotto.size()) >= blocco)
            scrivi();
        // A stop writes what is prepared so far: every member read is renewed whole.
        if (avanzamento && !avanzamento(visti, totale) && visti < totale) {
            scrivi();
            esito.interrotto = true;
            return esito;
        }
    }
    scrivi();
    if (avanzamento)
        avanzamento(visti, totale);
    return esito;
}

QHash<int, QDate> UltimiRinnovi(TDeposito &deposito, const QDate &dal, const QDate &al)
{
    QHash<int, QDate> ultimi;
    QSet<qint64> annullati;
    std::vector<TPagamento> pagati;
    deposito.ScorriPagamenti(dal, al, [&](const TPagamento &p) {
        if (p.annulla)
            annullati.insert(p.annulla);
        else if (p.centesimi >= 0)
            pagati.push_back(p);
        return true;
    });
    for (const TPagamento &p : pagati) {
        if (annullati.contains(p.id))
            continue;
        QDate &d = ultimi[p.posizione];
        if (!d.isValid() || p.data > d)
            d = p.data;
    }
    return ultimi;
}

QString MessaggioCompletati(const std::vector<TPagamento> &completati)
{
    if (completati.empty())
        return QString();
    QStringList righe;
    for (const TPagamento &p : completati)
        righe << QStringLiteral("%1 (ricevuta %2)").arg(p.nominativo, p.Ricevuta());
    return QStringLiteral(
               "Rinnovo completato: il programma era stato chiuso mentre rinnovava "
               "questi tesserati, ora la scheda e la quota sono entrambe registrate.\n%1")
        .arg(righe.join(u'\n'));
}
