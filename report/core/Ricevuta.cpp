#include "report/core/Ricevuta.h"

#include "archive/Testo.h"
#include "report/core/Report.h"

#include <array>

namespace {

const std::array<const char *, 20> Unita20 = {
    "zero",        "uno",      "due",    "tre",         "quattro",  "cinque",    "sei",
    "sette",       "otto",     "nove",   "dieci",       "undici",   "dodici",    "tredici",
    "quattordici", "quindici", "sedici", "diciassette", "diciotto", "diciannove"};
const std::array<const char *, 10> Decine = {"",         "",          "venti",    "trenta",
                                             "quaranta", "cinquanta", "sessanta", "settanta",
                                             "ottanta",  "novanta"};

// 1..999 in words, written together; the tens lose their vowel before uno and otto
// (ventuno, ventotto) and cento before otto and ottanta (centotto, centottanta).
QString Centinaia(int n)
{
    const int c = n / 100, r = n % 100;
    QString resto;
    if (r >= 20) {
        QString decina = QString::fromLatin1(Decine[r / 10]);
        const int u = r % 10;
        if (u == 1 || u == 8)
            decina.chop(1);
        resto = decina + (u > 0 ? QString::fromLatin1(Unita20[u]) : QString());
    } else if (r > 0) {
        resto = QString::fromLatin1(Unita20[r]);
    }
    if (c == 0)
        return resto;
    QString cento = c == 1 ? QStringLiteral("cento")
                           : QString::fromLatin1(Unita20[c]) + QStringLiteral("cento");
    if (resto.startsWith(u'o'))
        cento.chop(1);
    return cento + resto;
}

// Any whole number of euro in words: mille, duemila, unmilione, duemilioni, unmiliardo.
QString Parole(qint64 n)
{
    if (n == 0)
        return QStringLiteral("zero");
    QString r;
    const qint64 miliardi = n / 1000000000;
    const int milioni = int(n / 1000000 % 1000);
    const int migliaia = int(n / 1000 % 1000);
    const int unita = int(n % 1000);
    if (miliardi == 1)
        r += QStringLiteral("unmiliardo");
    else if (miliardi > 1)
        r += Parole(miliardi) + QStringLiteral("miliardi");
    if (milioni == 1)
        r += QStringLiteral("unmilione");
    else if (milioni > 1)
        r += Centinaia(milioni) + QStringLiteral("milioni");
    if (migliaia == 1)
        r += QStringLiteral("mille");
    else if (migliaia > 1)
        r += Centinaia(migliaia) + QStringLiteral("mila");
    r += Centinaia(unita);
    return r;
}

} // namespace

QString ImportoInLettere(qint64 centesimi)
{
    // Only a counter-entry is negative; its words say so.
    const bool negativo = centesimi < 0;
    const quint64 assoluto = negativo ? quint64(0) - quint64(centesimi) : quint64(centesimi);
    QString euro = Parole(qint64(assoluto / 100));
    // A final "tre" of a compound number takes its accent: ventitré, centotré, milletré.
    if (euro.size() > 3 && euro.endsWith(QLatin1String("tre")))
        euro = euro.left(euro.size() - 1) + QChar(0x00E9);
    return (negativo ? QStringLiteral("meno ") : QString()) + euro +
           QStringLiteral("/%1").arg(int(assoluto % 100), 2, 10, QLatin1Char('0'));
}

bool MarcaDaBollo(qint64 centesimi)
{
    return centesimi > 7747;
}

QString ImportoInCifre(qint64 centesimi)
{
    const bool negativo = centesimi < 0;
    const quint64 assoluto = negativo ? quint64(0) - quint64(centesimi) : quint64(centesimi);
    QString euro = QString::number(assoluto / 100);
    for (qsizetype i = euro.size() - 3; i > 0; i -= 3)
        euro.insert(i, u'.');
    return (negativo ? QStringLiteral("-") : QString()) + euro +
           QStringLiteral(",%1").arg(int(assoluto % 100), 2, 10, QLatin1Char('0'));
}

