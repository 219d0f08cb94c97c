#include "cards/LottoTessere.h"

#include "archive/Testo.h"
#include "cards/core/ModelloTesserini.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"

#include <QDir>

#include <algorithm>

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

// Page `lato` (0 front, 1 back) of a template holding one sheet's or one card's cards.
TPaginaPreparata Pagina(TReport &r, int lato)
{
    QStringList errori;
    if (!r.Componi(QDate(), &errori) || r.PreparedCount() <= lato)
        throw ErroreReport(errori.join(QLatin1Char('\n')));
    return r.PreparedPages()[size_t(lato)];
}

} // namespace

TLottoTessere::TLottoTessere(std::vector<TSchedaLotto> schede, TDatiTessera ente, QString cartella,
                             QStringList annullate)
    : m_schede(std::move(schede)), m_ente(std::move(ente)), m_cartella(std::move(cartella)),
      m_annullate(annullate)
{
}

TLottoTessere TLottoTessere::DaArchivio(const QString &cartella, const QList<int> &posizioni,
                                        TDatiTessera ente)
{
    std::vector<TSchedaLotto> schede;
    schede.reserve(size_t(posizioni.size()));
    QStringList annullate;
    const auto deposito = ApriDeposito(cartella);
    const int n = deposito->NumeroSchede();
    for (int p : posizioni) {
        if (p < 1 || p > n)
            continue; // a line whose record is gone prints nothing
        const TScheda s = deposito->LeggiScheda(p);
        if (s.Leggi(Campo::Annullata) != AnnullataNo) {
            annullate << s.Leggi(Campo::Tesserato);
            continue;
        }
        schede.push_back({p, s.Leggi(Campo::Tesserato), s.Leggi(Campo::Carica),
                          s.Leggi(Campo::NumTessera), s.Leggi(Campo::DataRil),
                          s.Leggi(Campo::DataScade)});
    }
    deposito->ChiudiArchivio();
    return TLottoTessere(std::move(schede), std::move(ente), cartella, annullate);
}

void TLottoTessere::ImpostaFoglio(int inizio)
{
    m_forma = FormaLotto::Foglio;
    m_inizio = std::clamp(inizio, 1, 9);
}

void TLottoTessere::ImpostaSingola()
{
    m_forma = FormaLotto::Singola;
}

int TLottoTessere::Pagine() const
{
    const int n = Tessere();
    if (n == 0)
        return 0;
    const int lati = m_ente.Retro ? 2 : 1;
    if (m_forma == FormaLotto::Singola)
        return n * lati;
    return (n + m_inizio - 1 + 8) / 9 * lati;
}

QList<ImpostazioniStampa::TVoce> TLottoTessere::Voci() const
{
    QList<ImpostazioniStampa::TVoce> voci;
    voci.reserve(qsizetype(m_schede.size()));
    for (const TSchedaLotto &s : m_schede)
        voci.append({s.Tesserato, s.Carica, s.NumTessera,
                     ImpostazioniStampa::HaFoto(m_cartella, s.posizione)});
    return voci;
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
    d.Posizione = QString::number(s.posizione);
    const QImage foto = ApriDeposito(m_cartella)->LeggiFoto(s.posizione);
    d.Foto = Ridotta(foto.isNull() ? m_ente.Foto : foto, riquadroFoto);
    return d;
}

TPaginaPreparata TLottoTessere::ComponiPagina(int i) const
{
    if (i < 0 || i >= Pagine())
        throw ErroreReport(QStringLiteral("Page %1 out of range").arg(i + 1));
    const int lati = m_ente.Retro ? 2 : 1;
    const int unita = i / lati, lato = i % lati;

    if (m_forma == FormaLotto::Singola) {
        auto r = CreaTesserino(VarianteTessera::Stampa);
        const QSizeF box = r->Picture(QStringLiteral("imgFoto")).Rettangolo().size();
        ComponiTessera(*r, Dati(m_schede[size_t(unita)], box), m_imp);
        return Pagina(*r, lato);
    }

    // Sheet `unita` holds the cards from `primo` on; the slots before the first card of
    // the run and after its last card hold no member and stay blank.
    auto r = CreaTesserini();
    const QSizeF box = r->Picture(QStringLiteral("imgFoto_A")).Rettangolo().size();
    const int primo = unita * 9 - (m_inizio - 1); // index of the card in slot 1, may be < 0
    std::array<TDatiTessera, 9> slot;
    for (int k = 0; k < 9; ++k) {
        const int c = primo + k;
        if (c >= 0 && c < Tessere())
            slot[size_t(k)] = Dati(m_schede[size_t(c)], box);
        else
            slot[size_t(k)].Retro = m_ente.Retro;
    }
    TImpostazioniStampa imp = m_imp;
    imp.SoloCompilate = true;
    RiempiTesserini(*r, slot, imp);
    return Pagina(*r, lato);
}
