#include "cards/LottoTessere.h"

#include "archive/Archivio.h"
#include "archive/Impostazioni.h"
#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"
#include "cards/DatiEnteFile.h"
#include "cards/ModelloTesserini.h"

#include <QDir>
#include <QLocale>

#include <algorithm>
#include <set>

namespace {

constexpr double DpiMassimi = 600.0;

// The photo no larger than 600 dpi of its box: a camera's 1200 x 1600 picture shrinks
// to what the card can show, so a page holds little and the output stays small.
QImage Ridotta(const QImage &foto, QSizeF riquadro)
{
    const QSize massimo(int(std::ceil(riquadro.width() / 96.0 * DpiMassimi)),
                        int(std::ceil(riquadro.height() / 96.0 * DpiMassimi)));
    if (foto.isNull() || massimo.isEmpty() ||
        (foto.width() <= massimo.width() && foto.height() <= massimo.height()))
        return foto;
    return foto.scaled(massimo, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The composed page of a template holding one page's cards.
TPaginaPreparata PrimaPagina(TReport &r)
{
    QStringList errori;
    if (!r.Componi(QDate(), &errori) || r.PreparedCount() != 1)
        throw ErroreReport(errori.join(QLatin1Char('\n')));
    return r.PreparedPages().front();
}

} // namespace

TLottoTessere::TLottoTessere(std::vector<TSchedaLotto> schede, TDatiTessera ente, QString cartella,
                             int annullate)
    : m_schede(std::move(schede)), m_ente(std::move(ente)), m_cartella(std::move(cartella)),
      m_annullate(annullate)
{
}

TLottoTessere TLottoTessere::DaArchivio(const QString &cartella, const QList<int> &posizioni,
                                        TDatiTessera ente)
{
    std::vector<TSchedaLotto> schede;
    schede.reserve(size_t(posizioni.size()));
    int annullate = 0;
    TArchivio archivio(cartella);
    const int n = archivio.NumeroSchede();
    for (int p : posizioni) {
        if (p < 1 || p > n)
            continue; // a line whose record is gone prints nothing
        const TScheda s = archivio.LeggiScheda(p);
        if (s.Leggi(Campo::Annullata) != AnnullataNo) {
            ++annullate;
            continue;
        }
        schede.push_back({p, s.Leggi(Campo::Tesserato), s.Leggi(Campo::Carica),
                          s.Leggi(Campo::NumTessera), s.Leggi(Campo::DataRil),
                          s.Leggi(Campo::DataScade)});
    }
    archivio.ChiudiArchivio();
    return TLottoTessere(std::move(schede), std::move(ente), cartella, annullate);
}

void TLottoTessere::ImpostaFoglio(int inizio)
{
    m_forma = FormaLotto::Foglio;
    m_inizio = std::clamp(inizio, 1, 9);
}

void TLottoTessere::ImpostaSingola(const TImpaginazioneSingola &impaginazione)
{
    m_forma = FormaLotto::Singola;
    m_singola = impaginazione;
}

int TLottoTessere::Pagine() const
{
    const int n = Tessere();
    if (n == 0)
        return 0;
    if (m_forma == FormaLotto::Singola)
        return n;
    return (n + m_inizio - 1 + 8) / 9;
}

QString TLottoTessere::Nome() const
{
    return m_forma == FormaLotto::Foglio ? QStringLiteral("Tesserini")
                                         : QStringLiteral("Tesserino");
}

TDatiTessera TLottoTessere::Dati(const TSchedaLotto &s, QSizeF riquadroFoto) const
{
    TDatiTessera d = m_ente;
    d.Tesserato = s.Tesserato;
    d.Carica = s.Carica;
    d.NumTessera = s.NumTessera;
    d.DataRil = s.DataRil;
    d.DataScade = s.DataScade;
    const QImage foto = LeggiImmagine(PercorsoFoto(m_cartella, s.posizione));
    d.Foto = Ridotta(foto.isNull() ? m_ente.Foto : foto, riquadroFoto);
    return d;
}

TPaginaPreparata TLottoTessere::ComponiPagina(int i) const
{
    if (i < 0 || i >= Pagine())
        throw ErroreReport(QStringLiteral("Page %1 out of range").arg(i + 1));

    if (m_forma == FormaLotto::Singola) {
        auto r = CreaTesserino(VarianteTessera::Stampa);
        TReportPage &pagina = r->Pages(1);
        pagina.SetOrientation(m_singola.orientamento);
        pagina.TopMargin = m_singola.alto;
        pagina.LeftMargin = m_singola.sinistro;
        const QSizeF box = r->Picture(QStringLiteral("imgFoto")).Rettangolo().size();
        RiempiTessera(*r, Dati(m_schede[size_t(i)], box));
        return PrimaPagina(*r);
    }

    // Sheet i holds the cards from `primo` on; the slots before the first card of the
    // run and after its last card stay blank: nothing is drawn there.
    auto r = CreaTesserini();
    const QSizeF box = r->Picture(QStringLiteral("imgFoto_A")).Rettangolo().size();
    const int primo = i * 9 - (m_inizio - 1); // index of the card in slot 1, may be < 0
    std::array<TDatiTessera, 9> slot;
    std::set<QString> vuoti;
    for (int k = 0; k < 9; ++k) {
        const int c = primo + k;
        if (c >= 0 && c < Tessere())
            slot[size_t(k)] = Dati(m_schede[size_t(c)], box);
        else
            vuoti.insert(SuffissoTessera(k).toUpper());
    }
    RiempiTesserini(*r, slot);
    auto &oggetti = r->Pages(1).Objects;
    oggetti.erase(
        std::remove_if(oggetti.begin(), oggetti.end(),
                       [&](const auto &o) { return vuoti.count(o->Name.right(2).toUpper()) > 0; }),
        oggetti.end());
    return PrimaPagina(*r);
}

TImpaginazioneSingola LeggiImpaginazioneSingola(const QString &cartella)
{
    const TFileIni ini(QDir(cartella).filePath(NomeFileIni));
    auto millimetri = [&](const QString &chiave) {
        QLocale italiano(QLocale::Italian, QLocale::Italy);
        italiano.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double v = italiano.toDouble(
            Testo::Trim32(ini.Leggi(QStringLiteral("Margini Stampa"), chiave)), &ok);
        return ok ? v : 0.0;
    };
    TImpaginazioneSingola s;
    s.alto = millimetri(QStringLiteral("Superiore"));
    s.sinistro = millimetri(QStringLiteral("Sinistro"));
    if (Testo::Trim32(ini.Leggi(QStringLiteral("Stampa Tesserino"),
                                QStringLiteral("Orientamento"))) == QLatin1String("Orizzontale"))
        s.orientamento = poLandscape;
    return s;
}
