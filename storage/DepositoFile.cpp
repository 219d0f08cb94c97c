#include "storage/DepositoFile.h"

#include "archive/LetturaImmagine.h"
#include "archive/Testo.h"
#include "mail/core/RegistroAvvisi.h"
#include "storage/ConnessioneServer.h"
#include "storage/CopieImportazione.h"
#include "storage/DepositoServer.h"
#include "storage/ImportazioneFile.h"

#include <QFileInfo>

void TDeposito::Cerca(std::span<const TChiaveRicerca> chiavi, std::span<const Campo> campi,
                      const Visita &visita)
{
    // Keys lowered once; a key of blanks alone counts neither for nor against a record.
    std::vector<TChiaveRicerca> attive;
    for (const TChiaveRicerca &k : chiavi)
        if (!Testo::Trim32(k.testo).isEmpty())
            attive.push_back({k.campo, Testo::MinuscoleAZ(k.testo)});
    std::vector<Campo> letti(campi.begin(), campi.end());
    letti.push_back(Campo::Annullata);
    for (const TChiaveRicerca &k : attive)
        letti.push_back(k.campo);
    Scorri(letti, [&](int p, const TScheda &s) {
        if (s.Leggi(Campo::Annullata) != AnnullataNo)
            return true;
        for (const TChiaveRicerca &k : attive)
            if (!Testo::MinuscoleAZ(s.Leggi(k.campo)).contains(k.testo))
                return true;
        return visita(p, s);
    });
}

ErroreConflitto::ErroreConflitto(int posizione_, qint64 versione_, const QString &da_,
                                 const QDateTime &il_, const TScheda &attuale_)
    : ErroreFile(QStringLiteral("La scheda n. %1 è stata modificata dall'utente %2 alle %3.")
                     .arg(posizione_)
                     .arg(da_, il_.toLocalTime().toString(QStringLiteral("HH:mm")))),
      posizione(posizione_), versione(versione_), da(da_), il(il_), attuale(attuale_)
{
}

std::unique_ptr<TDeposito> ApriDeposito(const QString &cartella)
{
    if (!ConnessioneServer::ArchivioSulServer(cartella))
        return std::make_unique<TDepositoFile>(cartella);
    if (!ConnessioneServer::Impostato())
        throw ErroreFile(QStringLiteral(
            "Questa postazione usa l'archivio sul server, ma il collegamento al server non è "
            "impostato: aprire le impostazioni del collegamento e indicare il server."));
    return std::make_unique<TDepositoServer>(cartella);
}

TDepositoFile::TDepositoFile(const QString &cartella) : m_cartella(cartella) {}

TArchivio &TDepositoFile::Archivio()
{
    if (!m_archivio)
        m_archivio.emplace(m_cartella);
    return *m_archivio;
}

int TDepositoFile::NumeroSchede()
{
    return Archivio().NumeroSchede();
}

TScheda TDepositoFile::LeggiScheda(int posizione)
{
    return Archivio().LeggiScheda(posizione);
}

void TDepositoFile::ScriviScheda(int posizione, const TScheda &s)
{
    Archivio().ScriviScheda(posizione, s);
}

int TDepositoFile::AccodaScheda(const TScheda &s)
{
    return Archivio().AccodaScheda(s);
}

void TDepositoFile::Scorri(std::span<const Campo>, const Visita &visita)
{
    Archivio().Scorri(visita);
}

void TDepositoFile::ChiudiArchivio()
{
    if (m_archivio)
        m_archivio->ChiudiArchivio();
}

QImage TDepositoFile::LeggiFoto(int posizione)
{
    return LeggiImmagine(PercorsoFoto(m_cartella, posizione));
}

bool TDepositoFile::EsisteFoto(int posizione)
{
    return QFileInfo::exists(PercorsoFoto(m_cartella, posizione));
}

bool TDepositoFile::ScriviFoto(int posizione, const QImage &foto)
{
    return ScriviJpeg(foto, PercorsoFoto(m_cartella, posizione));
}

TDatiEnte TDepositoFile::LeggiDatiEnte()
{
    return DatiEnteFile::Leggi(m_cartella);
}

void TDepositoFile::ScriviDatiEnte(const TDatiEnte &dati)
{
    DatiEnteFile::Scrivi(m_cartella, dati);
}

TOpzioniTessera TDepositoFile::LeggiOpzioniTessera()
{
    return DatiEnteFile::LeggiOpzioni(m_cartella);
}

void TDepositoFile::ScriviOpzioniTessera(const TOpzioniTessera &opzioni)
{
    DatiEnteFile::ScriviOpzioni(m_cartella, opzioni);
}

QImage TDepositoFile::LeggiLogo()
{
    return DatiEnteFile::CaricaLogo(m_cartella);
}

bool TDepositoFile::SalvaLogo(const QImage &logo)
{
    return DatiEnteFile::SalvaLogo(m_cartella, logo);
}

// ---- Lists, reminders and import

namespace {
class TRegistroFile : public TDeposito::TRegistroInvii {
public:
    explicit TRegistroFile(const QString &cartella) : m_registro(cartella) {}
    bool Aperto() const { return m_registro.Aperto(); }
    bool Scrivi(const RegistroAvvisi::TRigaAvviso &riga) override
    {
        return m_registro.Scrivi(riga);
    }

private:
    RegistroAvvisi::TRegistro m_registro;
};
} // namespace

QHash<QString, QDate> TDepositoFile::UltimiInvii()
{
    return RegistroAvvisi::UltimiInvii(m_cartella);
}

std::unique_ptr<TDeposito::TRegistroInvii> TDepositoFile::ApriRegistroAvvisi()
{
    auto registro = std::make_unique<TRegistroFile>(m_cartella);
    if (!registro->Aperto())
        return nullptr;
    return registro;
}

std::unique_ptr<TDeposito::TImportazione> TDepositoFile::IniziaImportazione(int schede)
{
    // The new archive takes the place of the open one; a later record call opens it anew.
    m_archivio.reset();
    return std::make_unique<TImportazioneFile>(m_cartella, schede);
}

TDeposito::RipristinoImportazione TDepositoFile::AnnullaUltimaImportazione()
{
    m_archivio.reset();
    return CopieImportazione::AnnullaUltima(m_cartella);
}
