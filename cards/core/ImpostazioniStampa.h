#pragma once
// What every card print reads before it starts: the printer's offsets and orientation
// kept per printer in "Quorvel.ini", the two print choices kept there too, and the
// warnings about the cards about to print.
#include "cards/core/ModelloTessera.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ImpostazioniStampa {

inline const QString SezioneScelte = QStringLiteral("Stampa Tessere");
inline const QString ChiaveAdatta = QStringLiteral("Adatta");
inline const QString ChiaveSoloCompilate = QStringLiteral("SoloCompilate");

// The sections and keys of the printer's offsets and orientation, read here and edited by
// the single card's screen.
inline const QString SezioneMargini = QStringLiteral("Margini Stampa");
inline const QString ChiaveSuperiore = QStringLiteral("Superiore");
inline const QString ChiaveSinistro = QStringLiteral("Sinistro");
inline const QString SezioneOrientamento = QStringLiteral("Stampa Tesserino");
inline const QString ChiaveOrientamento = QStringLiteral("Orientamento");
// A printer with values of its own keeps them in sections named after it; the plain
// sections hold the defaults, for every other printer.
QString Sezione(const QString &sezione, const QString &stampante);

// The printer's sections "Margini Stampa <printer>" and "Stampa Tesserino <printer>",
// else the plain ones; a margin that is no number reads as 0. The choices too.
TImpostazioniStampa Leggi(const QString &cartella, const QString &stampante);
// One choice ("Sì" / "No"); throws ErroreFile when the file cannot be written.
void ScriviScelta(const QString &cartella, const QString &chiave, bool valore);
bool LeggiScelta(const QString &cartella, const QString &chiave);

// Whether the record at that position has a photo file that can be read.
bool HaFoto(const QString &cartella, int posizione);

// A member's card as the warnings see it.
struct TVoce {
    QString Tesserato;
    QString Carica;
    QString NumTessera;
    bool Foto = true;
};

// At most this many names in each list of a warning; then "e altri N".
inline constexpr int NomiMassimi = 20;
// The question before printing: the members without photo, without card number, with a
// name or role too wide for the card (at 6 pt when `adatta`), and those left out as
// cancelled. Empty when there is nothing to say.
QString Avviso(const QList<TVoce> &voci, bool adatta, const QStringList &annullate = {});

} // namespace ImpostazioniStampa
