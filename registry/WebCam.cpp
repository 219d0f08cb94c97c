#include "registry/WebCam.h"

#include "platform/Finestra.h"
#include "platform/Piattaforma.h"
#include "platform/SorgenteFotogrammi.h"
#include "registry/Immagini.h"
#include "registry/RiceventeCompagni.h"
#include "widgets/Controlli.h"
#include "widgets/Tavolozza.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QSize kDimensioneImmagine(366, 274);

QFrame *Pannello(QWidget *parent, const QString &nome, const QString &titolo, TImmagine *&img,
                 const QString &nomeImmagine)
{
    auto *pan = new QFrame(parent);
    pan->setObjectName(nome);
    pan->setProperty("pannello", true);
    auto *col = new QVBoxLayout(pan);
    col->setContentsMargins(8, 6, 8, 8);
    col->setSpacing(6);
    auto *tit = new QLabel(titolo, pan);
    tit->setObjectName(QStringLiteral("tit") + nome.mid(3));
    tit->setAlignment(Qt::AlignCenter);
    col->addWidget(tit);
    img = new TImmagine(pan);
    img->setObjectName(nomeImmagine);
    img->setFixedSize(kDimensioneImmagine);
    col->addWidget(img);
    return pan;
}
} // namespace

TfrmWebCam::TfrmWebCam(QWidget *parent) : QDialog(parent, Finestra::FlagsFissa)
{
    setObjectName(QStringLiteral("frmWebCam"));
    setWindowTitle(QStringLiteral(" Cattura foto con webcam"));
    setStyleSheet(Tavolozza::Colora(
        QStringLiteral("TfrmWebCam { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                       "stop:0 @Acciaio, stop:1 @Bianco); }"
                       "QFrame[pannello=\"true\"] { background: @Blu; border-radius: 6px; }"
                       "QFrame[pannello=\"true\"] QLabel { color: @Bianco; font-weight: bold; }"
                       "QLabel#lblStato { color: @Rubino; font-weight: bold; background: @Bianco; "
                       "border: 1px solid @Cremisi; border-radius: 4px; padding: 4px; }")));

    auto *colonna = new QVBoxLayout(this);
    colonna->setContentsMargins(14, 14, 14, 14);
    colonna->setSpacing(10);

    auto *pannelli = new QHBoxLayout;
    pannelli->setSpacing(14);
    pannelli->addWidget(Pannello(this, QStringLiteral("panCamera"), QStringLiteral("Webcam"),
                                 imgCamera, QStringLiteral("imgCamera")));
    pannelli->addWidget(Pannello(this, QStringLiteral("panTarget"),
                                 QStringLiteral("Foto catturata"), imgTarget,
                                 QStringLiteral("imgTarget")));
    colonna->addLayout(pannelli);

    lblStato = new QLabel(this);
    lblStato->setObjectName(QStringLiteral("lblStato"));
    lblStato->setAlignment(Qt::AlignCenter);
    lblStato->setWordWrap(true);
    colonna->addWidget(lblStato);

    auto *pulsanti = new QGridLayout;
    pulsanti->setHorizontalSpacing(10);
    pulsanti->setVerticalSpacing(8);
    auto crea = [this](const char *nome, const QString &testo) {
        auto *b = new QPushButton(testo, this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setMinimumHeight(30);
        return b;
    };
    btnAccendi = crea("btnAccendi", QStringLiteral("Accendi webcam"));
    btnSpegni = crea("btnSpegni", QStringLiteral("Spegni webcam"));
    btnCattura = crea("btnCattura", QStringLiteral("Cattura foto"));
    btnSalvaFotogramma = crea("btnSalvaFotogramma", QStringLiteral("Salva foto su disco"));
    btnImportaFoto = crea("btnImportaFoto", QStringLiteral("Importa foto in scheda"));
    btnClose = crea("btnClose", QStringLiteral("Annulla"));
    pulsanti->addWidget(btnAccendi, 0, 0);
    pulsanti->addWidget(btnSpegni, 0, 1);
    pulsanti->addWidget(btnCattura, 0, 2);
    pulsanti->addWidget(btnSalvaFotogramma, 1, 0);
    pulsanti->addWidget(btnImportaFoto, 1, 1);
    pulsanti->addWidget(btnClose, 1, 2);
    colonna->addLayout(pulsanti);

    // The webcam placeholder: the live picture at start, and what a failed write shows.
    const QImage segnaposto =
        Immagini::DaSvg(QStringLiteral(":/compagni/webcam.svg"), kDimensioneImmagine);
    imgBianco = new TImmagine(this);
    imgBianco->setObjectName(QStringLiteral("imgBianco"));
    imgBianco->SetPicture(segnaposto);
    imgBianco->hide();
    imgCamera->SetPicture(segnaposto);
    imgTarget->SetPicture(
        Immagini::DaSvg(QStringLiteral(":/compagni/fotocamera.svg"), kDimensioneImmagine));

    connect(btnAccendi, &QPushButton::clicked, this, &TfrmWebCam::btnAccendiClick);
    connect(btnSpegni, &QPushButton::clicked, this, &TfrmWebCam::btnSpegniClick);
    connect(btnCattura, &QPushButton::clicked, this, &TfrmWebCam::btnCatturaClick);
    connect(btnSalvaFotogramma, &QPushButton::clicked, this, &TfrmWebCam::btnSalvaFotogrammaClick);
    connect(btnImportaFoto, &QPushButton::clicked, this, &TfrmWebCam::btnImportaFotoClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmWebCam::btnCloseClick);

    AggiornaPulsanti();
    Finestra::Fissa(this, Finestra::Centro::Proprietario);
}

