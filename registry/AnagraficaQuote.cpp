// The archive screen's button of the fee register: the member's payments.
#include "archive/Testo.h"
#include "platform/Piattaforma.h"
#include "registry/Anagrafica.h"
#include "registry/Quote.h"
#include "widgets/Modale.h"

#include <QLabel>

void TfrmAnagrafica::cmdQuoteClick()
{
    bool ok = false;
    const int posizione = Testo::Trim32(m_lblPosizione->text()).toInt(&ok);
    if (!ok || posizione < 1) {
        Piattaforma::Messaggio(
            QStringLiteral("Le quote versate si consultano per una scheda salvata in archivio."),
            this);
        return;
    }
    const QString nome = Valore("txtTesserato");
    ApriModale<TfrmQuote>(this, [&](TfrmQuote &q) { q.MostraTesserato(posizione, nome); });
}