namespace Ricevuta {

namespace {

double Mm(double mm)
{
    return Unita::DaMm(mm);
}

TMemoView &Testo(TReportPage &p, const QString &nome, double x, double y, double w, double h,
                 double punti, int stile, const QString &testo, THAlign ha = haLeft)
{
    TMemoView &m = p.Add<TMemoView>(nome, Mm(x), Mm(y), Mm(w), Mm(h));
    m.Font = {QStringLiteral("Verdana"), punti, stile, Colori::Black};
    m.HAlign = ha;
    m.VAlign = vaTop;
    // Names and purposes print as typed, brackets included.
    m.AllowExpressions = false;
    m.SetText(testo);
    return m;
}

} // namespace

QString Titolo(const TPagamento &p)
{
    return QStringLiteral("Ricevuta n. ") + p.Ricevuta();
}

QString Periodo(const TPagamento &p)
{
    if (!p.dal.isValid() && !p.al.isValid())
        return {};
    return QStringLiteral("dal ") + ::Testo::TestoData(p.dal) + QStringLiteral(" al ") +
           ::Testo::TestoData(p.al);
}

void Componi(TReportPage &pagina, const TPagamento &p, const TDatiEnte &ente, const QImage &logo)
{
    pagina.SetOrientation(poPortrait);
    pagina.PaperSize = 256;
    pagina.PaperWidth = LarghezzaMm;
    pagina.PaperHeight = AltezzaMm;
    pagina.SetMargins(10, 10, 10, 10);
    constexpr double Larga = LarghezzaMm - 20;

    // The association: logo, name and its lines.
    if (!logo.isNull()) {
        TPictureView &img =
            pagina.Add<TPictureView>(QStringLiteral("imgLogo"), 0, 0, Mm(24), Mm(24));
        img.Center = true;
        img.SetPicture(logo);
    }
    const double x = logo.isNull() ? 0 : 28;
    Testo(pagina, QStringLiteral("txtEnte"), x, 0, Larga - x, 9, 12, fsBold,
          ::Testo::UnaRiga(ente.Denominazione).trimmed());
    QStringList righe;
    for (const QString &r : {ente.Sottotitolo1, ente.Sottotitolo2, ente.Annotazioni})
        if (!r.trimmed().isEmpty())
            righe << ::Testo::UnaRiga(r).trimmed();
    Testo(pagina, QStringLiteral("txtDatiEnte"), x, 9, Larga - x, 16, 8, 0, righe.join(u'\n'));
    pagina.Add<TLineView>(QStringLiteral("linEnte"), 0, Mm(27), Mm(Larga), 1);

    Testo(pagina, QStringLiteral("txtRicevuta"), 0, 32, Larga, 10, 15, fsBold, Titolo(p), haCenter);
    Testo(pagina, QStringLiteral("txtData"), 0, 43, Larga, 6, 9, 0,
          QStringLiteral("Data: ") + ::Testo::TestoData(p.data), haCenter);

    QString tesserato = ::Testo::UnaRiga(p.nominativo).trimmed();
    if (!p.tessera.trimmed().isEmpty())
        tesserato += QStringLiteral(" (tessera n. %1)").arg(p.tessera.trimmed());
    const QString importo = QStringLiteral("\u20AC ") + ImportoInCifre(p.centesimi);
    const std::pair<QString, QString> voci[] = {
        {QStringLiteral("Ricevuto da:"), tesserato},
        {QStringLiteral("La somma di:"), importo},
        {QStringLiteral("In lettere:"), QStringLiteral("euro ") + ImportoInLettere(p.centesimi)},
        {QStringLiteral("Pagamento:"), p.metodo},
        {QStringLiteral("Causale:"), ::Testo::UnaRiga(p.causale).trimmed()},
        {QStringLiteral("Periodo:"), Periodo(p)},
    };
    double y = 54;
    int n = 1;
    for (const auto &[titolo, valore] : voci) {
        const QString numero = QStringLiteral("%1").arg(n++, 2, 10, QLatin1Char('0'));
        TMemoView &t =
            Testo(pagina, QStringLiteral("titVoce") + numero, 0, y, 32, 6, 9, fsBold, titolo);
        t.Font.Color = Colori::Teal;
        Testo(pagina, QStringLiteral("txtVoce") + numero, 33, y, Larga - 33, 11, 10, 0, valore);
        y += 12;
    }

    // Above 77,47 euro the receipt takes a 2 euro revenue stamp: the box where it goes.
    if (MarcaDaBollo(p.centesimi)) {
        TShapeView &box =
            pagina.Add<TShapeView>(QStringLiteral("shpMarca"), 0, Mm(136), Mm(30), Mm(34));
        box.Frame.Color = Colori::Black;
        TMemoView &m = Testo(pagina, QStringLiteral("txtMarca"), 1, 145, 28, 16, 8, 0,
                             QStringLiteral("Marca da bollo\n\u20AC 2,00"), haCenter);
        m.WordWrap = false;
    }

    pagina.Add<TLineView>(QStringLiteral("linFirma"), Mm(Larga - 62), Mm(160), Mm(62), 1);
    Testo(pagina, QStringLiteral("txtFirma"), Larga - 62, 161, 62, 6, 8, 0,
          QStringLiteral("Firma per quietanza"), haCenter);
    if (!p.inseritoDa.trimmed().isEmpty())
        Testo(pagina, QStringLiteral("txtOperatore"), Larga - 62, 167, 62, 6, 7, 0,
              ::Testo::UnaRiga(p.inseritoDa).trimmed(), haCenter);
}

std::unique_ptr<TReport> Crea(const std::vector<TPagamento> &pagamenti, const TDatiEnte &ente,
                              const QImage &logo)
{
    auto rep = std::make_unique<TReport>(NomeReport);
    rep->ReportOptions.Name = NomeReport;
    for (size_t i = 0; i < pagamenti.size(); ++i) {
        TReportPage &pagina = i == 0 ? rep->Pages(1) : rep->AddPage();
        pagina.Name = QStringLiteral("Page%1").arg(i + 1);
        Componi(pagina, pagamenti[i], ente, logo);
    }
    return rep;
}

} // namespace Ricevuta
