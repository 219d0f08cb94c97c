#include "cards/ControlliCarta.h"

#include "archive/Scheda.h"
#include "archive/Testo.h"
#include "cards/core/CodiceQR.h"
#include "lists/Consegna.h"
#include "platform/Piattaforma.h"
#include "storage/DatiEnteFile.h"
#include "storage/Deposito.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QToolButton>

namespace ControlliCarta {

QFont Verdana(int punti, bool grassetto)
{
    QFont f(QStringLiteral("Verdana"), punti);
    f.setBold(grassetto);
    return f;
}

QToolButton *PulsanteImmagine(QWidget *parent, const QString &nome, const QString &testo,
                              const QString &icona, int lato)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(nome);
    b->setText(testo);
    b->setIcon(QIcon(icona));
    b->setIconSize(QSize(lato, lato));
    b->setToolButtonStyle(testo.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    b->setFocusPolicy(Qt::NoFocus);
    if (!testo.isEmpty()) {
        b->setMinimumWidth(84);
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        b->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    }
    return b;
}

QLabel *Etichetta(QWidget *parent, const QString &nome, const QRect &r, const QFont &f,
                  const QString &colore, Qt::Alignment allineamento)
{
    auto *l = new QLabel(parent);
    l->setObjectName(nome);
    l->setGeometry(r);
    l->setFont(f);
    l->setAlignment(allineamento);
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colore));
    return l;
}

QFrame *Riquadro(QWidget *parent, const QString &nome, const QRect &r, const QString &stile)
{
    auto *f = new QFrame(parent);
    f->setObjectName(nome);
    f->setGeometry(r);
    f->setStyleSheet(QStringLiteral("QFrame#%1 { %2 }").arg(nome, stile));
    return f;
}

QImage ImmagineCodiceQR(const QString &testo, int lato)
{
    const CodiceQR::TMatrice m = CodiceQR::Codifica(testo);
    if (m.lato <= 0 || lato <= 0)
        return QImage();
    // One pixel a module, quiet zone included, then scaled without smoothing.
    const int moduli = m.lato + 2 * CodiceQR::ZonaMuta;
    QImage piccola(moduli, moduli, QImage::Format_RGB32);
    piccola.fill(Qt::white);
    for (int y = 0; y < m.lato; ++y)
        for (int x = 0; x < m.lato; ++x)
            if (m.Scuro(x, y))
                piccola.setPixel(x + CodiceQR::ZonaMuta, y + CodiceQR::ZonaMuta, qRgb(0, 0, 0));
    return piccola.scaled(lato, lato, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void TestoIntero(QLabel *etichetta, const QString &testo, double punti)
{
    const int spazio = etichetta->contentsRect().width() - 2 * etichetta->margin();
    QFont f = etichetta->font();
    f.setPointSizeF(punti);
    while (f.pointSizeF() > 5.0 && QFontMetrics(f).horizontalAdvance(testo) > spazio)
        f.setPointSizeF(f.pointSizeF() - 0.5);
    etichetta->setFont(f);
    etichetta->setText(testo);
}

} // namespace ControlliCarta

TDatiTessera TControlliCarta::Dati() const
{
    TDatiTessera d;
    d.Logo = imgLogo->Picture();
    d.Foto = imgFoto->Picture();
    d.Associazione = Testo::Trim32(titAssociazione->text());
    d.Sottotitolo01 = Testo::Trim32(titSottotitolo01->text());
    d.Sottotitolo02 = Testo::Trim32(titSottotitolo02->text());
    d.Annotazioni = Testo::Trim32(titAnnotazioni->text());
    d.Tesserato = Testo::Trim32(txtTesserato->text());
    d.Carica = Testo::Trim32(txtCarica->text());
    d.NumTessera = Testo::Trim32(txtNumTessera->text());
    d.DataRil = Testo::Trim32(txtDataRil->text());
    d.DataScade = Testo::Trim32(txtDataScade->text());
    if (lblPosizione)
        d.Posizione = Testo::Trim32(lblPosizione->text());
    const auto deposito = ApriDeposito(Piattaforma::CartellaProgramma());
    const TOpzioniTessera o = deposito->LeggiOpzioniTessera();
    d.CodiceQR = o.CodiceQR;
    d.TestoQR = o.TestoQR;
    // The signed code needs the archive's key, made here at the first card that carries it.
    if (o.CodiceQR && o.Verifica)
        d.ChiaveQR = deposito->ChiaveVerifica();
    d.Retro = o.Retro;
    d.TestoRetro = o.TestoRetro;
    return d;
}

void TControlliCarta::MostraCampi(const TScheda &scheda)
{
    txtTesserato->setText(scheda.Leggi(Campo::Tesserato));
    txtCarica->setText(scheda.Leggi(Campo::Carica));
    txtNumTessera->setText(scheda.Leggi(Campo::NumTessera));
    txtDataRil->setText(scheda.Leggi(Campo::DataRil));
    txtDataScade->setText(scheda.Leggi(Campo::DataScade));
}

void TControlliCarta::MostraFoto(int posizione, const QImage &bianca)
{
    const QImage foto = ApriDeposito(Piattaforma::CartellaProgramma())->LeggiFoto(posizione);
    imgFoto->SetPicture(foto.isNull() ? bianca : foto);
}
