#include "checks/Carta.h"

#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "widgets/Tavolozza.h"

#include <array>

namespace {
constexpr int Lunghezza = 30;

const QString Errato = QStringLiteral(
    "Attenzione: il numero digitato risulta ERRATO!\r\n\r\n"
    "Non \u00E8 quindi possibile fornire informazioni relative al tipo di carta di credito.");

// Kinds of the cards whose number begins with 3, by their first two characters.
struct Gruppo {
    std::array<const char *, 3> inizi;
    const char *tipo;
};
const std::array<Gruppo, 3> Gruppi3 = {{
    {{"30", "36", "38"}, "Diner's Club / Carte Blanche"},
    {{"34", "37", nullptr}, "American Express"},
    {{"31", "33", "35"}, "JCB"},
}};

QString TipoDa3(const QString &testo)
{
    const QString inizio = testo.left(2);
    for (const Gruppo &g : Gruppi3)
        for (const char *i : g.inizi)
            if (i && inizio == QLatin1String(i))
                return QString::fromLatin1(g.tipo);
    return QString();
}
} // namespace

TfrmCarta::TfrmCarta(QWidget *parent)
    : TfrmStrumento(parent,
                    {"frmCarta", QStringLiteral(" Controllo carta di credito"),
                     QStringLiteral(":/checks/carta.svg"),
                     QStringLiteral("Immettere il numero di carta di credito e premere il "
                                    "pulsante di controllo."),
                     "txtNumero", Lunghezza, QColor::fromRgb(Tavolozza::Blu), true, true, false})
{
}

TfrmStrumento::Esito TfrmCarta::Controlla(const QString &numero) const
{
    const QString testo = Testo::Trim32(numero);
    if (testo.isEmpty())
        return {Esito::Tipo::Incompleto,
                QStringLiteral("Attenzione: immettere il numero di carta di credito "
                               "prima di premere il pulsante di controllo.")};
    QString tipo;
    switch (TipoCarta(numero)) {
    case 1:
        tipo = TipoDa3(testo);
        break; // empty when no group matches
    case 2:
        tipo = QStringLiteral("Visa");
        break;
    case 3:
        tipo = QStringLiteral("MasterCard");
        break;
    case 4:
        tipo = QStringLiteral("Discover");
        break;
    default:
        if (MasterCardSerie2(numero))
            tipo = QStringLiteral("MasterCard");
        break;
    }
    if (tipo.isEmpty())
        return {Esito::Tipo::Errato, Errato};
    return {Esito::Tipo::Valido, QStringLiteral("Il numero di carta di credito ") + testo +
                                     QStringLiteral(" risulta valido.\r\n\r\n"
                                                    "La carta di credito \u00E8 del tipo ") +
                                     tipo + u'.'};
}
