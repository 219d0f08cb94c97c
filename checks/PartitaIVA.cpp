#include "checks/PartitaIVA.h"

#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "widgets/Tavolozza.h"

namespace {
constexpr int Lunghezza = 11;
} // namespace

TfrmPartitaIva::TfrmPartitaIva(QWidget *parent)
    : TfrmStrumento(parent, {"frmPartitaIva", QStringLiteral(" Controllo partita IVA"),
                             QStringLiteral(":/checks/partitaiva.svg"),
                             QStringLiteral("Immettere il numero di partita IVA e premere il "
                                            "pulsante di controllo."),
                             "txtPartitaIva", Lunghezza, QColor::fromRgb(Tavolozza::Acciaio), true,
                             false, false})
{
}

TfrmStrumento::Esito TfrmPartitaIva::Controlla(const QString &testo) const
{
    const QString numero = Testo::MaiuscoleAZ(testo);
    if (numero.size() != Lunghezza)
        return {Esito::Tipo::Incompleto,
                QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 "
                               "caratteri numerici.")};
    if (!ControllaPartitaIva(numero))
        return {Esito::Tipo::Errato,
                QStringLiteral("Attenzione: il numero di partita IVA digitato risulta "
                               "ERRATO!\r\n\r\nNon \u00E8 quindi possibile fornire informazioni "
                               "relative all'Ufficio IVA che lo ha rilasciato.")};
    // Digits 8 to 10 name the issuing office.
    return {Esito::Tipo::Valido,
            QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\r\n\r\n"
                           "E' stato rilasciato dall'Ufficio IVA del Comune di ") +
                UfficioIva(numero.mid(7, 3)) + u'.'};
}
