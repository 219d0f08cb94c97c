#include "checks/CodFisc.h"

#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "widgets/Tavolozza.h"

namespace {
constexpr int Lunghezza = 16;
} // namespace

TfrmCodFisc::TfrmCodFisc(QWidget *parent)
    : TfrmStrumento(
          parent,
          {"frmCodFisc", QStringLiteral(" Controllo codice fiscale"),
           QStringLiteral(":/checks/codfisc.svg"),
           QStringLiteral("Immettere il codice fiscale e premere il pulsante di controllo."),
           "txtCodFisc", Lunghezza, QColor::fromRgb(Tavolozza::Verde), false, true, true})
{
}

TfrmStrumento::Esito TfrmCodFisc::Controlla(const QString &testo) const
{
    const QString codice = Testo::MaiuscoleAZ(testo);
    if (codice.size() != Lunghezza)
        return {Esito::Tipo::Incompleto,
                QStringLiteral("Attenzione: il codice fiscale deve essere composto da "
                               "16 caratteri alfanumerici.")};
    if (ControllaCodFisc(codice))
        return {Esito::Tipo::Valido, QStringLiteral("Il codice fiscale digitato \u00E8 VALIDO.")};
    return {Esito::Tipo::Errato,
            QStringLiteral("Attenzione: il codice fiscale digitato \u00E8 ERRATO.")};
}
