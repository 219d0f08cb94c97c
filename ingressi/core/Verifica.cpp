#include "ingressi/core/Verifica.h"

#include "archive/Testo.h"
#include "cards/core/CodiceVerifica.h"

#include <array>

namespace Verifica {

void TElenco::Carica(TDeposito &deposito)
{
    m_soci.clear();
    static constexpr std::array campi{Campo::Tesserato, Campo::NumTessera, Campo::DataScade,
                                      Campo::Annullata};
    deposito.Scorri(campi, [this](int posizione, const TScheda &s) {
        const QString tessera = Testo::Trim32(s.Leggi(Campo::NumTessera));
        if (!tessera.isEmpty())
            m_soci.insert(tessera, {posizione, tessera, Testo::Trim32(s.Leggi(Campo::Tesserato)),
                                    Testo::Trim32(s.Leggi(Campo::DataScade)),
                                    Testo::Trim32(s.Leggi(Campo::Annullata)) == AnnullataSi});
        return true;
    });
}

const TSocio *TElenco::Trova(const QString &tessera) const
{
    const auto it = m_soci.constFind(Testo::Trim32(tessera));
    return it == m_soci.cend() ? nullptr : &*it;
}

namespace {
TVerdetto DelSocio(const TSocio &s, const QDate &oggi)
{
    TVerdetto v;
    v.socio = s;
    v.tessera = s.tessera;
    v.scadenza = Testo::ConvertiData(s.scadenza);
    if (s.annullata)
        v.esito = Esito::Annullata;
    else if (!v.scadenza.isValid() || v.scadenza < oggi)
        v.esito = Esito::Scaduta;
    else
        v.esito = Esito::Valida;
    return v;
}
} // namespace

TVerdetto Giudica(const QString &testo, Origine origine, const TElenco &elenco,
                  const QByteArray &chiave, bool soloFirmati, const QDate &oggi)
{
    const QString riga = Testo::Trim32(testo);
    TVerdetto v;
    if (const auto letto = CodiceVerifica::Leggi(riga, chiave)) {
        v.tessera = letto->numTessera;
        if (!letto->firmaValida) {
            v.esito = Esito::Contraffatta;
            return v;
        }
        if (const TSocio *s = elenco.Trova(letto->numTessera))
            return DelSocio(*s, oggi);
        return v;
    }
    if (const TSocio *s = elenco.Trova(riga); s && (origine == Origine::Riga || !soloFirmati))
        return DelSocio(*s, oggi);
    if (soloFirmati) {
        // A typed word that is no card number is a mistake, any other code a forgery.
        v.tessera = riga;
        const bool parola = origine == Origine::Riga && !riga.contains(u' ');
        v.esito = parola ? Esito::NonRiconosciuta : Esito::Contraffatta;
        return v;
    }
    const QString primaParola = riga.section(u' ', 0, 0, QString::SectionSkipEmpty);
    if (const TSocio *s = elenco.Trova(primaParola))
        return DelSocio(*s, oggi);
    v.tessera = riga;
    return v;
}

QString Testo(const TVerdetto &v)
{
    switch (v.esito) {
    case Esito::Valida:
        return QStringLiteral("VALIDA");
    case Esito::Scaduta:
        return v.scadenza.isValid() ? QStringLiteral("SCADUTA il ") +
                                          v.scadenza.toString(QStringLiteral("dd/MM/yyyy"))
                                    : QStringLiteral("SCADUTA");
    case Esito::Annullata:
        return QStringLiteral("ANNULLATA");
    case Esito::NonRiconosciuta:
        return QStringLiteral("NON RICONOSCIUTA");
    case Esito::Contraffatta:
        return QStringLiteral("CONTRAFFATTA");
    }
    return {};
}

} // namespace Verifica
