#pragma once
// Screen "Esporta archivio anagrafico dei tesserati in Microsoft Excel": the whole archive
// in a grid, written on request to "Tesserati.xls" in the program folder.
#include <QDialog>

class QFrame;
class QLabel;
class QTableView;
class QToolButton;
class TImmagine;
class TModelloRecords;

class TfrmExpAnagrafica : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExpAnagrafica(QWidget *parent = nullptr);

    // The help topic of this screen.
    static QString TitoloGuida();
    static QString TestoGuida();

public slots:
    void FormShow();
    void cmdEsportaClick();
    void cmdGuidaClick();
    void cmdEsciClick();
    void cmdEsportaMouseMove();
    void cmdGuidaMouseMove();
    void cmdEsciMouseMove();
    void FormMouseMove();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void ConfermaModifica();

    TModelloRecords *m_modello;
    QTableView *grdRecords;
    QLabel *panInfo;
    QWidget *panContainer;
    QFrame *shpSfondo;
    QFrame *shpInfo;
    QToolButton *cmdEsporta;
    QToolButton *cmdGuida;
    QToolButton *cmdEsci;
    TImmagine *icoHand;
    TImmagine *imgBanner;
};
