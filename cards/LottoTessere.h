#pragma once
// The cards of many members printed in one run: nine to a landscape A4 sheet from a
// chosen first slot, or one to a page at the single card's stored margins. Each page is
// composed on its own when asked for, with the photos of its members read then, so a
// run of any length holds one page at a time.
#include "cards/ModelloTessera.h"

#include <QList>
#include <QString>

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

// Orientation and margins (mm) of the single-card print, as stored in "Quorvel.ini".
struct TImpaginazioneSingola {
    TPrinterOrientation orientamento = poPortrait;
    double alto = 0;
    double sinistro = 0;
};

class TLottoTessere {
public:
    // `ente`: the organization texts and logo every card carries; its Foto is the
    // placeholder portrait for members without a photo file.
    TLottoTessere(std::vector<TSchedaLotto> schede, TDatiTessera ente, QString cartella,
                  int annullate = 0);

    // The records at the positions, in that order; cancelled ones are left out and
    // counted. Throws ErroreFile when the archive cannot be read.
    static TLottoTessere DaArchivio(const QString &cartella, const QList<int> &posizioni,
                                    TDatiTessera ente);

    int Tessere() const { return int(m_schede.size()); }
    int Annullate() const { return m_annullate; }

    FormaLotto Forma() const { return m_forma; }
    // Nine to a sheet, the first card in slot `inizio` (1..9) of the first sheet.
    void ImpostaFoglio(int inizio);
    void ImpostaSingola(const TImpaginazioneSingola &impaginazione);
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
    int m_annullate = 0;
    FormaLotto m_forma = FormaLotto::Foglio;
    int m_inizio = 1;
    TImpaginazioneSingola m_singola;
};

// The single card's stored orientation and margins; a margin that is no number reads as 0.
TImpaginazioneSingola LeggiImpaginazioneSingola(const QString &cartella);
