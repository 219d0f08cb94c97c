#include "lists/Consegna.h"

#include "archive/Archivio.h"
#include "archive/LetturaImmagine.h"
#include "platform/Piattaforma.h"
#include "registry/Anagrafica.h"
#include "shell/Controlli.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>

namespace Consegna {

namespace {

// The receiver's control of that name, never one of the search screen's own.
template <class T> T *Controllo(QWidget *ricevente, const QString &nome, const QWidget *escluso)
{
    for (T *w : ricevente->findChildren<T *>(nome))
        if (!escluso || (w != escluso && !escluso->isAncestorOf(w)))
            return w;
    return nullptr;
}

void ScriviTesto(QWidget *ricevente, const QString &nome, const QString &testo,
                 const QWidget *escluso)
{
    QWidget *w = Controllo<QWidget>(ricevente, nome, escluso);
    if (!w)
        return;
    if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(testo);
    else if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(testo);
    else if (auto *c = qobject_cast<QComboBox *>(w))
        c->setCurrentText(testo);
    else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        p->setPlainText(testo);
    else if (auto *t = qobject_cast<QTextEdit *>(w))
        t->setPlainText(testo);
    else
        w->setProperty("text", testo);
}

// The photo file into the picture box, or the receiver's blank picture when it cannot be read.
void CaricaFoto(QWidget *ricevente, const QString &foto, const QString &bianco, int posizione,
                const QWidget *escluso)
{
    auto *img = Controllo<TImmagine>(ricevente, foto, escluso);
    if (!img)
        return;
    const QImage letta = LeggiImmagine(PercorsoFoto(Piattaforma::CartellaProgramma(), posizione));
    if (!letta.isNull()) {
        img->SetPicture(letta);
        return;
    }
    auto *vuota = Controllo<TImmagine>(ricevente, bianco, escluso);
    img->SetPicture(vuota ? vuota->Picture() : QImage());
}

TScheda Leggi(int posizione)
{
    TArchivio archivio(Piattaforma::CartellaProgramma());
    return archivio.LeggiScheda(posizione);
}

} // namespace

char Slot(const QString &modo)
{
    static const QString prefisso = QStringLiteral("tessere_0");
    if (modo.size() != prefisso.size() + 1 || !modo.startsWith(prefisso))
        return 0;
    const char16_t c = modo.back().unicode();
    return (c >= u'1' && c <= u'9') ? static_cast<char>('A' + (c - u'1')) : 0;
}

void ConsegnaScheda(QWidget *ricevente, const QString &modo, int posizione, const QWidget *escluso)
{
    if (!ricevente)
        return;
    if (modo == QLatin1String("anagrafica")) {
        if (auto *a = qobject_cast<TfrmAnagrafica *>(ricevente)) {
            // A record that is no longer there fails here, silently, before the screen
            // would report it.
            Leggi(posizione);
            a->MostraScheda(posizione);
        }
        return;
    }
    const char slot = Slot(modo);
    if (modo != QLatin1String("tessera") && slot == 0)
        return;

    const TScheda s = Leggi(posizione); // the archive is closed again here
    const QString coda = slot ? QStringLiteral("_") + QLatin1Char(slot) : QString();
    const std::pair<const char *, Campo> campi[] = {{"txtTesserato", Campo::Tesserato},
                                                    {"txtCarica", Campo::Carica},
                                                    {"txtNumTessera", Campo::NumTessera},
                                                    {"txtDataRil", Campo::DataRil},
                                                    {"txtDataScade", Campo::DataScade}};
    for (const auto &[nome, campo] : campi)
        ScriviTesto(ricevente, QLatin1String(nome) + coda, s.Leggi(campo), escluso);
    // The nine-card sheet has one position label for all its slots, and one per slot.
    ScriviTesto(ricevente, QStringLiteral("lblPosizione"), QString::number(posizione), escluso);
    if (slot)
        ScriviTesto(ricevente, QStringLiteral("lblPosizione") + coda, QString::number(posizione),
                    escluso);
    CaricaFoto(ricevente, QStringLiteral("imgFoto") + coda, QStringLiteral("imgBianco"), posizione,
               escluso);
}

} // namespace Consegna
