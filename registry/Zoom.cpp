#include "registry/Zoom.h"

#include "platform/Finestra.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

TfrmZoom::TfrmZoom(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmZoom"));
    setWindowTitle(QStringLiteral(" Fai clic sulla foto per chiudere questa finestra"));
    Finestra::Massimizzata(this);
    setStyleSheet(Tavolozza::Colora(QStringLiteral("TfrmZoom { background: @Blu; }")));

    panContainer = new QFrame(this);
    panContainer->setObjectName(QStringLiteral("panContainer"));
    panContainer->setStyleSheet(
        Tavolozza::Colora(QStringLiteral("#panContainer { background: @Blu; }")));
    panContainer->installEventFilter(this);
    panContainer->setCursor(Qt::PointingHandCursor);

    imgFoto = new TImmagine(panContainer);
    imgFoto->setObjectName(QStringLiteral("imgFoto"));
    imgFoto->setAdatta(TImmagine::Adatta::Proporzioni);
    imgFoto->setCentrata(true);
    imgFoto->setCursor(Qt::PointingHandCursor);
    connect(imgFoto, &TImmagine::clicked, this, &TfrmZoom::imgFotoClick);
}

void TfrmZoom::Disponi(QSize schermo)
{
    const QSize area(qMax(1, schermo.width() - 60), qMax(1, schermo.height() - 90));
    panContainer->resize(area);
    imgFoto->setGeometry(QRect(QPoint(0, 0), area));
    // The panel sits in the middle of the window (or at its corner if the window is smaller).
    panContainer->move(qMax(0, (width() - area.width()) / 2),
                       qMax(0, (height() - area.height()) / 2));
}

void TfrmZoom::MostraFoto(const QImage &foto)
{
    imgFoto->SetPicture(foto);
}

void TfrmZoom::FormShow()
{
    const QScreen *s = screen() ? screen() : QGuiApplication::primaryScreen();
    Disponi(s ? s->size() : size());
}

void TfrmZoom::imgFotoClick()
{
    accept();
}

void TfrmZoom::panContainerClick()
{
    accept();
}

void TfrmZoom::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TfrmZoom::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    const QSize area = panContainer->size();
    panContainer->move(qMax(0, (width() - area.width()) / 2),
                       qMax(0, (height() - area.height()) / 2));
}

bool TfrmZoom::eventFilter(QObject *o, QEvent *e)
{
    if (o == panContainer && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
        panContainerClick();
    return QDialog::eventFilter(o, e);
}
