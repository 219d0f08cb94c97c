#pragma once
// The cards of many members printed in one run: nine to a landscape A4 sheet from a
// chosen first slot, or one to a page at the single card's stored margins. Each page is
// composed on its own when asked for, with the photos of its members read then, so a
// run of any length holds one page at a time.
#include "cards/core/ImpostazioniStampa.h"
#include "cards/core/ModelloTessera.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

enum class FormaLotto { Foglio, Singola };

// What a member's card says, kept for the whole run; the photo is read per page.
struct TSchedaLotto {
    int posizione = 0;
    QString Tesserato;
    QString Carica;
    QString NumTessera;
    QString DataRil;
    QString DataScade;
};

class TLottoTessere {
public:
    // `ente`: the organization texts and logo every card carries; its Foto is the
    // placeholder portrait for members without a photo file.
    TLottoTessere(std::vector<TSchedaLotto> schede, TDatiTessera ente, QString cartella,
                  QStringList annullate = {});

    // The records at the positions, in that order; cancelled ones are left out and
    // counted. Throws ErroreFile when the archive cannot be read.
    static TLottoTessere DaArchivio(const QString &cartella, const QList<int> &posizioni,
                                    TDatiTessera ente);

    int Tessere() const { return int(m_schede.size()); }
    int Annullate() const { return int(m_annullate.size()); }
    // The names of the cancelled ones, in order.
    const QStringList &NomiAnnullate() const { return m_annullate; }
    // The members as the warnings before printing see them (photo files looked at now).
    QList<ImpostazioniStampa::TVoce> Voci() const;

    FormaLotto Forma() const { return m_forma; }
    // Nine to a sheet, the first card in slot `inizio` (1..9) of the first sheet.
    void ImpostaFoglio(int inizio);
    void ImpostaSingola();
    // The printer's offsets and orientation and the print choices, as every card print.
    void ImpostaStampa(const TImpostazioniStampa &imp) { m_imp = imp; }
    const TImpostazioniStampa &Impostazioni() const { return m_imp; }
    // With backs each sheet or card is followed by the page of its backs.
    int Pagine() const;
    // The document name of the preview and the print job.
    QString Nome() const;

    // Page i (0-based) composed now; its photos are read now. Throws ErroreReport.
    TPaginaPreparata ComponiPagina(int i) const;

private:
    TDatiTessera Dati(const TSchedaLotto &s, QSizeF riquadroFoto) const;

    std::vector<TSchedaLotto> m_schede;
    TDatiTessera m_ente;
    QString m_cartella;
    QStringList m_annullate;
    FormaLotto m_forma = FormaLotto::Foglio;
    int m_inizio = 1;
    TImpostazioniStampa m_imp;
};
