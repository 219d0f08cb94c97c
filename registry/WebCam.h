#pragma once
// Screen "Cattura foto con webcam": live picture from the default camera, capture,
// save the captured frame, and hand it to the archive screen's photo.
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QFrame;
class SorgenteFotogrammi;
class TImmagine;

class TfrmWebCam : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWebCam(QWidget *parent = nullptr);
    ~TfrmWebCam() override;

public slots:
    void btnAccendiClick();
    void btnSpegniClick();
    void camCameraSampleBufferReady(const QImage &fotogramma);
    void btnCatturaClick();
    void btnSalvaFotogrammaClick();
    void btnImportaFotoClick();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *e) override;
    void done(int r) override;

private:
    void AggiornaPulsanti();
    void CollegaCamera();

    std::unique_ptr<SorgenteFotogrammi> camCamera;
    TImmagine *imgCamera;
    TImmagine *imgTarget;
    TImmagine *imgBianco;
    QLabel *lblStato;
    QPushButton *btnAccendi;
    QPushButton *btnSpegni;
    QPushButton *btnCattura;
    QPushButton *btnSalvaFotogramma;
    QPushButton *btnImportaFoto;
    QPushButton *btnClose;
};
