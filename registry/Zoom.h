#pragma once
// Screen "Fai clic sulla foto per chiudere questa finestra": the member's photo
// full-screen. A click on the photo or its panel closes it; it changes nothing.
#include <QDialog>

class QFrame;
class QImage;
class TImmagine;

class TfrmZoom : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZoom(QWidget *parent = nullptr);

    // The photo to show, as the archive screen gives it.
    void MostraFoto(const QImage &foto);

    // Sizes the panel and the photo to the screen's width less 60 and height less 90.
    void Disponi(QSize schermo);

public slots:
    void FormShow();
    void imgFotoClick();
    void panContainerClick();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    QFrame *panContainer;
    TImmagine *imgFoto;
};
