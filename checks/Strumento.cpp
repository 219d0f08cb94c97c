#include "checks/Strumento.h"

#include "archive/Testo.h"
#include "platform/Applicazione.h"
#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QDialog>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace Strumento {

namespace {

constexpr QSize DimensioneBanner(588, 118);

QFont FontCampo()
{
    QFont f(QStringLiteral("Courier New"), 20, QFont::Bold);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

// Keeps the maximum length at the limit, or at the length of a longer text
// already in the box so that nothing of it is cut.
void AggiornaLimite(QLineEdit *campo, int limite)
{
    const int massimo = std::max<int>(limite, static_cast<int>(campo->text().size()));
    if (campo->maxLength() == massimo)
        return;
    // Changing the maximum length sets the text again, which would move the cursor.
    const int cursore = campo->cursorPosition();
    campo->setMaxLength(massimo);
    campo->setCursorPosition(cursore);
}

class FiltroLimite : public QObject {
public:
    FiltroLimite(QLineEdit *campo, int limite) : QObject(campo), m_campo(campo), m_limite(limite)
    {
        campo->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Show)
            AggiornaLimite(m_campo, m_limite);
        return false;
    }

private:
    QLineEdit *m_campo;
    int m_limite;
};

} // namespace

Controlli Costruisci(QDialog *schermata, const QString &banner, const QString &titolo,
                     const QString &nomeCampo, int caratteri, const QColor &colore)
{
    Controlli c;
    const QString tinta = colore.name();

    c.imgLogo = new TImmagine(schermata);
    c.imgLogo->setObjectName(QStringLiteral("imgLogo"));
    c.imgLogo->setFixedSize(DimensioneBanner);
    // Drawn at twice its size, so it stays sharp on dense screens.
    c.imgLogo->SetSvg(banner, DimensioneBanner * 2, 2.0);

    c.panContainer = new QFrame(schermata);
    c.panContainer->setObjectName(QStringLiteral("panContainer"));
    c.panContainer->setFrameShape(QFrame::NoFrame);

    c.shpContainer = new QFrame(c.panContainer);
    c.shpContainer->setObjectName(QStringLiteral("shpContainer"));
    c.shpContainer->setStyleSheet(
        QStringLiteral("#shpContainer { background: rgba(255,255,255,225); border: 1px solid %1;"
                       " border-radius: 8px; }")
            .arg(tinta));

    c.lblTitolo = new QLabel(titolo, c.shpContainer);
    c.lblTitolo->setObjectName(QStringLiteral("lblTitolo"));
    c.lblTitolo->setWordWrap(true);
    c.lblTitolo->setAlignment(Qt::AlignCenter);
    c.lblTitolo->setStyleSheet(Tavolozza::Colora(QStringLiteral("color: @Blu; font-size: 10pt;"
                                                                " background: transparent;")));

    c.shpCodFisc = new QFrame(c.shpContainer);
    c.shpCodFisc->setObjectName(QStringLiteral("shpCodFisc"));
    c.shpCodFisc->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("#shpCodFisc { background: white; border: 2px solid @Blu;"
                                         " border-radius: 4px; }")));

    c.campo = new QLineEdit(c.shpCodFisc);
    c.campo->setObjectName(nomeCampo);
    c.campo->setFont(FontCampo());
    c.campo->setFrame(false);
    // The font goes into the box's own style sheet too: the archive screen, which opens
    // the tools, gives every edit box below it a smaller font in its style sheet.
    c.campo->setStyleSheet(Tavolozza::Colora(
        QStringLiteral("QLineEdit { font: bold 20pt \"Courier New\"; background: white;"
                       " color: @Blu; border: none; border-radius: 0px; padding: 0px;"
                       " min-height: 0px; }"
                       "QLineEdit:focus { background: @Crema; }")));
    // Measured in the box's own font: the style sheets may not have reached it yet.
    const QFontMetrics fm(FontCampo());
    c.campo->setFixedWidth(fm.horizontalAdvance(QString(caratteri, u'W')) + 16);
    c.campo->setFixedHeight(fm.height() + 12);

    auto *riquadro = new QHBoxLayout(c.shpCodFisc);
    riquadro->setContentsMargins(3, 3, 3, 3);
    riquadro->addWidget(c.campo);

    auto *contenuto = new QVBoxLayout(c.shpContainer);
    contenuto->setContentsMargins(18, 14, 18, 18);
    contenuto->setSpacing(12);
    contenuto->addWidget(c.lblTitolo);
    contenuto->addWidget(c.shpCodFisc, 0, Qt::AlignHCenter);

    auto *pannello = new QVBoxLayout(c.panContainer);
    pannello->setContentsMargins(0, 0, 0, 0);
    pannello->addWidget(c.shpContainer);

    c.btnControlla = new QPushButton(QStringLiteral("Controlla"), schermata);
    c.btnControlla->setObjectName(QStringLiteral("btnControlla"));
    c.btnChiudi = new QPushButton(QStringLiteral("Chiudi"), schermata);
    c.btnChiudi->setObjectName(QStringLiteral("btnChiudi"));
    // Enter on a focused button presses it; Enter in the box only moves the focus, as
    // each tool's key handler takes it before the dialog sees it.
    for (QPushButton *b : {c.btnControlla, c.btnChiudi}) {
        b->setMinimumSize(120, 34);
        b->setAutoDefault(true);
    }

    auto *pulsanti = new QHBoxLayout;
    pulsanti->setSpacing(10);
    pulsanti->addStretch();
    pulsanti->addWidget(c.btnControlla);
    pulsanti->addWidget(c.btnChiudi);

    auto *principale = new QVBoxLayout(schermata);
    principale->setContentsMargins(16, 16, 16, 14);
    principale->setSpacing(14);
    principale->addWidget(c.imgLogo, 0, Qt::AlignHCenter);
    principale->addWidget(c.panContainer);
    principale->addLayout(pulsanti);

    QWidget::setTabOrder(c.campo, c.btnControlla);
    QWidget::setTabOrder(c.btnControlla, c.btnChiudi);
    return c;
}