TfrmWebCam::~TfrmWebCam()
{
    // The camera goes with the screen, however it was closed.
    if (camCamera)
        camCamera->Ferma();
}

// The camera is looked for when the screen is shown, not when it is created: the
// instance made at start-up never probes the devices.
void TfrmWebCam::CollegaCamera()
{
    if (camCamera)
        return;
    camCamera = Piattaforma::Fotocamera(this);
    camCamera->setObjectName(QStringLiteral("camCamera"));
    connect(camCamera.get(), &SorgenteFotogrammi::Fotogramma, this,
            &TfrmWebCam::camCameraSampleBufferReady);
    if (camCamera->Disponibile()) {
        lblStato->hide();
    } else {
        lblStato->setText(QStringLiteral(
            "Nessuna webcam disponibile: collegare una webcam e riaprire questa finestra. "
            "\u00C8 comunque possibile catturare e importare l'immagine segnaposto."));
    }
    AggiornaPulsanti();
}

void TfrmWebCam::AggiornaPulsanti()
{
    const bool disponibile = camCamera && camCamera->Disponibile();
    const bool attiva = camCamera && camCamera->Attiva();
    btnAccendi->setEnabled(disponibile && !attiva);
    btnSpegni->setEnabled(disponibile && attiva);
}

void TfrmWebCam::btnAccendiClick()
{
    if (!camCamera || !camCamera->Disponibile())
        return;
    camCamera->Avvia();
    AggiornaPulsanti();
}

void TfrmWebCam::btnSpegniClick()
{
    if (camCamera)
        camCamera->Ferma();
    AggiornaPulsanti();
}

void TfrmWebCam::camCameraSampleBufferReady(const QImage &fotogramma)
{
    if (fotogramma.isNull())
        return;
    imgCamera->SetPicture(fotogramma);
    // Drawn now, while the camera thread waits for it.
    if (imgCamera->isVisible())
        imgCamera->repaint();
}

void TfrmWebCam::btnCatturaClick()
{
    imgTarget->SetPicture(imgCamera->Picture());
}

void TfrmWebCam::btnSalvaFotogrammaClick()
{
    const QString scelto =
        Piattaforma::SalvaFile(this, Immagini::TitoloSalvaJpeg(), QStringLiteral("Foto.jpg"),
                               Immagini::TipoSalvaJpeg(), QStringLiteral("jpg"));
    if (scelto.isEmpty())
        return;
    if (!Immagini::ScriviJpeg(imgTarget->Picture(), Immagini::ConEstensioneJpg(scelto))) {
        // The captured photo stays on screen, so it can be saved elsewhere.
        Piattaforma::Errore(Immagini::MessaggioFotoNonSalvata(), this);
    }
}

void TfrmWebCam::btnImportaFotoClick()
{
    if (camCamera)
        camCamera->Ferma();
    if (auto *ricevente = dynamic_cast<TRiceventeCompagni *>(parentWidget()))
        ricevente->RiceviFoto(imgTarget->Picture());
    accept();
}

void TfrmWebCam::btnCloseClick()
{
    if (camCamera)
        camCamera->Ferma();
    reject();
}

void TfrmWebCam::done(int r)
{
    if (camCamera)
        camCamera->Ferma();
    QDialog::done(r);
}

void TfrmWebCam::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    CollegaCamera();
    Finestra::Centra(this, Finestra::Centro::Proprietario);
}
