#pragma once
// Information about the program, with a mail link to its maker.
#include <QDialog>

class QLabel;

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget *parent = nullptr);

    // The text handed to the desktop to write to the maker.
    static QString LinkPosta();
    // The text that says which folder holds the data.
    static QString TestoCartellaDati();

public slots:
    void lnkWebClick();
    void btnChiudiClick();
    // Where the archive is: the program folder or a server.
    void cmdArchivioClick();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void MostraCartellaDati();

    QLabel *lblCartellaDati;
};
