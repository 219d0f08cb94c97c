#pragma once
// The verdict at the door for a code read from a card (camera, barcode scanner) or a card
// number typed by hand, from the archive's members by card number and the signing key.
#include "storage/Deposito.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

namespace Verifica {

enum class Esito { Valida, Scaduta, Annullata, NonRiconosciuta, Contraffatta };

// A member as the door needs it.
struct TSocio {
    int posizione = 0; // 0: none
    QString tessera;
    QString tesserato;
    QString scadenza; // dd/mm/yyyy as in the record
    bool annullata = false;
};

// The members by card number (trimmed), read once when the screen opens.
class TElenco {
public:
    // Reads the card number, name, expiry and cancel mark of every record.
    void Carica(TDeposito &deposito);
    // The member with that card number; a number held by several records gives the last.
    const TSocio *Trova(const QString &tessera) const;
    int Numero() const { return int(m_soci.size()); }

private:
    QHash<QString, TSocio> m_soci;
};

// Where the text came from: a code read by the camera, or a line in the box (a barcode
// scanner's line or a card number typed by hand).
enum class Origine { Camera, Riga };

struct TVerdetto {
    Esito esito = Esito::NonRiconosciuta;
    TSocio socio;    // posizione 0 when no member was found
    QString tessera; // the card number read
    QDate scadenza;  // the member's expiry, for SCADUTA
};

// The verdict for `testo`:
// - a signed code ("QV1|..."): CONTRAFFATTA when its signature does not match `chiave`,
//   otherwise the member's state by its card number;
// - any other text: the card number is the whole text trimmed or, for a plain-text code,
//   its first word (the default text begins with {tessera}). When `soloFirmati` (TipoQR
//   "verifica") a camera code must be signed, so any other code is CONTRAFFATTA; a line in
//   the box still finds a card number typed whole, and a single word that is no card
//   number is NON RICONOSCIUTA (mistyped), anything longer CONTRAFFATTA.
// A member found is ANNULLATA when cancelled, SCADUTA when its expiry is before `oggi`
// (or is no date), otherwise VALIDA; none is NON RICONOSCIUTA.
TVerdetto Giudica(const QString &testo, Origine origine, const TElenco &elenco,
                  const QByteArray &chiave, bool soloFirmati, const QDate &oggi);

// "VALIDA", "SCADUTA il dd/mm/yyyy", "ANNULLATA", "NON RICONOSCIUTA", "CONTRAFFATTA".
QString Testo(const TVerdetto &v);

} // namespace Verifica