void DisegnaSfondo(QWidget *schermata, const QColor &colore)
{
    QPainter p(schermata);
    QLinearGradient g(0, 0, 0, schermata->height());
    g.setColorAt(0, colore);
    g.setColorAt(1, Qt::white);
    p.fillRect(schermata->rect(), g);
}

void Normalizza(QLineEdit *campo, bool maiuscole)
{
    const QString prima = campo->text();
    QString dopo = Testo::Trim32(prima);
    if (maiuscole)
        dopo = Testo::MaiuscoleAZ(dopo);
    if (dopo == prima)
        return;
    // Characters trimmed from the start shift the cursor left.
    qsizetype iniziali = 0;
    while (iniziali < prima.size() && prima.at(iniziali).unicode() <= 32)
        ++iniziali;
    const qsizetype cursore =
        std::clamp<qsizetype>(campo->cursorPosition() - iniziali, 0, dopo.size());
    campo->setText(dopo);
    campo->setCursorPosition(static_cast<int>(cursore));
}

void LimitaDigitazione(QLineEdit *campo, int limite)
{
    // The box is created unlimited so that the opener's text arrives whole; the
    // limit applies from the moment the box is shown and follows every change.
    new FiltroLimite(campo, limite);
    QObject::connect(campo, &QLineEdit::textChanged, campo,
                     [campo, limite] { AggiornaLimite(campo, limite); });
}

bool TastoAmmesso(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    // These only move the cursor or the focus, or close the tool.
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return true;
    default:
        break;
    }
    const QString t = e->text();
    return t.size() == 1 && t.at(0) >= u'0' && t.at(0) <= u'9' &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

void SoloCifre(QLineEdit *campo)
{
    campo->setContextMenuPolicy(Qt::NoContextMenu);
    campo->setDragEnabled(false);
    campo->setAcceptDrops(false);
}

} // namespace Strumento

TfrmStrumento::TfrmStrumento(QWidget *parent, const Descrizione &d)
    : QDialog(parent, Finestra::FlagsFissa), m_colore(d.colore), m_soloCifre(d.soloCifre),
      m_normalizzaAlRilascio(d.normalizzaAlRilascio)
{
    setObjectName(QString::fromLatin1(d.nome));
    setWindowTitle(d.titolo);
    TApplicazione::ImpostaLingua();
    c = Strumento::Costruisci(this, d.banner, d.istruzione, QString::fromLatin1(d.nomeCampo),
                              d.lunghezza, d.colore);
    Strumento::LimitaDigitazione(c.campo, d.lunghezza);
    if (d.soloCifre)
        Strumento::SoloCifre(c.campo);
    c.campo->installEventFilter(this);
    if (d.normalizzaDigitando)
        connect(c.campo, &QLineEdit::textChanged, this,
                [this] { Strumento::Normalizza(c.campo, true); });
    connect(c.btnControlla, &QPushButton::clicked, this, &TfrmStrumento::btnControllaClick);
    connect(c.btnChiudi, &QPushButton::clicked, this, &TfrmStrumento::btnChiudiClick);
    Finestra::Fissa(this, Finestra::Centro::Schermo);
}

void TfrmStrumento::ImpostaValore(const QString &testo)
{
    c.campo->setText(testo);
}

void TfrmStrumento::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Finestra::Centra(this, Finestra::Centro::Schermo);
    FormShow();
}

void TfrmStrumento::paintEvent(QPaintEvent *)
{
    Strumento::DisegnaSfondo(this, m_colore);
}

void TfrmStrumento::FormShow()
{
    c.campo->setFocus(Qt::OtherFocusReason);
}

bool TfrmStrumento::eventFilter(QObject *o, QEvent *e)
{
    if (o == c.campo) {
        if (e->type() == QEvent::KeyPress) {
            // Enter moves on to "Controlla"; a digits-only box drops the other keys.
            auto *k = static_cast<QKeyEvent *>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                c.btnControlla->setFocus(Qt::OtherFocusReason);
                return true;
            }
            return m_soloCifre && !Strumento::TastoAmmesso(k);
        }
        if (e->type() == QEvent::KeyRelease && m_normalizzaAlRilascio)
            Strumento::Normalizza(c.campo, true);
    }
    return QDialog::eventFilter(o, e);
}

void TfrmStrumento::btnControllaClick()
{
    const Esito esito = Controlla(c.campo->text());
    switch (esito.tipo) {
    case Esito::Tipo::Incompleto:
        Piattaforma::Avviso(esito.messaggio, this);
        c.campo->setFocus(Qt::OtherFocusReason);
        return;
    case Esito::Tipo::Valido:
        Piattaforma::Informazione(esito.messaggio, this);
        break;
    case Esito::Tipo::Errato:
        Piattaforma::Avviso(esito.messaggio, this);
        break;
    }
    accept();
}

void TfrmStrumento::btnChiudiClick()
{
    reject();
}
