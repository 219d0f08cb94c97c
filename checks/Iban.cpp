#include "checks/Iban.h"

#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "widgets/Tavolozza.h"

namespace {
constexpr int Lunghezza = 27;
} // namespace

TfrmIban::TfrmIban(QWidget *parent)
    : TfrmStrumento(parent,
                    {"frmIban", QStringLiteral(" Controllo IBAN"),
                     QStringLiteral(":/checks/iban.svg"),
                     QStringLiteral("Immettere l'IBAN e premere il pulsante di controllo."),
                     "txtIban", Lunghezza, QColor::fromRgb(Tavolozza::Acciaio), false, true, true})
{
}

TfrmStrumento::Esito TfrmIban::Controlla(const QString &testo) const
{
    const QString iban = Testo::Trim32(testo);
    // Blanks inside the text count towards the 27.
    if (iban.size() != Lunghezza)
        return {Esito::Tipo::Incompleto,
                QStringLiteral(
                    "Attenzione: l'IBAN deve essere composto da 27 caratteri alfanumerici.")};
    if (ControllaIban(iban))
        return {Esito::Tipo::Valido, QStringLiteral("L'IBAN digitato \u00E8 VALIDO.")};
    return {Esito::Tipo::Errato, QStringLiteral("Attenzione: l'IBAN digitato \u00E8 ERRATO!")};
}
